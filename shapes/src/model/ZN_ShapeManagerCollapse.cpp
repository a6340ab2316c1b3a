#include <sarvik/ZN_ShapeManager.h>

#include <cstdio>
#include <cstdlib>

#include <sarvik/ZN_NPoint.h>

#include "index/RelationTable.h"
#include "index/ShapeGrid.h"
#include "index/WalkMarks.h"
#include "memory/Prefetch.h"

namespace {

// Depth of the shape being expanded by each limited collector: 1 for the
// start shape, 2 for its outgoing lines, 3 for the shapes at their ends.
int g_oneDepth = 0;
int g_oneDepth2 = 0;

// Keeps a depth counter balanced however the collector leaves.
class DepthGuard {
public:
    explicit DepthGuard(int& counter) : counter_(counter) { ++counter_; }
    ~DepthGuard() { --counter_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& counter_;
};

bool isFoldPoint(const ZN_ShapeBase* shape) {
    if (shape->type() != 2)
        return false;
    const auto* point = dynamic_cast<const ZN_NPoint*>(shape);
    return point && point->getStateType() != 0;
}

// Under the index self-check, a walk of the packed relations is repeated over
// the shapes themselves and the program stops if the two disagree.
void checkWalk(const std::vector<ZN_ShapeBase*>& packed, const std::vector<ZN_ShapeBase*>& walked,
               const char* what) {
    if (packed != walked) {
        std::fprintf(stderr, "Sarvik: the relation table and the shapes disagree on %s\n", what);
        std::abort();
    }
}

} // namespace

namespace detail {
int oneOutPutDepth() { return g_oneDepth; }
int oneOutPutDepth2() { return g_oneDepth2; }
} // namespace detail

// The collectors walk with an explicit stack rather than by recursion, so a
// long chain of nodes cannot exhaust the call stack. The visiting order is the
// same pre-order, depth-first walk: a shape's outputs are visited in list order
// and each subtree is finished before the next output is looked at.

void ZN_ShapeManager::collectAll(ZN_ShapeBase* start, std::vector<ZN_ShapeBase*>& result,
                                 Visited& seen) {
    if (!start || !seen.insert(start))
        return;
    result.push_back(start);
    struct Frame {
        ZN_ShapeBase* shape;
        std::size_t next;
    };
    std::vector<Frame> stack{{start, 0}};
    while (!stack.empty()) {
        Frame& top = stack.back();
        const auto& outs = top.shape->outputs();
        if (top.next >= outs.size()) {
            stack.pop_back();
            continue;
        }
        ZN_ShapeBase* entry = outs[top.next++];
        if (!entry || entry->isCrossLink() || !seen.insert(entry))
            continue;
        result.push_back(entry);
        stack.push_back({entry, 0});
    }
}

void ZN_ShapeManager::collectOne(ZN_ShapeBase* shape, std::vector<ZN_ShapeBase*>& result,
                                 Visited& seen) {
    // At most three levels deep, so recursion is bounded.
    if (!shape || !seen.insert(shape))
        return;
    DepthGuard depth(g_oneDepth);
    result.push_back(shape);
    for (ZN_ShapeBase* entry : shape->outputs())
        if (g_oneDepth < 3 && !(entry && entry->isCrossLink()))
            collectOne(entry, result, seen);
}

void ZN_ShapeManager::collectOne2(ZN_ShapeBase* start, std::vector<ZN_ShapeBase*>& result,
                                  Visited& seen) {
    if (!start || !seen.insert(start))
        return;
    struct Frame {
        ZN_ShapeBase* shape;
        std::size_t next;
    };
    // The stack's size is the depth counter of the recursive definition.
    DepthGuard depth(g_oneDepth2);
    result.push_back(start);
    std::vector<Frame> stack{{start, 0}};
    while (!stack.empty()) {
        Frame& top = stack.back();
        const auto& outs = top.shape->outputs();
        if (top.next >= outs.size()) {
            stack.pop_back();
            if (!stack.empty())
                --g_oneDepth2;
            continue;
        }
        ZN_ShapeBase* entry = outs[top.next++];
        if (!entry || entry->isCrossLink())
            continue;
        // From the shapes at the ends of the start shape's lines on, a fold
        // point met as an output is shown but its own subtree is left as it is.
        if (g_oneDepth2 >= 3 && isFoldPoint(entry)) {
            if (seen.insert(entry))
                result.push_back(entry);
            continue;
        }
        if (!seen.insert(entry))
            continue;
        ++g_oneDepth2;
        result.push_back(entry);
        stack.push_back({entry, 0});
    }
}

namespace {

// A collector run for the list-based interface: shapes already in `result`
// count as met, and what the walk adds is appended.
template <class Collect> void appendCollected(std::list<ZN_ShapeBase*>& result, Collect collect) {
    detail::WalkMarks seen;
    for (ZN_ShapeBase* s : result)
        if (s)
            seen.insert(s);
    std::vector<ZN_ShapeBase*> added;
    collect(added, seen);
    result.insert(result.end(), added.begin(), added.end());
}

} // namespace

void ZN_ShapeManager::getAllOutPutList(ZN_ShapeBase* shape, std::list<ZN_ShapeBase*>& result) {
    appendCollected(result, [&](auto& added, auto& seen) { collectAll(shape, added, seen); });
}

void ZN_ShapeManager::getOneOutPutList(ZN_ShapeBase* shape, std::list<ZN_ShapeBase*>& result) {
    appendCollected(result, [&](auto& added, auto& seen) { collectOne(shape, added, seen); });
}

void ZN_ShapeManager::getOneOutPutList2(ZN_ShapeBase* shape, std::list<ZN_ShapeBase*>& result) {
    appendCollected(result, [&](auto& added, auto& seen) { collectOne2(shape, added, seen); });
}

std::vector<ZN_ShapeBase*> ZN_ShapeManager::collectBelowSelected() {
    const std::vector<ZN_ShapeBase*>& shapes = listArray();
    std::vector<ZN_ShapeBase*> result;
    if (detail::RelationTable* table = relationTable()) {
        table->beginWalk();
        detail::forEachAhead(shapes, [&](ZN_ShapeBase* shape) {
            if (shape->getSelected())
                table->collectAll(table->slotOf(shape), result);
        });
        if (!detail::indexSelfCheck())
            return result;
    }
    std::vector<ZN_ShapeBase*> walked;
    Visited seen;
    for (ZN_ShapeBase* shape : shapeList)
        if (shape->getSelected())
            collectAll(shape, walked, seen);
    if (detail::indexSelfCheck() && relationTable())
        checkWalk(result, walked, "the shapes below the selection");
    return walked;
}

std::vector<ZN_ShapeBase*> ZN_ShapeManager::collectFrom(ZN_ShapeBase* start, bool limited) {
    std::vector<ZN_ShapeBase*> result;
    detail::RelationTable* table = relationTable();
    const std::uint32_t slot = table ? table->slotOf(start) : detail::RelationTable::kNone;
    if (slot != detail::RelationTable::kNone) {
        table->beginWalk();
        if (limited)
            table->collectOne2(slot, result);
        else
            table->collectAll(slot, result);
        if (!detail::indexSelfCheck())
            return result;
    }
    std::vector<ZN_ShapeBase*> walked;
    Visited seen;
    if (limited)
        collectOne2(start, walked, seen);
    else
        collectAll(start, walked, seen);
    if (slot != detail::RelationTable::kNone)
        checkWalk(result, walked, "a subtree");
    return walked;
}

bool ZN_ShapeManager::shapeShrink(ZN_ShapeBase* shape) {
    if (!shape)
        return true;
    detail::forEachAhead(collectFrom(shape, false), [](ZN_ShapeBase* s) {
        s->setShow(false);
        if (s->type() == 2)
            if (auto* point = dynamic_cast<ZN_NPoint*>(s); point && point->getStateType() == 1)
                point->setStateType(2);
    });
    shape->setShow(true);
    showCrossLinks();
    return true;
}

bool ZN_ShapeManager::shapeSpread(ZN_ShapeBase* shape) {
    if (!shape)
        return true;
    detail::forEachAhead(collectFrom(shape, true), [](ZN_ShapeBase* s) { s->setShow(true); });
    showCrossLinks();
    return true;
}

bool ZN_ShapeManager::selectShrink() {
    detail::forEachAhead(collectBelowSelected(), [](ZN_ShapeBase* s) { s->setShow(false); });
    detail::forEachAhead(listArray(), [](ZN_ShapeBase* shape) {
        if (!shape->getSelected())
            return;
        // A collapsed connector stays hidden and so must not stay selected.
        if (shape->type() == 1)
            shape->setSelected(false);
        else
            shape->setShow(true);
    });
    showCrossLinks();
    return true;
}

bool ZN_ShapeManager::selectSpreadAll() {
    detail::forEachAhead(collectBelowSelected(), [](ZN_ShapeBase* s) { s->setShow(true); });
    showCrossLinks();
    return true;
}

bool ZN_ShapeManager::selectSpreadOneLayer() {
    std::vector<ZN_ShapeBase*> below;
    Visited seen;
    for (ZN_ShapeBase* shape : shapeList)
        if (shape->getSelected())
            collectOne(shape, below, seen);
    for (ZN_ShapeBase* s : below)
        s->setShow(true);
    showCrossLinks();
    return true;
}
