#pragma once
// Invariants of the page indexes (this grid, the relation table, the
// change log):
// - The list version (ZN_ShapeManager::getListVersion) moves on every change
//   that may alter which shapes the list holds or their order: adding,
//   deleting, clearing, reordering, reading, an undo or redo swapping the
//   shapes, and every hand-out of the list for writing. An index built at
//   another version is rebuilt before it answers.
// - Slot i is the i-th shape of the list at the version the index was built
//   at. A shape records the slot it was last given (its label records its
//   host's), and from then on logs every change of its geometry; a shape
//   never given one (a fresh copy, a snapshot's) logs nothing. A slot is
//   trusted only when the index's own entry for it is that very shape.
// - The change log names shapes, not slots. When a shape that holds a slot
//   is destroyed the log is emptied, so that no entry outlives its shape; an
//   index behind the log's start rebuilds.
// A uniform grid over the bounds of a page's shapes, so that pointing and
// drawing look only at the shapes near a point or a rectangle instead of
// walking the whole list. The grid only proposes candidates: callers still ask
// each candidate's own exact test, in list order, so every answer is the one a
// walk of the list would give.
//
// Bounds here are in canvas coordinates and cover everything a shape's hit
// test (at zero tolerance) and rubber-band test can accept; a shape whose
// bounds are unknown or not finite is proposed for every query.

#include <cstdint>
#include <list>
#include <vector>

#include "ChangeLog.h"

class ZN_ShapeBase;

namespace detail {

struct ShapeBounds {
    float minX = 0.0f;
    float minY = 0.0f;
    float maxX = 0.0f;
    float maxY = 0.0f;
};

// The bounds of what `shape`'s InPoint and IntersectRect can accept; false
// when the shape's kind is not known here or a coordinate is not finite.
bool hitBounds(const ZN_ShapeBase& shape, ShapeBounds& out);
// The bounds of everything `shape`'s render() can draw, its label included;
// false when they are not known. Defined beside the scene.
bool drawBounds(const ZN_ShapeBase& shape, ShapeBounds& out);
using BoundsOf = bool (*)(const ZN_ShapeBase&, ShapeBounds&);

class ShapeGrid {
public:
    explicit ShapeGrid(BoundsOf boundsOf) : boundsOf_(boundsOf) {}

    // Indexes `shapes` in list order; slot i is the i-th shape of the list.
    // Every grid of one list version gives each shape the same slot, which
    // the shape keeps to be found again when it changes.
    void build(const std::list<ZN_ShapeBase*>& shapes, std::uint64_t listVersion);
    std::uint64_t listVersion() const { return listVersion_; }
    // Brings the bounds of the shapes changed since the last build or catch-up
    // up to date; false when that cannot be told any more (a rebuild is due).
    bool catchUp();

    std::size_t size() const { return shapes_.size(); }
    ZN_ShapeBase* shape(std::size_t slot) const { return shapes_[slot]; }
    // The slot of `shape`, or -1 when this grid does not hold it.
    int slotOf(const ZN_ShapeBase* shape) const;

    // True when the slot's bounds lie strictly inside the rectangle. For hit
    // bounds this means the rubber band test accepts the shape: each kind it
    // knows has a point that decides that test and lies within its bounds.
    bool inside(std::uint32_t slot, double minX, double minY, double maxX, double maxY) const {
        const Entry& e = entries_[slot];
        return !e.wide && e.bounds.minX > minX && e.bounds.maxX < maxX && e.bounds.minY > minY &&
               e.bounds.maxY < maxY;
    }

    // Slots, ascending (list order), of every shape whose bounds grown by
    // `grow` meet the closed rectangle; each slot once.
    void query(float minX, float minY, float maxX, float maxY, float grow,
               std::vector<std::uint32_t>& out) const;

private:
    struct Entry {
        ShapeBounds bounds;
        int cx0 = 0, cy0 = 0, cx1 = 0, cy1 = 0;
        bool wide = true; // in wideSlots_ rather than in cells
    };

    // Records the slot in the shape, and in its label, so that their changes
    // are logged and found again.
    static void holdSlot(ZN_ShapeBase& shape, int slot);
    void place(std::uint32_t slot);
    void unplace(std::uint32_t slot);
    int cellX(double x) const;
    int cellY(double y) const;

    BoundsOf boundsOf_;
    std::uint64_t listVersion_ = 0;
    std::vector<ZN_ShapeBase*> shapes_;
    std::vector<Entry> entries_;
    std::vector<std::vector<std::uint32_t>> cells_;
    std::vector<std::uint32_t> wideSlots_; // unbounded or spread over many cells
    double originX_ = 0.0, originY_ = 0.0, cellSize_ = 1.0;
    int cols_ = 1, rows_ = 1;
    std::uint64_t seenEpoch_ = 0;
    bool built_ = false;
    mutable std::vector<std::uint32_t> mark_; // per slot: last query that took it
    mutable std::uint32_t queryStamp_ = 0;
};

// When on, every indexed query of a page also walks the whole list and stops
// the program if the answers differ. Starts on when TAVLO_CHECK_INDEX is set
// to anything but 0.
bool indexSelfCheck();
void setIndexSelfCheck(bool on);

} // namespace detail
