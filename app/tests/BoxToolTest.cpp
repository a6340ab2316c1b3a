// The box tools: boxes drawn by press, drag and release.

#include "ViewToolsFixture.h"

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
