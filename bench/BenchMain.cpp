// Runs the benchmarks with the usual console output, then prints two tables:
// a row per case, a column per map size, in milliseconds (medians when the
// run has repetitions), and how the largest map compares with the middle one.
// The wall-clock table times only the operation itself. The CPU table is the
// benchmark thread's time for a whole iteration, untimed clean-up such as
// freeing a loaded document included, and leaves out the driver's drawing
// threads; on a shared machine it shows how much of a wall-clock figure was
// waiting for a core.

#include <benchmark/benchmark.h>

#include "MapGenerator.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const bool aggregate = run.run_type == Run::RT_Aggregate;
            if (aggregate && run.aggregate_name != "median")
                continue;
            const std::string name = run.run_name.function_name;
            const std::string size = run.run_name.args;
            if (!aggregate && rows_[name].count(size) && sawMedian_[name + size])
                continue;
            rows_[name][size] = toMilliseconds(run.GetAdjustedRealTime(), run.time_unit);
            cpuRows_[name][size] = toMilliseconds(run.GetAdjustedCPUTime(), run.time_unit);
            if (aggregate)
                sawMedian_[name + size] = true;
            if (order_.empty() || order_.back() != name) {
                bool known = false;
                for (const auto& n : order_)
                    known = known || n == name;
                if (!known)
                    order_.push_back(name);
            }
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        printTable("wall-clock ms", rows_);
        printTable("CPU ms (iteration)", cpuRows_);
        std::fflush(stdout);
    }

private:
    using Table = std::map<std::string, std::map<std::string, double>>;

    void printTable(const char* title, Table& table) const {
        const char* sizes[] = {"1000", "10000", "100000"};
        std::printf("\n%-22s %12s %12s %12s %10s\n", title, "1 000", "10 000", "100 000",
                    "100k/10k");
        for (const auto& name : order_) {
            std::string label = name.rfind("BM_", 0) == 0 ? name.substr(3) : name;
            std::printf("%-22s", label.c_str());
            const auto& row = table[name];
            for (const char* s : sizes) {
                auto it = row.find(s);
                if (it == row.end())
                    std::printf(" %12s", "-");
                else
                    std::printf(" %12.3f", it->second);
            }
            auto mid = row.find("10000");
            auto big = row.find("100000");
            if (mid != row.end() && big != row.end() && mid->second > 0.0)
                std::printf(" %9.1fx", big->second / mid->second);
            std::printf("\n");
        }
    }

    static double toMilliseconds(double value, benchmark::TimeUnit unit) {
        switch (unit) {
        case benchmark::kNanosecond:
            return value / 1e6;
        case benchmark::kMicrosecond:
            return value / 1e3;
        case benchmark::kSecond:
            return value * 1e3;
        default:
            return value;
        }
    }

    Table rows_;
    Table cpuRows_;
    std::map<std::string, bool> sawMedian_;
    std::vector<std::string> order_;
};

} // namespace

int main(int argc, char** argv) {
    // `tavlo_bench --write-map N FILE.tvx` saves the generated N-node map, to
    // open and look at in the editor.
    if (argc == 4 && std::string(argv[1]) == "--write-map") {
        const int nodes = std::atoi(argv[2]);
        if (nodes < 1 || !benchmap::writeMap(argv[3], nodes, benchmap::Layout::Spread)) {
            std::fprintf(stderr, "tavlo_bench: cannot write a %s-node map to %s\n", argv[2],
                         argv[3]);
            return 2;
        }
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
