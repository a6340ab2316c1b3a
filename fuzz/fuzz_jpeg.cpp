// JPEG files through the picture loader. libjpeg reads from a stdio stream, so
// each input goes to a scratch file first. A picture that loads has the stored
// layout: rows padded to 4 bytes, the padding zero.

#include <sarvik/ZImageData.h>
#include <sarvik/ZJpgResource.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <csetjmp>

#include <jpeglib.h>
#include <unistd.h>

#include "FuzzCheck.h"

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
// Decoding a huge declared picture from a few bytes takes seconds (see
// known/), which would only slow the search down.
std::uint64_t declaredPixels(const std::uint8_t* data, std::size_t size) {
    struct Errors {
        jpeg_error_mgr pub;
        std::jmp_buf jump;
    };
    jpeg_decompress_struct cinfo;
    Errors errors;
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = [](j_common_ptr c) {
        std::longjmp(reinterpret_cast<Errors*>(c->err)->jump, 1);
    };
    errors.pub.output_message = [](j_common_ptr) {};
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return 0;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    const std::uint64_t pixels = std::uint64_t{cinfo.image_width} * cinfo.image_height;
    jpeg_destroy_decompress(&cinfo);
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
