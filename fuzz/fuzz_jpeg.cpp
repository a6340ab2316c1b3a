// JPEG files through the picture loader. libjpeg reads from a stdio stream, so
// each input goes to a scratch file first. A picture that loads has the stored
// layout: rows padded to 4 bytes, the padding zero.

#include <sarvik/ZImageData.h>
#include <sarvik/ZJpgResource.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

#include "FuzzCheck.h"
#include "ZTestJpeg.h"

namespace {

const std::string& scratchPath() {
    static const std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir && *dir ? dir : "/tmp") + "/tavlo-fuzz-jpeg-" +
               std::to_string(::getpid()) + ".jpg";
    }();
    return path;
}

struct RemoveAtExit {
    ~RemoveAtExit() { std::remove(scratchPath().c_str()); }
} removeAtExit;

// Pixels the file's frame header declares, or 0 when libjpeg cannot read it.
// Decoding a large declared picture takes long enough to slow the search
// down, and any few bytes can declare one.
std::uint64_t declaredPixels(const std::uint8_t* data, std::size_t size) {
    std::uint64_t pixels = 0;
    ZDecodeTestJpeg(data, size, [&pixels](unsigned width, unsigned height) {
        pixels = std::uint64_t{width} * height;
        return false;
    });
    return pixels;
}

constexpr std::uint64_t kMaxFuzzedPixels = 4u << 20;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || declaredPixels(data, size) > kMaxFuzzedPixels)
        return 0;
    std::FILE* out = std::fopen(scratchPath().c_str(), "wb");
    FUZZ_CHECK(out != nullptr);
    FUZZ_CHECK(size == 0 || std::fwrite(data, 1, size, out) == size);
    FUZZ_CHECK(std::fclose(out) == 0);

    ZJpgResource jpeg;
    if (!jpeg.loadFile(scratchPath().c_str())) {
        FUZZ_CHECK(jpeg.getPixels() == nullptr && jpeg.getWidth() == 0 && jpeg.getHeight() == 0);
        return 0;
    }
    const unsigned width = jpeg.getWidth();
    const unsigned height = jpeg.getHeight();
    FUZZ_CHECK(width > 0 && height > 0 && jpeg.getPixels() != nullptr);
    const std::int64_t stride = ZImageData::rowStride(width);
    FUZZ_CHECK(jpeg.getByteCount() == stride * height);
    FUZZ_CHECK(jpeg.getByteCount() <= ZImageData::kMaxByteCount);
    for (unsigned row = 0; row < height; ++row)
        for (std::int64_t x = std::int64_t{width} * 3; x < stride; ++x)
            FUZZ_CHECK(jpeg.getPixels()[row * stride + x] == 0);

    // The command that places a picture copies the pixels into image data.
    ZImageData image;
    image.copyData(jpeg.getPixels(), static_cast<int>(width), static_cast<int>(height),
                   jpeg.getByteCount());
    FUZZ_CHECK(image.isComplete());
    return 0;
}
