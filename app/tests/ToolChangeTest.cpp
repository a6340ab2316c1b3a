// Changing the tool in the middle of a press: the tool left ends its press
// where it is, and the next tool starts from rest.

#include "ViewToolsFixture.h"

TEST_F(ViewTools, ATargetMarkedByTheConnectorGoesWithTheTool) {
    ZN_NRect* box = addRect(*page, 300, 100, 400, 200);
    view->setTool(viewtool::Line);
    move(350, 150);
    ASSERT_EQ(view->getHoverShape(), box);
    ASSERT_NE(box->getSnake(), 0);
    view->setTool(viewtool::Rect);
    EXPECT_EQ(view->getHoverShape(), nullptr);
    EXPECT_EQ(box->getSnake(), 0);

    // Esc in the middle of a connector leaves it drawn and the target unmarked.
    view->setTool(viewtool::Line);
    move(50, 50);
    down(50, 50);
    move(350, 150);
    ASSERT_EQ(view->getDragState(), dragstate::Drawing);
    view->onKeyDown(Qt::Key_Escape, kNone);
    EXPECT_EQ(view->getTool(), viewtool::Select);
    EXPECT_EQ(view->getDragState(), dragstate::Idle);
    EXPECT_EQ(view->getHoverShape(), nullptr);
    EXPECT_EQ(box->getSnake(), 0);
    EXPECT_EQ(page->getShapeList().size(), 2u);
}

TEST_F(ViewTools, ABoxHalfDrawnStaysAndTheSelectToolStartsFromRest) {
    view->setTool(viewtool::Ellipse);
    down(100, 100);
    move(150, 140);
    ASSERT_EQ(view->getDragState(), dragstate::Drawing);
    ASSERT_EQ(view->getDragPhase(), 2);
    view->setTool(viewtool::Select);
    EXPECT_EQ(view->getDragState(), dragstate::Idle);
    ASSERT_EQ(page->getShapeList().size(), 1u);
    ZN_ShapeBase* ellipse = page->getShapeList().front();
    expectAt(ellipse->getPoint2(), 150, 140);
    // A move and a release after the change neither grow the box nor finish it.
    move(200, 200);
    up(200, 200);
    expectAt(ellipse->getPoint2(), 150, 140);

    // A rubber band begun with the select tool ends with it.
    drag(500, 500, 520, 520);
    move(600, 600);
    down(600, 600);
    move(640, 640);
    ASSERT_FALSE(view->focusRect().isNull());
    view->setTool(viewtool::Rect);
    EXPECT_TRUE(view->focusRect().isNull());
    view->setTool(viewtool::Select);
    move(660, 660);
    EXPECT_TRUE(view->focusRect().isNull());
    up(660, 660);
    EXPECT_EQ(page->getShapeList().size(), 1u);
}

TEST_F(ViewTools, ADragLeftForAnotherToolIsOneStep) {
    ZN_NRect* box = addRect(*page, 100, 100, 200, 160);
    drag(150, 130, 150, 130);
    move(150, 130);
    down(150, 130);
    move(170, 150);
    move(190, 170);
    ASSERT_EQ(view->getDragPhase(), 2);
    view->setTool(viewtool::Point);
    EXPECT_TRUE(doc()->isModified());
    EXPECT_EQ(snapshots(), 1);
    // The release belongs to the point tool now: it neither moves the box
    // nor takes another step.
    up(210, 190);
    expectAt(box->getPoint1(), 140, 140);
    EXPECT_EQ(snapshots(), 1);
    // Undo brings back shapes of its own: the box is the page's one shape.
    ASSERT_TRUE(page->getUndoRedo()->unDo());
    ASSERT_EQ(page->getShapeList().size(), 1u);
    expectAt(page->getShapeList().front()->getPoint1(), 100, 100);
}

TEST_F(ViewTools, TheCaptureAndTextToolsHandTheirNextPressToTheSelectTool) {
    ZN_NRect* box = addRect(*page, 300, 300, 400, 360);
    view->setTool(viewtool::Capture);
    drag(100, 100, 200, 180);
    ASSERT_EQ(view->getTool(), viewtool::Select);
    EXPECT_EQ(view->getDragState(), dragstate::Idle);
    // The next press puts the frame away; the one after moves the box.
    click(600, 600);
    EXPECT_FALSE(page->getBackRgn()->getShow());
    drag(350, 330, 370, 350);
    expectAt(box->getPoint1(), 320, 320);

    view->setTool(viewtool::Text);
    down(500, 100);
    up(500, 100);
    ASSERT_TRUE(view->isEditing());
    EXPECT_EQ(view->getTool(), viewtool::Select);
    view->editBox()->setPlainText("note");
    // The press that puts the text on the page is the select tool's.
    click(600, 600);
    EXPECT_FALSE(view->isEditing());
    EXPECT_EQ(page->getShapeList().size(), 2u);
    EXPECT_EQ(view->getDragState(), dragstate::Idle);
}
