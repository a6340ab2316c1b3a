#pragma once
// Scroll positions kept beside each page's undo and redo snapshots, so that
// undo and redo bring back the view an edit was made in. A page's snapshots
// can drop off or go away without notice (the stack keeps a limited number,
// pages are deleted), so the marks are trimmed to the stack's counts before
// each use; the newest marks always belong to the newest snapshots.

#include <deque>
#include <optional>
#include <unordered_map>

#include <rulmek/rulmek.h>

class ZNRedoUndo;
class ZN_ShapeManager;

class ScrollHistory {
public:
    // A snapshot of `page` was just pushed while the view showed `offset`;
    // the redo states went with it.
    void snapshotTaken(const ZN_ShapeManager* page, const ZNRedoUndo& stack, ZVector2 offset);
    // Undo of `page` just succeeded with the view at `current`: the position
    // of the snapshot that came back, when one was noted.
    std::optional<ZVector2> undone(const ZN_ShapeManager* page, const ZNRedoUndo& stack,
                                   ZVector2 current);
    // Redo of `page` just succeeded (it pushed an undo snapshot of the state
    // left): the position the redone state was left at, when one was noted.
    std::optional<ZVector2> redone(const ZN_ShapeManager* page, const ZNRedoUndo& stack,
                                   ZVector2 current);
    // Drops the marks of a page that is gone.
    void forget(const ZN_ShapeManager* page) { marks_.erase(page); }

private:
    struct Marks {
        std::deque<ZVector2> undo; // newest at the back
        std::deque<ZVector2> redo; // newest at the back
    };
    // Drops the oldest marks beyond the counts of the stack.
    static void trim(std::deque<ZVector2>& marks, int count);

    std::unordered_map<const ZN_ShapeManager*, Marks> marks_;
};
