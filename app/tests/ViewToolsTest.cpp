// The editing view's tools driven through their handlers, as the mouse and
// the keyboard would, with the page checked after each step.

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>

#include <rulmek/rulmek.h>
#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_BackRgn.h>
#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZCursor.h>

#include "TestSupport.h"
#include "WindowFixture.h"
#include "commands/CommandIds.h"
#include "dialogs/CDlgJiuGongGe.h"
#include "document/CTavloDoc.h"
#include "document/PageOperations.h"
#include "folder/CFolderFrame.h"
#include "folder/CFolderTabCtrl.h"
#include "frames/CChildFrame.h"
#include "frames/CMainFrame.h"
#include "view/CTavloView.h"

namespace {

constexpr Qt::KeyboardModifiers kNone{};

ZN_NLine* joinShapes(ZN_ShapeBase* parent, ZN_ShapeBase* child, ZN_ShapeManager& page) {
    auto* line = static_cast<ZN_NLine*>(ZN_ShapeBase::createShape(1));
    line->pushPointBack((parent->getPoint1() + parent->getPoint2()) * 0.5f);
    line->pushPointBack((child->getPoint1() + child->getPoint2()) * 0.5f);
    line->pushToInput(parent);
    parent->pushToOutput(line);
    line->pushToOutput(child);
    child->pushToInput(line);
    page.addShapeFront(line);
    return line;
}

ZN_SText* addText(ZN_ShapeManager& page, float x, float y, const char* text) {
    auto* label = static_cast<ZN_SText*>(ZN_ShapeBase::createShape(5));
    label->setRect(ZVector2(x, y), ZVector2(x + 40, y + 30));
    label->setText(text);
    page.addShape(label);
    return label;
}

void expectAt(const ZVector2& v, float x, float y) {
    EXPECT_FLOAT_EQ(v.X(), x);
    EXPECT_FLOAT_EQ(v.Y(), y);
}

bool onOutline(const ZN_ShapeBase* box, const ZVector2& p) {
    const ZVector2 a = box->getPoint1();
    const ZVector2 b = box->getPoint2();
    const bool inX = p.X() >= a.X() - 1 && p.X() <= b.X() + 1;
    const bool inY = p.Y() >= a.Y() - 1 && p.Y() <= b.Y() + 1;
    const bool onSide = std::abs(p.X() - a.X()) < 1 || std::abs(p.X() - b.X()) < 1;
    const bool onTop = std::abs(p.Y() - a.Y()) < 1 || std::abs(p.Y() - b.Y()) < 1;
    return inX && inY && (onSide || onTop);
}

} // namespace

class ViewTools : public DocumentFixture {
protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        if (HasFatalFailure())
            return;
        view->setMessageShower([this](const QString& text) { messages << text; });
        doc()->SetModifiedFlag(false);
    }

    CTavloDoc* doc() const { return child->document(); }
    int snapshots() const { return page->getUndoRedo()->undoCount(); }

    void move(int x, int y) { view->onMouseMove(kNone, QPoint(x, y)); }
    void down(int x, int y) { view->onLButtonDown(kNone, QPoint(x, y)); }
    void up(int x, int y) { view->onLButtonUp(kNone, QPoint(x, y)); }
    // Hover, press, then release where pressed.
    void click(int x, int y) {
        move(x, y);
        down(x, y);
        up(x, y);
    }
    // Hover, press, move in steps of about 10 pixels, release.
    void drag(int x1, int y1, int x2, int y2) {
        move(x1, y1);
        down(x1, y1);
        const int steps = std::max(1, std::max(std::abs(x2 - x1), std::abs(y2 - y1)) / 10);
        for (int i = 1; i <= steps; ++i)
            move(x1 + (x2 - x1) * i / steps, y1 + (y2 - y1) * i / steps);
        up(x2, y2);
    }

    // A point of the given state at (100, 100) joined to a box below it.
    std::pair<ZN_NPoint*, ZN_NRect*> pointWithChild(int state) {
        auto* point = static_cast<ZN_NPoint*>(ZN_ShapeBase::createShape(2));
        point->setCoord(ZVector2(100, 100));
        point->setStateType(state);
        page->addShape(point);
        ZN_NRect* kid = addRect(*page, 200, 200, 300, 260);
        joinShapes(point, kid, *page);
        return std::make_pair(point, kid);
    }

    QStringList messages;
};

