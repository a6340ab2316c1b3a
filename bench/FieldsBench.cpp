// What nodes' fields cost the document file: the 100 000-node map loaded and
// saved as it is, and with a note and a marker on every node. Each pair runs
// in one process, so the two can be compared run for run.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <sarvik/ZN_ShapeManager.h>

#include "BenchClock.h"
#include "MapGenerator.h"
#include "document/TvxContainer.h"

namespace {

using benchmap::Clock;

constexpr int kNodes = 100000;

// The map's nodes (every shape but connectors) get a short note and a marker.
void addFields(ZN_ShapeManager& page) {
    int n = 0;
    for (ZN_ShapeBase* s : page.getShapeList()) {
        if (s->type() == 1)
            continue;
        ZN_NodeFields f;
        f.note = "节点 " + std::to_string(++n) + " 的备注：first line\nsecond line";
        f.markers = {n % 3 == 0 ? "task-done" : "priority-2"};
        s->setFields(std::move(f));
    }
}

struct Files {
    std::string dir;
    std::string plain;
    std::string fields;
    ~Files() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
};

const Files& files() {
    static const std::unique_ptr<Files> made = [] {
        auto f = std::make_unique<Files>();
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tavlo-fields-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::perror("tavlo_bench: mkdtemp");
            std::exit(1);
        }
        f->dir = pattern;
        f->plain = f->dir + "/plain.tvx";
        f->fields = f->dir + "/fields.tvx";
        std::unique_ptr<ZN_ShapeManager> page = benchmap::makeMap(kNodes, benchmap::Layout::Spread);
        if (!writeTvxFile(f->plain, {{"页1", 0, page.get()}})) {
            std::fprintf(stderr, "tavlo_bench: cannot write %s\n", f->plain.c_str());
            std::exit(1);
        }
        addFields(*page);
        if (!writeTvxFile(f->fields, {{"页1", 0, page.get()}})) {
            std::fprintf(stderr, "tavlo_bench: cannot write %s\n", f->fields.c_str());
            std::exit(1);
        }
        return f;
    }();
    return *made;
}

const std::string& pathFor(const benchmark::State& state) {
    return state.range(0) ? files().fields : files().plain;
}

void BM_FieldsLoad(benchmark::State& state) {
    const std::string& path = pathFor(state);
    for (auto _ : state) {
        auto doc = std::make_unique<TvxDocument>();
        const double start = Clock::now();
        const TvxStatus status = readTvxFile(path, *doc);
        state.SetIterationTime(Clock::now() - start);
        if (status != TvxStatus::Ok || doc->extensionsDamaged)
            state.SkipWithError("the map did not load");
        doc.reset();
    }
    state.SetLabel(state.range(0) ? "note and marker on every node" : "no fields");
}

void BM_FieldsSave(benchmark::State& state) {
    TvxDocument doc;
    if (readTvxFile(pathFor(state), doc) != TvxStatus::Ok) {
        state.SkipWithError("the map did not load");
        return;
    }
    const std::string out = files().dir + "/saved.tvx";
    for (auto _ : state) {
        const double start = Clock::now();
        const bool ok = writeTvxFile(out, {{"页1", 0, doc.pages[0].manager.get()}});
        state.SetIterationTime(Clock::now() - start);
        if (!ok)
            state.SkipWithError("the map was not saved");
    }
    state.SetLabel(state.range(0) ? "note and marker on every node" : "no fields");
}

// What saving a map without fields spends on them: the writer's one walk
// over the shapes that finds none (the same loop as the container's).
void BM_FieldsLookForNone(benchmark::State& state) {
    TvxDocument doc;
    if (readTvxFile(files().plain, doc) != TvxStatus::Ok) {
        state.SkipWithError("the map did not load");
        return;
    }
    const std::vector<ZN_ShapeBase*>& shapes = doc.pages[0].manager->getShapeArray();
    for (auto _ : state) {
        const double start = Clock::now();
        std::size_t found = 0;
        for (std::size_t i = 0; i < shapes.size(); ++i) {
            if (i + 12 < shapes.size())
                __builtin_prefetch(shapes[i + 12]);
            found += shapes[i]->hasFields() ? 1 : 0;
        }
        benchmark::DoNotOptimize(found);
        state.SetIterationTime(Clock::now() - start);
    }
}

void withAndWithout(benchmark::internal::Benchmark* b) {
    b->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(0.5);
}

BENCHMARK(BM_FieldsLoad)->Apply(withAndWithout);
BENCHMARK(BM_FieldsSave)->Apply(withAndWithout);
BENCHMARK(BM_FieldsLookForNone)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(0.5);

} // namespace
