#pragma once
// Loops over many shapes scattered through memory spend most of their time
// waiting for it on a large map. These fetch the shapes a few places ahead
// into the cache while the current one is worked on.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeBase.h>

namespace detail {

// The offsets below are read from the shapes' layouts: a new field that
// moves the relation lists or grows a record beyond what is fetched must
// move these numbers with it.
struct PrefetchLayout {
    static constexpr std::size_t kLine = 64;
    // fetchRecord() fetches this much of a record.
    static constexpr std::size_t kRecordBytes = 4 * kLine;
    // fetchThroughRelations() fetches this much.
    static constexpr std::size_t kThroughRelations = 120;
    // forEachWhole() fetches this much of a label.
    static constexpr std::size_t kLabelBytes = 7 * kLine;

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
    static constexpr std::size_t kRelationsEnd =
        std::max(offsetof(ZN_ShapeBase, inputList), offsetof(ZN_ShapeBase, outputList)) +
        sizeof(ZN_Relations);
    static constexpr std::size_t kFlagsEnd = offsetof(ZN_ShapeBase, walkMark) + sizeof(std::uint64_t);
#pragma GCC diagnostic pop
};
static_assert(PrefetchLayout::kRelationsEnd <= PrefetchLayout::kThroughRelations,
              "fetchThroughRelations() no longer reaches the end of the relation lists");
static_assert(PrefetchLayout::kFlagsEnd <= PrefetchLayout::kLine,
              "the flags, slot and walk mark no longer fit the record's first cache line");
static_assert(sizeof(ZN_NLine) <= PrefetchLayout::kRecordBytes,
              "fetchRecord() no longer covers a connector's record");
static_assert(sizeof(ZN_SText) <= PrefetchLayout::kLabelBytes,
              "forEachWhole() no longer covers a label's record");
#if defined(__GLIBCXX__)
// A picture made by make_shared has its use count in the 16 bytes before it.
static_assert(sizeof(std::_Sp_counted_base<std::__default_lock_policy>) == 16,
              "forEachWhole() fetches a shared picture's use count 16 bytes before it");
#endif

// For loops that read or set a flag of each shape.
template <class Shape, class Fn> void forEachAhead(const std::vector<Shape*>& shapes, Fn fn) {
    constexpr std::size_t kAhead = 12;
    const std::size_t n = shapes.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i + kAhead < n)
            __builtin_prefetch(shapes[i + kAhead], 1);
        fn(shapes[i]);
    }
}

// The whole of a shape's own record.
inline void fetchRecord(const void* record) {
    const char* at = static_cast<const char*>(record);
    for (std::size_t line = 0; line < PrefetchLayout::kRecordBytes / PrefetchLayout::kLine; ++line)
        __builtin_prefetch(at + PrefetchLayout::kLine * line, 1);
}

// A shape's record up to the end of its relation lists, 120 bytes in, which
// may start anywhere in a cache line.
inline void fetchThroughRelations(const void* record) {
    const char* at = static_cast<const char*>(record);
    __builtin_prefetch(at, 1);
    __builtin_prefetch(at + 64, 1);
    __builtin_prefetch(at + PrefetchLayout::kThroughRelations - 1, 1);
}

// For loops that move, reshape or copy each shape: its record comes first,
// then, once that has arrived, its label and a connector's points.
template <class Fn> void forEachWhole(const std::vector<ZN_ShapeBase*>& shapes, Fn fn) {
    constexpr std::size_t kRecord = 16;
    constexpr std::size_t kParts = 8;
    constexpr std::size_t kLabelParts = 4;
    const std::size_t n = shapes.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i + kRecord < n)
            fetchRecord(shapes[i + kRecord]);
        if (i + kParts < n) {
            const ZN_ShapeBase* s = shapes[i + kParts];
            if (const ZN_SText* label = s->getLabel()) {
                fetchRecord(label);
                for (std::size_t line = PrefetchLayout::kRecordBytes / PrefetchLayout::kLine;
                     line < PrefetchLayout::kLabelBytes / PrefetchLayout::kLine; ++line)
                    __builtin_prefetch(reinterpret_cast<const char*>(label) + PrefetchLayout::kLine * line, 1);
            }
            if (s->type() == 1)
                __builtin_prefetch(static_cast<const ZN_NLine*>(s)->getPoints().data(), 1);
        }
        // The label's text and the shared picture's use count, which a copy
        // reads and bumps, lie elsewhere on the heap.
        if (i + kLabelParts < n)
            if (const ZN_SText* label = shapes[i + kLabelParts]->getLabel()) {
                __builtin_prefetch(label->getText());
                if (const auto& bitmap = label->madePicture())
                    __builtin_prefetch(reinterpret_cast<const char*>(bitmap.get()) - 16, 1);
            }
        fn(shapes[i]);
    }
}

// For loops that follow each shape's relations to the shapes at their other
// ends: the record, then the relation lists, then the related shapes.
// `ahead(i)` is called as shape i's record is fetched, for what else the
// loop will read of it.
template <class Fn, class Ahead>
void forEachRelated(const std::vector<ZN_ShapeBase*>& shapes, Fn fn, Ahead ahead) {
    constexpr std::size_t kRecord = 16;
    constexpr std::size_t kLists = 8;
    constexpr std::size_t kRelated = 4;
    const std::size_t n = shapes.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i + kRecord < n) {
            fetchThroughRelations(shapes[i + kRecord]);
            ahead(i + kRecord);
        }
        if (i + kLists < n) {
            const ZN_ShapeBase* s = shapes[i + kLists];
            __builtin_prefetch(s->inputs().data());
            __builtin_prefetch(s->outputs().data());
        }
        if (i + kRelated < n) {
            const ZN_ShapeBase* s = shapes[i + kRelated];
            for (const ZN_ShapeBase* in : s->inputs())
                __builtin_prefetch(in);
            for (const ZN_ShapeBase* out : s->outputs())
                __builtin_prefetch(out);
        }
        fn(shapes[i]);
    }
}

template <class Fn> void forEachRelated(const std::vector<ZN_ShapeBase*>& shapes, Fn fn) {
    forEachRelated(shapes, fn, [](std::size_t) {});
}

} // namespace detail
