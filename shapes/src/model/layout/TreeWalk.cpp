#include "TreeWalk.h"

#include <algorithm>

#include <sarvik/ZN_NPoint.h>

namespace detail::layout {

ZN_NPoint* asFoldPoint(ZN_ShapeBase* s) {
    if (!s || s->type() != 2)
        return nullptr;
    auto* point = dynamic_cast<ZN_NPoint*>(s);
    return point && point->getStateType() != 0 ? point : nullptr;
}

bool isFoldPoint(const ZN_ShapeBase* s) { return asFoldPoint(const_cast<ZN_ShapeBase*>(s)); }

Rect boxOf(const ZN_ShapeBase* s) {
    if (s->type() == 2) {
        const auto* point = dynamic_cast<const ZN_NPoint*>(s);
        const ZVector2 c = s->getPoint1();
        const float half = 0.5f * std::max(kPointRoom, point ? 2.0f * point->getPointSize() : 0.0f);
        return {c.X() - half, c.Y() - half, c.X() + half, c.Y() + half};
    }
    const ZVector2 a = s->getPoint1();
    const ZVector2 b = s->getPoint2();
    return {std::min(a.X(), b.X()), std::min(a.Y(), b.Y()), std::max(a.X(), b.X()),
            std::max(a.Y(), b.Y())};
}

float ringOf(const ZN_NPoint* fold) { return std::max(0.0f, fold->getPointSize()); }

ZN_NLine* lineInto(const ZN_ShapeBase* node) {
    for (ZN_ShapeBase* in : node->inputs()) {
        if (in && in->type() == 1 && !in->isCrossLink() && !in->inputs().empty() &&
            in->inputs().front())
            return static_cast<ZN_NLine*>(in);
    }
    return nullptr;
}

ZN_ShapeBase* rawParent(const ZN_ShapeBase* node) {
    const ZN_NLine* line = lineInto(node);
    return line ? line->inputs().front() : nullptr;
}

} // namespace detail::layout
