#include "view/ScrollHistory.h"

#include <algorithm>

#include <sarvik/ZNRedoUndo.h>

void ScrollHistory::trim(std::deque<ZVector2>& marks, int count) {
    const auto keep = static_cast<std::size_t>(std::max(0, count));
    while (marks.size() > keep)
        marks.pop_front();
}

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

std::optional<ZVector2> ScrollHistory::undone(const ZN_ShapeManager* page,
                                              const ZNRedoUndo& stack, ZVector2 current) {
    Marks& m = marks_[page];
    // The stack held one more state before the undo.
    trim(m.undo, stack.undoCount() + 1);
    std::optional<ZVector2> back;
    if (!m.undo.empty()) {
        back = m.undo.back();
        m.undo.pop_back();
    }
    m.redo.push_back(current);
    trim(m.redo, stack.redoCount());
    return back;
}

std::optional<ZVector2> ScrollHistory::redone(const ZN_ShapeManager* page,
                                              const ZNRedoUndo& stack, ZVector2 current) {
    Marks& m = marks_[page];
    trim(m.redo, stack.redoCount() + 1);
    std::optional<ZVector2> back;
    if (!m.redo.empty()) {
        back = m.redo.back();
        m.redo.pop_back();
    }
    m.undo.push_back(current);
    trim(m.undo, stack.undoCount());
    return back;
}
