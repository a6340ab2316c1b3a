// The select tool and the view's dispatch, driven through their handlers as
// the mouse and the keyboard would, with the page checked after each step.

#include "ViewToolsFixture.h"

TEST_F(ViewTools, PressBelowThresholdOnlyTogglesAndLeavesNoUndoStep) {
    ZN_NRect* a = addRect(*page, 100, 100, 200, 160);
    ZN_NRect* b = addRect(*page, 300, 100, 400, 160);
    click(350, 130);
    ASSERT_TRUE(b->getSelected());
    // Selecting changes nothing of the page: no step, no modified mark.
    EXPECT_EQ(snapshots(), 0);
    EXPECT_FALSE(doc()->isModified());

    // A move of sqrt(5) pixels is not a drag: nothing moves, b stays selected.
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
    EXPECT_EQ(snapshots(), 0);
    EXPECT_FALSE(doc()->isModified());

    // Clicking a selected shape unselects it, again without a step.
    click(150, 130);
    EXPECT_FALSE(a->getSelected());
    EXPECT_EQ(view->getSelection(), (std::list<ZN_ShapeBase*>{b}));
    EXPECT_EQ(snapshots(), 0);

    // A click on empty canvas clears everything.
    click(600, 500);
    EXPECT_FALSE(b->getSelected());
    EXPECT_TRUE(view->getSelection().empty());
    EXPECT_EQ(snapshots(), 0);

    // A drag past the threshold is one step, with the page as it was at the press.
    drag(150, 130, 190, 130);
    EXPECT_EQ(snapshots(), 1);
    EXPECT_TRUE(doc()->isModified());
    expectAt(a->getPoint1(), 140, 100);
    // And a point's fold toggled by a press is a step at once.
    auto [point, kid] = pointWithChild(1);
    (void)kid;
    click(100, 100);
    EXPECT_EQ(point->getStateType(), 2);
    EXPECT_EQ(snapshots(), 2);
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

TEST_F(ViewTools, OnlyPointsOfStateOneOrTwoToggleTheirSubtree) {
    const auto [point, kid] = pointWithChild(3);
    click(100, 100);
    EXPECT_EQ(point->getStateType(), 3);
    EXPECT_TRUE(kid->getShow());
    EXPECT_TRUE(point->getSelected());
}