TEST_F(ViewTools, PressBelowThresholdOnlyTogglesAndEveryPressIsAnUndoStep) {
    ZN_NRect* a = addRect(*page, 100, 100, 200, 160);
    ZN_NRect* b = addRect(*page, 300, 100, 400, 160);
    click(350, 130);
    ASSERT_TRUE(b->getSelected());
    EXPECT_EQ(snapshots(), 1);
    EXPECT_TRUE(doc()->isModified());

    // A move of sqrt(5) pixels is not a drag: nothing moves, b stays selected.
    doc()->SetModifiedFlag(false);
    move(150, 130);
    down(150, 130);
    move(152, 131);
    EXPECT_EQ(view->getDragPhase(), 1);
    EXPECT_FALSE(a->getSelected());
    EXPECT_TRUE(b->getSelected());
    up(152, 131);
    expectAt(a->getPoint1(), 100, 100);
    EXPECT_TRUE(a->getSelected());
    EXPECT_TRUE(b->getSelected());
    EXPECT_EQ(view->getSelection(), (std::list<ZN_ShapeBase*>{b, a}));
    EXPECT_EQ(snapshots(), 2);
    EXPECT_TRUE(doc()->isModified());

    // Clicking a selected shape unselects it, and is an undo step too.
    click(150, 130);
    EXPECT_FALSE(a->getSelected());
    EXPECT_EQ(view->getSelection(), (std::list<ZN_ShapeBase*>{b}));
    EXPECT_EQ(snapshots(), 3);

    // A click on empty canvas clears everything.
    click(600, 500);
    EXPECT_FALSE(b->getSelected());
    EXPECT_TRUE(view->getSelection().empty());
    EXPECT_EQ(snapshots(), 3);
}

TEST_F(ViewTools, DraggingSelectsAloneOrMovesTheSelectionWithDescendants) {
    ZN_NRect* parent = addRect(*page, 100, 100, 200, 160);
    ZN_NRect* kid = addRect(*page, 100, 300, 200, 360);
    ZN_NRect* other = addRect(*page, 400, 100, 500, 160);
    joinShapes(parent, kid, *page);
    click(450, 130);
    ASSERT_TRUE(other->getSelected());

    // An unselected shape becomes the only selection, then moves with its child.
    drag(150, 130, 180, 150);
    EXPECT_EQ(view->getSelection(), (std::list<ZN_ShapeBase*>{parent}));
    EXPECT_FALSE(other->getSelected());
    expectAt(parent->getPoint1(), 130, 120);
    expectAt(kid->getPoint1(), 130, 320);
    expectAt(other->getPoint1(), 400, 100);

    // A selected shape drags the whole selection; without binding the child stays.
    click(450, 130);
    ASSERT_EQ(view->getSelection().size(), 2u);
    view->setBindDrag(0);
    drag(450, 130, 460, 150);
    expectAt(other->getPoint1(), 410, 120);
    expectAt(parent->getPoint1(), 140, 140);
    expectAt(kid->getPoint1(), 130, 320);

    // A corner handle resizes that one shape.
    move(410, 120);
    ASSERT_EQ(view->getHitCode(), 1);
    EXPECT_EQ(ZLastCursor(), ZCursor::SizeNWSE);
    drag(410, 120, 390, 100);
    expectAt(other->getPoint1(), 390, 100);
    expectAt(other->getPoint2(), 510, 180);
    expectAt(parent->getPoint1(), 140, 140);
}

TEST_F(ViewTools, RubberBandReplacesThenAddsAfterCtrl) {
    ZN_NRect* a = addRect(*page, 100, 100, 150, 150);
    ZN_NRect* b = addRect(*page, 300, 100, 350, 150);
    drag(80, 80, 170, 170);
    EXPECT_EQ(view->getSelection(), (std::list<ZN_ShapeBase*>{a}));
    EXPECT_TRUE(view->focusRect().isNull());

    drag(280, 80, 370, 170);
    EXPECT_EQ(view->getSelection(), (std::list<ZN_ShapeBase*>{b}));
    EXPECT_FALSE(a->getSelected());

    view->onKeyDown(Qt::Key_Control, Qt::ControlModifier);
    drag(80, 80, 170, 170);
    EXPECT_EQ(view->getSelection(), (std::list<ZN_ShapeBase*>{b, a}));
    EXPECT_TRUE(view->isAdditiveSelect());
}

