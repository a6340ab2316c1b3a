#pragma once
// Invariant: a table answers only for the list version it was built at and
// while no relation of any shape has changed since (relationEpoch); its
// slots are list positions like the grid's, recorded in the same place of
// each shape, so the two agree whenever both are current.
// A page's parent-child relations as packed arrays indexed by list position.
// A walk of a large subtree then reads a few megabytes of numbers instead of
// chasing pointers through every shape it passes, which on a map far larger
// than the processor's cache is what a walk mostly waits for.
//
// The table is built when a walk needs it and the list or any shape's
// relations changed since. Its walks meet exactly the shapes, in exactly the
// order, that the walks over the shapes themselves meet.

#include <cstddef>
#include <cstdint>
#include <vector>

class ZN_ShapeBase;

namespace detail {

// Every change to any shape's inputs or outputs is counted.
std::uint64_t relationEpoch();

class RelationTable {
public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

    // `shapes` is the list in order; each shape learns its slot.
    void build(const std::vector<ZN_ShapeBase*>& shapes, std::uint64_t listVersion);
    // True when built from this list version and no relation changed since.
    bool current(std::uint64_t listVersion) const;
    // False when some relation leads to a shape outside the list: walks must
    // then go over the shapes themselves.
    bool usable() const { return usable_; }

    ZN_ShapeBase* shape(std::uint32_t slot) const { return shapes_[slot]; }
    std::uint32_t slotOf(const ZN_ShapeBase* shape) const;

    // One walk may collect from several start shapes; each shape is met once
    // per walk.
    void beginWalk();
    // Pre-order, depth first along the outputs, from `start` (if not yet met).
    void collectAll(std::uint32_t start, std::vector<ZN_ShapeBase*>& out);
    // The same, except that from the third level on a fold point is taken but
    // not followed.
    void collectOne2(std::uint32_t start, std::vector<ZN_ShapeBase*>& out);

private:
    bool meet(std::uint32_t slot) {
        if (mark_[slot] == stamp_)
            return false;
        mark_[slot] = stamp_;
        return true;
    }
    template <class Follow>
    void walk(std::uint32_t start, std::vector<ZN_ShapeBase*>& out, Follow follow);

    std::vector<ZN_ShapeBase*> shapes_;
    std::vector<std::uint32_t> first_;   // outputs of slot i: targets_[first_[i] .. first_[i + 1])
    std::vector<std::uint32_t> targets_; // kNone for an empty entry
    std::vector<std::uint8_t> point_;    // the shape is a point (type 2)
    std::vector<std::uint32_t> mark_;
    std::uint32_t stamp_ = 0;
    std::uint64_t listVersion_ = 0;
    std::uint64_t epoch_ = 0;
    bool built_ = false;
    bool usable_ = false;

    struct Frame {
        std::uint32_t slot;
        std::uint32_t next;
    };
    std::vector<Frame> stack_;
};

} // namespace detail
