#include <sarvik/ZNRedoUndo.h>

#include <sarvik/ZN_ShapeBase.h>
#include <sarvik/ZN_ShapeManager.h>

namespace {
void destroyStates(std::list<std::list<ZN_ShapeBase*>*>& stack) {
    for (std::list<ZN_ShapeBase*>* state : stack) {
        for (ZN_ShapeBase* shape : *state)
            delete shape;
        delete state;
    }
    stack.clear();
}
} // namespace

ZNRedoUndo::ZNRedoUndo(ZN_ShapeManager* owner) : manager(owner) {}

ZNRedoUndo::~ZNRedoUndo() { clearAll(); }

void ZNRedoUndo::copyAllTooplist(bool) {}
bool ZNRedoUndo::unDo() { return false; }
bool ZNRedoUndo::reDo() { return false; }
void ZNRedoUndo::clearRedo() { destroyStates(redoStack); }

void ZNRedoUndo::clearAll() {
    destroyStates(undoStack);
    destroyStates(redoStack);
}
