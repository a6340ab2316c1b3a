// Tree layouts on small maps: where each layout puts children, folds that
// take no room, sides of a mind map, connector styles, the layout a tree
// remembers, and the one-off layout of a branch.

#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/ZN_TreeLayout.h>

#include "CoreTestSupport.h"
#include "LayoutTestSupport.h"

#include <gtest/gtest.h>

namespace {

using layouttest::boxOf;
using layouttest::layoutFaults;
using layouttest::Map;

float centreY(const ZN_ShapeBase* s) { return 0.5f * (boxOf(s).y1 + boxOf(s).y2); }
float centreX(const ZN_ShapeBase* s) { return 0.5f * (boxOf(s).x1 + boxOf(s).x2); }

// A root with a wide and a narrow child, each with a child of its own.
struct Family {
    Map map;
    ZN_ShapeBase *root, *wide, *narrow, *wideKid, *narrowKid;
    Family() {
        root = map.add(nullptr, 100, 40, 0, 0);
        wide = map.add(root, 200, 30);
        narrow = map.add(root, 50, 30);
        wideKid = map.add(wide, 60, 24);
        narrowKid = map.add(narrow, 60, 24);
    }
};

} // namespace

TEST(TreeLayout, EachLayoutPutsChildrenWhereItsShapeSays) {
    {
        Family f;
        ZN_TreeLayout().apply(f.root, ZN_Layout::LogicRight);
        EXPECT_FLOAT_EQ(boxOf(f.wide).x1, 100.0f + 64.0f); // the full gap, from the root's side
        EXPECT_FLOAT_EQ(boxOf(f.narrow).x1, boxOf(f.wide).x1);
        // A column starts past its own parent, not past the widest node of its depth.
        EXPECT_FLOAT_EQ(boxOf(f.narrowKid).x1, boxOf(f.narrow).x2 + 64.0f);
        EXPECT_FLOAT_EQ(boxOf(f.wideKid).x1, boxOf(f.wide).x2 + 64.0f);
        EXPECT_FLOAT_EQ(boxOf(f.narrow).y1 - boxOf(f.wide).y2, 14.0f);
        EXPECT_FLOAT_EQ(centreY(f.root), 0.5f * (boxOf(f.wide).y1 + boxOf(f.narrow).y2));
        // Connectors leave the parent's right side and enter the child's left.
        const ZN_NLine* line = f.map.lineInto(f.narrow);
        EXPECT_EQ(line->getOutNumber(), 6);
        EXPECT_EQ(line->getInNumber(), 2);
        coretest::expectNear(line->getPoints().front(), 100.0f, 20.0f);
        EXPECT_TRUE(layoutFaults(f.root, f.map.page).empty());
    }
    {
        Family f;
        ZN_TreeLayout().apply(f.root, ZN_Layout::LogicLeft);
        EXPECT_FLOAT_EQ(boxOf(f.wide).x2, -64.0f);
        EXPECT_FLOAT_EQ(boxOf(f.narrowKid).x2, boxOf(f.narrow).x1 - 64.0f);
        EXPECT_EQ(f.map.lineInto(f.narrow)->getOutNumber(), 2);
        EXPECT_EQ(f.map.lineInto(f.narrow)->getInNumber(), 6);
    }
    {
        Family f;
        ZN_TreeLayout().apply(f.root, ZN_Layout::OrgChart);
        EXPECT_FLOAT_EQ(boxOf(f.wide).y1, 40.0f + 40.0f);
        EXPECT_FLOAT_EQ(boxOf(f.narrowKid).y1, boxOf(f.narrow).y2 + 40.0f);
        // The narrow child's branch is as wide as its child, centred on it.
        EXPECT_FLOAT_EQ(boxOf(f.narrowKid).x1 - boxOf(f.wide).x2, 24.0f);
        EXPECT_FLOAT_EQ(centreX(f.narrow), centreX(f.narrowKid));
        EXPECT_FLOAT_EQ(centreX(f.root), 0.5f * (boxOf(f.wide).x1 + boxOf(f.narrowKid).x2));
        // An elbow: down to a bus halfway, along it, down into the child.
        const auto& p = f.map.lineInto(f.narrow)->getPoints();
        ASSERT_EQ(p.size(), 4u);
        coretest::expectNear(p[0], 50.0f, 40.0f);
        coretest::expectNear(p[1], 50.0f, 60.0f);
        coretest::expectNear(p[2], centreX(f.narrow), 60.0f);
        coretest::expectNear(p[3], centreX(f.narrow), boxOf(f.narrow).y1);
        EXPECT_TRUE(layoutFaults(f.root, f.map.page).empty());
    }
    {
        Family f;
        ZN_TreeLayout().apply(f.root, ZN_Layout::TreeChart);
        // One row each, indented under the parent, in order.
        EXPECT_FLOAT_EQ(boxOf(f.wide).x1, 28.0f);
        EXPECT_FLOAT_EQ(boxOf(f.wide).y1, 40.0f + 8.0f);
        EXPECT_FLOAT_EQ(boxOf(f.wideKid).x1, 56.0f);
        EXPECT_FLOAT_EQ(boxOf(f.wideKid).y1, boxOf(f.wide).y2 + 8.0f);
        EXPECT_FLOAT_EQ(boxOf(f.narrow).y1, boxOf(f.wideKid).y2 + 8.0f);
        const auto& p = f.map.lineInto(f.narrow)->getPoints();
        ASSERT_EQ(p.size(), 3u);
        coretest::expectNear(p[0], 0.0f, 40.0f);
        coretest::expectNear(p[1], 0.0f, centreY(f.narrow));
        coretest::expectNear(p[2], 28.0f, centreY(f.narrow));
        EXPECT_TRUE(layoutFaults(f.root, f.map.page).empty());
    }
}

