#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_NRectVariants.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZFile.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <vector>

namespace {

ZN_NRect* makeBox(float x1, float y1, float x2, float y2) {
    auto* box = static_cast<ZN_NRect*>(ZN_ShapeBase::createShape(7));
    box->setPoint1(ZVector2(x1, y1));
    box->setPoint2(ZVector2(x2, y2));
    return box;
}

// Draws a connector from `from` to `to` the way the editor does: four links,
// the line beneath the boxes it joins.
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

// The page record is the sum of every saved field and relation, so equal
// bytes mean an equal page.
std::vector<std::uint8_t> pageBytes(ZN_ShapeManager& page) {
    auto file = ZFile::toMemory();
    EXPECT_TRUE(page.writeFile(file.get(), 8));
    return file->bytes();
}

ZN_SText* makeText(const char* text, float x1, float y1, float x2, float y2) {
    auto* t = static_cast<ZN_SText*>(ZN_ShapeBase::createShape(5));
    t->setText(text);
    t->setRect(ZVector2(x1, y1), ZVector2(x2, y2));
    return t;
}

std::vector<ZN_ShapeBase*> shapesOf(ZN_ShapeManager& page) {
    return {page.getShapeList().begin(), page.getShapeList().end()};
}

// A box with a label long enough that its text does not fit in the string
// object itself.
ZN_NRect* labelledBox(float x, const char* text) {
    ZN_NRect* box = makeBox(x, 0, x + 80, 40);
    auto* label = static_cast<ZN_SText*>(ZN_ShapeBase::createShape(5));
    label->setText(text);
    label->setHost(box);
    box->setLabel(label);
    return box;
}

} // namespace

TEST(Undo, KeepsTheNewestTwentyOneSnapshots) {
    ZN_ShapeManager page;
    page.addShape(makeBox(0, 0, 50, 50));
    ZNRedoUndo* undo = page.getUndoRedo();
    for (int i = 0; i < 25; ++i) {
        undo->copyAllTooplist(true);
        page.getShapeList().front()->change(ZVector2(1, 0), 9);
    }
    EXPECT_FLOAT_EQ(page.getShapeList().front()->getPoint1().X(), 25.0f);

    for (int i = 0; i < 21; ++i)
        ASSERT_TRUE(undo->unDo()) << "undo " << i + 1;
    EXPECT_FALSE(undo->unDo());
    EXPECT_FALSE(undo->canUndo());
    // The page is back where it was before the fifth change.
    ASSERT_EQ(page.getShapeList().size(), 1u);
    EXPECT_FLOAT_EQ(page.getShapeList().front()->getPoint1().X(), 4.0f);

    // All the way forward again: redo walks the same states back.
    for (int i = 0; i < 21; ++i)
        ASSERT_TRUE(undo->reDo()) << "redo " << i + 1;
    EXPECT_FALSE(undo->reDo());
    EXPECT_FLOAT_EQ(page.getShapeList().front()->getPoint1().X(), 25.0f);
    EXPECT_TRUE(undo->canUndo());
}

TEST(Undo, ConnectorUndoneAndRedoneWithItsLinks) {
    ZN_ShapeManager page;
    ZN_NRect* a = makeBox(0, 0, 50, 50);
    ZN_NRect* b = makeBox(200, 0, 250, 50);
    page.addShape(a);
    page.addShape(b);
    ZNRedoUndo* undo = page.getUndoRedo();

    undo->copyAllTooplist(true);
    ZN_NLine* line = connect(page, a, b);
    ASSERT_EQ(page.getShapeList().size(), 3u);

    ASSERT_TRUE(undo->unDo());
    const std::vector<ZN_ShapeBase*> restored = shapesOf(page);
    ASSERT_EQ(restored.size(), 2u);
    for (ZN_ShapeBase* s : restored) {
        EXPECT_NE(s->type(), 1);
        EXPECT_TRUE(s->getInputList().empty());
        EXPECT_TRUE(s->getOutputList().empty());
    }
    EXPECT_TRUE(undo->canRedo());

    ASSERT_TRUE(undo->reDo());
    const std::vector<ZN_ShapeBase*> live = shapesOf(page);
    ASSERT_EQ(live.size(), 3u);
    // Redo brings back the very objects, not copies, with all four links.
    EXPECT_EQ(live[0], line);
    EXPECT_EQ(live[1], a);
    EXPECT_EQ(live[2], b);
    EXPECT_EQ(a->getOutputList(), std::vector<ZN_ShapeBase*>{line});
    EXPECT_EQ(line->getInputList(), std::vector<ZN_ShapeBase*>{a});
    EXPECT_EQ(line->getOutputList(), std::vector<ZN_ShapeBase*>{b});
    EXPECT_EQ(b->getInputList(), std::vector<ZN_ShapeBase*>{line});
    EXPECT_TRUE(a->getInputList().empty());
    EXPECT_TRUE(b->getOutputList().empty());
    // The page before the connector is an undo step again.
    ASSERT_TRUE(undo->unDo());
    EXPECT_EQ(page.getShapeList().size(), 2u);
}

