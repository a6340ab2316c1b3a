// Tidy tree layout: the placement core on bare trees, and the page operation
// on boxes joined by connectors.

#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/ZN_TreeLayout.h>
#include <sarvik/ZTidyTree.h>

#include <cmath>
#include <random>

#include "CoreTestSupport.h"

namespace {

using coretest::makeBox;
using coretest::makeLine;

std::vector<int> depthsOf(const std::vector<int>& parent) {
    std::vector<int> depth(parent.size(), 0);
    for (std::size_t i = 1; i < parent.size(); ++i)
        depth[i] = depth[static_cast<std::size_t>(parent[i])] + 1; // parents come first here
    return depth;
}

// Nodes at one depth keep sibling order and stay `gap` apart edge to edge.
void expectTidy(const std::vector<int>& parent, const std::vector<float>& breadth,
                const std::vector<float>& y, float gap) {
    ASSERT_EQ(y.size(), parent.size());
    const std::vector<int> depth = depthsOf(parent);
    std::vector<int> lastAt(parent.size(), -1); // last node met at each depth, pre-order = index order
    for (std::size_t i = 0; i < parent.size(); ++i) {
        const int d = depth[i];
        const int before = lastAt[static_cast<std::size_t>(d)];
        if (before >= 0) {
            const auto b = static_cast<std::size_t>(before);
            EXPECT_GE(y[i] - y[b] + 1e-3f, 0.5f * (breadth[i] + breadth[b]) + gap)
                << "nodes " << before << " and " << i;
        }
        lastAt[static_cast<std::size_t>(d)] = static_cast<int>(i);
    }
}

// A random tree whose nodes are numbered in pre-order, as the page operation
// numbers them.
std::vector<int> randomPreOrderTree(int n, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<int> parent{-1};
    std::vector<int> path{0};
    for (int i = 1; i < n; ++i) {
        const auto keep = std::uniform_int_distribution<std::size_t>(1, path.size())(rng);
        path.resize(keep);
        parent.push_back(path.back());
        path.push_back(i);
    }
    return parent;
}

} // namespace

TEST(TidyTree, SiblingsKeepOrderAndParentsSitBetweenTheirChildren) {
    // 0 -> 1, 2, 3; 1 -> 4, 5 (pre-order: 0, 1, 4, 5, 2, 3 by placement).
    const std::vector<int> parent{-1, 0, 0, 0, 1, 1};
    const std::vector<float> breadth{30, 30, 30, 30, 30, 30};
    const std::vector<float> y = ZTidyTreeCentres(parent, breadth, 10.0f);
    ASSERT_EQ(y.size(), 6u);
    EXPECT_LT(y[1], y[2]);
    EXPECT_LT(y[2], y[3]);
    EXPECT_LT(y[4], y[5]);
    EXPECT_FLOAT_EQ(y[1], 0.5f * (y[4] + y[5]));
    EXPECT_FLOAT_EQ(y[0], 0.5f * (y[1] + y[3]));
    EXPECT_FLOAT_EQ(y[5] - y[4], 40.0f);
}

TEST(TidyTree, RandomTreesOfMixedSizesNeverOverlap) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        const std::vector<int> parent = randomPreOrderTree(300, seed);
        std::mt19937 rng(seed);
        std::vector<float> breadth;
        for (std::size_t i = 0; i < parent.size(); ++i)
            breadth.push_back(std::uniform_real_distribution<float>(8.0f, 80.0f)(rng));
        expectTidy(parent, breadth, ZTidyTreeCentres(parent, breadth, 6.0f), 6.0f);
    }
}

TEST(TidyTree, DeepChainsAndWideFansNeedNoRecursion) {
    const int n = 100000;
    std::vector<int> chain(n), fan(n, 0);
    for (int i = 0; i < n; ++i)
        chain[static_cast<std::size_t>(i)] = i - 1;
    fan[0] = -1;
    const std::vector<float> breadth(n, 20.0f);
    const std::vector<float> y = ZTidyTreeCentres(chain, breadth, 5.0f);
    ASSERT_EQ(y.size(), static_cast<std::size_t>(n));
    EXPECT_FLOAT_EQ(y.back(), 0.0f);
    const std::vector<float> wide = ZTidyTreeCentres(fan, breadth, 5.0f);
    ASSERT_EQ(wide.size(), static_cast<std::size_t>(n));
    EXPECT_FLOAT_EQ(wide[2] - wide[1], 25.0f);
    EXPECT_NEAR(wide[1] + wide.back(), 0.0f, 1.0f); // the root sits at the middle
}

TEST(TidyTree, InputsThatAreNotTreesGiveNothing) {
    EXPECT_TRUE(ZTidyTreeCentres({}, {}, 1.0f).empty());
    EXPECT_TRUE(ZTidyTreeCentres({-1, 0, 5}, {1, 1, 1}, 1.0f).empty());
    EXPECT_TRUE(ZTidyTreeCentres({-1, 2, 1}, {1, 1, 1}, 1.0f).empty()); // 1 and 2 form a loop
    EXPECT_TRUE(ZTidyTreeCentres({-1, -1}, {1, 1}, 1.0f).empty());
    EXPECT_TRUE(ZTidyTreeCentres({-1, 0}, {1}, 1.0f).empty());
}

