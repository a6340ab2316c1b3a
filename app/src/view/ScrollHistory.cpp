#include "view/ScrollHistory.h"

#include <algorithm>

#include <sarvik/ZNRedoUndo.h>

namespace {

// Drops the oldest marks beyond `count`.
void trimTo(std::deque<ZVector2>& marks, int count) {
    const auto keep = static_cast<std::size_t>(std::max(0, count));
    while (marks.size() > keep)
        marks.pop_front();
}

} // namespace

void ScrollHistory::trim(std::deque<ZVector2>& marks, int count) { trimTo(marks, count); }

void ScrollHistory::snapshotTaken(const ZN_ShapeManager* page, const ZNRedoUndo& stack,
                                  ZVector2 offset) {
    Marks& m = marks_[page];
    m.redo.clear();
    // Snapshots taken without a note leave the stack with more states than
    // marks; the oldest are the ones left unmarked, and undo then keeps the
    // position for them.
    m.undo.push_back(offset);
    trim(m.undo, stack.undoCount());
}

namespace {

// A state moved from one stack to the other: its mark comes off `from`
// (which held one state more before the move) and the position left goes
// onto `to`.
std::optional<ZVector2> moveMark(std::deque<ZVector2>& from, int fromCount,
                                 std::deque<ZVector2>& to, int toCount, ZVector2 current) {
    trimTo(from, fromCount + 1);
    std::optional<ZVector2> back;
    if (!from.empty()) {
        back = from.back();
        from.pop_back();
    }
    to.push_back(current);
    trimTo(to, toCount);
    return back;
}

} // namespace

std::optional<ZVector2> ScrollHistory::undone(const ZN_ShapeManager* page,
                                              const ZNRedoUndo& stack, ZVector2 current) {
    Marks& m = marks_[page];
    return moveMark(m.undo, stack.undoCount(), m.redo, stack.redoCount(), current);
}

std::optional<ZVector2> ScrollHistory::redone(const ZN_ShapeManager* page,
                                              const ZNRedoUndo& stack, ZVector2 current) {
    Marks& m = marks_[page];
    return moveMark(m.redo, stack.redoCount(), m.undo, stack.undoCount(), current);
}
