#pragma once
// Marks the shapes one walk of the relation graph has met. Each walk takes a
// new number and a shape remembers the last number that met it, so nothing
// has to be cleared afterwards and no set of pointers grows with the page.
// Two walks over the same shapes must not be interleaved.
//
// Invariant: the stamps only grow, process-wide, so a mark left by a walk
// that has ended can never be mistaken for one of a later walk; a shape
// copied or read starts with mark 0, which no walk uses.

#include <cstdint>

#include <sarvik/ZN_ShapeBase.h>

namespace detail {

class WalkMarks {
public:
    WalkMarks() : stamp(++lastStamp()) {}
    WalkMarks(const WalkMarks&) = delete;
    WalkMarks& operator=(const WalkMarks&) = delete;

    // True when `shape` had not been met by this walk; it is met from now on.
    bool insert(ZN_ShapeBase* shape) {
        if (shape->walkMark == stamp)
            return false;
        shape->walkMark = stamp;
        return true;
    }

    bool contains(const ZN_ShapeBase* shape) const { return shape->walkMark == stamp; }

private:
    static std::uint64_t& lastStamp() {
        static std::uint64_t value = 0;
        return value;
    }
    std::uint64_t stamp;
};

} // namespace detail