TEST_F(ViewTools, BoxesDrawnEitherWayWithOrderedCorners) {
    view->setTool(viewtool::Rect);
    drag(300, 300, 200, 220);
    ASSERT_EQ(page->getShapeList().size(), 1u);
    auto* rect = static_cast<ZN_NRect*>(page->getShapeList().back());
    EXPECT_EQ(rect->type(), 7);
    expectAt(rect->getPoint1(), 200, 220);
    expectAt(rect->getPoint2(), 300, 300);
    EXPECT_EQ(rect->getLineWide(), 3);
    EXPECT_EQ(view->getTool(), viewtool::Rect);
    EXPECT_EQ(snapshots(), 1);
    EXPECT_TRUE(doc()->isModified());

    // Click, move, click: the release of the first click does not end the box.
    view->setTool(viewtool::Ellipse);
    click(500, 400);
    EXPECT_EQ(view->getDragState(), dragstate::Drawing);
    move(450, 470);
    down(450, 470);
    EXPECT_EQ(view->getDragState(), dragstate::Idle);
    up(450, 470);
    ZN_ShapeBase* ellipse = page->getShapeList().back();
    EXPECT_EQ(ellipse->type(), 8);
    expectAt(ellipse->getPoint1(), 450, 400);
    expectAt(ellipse->getPoint2(), 500, 470);
    EXPECT_EQ(page->getShapeList().size(), 2u);

    // The table tool draws a 3 x 3 fill-in table; the other tools their kinds.
    const int tools[] = {viewtool::Table, viewtool::RoundRect, viewtool::Rhombus,
                         viewtool::Parallelogram};
    const int types[] = {12, 9, 10, 13};
    for (int i = 0; i < 4; ++i) {
        view->setTool(tools[i]);
        drag(600, 100 + 100 * i, 700, 180 + 100 * i);
        EXPECT_EQ(page->getShapeList().back()->type(), types[i]);
    }
    auto* table = dynamic_cast<ZN_NJiuGongGe*>(*std::next(page->getShapeList().begin(), 2));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->getCol(), 3);
    EXPECT_EQ(table->getRow(), 3);
}

TEST_F(ViewTools, ConnectorFromEmptyCanvasBendsAndEndsOnABox) {
    ZN_NRect* box = addRect(*page, 300, 100, 400, 200);
    view->setTool(viewtool::Line);
    move(50, 50);
    down(50, 50);
    EXPECT_EQ(snapshots(), 1);
    auto* line = dynamic_cast<ZN_NLine*>(page->getShapeList().front());
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->getStrightType(), 1);
    EXPECT_EQ(line->getLineWide(), 3);
    EXPECT_EQ(line->getArrowSize(), 30);
    EXPECT_EQ(line->getArrowType(), 0);

    // A release over empty canvas leaves a bend and keeps drawing.
    move(100, 250);
    up(100, 250);
    EXPECT_EQ(line->getPointSize(), 3);
    EXPECT_EQ(view->getDragState(), dragstate::Drawing);

    move(200, 200);
    move(350, 150);
    EXPECT_EQ(view->getHoverShape(), box);
    EXPECT_NE(box->getSnake(), 0);
    down(350, 150);
    EXPECT_EQ(view->getDragState(), dragstate::Idle);
    EXPECT_EQ(box->getSnake(), 0);
    EXPECT_TRUE(line->getInputList().empty());
    EXPECT_EQ(line->getOutputList(), std::vector<ZN_ShapeBase*>{box});
    EXPECT_EQ(box->getInputList(), std::vector<ZN_ShapeBase*>{line});
    EXPECT_EQ(line->getPointSize(), 3);
    expectAt(line->getPoints()[1], 100, 250);
    EXPECT_TRUE(onOutline(box, line->getPoints().back()));
    EXPECT_EQ(view->getTool(), viewtool::Line);
    EXPECT_EQ(snapshots(), 1);
}

TEST_F(ViewTools, ConnectorBetweenTwoBoxesGluedWithFourLinks) {
    ZN_NRect* a = addRect(*page, 100, 100, 200, 200);
    ZN_NRect* b = addRect(*page, 400, 100, 500, 200);
    view->setTool(viewtool::Line);
    move(150, 150);
    ASSERT_EQ(view->getHoverShape(), a);
    const int outCode = view->getHoverCode();
    drag(150, 150, 450, 150);
    ASSERT_EQ(page->getShapeList().size(), 3u);
    auto* line = dynamic_cast<ZN_NLine*>(page->getShapeList().front());
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->getInputList(), std::vector<ZN_ShapeBase*>{a});
    EXPECT_EQ(a->getOutputList(), std::vector<ZN_ShapeBase*>{line});
    EXPECT_EQ(line->getOutputList(), std::vector<ZN_ShapeBase*>{b});
    EXPECT_EQ(b->getInputList(), std::vector<ZN_ShapeBase*>{line});
    EXPECT_EQ(line->getOutNumber(), outCode);
    EXPECT_GT(line->getInNumber(), 0);
    EXPECT_EQ(line->getPointSize(), 2);
    EXPECT_TRUE(onOutline(a, line->getPoints().front()));
    EXPECT_TRUE(onOutline(b, line->getPoints().back()));

    // Moving the child keeps the end on its outline.
    view->setTool(viewtool::Select);
    drag(450, 150, 450, 300);
    EXPECT_TRUE(onOutline(b, line->getPoints().back()));

    // A right click abandons a new line where it is and returns to select.
    view->setTool(viewtool::Line);
    move(700, 500);
    down(700, 500);
    move(750, 550);
    EXPECT_FALSE(view->onRButtonUp(kNone, QPoint(750, 550)));
    EXPECT_EQ(view->getTool(), viewtool::Select);
    EXPECT_EQ(page->getShapeList().size(), 4u);
    EXPECT_EQ(static_cast<ZN_NLine*>(page->getShapeList().front())->getPointSize(), 2);
}

