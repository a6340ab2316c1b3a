// The overview window on generated maps of 10 000 and 100 000 nodes: one
// picture of the whole page as the panel draws it, at once and in parts, and
// the window-size frame with and without the check the open panel adds to
// every frame.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include <sarvik/ZN_Scene.h>
#include <sarvik/ZN_ShapeManager.h>

#include "BenchScene.h"
#include "MapGenerator.h"
#include "ZHeadlessGL.h"
#include "view/OverviewPicture.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWindowW = 1920;
constexpr int kWindowH = 1080;
// The panel's size as it opens docked beside the window.
constexpr int kPanelW = 240;
constexpr int kPanelH = 180;

double since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

ZN_ShapeManager& map(int nodes) { return benchmap::sharedSpreadMap(nodes); }

// The panel's context made current, the page fitted in it and drawn once
// untimed (which warms the driver and the caches); null without a context.
ZHeadlessGL* warmPanel(benchmark::State& state, ZN_ShapeManager& page, OverviewFrame& frame) {
    ZHeadlessGL* gl = benchmap::sharedContext(kPanelW, kPanelH);
    if (!gl) {
        state.SkipWithError("no headless GL context");
        return nullptr;
    }
    gl->makeCurrent();
    frame = fitOverview(page.shownExtent(), {}, kPanelW, kPanelH, 6.0f);
    drawOverview(*gl, page, frame);
    return gl;
}

// One picture of the whole page, read back as the panel keeps it.
void BM_OverviewPicture(benchmark::State& state) {
    ZN_ShapeManager& page = map(static_cast<int>(state.range(0)));
    OverviewFrame frame;
    ZHeadlessGL* gl = warmPanel(state, page, frame);
    if (!gl)
        return;
    for (auto _ : state) {
        const auto start = Clock::now();
        drawOverview(*gl, page, frame);
        benchmark::DoNotOptimize(gl->readPixels());
        state.SetIterationTime(since(start));
    }
    state.counters["scale%"] = frame.scale * 100.0f;
    state.counters["shapes"] = static_cast<double>(page.getShapeList().size());
}

// The same picture drawn a part at a time, as the panel spreads it over
// turns of the event loop (parts of 1 000 shapes); the longest part is what
// an input may wait for.
void BM_OverviewPictureInParts(benchmark::State& state) {
    ZN_ShapeManager& page = map(static_cast<int>(state.range(0)));
    OverviewFrame frame;
    ZHeadlessGL* gl = warmPanel(state, page, frame);
    if (!gl)
        return;
    constexpr std::size_t kPart = 1000;
    double longest = 0.0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const OverviewDrawing drawing(*gl, page, frame);
        for (std::size_t first = 0; first < drawing.size(); first += kPart) {
            const auto part = Clock::now();
            drawing.draw(*gl, first, first + kPart);
            longest = std::max(longest, since(part) * 1000.0);
        }
        benchmark::DoNotOptimize(gl->readPixels());
        state.SetIterationTime(since(start));
    }
    state.counters["longest part ms"] = longest;
}

// Window-size frames at 100 % scrolling down the map; with the panel open
// each frame also asks the page whether it changed.
void scrollFrames(benchmark::State& state, bool panelOpen) {
    ZN_ShapeManager& page = map(static_cast<int>(state.range(0)));
    ZN_Scene scene;
    if (!benchmap::openScene(state, scene, page, kWindowW, kWindowH))
        return;
    // Untimed: the editor's frames keep the page's extent measured.
    page.shownExtent();
    float y = 0.0f;
    for (auto _ : state) {
        y = y > 20000.0f ? 0.0f : y + 40.0f;
        setScallPosition(ZVector2(0.0f, y));
        const auto start = Clock::now();
        scene.render();
        if (panelOpen) {
            benchmark::DoNotOptimize(page.shownExtent());
            benchmark::DoNotOptimize(page.getListVersion());
        }
        state.SetIterationTime(since(start));
    }
    setScallPosition(ZVector2(0.0f, 0.0f));
}

void BM_FrameScroll(benchmark::State& state) {
    scrollFrames(state, false);
}
void BM_FrameScrollOverviewOpen(benchmark::State& state) {
    scrollFrames(state, true);
}

void sizes(benchmark::internal::Benchmark* b) {
    b->Arg(10000)->Arg(100000);
    b->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(0.3);
}

} // namespace

BENCHMARK(BM_OverviewPicture)->Apply(sizes);
BENCHMARK(BM_OverviewPictureInParts)->Apply(sizes);
BENCHMARK(BM_FrameScroll)->Apply(sizes);
BENCHMARK(BM_FrameScrollOverviewOpen)->Apply(sizes);
