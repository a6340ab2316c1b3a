// Speed of the tidy tree layout and of reading other programs' maps, on
// generated trees of 1 000, 10 000 and 100 000 nodes.

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/ZN_TreeLayout.h>

#include "MapGenerator.h"
#include "interchange/FreeMind.h"
#include "interchange/MapPage.h"

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
BENCHMARK(BM_ImportFreeMind)->Apply(mapSizes);