TEST(TreeLayout, MindMapsBalanceNewTreesAndKeepSidesAfterwards) {
    Map map;
    ZN_ShapeBase* root = map.add(nullptr, 100, 40, 0, 0);
    std::vector<ZN_ShapeBase*> kids;
    for (int i = 0; i < 5; ++i)
        kids.push_back(map.add(root, 80, 30, 500, 0)); // all to the right
    kids.push_back(map.add(root, 80, 200, 500, 0));    // one tall one
    ZN_TreeLayout layout;
    layout.apply(root, ZN_Layout::MindMap); // new to the tree: balanced
    EXPECT_EQ(ZN_StoredLayout(root), ZN_Layout::MindMap);
    int right = 0;
    for (ZN_ShapeBase* k : kids)
        right += centreX(k) > centreX(root);
    EXPECT_EQ(right, 5); // 5 x 30 against 200
    EXPECT_FLOAT_EQ(boxOf(kids.back()).x2, -64.0f);
    // Dragged across, a child stays on its new side.
    ZN_ShapeBase* moved = kids.front();
    moved->change(ZVector2(-400.0f, 0.0f), 9);
    ZN_PlaceDropped(moved);
    layout.relayout(root);
    EXPECT_LT(centreX(moved), 0.0f);
    EXPECT_TRUE(layoutFaults(root, map.page).empty());
    // Applied again, the sides are kept; balancing is asked for.
    layout.apply(root, ZN_Layout::MindMap);
    EXPECT_LT(centreX(moved), 0.0f);
    EXPECT_EQ(layout.sideForNewChild(root), 1);
    layout.apply(root, ZN_Layout::MindMap, ZN_LayoutSides::Balance);
    EXPECT_GT(centreX(moved), 0.0f);
}

