// Properties of every layout on random maps: sibling branches never overlap
// and no connector crosses a box, folded or not; laying out again after a
// change gives what laying out whole gives.

#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/ZN_TreeLayout.h>

#include <random>

#include "LayoutTestSupport.h"

#include <gtest/gtest.h>

namespace {

using layouttest::layoutFaults;
using layouttest::Map;

constexpr ZN_Layout kLayouts[] = {ZN_Layout::MindMap, ZN_Layout::LogicRight, ZN_Layout::LogicLeft,
                                  ZN_Layout::OrgChart, ZN_Layout::TreeChart};

std::string joined(const std::vector<std::string>& faults) {
    std::string all;
    for (const std::string& f : faults)
        all += f + "\n";
    return all;
}

} // namespace

TEST(TreeLayoutProperty, SiblingBranchesApartAndNoConnectorThroughABox) {
    for (const ZN_Layout layout : kLayouts) {
        for (const bool folds : {false, true}) {
            for (const int n : {1, 2, 9, 60, 700, 5000}) {
                const unsigned seed = 17u * static_cast<unsigned>(n) +
                                      static_cast<unsigned>(layout) * 7u + (folds ? 3u : 0u);
                Map map;
                layouttest::randomMap(map, n, seed, folds);
                ZN_TreeLayout().apply(map.root(), layout);
                const std::vector<std::string> faults = layoutFaults(map.root(), map.page);
                ASSERT_TRUE(faults.empty()) << "layout " << static_cast<int>(layout) << ", " << n
                                            << " nodes, folds " << folds << ":\n"
                                            << joined(faults);
            }
        }
    }
}

namespace {

// One edit made alike on two maps built alike.
struct Edit {
    enum Kind { Add, Resize, Fold, Remove } kind;
    std::size_t node = 0;
    float a = 0, b = 0;
};

Edit randomEdit(const Map& map, std::mt19937& rng) {
    for (;;) {
        Edit e{static_cast<Edit::Kind>(rng() % 4)};
        const auto dim = [&](int lo, int hi) {
            return static_cast<float>(std::uniform_int_distribution<int>(lo, hi)(rng));
        };
        if (e.kind == Edit::Fold) {
            if (map.folds.empty())
                continue;
            e.node = rng() % map.folds.size();
            if (!map.folds[e.node]->getShow())
                continue;
            return e;
        }
        e.node = rng() % map.nodes.size();
        const ZN_ShapeBase* node = map.nodes[e.node];
        if (!node->getShow() || (e.kind == Edit::Remove && (e.node == 0 || !node->outputs().empty())))
            continue;
        e.a = e.kind == Edit::Add ? (rng() % 2 ? 1000.0f : -1000.0f) : dim(-20, 40);
        e.b = e.kind == Edit::Add ? dim(20, 160) : dim(-10, 30);
        return e;
    }
}

// Makes the edit and returns the shape to lay out again from.
ZN_ShapeBase* make(Map& map, const Edit& e) {
    switch (e.kind) {
    case Edit::Add:
        return map.add(map.nodes[e.node], e.b, 24.0f, e.a, 0.0f);
    case Edit::Resize: {
        // A label typed longer or onto more lines: the box grows from its corner.
        ZN_ShapeBase* node = map.nodes[e.node];
        if (auto* box = dynamic_cast<ZN_NRect*>(node)) {
            box->setPoint2(box->getPoint2() + ZVector2(e.a, e.b));
            box->setPoint2(ZVector2(std::max(box->getPoint2().X(), box->getPoint1().X() + 10.0f),
                                    std::max(box->getPoint2().Y(), box->getPoint1().Y() + 10.0f)));
        }
        return node;
    }
    case Edit::Fold: {
        // As a click on the fold point does.
        ZN_NPoint* fold = map.folds[e.node];
        if (fold->getStateType() == 1) {
            map.page.shapeShrink(fold);
            fold->setStateType(2);
        } else {
            map.page.shapeSpread(fold);
            fold->setStateType(1);
        }
        return fold;
    }
    case Edit::Remove: {
        ZN_ShapeBase* node = map.nodes[e.node];
        ZN_ShapeBase* parent = ZN_TreeParent(node);
        map.page.clearSelect();
        node->setSelected(true);
        map.page.deleteSelected();
        map.nodes.erase(map.nodes.begin() + static_cast<std::ptrdiff_t>(e.node));
        return parent;
    }
    }
    return nullptr;
}

} // namespace

TEST(TreeLayoutProperty, LayingOutAChangeEqualsLayingOutWhole) {
    for (const ZN_Layout layout : kLayouts) {
        Map incremental, whole;
        const unsigned seed = 91u + static_cast<unsigned>(layout);
        layouttest::randomMap(incremental, 300, seed, true);
        layouttest::randomMap(whole, 300, seed, true);
        ZN_TreeLayout kept;
        kept.apply(incremental.root(), layout);
        ZN_TreeLayout().apply(whole.root(), layout);
        std::mt19937 rng(seed);
        int partial = 0;
        for (int step = 0; step < 80; ++step) {
            const Edit e = randomEdit(incremental, rng);
            ZN_ShapeBase* changed = make(incremental, e);
            ZN_ShapeBase* same = make(whole, e);
            partial += !kept.relayout(changed).whole;
            ZN_TreeLayout fresh; // knows nothing: lays out whole
            ASSERT_TRUE(fresh.relayout(same).whole);
            const std::string difference =
                layouttest::geometryDifference(incremental.page, whole.page, 0.01f);
            ASSERT_TRUE(difference.empty())
                << "layout " << static_cast<int>(layout) << ", step " << step << " (edit "
                << e.kind << "): " << difference;
        }
        EXPECT_EQ(partial, 80);
        EXPECT_TRUE(layoutFaults(incremental.root(), incremental.page).empty());
    }
}

// A long session of adding and taking away a child keeps being laid out by
// its changes, through the packing of what the edits left behind, and still
// agrees with a layout made whole.
TEST(TreeLayoutProperty, ManyEditsStayIncrementalAndAgreeWithWhole) {
    for (const ZN_Layout layout : {ZN_Layout::MindMap, ZN_Layout::TreeChart}) {
        Map incremental, whole;
        layouttest::randomMap(incremental, 200, 7u, true);
        layouttest::randomMap(whole, 200, 7u, true);
        ZN_TreeLayout kept;
        kept.apply(incremental.root(), layout);
        ZN_TreeLayout().apply(whole.root(), layout);
        std::mt19937 rng(11u);
        int wholeCount = 0;
        for (int step = 0; step < 9000; ++step) {
            // Alternately a child added below a shown node and that child taken away.
            const Edit add{Edit::Add, rng() % incremental.nodes.size(), 1000.0f, 60.0f};
            if (!incremental.nodes[add.node]->getShow())
                continue;
            wholeCount += kept.relayout(make(incremental, add)).whole;
            const Edit remove{Edit::Remove, incremental.nodes.size() - 1};
            wholeCount += kept.relayout(make(incremental, remove)).whole;
        }
        const Edit last{Edit::Resize, 5, 30.0f, 12.0f};
        wholeCount += kept.relayout(make(incremental, last)).whole;
        ZN_TreeLayout fresh; // knows nothing: lays out whole
        fresh.relayout(make(whole, last));
        EXPECT_EQ(wholeCount, 0) << "layout " << static_cast<int>(layout);
        const std::string difference =
            layouttest::geometryDifference(incremental.page, whole.page, 0.01f);
        EXPECT_TRUE(difference.empty()) << "layout " << static_cast<int>(layout) << ": " << difference;
    }
}
