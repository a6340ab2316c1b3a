// Redo keeps the page it replaces as the newest undo snapshot without copying
// it; what comes back by the following undo must be what a copy would have
// held.

#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZFile.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

ZN_NRect* makeBox(float x, const char* text) {
    auto* box = static_cast<ZN_NRect*>(ZN_ShapeBase::createShape(7));
    box->setPoint1(ZVector2(x, 0));
    box->setPoint2(ZVector2(x + 80, 40));
    auto* label = static_cast<ZN_SText*>(ZN_ShapeBase::createShape(5));
    label->setText(text);
    label->setHost(box);
    box->setLabel(label);
    return box;
}

ZN_NLine* connect(ZN_ShapeManager& page, ZN_ShapeBase* from, ZN_ShapeBase* to) {
    auto* line = static_cast<ZN_NLine*>(ZN_ShapeBase::createShape(1));
    line->pushPointBack(from->getPoint2());
    line->pushPointBack(to->getPoint1());
    from->pushToOutput(line);
    line->pushToInput(from);
    line->pushToOutput(to);
    to->pushToInput(line);
    page.addShapeFront(line);
    return line;
}

std::vector<std::uint8_t> pageBytes(ZN_ShapeManager& page) {
    auto file = ZFile::toMemory();
    EXPECT_TRUE(page.writeFile(file.get(), 8));
    return file->bytes();
}

std::vector<ZN_ShapeBase*> shapesOf(const ZN_ShapeManager& page) {
    return {page.getShapeList().begin(), page.getShapeList().end()};
}

} // namespace

// Undo, redo, undo: the second undo shows the page as it was before the
// redo, field for field and link for link, renumbered, with nothing selected
// or highlighted, and the array walks read lists the same shapes.
TEST(UndoShelve, UndoAfterRedoRestoresThePageRedoReplaced) {
    ZN_ShapeManager page;
    ZN_NRect* a = makeBox(0, "根节点，一段比短字符串更长的标签");
    ZN_NRect* b = makeBox(200, "b");
    page.addShape(a);
    page.addShape(b);
    ZNRedoUndo* undo = page.getUndoRedo();
    undo->copyAllTooplist(true);
    connect(page, a, b);

    ASSERT_TRUE(undo->unDo());
    const std::vector<std::uint8_t> before = pageBytes(page);
    for (ZN_ShapeBase* s : shapesOf(page)) {
        s->setSelected(true);
        s->setSnake(1);
    }
    ASSERT_TRUE(undo->reDo());
    EXPECT_EQ(page.getShapeList().size(), 3u);
    EXPECT_EQ(undo->undoCount(), 1);

    ASSERT_TRUE(undo->unDo());
    EXPECT_EQ(pageBytes(page), before);
    const std::vector<ZN_ShapeBase*> restored = shapesOf(page);
    ASSERT_EQ(restored.size(), 2u);
    EXPECT_EQ(page.getShapeArray(), restored);
    for (std::size_t i = 0; i < restored.size(); ++i) {
        EXPECT_EQ(restored[i]->getId(), static_cast<int>(i) + 1);
        EXPECT_FALSE(restored[i]->getSelected());
        EXPECT_EQ(restored[i]->getSnake(), 0);
        EXPECT_TRUE(restored[i]->getInputList().empty());
        EXPECT_TRUE(restored[i]->getOutputList().empty());
        ASSERT_NE(restored[i]->getLabel(), nullptr);
        EXPECT_EQ(restored[i]->getLabel()->getHost(), restored[i]);
    }
    EXPECT_STREQ(restored[0]->getLabel()->getText(), "根节点，一段比短字符串更长的标签");

    // And forward again: the connector and its four links are back.
    ASSERT_TRUE(undo->reDo());
    const std::vector<ZN_ShapeBase*> live = shapesOf(page);
    ASSERT_EQ(live.size(), 3u);
    EXPECT_EQ(page.getShapeArray(), live);
    EXPECT_EQ(live[1]->getOutputList(), std::vector<ZN_ShapeBase*>{live[0]});
    EXPECT_EQ(live[2]->getInputList(), std::vector<ZN_ShapeBase*>{live[0]});
}

// Redo on a full stack drops the oldest snapshot, as taking a copy would.
TEST(UndoShelve, RedoKeepsTheLimitOfTwentyOne) {
    ZN_ShapeManager page;
    page.addShape(makeBox(0, "x"));
    ZNRedoUndo* undo = page.getUndoRedo();
    for (int i = 0; i < 22; ++i) {
        undo->copyAllTooplist(true);
        page.getShapeList().front()->change(ZVector2(1, 0), 9);
    }
    ASSERT_EQ(undo->undoCount(), ZNRedoUndo::maxSnapshots);
    ASSERT_TRUE(undo->unDo());
    ASSERT_TRUE(undo->unDo());
    ASSERT_TRUE(undo->reDo());
    ASSERT_TRUE(undo->reDo());
    EXPECT_EQ(undo->undoCount(), ZNRedoUndo::maxSnapshots);
    EXPECT_FLOAT_EQ(page.getShapeList().front()->getPoint1().X(), 22.0f);
    int undone = 0;
    while (undo->unDo())
        ++undone;
    EXPECT_EQ(undone, ZNRedoUndo::maxSnapshots);
    EXPECT_FLOAT_EQ(page.getShapeList().front()->getPoint1().X(), 1.0f);
}

// A page holding a shape that makes no copy is copied and destroyed as
// before: the snapshot leaves that shape out and the links to it go.
TEST(UndoShelve, ShapeWithoutCopyIsLeftOutOfTheSnapshot) {
    ZN_ShapeManager page;
    ZN_NRect* box = makeBox(0, "box");
    page.addShape(box);
    ZNRedoUndo* undo = page.getUndoRedo();
    undo->copyAllTooplist(true);
    ZN_ShapeBase* bare = ZN_ShapeBase::createShape(3);
    box->pushToOutput(bare);
    bare->pushToInput(box);
    page.addShape(bare);

    ASSERT_TRUE(undo->unDo());
    ASSERT_TRUE(undo->reDo());
    ASSERT_TRUE(undo->unDo());
    const std::vector<ZN_ShapeBase*> restored = shapesOf(page);
    ASSERT_EQ(restored.size(), 1u);
    EXPECT_EQ(restored[0]->type(), 7);
    EXPECT_TRUE(restored[0]->getOutputList().empty());
}