namespace {

bool overlap(const ZN_ShapeBase* a, const ZN_ShapeBase* b) {
    return a->getPoint1().X() < b->getPoint2().X() && b->getPoint1().X() < a->getPoint2().X() &&
           a->getPoint1().Y() < b->getPoint2().Y() && b->getPoint1().Y() < a->getPoint2().Y();
}

struct Map {
    ZN_ShapeManager page;
    std::vector<ZN_ShapeBase*> boxes;
    std::vector<ZN_NLine*> lines;

    // New boxes stand right of a root at the origin unless told otherwise.
    ZN_ShapeBase* add(ZN_ShapeBase* parent, float w, float h, float x = 1000.0f, float y = 0.0f) {
        ZN_ShapeBase* box = makeBox(x, y, x + w, y + h);
        page.addShape(box);
        boxes.push_back(box);
        if (parent) {
            lines.push_back(makeLine(parent, box));
            page.addShapeFront(lines.back());
        }
        return box;
    }
};

} // namespace

TEST(TreeLayout, BoxesGrowRightInColumnsWithoutOverlapAndLinesAreGlued) {
    Map map;
    ZN_ShapeBase* root = map.add(nullptr, 100, 40, 500, 500);
    // Children of the root start right of it, and so grow to the right.
    std::mt19937 rng(7);
    for (int i = 0; i < 200; ++i) {
        ZN_ShapeBase* parent = map.boxes[rng() % map.boxes.size()];
        map.add(parent, 20.0f + static_cast<float>(rng() % 120), 20.0f + static_cast<float>(rng() % 50));
    }
    const std::vector<ZN_ShapeBase*> placed = ZN_LayoutTree(root);
    ASSERT_EQ(placed.size(), map.boxes.size());
    EXPECT_EQ(root->getPoint1().X(), 500.0f);
    EXPECT_EQ(root->getPoint1().Y(), 500.0f);
    for (std::size_t i = 0; i < map.boxes.size(); ++i)
        for (std::size_t j = i + 1; j < map.boxes.size(); ++j)
            ASSERT_FALSE(overlap(map.boxes[i], map.boxes[j])) << i << " and " << j;
    for (ZN_NLine* line : map.lines) {
        const ZN_ShapeBase* from = line->inputs().front();
        const ZN_ShapeBase* to = line->outputs().front();
        EXPECT_GT(to->getPoint1().X(), from->getPoint2().X());
        coretest::expectNear(line->getPoints().front(), from->getPoint2().X(),
                             0.5f * (from->getPoint1().Y() + from->getPoint2().Y()));
        // The curve's tail ends on the child's left edge.
        const ZVector2 tail = line->getPoints().back() + ZVector2(line->getOffsetH(), 0.0f);
        const float endX = line->getbOffsetH() ? tail.X() : line->getPoints().back().X();
        EXPECT_FLOAT_EQ(endX, to->getPoint1().X());
    }
}

TEST(TreeLayout, ChildrenLeftOfTheRootStayLeftAndOrderHolds) {
    Map map;
    ZN_ShapeBase* root = map.add(nullptr, 80, 30, 0, 0);
    ZN_ShapeBase* r1 = map.add(root, 40, 20, 200, 0);
    ZN_ShapeBase* l1 = map.add(root, 40, 20, -200, 0);
    ZN_ShapeBase* r2 = map.add(root, 40, 20, 200, 0);
    ZN_ShapeBase* l1a = map.add(l1, 30, 20, 999, 999); // follows its side, not its place
    ZN_LayoutTree(root);
    EXPECT_LT(r1->getPoint1().Y(), r2->getPoint1().Y());
    EXPECT_GT(r1->getPoint1().X(), root->getPoint2().X());
    EXPECT_LT(l1->getPoint2().X(), root->getPoint1().X());
    EXPECT_LT(l1a->getPoint2().X(), l1->getPoint1().X());
    // A lone child on a side sits level with the root.
    EXPECT_FLOAT_EQ(l1->getPoint1().Y() + 10.0f, root->getPoint1().Y() + 15.0f);
}

TEST(TreeLayout, LongChainsFoldPointsAndLoopsArePlacedOnce) {
    Map map;
    ZN_ShapeBase* root = map.add(nullptr, 50, 20);
    ZN_ShapeBase* last = root;
    for (int i = 0; i < 100; ++i)
        last = map.add(last, 50, 20);
    auto* fold = new ZN_NPoint();
    fold->setStateType(1);
    map.page.addShape(fold);
    map.page.addShapeFront(makeLine(last, fold));
    ZN_ShapeBase* leaf = makeBox(0, 0, 30, 20);
    map.page.addShape(leaf);
    map.page.addShapeFront(makeLine(fold, leaf));
    map.page.addShapeFront(makeLine(leaf, root)); // a loop back to the root
    const std::vector<ZN_ShapeBase*> placed = ZN_LayoutTree(root);
    EXPECT_EQ(placed.size(), 103u);
    EXPECT_GT(fold->getCoord().X(), last->getPoint2().X());
    EXPECT_LT(fold->getCoord().X(), leaf->getPoint1().X());
    EXPECT_FLOAT_EQ(leaf->getPoint1().Y() + 10.0f, root->getPoint1().Y() + 10.0f);
    EXPECT_TRUE(ZN_LayoutTree(nullptr).empty());
}
