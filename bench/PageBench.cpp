// Speed of the editing model, the document file and the drawing on generated
// maps of 1 000, 10 000 and 100 000 nodes. The maps are written into a
// temporary folder on first use and removed at exit.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include <sarvik/ZDrawnExtent.h>
#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_Scene.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZCursor.h>
#include <sarvik/platform/ZFile.h>

#include "BenchClock.h"
#include "BenchScene.h"
#include "MapGenerator.h"
#include "ZHeadlessGL.h"
#include "document/TvxContainer.h"

namespace {

using benchmap::Clock;
using benchmap::Layout;

constexpr int kWindowW = 1920;
constexpr int kWindowH = 1080;

// Seconds since `start`, for manually timed iterations.
double since(Clock::time_point start) {
    return Clock::now() - start;
}

std::string& workDir() {
    static std::string dir;
    return dir;
}

void removeWorkDir() {
    if (!workDir().empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(workDir(), ignored);
    }
}

const std::string& ensureWorkDir() {
    if (workDir().empty()) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tavlo-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::perror("tavlo_bench: mkdtemp");
            std::exit(1);
        }
        workDir() = pattern;
        std::atexit(removeWorkDir);
    }
    return workDir();
}

struct MapFile {
    std::string path;
    benchmap::MapStats stats;
};

// The generated file of a size and layout, made on first use.
const MapFile& mapFile(int nodes, Layout layout) {
    static std::map<std::pair<int, Layout>, MapFile> files;
    auto key = std::make_pair(nodes, layout);
    auto it = files.find(key);
    if (it != files.end())
        return it->second;
    MapFile file;
    file.path = ensureWorkDir() + "/map-" + std::to_string(nodes) + ".tvx";
    if (!benchmap::writeMap(file.path, nodes, layout, &file.stats)) {
        std::fprintf(stderr, "tavlo_bench: cannot write %s\n", file.path.c_str());
        std::exit(1);
    }
    return files.emplace(key, std::move(file)).first->second;
}

// A loaded document per size and layout, kept for the whole run: loading the
// largest map takes long enough that every case reloading it would dominate.
// Cases leave the page as they found it.
ZN_ShapeManager& loadedPage(int nodes, Layout layout = Layout::Spread) {
    static std::map<std::pair<int, Layout>, std::unique_ptr<TvxDocument>> docs;
    auto key = std::make_pair(nodes, layout);
    auto& doc = docs[key];
    if (!doc) {
        doc = std::make_unique<TvxDocument>();
        if (readTvxFile(mapFile(nodes, layout).path, *doc) != TvxStatus::Ok || doc->pages.empty()) {
            std::fprintf(stderr, "tavlo_bench: cannot read the %d-node map\n", nodes);
            std::exit(1);
        }
    }
    return *doc->pages.front().manager;
}

void setCounters(benchmark::State& state, int nodes) {
    const auto& stats = mapFile(nodes, Layout::Spread).stats;
    state.counters["shapes"] = stats.nodes + stats.connectors + stats.placedTexts;
}

void BM_Load(benchmark::State& state) {
    const int nodes = static_cast<int>(state.range(0));
    const std::string& path = mapFile(nodes, Layout::Spread).path;
    for (auto _ : state) {
        auto doc = std::make_unique<TvxDocument>();
        const auto start = Clock::now();
        const TvxStatus status = readTvxFile(path, *doc);
        state.SetIterationTime(since(start));
        if (status != TvxStatus::Ok)
            state.SkipWithError("the map did not load");
        doc.reset(); // freeing the pages is not part of loading
    }
    setCounters(state, nodes);
}

void BM_Save(benchmark::State& state) {
    const int nodes = static_cast<int>(state.range(0));
    ZN_ShapeManager& page = loadedPage(nodes);
    const std::string path = ensureWorkDir() + "/saved-" + std::to_string(nodes) + ".tvx";
    for (auto _ : state) {
        const auto start = Clock::now();
        const bool ok = writeTvxFile(path, {{"页1", 0, &page}});
        state.SetIterationTime(since(start));
        if (!ok)
            state.SkipWithError("the map was not saved");
    }
    std::filesystem::remove(path);
    setCounters(state, nodes);
}