TEST(Undo, ChangeAfterUndoDropsRedoAndRedoOnEmptyTakesNoSnapshot) {
    ZN_ShapeManager page;
    page.addShape(makeBox(0, 0, 50, 50));
    ZNRedoUndo* undo = page.getUndoRedo();

    EXPECT_FALSE(undo->reDo());
    EXPECT_FALSE(undo->canUndo()) << "a failed redo must not snapshot the page";
    EXPECT_FALSE(undo->unDo());
    EXPECT_EQ(page.getShapeList().size(), 1u);

    undo->copyAllTooplist(true);
    page.addShape(makeBox(100, 0, 150, 50));
    ASSERT_TRUE(undo->unDo());
    EXPECT_TRUE(undo->canRedo());
    undo->copyAllTooplist(true);
    EXPECT_FALSE(undo->canRedo());
    EXPECT_FALSE(undo->reDo());
}

TEST(Undo, RestoredShapesAreNeitherSelectedNorHighlighted) {
    ZN_ShapeManager page;
    ZN_NRect* a = makeBox(0, 0, 50, 50);
    page.addShape(a);
    a->setSelected(true);
    a->setSnake(3);
    ZNRedoUndo* undo = page.getUndoRedo();
    undo->copyAllTooplist(true);
    a->change(ZVector2(10, 0), 9);

    ASSERT_TRUE(undo->unDo());
    ZN_ShapeBase* copy = page.getShapeList().front();
    EXPECT_FALSE(copy->getSelected());
    EXPECT_EQ(copy->getSnake(), 0);
    copy->setSelected(true);

    // The redo state is the old live page; it comes back unselected too,
    // because the editor empties its selection list after redo.
    ASSERT_TRUE(undo->reDo());
    ASSERT_EQ(page.getShapeList().front(), a);
    EXPECT_FALSE(a->getSelected());
    EXPECT_EQ(a->getSnake(), 0);
}

TEST(Undo, TableComesBackHoldingTheRestoredShape) {
    ZN_ShapeManager page;
    auto* table = static_cast<ZN_NJiuGongGe*>(ZN_ShapeBase::createShape(12));
    table->setPoint1(ZVector2(0, 0));
    table->setPoint2(ZVector2(300, 150));
    table->setSizeValue(3, 3);
    auto* text = static_cast<ZN_SText*>(ZN_ShapeBase::createShape(5));
    text->setText("答");
    text->setRect(ZVector2(400, 0), ZVector2(460, 20));
    page.addShape(table);
    page.addShape(text);
    table->addAnswerList(text);
    text->addAnswerHostList(table);
    ASSERT_EQ(table->setJiuGongPtr(0, text), 1);

    ZNRedoUndo* undo = page.getUndoRedo();
    undo->copyAllTooplist(true);
    page.clear();
    ASSERT_TRUE(undo->unDo());

    const std::vector<ZN_ShapeBase*> live = shapesOf(page);
    ASSERT_EQ(live.size(), 2u);
    auto* restoredTable = static_cast<ZN_NJiuGongGe*>(live[0]);
    ZN_ShapeBase* restoredText = live[1];
    ASSERT_EQ(restoredTable->type(), 12);
    ASSERT_EQ(restoredTable->getCells().size(), 9u);
    EXPECT_EQ(restoredTable->getCells().front().shape, restoredText);
    EXPECT_EQ(restoredText->getJiuGongHost(), restoredTable);
    EXPECT_EQ(restoredTable->getAnswerList(), std::list<ZN_ShapeBase*>{restoredText});
    ASSERT_EQ(restoredText->answerHosts().size(), 1u);
    EXPECT_EQ(restoredText->answerHosts().front(), restoredTable);

    // Deleting the restored text empties the restored table's cell.
    page.deleteShape(restoredText);
    EXPECT_EQ(restoredTable->getCells().front().shape, nullptr);
    EXPECT_TRUE(restoredTable->getAnswerList().empty());
}

