#pragma once
// A page edited by a sequence of the editor's steps, checked as it goes (see
// RandomEditTest.cpp). Steps name shapes by numbers taken modulo what the
// page holds when the step runs, so a step stays meaningful when others
// before it are left out.

#include <cstdint>
#include <string>
#include <vector>

namespace randomedit {

enum class Op : std::uint8_t {
    AddBox,    // a: kind, b: place, c: size, d: with a label
    AddText,   // a free text, which tables take as answers
    AddTable,  // a: rows and columns
    AddPoint,  // d: fold point or plain
    Connect,   // a, b: ends; c: attached at one end only; d: drawn first
    Label,     // a: shape; b: text
    Move,      // a: selection; b, c: delta; d: bound (subtrees follow)
    Resize,    // a: shape; b: handle; c, d: delta
    Collapse,  // a: shape
    Expand,    // a: shape
    Arrange,   // a: selection; b: which; c: mode; d: step
    Delete,    // a: selection
    CopyPaste, // a: selection; b: paste only; c, d: offset
    Answers,   // a: table; b: texts; c: cells filled
    Undo,
    Redo,
    Save,
    Reload, // d: the old page goes before the new one is read
    Count
};

struct Step {
    Op op;
    std::uint32_t a, b, c, d;
};

std::vector<Step> generate(std::uint32_t seed, std::size_t length);
// The sequence as C++ initialisers for a regression test.
std::string describe(const std::vector<Step>& steps);
// Runs the steps on a fresh page; empty when every check held, else what
// failed first.
std::string run(const std::vector<Step>& steps);

} // namespace randomedit