// What a recovery copy costs the editing thread: the page serialised to
// memory, with room for the size of the copy before, as the editor makes.
void BM_SerialiseToMemory(benchmark::State& state) {
    const int nodes = static_cast<int>(state.range(0));
    ZN_ShapeManager& page = loadedPage(nodes);
    std::size_t last = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        auto memory = ZFile::toMemory(last + last / 8);
        const bool ok = writeTvx(*memory, {{"页1", 0, &page}});
        state.SetIterationTime(since(start));
        last = memory->bytes().size();
        if (!ok)
            state.SkipWithError("the map was not serialised");
    }
    setCounters(state, nodes);
}

// Snapshots of the loaded page; `between` runs untimed after each one.
template <class Between> void timeSnapshots(benchmark::State& state, Between between) {
    const int nodes = static_cast<int>(state.range(0));
    ZN_ShapeManager& page = loadedPage(nodes);
    ZNRedoUndo& undo = *page.getUndoRedo();
    for (auto _ : state) {
        const auto start = Clock::now();
        undo.copyAllTooplist(true);
        state.SetIterationTime(since(start));
        between(undo);
    }
    undo.clearAll();
    setCounters(state, nodes);
}

void BM_Snapshot(benchmark::State& state) {
    // Dropping the copy is not part of taking it.
    timeSnapshots(state, [](ZNRedoUndo& undo) { undo.clearAll(); });
}

// A snapshot in the steady state of an editing session: the memory of the
// copy dropped before it is there to be reused, as when a full stack drops
// its oldest copy. Between iterations the copy is made live by an undo and
// the former page, dropped with the redo state, leaves its memory behind;
// the page keeps the same content throughout.
void BM_SnapshotReusingMemory(benchmark::State& state) {
    timeSnapshots(state, [&state](ZNRedoUndo& undo) {
        if (!undo.unDo())
            state.SkipWithError("undo refused");
        undo.clearRedo();
    });
}

// Undo and redo of the loaded page, each iteration after `before` (timed).
template <class Before> void timeUndoRedo(benchmark::State& state, Before before) {
    const int nodes = static_cast<int>(state.range(0));
    ZNRedoUndo& undo = *loadedPage(nodes).getUndoRedo();
    undo.copyAllTooplist(true);
    for (auto _ : state) {
        const auto start = Clock::now();
        before(undo);
        const bool ok = undo.unDo() && undo.reDo();
        state.SetIterationTime(since(start));
        if (!ok)
            state.SkipWithError("undo or redo refused");
    }
    undo.clearAll();
    setCounters(state, nodes);
}

void BM_UndoRedo(benchmark::State& state) {
    timeUndoRedo(state, [](ZNRedoUndo&) {});
}

// An editing session in its steady state: the undo stack is full, so each
// step's snapshot drops the oldest one, whose memory the next reuses; the step
// is then undone and redone, redo keeping the page it replaces as the newest
// snapshot.
void BM_SnapshotUndoRedoFullStack(benchmark::State& state) {
    ZNRedoUndo& undo = *loadedPage(static_cast<int>(state.range(0))).getUndoRedo();
    while (undo.undoCount() < ZNRedoUndo::maxSnapshots)
        undo.copyAllTooplist(true);
    timeUndoRedo(state, [](ZNRedoUndo& stack) { stack.copyAllTooplist(true); });
}

// One mouse move of a body drag of the selected root with parent-child
// binding on: the whole tree follows. Moves alternate right and left so that
// the page ends where it started.
void BM_BindingDrag(benchmark::State& state) {
    const int nodes = static_cast<int>(state.range(0));
    ZN_ShapeManager& page = loadedPage(nodes);
    ZN_ShapeBase* root = benchmap::findRoot(page);
    page.clearSelect();
    root->setSelected(true);
    const ZVector2 a(100.0f, 100.0f);
    const ZVector2 b(101.0f, 100.0f);
    bool right = true;
    for (auto _ : state) {
        const auto start = Clock::now();
        page.change(right ? a : b, right ? b : a, 9, 1);
        state.SetIterationTime(since(start));
        right = !right;
    }
    if (!right)
        page.change(b, a, 9, 1);
    page.clearSelect();
    setCounters(state, nodes);
}

