// Arrangement of a list of shapes: drawing order, alignment, distribution,
// equal size and nudging. Every movement goes through the shapes' own change()
// so that labels and connectors follow as they do for mouse edits.

#include <sarvik/ZN_ShapeManager.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "memory/Prefetch.h"

namespace {

using ShapeList = std::list<ZN_ShapeBase*>;
using Entry = ShapeList::iterator;

// Drops the fraction toward zero like a float-to-int32 conversion, saturating
// instead of overflowing for values no page coordinate reaches.
std::int32_t trunc32(float v) {
    if (std::isnan(v))
        return 0;
    if (v >= 2147483520.0f)
        return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0f)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

std::vector<ZN_ShapeBase*> regionsOf(const ShapeList& shapes) {
    std::vector<ZN_ShapeBase*> result;
    for (ZN_ShapeBase* s : shapes)
        if (s && s->isRegion())
            result.push_back(s);
    return result;
}

} // namespace

namespace {

using EntryMap = std::unordered_map<const ZN_ShapeBase*, Entry>;
using ShapeSet = std::unordered_set<const ZN_ShapeBase*>;

// The first entry of each listed shape, found in one pass over the page so
// that moving a large selection stays linear. Shapes that are not on the page
// are left out: inserting one would make the page own a shape that something
// else owns.
EntryMap firstEntries(ShapeList& page, const ShapeList& shapes) {
    EntryMap entryOf;
    entryOf.reserve(shapes.size());
    for (ZN_ShapeBase* s : shapes)
        entryOf.emplace(s, page.end());
    std::size_t pending = entryOf.size();
    for (Entry e = page.begin(); e != page.end() && pending > 0; ++e) {
        const auto at = entryOf.find(*e);
        if (at != entryOf.end() && at->second == page.end()) {
            at->second = e;
            --pending;
        }
    }
    for (auto it = entryOf.begin(); it != entryOf.end();) {
        if (it->second == page.end())
            it = entryOf.erase(it);
        else
            ++it;
    }
    return entryOf;
}

// Where a one-layer move down (1) or up (2) puts the shapes: before
// `reference`, or at the page's end (front for 1, back for 2) when the result
// says `toEnd`. The walk goes back to front through `shapes`; false in
// `found` when none of them is on the page.
struct LayerTarget {
    bool found = false;
    bool toEnd = true;
    Entry reference{};
};

LayerTarget layerTarget(int mode, ShapeList& page, const ShapeList& shapes,
                        const EntryMap& entryOf) {
    LayerTarget t;
    for (auto it = shapes.rbegin(); it != shapes.rend(); ++it) {
        const auto at = entryOf.find(*it);
        if (at == entryOf.end())
            continue;
        const Entry e = at->second;
        t.found = true;
        if (mode == 1) {
            if (e == page.begin()) {
                t.toEnd = true;
                break;
            }
            const Entry below = std::prev(e);
            t.toEnd = below == page.begin();
            if (!t.toEnd)
                t.reference = below;
        } else {
            const Entry above = std::next(e);
            if (above == page.end() || std::next(above) == page.end()) {
                t.toEnd = true;
            } else {
                t.toEnd = false;
                t.reference = std::next(above);
            }
        }
    }
    return t;
}

// When the reference is itself being moved (the selection is not in drawing
// order and two moved shapes are neighbours), the nearest shape that stays
// takes its place: the next one below it for a move down, the next one above
// it for a move up.
void skipMovedReference(int mode, ShapeList& page, const ShapeSet& movedSet, LayerTarget& t) {
    if (t.toEnd || !movedSet.count(*t.reference))
        return;
    Entry e = t.reference;
    if (mode == 1) {
        for (;;) {
            if (e == page.begin()) {
                t.toEnd = true;
                break;
            }
            --e;
            if (!movedSet.count(*e))
                break;
        }
    } else {
        do
            ++e;
        while (e != page.end() && movedSet.count(*e));
        t.toEnd = e == page.end();
    }
    t.reference = e;
}

} // namespace

