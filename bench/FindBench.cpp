// Finding text on generated maps of 1 000, 10 000 and 100 000 nodes: the
// search behind one press of 下一个 (every label, free text and answer of the
// page read afresh), and outlining every match of a page seen whole.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

#include <GL/gl.h>

#include <sarvik/ZN_ShapeManager.h>

#include "BenchClock.h"
#include "BenchScene.h"
#include "MapGenerator.h"
#include "ZHeadlessGL.h"
#include "document/TextSearch.h"
#include "view/OutlineOverlay.h"

namespace {

constexpr int kWindowW = 1920;
constexpr int kWindowH = 1080;
// Two characters that about one label in twelve holds, folded as typed.
constexpr const char* kQuery = "项目";

double now() {
    return benchmap::Clock::now();
}

ZN_ShapeManager& map(int nodes) { return benchmap::sharedSpreadMap(nodes); }

// 下一个: the page searched afresh, case folded, and the match after the
// current one chosen; the current one walks through the page.
void BM_FindNext(benchmark::State& state) {
    ZN_ShapeManager& page = map(static_cast<int>(state.range(0)));
    std::size_t current = 0;
    std::size_t found = 0;
    std::vector<TextMatch> matches;
    for (auto _ : state) {
        const double start = now();
        matches.clear();
        findInPage(page, 0, TextFinder(kQuery, false), matches);
        if (!matches.empty())
            current = (current + 1) % matches.size();
        benchmark::DoNotOptimize(matches.empty() ? nullptr : matches[current].shape);
        state.SetIterationTime(now() - start);
        found = matches.size();
    }
    state.counters["matches"] = static_cast<double>(found);
}

// One frame's outlines of every match with the whole page in a full-HD
// window: the shapes in sight searched and their outlines drawn.
void BM_OutlineMatches(benchmark::State& state) {
    ZN_ShapeManager& page = map(static_cast<int>(state.range(0)));
    ZHeadlessGL* gl = benchmap::sharedContext(kWindowW, kWindowH);
    if (!gl) {
        state.SkipWithError("no headless GL context");
        return;
    }
    gl->makeCurrent();
    const ZDrawnExtent extent = page.shownExtent();
    const ZVector2 min = extent.min;
    const ZVector2 max = extent.max;
    const float zoom = std::min(kWindowW / (max.X() - min.X()), kWindowH / (max.Y() - min.Y()));
    const TextFinder finder(kQuery, false);
    std::vector<QRectF> rects;
    glViewport(0, 0, kWindowW, kWindowH);
    for (auto _ : state) {
        const double start = now();
        outlinesInView(page, finder, min, max, rects);
        drawOutlineRects(rects, min, zoom, kWindowW, kWindowH);
        glFinish();
        state.SetIterationTime(now() - start);
    }
    state.counters["outlined"] = static_cast<double>(rects.size());
}

void sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(10000)->Arg(100000);
    b->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(0.3);
}

} // namespace

BENCHMARK(BM_FindNext)->Apply(sizes);
BENCHMARK(BM_OutlineMatches)->Apply(sizes);
