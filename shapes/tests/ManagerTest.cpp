#include "CoreTestSupport.h"

#include <sarvik/ZN_BackRgn.h>
#include <sarvik/ZN_ShapeManager.h>

#include <memory>
#include <vector>

#include "model/index/ShapeGrid.h"

using namespace coretest;

namespace {

// A capture frame that answers a body hit anywhere inside its corners, so the
// manager's order of testing can be seen without the frame's own rules.
struct HitRegion : ZN_BackRgn {
    int InPoint(const ZVector2& pos, ZObj2DInPoint*, float) const override {
        const ZVector2 a = getPoint1();
        const ZVector2 b = getPoint2();
        return pos.X() > a.X() && pos.X() < b.X() && pos.Y() > a.Y() && pos.Y() < b.Y() ? 9 : 0;
    }
};

struct TestManager : ZN_ShapeManager {
    void useHitRegion() {
        delete backRgn;
        backRgn = new HitRegion();
        backRgn->setShow(false);
    }
};

// A node whose moves are counted.
struct CountingNode : ZN_Node {
    int moves = 0;
    void change(const ZVector2&, int) override { ++moves; }
};

// Hub with two incoming and three outgoing connectors.
struct Hub {
    ZN_ShapeManager page;
    ZN_NRect* hub = makeBox(100, 100, 200, 150);
    std::vector<ZN_NRect*> parents;
    std::vector<ZN_NRect*> children;
    std::vector<ZN_NLine*> lines;
    Hub() {
        page.addShape(hub);
        for (int i = 0; i < 2; ++i) {
            parents.push_back(makeBox(0, i * 60.0f, 50, i * 60.0f + 40));
            page.addShape(parents.back());
            lines.push_back(makeLine(parents.back(), hub));
            page.addShapeFront(lines.back());
        }
        for (int i = 0; i < 3; ++i) {
            children.push_back(makeBox(300, i * 60.0f, 350, i * 60.0f + 40));
            page.addShape(children.back());
            lines.push_back(makeLine(hub, children.back()));
            page.addShapeFront(lines.back());
        }
    }
};

} // namespace

TEST(ShapeManager, StartsWithAHiddenCaptureFrameAndWhitePage) {
    ZN_ShapeManager page;
    ASSERT_NE(page.getBackRgn(), nullptr);
    EXPECT_FALSE(page.getBackRgn()->getShow());
    ASSERT_NE(page.getUndoRedo(), nullptr);
    EXPECT_EQ(page.getBackColor(), ZVector4(1, 1, 1, 1));
    EXPECT_TRUE(page.getShapeList().empty());
}

TEST(ShapeManager, AddFrontAndBackAndDeleteOnlyWhatItHolds) {
    ZN_ShapeManager page;
    auto* a = makeBox(0, 0, 10, 10);
    auto* b = makeBox(0, 0, 10, 10);
    page.addShape(a);
    page.addShapeFront(b);
    EXPECT_EQ(page.getShapeList(), (std::list<ZN_ShapeBase*>{b, a}));
    ZN_NRect stranger;
    page.deleteShape(&stranger); // not in the list: nothing
    page.deleteShape(a);
    EXPECT_EQ(page.getShapeList(), (std::list<ZN_ShapeBase*>{b}));
}

TEST(ShapeManager, HitTestPrefersTheTopmostShownShape) {
    ZN_ShapeManager page;
    auto* lower = makeBox(0, 0, 100, 100);
    auto* upper = makeBox(50, 50, 150, 150);
    page.addShape(lower);
    page.addShape(upper);
    ZObj2DInPoint record;
    int code = -1;
    EXPECT_EQ(page.Change_Cursor(ZVector2(75, 75), &record, code), upper);
    EXPECT_EQ(code, 9);
    upper->setShow(false);
    EXPECT_EQ(page.Change_Cursor(ZVector2(75, 75), &record, code), lower);
    EXPECT_EQ(page.Change_Cursor(ZVector2(500, 500), &record, code), nullptr);
    EXPECT_EQ(code, 0);
}

TEST(ShapeManager, HitTestReachIsTheToleranceGiven) {
    ZN_ShapeManager page;
    auto* box = makeBox(100, 100, 200, 300);
    box->setSelected(true);
    page.addShape(box);
    ZObj2DInPoint record;
    int code = 0;
    // 15 units left of the left-middle handle: out of the usual reach of 10,
    // within a reach of 40 (a view at 25 %).
    EXPECT_EQ(page.Change_Cursor(ZVector2(85, 200), &record, code), nullptr);
    EXPECT_EQ(page.Change_Cursor(ZVector2(85, 200), &record, code, 40.0f), box);
    EXPECT_EQ(code, 2);
    // A reach of 10 / 3 (a view at 300 %) misses 5 units away.
    EXPECT_EQ(page.Change_Cursor(ZVector2(95, 200), &record, code, 10.0f / 3.0f), nullptr);
    EXPECT_EQ(page.Change_Cursor(ZVector2(97, 200), &record, code, 10.0f / 3.0f), box);
    EXPECT_EQ(code, 2);
}

TEST(ShapeManager, ShownCaptureFrameWinsOverEveryShape) {
    TestManager page;
    page.useHitRegion();
    auto* box = makeBox(0, 0, 100, 100);
    page.addShape(box);
    auto* region = static_cast<ZN_BackRgn*>(page.getBackRgn());
    region->setPoint1(ZVector2(-50, -50));
    region->setPoint2(ZVector2(200, 200));
    int code = 0;
    EXPECT_EQ(page.Change_Cursor(ZVector2(50, 50), nullptr, code), box);
    region->setShow(true);
    EXPECT_EQ(page.Change_Cursor(ZVector2(50, 50), nullptr, code), region);
    EXPECT_EQ(code, 9);
}