TEST(TreeLayout, FoldedBranchesTakeNoRoomAndWhatIsHiddenMovesAlong) {
    Map map;
    ZN_ShapeBase* root = map.add(nullptr, 100, 40, 0, 0);
    ZN_ShapeBase* folded = map.add(root, 80, 30);
    ZN_NPoint* fold = map.fold(folded, 1);
    std::vector<ZN_ShapeBase*> hidden;
    for (int i = 0; i < 6; ++i)
        hidden.push_back(map.add(folded, 60, 30, 2000.0f + 10.0f * static_cast<float>(i), 40.0f * static_cast<float>(i)));
    ZN_ShapeBase* below = map.add(root, 80, 30);
    ZN_TreeLayout layout;
    layout.apply(root, ZN_Layout::LogicRight);
    // Unfolded, the fold point sits beside its node and the children start
    // the full gap past it.
    const float ring = fold->getPointSize();
    coretest::expectNear(fold->getCoord(), boxOf(folded).x2 + 4.0f + ring, centreY(folded));
    EXPECT_FLOAT_EQ(boxOf(hidden[0]).x1, boxOf(folded).x2 + 4.0f + 2.0f * ring + 64.0f);
    EXPECT_GT(boxOf(below).y1, boxOf(hidden.back()).y2);

    map.page.shapeShrink(fold);
    fold->setStateType(2);
    const ZVector2 before = hidden[3]->getPoint1() - folded->getPoint1();
    const ZN_LayoutReport report = layout.relayout(fold);
    EXPECT_FALSE(report.whole);
    // A leaf now: its sibling comes right below it.
    EXPECT_FLOAT_EQ(boxOf(below).y1 - boxOf(folded).y2, 14.0f);
    coretest::expectNear(fold->getCoord(), boxOf(folded).x2 + 4.0f + ring, centreY(folded));
    const ZVector2 after = hidden[3]->getPoint1() - folded->getPoint1();
    EXPECT_FLOAT_EQ(after.X(), before.X());
    EXPECT_FLOAT_EQ(after.Y(), before.Y());
    EXPECT_TRUE(layoutFaults(root, map.page).empty());
}

TEST(TreeLayout, RelayoutKeepsEachConnectorsStyleAndANewLayoutGivesItsOwn) {
    Family f;
    ZN_TreeLayout layout;
    layout.apply(f.root, ZN_Layout::LogicRight);
    ZN_NLine* line = f.map.lineInto(f.narrow);
    EXPECT_EQ(line->getStrightType(), 1);
    line->autoAlign(1); // the user made it an elbow
    f.narrow->change(ZVector2(0.0f, 12.0f), 4); // a second line of text
    EXPECT_FALSE(layout.relayout(f.narrow).whole);
    EXPECT_EQ(line->getStrightType(), 0);
    EXPECT_EQ(line->getPointSize(), 4);
    EXPECT_TRUE(layoutFaults(f.root, f.map.page).empty());
    layout.apply(f.root, ZN_Layout::OrgChart);
    layout.apply(f.root, ZN_Layout::LogicRight);
    EXPECT_EQ(line->getStrightType(), 1);
}

TEST(TreeLayout, TreesWithoutALayoutStayAsTheyAre) {
    Family f;
    const ZVector2 at = f.narrowKid->getPoint1();
    ZN_TreeLayout layout;
    EXPECT_EQ(layout.relayout(f.narrowKid).written, 0);
    EXPECT_EQ(f.narrowKid->getPoint1().X(), at.X());
    layout.apply(f.root, ZN_Layout::LogicRight);
    layout.apply(f.root, ZN_Layout::None);
    EXPECT_EQ(ZN_StoredLayout(f.root), ZN_Layout::None);
    const ZVector2 placed = f.narrowKid->getPoint1();
    f.narrow->change(ZVector2(0.0f, 30.0f), 4);
    layout.relayout(f.narrow);
    EXPECT_EQ(f.narrowKid->getPoint1().Y(), placed.Y());
}

TEST(TreeLayout, ChangesTheLayoutWasNotToldOfLayTheTreeOutWhole) {
    Family f;
    ZN_TreeLayout layout;
    layout.apply(f.root, ZN_Layout::LogicRight);
    // Regrown elsewhere: the narrow child's child moved to the wide one.
    ZN_NLine* line = f.map.lineInto(f.narrowKid);
    f.narrow->deleteOutput(line);
    line->deleteInput(f.narrow);
    f.wide->pushToOutput(line);
    line->pushToInput(f.wide);
    const ZN_LayoutReport report = layout.relayout(f.narrowKid);
    EXPECT_TRUE(report.whole);
    EXPECT_FLOAT_EQ(boxOf(f.narrowKid).x1, boxOf(f.wide).x2 + 64.0f);
    EXPECT_TRUE(layoutFaults(f.root, f.map.page).empty());
    layout.forget();
    EXPECT_TRUE(layout.relayout(f.root).whole);
}

