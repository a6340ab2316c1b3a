#pragma once
// Undo and redo of one page by whole-page snapshots: before each change the
// editor asks for a deep copy of every shape with its relations re-linked among
// the copies; undo swaps the live shapes for the newest copy and redo swaps
// back. There are no command objects and no diffs.

#include <cstdint>
#include <cstddef>
#include <list>
#include <vector>

class ZN_ShapeBase;
class ZN_ShapeManager;
namespace detail {
class BlockPool;
}

class ZNRedoUndo {
public:
    // At most this many undo snapshots are held; the oldest drops off first.
    static constexpr int maxSnapshots = 21;

    explicit ZNRedoUndo(ZN_ShapeManager* manager);
    virtual ~ZNRedoUndo();

    // Snapshots own their shapes; a copy of the stack would free them twice.
    ZNRedoUndo(const ZNRedoUndo&) = delete;
    ZNRedoUndo& operator=(const ZNRedoUndo&) = delete;

    // Pushes a snapshot of the live page, discarding the redo states first
    // when `clearRedo` is true. Renumbers the live shapes 1..n.
    void copyAllTooplist(bool clearRedo);
    // Swaps the live page for the newest snapshot; false when there is none.
    bool unDo();
    // Brings back the newest redo state; false when there is none.
    bool reDo();
    bool canUndo() const { return !undoStack.empty(); }
    bool canRedo() const { return !redoStack.empty(); }
    void clearRedo();
    void clearAll();

    // Number of held states, for the editor's menus and for tests.
    int undoCount() const { return static_cast<int>(undoStack.size()); }
    int redoCount() const { return static_cast<int>(redoStack.size()); }
    // Moves on with every snapshot, undo and redo, to a number no other stack
    // of the process has had: whoever noted it knows whether the page's
    // history changed since, even when the counts stay as they were (a full
    // stack drops its oldest snapshot for each new one).
    std::uint64_t historyStamp() const { return stamp; }
    // Bytes of the blocks the snapshots are placed in, held by the states or
    // kept for the next snapshot.
    std::size_t snapshotBytes() const;

private:
    // The shapes of a snapshot or redo state in list order, owned. A state
    // holds them in `shapes`, in `array` or in both in the same order; when
    // `shapes` is empty, `array` lists them all.
    struct State {
        std::list<ZN_ShapeBase*> shapes;
        std::vector<ZN_ShapeBase*> array;
    };
    void destroyState(State* state);
    static void destroyShapes(State* state);
    void destroyStack(std::list<State*>& stack);
    // Makes room for one more undo snapshot.
    void dropOldest();
    // Moves the live page onto the undo stack as its newest snapshot; false
    // (and nothing done) when it holds a shape a snapshot would leave out.
    bool shelveLivePage();
    // Empties the live page into a new state, and the other way round.
    State* takeLivePage();
    void makeLive(State* state);

    ZN_ShapeManager* manager;         // not owned
    std::list<State*> undoStack;      // owned, shapes included; newest at the back
    std::list<State*> redoStack;      // owned likewise; newest at the back
    // Memory of the snapshots this stack dropped, reused by the next one;
    // given back by clearAll().
    detail::BlockPool* blocks;
    // The array of a dropped state, kept for the next snapshot's.
    std::vector<ZN_ShapeBase*> spareArray;
    std::uint64_t stamp = 0;
    void moveStamp();
};
