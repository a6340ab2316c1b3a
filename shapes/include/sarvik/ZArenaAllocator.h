#pragma once
// An allocator for the small buffers a shape owns, such as a label's text.
// While an undo snapshot is being taken they are placed in the
// snapshot's blocks next to the shapes; otherwise they come from the heap.
// Either way any instance frees what any other made, so containers using it
// move, swap and copy like those with the standard allocator.

#include <cstddef>
#include <limits>
#include <new>
#include <string>

namespace detail {

// Memory of `bytes` bytes, 16-aligned, from the snapshot block open on this
// thread or else from the heap; throws std::bad_alloc. Freed by arenaRelease.
void* arenaAllocate(std::size_t bytes);
void arenaRelease(void* memory) noexcept;

template <class T> class ArenaAllocator {
public:
    static_assert(alignof(T) <= 16, "placements are 16-aligned");
    using value_type = T;

    ArenaAllocator() noexcept = default;
    template <class U> ArenaAllocator(const ArenaAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > std::numeric_limits<std::size_t>::max() / sizeof(T))
            throw std::bad_array_new_length();
        return static_cast<T*>(arenaAllocate(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t) noexcept { arenaRelease(p); }

    template <class U> bool operator==(const ArenaAllocator<U>&) const noexcept { return true; }
};

} // namespace detail

// Text owned by a shape.
using ZN_ShapeString = std::basic_string<char, std::char_traits<char>, detail::ArenaAllocator<char>>;