TEST_F(ViewTools, BendInsertedOnASegmentAndStraightenedAway) {
    auto* line = static_cast<ZN_NLine*>(ZN_ShapeBase::createShape(1));
    line->pushPointBack(ZVector2(100, 300));
    line->pushPointBack(ZVector2(400, 300));
    page->addShape(line);

    // A click on the segment inserts a point that the release merges away.
    click(250, 300);
    EXPECT_EQ(line->getPointSize(), 2);
    EXPECT_TRUE(line->getSelected());

    drag(250, 300, 250, 400);
    ASSERT_EQ(line->getPointSize(), 3);
    EXPECT_GT(line->getPoints()[1].Y(), 380);

    // Dragging the bend back onto the straight line removes it.
    const ZVector2 bend = line->getPoints()[1];
    move(static_cast<int>(bend.X()), static_cast<int>(bend.Y()));
    EXPECT_EQ(view->getHitCode(), 11);
    drag(static_cast<int>(bend.X()), static_cast<int>(bend.Y()), 250, 301);
    EXPECT_EQ(line->getPointSize(), 2);
    EXPECT_EQ(snapshots(), 3);
}

TEST_F(ViewTools, TreePointCollapsesAndExpandsItsSubtree) {
    auto* point = static_cast<ZN_NPoint*>(ZN_ShapeBase::createShape(2));
    point->setCoord(ZVector2(100, 100));
    point->setStateType(1);
    page->addShape(point);
    ZN_NRect* kid = addRect(*page, 200, 200, 300, 260);
    ZN_NLine* line = joinShapes(point, kid, *page);

    click(100, 100);
    EXPECT_EQ(point->getStateType(), 2);
    EXPECT_FALSE(kid->getShow());
    EXPECT_FALSE(line->getShow());
    EXPECT_FALSE(point->getSelected());
    click(100, 100);
    EXPECT_EQ(point->getStateType(), 1);
    EXPECT_TRUE(kid->getShow());
    EXPECT_EQ(snapshots(), 2);

    // The point tool adds free points where clicked, without an undo step
    // but with the document marked modified.
    doc()->SetModifiedFlag(false);
    view->setTool(viewtool::Point);
    click(500, 500);
    auto* added = dynamic_cast<ZN_NPoint*>(page->getShapeList().back());
    ASSERT_NE(added, nullptr);
    expectAt(added->getCoord(), 500, 500);
    EXPECT_EQ(view->getTool(), viewtool::Point);
    EXPECT_EQ(snapshots(), 2);
    EXPECT_TRUE(doc()->isModified());
}

TEST_F(ViewTools, LabelTypedIntoABoxThenErased) {
    ZN_NRect* box = addRect(*page, 100, 100, 300, 200);
    move(200, 150);
    view->onLButtonDblClk(kNone, QPoint(200, 150));
    ASSERT_TRUE(view->isEditing());
    ASSERT_NE(box->getLabel(), nullptr);
    EXPECT_EQ(view->getEditLabel(), box->getLabel());
    EXPECT_FALSE(box->getLabel()->getShow());

    const int before = view->editBox()->width();
    QTest::keyClicks(view->editBox(), "hello world");
    EXPECT_GT(view->editBox()->width(), before);

    click(600, 500);
    EXPECT_FALSE(view->isEditing());
    ASSERT_NE(box->getLabel(), nullptr);
    EXPECT_STREQ(box->getLabel()->getText(), "hello world");
    EXPECT_TRUE(box->getLabel()->getShow());
    EXPECT_EQ(snapshots(), 1);
    // The box centres its label.
    const ZVector2 lc = (box->getLabel()->getPoint1() + box->getLabel()->getPoint2()) * 0.5f;
    const ZVector2 bc = (box->getPoint1() + box->getPoint2()) * 0.5f;
    EXPECT_NEAR(lc.X(), bc.X(), 1.0f);
    EXPECT_NEAR(lc.Y(), bc.Y(), 1.0f);

    move(200, 150);
    view->onLButtonDblClk(kNone, QPoint(200, 150));
    EXPECT_EQ(view->editBox()->textCursor().selectedText(), "hello world");
    view->editBox()->clear();
    click(600, 500);
    EXPECT_EQ(box->getLabel(), nullptr);
    EXPECT_EQ(page->getShapeList().size(), 1u);

    // The text tool types a new free text, committed by the next press.
    view->setTool(viewtool::Text);
    down(500, 400);
    up(500, 400);
    EXPECT_EQ(view->getTool(), viewtool::Select);
    QTest::keyClicks(view->editBox(), "abc");
    click(50, 600);
    auto* text = dynamic_cast<ZN_SText*>(page->getShapeList().back());
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text->getText(), "abc");
    expectAt(text->getPoint1(), 500, 400);

    // An empty new text creates nothing.
    view->setTool(viewtool::Text);
    click(500, 300);
    click(50, 600);
    EXPECT_EQ(page->getShapeList().size(), 2u);
}

