// Arranging children into bands and finding where each node goes.

#include <algorithm>
#include <cmath>

#include "Engine.h"

namespace detail::layout {

namespace {

// Stacks the bands of v's children of `side` (0: all) one after the other,
// `gap` apart, centred on v; returns the stack's length.
float stack(Tree& tree, int v, int side, float gap) {
    const ModelNode& node = tree.at(v);
    const int* kids = tree.childrenOf(v);
    float at = 0.0f;
    bool any = false;
    for (std::uint32_t i = 0; i < node.childCount; ++i) {
        ModelNode& c = tree.at(kids[i]);
        if (side != 0 && c.side != side)
            continue;
        if (any)
            at += gap;
        c.offset = at + 0.5f * c.band;
        at += c.band;
        any = true;
    }
    const float half = 0.5f * at;
    for (std::uint32_t i = 0; i < node.childCount; ++i) {
        ModelNode& c = tree.at(kids[i]);
        if (side == 0 || c.side == side)
            c.offset -= half;
    }
    return at;
}

} // namespace

void arrange(Tree& tree, int v, const Settings& settings) {
    ModelNode& node = tree.at(v);
    if (!isCentred(settings.layout)) {
        // A tree chart: the node's row, then a row for each child's branch.
        const int* kids = tree.childrenOf(v);
        float at = node.breadth;
        for (std::uint32_t i = 0; i < node.childCount; ++i) {
            ModelNode& c = tree.at(kids[i]);
            at += settings.breadthGap;
            c.offset = at;
            at += c.band;
        }
        node.band = at;
        return;
    }
    float length = 0.0f;
    if (v == 0 && settings.layout == ZN_Layout::MindMap) {
        length = std::max(stack(tree, v, 1, settings.breadthGap),
                          stack(tree, v, -1, settings.breadthGap));
    } else {
        length = stack(tree, v, 0, settings.breadthGap);
    }
    tree.at(v).band = std::max(tree.at(v).breadth, length);
}

void arrangeRange(Tree& tree, const Range& range, const Settings& settings) {
    for (int v = range.end - 1; v >= range.begin; --v)
        arrange(tree, v, settings);
}

void balanceSides(Tree& tree) {
    // Units of the root's children: each child alone, the children hanging
    // from the root's fold point together, since they share its side.
    const ModelNode& root = tree.at(0);
    const int* kids = tree.childrenOf(0);
    const std::uint32_t n = root.childCount;
    std::vector<std::uint32_t> unitStart;
    std::vector<float> weight;
    for (std::uint32_t i = 0; i < n; ++i) {
        const ModelNode& c = tree.at(kids[i]);
        const bool joins = i > 0 && c.viaFold && tree.at(kids[i - 1]).viaFold;
        if (!joins) {
            unitStart.push_back(i);
            weight.push_back(0.0f);
        }
        weight.back() += c.band;
    }
    float total = 0.0f;
    for (float w : weight)
        total += w;
    // The first k units go right; the most even split, the right side
    // taking the larger share when two are as even.
    std::size_t best = weight.empty() ? 0 : 1;
    float bestGap = INFINITY;
    float before = 0.0f;
    for (std::size_t k = 1; k <= weight.size(); ++k) {
        before += weight[k - 1];
        const float gap = std::abs(2.0f * before - total);
        if (gap <= bestGap) {
            bestGap = gap;
            best = k;
        }
    }
    const std::uint32_t firstLeft = best < unitStart.size() ? unitStart[best] : n;
    tree.rootFoldSide = 1;
    for (std::uint32_t i = 0; i < n; ++i) {
        ModelNode& c = tree.at(kids[i]);
        c.side = i < firstLeft ? 1 : -1;
        if (c.viaFold)
            tree.rootFoldSide = c.side;
    }
    // Nodes come in pre-order: parents before children.
    for (std::size_t v = 1; v < tree.nodes.size(); ++v) {
        ModelNode& node = tree.nodes[v];
        if (node.alive && node.parent > 0)
            node.side = tree.at(node.parent).side;
    }
}

Spot childSpot(const Tree& tree, const Spot& parent, int v, int child, const Settings& settings) {
    const ModelNode& p = tree.at(v);
    const ModelNode& c = tree.at(child);
    Spot spot;
    spot.across = parent.across + c.offset;
    if (!isCentred(settings.layout)) {
        spot.along = parent.along + settings.indent;
        return spot;
    }
    // The root's fold point is on one side only.
    const bool foldHere = v != 0 || tree.rootFoldSide == c.side;
    spot.along = parent.along + p.growth + (foldHere ? p.foldExtent : 0.0f) + settings.growthGap;
    return spot;
}

Rect boxAt(const Rect& root, const Spot& spot, const ModelNode& node, Orientation o) {
    const float w = node.width;
    const float h = node.height;
    const ZVector2 c = root.centre();
    switch (o) {
    case Orientation::Right: {
        const float x = root.x1 + spot.along;
        const float y = c.Y() + spot.across - 0.5f * h;
        return {x, y, x + w, y + h};
    }
    case Orientation::Left: {
        const float x = root.x2 - spot.along;
        const float y = c.Y() + spot.across - 0.5f * h;
        return {x - w, y, x, y + h};
    }
    case Orientation::Down: {
        const float x = c.X() + spot.across - 0.5f * w;
        const float y = root.y1 + spot.along;
        return {x, y, x + w, y + h};
    }
    case Orientation::Indent:
    default: {
        const float x = root.x1 + spot.along;
        const float y = root.y1 + spot.across;
        return {x, y, x + w, y + h};
    }
    }
}

ZVector2 foldSpot(const Rect& box, float ring, float foldGap, Orientation o) {
    const ZVector2 c = box.centre();
    switch (o) {
    case Orientation::Right:
        return ZVector2(box.x2 + foldGap + ring, c.Y());
    case Orientation::Left:
        return ZVector2(box.x1 - foldGap - ring, c.Y());
    case Orientation::Down:
        return ZVector2(c.X(), box.y2 + foldGap + ring);
    case Orientation::Indent:
    default:
        return ZVector2(box.x1, box.y2 + foldGap + ring);
    }
}

} // namespace detail::layout
