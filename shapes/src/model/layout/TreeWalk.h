#pragma once
// How the layouts read a tree off the shapes: a node's children are the ends
// of the connectors that start at it, in the order it holds them; a fold
// point that hangs from a node is drawn beside it, and the children it leads
// to count as that node's.

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_ShapeBase.h>

#include "LayoutModel.h"

class ZN_NPoint;

namespace detail::layout {

// Boxes, tables and points; not connectors, texts or bare nodes.
inline bool isTreeNode(const ZN_ShapeBase* s) { return s && (s->isRegion() || s->type() == 2); }
bool isFoldPoint(const ZN_ShapeBase* s);
ZN_NPoint* asFoldPoint(ZN_ShapeBase* s);
// The box kinds whose move is their corners and label alone.
inline bool isPlainBox(const ZN_ShapeBase* s) {
    const int t = s->type();
    return (t >= 7 && t <= 10) || t == 13;
}

// The room a node takes: its box, or a point's ring (at least kPointRoom).
inline constexpr float kPointRoom = 16.0f;
Rect boxOf(const ZN_ShapeBase* s);
// The radius a fold point is drawn with.
float ringOf(const ZN_NPoint* fold);

// Calls f(child, line) for each connector that starts at `from` and leads to
// a tree node, in the order `from` holds them.
template <class F> void forEachEdge(ZN_ShapeBase* from, F&& f) {
    for (ZN_ShapeBase* out : from->outputs()) {
        if (!out || out->type() != 1 || out->isCrossLink())
            continue;
        auto* line = static_cast<ZN_NLine*>(out);
        if (line->inputs().empty() || line->inputs().front() != from || line->outputs().empty())
            continue;
        ZN_ShapeBase* child = line->outputs().front();
        if (isTreeNode(child) && child != from)
            f(child, line);
    }
}

// The first connector that leads into `node` from a shape, or null.
ZN_NLine* lineInto(const ZN_ShapeBase* node);
// The shape that connector starts at.
ZN_ShapeBase* rawParent(const ZN_ShapeBase* node);

} // namespace detail::layout
