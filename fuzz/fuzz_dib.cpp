// Clipboard bitmaps: device-independent bitmap blocks of any bit count, and
// whole BMP files as the clipboard's "image/bmp" holds them. A
// block that converts gives a whole picture in the stored layout, blue first;
// one that is refused says why.

#include <sarvik/ZImageData.h>

#include "commands/DibConvert.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A whole BMP file (the clipboard's "image/bmp") is packed into a block as
    // paste does it, its pixels taken from where its file header says.
    std::vector<std::uint8_t> packed;
    if (const auto parts = bmpFileParts(data, size)) {
        FUZZ_CHECK(kBmpFileHeaderSize + parts->headBytes <= size && parts->pixelsAt <= size);
        packed.assign(data + kBmpFileHeaderSize, data + kBmpFileHeaderSize + parts->headBytes);
        packed.insert(packed.end(), data + parts->pixelsAt, data + size);
        data = packed.data();
        size = packed.size();
    }
    std::string error;
    const auto image = dibToImageData(data, size, &error);
    if (!image) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    FUZZ_CHECK(error.empty());
    FUZZ_CHECK(image->isComplete());
    FUZZ_CHECK(image->getFileType() == 0);
    std::int32_t width = 0, height = 0;
    std::memcpy(&width, data + 4, 4);
    std::memcpy(&height, data + 8, 4);
    FUZZ_CHECK(image->getWidth() == width);
    FUZZ_CHECK(static_cast<std::int64_t>(image->getHeight()) ==
               (height < 0 ? -static_cast<std::int64_t>(height) : height));
    return 0;
}
