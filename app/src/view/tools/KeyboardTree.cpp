#include "KeyboardTree.h"

#include <algorithm>
#include <unordered_set>

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>

namespace growth {

namespace {
constexpr int kLine = 1;
constexpr int kPoint = 2;
constexpr int kTable = 12;
} // namespace

Box boundsOf(const ZN_ShapeBase* shape) {
    const ZVector2 a = shape->getPoint1();
    const ZVector2 b = shape->getPoint2();
    return {std::min(a.X(), b.X()), std::min(a.Y(), b.Y()), std::max(a.X(), b.X()),
            std::max(a.Y(), b.Y())};
}

bool isPlainBox(const ZN_ShapeBase* shape) {
    return dynamic_cast<const ZN_NRect*>(shape) && shape->type() != kTable;
}

bool isTreeNode(const ZN_ShapeBase* shape) {
    return shape && (shape->isRegion() || shape->type() == kPoint);
}

ZN_NLine* lineFromParent(const ZN_ShapeBase* node) {
    for (ZN_ShapeBase* in : node->inputs()) {
        if (in && in->type() == kLine && !in->isCrossLink() && !in->inputs().empty() &&
            in->inputs().front())
            return static_cast<ZN_NLine*>(in);
    }
    return nullptr;
}

ZN_ShapeBase* parentOf(const ZN_ShapeBase* node) {
    const ZN_NLine* line = lineFromParent(node);
    return line ? line->inputs().front() : nullptr;
}

std::vector<ZN_ShapeBase*> childrenOf(const ZN_ShapeBase* node) {
    std::vector<ZN_ShapeBase*> children;
    for (const ZN_ShapeBase* out : node->outputs()) {
        if (!out || out->type() != kLine || out->isCrossLink() || out->outputs().empty())
            continue;
        ZN_ShapeBase* child = out->outputs().front();
        // A collapsed branch is not there to walk into or to line up with.
        if (child && child != node && child->getShow())
            children.push_back(child);
    }
    return children;
}

float freeTop(const ZN_ShapeManager& page, float left, float top, const Box& size, float gap,
              const ZN_ShapeBase* except) {
    const float right = left + size.width();
    std::vector<Box> column;
    for (const ZN_ShapeBase* shape : page.getShapeList()) {
        if (shape == except || !shape->getShow() || shape->type() == kLine ||
            (except && shape == except->getLabel()))
            continue;
        const Box b = boundsOf(shape);
        if (b.right + gap > left && b.left - gap < right && b.bottom + gap > top)
            column.push_back(b);
    }
    std::sort(column.begin(), column.end(),
              [](const Box& a, const Box& b) { return a.top < b.top; });
    // Going down the column by the tops, a shape either lies wholly above the
    // place found so far, or starts below it with room to spare, or pushes
    // the place below itself; the place only moves down.
    float y = top;
    for (const Box& b : column) {
        if (b.bottom + gap <= y)
            continue;
        if (b.top - gap >= y + size.height())
            break;
        y = b.bottom + gap;
    }
    return y;
}

ZN_ShapeBase* rootOf(ZN_ShapeBase* node) {
    std::unordered_set<const ZN_ShapeBase*> seen{node};
    while (ZN_ShapeBase* up = parentOf(node)) {
        if (!seen.insert(up).second)
            break; // connectors that run in a circle have no root; stop where it closes
        node = up;
    }
    return node;
}


} // namespace growth