TEST_F(ViewTools, TextDroppedOnAFillInTableRefusedOrPlaced) {
    auto* table = static_cast<ZN_NJiuGongGe*>(ZN_ShapeBase::createShape(12));
    table->setPoint1(ZVector2(100, 100));
    table->setPoint2(ZVector2(400, 400));
    table->setSizeValue(3, 3);
    page->addShape(table);
    ZN_SText* answer = addText(*page, 500, 100, "A");
    ZN_SText* stranger = addText(*page, 500, 300, "B");
    table->addAnswerList(answer);
    answer->addAnswerHostList(table);

    drag(520, 315, 150, 150);
    EXPECT_EQ(messages, QStringList{"不正确"});
    expectAt(stranger->getPoint1(), 500, 300);
    EXPECT_EQ(table->getCells()[0].shape, nullptr);

    drag(520, 115, 250, 250);
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(table->getCells()[4].shape, answer);
    EXPECT_EQ(answer->getJiuGongHost(), table);
    // Centred in its cell.
    const ZVector2 c = (answer->getPoint1() + answer->getPoint2()) * 0.5f;
    EXPECT_NEAR(c.X(), 250, 1);
    EXPECT_NEAR(c.Y(), 250, 1);

    // Dragged out again, it leaves the table.
    drag(250, 250, 600, 600);
    EXPECT_EQ(table->getCells()[4].shape, nullptr);
    EXPECT_EQ(answer->getJiuGongHost(), nullptr);

    // A double click on the table asks for its size.
    view->setTableSizeAsker([](int& rows, int& columns) {
        EXPECT_EQ(rows, 3);
        EXPECT_EQ(columns, 3);
        rows = 4;
        columns = 5;
        return true;
    });
    move(110, 390);
    view->onLButtonDblClk(kNone, QPoint(110, 390));
    EXPECT_EQ(table->getCol(), 4);
    EXPECT_EQ(table->getRow(), 5);
}

TEST_F(ViewTools, CaptureFrameCopiesTheInsideAndStaysUntilAMissedPress) {
    QApplication::clipboard()->clear();
    addRect(*page, 120, 120, 160, 160);
    view->setTool(viewtool::Capture);
    drag(200, 180, 100, 100);
    EXPECT_EQ(view->getTool(), viewtool::Select);
    ZN_BackRgn* region = page->getBackRgn();
    EXPECT_TRUE(region->getShow());
    EXPECT_TRUE(region->getSelected());
    expectAt(region->getPoint1(), 100, 100);
    expectAt(region->getPoint2(), 200, 180);
    QImage picture = QApplication::clipboard()->image();
    EXPECT_EQ(picture.size(), QSize(98, 78));
    // The box's black frame is in the picture; the green frame is not.
    EXPECT_EQ(QColor(picture.pixel(19, 30)).rgb() & 0xffffff, 0u);
    EXPECT_EQ(QColor(picture.pixel(0, 0)).rgb() & 0xffffff, 0xffffffu);

    // Its bottom-right handle resizes it and copies again.
    drag(200, 180, 220, 200);
    EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(118, 98));
    EXPECT_TRUE(region->getShow());

    // A press on the page, even on a shape, puts it away.
    click(140, 140);
    EXPECT_FALSE(region->getShow());
    expectAt(region->getPoint2(), 220, 200);
}

