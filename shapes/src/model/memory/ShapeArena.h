#pragma once
// Invariants:
// - A block lives while an arena still places shapes in it or any placement
//   in it is alive; the last of the two to end frees it or gives it back to
//   its pool. No shape may be reached once its block is gone: shapes joined
//   to one another (relations, labels, cells, answers) must drop their links
//   before either of them is deleted, or be deleted in an order in which no
//   destructor reads a shape deleted before it.
// - A pool keeps only full-sized blocks, and never more than the largest
//   snapshot taken so far needed. Only its owner, the page's undo stack, may
//   trim it or retire it; blocks come back to it on their own.
// Blocks that the shapes of one snapshot are placed in, one after another.
//
// A snapshot of a large page makes hundreds of thousands of shapes and labels
// at once. Taken one by one from the general heap they cost an allocation
// each, land scattered through memory and, since the heap hands the pages of
// the last freed snapshot back to the system, a page fault every few shapes.
// While an arena is open on a thread, every shape made with `new` on that
// thread is placed in the arena's current block instead.
//
// The shapes stay ordinary shapes: they may become live by an undo, be
// deleted one by one, and outlive the arena. Each block counts the shapes in
// it that are still alive and is released when the last one goes and the
// arena has moved on from it. A page's undo stack keeps its released blocks
// for its next snapshot, which then reuses memory that is already mapped
// instead of faulting in fresh pages.
//
// Every placement carries a small header naming its block (or none, for a
// shape from the general heap), so delete can tell where a shape came from.
// Under AddressSanitizer the headers (which sit between shapes), the unused end of
// a block and freed shapes are poisoned, so that overflows and uses after
// free are still caught.
//
// One thread at a time uses the shapes of one block; the shapes have no
// locks of their own either.

#include <cstddef>
#include <vector>

namespace detail {

// The blocks a page's undo stack let go of, kept for its next snapshot. Blocks
// remember their pool and come back to it when their last shape goes, which
// may be after the owner retired the pool; the pool is freed once both the
// owner and every block are done with it.
class BlockPool {
public:
    static BlockPool* create() { return new BlockPool; }
    // The owner is done: pooled blocks are freed now, the pool itself once no
    // block refers to it any more.
    void retire();
    // Frees the pooled blocks.
    void trim();
    std::size_t pooled() const { return free_.size(); }
    std::size_t inUse() const { return inUse_; }
    // Bytes of the blocks handed out and not yet back, and of those pooled.
    std::size_t bytesHeld() const { return bytesHeld_; }
    // What a snapshot placed per shape on average, for sizing the next one's
    // blocks; 0 before the first.
    std::size_t bytesPerShape() const { return bytesPerShape_; }

private:
    friend class ShapeArena;
    BlockPool() = default;
    ~BlockPool() = default;
    void* newBlock(std::size_t capacity);
    void dropBlock(void* block, std::size_t capacity);
    void freeBlock(void* block);
    // A snapshot is complete: the pool keeps no more full-sized blocks than
    // it took, which is what the next one of the same page will need.
    void snapshotTaken(std::size_t fullBlocks, std::size_t bytesPerShape);

    std::vector<void*> free_; // full-sized blocks, their room poisoned
    std::size_t inUse_ = 0;   // blocks handed out and not yet back
    std::size_t limit_ = 0;   // most blocks kept: those the newest snapshot took
    std::size_t bytesHeld_ = 0;
    std::size_t bytesPerShape_ = 0;
    bool retired_ = false;
};

class ShapeArena {
public:
    // Blocks come from `pool` when it has some and go back to it; without a
    // pool they come from the heap and go back there. `expectedBytes` is what
    // the caller expects to place: blocks start small unless it fills a
    // full-sized block, so that a small page's snapshot takes little memory.
    explicit ShapeArena(BlockPool* pool = nullptr, std::size_t expectedBytes = 0);
    // Shapes made afterwards come from the heap again (or from the arena that
    // was open before this one).
    ~ShapeArena();
    ShapeArena(const ShapeArena&) = delete;
    ShapeArena& operator=(const ShapeArena&) = delete;

    // Memory for a shape of `size` bytes: from the arena open on this thread,
    // else from the heap. Throws std::bad_alloc like operator new.
    static void* allocate(std::size_t size);
    // Gives back what allocate() returned; null is ignored.
    static void release(void* object) noexcept;

    // How many shapes this arena's snapshot holds, which the pool learns as
    // the arena closes, so that it can size the next one.
    void setShapeCount(std::size_t shapes) { shapeCount = shapes; }

    // Room in a full-sized block, which with its record fills one 2 MiB huge
    // page; small pages use smaller blocks, starting at 16 KiB.
    static constexpr std::size_t kBlockBytes = (std::size_t{2} << 20) - 64;

    struct Block;

private:
    void* take(std::size_t size);
    void moveOn(std::size_t need);
    static void dropBlock(Block* block);

    BlockPool* pool;
    ShapeArena* previous;
    Block* current = nullptr;
    std::size_t nextBytes;
    std::size_t fullBlocksTaken = 0;
    std::size_t bytesPlaced = 0;
    std::size_t shapeCount = 0;
    bool expectLarge;
};

} // namespace detail