TEST(ShapeManager, BoundDragMovesEveryDescendantOnce) {
    ZN_ShapeManager page;
    auto* left = new CountingNode();
    auto* right = new CountingNode();
    auto* shared = new CountingNode();
    auto* below = new CountingNode();
    auto* l1 = new CountingNode();
    auto* l2 = new CountingNode();
    auto* l3 = new CountingNode();
    link(left, l1, shared);
    link(right, l2, shared);
    link(shared, l3, below);
    for (ZN_ShapeBase* s :
         std::initializer_list<ZN_ShapeBase*>{left, right, shared, below, l1, l2, l3})
        page.addShape(s);
    left->setSelected(true);
    right->setSelected(true);
    page.change(ZVector2(0, 0), ZVector2(5, 5), 9, 1);
    for (CountingNode* n : {left, right, shared, below, l1, l2, l3})
        EXPECT_EQ(n->moves, 1);
    page.change(ZVector2(0, 0), ZVector2(5, 5), 9, 0);
    EXPECT_EQ(left->moves, 2);
    EXPECT_EQ(right->moves, 2);
    EXPECT_EQ(shared->moves, 1);
}

TEST(ShapeManager, DragMovesByTheDifferenceOfThePositions) {
    ZN_ShapeManager page;
    auto* box = makeBox(0, 0, 100, 100);
    page.addShape(box);
    box->setSelected(true);
    page.change(ZVector2(10, 10), ZVector2(13, 6), 9, 0);
    expectNear(box->getPoint1(), 3, -4);
}

TEST(ShapeManager, RubberBandSkipsHiddenShapesAndKeepsTheSelection) {
    ZN_ShapeManager page;
    auto* hidden = makeBox(10, 10, 20, 20);
    auto* shown = makeBox(30, 10, 40, 20);
    auto* kept = makeBox(500, 500, 510, 510);
    for (ZN_NRect* b : {hidden, shown, kept})
        page.addShape(b);
    hidden->setShow(false);
    kept->setSelected(true);
    EXPECT_FALSE(page.selectWithinRect(ZVector2(0, 0), ZVector2(100, 100)));
    EXPECT_FALSE(hidden->getSelected());
    EXPECT_TRUE(shown->getSelected());
    EXPECT_TRUE(kept->getSelected());
    page.clearSelect();
    EXPECT_FALSE(shown->getSelected() || kept->getSelected());
}

// A band dragged up or to the left comes with its corners in any order; it
// catches what the same band drawn down and to the right catches, also when
// every query is checked against a walk of the page.
TEST(ShapeManager, RubberBandCatchesTheSameWhicheverCornerItStartsFrom) {
    detail::setIndexSelfCheck(true);
    const ZVector2 corners[4][2] = {{ZVector2(100, 100), ZVector2(0, 0)},
                                    {ZVector2(100, 0), ZVector2(0, 100)},
                                    {ZVector2(0, 100), ZVector2(100, 0)},
                                    {ZVector2(0, 0), ZVector2(100, 100)}};
    for (const auto& band : corners) {
        ZN_ShapeManager page;
        auto* inside = makeBox(10, 10, 20, 20);
        auto* across = makeBox(90, 40, 200, 60);
        auto* outside = makeBox(300, 300, 310, 310);
        for (ZN_NRect* b : {inside, across, outside})
            page.addShape(b);
        page.selectWithinRect(band[0], band[1]);
        EXPECT_TRUE(inside->getSelected());
        EXPECT_TRUE(across->getSelected());
        EXPECT_FALSE(outside->getSelected());
    }
    detail::setIndexSelfCheck(false);
}

TEST(ShapeManager, DeletingANodeTakesItsConnectorsButNotTheirOtherEnds) {
    Hub h;
    h.hub->setSelected(true);
    h.page.deleteSelected();
    EXPECT_EQ(h.page.getShapeList().size(), 5u);
    for (ZN_NRect* child : h.children)
        EXPECT_TRUE(child->getInputList().empty());
    for (ZN_NRect* parent : h.parents)
        EXPECT_TRUE(parent->getOutputList().empty());
}

TEST(ShapeManager, DeletingAConnectorTakesOnlyTheConnector) {
    Hub h;
    h.lines[0]->setSelected(true);
    h.page.deleteSelected();
    EXPECT_EQ(h.page.getShapeList().size(), 10u);
    EXPECT_EQ(h.hub->getInputList().size(), 1u);
}

TEST(ShapeManager, DeletingACollapsedNodeShowsWhatHungBelowIt) {
    Hub h;
    h.page.shapeShrink(h.hub);
    ASSERT_FALSE(h.children[0]->getShow());
    h.hub->setSelected(true);
    h.page.deleteSelected();
    for (ZN_NRect* child : h.children)
        EXPECT_TRUE(child->getShow());
}

TEST(ShapeManager, ClearingALinkedPageInAnyOrderLeavesNoDanglingLink) {
    // Destruction order is list order; put children before their parents.
    ZN_ShapeManager page;
    auto* a = makeBox(0, 0, 10, 10);
    auto* b = makeBox(0, 0, 10, 10);
    ZN_NLine* line = makeLine(a, b);
    makeLabel(a, 0, 0, 5, 5);
    page.addShape(b);
    page.addShape(line);
    page.addShape(a);
    page.clear();
    EXPECT_TRUE(page.getShapeList().empty());
}