TEST_F(ViewTools, KeyboardDeletesNudgesAndCancels) {
    ZN_NRect* a = addRect(*page, 100, 100, 200, 160);
    ZN_NRect* b = addRect(*page, 300, 100, 400, 160);
    click(150, 130);
    doc()->SetModifiedFlag(false);
    const int before = snapshots();
    view->onKeyDown(Qt::Key_Right, kNone);
    view->onKeyDown(Qt::Key_Down, kNone);
    expectAt(a->getPoint1(), 101, 101);
    expectAt(b->getPoint1(), 300, 100);
    EXPECT_EQ(snapshots(), before);
    EXPECT_TRUE(doc()->isModified());

    view->onKeyDown(Qt::Key_Delete, kNone);
    EXPECT_EQ(page->getShapeList(), std::list<ZN_ShapeBase*>{b});
    EXPECT_TRUE(view->getSelection().empty());
    EXPECT_EQ(view->getHitShape(), nullptr);
    EXPECT_EQ(snapshots(), before + 1);

    view->setTool(viewtool::Rect);
    view->onKeyDown(Qt::Key_Escape, kNone);
    EXPECT_EQ(view->getTool(), viewtool::Select);
}

TEST_F(ViewTools, QtEventsAndToolCommandsReachTheHandlers) {
    frame->action(cmd::ToolRect)->trigger();
    EXPECT_EQ(view->getTool(), viewtool::Rect);
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(300, 250));
    QTest::mouseMove(view, QPoint(250, 220));
    QTest::mouseMove(view, QPoint(200, 200));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(200, 200));
    ASSERT_EQ(page->getShapeList().size(), 1u);
    ZN_ShapeBase* rect = page->getShapeList().front();
    expectAt(rect->getPoint1(), 200, 200);
    expectAt(rect->getPoint2(), 300, 250);

    frame->action(cmd::ToolSelect)->trigger();
    EXPECT_EQ(view->getTool(), viewtool::Select);
    QTest::mouseMove(view, QPoint(250, 225));
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(250, 225));
    EXPECT_TRUE(rect->getSelected());
    QTest::keyClick(view, Qt::Key_Left);
    expectAt(rect->getPoint1(), 199, 200);
    QTest::keyClick(view, Qt::Key_Backspace);
    EXPECT_TRUE(page->getShapeList().empty());
}

TEST_F(ViewTools, SelectionOutlivesAPageSwitchButNotItsPage) {
    ZN_NRect* a = addRect(*page, 100, 100, 200, 160);
    click(150, 130);
    ASSERT_TRUE(a->getSelected());
    const int second = addNumberedPage(*doc());
    child->folderFrame()->tabCtrl()->selectTab(second);
    view->showPage(second);
    EXPECT_EQ(view->getSelection(), std::list<ZN_ShapeBase*>{a});
    child->folderFrame()->tabCtrl()->selectTab(0);
    view->showPage(0);
    ASSERT_TRUE(deleteCurrentPage(*doc()));
    EXPECT_TRUE(view->getSelection().empty());
    EXPECT_EQ(view->getHitShape(), nullptr);
    // Nudging must not reach the freed shape.
    view->onKeyDown(Qt::Key_Left, kNone);
}

// The keys go wherever the keyboard focus is, as they would from the user.
void typeKey(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, key, modifiers);
}

class ViewKeyboard : public ViewTools {
protected:
    void SetUp() override {
        ViewTools::SetUp();
        if (HasFatalFailure())
            return;
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
        view->setFocus();
    }
    void mouseClick(QPoint p) {
        QTest::mouseMove(view, p);
        QTest::mouseClick(view, Qt::LeftButton, {}, p);
    }
    // After a commit the arrows move the box just clicked, and Ctrl+Z
    // takes back that click, so the box returns.
    void expectKeysMoveAndUndo(ZN_ShapeBase* box) {
        ASSERT_TRUE(box->getSelected());
        EXPECT_FALSE(view->isEditing());
        const ZVector2 start = box->getPoint1();
        const auto& shapes = page->getShapeList();
        const auto at = std::distance(shapes.begin(), std::find(shapes.begin(), shapes.end(), box));
        const std::size_t count = shapes.size();
        typeKey(Qt::Key_Right);
        EXPECT_FLOAT_EQ(box->getPoint1().X(), start.X() + 1);
        // The undo step brings back new copies of the shapes.
        typeKey(Qt::Key_Z, Qt::ControlModifier);
        ASSERT_EQ(shapes.size(), count);
        EXPECT_FLOAT_EQ((*std::next(shapes.begin(), at))->getPoint1().X(), start.X());
    }
};

