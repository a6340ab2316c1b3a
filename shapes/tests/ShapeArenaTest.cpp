#include "model/memory/ShapeArena.h"

#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

using detail::BlockPool;
using detail::ShapeArena;

namespace {

// Labelled boxes; this many fill several full-sized blocks.
constexpr int kSeveralBlocks = static_cast<int>(4 * ShapeArena::kBlockBytes / (sizeof(ZN_NRect) + sizeof(ZN_SText)));

std::vector<ZN_ShapeBase*> makeBoxes(int count) {
    std::vector<ZN_ShapeBase*> boxes;
    for (int i = 0; i < count; ++i) {
        auto* box = new ZN_NRect();
        auto* label = new ZN_SText();
        label->setHost(box);
        box->setLabel(label);
        boxes.push_back(box);
    }
    return boxes;
}

} // namespace

// Shapes outlive their arena and go one by one in any order; the blocks come
// back to the pool only when their last shape is gone, and the next arena
// takes them from there.
TEST(ShapeArena, BlocksComeBackWhenTheirLastShapeGoesAndAreReused) {
    BlockPool* pool = BlockPool::create();
    std::vector<ZN_ShapeBase*> boxes;
    {
        ShapeArena arena(pool);
        boxes = makeBoxes(kSeveralBlocks);
    }
    const std::size_t taken = pool->inUse();
    ASSERT_GT(taken, 2u);
    EXPECT_EQ(pool->pooled(), 0u);

    std::shuffle(boxes.begin(), boxes.end(), std::mt19937(7));
    delete boxes.back();
    boxes.pop_back();
    EXPECT_EQ(pool->inUse(), taken) << "a block went back while shapes still lived in it";
    for (ZN_ShapeBase* box : boxes)
        delete box;
    EXPECT_EQ(pool->inUse(), 0u);
    const std::size_t pooled = pool->pooled();
    EXPECT_GT(pooled, 0u);

    {
        ShapeArena arena(pool);
        boxes = makeBoxes(kSeveralBlocks);
    }
    EXPECT_LT(pool->pooled(), pooled) << "the second arena did not reuse the pooled blocks";
    for (ZN_ShapeBase* box : boxes)
        delete box;
    pool->trim();
    EXPECT_EQ(pool->pooled(), 0u);
    pool->retire();
}

// A pool retired while its shapes still live (a page closed after its shapes
// were taken elsewhere) is freed by the last of them; shapes made after an
// arena closed, or with none open, come from the heap and are freed alike.
TEST(ShapeArena, ShapesOutliveARetiredPoolAndMixWithHeapShapes) {
    BlockPool* pool = BlockPool::create();
    std::vector<ZN_ShapeBase*> shapes;
    {
        ShapeArena outer(pool);
        shapes.push_back(new ZN_NLine());
        {
            ShapeArena inner; // blocks from the heap, none pooled
            shapes.push_back(new ZN_NRect());
        }
        shapes.push_back(new ZN_SText());
    }
    shapes.push_back(new ZN_NRect());
    pool->retire();
    for (ZN_ShapeBase* shape : shapes)
        delete shape; // the sanitizer builds catch a pool freed too early or twice
}

// Redo, undo and the live page hand arena shapes around; deleting them one by
// one after the stack gave its memory back must leave a consistent page.
TEST(ShapeArena, SnapshotShapesMadeLiveByUndoCanBeDeletedOneByOne) {
    ZN_ShapeManager page;
    auto* a = new ZN_NRect();
    auto* b = new ZN_NRect();
    auto* line = new ZN_NLine();
    a->pushToOutput(line);
    line->pushToInput(a);
    line->pushToOutput(b);
    b->pushToInput(line);
    page.addShapeFront(line);
    page.addShape(a);
    page.addShape(b);
    ZNRedoUndo* undo = page.getUndoRedo();
    undo->copyAllTooplist(true);
    ASSERT_TRUE(undo->unDo());
    undo->clearAll();
    ASSERT_EQ(page.getShapeList().size(), 3u);
    ZN_ShapeBase* restoredB = page.getShapeList().back();
    page.deleteShape(page.getShapeList().front()); // the connector
    EXPECT_TRUE(restoredB->inputs().empty());
    page.deleteShape(restoredB);
    EXPECT_EQ(page.getShapeList().size(), 1u);
}

