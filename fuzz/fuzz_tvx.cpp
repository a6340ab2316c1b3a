// Whole documents: container, page table, page records and pictures. A
// document that loads is written in the current version, loads again and is
// written the same; one that is refused leaves the caller nothing.

#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZFile.h>

#include "document/TvxContainer.h"

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzCheck.h"

namespace {

std::vector<std::uint8_t> writeDocument(TvxDocument& doc) {
    std::vector<TvxPageRef> refs;
    for (auto& page : doc.pages)
        refs.push_back({page.name, page.customName, page.manager.get()});
    auto out = ZFile::toMemory();
    FUZZ_CHECK(writeTvx(*out, refs));
    return out->bytes();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto file = ZFile::fromMemory(data, size);
    TvxDocument doc;
    const TvxStatus status = readTvx(*file, doc);
    if (status != TvxStatus::Ok) {
        FUZZ_CHECK(doc.pages.empty() && doc.images.empty());
        FUZZ_CHECK(!tvxStatusMessage(status).empty());
        return 0;
    }
    FUZZ_CHECK(!doc.pages.empty());
    for (const auto& page : doc.pages)
        FUZZ_CHECK(page.manager != nullptr);

    const std::vector<std::uint8_t> first = writeDocument(doc);
    auto again = ZFile::fromMemory(first);
    TvxDocument copy;
    FUZZ_CHECK(readTvx(*again, copy) == TvxStatus::Ok);
    FUZZ_CHECK(again->remaining() == 0);
    FUZZ_CHECK(copy.pages.size() == doc.pages.size());
    FUZZ_CHECK(writeDocument(copy) == first);
    return 0;
}
