// Picture records: a record that loads is written back byte for byte as it was
// read, and its clone holds the same pixels; one that does not load leaves the
// picture held before untouched.

#include <sarvik/ZImageData.h>
#include <sarvik/ZImageTexture.h>
#include <sarvik/platform/ZFile.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Reading twice from one file also covers a record that follows another.
    auto file = ZFile::fromMemory(data, size);
    ZImageTexture texture;
    while (!file->failed() && file->remaining() > 0) {
        const std::uint64_t start = file->position();
        const ZImageData* before = texture.getImageData();
        const int beforeCount = before ? before->getByteCount() : 0;
        if (!texture.readFile(file.get(), 8)) {
            FUZZ_CHECK(file->failed());
            const ZImageData* after = texture.getImageData();
            FUZZ_CHECK(after != nullptr); // created on the first call, then kept
            if (before)
                FUZZ_CHECK(after->getByteCount() == beforeCount);
            break;
        }
        const ZImageData& image = *texture.getImageData();
        FUZZ_CHECK(image.isComplete() || image.getByteCount() == 0);

        auto out = ZFile::toMemory();
        FUZZ_CHECK(texture.writeFile(out.get(), 8));
        const std::vector<std::uint8_t>& written = out->bytes();
        FUZZ_CHECK(written.size() == file->position() - start);
        FUZZ_CHECK(std::memcmp(written.data(), data + start, written.size()) == 0);

        std::unique_ptr<ZImageData> copy(image.clone());
        FUZZ_CHECK(copy->getByteCount() == image.getByteCount());
        if (image.getByteCount() > 0)
            FUZZ_CHECK(std::memcmp(copy->getData(), image.getData(),
                                   static_cast<std::size_t>(image.getByteCount())) == 0);
    }
    return 0;
}
