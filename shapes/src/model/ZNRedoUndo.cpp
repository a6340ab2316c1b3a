#include <sarvik/ZNRedoUndo.h>

#include <atomic>
#include <utility>

#include <sarvik/ZN_ShapeBase.h>
#include <sarvik/ZN_ShapeManager.h>

#include "Teardown.h"
#include "memory/Prefetch.h"
#include "memory/ShapeArena.h"

ZNRedoUndo::ZNRedoUndo(ZN_ShapeManager* owner)
    : manager(owner), blocks(detail::BlockPool::create()) {}

ZNRedoUndo::~ZNRedoUndo() {
    clearAll();
    blocks->retire();
}

void ZNRedoUndo::destroyState(State* state) {
    if (!state)
        return;
    destroyShapes(state);
    // A page's arrays are all about the same size, so the largest one let
    // go of is kept for the next snapshot's.
    if (state->array.capacity() > spareArray.capacity())
        spareArray.swap(state->array);
    delete state;
}

void ZNRedoUndo::destroyShapes(State* state) {
    // A state's shapes are joined to one another alone and all go together.
    if (state->shapes.empty())
        detail::destroyTogether(state->array);
    else
        detail::destroyTogether(std::vector<ZN_ShapeBase*>(state->shapes.begin(), state->shapes.end()));
    detail::noteRelationChange();
}

void ZNRedoUndo::destroyStack(std::list<State*>& stack) {
    for (State* state : stack)
        destroyState(state);
    stack.clear();
}

void ZNRedoUndo::clearRedo() { destroyStack(redoStack); }

std::size_t ZNRedoUndo::snapshotBytes() const { return blocks->bytesHeld(); }

void ZNRedoUndo::clearAll() {
    destroyStack(undoStack);
    destroyStack(redoStack);
    spareArray = {};
    blocks->trim();
}

void ZNRedoUndo::dropOldest() {
    while (static_cast<int>(undoStack.size()) >= maxSnapshots) {
        destroyState(undoStack.front());
        undoStack.pop_front();
    }
}

void ZNRedoUndo::moveStamp() {
    static std::atomic<std::uint64_t> last{0};
    stamp = ++last;
}

void ZNRedoUndo::copyAllTooplist(bool discardRedo) {
    moveStamp();
    if (discardRedo)
        clearRedo();
    dropOldest();
    if (!manager)
        return;

    // Read only: taking a snapshot leaves the page's indexes as they are. The
    // list is walked as an array, fetching ahead: on a large map the copy
    // otherwise spends most of its time waiting for the shapes to arrive.
    const std::vector<ZN_ShapeBase*>& live = manager->listArray();

    auto* snapshot = new State;
    undoStack.push_back(snapshot);
    std::vector<ZN_ShapeBase*>& made = snapshot->array;
    // The spare array of a page that has since shrunk much is let go.
    if (spareArray.capacity() > 2 * live.size() + 1024)
        spareArray = {};
    made.swap(spareArray);
    made.clear();
    made.reserve(live.size());
    // The copies, their labels, texts, points and relation lists are placed
    // one after another in blocks of their own rather than one by one on the
    // heap. The live shapes are numbered 1..n as they are copied; the copies
    // take the numbers along, and relinking finds them by these.
    // A page about the size of the last one snapshot needs about as much
    // room, and a small page takes small blocks.
    detail::ShapeArena arena(blocks, live.size() * blocks->bytesPerShape());
    int next = 1;
    detail::forEachWhole(live, [&](ZN_ShapeBase* shape) {
        shape->setId(next++);
        if (ZN_ShapeBase* copy = shape->clone())
            made.push_back(copy);
    });
    arena.setShapeCount(made.size());
    // The snapshot's list is made only if it is ever undone to: most are
    // dropped unseen, and the array alone says what they hold.

    // One index for the whole snapshot keeps relinking linear in the page.
    // When every shape made a copy, the copies stand in the order of their
    // ids, and the array itself is the index.
    const bool inOrder = made.size() == live.size();
    const ZN_ShapeIndex copies = inOrder ? ZN_ShapeIndex::numberedInOrder(made) : ZN_ShapeIndex(made);
    // Each copy, written long before on a large page, is fetched again
    // with its original.
    detail::forEachRelated(
        live, [&](const ZN_ShapeBase* shape) { shape->setRelating(copies); },
        [&](std::size_t i) {
            if (inOrder)
                detail::fetchThroughRelations(made[i]);
        });
}

ZNRedoUndo::State* ZNRedoUndo::takeLivePage() {
    auto* state = new State;
    state->array = manager->takeListArray();
    state->shapes.splice(state->shapes.end(), manager->getShapeList());
    return state;
}

void ZNRedoUndo::makeLive(State* state) {
    std::list<ZN_ShapeBase*>& list = manager->getShapeList();
    if (state->shapes.empty())
        list.assign(state->array.begin(), state->array.end());
    else
        list.splice(list.end(), state->shapes);
    // The state's array lists the same shapes in the same order, so walks of
    // the restored page need not gather them from the list again.
    manager->adoptListArray(std::move(state->array));
    delete state;
}

bool ZNRedoUndo::unDo() {
    if (undoStack.empty() || !manager)
        return false;
    moveStamp();
    redoStack.push_back(takeLivePage());
    State* snapshot = undoStack.back();
    undoStack.pop_back();
    makeLive(snapshot);
    return true;
}

namespace {

// The intermediate classes make no copy of themselves, so a snapshot leaves
// them out; the editor never creates them.
bool copyable(const ZN_ShapeBase* shape) {
    const int type = shape->type();
    return type != 3 && type != 4 && type != 6;
}

} // namespace

bool ZNRedoUndo::shelveLivePage() {
    // What a copy would differ in: the ids are renumbered and copies start
    // unselected and unhighlighted. Should the page hold a shape that makes
    // no copy, these changes are harmless, as the page is destroyed anyway.
    bool all = true;
    int next = 1;
    detail::forEachAhead(manager->listArray(), [&](ZN_ShapeBase* shape) {
        all = all && copyable(shape);
        shape->setId(next++);
        shape->setSelected(false);
        shape->setSnake(0);
    });
    if (!all)
        return false;
    dropOldest();
    undoStack.push_back(takeLivePage());
    return true;
}

bool ZNRedoUndo::reDo() {
    if (redoStack.empty() || !manager)
        return false;
    moveStamp();
    // The live page is about to be thrown away, so rather than copying it
    // into the undo stack and destroying it, it is itself the snapshot: the
    // copy would hold the same shapes, values and relations.
    if (!shelveLivePage()) {
        copyAllTooplist(false);
        manager->clear();
    }

    State* state = redoStack.back();
    redoStack.pop_back();
    // The editor forgets its selection after a redo, so the restored shapes
    // must not stay marked as selected or as a connection target either.
    auto unmark = [](ZN_ShapeBase* shape) {
        shape->setSelected(false);
        shape->setSnake(0);
    };
    if (state->shapes.empty() || state->array.size() == state->shapes.size())
        detail::forEachAhead(state->array, unmark);
    else
        for (ZN_ShapeBase* shape : state->shapes)
            unmark(shape);
    makeLive(state);
    return true;
}
