#pragma once
// The numbered log of geometry and mark changes that the page indexes catch
// up from, and the counter of shows and hides. Process-wide: the entries of
// every page are in one log, and each index skips those it does not hold.
//
// Invariant: entry k carries change number base + k + 1 and names a shape
// that is still alive; destroying a shape that an index holds empties the
// log (base = epoch), and so does overflowing it.

#include <cstdint>

class ZN_ShapeBase;

namespace detail {

// Every change of geometry is numbered; the grid remembers the number it has
// caught up with.
std::uint64_t geometryEpoch();

// The shapes whose geometry changed after change number `epoch`, oldest first,
// some perhaps more than once; `complete` is false when the log no longer
// reaches back that far.
struct LoggedChanges {
    ZN_ShapeBase* const* begin = nullptr;
    ZN_ShapeBase* const* end = nullptr;
    bool complete = false;
};
LoggedChanges changesSince(std::uint64_t epoch);

// The same for selections and highlights, numbered apart.
std::uint64_t markEpoch();
LoggedChanges markChangesSince(std::uint64_t epoch);

// Moves on whenever any shape is shown or hidden.
std::uint64_t showEpoch();

} // namespace detail