TEST_F(ViewKeyboard, ArrowsAndUndoReachThePageAfterALabelIsTyped) {
    addRect(*page, 100, 100, 300, 200);
    ZN_NRect* b = addRect(*page, 500, 100, 600, 200);
    QTest::mouseMove(view, QPoint(200, 150));
    QTest::mouseDClick(view, Qt::LeftButton, {}, QPoint(200, 150));
    ASSERT_TRUE(view->isEditing());
    EXPECT_EQ(QApplication::focusWidget(), view->editBox());
    QTest::keyClicks(QApplication::focusWidget(), "Lbl");
    mouseClick(QPoint(550, 150));
    EXPECT_EQ(QApplication::focusWidget(), view);
    expectKeysMoveAndUndo(b);
    EXPECT_STREQ(page->getShapeList().front()->getLabel()->getText(), "Lbl");
}

TEST_F(ViewKeyboard, ArrowsAndUndoReachThePageAfterAFreeTextOrADroppedEdit) {
    ZN_NRect* b = addRect(*page, 500, 100, 600, 200);
    frame->action(cmd::ToolText)->trigger();
    mouseClick(QPoint(100, 400));
    ASSERT_TRUE(view->isEditing());
    QTest::keyClicks(QApplication::focusWidget(), "abc");
    mouseClick(QPoint(550, 150));
    EXPECT_EQ(QApplication::focusWidget(), view);
    auto* text = dynamic_cast<ZN_SText*>(page->getShapeList().back());
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text->getText(), "abc");
    expectKeysMoveAndUndo(b);

    // An edit dropped by a command hands the keyboard back too.
    frame->action(cmd::ToolText)->trigger();
    mouseClick(QPoint(100, 500));
    ASSERT_TRUE(view->isEditing());
    frame->action(cmd::Clear)->trigger();
    EXPECT_FALSE(view->isEditing());
    EXPECT_EQ(QApplication::focusWidget(), view);
}

TEST_F(ViewTools, UndoingALabelEditShowsTheOldLabel) {
    addRect(*page, 100, 100, 300, 200);
    move(200, 150);
    view->onLButtonDblClk(kNone, QPoint(200, 150));
    QTest::keyClicks(view->editBox(), "Lbl");
    click(600, 500);
    move(200, 150);
    view->onLButtonDblClk(kNone, QPoint(200, 150));
    QTest::keyClicks(view->editBox(), "New");
    click(600, 500);
    frame->action(cmd::Undo)->trigger();

    ZN_SText* label = page->getShapeList().front()->getLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_STREQ(label->getText(), "Lbl");
    EXPECT_TRUE(label->getShow());
    // And it is drawn: ink inside the label's corners.
    const QImage shown = view->grabFramebuffer();
    const qreal ratio = shown.devicePixelRatio();
    int ink = 0;
    for (int y = static_cast<int>(label->getPoint1().Y()); y < label->getPoint2().Y(); ++y)
        for (int x = static_cast<int>(label->getPoint1().X()); x < label->getPoint2().X(); ++x)
            if (qGray(shown.pixel(static_cast<int>(x * ratio), static_cast<int>(y * ratio))) < 128)
                ++ink;
    EXPECT_GT(ink, 0);
}

TEST_F(ViewTools, TheEditBoxShowsAChineseFaceByItsName) {
    ZN_SText* text = addText(*page, 100, 100, "字");
    LOGFONTA font = text->getFont();
    std::memset(font.lfFaceName, 0, sizeof font.lfFaceName);
    std::memcpy(font.lfFaceName, "\xCB\xCE\xCC\xE5", 4); // the face name as the file holds it
    text->setFont(font);
    move(110, 110);
    view->onLButtonDblClk(kNone, QPoint(110, 110));
    ASSERT_TRUE(view->isEditing());
    EXPECT_EQ(view->editBox()->font().family(), QString::fromUtf8("宋体"));
}

TEST_F(ViewTools, ARubberBandEndsWithEscapeDeleteAPageSwitchOrUndo) {
    const auto startBand = [this] {
        move(600, 500);
        down(600, 500);
        move(700, 600);
        ASSERT_FALSE(view->focusRect().isNull());
    };
    startBand();
    view->onKeyDown(Qt::Key_Escape, kNone);
    EXPECT_TRUE(view->focusRect().isNull());
    up(700, 600);
    EXPECT_TRUE(view->focusRect().isNull());

    startBand();
    view->onKeyDown(Qt::Key_Delete, kNone);
    EXPECT_TRUE(view->focusRect().isNull());
    up(700, 600);

    startBand();
    frame->action(cmd::Undo)->trigger();
    EXPECT_TRUE(view->focusRect().isNull());
    up(700, 600);

    startBand();
    const int second = addNumberedPage(*doc());
    view->showPage(second);
    EXPECT_TRUE(view->focusRect().isNull());
}