TEST(Undo, ClearAllFreesEverySnapshotAndTheManagerOutlivesNothing) {
    auto page = std::make_unique<ZN_ShapeManager>();
    ZN_NRect* a = makeBox(0, 0, 50, 50);
    ZN_NRect* b = makeBox(100, 0, 150, 50);
    page->addShape(a);
    page->addShape(b);
    connect(*page, a, b);
    ZNRedoUndo* undo = page->getUndoRedo();
    for (int i = 0; i < 4; ++i)
        undo->copyAllTooplist(true);
    ASSERT_TRUE(undo->unDo());
    ASSERT_TRUE(undo->unDo());
    undo->clearAll();
    EXPECT_FALSE(undo->canUndo());
    EXPECT_FALSE(undo->canRedo());
    EXPECT_EQ(page->getShapeList().size(), 3u);
    // Snapshots still held when the page goes away are freed with it (the
    // sanitizer build checks for leaks and double frees).
    undo->copyAllTooplist(true);
    undo->copyAllTooplist(true);
    ASSERT_TRUE(undo->unDo());
    page.reset();
}

TEST(Undo, PageOfEveryKindSurvivesUndoAndRedoFieldForField) {
    ZN_ShapeManager page;
    ZN_NRect* rect = makeBox(0, 0, 120, 60);
    rect->setFillColor(ZVector3(0.2f, 0.3f, 0.4f));
    rect->setColor(ZVector3(0.5f, 0, 0));
    rect->setLineWide(4);
    rect->setRectShowtype(1);
    rect->setGradualType(3);
    rect->setGradualColor(ZVector3(0, 0, 1));
    ZN_SText* label = makeText("根", 40, 20, 80, 40);
    label->setHost(rect);
    rect->setLabel(label);
    page.addShape(rect);

    int x = 200;
    for (int type : {8, 9, 10, 13}) {
        auto* box = static_cast<ZN_NRect*>(ZN_ShapeBase::createShape(type));
        box->setPoint1(ZVector2(static_cast<float>(x), 100));
        box->setPoint2(ZVector2(static_cast<float>(x) + 80, 150));
        page.addShape(box);
        connect(page, rect, box);
        x += 100;
    }
    auto* fold = static_cast<ZN_NPoint*>(ZN_ShapeBase::createShape(2));
    fold->setCoord(ZVector2(60, 200));
    fold->setStateType(1);
    page.addShape(fold);
    ZN_NLine* toFold = connect(page, rect, fold);
    toFold->setArrowType(2);
    toFold->setbGradualWide(1);
    toFold->setStrightType(1);

    auto* table = static_cast<ZN_NJiuGongGe*>(ZN_ShapeBase::createShape(12));
    table->setPoint1(ZVector2(0, 300));
    table->setPoint2(ZVector2(300, 450));
    table->setSizeValue(3, 3);
    page.addShape(table);
    connect(page, fold, table);
    ZN_SText* placed = makeText("甲", 500, 300, 540, 320);
    ZN_SText* spare = makeText("乙", 500, 400, 540, 420);
    page.addShape(placed);
    page.addShape(spare);
    for (ZN_SText* answer : {placed, spare}) {
        table->addAnswerList(answer);
        answer->addAnswerHostList(table);
    }
    ASSERT_EQ(table->setJiuGongPtr(4, placed), 1);

    const std::vector<std::uint8_t> before = pageBytes(page);
    ZNRedoUndo* undo = page.getUndoRedo();
    undo->copyAllTooplist(true);
    std::list<ZN_ShapeBase*> all(page.getShapeList().begin(), page.getShapeList().end());
    page.LittleMove(3, all, 7);
    page.deleteShape(placed);
    const std::vector<std::uint8_t> after = pageBytes(page);
    ASSERT_NE(before, after);

    ASSERT_TRUE(undo->unDo());
    EXPECT_EQ(pageBytes(page), before);
    ASSERT_TRUE(undo->reDo());
    EXPECT_EQ(pageBytes(page), after);
    ASSERT_TRUE(undo->unDo());
    EXPECT_EQ(pageBytes(page), before);

    // The restored copies are wired among themselves, never to the old page.
    std::vector<ZN_ShapeBase*> live = shapesOf(page);
    const std::set<ZN_ShapeBase*> liveSet(live.begin(), live.end());
    for (ZN_ShapeBase* s : live) {
        for (ZN_ShapeBase* in : s->getInputList())
            EXPECT_TRUE(liveSet.count(in));
        for (ZN_ShapeBase* out : s->getOutputList())
            EXPECT_TRUE(liveSet.count(out));
        if (s->getJiuGongHost()) {
            EXPECT_TRUE(liveSet.count(s->getJiuGongHost()));
        }
        for (ZN_NJiuGongGe* host : s->answerHosts())
            EXPECT_TRUE(liveSet.count(host));
        if (s->getLabel()) {
            EXPECT_EQ(s->getLabel()->getHost(), s);
        }
    }
}