void ZN_ShapeManager::TranslateLayer(int mode, const std::list<ZN_ShapeBase*>& shapes) {
    if (mode < 0 || mode > 3 || shapes.empty())
        return;
    listChanged();

    EntryMap entryOf = firstEntries(shapeList, shapes);
    // The shapes to move, each once, in the caller's order.
    std::vector<ZN_ShapeBase*> moved;
    ShapeSet movedSet;
    for (ZN_ShapeBase* s : shapes)
        if (entryOf.count(s) && movedSet.insert(s).second)
            moved.push_back(s);
    if (moved.empty())
        return;

    LayerTarget target;
    if (mode == 1 || mode == 2) {
        target = layerTarget(mode, shapeList, shapes, entryOf);
        if (!target.found)
            return;
        skipMovedReference(mode, shapeList, movedSet, target);
    }

    for (ZN_ShapeBase* s : moved)
        shapeList.erase(entryOf[s]);

    switch (mode) {
    case 0:
        for (auto it = moved.rbegin(); it != moved.rend(); ++it)
            shapeList.push_front(*it);
        break;
    case 3:
        for (ZN_ShapeBase* s : moved)
            shapeList.push_back(s);
        break;
    case 1:
    case 2:
        for (auto it = moved.rbegin(); it != moved.rend(); ++it) {
            if (!target.toEnd)
                shapeList.insert(target.reference, *it);
            else if (mode == 1)
                shapeList.push_front(*it);
            else
                shapeList.push_back(*it);
        }
        break;
    default:
        break;
    }
}

int ZN_ShapeManager::TranslateAlign(int mode, const std::list<ZN_ShapeBase*>& shapes) {
    const std::vector<ZN_ShapeBase*> regions = regionsOf(shapes);
    if (regions.size() < 2)
        return 0;

    // The shape selected last is the reference; its corners are taken before
    // anything moves.
    const ZVector2 a = regions.back()->getPoint1();
    const ZVector2 b = regions.back()->getPoint2();
    for (ZN_ShapeBase* s : regions) {
        const ZVector2 p = s->getPoint1();
        const ZVector2 q = s->getPoint2();
        ZVector2 delta(0.0f, 0.0f);
        switch (mode) {
        case 0: delta = ZVector2(0.0f, a.Y() - p.Y()); break;
        case 1: delta = ZVector2(a.X() - p.X(), 0.0f); break;
        case 2: delta = ZVector2(b.X() - q.X(), 0.0f); break;
        case 3: delta = ZVector2(0.0f, b.Y() - q.Y()); break;
        case 4: delta = ZVector2(((a.X() + b.X()) - (p.X() + q.X())) * 0.5f, 0.0f); break;
        case 5: delta = ZVector2(0.0f, ((a.Y() + b.Y()) - (p.Y() + q.Y())) * 0.5f); break;
        default: return 1;
        }
        s->change(delta, 9);
    }
    return 1;
}

