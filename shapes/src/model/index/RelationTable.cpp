#include "RelationTable.h"

#include <algorithm>

#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_ShapeBase.h>

namespace detail {

namespace {

std::uint64_t& epochCounter() {
    static std::uint64_t epoch = 1;
    return epoch;
}

bool isFoldPoint(const ZN_ShapeBase* shape) {
    const auto* point = dynamic_cast<const ZN_NPoint*>(shape);
    return point && point->getStateType() != 0;
}

} // namespace

void noteRelationChange() {
    ++epochCounter();
}

std::uint64_t relationEpoch() {
    return epochCounter();
}

void RelationTable::build(const std::vector<ZN_ShapeBase*>& shapes, std::uint64_t listVersion) {
    const std::size_t n = shapes.size();
    shapes_ = shapes;
    point_.assign(n, 0);
    mark_.assign(n, 0);
    stamp_ = 0;
    first_.assign(n + 1, 0);
    targets_.clear();
    listVersion_ = listVersion;
    epoch_ = relationEpoch();
    built_ = true;
    usable_ = n < kNone;
    if (!usable_)
        return;

    // Slots first, so that the targets below can be looked up in the shapes.
    for (std::size_t i = 0; i < n; ++i) {
        if (i + 12 < n)
            __builtin_prefetch(shapes_[i + 12], 1);
        ZN_ShapeBase* s = shapes_[i];
        s->gridSlot = static_cast<int>(i);
        point_[i] = s->type() == 2;
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (i + 8 < n)
            __builtin_prefetch(shapes_[i + 8]->outputs().data());
        first_[i] = static_cast<std::uint32_t>(targets_.size());
        for (const ZN_ShapeBase* out : shapes_[i]->outputs()) {
            // A cross link is no way down a tree.
            if (!out || out->isCrossLink()) {
                targets_.push_back(kNone);
                continue;
            }
            const std::uint32_t slot = slotOf(out);
            if (slot == kNone) {
                usable_ = false;
                return;
            }
            targets_.push_back(slot);
        }
    }
    first_[n] = static_cast<std::uint32_t>(targets_.size());
}

bool RelationTable::current(std::uint64_t listVersion) const {
    return built_ && listVersion_ == listVersion && epoch_ == relationEpoch();
}

std::uint32_t RelationTable::slotOf(const ZN_ShapeBase* shape) const {
    const int slot = shape ? shape->gridSlot : -1;
    if (slot < 0 || static_cast<std::size_t>(slot) >= shapes_.size() || shapes_[slot] != shape)
        return kNone;
    return static_cast<std::uint32_t>(slot);
}

void RelationTable::beginWalk() {
    if (++stamp_ == 0) {
        std::fill(mark_.begin(), mark_.end(), 0);
        stamp_ = 1;
    }
}

template <class Follow>
void RelationTable::walk(std::uint32_t start, std::vector<ZN_ShapeBase*>& out, Follow follow) {
    if (!meet(start))
        return;
    out.push_back(shapes_[start]);
    stack_.assign(1, Frame{start, first_[start]});
    while (!stack_.empty()) {
        Frame& top = stack_.back();
        if (top.next >= first_[top.slot + 1]) {
            stack_.pop_back();
            continue;
        }
        const std::uint32_t entry = targets_[top.next++];
        if (entry == kNone)
            continue;
        if (!follow(entry, stack_.size())) {
            if (meet(entry))
                out.push_back(shapes_[entry]);
            continue;
        }
        if (!meet(entry))
            continue;
        out.push_back(shapes_[entry]);
        stack_.push_back(Frame{entry, first_[entry]});
    }
}

void RelationTable::collectAll(std::uint32_t start, std::vector<ZN_ShapeBase*>& out) {
    walk(start, out, [](std::uint32_t, std::size_t) { return true; });
}

void RelationTable::collectOne2(std::uint32_t start, std::vector<ZN_ShapeBase*>& out) {
    // The stack's height is the level of the shape whose outputs are looked at.
    walk(start, out, [this](std::uint32_t entry, std::size_t level) {
        return !(level >= 3 && point_[entry] && isFoldPoint(shapes_[entry]));
    });
}

} // namespace detail
