#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <iostream>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
// Provided by the AddressSanitizer runtime; its header is not always installed.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace {

// Bytes the process holds on its heap right now.
std::size_t heapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

// A tree of labelled boxes, four children per node, joined by connectors.
void buildTree(ZN_ShapeManager& page, int nodes) {
    std::vector<ZN_NRect*> boxes;
    boxes.reserve(static_cast<std::size_t>(nodes));
    for (int i = 0; i < nodes; ++i) {
        auto* box = static_cast<ZN_NRect*>(ZN_ShapeBase::createShape(7));
        const float x = static_cast<float>((i % 100) * 160);
        const float y = static_cast<float>((i / 100) * 60);
        box->setPoint1(ZVector2(x, y));
        box->setPoint2(ZVector2(x + 120, y + 40));
        auto* label = static_cast<ZN_SText*>(ZN_ShapeBase::createShape(5));
        label->setText(("节点 " + std::to_string(i)).c_str());
        label->setHost(box);
        box->setLabel(label);
        box->resetLabelPosition();
        page.addShape(box);
        boxes.push_back(box);
        if (i == 0)
            continue;
        ZN_NRect* parent = boxes[static_cast<std::size_t>((i - 1) / 4)];
        auto* line = static_cast<ZN_NLine*>(ZN_ShapeBase::createShape(1));
        line->pushPointBack(parent->getPoint2());
        line->pushPointBack(box->getPoint1());
        parent->pushToOutput(line);
        line->pushToInput(parent);
        line->pushToOutput(box);
        box->pushToInput(line);
        page.addShapeFront(line);
    }
}

} // namespace

// The undo stack holds at most 21 whole-page copies. A copy shares the rendered
// label bitmaps with the page, so each must cost no more than the page itself
// (5% slack for the stack's own lists), and clearing gives everything back.
TEST(UndoMemory, TwentyOneSnapshotsOfATenThousandNodePageStayBounded) {
    constexpr int kNodes = 10000;
    const std::size_t before = heapInUse();
    ZN_ShapeManager page;
    buildTree(page, kNodes);
    const std::size_t pageBytes = heapInUse() - before;
    ASSERT_GT(pageBytes, 0u);

    ZNRedoUndo* undo = page.getUndoRedo();
    const std::size_t withPage = heapInUse();
    for (int i = 0; i < 25; ++i)
        undo->copyAllTooplist(true);
    ASSERT_EQ(undo->undoCount(), 21);
    const std::size_t stackBytes = heapInUse() - withPage;

    std::cout << "page " << pageBytes / 1024 << " KiB, 21 snapshots " << stackBytes / 1024
              << " KiB (" << stackBytes / 21 / 1024 << " KiB each)\n";
    EXPECT_LT(stackBytes, 21 * (pageBytes + pageBytes / 20));
    // About 10 MiB a copy on this page: the whole stack stays under 256 MiB.
    EXPECT_LT(stackBytes, std::size_t{256} << 20);

    undo->clearAll();
    EXPECT_LT(heapInUse() - before, pageBytes + pageBytes / 10);
}

// The snapshots' blocks are given back while the page lives: once the page
// has shrunk, the stack holds what the small snapshots need and keeps no
// block of the large ones for later, and a small page's snapshot takes a
// small block even while blocks of a large one are pooled.
TEST(UndoMemory, SnapshotBlocksShrinkWithThePage) {
    constexpr int kNodes = 6000;
    ZN_ShapeManager page;
    buildTree(page, kNodes);
    ZNRedoUndo* undo = page.getUndoRedo();
    for (int i = 0; i < ZNRedoUndo::maxSnapshots; ++i)
        undo->copyAllTooplist(true);
    const std::size_t large = undo->snapshotBytes();
    // Each copy fills several full-sized blocks.
    ASSERT_GT(large, std::size_t{ZNRedoUndo::maxSnapshots} * (std::size_t{4} << 20));

    // Cut to the root and a few children, then snapshots until every large
    // one has dropped off.
    for (ZN_ShapeBase* shape : page.getShapeList())
        shape->setSelected(true);
    int kept = 0;
    for (ZN_ShapeBase* shape : page.getShapeList())
        if (shape->type() == 7 && kept++ < 10)
            shape->setSelected(false);
    page.deleteSelected();
    ASSERT_EQ(page.getShapeList().size(), 10u);
    for (int i = 0; i < ZNRedoUndo::maxSnapshots; ++i)
        undo->copyAllTooplist(true);
    const std::size_t small = undo->snapshotBytes();
    EXPECT_LT(small, std::size_t{ZNRedoUndo::maxSnapshots} * (std::size_t{64} << 10))
        << "large snapshots' blocks are still held: " << small << " bytes";

    // Undoing to a small state and taking more keeps it small.
    ASSERT_TRUE(undo->unDo());
    undo->copyAllTooplist(true);
    EXPECT_LT(undo->snapshotBytes(), std::size_t{ZNRedoUndo::maxSnapshots + 1} * (std::size_t{64} << 10));

    // What is left is the block the live page came back in.
    undo->clearAll();
    EXPECT_LT(undo->snapshotBytes(), std::size_t{64} << 10);
}