TEST(TreeLayout, DroppedNodesTakeTheirPlaceAmongTheirSiblings) {
    Map map;
    ZN_ShapeBase* root = map.add(nullptr, 100, 40, 0, 0);
    ZN_ShapeBase* a = map.add(root, 60, 30);
    ZN_ShapeBase* b = map.add(root, 60, 30);
    ZN_ShapeBase* c = map.add(root, 60, 30);
    ZN_TreeLayout layout;
    layout.apply(root, ZN_Layout::LogicRight);
    EXPECT_FALSE(ZN_PlaceDropped(b)); // where it is
    a->change(ZVector2(0.0f, centreY(c) - centreY(a) + 1.0f), 9); // below c
    EXPECT_TRUE(ZN_PlaceDropped(a));
    layout.relayout(root);
    EXPECT_LT(centreY(b), centreY(c));
    EXPECT_LT(centreY(c), centreY(a));
}

TEST(TreeLayout, RoutingABranchOfATreeWithoutALayoutJoinsTheFacingSides) {
    Map map;
    ZN_ShapeBase* root = map.add(nullptr, 100, 40, 0, 0);
    ZN_ShapeBase* right = map.add(root, 60, 30, 300, 200);
    ZN_ShapeBase* left = map.add(root, 60, 30, -300, 200);
    ZN_RouteBranch(map.lineInto(right), ZN_Layout::None);
    ZN_RouteBranch(map.lineInto(left), ZN_Layout::None);
    EXPECT_EQ(map.lineInto(right)->getOutNumber(), 6);
    EXPECT_EQ(map.lineInto(left)->getOutNumber(), 2);
    coretest::expectNear(map.lineInto(right)->getPoints().front(), 100.0f, 20.0f);
    EXPECT_EQ(right->getPoint1().X(), 300.0f); // nothing moves
}

// The one-off layout of a branch, as 自动布局 and paste as tree use it.
TEST(TreeLayout, OneOffLayoutsPlaceEachNodeOnceAndKeepTheirHead) {
    Map map;
    ZN_ShapeBase* root = map.add(nullptr, 50, 20, 500, 500);
    ZN_ShapeBase* last = root;
    for (int i = 0; i < 100; ++i)
        last = map.add(last, 50, 20);
    ZN_NPoint* fold = map.fold(last, 1);
    ZN_ShapeBase* leaf = map.add(last, 30, 20);
    map.page.addShapeFront(coretest::makeLine(leaf, root)); // a loop back to the root
    ZN_ShapeBase* left = map.add(root, 40, 20, -200, 0);
    ZN_ShapeBase* leftKid = map.add(left, 30, 20, 999, 999); // follows its side, not its place
    const std::vector<ZN_ShapeBase*> placed = ZN_LayoutTree(root);
    EXPECT_EQ(placed.size(), 105u);
    EXPECT_EQ(placed.front(), root);
    EXPECT_FLOAT_EQ(root->getPoint1().X(), 500.0f);
    EXPECT_GT(fold->getCoord().X(), last->getPoint2().X());
    EXPECT_LT(fold->getCoord().X(), leaf->getPoint1().X());
    EXPECT_FLOAT_EQ(centreY(leaf), centreY(map.nodes[1]));
    EXPECT_LT(boxOf(leftKid).x2, boxOf(left).x1);
    EXPECT_TRUE(ZN_LayoutTree(nullptr).empty());
    // A branch inside a laid-out tree is laid out as that tree lays it out.
    Family f;
    ZN_TreeLayout().apply(f.root, ZN_Layout::OrgChart);
    f.narrowKid->change(ZVector2(300.0f, 0.0f), 9);
    ZN_LayoutTree(f.narrow);
    EXPECT_FLOAT_EQ(boxOf(f.narrowKid).y1, boxOf(f.narrow).y2 + 40.0f);
    EXPECT_FLOAT_EQ(centreX(f.narrowKid), centreX(f.narrow));
}