TEST_F(ViewTools, ConnectorTargetsAreOnlyShownShapesAndTheirHighlightGoes) {
    ZN_NRect* hidden = pointWithChild(1).second;
    click(100, 100);
    ASSERT_FALSE(hidden->getShow());

    // Released over the collapsed child: empty canvas, so a bend.
    view->setTool(viewtool::Line);
    move(50, 400);
    down(50, 400);
    move(250, 230);
    EXPECT_EQ(view->getHoverShape(), nullptr);
    EXPECT_EQ(hidden->getSnake(), 0);
    up(250, 230);
    auto* line = dynamic_cast<ZN_NLine*>(page->getShapeList().front());
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->getOutputList().empty());
    EXPECT_EQ(line->getPointSize(), 3);
    view->onKeyDown(Qt::Key_Escape, kNone);

    // A highlighted target loses its green when the tool changes or a delete runs.
    ZN_NRect* box = addRect(*page, 500, 100, 600, 200);
    view->setTool(viewtool::Line);
    move(550, 150);
    ASSERT_EQ(view->getHoverShape(), box);
    frame->action(cmd::ToolSelect)->trigger();
    EXPECT_EQ(box->getSnake(), 0);
    EXPECT_EQ(view->getHoverShape(), nullptr);

    view->setTool(viewtool::Line);
    move(550, 150);
    ASSERT_NE(box->getSnake(), 0);
    view->onKeyDown(Qt::Key_Delete, kNone);
    EXPECT_EQ(box->getSnake(), 0);
}

TEST_F(ViewTools, OnlyPointsOfStateOneOrTwoToggleTheirSubtree) {
    const auto [point, kid] = pointWithChild(3);
    click(100, 100);
    EXPECT_EQ(point->getStateType(), 3);
    EXPECT_TRUE(kid->getShow());
    EXPECT_TRUE(point->getSelected());
}

TEST_F(ViewTools, CaptureFrameAtScaleTwoCopiesTheInsideAtDeviceResolution) {
    if (qEnvironmentVariable("QT_SCALE_FACTOR") != "2") {
        // The scale is fixed when the application starts: run this test again
        // in a process of its own.
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_SCALE_FACTOR", "2");
        run.setProcessEnvironment(env);
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.start(QCoreApplication::applicationFilePath(),
                  {QString("--gtest_filter=%1.%2").arg(info->test_suite_name(), info->name())});
        ASSERT_TRUE(run.waitForFinished(240000));
        EXPECT_EQ(run.exitCode(), 0) << run.readAll().toStdString();
        return;
    }
    ASSERT_EQ(view->devicePixelRatio(), 2.0);
    QApplication::clipboard()->clear();
    addRect(*page, 120, 120, 160, 160);
    view->setTool(viewtool::Capture);
    drag(200, 180, 100, 100);
    const QImage picture = QApplication::clipboard()->image();
    ASSERT_EQ(picture.size(), QSize(196, 156));
    // The box's left frame at x = 120 and its top at y = 120, as on screen;
    // the window corner outside the frame is white.
    EXPECT_EQ(QColor(picture.pixel(38, 60)).rgb() & 0xffffff, 0u);
    EXPECT_EQ(QColor(picture.pixel(60, 38)).rgb() & 0xffffff, 0u);
    EXPECT_EQ(QColor(picture.pixel(2, 2)).rgb() & 0xffffff, 0xffffffu);
    EXPECT_EQ(QColor(picture.pixel(120, 120)).rgb() & 0xffffff, 0xffffffu);
}

TEST(TableSizeDialog, StartsAtThreeByThreeAndTakesOnlyCountsUpToAThousand) {
    testApp();
    CDlgJiuGongGe dialog;
    EXPECT_EQ(dialog.windowTitle(), "表格属性");
    EXPECT_EQ(dialog.rowsEdit()->text(), "3");
    EXPECT_EQ(dialog.columnsEdit()->text(), "3");
    const char* refused[] = {"0", "1001", "-2", "x", ""};
    for (const char* text : refused) {
        dialog.rowsEdit()->setText(text);
        EXPECT_FALSE(dialog.readFields()) << text;
        EXPECT_EQ(dialog.rows, 3);
    }
    dialog.rowsEdit()->setText("1000");
    dialog.columnsEdit()->setText(" 7 ");
    EXPECT_TRUE(dialog.readFields());
    EXPECT_EQ(dialog.rows, 1000);
    EXPECT_EQ(dialog.columns, 7);
}
