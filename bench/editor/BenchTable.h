// The editor benchmark's figures: the times of one action on one map, and
// the two tables printed from them.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace benchtable {

// Milliseconds of each run of one action: key to frame, and its split.
struct Row {
    std::vector<double> total, command, drawing, compose;
    int missed = 0;
};

// Rows by map size, then by action name.
using Rows = std::map<int, std::map<std::string, Row>>;

// The nearest-rank percentile p (0..1) of the values, 0 when there are none.
double percentile(std::vector<double> values, double p);

// Prints median / 90th percentile of each action at each size, then the
// median split into handling, drawing and composition.
void print(const Rows& rows, const std::vector<std::string>& order, const std::vector<int>& sizes);

} // namespace benchtable
