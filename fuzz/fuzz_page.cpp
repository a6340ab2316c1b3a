// Page records: the first byte picks the file version (1..8), the rest is the
// record. A page that loads must write, load again and write the same bytes,
// survive an undo snapshot, collapse and deletion, and leave no leak behind.

#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZFile.h>

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

#include "FuzzCheck.h"

namespace {

std::vector<std::uint8_t> writePage(ZN_ShapeManager& page) {
    auto out = ZFile::toMemory();
    FUZZ_CHECK(page.writeFile(out.get(), 8));
    return out->bytes();
}

// Shapes without a clone of their own (plain nodes, pictures, regions) drop
// out of undo snapshots, so only pages without them must come back unchanged.
bool everyShapeClones(ZN_ShapeManager& page) {
    for (const ZN_ShapeBase* shape : page.getShapeList()) {
        const int type = shape->type();
        if (type == 3 || type == 4 || type == 6)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const int version = 1 + data[0] % 8;
    auto file = ZFile::fromMemory(data + 1, size - 1);
    ZN_ShapeManager page;
    const bool loaded = page.readFile(file.get(), version);
    FUZZ_CHECK(loaded == !file->failed());
    if (!loaded) {
        FUZZ_CHECK(page.getShapeList().empty());
        return 0;
    }

    const std::vector<std::uint8_t> first = writePage(page);
    {
        auto again = ZFile::fromMemory(first);
        ZN_ShapeManager copy;
        FUZZ_CHECK(copy.readFile(again.get(), 8));
        FUZZ_CHECK(again->remaining() == 0);
        FUZZ_CHECK(writePage(copy) == first);
    }

    ZNRedoUndo* undo = page.getUndoRedo();
    const bool exact = everyShapeClones(page);
    undo->copyAllTooplist(true);
    FUZZ_CHECK(undo->unDo());
    if (exact)
        FUZZ_CHECK(writePage(page) == first);
    FUZZ_CHECK(undo->reDo());

    auto& shapes = page.getShapeList();
    if (!shapes.empty()) {
        page.shapeShrink(shapes.front());
        page.shapeSpread(shapes.front());
        // Deleting from the middle unlinks a shape that others still point at.
        page.deleteShape(*std::next(shapes.begin(), static_cast<std::ptrdiff_t>(shapes.size() / 2)));
        writePage(page);
    }
    return 0;
}
