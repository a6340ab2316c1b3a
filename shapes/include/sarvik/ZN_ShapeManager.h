#pragma once
// One page of a document: its shapes in drawing order, its undo stack, its
// capture frame and background colour, and every editing operation that works
// on the whole list or on the selection.

#include <list>
#include <unordered_set>

#include <sarvik/ZN_ShapeBase.h>

class ZFile;
class ZNRedoUndo;
class ZN_BackRgn;

class ZN_ShapeManager {
public:
    ZN_ShapeManager();
    virtual ~ZN_ShapeManager();

    // A copy would share the undo stack and the capture frame.
    ZN_ShapeManager(const ZN_ShapeManager&) = delete;
    ZN_ShapeManager& operator=(const ZN_ShapeManager&) = delete;

    void render() const;
    void addShape(ZN_ShapeBase* s);
    void addShapeFront(ZN_ShapeBase* s);
    void deleteShape(ZN_ShapeBase* s);
    void clear();
    void deleteSelected();
    // The shape (or capture frame) under `pos`; `tolerance` is how near a
    // handle, point or line counts as on it, in canvas units (a view zoomed
    // to z passes 10 / z so the reach stays 10 screen pixels).
    ZN_ShapeBase* Change_Cursor(const ZVector2& pos, ZObj2DInPoint* info, int& code,
                                float tolerance = 10.0f) const;
    void clearSelect();
    void change(const ZVector2& from, const ZVector2& to, int code, int bind);
    bool selectWithinRect(const ZVector2& a, const ZVector2& b);
    std::list<ZN_ShapeBase*>& getShapeList() { return shapeList; }
    ZN_BackRgn* getBackRgn() const { return backRgn; }
    void setBackColor(const ZVector4& c) { backColor = c; }
    ZVector4 getBackColor() const { return backColor; }
    ZNRedoUndo* getUndoRedo() { return undoRedo; }

    // Page record. writeFile renumbers the shapes 1..n and reports whether the
    // bytes were written. readFile appends to an empty manager; on a short
    // read, an unknown type code or an absurd count it reads nothing further,
    // destroys what it had appended, marks the file failed and returns false.
    bool writeFile(ZFile* file, int version);
    bool readFile(ZFile* file, int version);

    // Subtree collapse and expand.
    bool shapeShrink(ZN_ShapeBase* shape);
    bool shapeSpread(ZN_ShapeBase* shape);
    bool selectShrink();
    bool selectSpreadAll();
    bool selectSpreadOneLayer();

    // Arrangement of a given list of shapes (layers, alignment, distribution,
    // equal size, nudge).
    void TranslateLayer(int mode, const std::list<ZN_ShapeBase*>& shapes);
    int TranslateAlign(int mode, const std::list<ZN_ShapeBase*>& shapes);
    int TranslateAlignAvg(int mode, const std::list<ZN_ShapeBase*>& shapes);
    int SameSize(int mode, const std::list<ZN_ShapeBase*>& shapes);
    int LittleMove(int direction, const std::list<ZN_ShapeBase*>& shapes, int step);

protected:
    // Subtree collectors: each appends to `result` and never empties it; a
    // shape already in `result` is neither added again nor followed.
    void getAllOutPutList(ZN_ShapeBase* shape, std::list<ZN_ShapeBase*>& result);
    void getOneOutPutList(ZN_ShapeBase* shape, std::list<ZN_ShapeBase*>& result);
    void getOneOutPutList2(ZN_ShapeBase* shape, std::list<ZN_ShapeBase*>& result);

    // The same with the visited set kept beside the result, for callers that
    // collect from many start shapes into one list.
    using Visited = std::unordered_set<const ZN_ShapeBase*>;
    void collectAll(ZN_ShapeBase* shape, std::list<ZN_ShapeBase*>& result, Visited& seen);
    void collectOne(ZN_ShapeBase* shape, std::list<ZN_ShapeBase*>& result, Visited& seen);
    void collectOne2(ZN_ShapeBase* shape, std::list<ZN_ShapeBase*>& result, Visited& seen);
    // Everything below the selected shapes, each once, in selection order.
    std::list<ZN_ShapeBase*> collectBelowSelected();

    std::list<ZN_ShapeBase*> shapeList; // owned; front = drawn first
    ZVector4 backColor{1.0f, 1.0f, 1.0f, 1.0f};
    ZNRedoUndo* undoRedo = nullptr; // owned
    ZN_BackRgn* backRgn = nullptr;  // owned; never in shapeList, never saved
};

namespace detail {
// Depth counters of the two limited collectors; 0 between calls.
int oneOutPutDepth();
int oneOutPutDepth2();
} // namespace detail
