// The connector tool and the bends of connectors.

#include "ViewToolsFixture.h"

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