// 1 000 queries along the window's diagonal, as the pointer crosses the
// window showing the top-left of the page; most of them miss every shape.
template <class Query> void sweepDiagonal(benchmark::State& state, Query query) {
    const int nodes = static_cast<int>(state.range(0));
    ZN_ShapeManager& page = loadedPage(nodes);
    for (auto _ : state) {
        const auto start = Clock::now();
        int hits = 0;
        for (int i = 0; i < 1000; ++i) {
            const ZVector2 pos(static_cast<float>(i) * 1.919f, static_cast<float>(i) * 1.079f);
            hits += query(page, pos) != nullptr;
        }
        state.SetIterationTime(since(start));
        benchmark::DoNotOptimize(hits);
    }
    setCounters(state, nodes);
}

// Hover tests.
void BM_HoverSweep(benchmark::State& state) {
    sweepDiagonal(state, [](ZN_ShapeManager& page, const ZVector2& pos) {
        ZObj2DInPoint info;
        int code = 0;
        return page.Change_Cursor(pos, &info, code);
    });
}

void BM_RubberBand(benchmark::State& state) {
    const int nodes = static_cast<int>(state.range(0));
    ZN_ShapeManager& page = loadedPage(nodes);
    const auto& stats = mapFile(nodes, Layout::Spread).stats;
    const ZVector2 low(-10.0f, -10.0f);
    const ZVector2 high(stats.width + 10.0f, stats.height + 10.0f);
    for (auto _ : state) {
        const auto start = Clock::now();
        page.clearSelect();
        page.selectWithinRect(low, high);
        state.SetIterationTime(since(start));
    }
    page.clearSelect();
    setCounters(state, nodes);
}

// Connection-target searches, as a connector end is dragged across the window.
void BM_TargetSweep(benchmark::State& state) {
    sweepDiagonal(state, [](ZN_ShapeManager& page, const ZVector2& pos) {
        int code = 0;
        return page.findConnectTarget(pos, 10.0f, nullptr, code);
    });
}

// A rubber band the size of the window, at the top-left of the page.
void BM_RubberBandWindow(benchmark::State& state) {
    const int nodes = static_cast<int>(state.range(0));
    ZN_ShapeManager& page = loadedPage(nodes);
    const ZVector2 low(5.0f, 5.0f);
    const ZVector2 high(kWindowW - 5.0f, kWindowH - 5.0f);
    // The band selects the same shapes each time, so nothing is cleared in
    // between: the editor deselects through its own, short list anyway.
    page.clearSelect();
    for (auto _ : state) {
        const auto start = Clock::now();
        page.selectWithinRect(low, high);
        state.SetIterationTime(since(start));
    }
    page.clearSelect();
    setCounters(state, nodes);
}

void BM_CollapseExpand(benchmark::State& state) {
    const int nodes = static_cast<int>(state.range(0));
    ZN_ShapeManager& page = loadedPage(nodes);
    ZN_ShapeBase* root = benchmap::findRoot(page);
    for (auto _ : state) {
        const auto start = Clock::now();
        page.shapeShrink(root);
        page.shapeSpread(root);
        state.SetIterationTime(since(start));
    }
    setCounters(state, nodes);
}

void drawFrames(benchmark::State& state, ZN_ShapeManager& page, float zoom = 1.0f) {
    ZN_Scene scene;
    if (!benchmap::openScene(state, scene, page, kWindowW, kWindowH, zoom))
        return;
    for (auto _ : state) {
        const auto start = Clock::now();
        scene.render();
        state.SetIterationTime(since(start));
    }
    state.counters["zoom%"] = zoom * 100.0f;
}

// The zoom that fits the whole map into the window with a 20-pixel margin,
// as the editor's fit command computes it, but without its 10 % floor: the
// larger maps need less to be wholly in view.
float wholeMapZoom(const benchmap::MapStats& stats) {
    const float margin = 20.0f;
    return std::min((static_cast<float>(kWindowW) - 2.0f * margin) / std::max(1.0f, stats.width),
                    (static_cast<float>(kWindowH) - 2.0f * margin) / std::max(1.0f, stats.height));
}

void BM_FrameTopLeft(benchmark::State& state) {
    const int nodes = static_cast<int>(state.range(0));
    drawFrames(state, loadedPage(nodes));
    setCounters(state, nodes);
}

