#pragma once
// Undo and redo by whole-page snapshots.

#include <list>

class ZN_ShapeBase;
class ZN_ShapeManager;

class ZNRedoUndo {
public:
    explicit ZNRedoUndo(ZN_ShapeManager* manager);
    virtual ~ZNRedoUndo();
    ZNRedoUndo(const ZNRedoUndo&) = delete;
    ZNRedoUndo& operator=(const ZNRedoUndo&) = delete;

    void copyAllTooplist(bool clearRedo);
    bool unDo();
    bool reDo();
    bool canUndo() const { return !undoStack.empty(); }
    bool canRedo() const { return !redoStack.empty(); }
    void clearRedo();
    void clearAll();

protected:
    ZN_ShapeManager* manager;                          // not owned
    std::list<std::list<ZN_ShapeBase*>*> undoStack;    // owned, shapes included; oldest first
    std::list<std::list<ZN_ShapeBase*>*> redoStack;    // owned likewise; newest last
};
