#include <sarvik/ZN_ShapeManager.h>

#include <vector>

#include <sarvik/ZN_NPoint.h>

#include "index/WalkMarks.h"

namespace {

bool isCollapsedPoint(const ZN_ShapeBase* shape) {
    if (shape->type() != 2)
        return false;
    const auto* point = dynamic_cast<const ZN_NPoint*>(shape);
    return point && point->getStateType() == 2;
}

} // namespace

// One walk from all collapsed points together visits every shape once. A
// collapsed point walked from first and met later below another one is
// hidden then: everything below it is hidden already.
void ZN_ShapeManager::collapseFoldedPoints() {
    detail::WalkMarks seen;
    std::vector<ZN_ShapeBase*> stack;
    for (ZN_ShapeBase* start : listArray()) {
        if (!isCollapsedPoint(start) || !seen.insert(start))
            continue;
        stack.assign(1, start);
        while (!stack.empty()) {
            ZN_ShapeBase* shape = stack.back();
            stack.pop_back();
            for (ZN_ShapeBase* out : shape->outputs()) {
                if (!out || out->isCrossLink())
                    continue;
                if (seen.insert(out)) {
                    out->setShow(false);
                    stack.push_back(out);
                } else if (out != start && isCollapsedPoint(out)) {
                    out->setShow(false);
                }
            }
        }
    }
    showCrossLinks();
}
