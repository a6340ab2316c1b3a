// Moving the shapes of a tree to where the layout puts them.

#include <cmath>

#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>

#include "Engine.h"

namespace detail::layout {

namespace {

// Closer than this a shape counts as in place: the gaps are whole pixels.
constexpr float kInPlace = 1e-3f;

bool moves(const ZVector2& d) { return std::abs(d.X()) > kInPlace || std::abs(d.Y()) > kInPlace; }

} // namespace

void moveShape(ZN_ShapeBase* shape, const ZVector2& delta) {
    // A box or point moved here keeps its connectors as they are; the layout
    // routes or moves them itself.
    if (isPlainBox(shape)) {
        if (auto* box = dynamic_cast<ZN_NRect*>(shape)) {
            box->setPoint1(box->getPoint1() + delta);
            box->setPoint2(box->getPoint2() + delta);
            if (ZN_SText* label = box->getLabel())
                label->change(delta, 9);
            return;
        }
    }
    if (shape->type() == 2) {
        if (auto* point = dynamic_cast<ZN_NPoint*>(shape)) {
            point->setCoord(point->getCoord() + delta);
            return;
        }
    }
    shape->change(delta, 9); // a table takes its cells' texts along
}

void Mover::gather(ZN_ShapeBase* start, int owner, bool tree, Region& region) {
    stack_.assign(1, {start, owner});
    while (!stack_.empty()) {
        const auto [shape, own] = stack_.back();
        stack_.pop_back();
        for (ZN_ShapeBase* out : shape->outputs()) {
            if (!out || out->type() != 1)
                continue;
            auto* line = static_cast<ZN_NLine*>(out);
            if (line->inputs().empty() || line->inputs().front() != shape)
                continue;
            ZN_ShapeBase* end = line->outputs().empty() ? nullptr : line->outputs().front();
            const int held = tree_.index.find(end);
            if (own >= 0 && held >= 0 && tree_.at(held).parent == own &&
                tree_.at(held).line == line && tree_.at(held).alive) {
                // A node of the tree below: it moves with the branch, or is
                // placed on its own.
                if (tree && !call_.wasMoved(held)) {
                    call_.setMoved(held);
                    region.lines.push_back(line);
                    region.nodes.push_back(end);
                    stack_.push_back({end, held});
                }
                continue;
            }
            if (own >= 0 && held == KeyIndex::foldOf(own) && tree_.at(own).foldLine == line) {
                if (tree && moved_.find(end) == KeyIndex::kAbsent) {
                    moved_.set(end, 0);
                    region.lines.push_back(line);
                    region.nodes.push_back(end);
                    stack_.push_back({end, own}); // its children are the owner's
                }
                continue;
            }
            // What hangs hidden below moves along; a connector to anything
            // that stays is glued again afterwards.
            if (end && (end->getShow() || held != KeyIndex::kAbsent)) {
                region.strays.push_back(line);
                continue;
            }
            if (end && moved_.find(end) == KeyIndex::kAbsent) {
                moved_.set(end, 0);
                region.nodes.push_back(end);
                stack_.push_back({end, -1});
            }
            if (moved_.find(line) == KeyIndex::kAbsent) {
                moved_.set(line, 0);
                region.lines.push_back(line);
            }
        }
    }
}

void Mover::shift(Region& region, const ZVector2& delta) {
    // Connectors first: a shape that glues its own connectors when moved
    // (a table) then finds them moved already.
    for (ZN_NLine* line : region.lines)
        line->change(delta, 9);
    for (ZN_ShapeBase* shape : region.nodes)
        moveShape(shape, delta);
    for (ZN_NLine* line : region.strays)
        line->reglueEnds();
    written_ += static_cast<int>(region.lines.size() + region.nodes.size() + region.strays.size());
    region.nodes.clear();
    region.lines.clear();
    region.strays.clear();
}

void Mover::place(const Live& live, int v, const Rect& box, Orientation o,
                  const Settings& settings) {
    const Rect now = boxOf(live.shape);
    const ZVector2 delta(box.x1 - now.x1, box.y1 - now.y1);
    if (moves(delta)) {
        region_.nodes.push_back(live.shape);
        gather(live.shape, v, false, region_);
        shift(region_, delta);
    }
    if (live.fold) {
        const ZVector2 want = foldSpot(box, ringOf(live.fold), settings.foldGap, o);
        const ZVector2 d = want - live.fold->getCoord();
        if (moves(d)) {
            region_.nodes.push_back(live.fold);
            gather(live.fold, v, false, region_);
            shift(region_, d);
        }
    }
}

void Mover::translate(ZN_ShapeBase* head, int v, const ZVector2& delta) {
    call_.setMoved(v);
    region_.nodes.push_back(head);
    gather(head, v, true, region_);
    shift(region_, delta);
}

} // namespace detail::layout