// Every shape of the page in view at once: nothing can be left out of a frame.
void BM_FrameWholeMap(benchmark::State& state) {
    const int nodes = static_cast<int>(state.range(0));
    ZN_ShapeManager& page = loadedPage(nodes);
    drawFrames(state, page, wholeMapZoom(mapFile(nodes, Layout::Spread).stats));
    setCounters(state, nodes);
}

// The scroll range of a frame: the union of every shape's drawn extent, as
// the editor measured it each frame before the page kept it.
void BM_ScrollExtentWalk(benchmark::State& state) {
    const int nodes = static_cast<int>(state.range(0));
    const ZN_ShapeManager& page = loadedPage(nodes);
    for (auto _ : state) {
        const auto start = Clock::now();
        ZDrawnExtent all;
        for (const ZN_ShapeBase* shape : page.getShapeList()) {
            const ZDrawnExtent e = drawnExtent(*shape);
            if (e.inks && e.finite)
                all.include(e);
        }
        state.SetIterationTime(since(start));
        benchmark::DoNotOptimize(all);
    }
    setCounters(state, nodes);
}

// The same from the page's kept extent, with nothing changed since the last
// frame.
void BM_ScrollExtentKept(benchmark::State& state) {
    const int nodes = static_cast<int>(state.range(0));
    const ZN_ShapeManager& page = loadedPage(nodes);
    page.shownExtent(); // untimed: measured once after the load
    for (auto _ : state) {
        const auto start = Clock::now();
        const ZDrawnExtent all = page.shownExtent();
        state.SetIterationTime(since(start));
        benchmark::DoNotOptimize(all);
    }
    setCounters(state, nodes);
}

// The kept extent in the frame after one mouse move of a drag of the root
// (without binding: the root and its connectors move). The move itself is
// not timed.
void BM_ScrollExtentAfterMove(benchmark::State& state) {
    const int nodes = static_cast<int>(state.range(0));
    ZN_ShapeManager& page = loadedPage(nodes);
    ZN_ShapeBase* root = benchmap::findRoot(page);
    page.clearSelect();
    root->setSelected(true);
    page.shownExtent();
    const ZVector2 a(100.0f, 100.0f);
    const ZVector2 b(101.0f, 100.0f);
    bool right = true;
    for (auto _ : state) {
        page.change(right ? a : b, right ? b : a, 9, 0);
        right = !right;
        const auto start = Clock::now();
        const ZDrawnExtent all = page.shownExtent();
        state.SetIterationTime(since(start));
        benchmark::DoNotOptimize(all);
    }
    if (!right)
        page.change(b, a, 9, 0);
    page.clearSelect();
    page.tightenShownExtent();
    setCounters(state, nodes);
}

// Every case at the three sizes; the largest map gets few iterations so that
// a whole run stays within minutes.
void sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(10000)->Arg(100000);
    b->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(0.3);
}

BENCHMARK(BM_Load)->Apply(sizes);
BENCHMARK(BM_Save)->Apply(sizes);
BENCHMARK(BM_SerialiseToMemory)->Apply(sizes);
BENCHMARK(BM_Snapshot)->Apply(sizes);
BENCHMARK(BM_SnapshotReusingMemory)->Apply(sizes);
BENCHMARK(BM_UndoRedo)->Apply(sizes);
BENCHMARK(BM_SnapshotUndoRedoFullStack)->Apply(sizes);
BENCHMARK(BM_BindingDrag)->Apply(sizes);
BENCHMARK(BM_HoverSweep)->Apply(sizes);
BENCHMARK(BM_RubberBand)->Apply(sizes);
BENCHMARK(BM_TargetSweep)->Apply(sizes);
BENCHMARK(BM_RubberBandWindow)->Apply(sizes);
BENCHMARK(BM_CollapseExpand)->Apply(sizes);
BENCHMARK(BM_FrameTopLeft)->Apply(sizes);
BENCHMARK(BM_FrameWholeMap)->Apply(sizes);
BENCHMARK(BM_ScrollExtentWalk)->Apply(sizes);
BENCHMARK(BM_ScrollExtentKept)->Apply(sizes);
BENCHMARK(BM_ScrollExtentAfterMove)->Apply(sizes);

} // namespace
