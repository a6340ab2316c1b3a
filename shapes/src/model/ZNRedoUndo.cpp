#include <sarvik/ZNRedoUndo.h>

#include <utility>

#include <sarvik/ZN_ShapeBase.h>
#include <sarvik/ZN_ShapeManager.h>

#include "Prefetch.h"
#include "ShapeArena.h"

ZNRedoUndo::ZNRedoUndo(ZN_ShapeManager* owner)
    : manager(owner), blocks(detail::BlockPool::create()) {}

ZNRedoUndo::~ZNRedoUndo() {
    clearAll();
    blocks->retire();
}

void ZNRedoUndo::destroyState(State* state) {
    if (!state)
        return;
    // Each destructor unlinks its shape from the others of the same state, so
    // the order of destruction does not matter.
    for (ZN_ShapeBase* shape : *state)
        delete shape;
    delete state;
}

void ZNRedoUndo::destroyStack(std::list<State*>& stack) {
    for (State* state : stack)
        destroyState(state);
    stack.clear();
}

void ZNRedoUndo::clearRedo() { destroyStack(redoStack); }

void ZNRedoUndo::clearAll() {
    destroyStack(undoStack);
    destroyStack(redoStack);
    blocks->trim();
}

void ZNRedoUndo::copyAllTooplist(bool discardRedo) {
    if (discardRedo)
        clearRedo();
    while (static_cast<int>(undoStack.size()) >= maxSnapshots) {
        destroyState(undoStack.front());
        undoStack.pop_front();
    }
    if (!manager)
        return;

    // Read only: taking a snapshot leaves the page's indexes as they are. The
    // list is walked as an array, fetching ahead: on a large map the copy
    // otherwise spends most of its time waiting for the shapes to arrive.
    const std::vector<ZN_ShapeBase*>& live = manager->listArray();
    int next = 1;
    detail::forEachAhead(live, [&](ZN_ShapeBase* shape) { shape->setId(next++); });

    auto* snapshot = new State;
    undoStack.push_back(snapshot);
    std::vector<ZN_ShapeBase*> made;
    made.reserve(live.size());
    {
        // The copies and their labels are placed one after another in blocks
        // of their own rather than one by one on the heap.
        detail::ShapeArena arena(blocks);
        detail::forEachWhole(live, [&](const ZN_ShapeBase* shape) {
            if (ZN_ShapeBase* copy = shape->clone())
                made.push_back(copy);
        });
    }
    snapshot->assign(made.begin(), made.end());

    // One index for the whole snapshot keeps relinking linear in the page.
    const ZN_ShapeIndex copies(made);
    detail::forEachRelated(live, [&](const ZN_ShapeBase* shape) { shape->setRelating(copies); });
}

bool ZNRedoUndo::unDo() {
    if (undoStack.empty() || !manager)
        return false;
    std::list<ZN_ShapeBase*>& live = manager->getShapeList();

    auto* former = new State;
    former->splice(former->end(), live);
    redoStack.push_back(former);

    State* snapshot = undoStack.back();
    undoStack.pop_back();
    live.splice(live.end(), *snapshot);
    delete snapshot;
    return true;
}

bool ZNRedoUndo::reDo() {
    if (redoStack.empty() || !manager)
        return false;
    copyAllTooplist(false);
    manager->clear();

    State* state = redoStack.back();
    redoStack.pop_back();
    // The editor forgets its selection after a redo, so the restored shapes
    // must not stay marked as selected or as a connection target either.
    for (ZN_ShapeBase* shape : *state) {
        shape->setSelected(false);
        shape->setSnake(0);
    }
    manager->getShapeList().splice(manager->getShapeList().end(), *state);
    delete state;
    return true;
}
