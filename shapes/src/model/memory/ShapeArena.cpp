#include "ShapeArena.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

#include <sanitizer/asan_interface.h>
#include <sys/mman.h>

#include <sarvik/ZArenaAllocator.h>
#include <sarvik/ZN_ShapeBase.h>

namespace detail {

struct alignas(16) ShapeArena::Block {
    std::size_t capacity; // bytes of room after this record
    std::size_t used;
    std::size_t live;     // placements not yet released
    BlockPool* pool;      // where the block goes back to; null for the heap
    bool open;            // an arena still places shapes here

    unsigned char* room() { return reinterpret_cast<unsigned char*>(this + 1); }
};

namespace {

// What precedes every shape: the block it sits in, or null for the heap.
// Under AddressSanitizer it stays poisoned except while delete reads it, so
// that it also serves as the guard against writing past the shape before.
struct alignas(16) Header {
    ShapeArena::Block* block;
    std::size_t size;
};
static_assert(sizeof(Header) == 16);
static_assert(sizeof(ShapeArena::Block) % 16 == 0, "the room must start 16-aligned");

constexpr std::size_t kFirstBlockBytes = std::size_t{16} << 10;

std::size_t roundUp16(std::size_t n) { return (n + 15) & ~std::size_t{15}; }

// Read for every shape and text made; the library is never loaded late, so
// the cheaper way of reaching a thread's variable serves.
thread_local ShapeArena* t_open __attribute__((tls_model("initial-exec"))) = nullptr;

constexpr std::size_t kHugePage = std::size_t{2} << 20;
static_assert(sizeof(ShapeArena::Block) + ShapeArena::kBlockBytes <= kHugePage);

// The memory a block of `capacity` bytes of room takes.
std::size_t blockFootprint(std::size_t capacity) {
    return capacity == ShapeArena::kBlockBytes ? kHugePage : sizeof(ShapeArena::Block) + capacity;
}

// A full-sized block is one huge page of its own: faulting in a large
// snapshot then costs one fault per 2 MiB instead of one per 4 KiB.
void* mapHugeBlock() {
    void* start = mmap(nullptr, 2 * kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (start == MAP_FAILED)
        throw std::bad_alloc();
    auto at = reinterpret_cast<std::uintptr_t>(start);
    const std::uintptr_t aligned = (at + kHugePage - 1) & ~(kHugePage - 1);
    if (aligned > at)
        munmap(start, aligned - at);
    const std::uintptr_t end = at + 2 * kHugePage;
    if (end > aligned + kHugePage)
        munmap(reinterpret_cast<void*>(aligned + kHugePage), end - aligned - kHugePage);
    void* block = reinterpret_cast<void*>(aligned);
    madvise(block, kHugePage, MADV_HUGEPAGE);
    return block;
}

ShapeArena::Block* mallocBlock(std::size_t capacity) {
    void* memory = capacity == ShapeArena::kBlockBytes ? mapHugeBlock()
                                                        : std::malloc(sizeof(ShapeArena::Block) + capacity);
    if (!memory)
        throw std::bad_alloc();
    auto* block = static_cast<ShapeArena::Block*>(memory);
    block->capacity = capacity;
    ASAN_POISON_MEMORY_REGION(block->room(), capacity);
    return block;
}

void freeBlock(ShapeArena::Block* block) {
    ASAN_UNPOISON_MEMORY_REGION(block->room(), block->capacity);
    if (block->capacity == ShapeArena::kBlockBytes)
        munmap(block, kHugePage);
    else
        std::free(block);
}

} // namespace

// ---------------------------------------------------------------- BlockPool

void* BlockPool::newBlock(std::size_t capacity) {
    ShapeArena::Block* block = nullptr;
    if (capacity == ShapeArena::kBlockBytes && !free_.empty()) {
        block = static_cast<ShapeArena::Block*>(free_.back());
        free_.pop_back();
    } else {
        block = mallocBlock(capacity);
        bytesHeld_ += blockFootprint(capacity);
    }
    ++inUse_;
    return block;
}

void BlockPool::freeBlock(void* memory) {
    auto* block = static_cast<ShapeArena::Block*>(memory);
    bytesHeld_ -= blockFootprint(block->capacity);
    detail::freeBlock(block);
}

void BlockPool::dropBlock(void* memory, std::size_t capacity) {
    auto* block = static_cast<ShapeArena::Block*>(memory);
    --inUse_;
    if (!retired_ && capacity == ShapeArena::kBlockBytes && free_.size() < limit_) {
        free_.push_back(block); // every shape in it is gone, so its room is poisoned
        return;
    }
    freeBlock(block);
    if (retired_ && inUse_ == 0)
        delete this;
}

void BlockPool::snapshotTaken(std::size_t fullBlocks, std::size_t perShape) {
    limit_ = fullBlocks;
    if (perShape > 0)
        bytesPerShape_ = perShape;
    while (free_.size() > limit_) {
        freeBlock(free_.back());
        free_.pop_back();
    }
}

void BlockPool::trim() {
    for (void* block : free_)
        freeBlock(block);
    free_.clear();
    free_.shrink_to_fit();
}

void BlockPool::retire() {
    trim();
    retired_ = true;
    if (inUse_ == 0)
        delete this;
}

// ---------------------------------------------------------------- ShapeArena

ShapeArena::ShapeArena(BlockPool* blocks, std::size_t expectedBytes)
    : pool(blocks), previous(t_open), nextBytes(kFirstBlockBytes),
      expectLarge(expectedBytes >= kBlockBytes) {
    t_open = this;
}

ShapeArena::~ShapeArena() {
    t_open = previous;
    if (pool)
        pool->snapshotTaken(fullBlocksTaken, shapeCount > 0 ? bytesPlaced / shapeCount : 0);
    if (current) {
        current->open = false;
        if (current->live == 0)
            dropBlock(current);
    }
}

void ShapeArena::dropBlock(Block* block) {
    if (block->pool)
        block->pool->dropBlock(block, block->capacity);
    else
        detail::freeBlock(block);
}

void ShapeArena::moveOn(std::size_t need) {
    if (current) {
        current->open = false;
        if (current->live == 0)
            dropBlock(current);
        current = nullptr;
    }
    // A snapshot expected to fill full-sized blocks takes them at once (those
    // in the pool cost nothing to fill); a small one grows from small blocks.
    std::size_t capacity = expectLarge ? kBlockBytes : nextBytes;
    // Small pages keep small blocks, large ones reach full-sized blocks soon.
    nextBytes = std::min(nextBytes * 2, kBlockBytes);
    if (need > capacity)
        capacity = roundUp16(need); // a shape larger than a block gets a block of its own
    Block* block = pool ? static_cast<Block*>(pool->newBlock(capacity)) : mallocBlock(capacity);
    block->used = 0;
    block->live = 0;
    block->pool = pool;
    block->open = true;
    current = block;
    if (capacity == kBlockBytes)
        ++fullBlocksTaken;
}

void* ShapeArena::take(std::size_t size) {
    const std::size_t need = roundUp16(sizeof(Header) + size);
    if (!current || current->capacity - current->used < need)
        moveOn(need);
    unsigned char* at = current->room() + current->used;
    current->used += need;
    ++current->live;
    bytesPlaced += need;
    auto* header = reinterpret_cast<Header*>(at);
    ASAN_UNPOISON_MEMORY_REGION(header, sizeof(Header) + size);
    header->block = current;
    header->size = size;
    ASAN_POISON_MEMORY_REGION(header, sizeof(Header));
    return header + 1;
}

void* ShapeArena::allocate(std::size_t size) {
    if (ShapeArena* arena = t_open)
        return arena->take(size);
    auto* header = static_cast<Header*>(::operator new(sizeof(Header) + size));
    header->block = nullptr;
    header->size = size;
    return header + 1;
}

void ShapeArena::release(void* object) noexcept {
    if (!object)
        return;
    Header* header = static_cast<Header*>(object) - 1;
    ASAN_UNPOISON_MEMORY_REGION(header, sizeof(Header));
    Block* block = header->block;
    if (!block) {
        ::operator delete(header);
        return;
    }
    ASAN_POISON_MEMORY_REGION(header, sizeof(Header) + header->size);
    if (--block->live == 0 && !block->open)
        dropBlock(block);
}

} // namespace detail

void* detail::arenaAllocate(std::size_t bytes) { return detail::ShapeArena::allocate(bytes); }

void detail::arenaRelease(void* memory) noexcept { detail::ShapeArena::release(memory); }

void* ZN_ShapeBase::operator new(std::size_t size) { return detail::ShapeArena::allocate(size); }

void ZN_ShapeBase::operator delete(void* object) noexcept { detail::ShapeArena::release(object); }
