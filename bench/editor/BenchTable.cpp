#include "BenchTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

namespace benchtable {

double percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    // Nearest rank.
    std::size_t rank = static_cast<std::size_t>(std::max(1.0, std::ceil(p * values.size())));
    return values[std::min(rank, values.size()) - 1];
}

namespace {

// One table: a line per action, a column per size; `cell` writes a row's
// figures and returns false where the row has none.
void table(const char* title, const Rows& rows, const std::vector<std::string>& order,
           const std::vector<int>& sizes,
           const std::function<bool(const Row&, char* cell, std::size_t size)>& cell) {
    std::printf("\n%s\n%-30s", title, "action");
    for (int n : sizes)
        std::printf(" %22d", n);
    std::printf("\n");
    for (const std::string& r : order) {
        std::printf("%-30s", r.c_str());
        for (int n : sizes) {
            const Row* row = nullptr;
            if (const auto size = rows.find(n); size != rows.end())
                if (const auto it = size->second.find(r); it != size->second.end())
                    row = &it->second;
            char text[64] = "-";
            if (row && !cell(*row, text, sizeof text))
                std::snprintf(text, sizeof text, "%s", row->missed ? "no frame" : "-");
            std::printf(" %22s", text);
        }
        std::printf("\n");
    }
}

} // namespace

void print(const Rows& rows, const std::vector<std::string>& order, const std::vector<int>& sizes) {
    table("key to frame, ms: median / 90th percentile (runs)", rows, order, sizes,
          [](const Row& row, char* text, std::size_t size) {
              if (row.total.empty())
                  return false;
              std::snprintf(text, size, "%.1f / %.1f (%zu)", percentile(row.total, 0.5),
                            percentile(row.total, 0.9), row.total.size());
              return true;
          });
    table("median split, ms: handling / drawing / composition", rows, order, sizes,
          [](const Row& row, char* text, std::size_t size) {
              if (row.command.empty()) {
                  std::snprintf(text, size, "-");
                  return true;
              }
              std::snprintf(text, size, "%.1f / %.1f / %.1f", percentile(row.command, 0.5),
                            percentile(row.drawing, 0.5), percentile(row.compose, 0.5));
              return true;
          });
    std::fflush(stdout);
}

} // namespace benchtable
