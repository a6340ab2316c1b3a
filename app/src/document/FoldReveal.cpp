#include "document/FoldReveal.h"

#include <algorithm>
#include <deque>
#include <unordered_map>
#include <vector>

#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_ShapeManager.h>

namespace {

// The ancestors of `shape` up to the nearest shown one (or, when none is
// shown, up to a shape without inputs), top first, `shape` last. Walks
// breadth first over the input links, so the shortest way wins and cycles end.
std::vector<ZN_ShapeBase*> wayDown(ZN_ShapeBase* shape) {
    std::unordered_map<ZN_ShapeBase*, ZN_ShapeBase*> below{{shape, nullptr}};
    std::deque<ZN_ShapeBase*> queue{shape};
    ZN_ShapeBase* top = shape;
    ZN_ShapeBase* lastRoot = nullptr;
    while (!queue.empty()) {
        ZN_ShapeBase* at = queue.front();
        queue.pop_front();
        if (at != shape && at->getShow()) {
            top = at;
            lastRoot = nullptr;
            break;
        }
        auto inputs = at->getInputList();
        // A cross link is no way up the tree.
        inputs.erase(std::remove_if(inputs.begin(), inputs.end(),
                                    [](const ZN_ShapeBase* s) { return s && s->isCrossLink(); }),
                     inputs.end());
        if (inputs.empty() && !lastRoot)
            lastRoot = at;
        for (ZN_ShapeBase* up : inputs) {
            if (up && below.emplace(up, at).second)
                queue.push_back(up);
        }
    }
    if (lastRoot)
        top = lastRoot;
    std::vector<ZN_ShapeBase*> way;
    for (ZN_ShapeBase* s = top; s; s = below[s])
        way.push_back(s);
    return way;
}

bool isCollapsedFoldPoint(ZN_ShapeBase* shape) {
    auto* point = shape->type() == 2 ? dynamic_cast<ZN_NPoint*>(shape) : nullptr;
    return point && point->getStateType() == 2;
}

// Shows the outgoing connectors of `shape` and the shapes at their ends.
void showNextGeneration(ZN_ShapeBase* shape) {
    for (ZN_ShapeBase* out : shape->getOutputList()) {
        if (out->isCrossLink())
            continue;
        out->setShow(true);
        if (out->type() != 1)
            continue;
        for (ZN_ShapeBase* child : out->getOutputList())
            child->setShow(true);
    }
}

} // namespace

bool needsReveal(const ZN_ShapeBase* shape) {
    return shape && !shape->getShow();
}

void revealShape(ZN_ShapeManager& page, ZN_ShapeBase* shape) {
    if (!needsReveal(shape))
        return;
    const std::vector<ZN_ShapeBase*> way = wayDown(shape);
    for (std::size_t i = 0; i + 1 < way.size(); ++i) {
        ZN_ShapeBase* ancestor = way[i];
        ancestor->setShow(true);
        if (isCollapsedFoldPoint(ancestor)) {
            page.shapeSpread(ancestor);
            static_cast<ZN_NPoint*>(ancestor)->setStateType(1);
        }
        showNextGeneration(ancestor);
    }
    shape->setShow(true);
    page.showCrossLinks();
}
