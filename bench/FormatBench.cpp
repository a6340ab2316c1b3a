// Reading and writing KityMinder and XMind maps of 1 000, 10 000 and 100 000
// nodes, each with a note and a marker, as import and export see them: bytes
// to the map and back, without pages.

#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "interchange/Interchange.h"

namespace {

void mapSizes(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
}

interchange::MapSheet generatedSheet(int n) {
    interchange::MapSheet sheet;
    sheet.title = "页1";
    std::mt19937 rng(5);
    sheet.add(-1, "中心主题");
    for (int i = 1; i < n; ++i) {
        const int parent = i < 5 ? 0 : static_cast<int>(rng() % static_cast<unsigned>(i / 4 + 1));
        const int node = sheet.add(parent, "节点 " + std::to_string(i));
        auto& fields = sheet.nodes[static_cast<std::size_t>(node)].fields;
        fields.note = "备注 " + std::to_string(i);
        fields.markers = {"priority-" + std::to_string(1 + i % 9)};
    }
    return sheet;
}

void readBack(benchmark::State& state, interchange::Format format) {
    const QByteArray bytes =
        interchange::writeMap(generatedSheet(static_cast<int>(state.range(0))), format);
    for (auto _ : state) {
        interchange::MapDocument doc;
        interchange::ReadError error;
        if (!interchange::readMap(bytes, format, doc, error))
            state.SkipWithError("the generated map was refused");
        benchmark::DoNotOptimize(doc.nodeCount());
    }
}

void write(benchmark::State& state, interchange::Format format) {
    const interchange::MapSheet sheet = generatedSheet(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(interchange::writeMap(sheet, format).size());
}

void BM_ImportKityMinder(benchmark::State& state) { readBack(state, interchange::Format::KityMinder); }
void BM_ExportKityMinder(benchmark::State& state) { write(state, interchange::Format::KityMinder); }
void BM_ImportXMind(benchmark::State& state) { readBack(state, interchange::Format::XMind); }
void BM_ExportXMind(benchmark::State& state) { write(state, interchange::Format::XMind); }

} // namespace

BENCHMARK(BM_ImportKityMinder)->Apply(mapSizes);
BENCHMARK(BM_ExportKityMinder)->Apply(mapSizes);
BENCHMARK(BM_ImportXMind)->Apply(mapSizes);
BENCHMARK(BM_ExportXMind)->Apply(mapSizes);
