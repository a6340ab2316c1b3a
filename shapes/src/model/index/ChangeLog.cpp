#include "ChangeLog.h"

#include <cstddef>
#include <vector>

#include <sarvik/ZN_ShapeBase.h>

namespace detail {

namespace {

// The shapes whose geometry changed, in order. Entry i carries change number
// base + i + 1. When the log grows long, or a shape is destroyed (its entries
// could no longer be read), it is emptied and every grid behind it rebuilds.
struct ChangeLog {
    std::uint64_t epoch = 1;
    std::uint64_t base = 1;
    std::vector<ZN_ShapeBase*> shapes;

    void note(ZN_ShapeBase* shape);
    void forget() {
        shapes.clear();
        base = epoch;
    }
    LoggedChanges since(std::uint64_t seen) const;
};

constexpr std::size_t kLogCapacity = 4096;

void ChangeLog::note(ZN_ShapeBase* shape) {
    ++epoch;
    if (shapes.size() < kLogCapacity) {
        shapes.push_back(shape);
    } else {
        shapes.clear();
        base = epoch;
    }
}

LoggedChanges ChangeLog::since(std::uint64_t seen) const {
    LoggedChanges changes;
    if (seen < base || seen > epoch)
        return changes;
    changes.begin = shapes.data() + (seen - base);
    changes.end = shapes.data() + shapes.size();
    changes.complete = true;
    return changes;
}

ChangeLog& changeLog() {
    static ChangeLog log;
    return log;
}

// Selections and highlights, kept apart: the grids do not depend on them,
// and selecting a whole page must not cost them a rebuild.
ChangeLog& markLog() {
    static ChangeLog log;
    return log;
}

std::uint64_t& showCounter() {
    static std::uint64_t count = 0;
    return count;
}

} // namespace

void noteGeometryChange(ZN_ShapeBase* shape) {
    changeLog().note(shape);
}

void noteMarkChange(ZN_ShapeBase* shape) {
    markLog().note(shape);
}

void noteShapeGone() {
    changeLog().forget();
    markLog().forget();
}

std::uint64_t geometryEpoch() {
    return changeLog().epoch;
}

LoggedChanges changesSince(std::uint64_t epoch) {
    return changeLog().since(epoch);
}

std::uint64_t markEpoch() {
    return markLog().epoch;
}

LoggedChanges markChangesSince(std::uint64_t epoch) {
    return markLog().since(epoch);
}

void noteShowChange() {
    ++showCounter();
}

std::uint64_t showEpoch() {
    return showCounter();
}

} // namespace detail
