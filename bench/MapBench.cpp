// Speed of the tidy tree layout and of reading other programs' maps, on
// generated trees of 1 000, 10 000 and 100 000 nodes.

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <utility>

#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/ZN_TreeLayout.h>

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NRect.h>

#include "BenchClock.h"
#include "MapGenerator.h"
#include "interchange/FreeMind.h"
#include "interchange/MapPage.h"
#include "view/TreeFolds.h"

namespace {

void mapSizes(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
}

// The whole layout of a generated map's tree, connectors routed.
void BM_TreeLayout(benchmark::State& state) {
    std::unique_ptr<ZN_ShapeManager> page =
        benchmap::makeMap(static_cast<int>(state.range(0)), benchmap::Layout::Spread);
    ZN_ShapeBase* root = benchmap::findRoot(*page);
    for (auto _ : state)
        benchmark::DoNotOptimize(ZN_LayoutTree(root).size());
}

double since(double start) { return benchmap::Clock::now() - start; }

// A whole layout as 自动布局 gives it: the tree read afresh, every node
// placed and every connector routed.
void BM_TreeLayoutWhole(benchmark::State& state) {
    std::unique_ptr<ZN_ShapeManager> page =
        benchmap::makeMap(static_cast<int>(state.range(0)), benchmap::Layout::Spread);
    ZN_ShapeBase* root = benchmap::findRoot(*page);
    ZN_TreeLayout layout;
    for (auto _ : state) {
        const double start = benchmap::Clock::now();
        benchmark::DoNotOptimize(layout.apply(root, ZN_Layout::LogicRight).nodes);
        state.SetIterationTime(since(start));
    }
}

// A new leaf box to the right of `parent`, joined by a straight connector,
// as the keyboard adds one.
std::pair<ZN_NRect*, ZN_NLine*> addChild(ZN_ShapeManager& page, ZN_ShapeBase* parent) {
    auto* child = static_cast<ZN_NRect*>(ZN_ShapeBase::createShape(7));
    child->setPoint1(parent->getPoint2());
    child->setPoint2(parent->getPoint2() + ZVector2(100.0f, 40.0f));
    page.addShape(child);
    auto* line = static_cast<ZN_NLine*>(ZN_ShapeBase::createShape(1));
    line->pushPointBack(parent->getPoint2());
    line->pushPointBack(child->getPoint1());
    line->setStrightType(1);
    parent->pushToOutput(line);
    line->pushToInput(parent);
    line->pushToOutput(child);
    child->pushToInput(line);
    page.addShapeFront(line);
    return {child, line};
}

// Tab on a laid-out tree: a new child below a node halfway down the list,
// joined as the keyboard joins it, and the tree laid out again from it. The
// child is taken away again outside the timing.
void BM_TreeLayoutAddChild(benchmark::State& state) {
    std::unique_ptr<ZN_ShapeManager> page =
        benchmap::makeMap(static_cast<int>(state.range(0)), benchmap::Layout::Spread);
    ZN_ShapeBase* root = benchmap::findRoot(*page);
    ZN_TreeLayout layout;
    layout.apply(root, ZN_Layout::LogicRight);
    ZN_ShapeBase* parent = nullptr;
    std::size_t i = 0;
    for (ZN_ShapeBase* s : page->getShapeList()) {
        if (s->type() == 7 && i >= page->getShapeList().size() / 2) {
            parent = s;
            break;
        }
        ++i;
    }
    int whole = 0;
    for (auto _ : state) {
        const double start = benchmap::Clock::now();
        auto [child, line] = addChild(*page, parent);
        whole += layout.relayout(parent).whole;
        state.SetIterationTime(since(start));
        page->deleteShape(line);
        page->deleteShape(child);
        layout.relayout(parent);
    }
    if (whole)
        state.SkipWithError("the change was laid out whole");
}

// Tab in the editor on a node of a laid-out mind map: the page's shared
// layout told of the new child, as the keyboard growth tells it, once on a
// branch halfway down and once on the root (which picks the lighter side).
void BM_EditorTabOnMindMap(benchmark::State& state) {
    std::unique_ptr<ZN_ShapeManager> page =
        benchmap::makeMap(static_cast<int>(state.range(0)), benchmap::Layout::Spread);
    ZN_ShapeBase* root = benchmap::findRoot(*page);
    treefolds::layoutFor(page.get()).apply(root, ZN_Layout::MindMap);
    ZN_ShapeBase* middle = nullptr;
    std::size_t i = 0;
    for (ZN_ShapeBase* s : page->getShapeList()) {
        if (s->type() == 7 && s != root && i >= page->getShapeList().size() / 2) {
            middle = s;
            break;
        }
        ++i;
    }
    int whole = 0;
    bool onRoot = false;
    for (auto _ : state) {
        ZN_ShapeBase* parent = onRoot ? root : middle;
        onRoot = !onRoot;
        const double start = benchmap::Clock::now();
        if (parent == root)
            benchmark::DoNotOptimize(treefolds::layoutFor(page.get()).sideForNewChild(root));
        auto [child, line] = addChild(*page, parent);
        whole += treefolds::relayout(page.get(), ZN_TreeParent(child)).whole;
        state.SetIterationTime(since(start));
        page->deleteShape(line);
        page->deleteShape(child);
        treefolds::relayout(page.get(), parent);
    }
    if (whole)
        state.SkipWithError("the change was laid out whole");
}

// A FreeMind file of n nodes, three to five children each, short labels.
QByteArray generatedMm(int n) {
    interchange::MapSheet sheet;
    std::mt19937 rng(5);
    sheet.add(-1, "中心主题");
    for (int i = 1; i < n; ++i) {
        const int parent = i < 5 ? 0 : static_cast<int>(rng() % static_cast<unsigned>(i / 4 + 1));
        sheet.add(parent, "节点 " + std::to_string(i));
    }
    return interchange::writeFreeMind(sheet);
}

// Reading the file and building its laid-out page, as an import does.
void BM_ImportFreeMind(benchmark::State& state) {
    const QByteArray bytes = generatedMm(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        interchange::MapDocument doc;
        interchange::ReadError error;
        if (!interchange::readFreeMind(bytes, doc, error))
            state.SkipWithError("the generated map was refused");
        benchmark::DoNotOptimize(interchange::buildPage(doc.sheets.at(0)).get());
    }
}

} // namespace

BENCHMARK(BM_TreeLayout)->Apply(mapSizes);
BENCHMARK(BM_TreeLayoutWhole)->Apply(mapSizes)->UseManualTime()->MinTime(0.3);
BENCHMARK(BM_TreeLayoutAddChild)->Apply(mapSizes)->UseManualTime()->MinTime(0.3);
BENCHMARK(BM_EditorTabOnMindMap)->Apply(mapSizes)->UseManualTime()->MinTime(0.3);
BENCHMARK(BM_ImportFreeMind)->Apply(mapSizes);