int ZN_ShapeManager::TranslateAlignAvg(int mode, const std::list<ZN_ShapeBase*>& shapes) {
    std::vector<ZN_ShapeBase*> regions = regionsOf(shapes);
    if (regions.size() < 2)
        return 0;
    if (mode != 0 && mode != 1)
        return 1;
    const bool horizontal = mode == 0;

    // Whole-number bookkeeping with its historical start value: shapes lying
    // wholly beyond x (or y) = 66555 are pulled back to start there.
    std::int32_t minX = 66555, minY = 66555, maxX = 0, maxY = 0, total = 0;
    for (const ZN_ShapeBase* s : regions) {
        const ZVector2 p = s->getPoint1();
        const ZVector2 q = s->getPoint2();
        total = horizontal ? trunc32(q.X() - p.X() + static_cast<float>(total))
                           : trunc32(q.Y() - p.Y() + static_cast<float>(total));
        if (p.X() < static_cast<float>(minX))
            minX = trunc32(p.X());
        if (p.Y() < static_cast<float>(minY))
            minY = trunc32(p.Y());
        if (q.X() > static_cast<float>(maxX))
            maxX = trunc32(q.X());
        if (q.Y() > static_cast<float>(maxY))
            maxY = trunc32(q.Y());
    }

    std::stable_sort(regions.begin(), regions.end(),
                     [horizontal](const ZN_ShapeBase* l, const ZN_ShapeBase* r) {
                         return horizontal ? l->getPoint1().X() < r->getPoint1().X()
                                           : l->getPoint1().Y() < r->getPoint1().Y();
                     });

    // 64-bit so that absurd coordinates cannot overflow the subtraction.
    const std::int64_t span = horizontal
                                  ? std::int64_t{maxX} - total - minX
                                  : std::int64_t{maxY} - total - minY;
    const auto gap = static_cast<std::int32_t>(span / static_cast<std::int64_t>(regions.size() - 1));

    std::int32_t pos = horizontal ? minX : minY;
    for (ZN_ShapeBase* s : regions) {
        // Corners are read now: laying out a table may already have moved a
        // shape placed in one of its cells.
        const ZVector2 p = s->getPoint1();
        const ZVector2 q = s->getPoint2();
        if (horizontal) {
            const float dx = static_cast<float>(pos) - p.X();
            pos = trunc32(q.X() + static_cast<float>(gap) - p.X() + static_cast<float>(pos));
            s->change(ZVector2(dx, 0.0f), 9);
        } else {
            const float dy = static_cast<float>(pos) - p.Y();
            pos = trunc32(q.Y() + static_cast<float>(gap) - p.Y() + static_cast<float>(pos));
            s->change(ZVector2(0.0f, dy), 9);
        }
    }
    return 1;
}

int ZN_ShapeManager::SameSize(int mode, const std::list<ZN_ShapeBase*>& shapes) {
    std::vector<ZN_ShapeBase*> boxes;
    for (ZN_ShapeBase* s : shapes) {
        if (!s)
            continue;
        const int t = s->type();
        if (t == 7 || t == 8 || t == 9 || t == 10)
            boxes.push_back(s);
    }
    if (boxes.size() < 2)
        return 0;

    const ZVector2 a = boxes.back()->getPoint1();
    const ZVector2 b = boxes.back()->getPoint2();
    const float width = b.X() - a.X();
    const float height = b.Y() - a.Y();
    for (std::size_t i = 0; i + 1 < boxes.size(); ++i) {
        ZN_ShapeBase* s = boxes[i];
        const ZVector2 p = s->getPoint1();
        const ZVector2 q = s->getPoint2();
        const float dW = width - (q.X() - p.X());
        const float dH = height - (q.Y() - p.Y());
        // Handle 5 is the second corner: the first corner stays put.
        switch (mode) {
        case 0: s->change(ZVector2(dW, dH), 5); break;
        case 1: s->change(ZVector2(dW, 0.0f), 5); break;
        case 2: s->change(ZVector2(0.0f, dH), 5); break;
        default: break;
        }
    }
    return 1;
}

int ZN_ShapeManager::LittleMove(int direction, const std::list<ZN_ShapeBase*>& shapes, int step) {
    const auto d = static_cast<float>(step);
    ZVector2 delta(0.0f, 0.0f);
    switch (direction) {
    case 0: delta = ZVector2(-d, 0.0f); break;
    case 1: delta = ZVector2(d, 0.0f); break;
    case 2: delta = ZVector2(0.0f, -d); break;
    case 3: delta = ZVector2(0.0f, d); break;
    default: return 1;
    }
    // Walked as an array, fetching ahead: nudging a whole large page
    // otherwise mostly waits for each shape, its label and its connectors.
    std::vector<ZN_ShapeBase*> moving;
    moving.reserve(shapes.size());
    for (ZN_ShapeBase* s : shapes)
        if (s)
            moving.push_back(s);
    detail::forEachWhole(moving, [&](ZN_ShapeBase* s) { s->change(delta, 9); });
    return 1;
}
