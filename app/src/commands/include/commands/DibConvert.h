#pragma once
// Turns a device-independent bitmap block (a BITMAPINFOHEADER, an optional
// colour table or masks, then the pixels), as the system clipboard hands it
// over, into picture pixels. Free of Qt so that it can be fed any bytes.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

class ZImageData;

// The picture in the stored layout (3 bytes per pixel, blue first, rows
// bottom-up, each padded to 4 bytes, file type 0), or null with the reason in
// `error` when the block cannot be read: a header that is cut or not a
// BITMAPINFOHEADER, a width or height of 0 or one that does not fit a picture,
// a compressed block, a bit count other than 1, 4, 8, 16, 24 or 32, a colour
// table longer than the bit count allows, or pixels that the block does not
// hold in full.
std::unique_ptr<ZImageData> dibToImageData(const unsigned char* dib, std::size_t size,
                                           std::string* error = nullptr);

// A whole BMP file, as the clipboard offers "image/bmp": a file header of
// kBmpFileHeaderSize bytes whose last field records where the pixels begin,
// then the bitmap block. The pixels need not follow the colour table (a writer
// may leave a gap, or put masks after a longer header), so the block
// dibToImageData reads is packed from two parts: headBytes bytes from the end
// of the file header (header, masks, colour table), then the file's bytes from
// pixelsAt on. A recorded start inside the header and table or past the end of
// the file gives pixelsAt = size: the packed block holds no pixels and is
// refused. Nothing when the bytes are no BMP file or its header is unreadable.
constexpr std::size_t kBmpFileHeaderSize = 14;
struct BmpFileParts {
    std::size_t headBytes = 0;
    std::size_t pixelsAt = 0;
};
std::optional<BmpFileParts> bmpFileParts(const unsigned char* bmp, std::size_t size);

// The message shown when a bitmap block is refused.
extern const char* const kDibRefusedText;
// The message shown when a conversion buffer cannot be allocated.
extern const char* const kDibAllocateText;
