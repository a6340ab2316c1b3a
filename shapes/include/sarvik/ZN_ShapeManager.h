#pragma once
// One page of a document: its shapes in drawing order, its undo stack, its
// capture frame and background colour, and every editing operation that works
// on the whole list or on the selection.

#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include <sarvik/ZDrawnExtent.h>
#include <sarvik/ZN_ShapeBase.h>

class ZFile;
class ZNRedoUndo;
class ZN_BackRgn;
namespace detail {
class RelationTable;
class ShapeGrid;
class WalkMarks;
} // namespace detail

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
    // The connection target under `pos` for a connector end: the first shown
    // shape in list order, other than `except` and connector lines, whose
    // InPoint (with no hit record, so every box's handles count) answers
    // nonzero.
    ZN_ShapeBase* findConnectTarget(const ZVector2& pos, float tolerance,
                                    const ZN_ShapeBase* except, int& code) const;
    // The list itself. A caller may change it through this reference, so the
    // page's spatial index is rebuilt before its next query; read-only
    // callers use the const overload, which leaves the index alone.
    std::list<ZN_ShapeBase*>& getShapeList() {
        listChanged();
        return shapeList;
    }
    const std::list<ZN_ShapeBase*>& getShapeList() const { return shapeList; }
    // The same shapes in the same order as an array, which long walks can
    // read ahead in; valid until the list changes.
    const std::vector<ZN_ShapeBase*>& getShapeArray() const { return listArray(); }
    // Moves on whenever the list may have changed, which costs the next query
    // a rebuild of the spatial indexes; read-only walks leave it alone.
    std::uint64_t getListVersion() const { return listVersion; }
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
    // Hides everything below each collapsed fold point (state 2), as the
    // clicks that collapsed them left it; a page read from a file or built
    // from another format shows every shape until then.
    void collapseFoldedPoints();
    // Shows each cross link whose two nodes are shown and hides the others,
    // as every fold and unfold above leaves them. A cross link that has lost
    // a node is left as it is.
    void showCrossLinks();

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

    // The same with the visited marks kept beside the result, for callers that
    // collect from many start shapes into one result.
    using Visited = detail::WalkMarks;
    void collectAll(ZN_ShapeBase* shape, std::vector<ZN_ShapeBase*>& result, Visited& seen);
    void collectOne(ZN_ShapeBase* shape, std::vector<ZN_ShapeBase*>& result, Visited& seen);
    void collectOne2(ZN_ShapeBase* shape, std::vector<ZN_ShapeBase*>& result, Visited& seen);
    // Everything below the selected shapes, each once, in selection order.
    std::vector<ZN_ShapeBase*> collectBelowSelected();
    // What collectAll (or, when `limited`, collectOne2) gathers from one start
    // shape with a walk of its own.
    std::vector<ZN_ShapeBase*> collectFrom(ZN_ShapeBase* start, bool limited);

    // The spatial indexes are rebuilt lazily after the list changed.
    void listChanged() { ++listVersion; }

    std::list<ZN_ShapeBase*> shapeList; // owned; front = drawn first
    ZVector4 backColor{1.0f, 1.0f, 1.0f, 1.0f};
    ZNRedoUndo* undoRedo = nullptr; // owned
    ZN_BackRgn* backRgn = nullptr;  // owned; never in shapeList, never saved

public:
    // Every shape, in list order, that may put ink into the canvas rectangle
    // min..max; shapes certainly wholly outside it may be left out.
    void shapesToDraw(const ZVector2& min, const ZVector2& max,
                      std::vector<const ZN_ShapeBase*>& out) const;

    // A rectangle holding the drawn extent of every shape whose extent is
    // finite (inks is false when there is none); for sizing the scroll range,
    // not pictures. Kept from call to call: shapes moved, selected or
    // highlighted since are added to it, so it may be larger than needed until
    // the list changes, a shape is shown or hidden, or tightenShownExtent()
    // is called; once measured afresh it is the exact union.
    ZDrawnExtent shownExtent() const;
    // Measures the shown extent afresh at the next call if shapes were moved
    // since it was last measured, so that it fits them again after a drag.
    void tightenShownExtent() const;

private:
    friend class ZNRedoUndo;
    // The indexes of the shapes' hit bounds and drawn bounds, brought up to
    // date before each query.
    const detail::ShapeGrid& grid() const;
    const detail::ShapeGrid& drawGrid() const;
    ZN_ShapeBase* scanHit(const ZVector2& pos, ZObj2DInPoint* info, int& code,
                          float tolerance) const;
    ZN_ShapeBase* scanTarget(const ZVector2& pos, float tolerance, const ZN_ShapeBase* except,
                             int& code) const;

    // The list as an array, so that walks can fetch shapes ahead; remade
    // after the list changed.
    const std::vector<ZN_ShapeBase*>& listArray() const;
    // Hands the array over when it is up to date (else an empty one), and
    // takes one that lists exactly the shapes of the list in order.
    std::vector<ZN_ShapeBase*> takeListArray();
    void adoptListArray(std::vector<ZN_ShapeBase*>&& array);
    // The packed relations of the list, or nullptr when walks must follow the
    // shapes themselves.
    detail::RelationTable* relationTable() const;

    mutable std::vector<ZN_ShapeBase*> listArray_;
    mutable std::uint64_t listArrayVersion_ = 0;
    mutable bool listArrayMade_ = false;
    mutable std::unique_ptr<detail::RelationTable> relations_;
    mutable std::unique_ptr<detail::ShapeGrid> shapeGrid;
    mutable std::unique_ptr<detail::ShapeGrid> drawnGrid;
    std::uint64_t listVersion = 0;
    mutable std::vector<std::uint32_t> candidates; // reused between queries

    // shownExtent()'s rectangle and what it was measured at.
    struct ShownExtentCache {
        ZDrawnExtent extent;
        std::uint64_t listVersion = 0;
        std::uint64_t geometryEpoch = 0;
        std::uint64_t markEpoch = 0;
        std::uint64_t showEpoch = 0;
        bool measured = false;
        bool grown = false; // shapes moved since it was measured
    };
    mutable ShownExtentCache shownCache;
    void measureShownExtent() const;
};

namespace detail {
// Depth counters of the two limited collectors; 0 between calls.
int oneOutPutDepth();
int oneOutPutDepth2();
} // namespace detail