// A copy's label text is placed in the blocks with the shapes. A block stays
// in use while the text lives, also after a longer text replaced it on the
// heap, and comes back once the last placement is gone.
TEST(ShapeArena, LabelTextsLiveInTheBlocksUntilTheLastGoes) {
    BlockPool* pool = BlockPool::create();
    ZN_NRect* box = nullptr;
    ZN_SText* label = nullptr;
    {
        ShapeArena arena(pool);
        box = new ZN_NRect();
        label = new ZN_SText();
        label->setHost(box);
        box->setLabel(label);
        label->setText("一个放在快照块里的较长标签文字");
    }
    EXPECT_EQ(pool->inUse(), 1u);
    const char* placed = label->getText();
    label->setText("另一段更长的标签文字，它已放不进原来的位置了");
    EXPECT_NE(label->getText(), placed);
    EXPECT_STREQ(label->getText(), "另一段更长的标签文字，它已放不进原来的位置了");
    EXPECT_EQ(pool->inUse(), 1u) << "the box and its label still live in the block";
    delete box;
    EXPECT_EQ(pool->inUse(), 0u);
    pool->retire();
}

// A copy's relation lists and a connector's points are placed with it too.
// Grown after the arena closed, they move to the heap; the block comes back
// once the shapes are gone, and the sanitizer builds see the vacated room.
TEST(ShapeArena, RelationsAndPointsLiveInTheBlocksUntilTheLastGoes) {
    BlockPool* pool = BlockPool::create();
    auto* box = new ZN_NRect(); // from the heap: it outlives the block's shapes
    ZN_NLine* line = nullptr;
    {
        ShapeArena arena(pool);
        line = new ZN_NLine();
        line->pushPointBack(ZVector2(0.0f, 0.0f));
        line->pushPointBack(ZVector2(50.0f, 20.0f));
        line->pushToInput(box);
    }
    box->pushToOutput(line);
    EXPECT_EQ(pool->inUse(), 1u);
    const void* placedPoints = line->getPoints().data();
    const void* placedInputs = line->inputs().data();
    for (int i = 0; i < 40; ++i) {
        line->pushPoint(ZVector2(10.0f + i, 5.0f), 1);
        line->pushToInput(box);
    }
    EXPECT_NE(line->getPoints().data(), placedPoints);
    EXPECT_NE(line->inputs().data(), placedInputs);
#if defined(__SANITIZE_ADDRESS__)
    EXPECT_TRUE(__asan_address_is_poisoned(placedPoints));
    EXPECT_TRUE(__asan_address_is_poisoned(placedInputs));
#endif
    EXPECT_EQ(line->getPointSize(), 42);
    EXPECT_EQ(pool->inUse(), 1u) << "the connector still lives in the block";
    delete line;
    EXPECT_TRUE(box->outputs().empty());
    EXPECT_EQ(pool->inUse(), 0u);
    delete box;
    pool->retire();
}

#if defined(__SANITIZE_ADDRESS__)
// The bytes after a shape in a block and a freed shape are poisoned, so that
// overflows and uses after free are still reported.
TEST(ShapeArena, SanitizerSeesPastTheEndAndFreedShapes) {
    BlockPool* pool = BlockPool::create();
    ZN_NRect* box = nullptr;
    ZN_NRect* next = nullptr;
    {
        ShapeArena arena(pool);
        box = new ZN_NRect();
        next = new ZN_NRect();
    }
    const char* end = reinterpret_cast<const char*>(box) + sizeof(ZN_NRect);
    EXPECT_TRUE(__asan_address_is_poisoned(end));
    EXPECT_TRUE(__asan_address_is_poisoned(reinterpret_cast<const char*>(next) - 1));
    delete box;
    EXPECT_TRUE(__asan_address_is_poisoned(reinterpret_cast<const char*>(box) + 8));
    delete next;
    pool->retire();
}

// A text freed inside a block is poisoned like a freed shape.
TEST(ShapeArena, SanitizerSeesFreedTexts) {
    BlockPool* pool = BlockPool::create();
    ZN_SText* text = nullptr;
    {
        ShapeArena arena(pool);
        text = new ZN_SText();
        text->setText("a text longer than the string keeps inside itself");
    }
    const char* placed = text->getText();
    EXPECT_FALSE(__asan_address_is_poisoned(placed));
    text->setText("another text, longer again than the one it replaces here");
    EXPECT_TRUE(__asan_address_is_poisoned(placed));
    delete text;
    pool->retire();
}
#endif
