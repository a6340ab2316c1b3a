#pragma once
// Turns a device-independent bitmap block (a BITMAPINFOHEADER, an optional
// colour table or masks, then the pixels), as the system clipboard hands it
// over, into picture pixels. Free of Qt so that it can be fed any bytes.

#include <cstddef>
#include <memory>
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

// The message shown when a bitmap block is refused.
extern const char* const kDibRefusedText;
// The message shown when a conversion buffer cannot be allocated.
extern const char* const kDibAllocateText;