// Redo keeps the page it replaces as the newest undo snapshot without
// copying it; what the following undo brings back must be what a copy held.
// Undo, redo, undo: the second undo shows the page as it was before the
// redo, field for field and link for link, renumbered, with nothing selected
// or highlighted, and the array walks read lists the same shapes.
TEST(Undo, UndoAfterRedoRestoresThePageRedoReplaced) {
    ZN_ShapeManager page;
    ZN_NRect* a = labelledBox(0, "根节点，一段比短字符串更长的标签");
    ZN_NRect* b = labelledBox(200, "b");
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
TEST(Undo, RedoKeepsTheLimitOfTwentyOne) {
    ZN_ShapeManager page;
    page.addShape(labelledBox(0, "x"));
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
TEST(Undo, ShapeWithoutCopyIsLeftOutOfTheSnapshot) {
    ZN_ShapeManager page;
    ZN_NRect* box = labelledBox(0, "box");
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

// States leave the stacks in every way: dropped off a full stack, discarded
// with the redo states, cleared. Each goes whole, its shapes joined to one
// another alone, whether it was ever undone to or not; the tables in it still
// let go of their answers. Every step keeps the page it should, byte for byte
// (the sanitizer builds see any shape reached after it went).
TEST(Undo, StatesLeaveTheStacksWholeInEveryWay) {
    ZN_ShapeManager page;
    ZN_NRect* root = labelledBox(0, "根节点，一段比短字符串更长的标签");
    page.addShape(root);
    auto* table = static_cast<ZN_NJiuGongGe*>(ZN_ShapeBase::createShape(12));
    table->setPoint1(ZVector2(0, 200));
    table->setPoint2(ZVector2(300, 350));
    table->setSizeValue(3, 3);
    page.addShape(table);
    ZN_SText* answer = makeText("答", 400, 200, 460, 220);
    page.addShape(answer);
    table->addAnswerList(answer);
    answer->addAnswerHostList(table);
    ASSERT_EQ(table->setJiuGongPtr(0, answer), 1);

    ZNRedoUndo* undo = page.getUndoRedo();
    std::vector<std::vector<std::uint8_t>> pages;
    ZN_ShapeBase* last = root;
    for (int i = 0; i < ZNRedoUndo::maxSnapshots + 4; ++i) {
        pages.push_back(pageBytes(page));
        undo->copyAllTooplist(true);
        ZN_NRect* child = labelledBox(200.0f + 100.0f * static_cast<float>(i), "子");
        page.addShape(child);
        connect(page, last, child);
        last = child;
    }
    ASSERT_EQ(undo->undoCount(), ZNRedoUndo::maxSnapshots);

    for (int i = 1; i <= 3; ++i) {
        ASSERT_TRUE(undo->unDo());
        EXPECT_EQ(pageBytes(page), pages[pages.size() - static_cast<std::size_t>(i)]);
    }
    ASSERT_TRUE(undo->reDo());
    EXPECT_EQ(pageBytes(page), pages[pages.size() - 2]);
    // A change now discards the redo states, among them a page once live.
    undo->copyAllTooplist(true);
    EXPECT_FALSE(undo->canRedo());
    page.clear();
    ASSERT_TRUE(undo->unDo());
    EXPECT_EQ(pageBytes(page), pages[pages.size() - 2]);
    ASSERT_TRUE(undo->unDo());
    EXPECT_EQ(pageBytes(page), pages[pages.size() - 3]);

    // The restored table still holds its answer, and lets go of it.
    const std::vector<ZN_ShapeBase*> live = shapesOf(page);
    auto isTable = [](const ZN_ShapeBase* s) { return s->type() == 12; };
    auto* restoredTable = static_cast<ZN_NJiuGongGe*>(*std::find_if(live.begin(), live.end(), isTable));
    ZN_ShapeBase* restoredAnswer = restoredTable->getCells().front().shape;
    ASSERT_NE(restoredAnswer, nullptr);
    EXPECT_EQ(restoredAnswer->getJiuGongHost(), restoredTable);
    undo->clearAll();
    page.deleteShape(restoredAnswer);
    EXPECT_EQ(restoredTable->getCells().front().shape, nullptr);
}
