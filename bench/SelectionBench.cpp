// Speed of the commands over a whole selection on generated maps of 1 000,
// 10 000 and 100 000 nodes: select all, nudging everything and deleting
// everything, the model's part of each.

#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <memory>

#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_ShapeManager.h>

#include "MapGenerator.h"
#include "view/SelectionList.h"

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// One page per size for the whole run; every case leaves it as it found it.
ZN_ShapeManager& generatedPage(int nodes) {
    static std::map<int, std::unique_ptr<ZN_ShapeManager>> pages;
    auto& page = pages[nodes];
    if (!page)
        page = benchmap::makeMap(nodes, benchmap::Layout::Spread);
    return *page;
}

void setShapeCount(benchmark::State& state, const ZN_ShapeManager& page) {
    state.counters["shapes"] = static_cast<double>(page.getShapeList().size());
}

// 编辑 > 全选: every shape marked and listed in the view's selection.
void BM_SelectAll(benchmark::State& state) {
    ZN_ShapeManager& page = generatedPage(static_cast<int>(state.range(0)));
    SelectionList selection;
    for (auto _ : state) {
        const auto start = Clock::now();
        selection.selectAll(page);
        state.SetIterationTime(since(start));
        page.clearSelect();
    }
    setShapeCount(state, page);
}

// One arrow key with everything selected, and the scroll range measured
// again as the next frame does; right and left alternate.
void BM_NudgeAll(benchmark::State& state) {
    ZN_ShapeManager& page = generatedPage(static_cast<int>(state.range(0)));
    SelectionList selection;
    selection.selectAll(page);
    int direction = 1;
    for (auto _ : state) {
        const auto start = Clock::now();
        page.LittleMove(direction, selection.shapes(), 1);
        benchmark::DoNotOptimize(page.shownExtent());
        state.SetIterationTime(since(start));
        direction = 1 - direction;
    }
    if (direction == 0)
        page.LittleMove(0, selection.shapes(), 1);
    page.clearSelect();
    page.tightenShownExtent();
    setShapeCount(state, page);
}

// 清除 with everything selected: the page's deletion of the selection and the
// scroll range measured afterwards. The undo snapshot before it is measured
// apart (BM_Snapshot); here it only serves to bring the page back.
void BM_DeleteAll(benchmark::State& state) {
    ZN_ShapeManager& page = generatedPage(static_cast<int>(state.range(0)));
    ZNRedoUndo& undo = *page.getUndoRedo();
    SelectionList selection;
    for (auto _ : state) {
        undo.copyAllTooplist(true);
        selection.selectAll(page);
        const auto start = Clock::now();
        page.deleteSelected();
        selection.clear();
        benchmark::DoNotOptimize(page.shownExtent());
        state.SetIterationTime(since(start));
        if (!page.getShapeList().empty())
            state.SkipWithError("shapes were left behind");
        undo.unDo();
        undo.clearAll();
        page.clearSelect();
    }
    setShapeCount(state, page);
}

void sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(10000)->Arg(100000);
    b->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(0.3);
}

BENCHMARK(BM_SelectAll)->Apply(sizes);
BENCHMARK(BM_NudgeAll)->Apply(sizes);
BENCHMARK(BM_DeleteAll)->Apply(sizes);

} // namespace
