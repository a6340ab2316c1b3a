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

// Shapes whose move touches nothing but themselves.
bool movesAlone(const ZN_ShapeBase* s) { return isPlainBox(s) || s->type() == 2; }

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

void Mover::moveNode(ZN_ShapeBase* shape, const ZVector2& delta) {
    if (movesAlone(shape))
        moveShape(shape, delta);
    else
        deferred_.push_back(shape);
    ++written_;
}

int Mover::childAt(int owner, bool fromFold, const ZN_NLine* line, const ZN_ShapeBase* end,
                   std::uint32_t& cursor) const {
    // Children come in the order their connectors leave the node, those of
    // the fold point among them where it is: walking both in step finds
    // each without a look-up.
    const ModelNode& node = tree_.at(owner);
    const int* kids = tree_.childrenOf(owner);
    while (cursor < node.childCount && tree_.at(kids[cursor]).viaFold != fromFold)
        ++cursor;
    if (cursor < node.childCount && tree_.at(kids[cursor]).line == line)
        return kids[cursor++];
    const int held = tree_.index.find(end);
    if (held >= 0 && tree_.at(held).parent == owner && tree_.at(held).line == line &&
        tree_.at(held).alive)
        return held;
    return -1;
}

void Mover::sweep(ZN_ShapeBase* start, int owner, bool tree, const ZVector2& delta) {
    moveNode(start, delta);
    stack_.assign(1, {start, owner, owner >= 0 && tree_.at(owner).fold == start, 0});
    while (!stack_.empty()) {
        Step step = stack_.back();
        stack_.pop_back();
        // A branch lies all over memory: fetch the connectors ahead.
        for (ZN_ShapeBase* out : step.shape->outputs())
            __builtin_prefetch(out);
        for (ZN_ShapeBase* out : step.shape->outputs()) {
            if (!out || out->type() != 1)
                continue;
            auto* line = static_cast<ZN_NLine*>(out);
            if (line->inputs().empty() || line->inputs().front() != step.shape)
                continue;
            // A cross link leads out of the tree: only glued again.
            if (line->isCrossLink()) {
                strays_.push_back(line);
                continue;
            }
            ZN_ShapeBase* end = line->outputs().empty() ? nullptr : line->outputs().front();
            if (step.owner >= 0) {
                const int child = end ? childAt(step.owner, step.fromFold, line, end, step.cursor) : -1;
                if (child >= 0) {
                    // A node of the tree below: it moves with the branch, or
                    // is placed on its own.
                    if (tree && !call_.wasMoved(child)) {
                        call_.setMoved(child);
                        line->change(delta, 9);
                        moveNode(end, delta);
                        stack_.push_back({end, child, false, 0});
                    }
                    continue;
                }
                if (!step.fromFold && end == tree_.at(step.owner).fold &&
                    line == tree_.at(step.owner).foldLine) {
                    if (tree && moved_.find(end) == KeyIndex::kAbsent) {
                        moved_.set(end, 0);
                        line->change(delta, 9);
                        moveNode(end, delta);
                        stack_.push_back({end, step.owner, true, 0});
                    }
                    continue;
                }
            }
            // What hangs hidden below moves along; a connector to anything
            // that stays is glued again afterwards.
            if (end && (end->getShow() || tree_.index.find(end) != KeyIndex::kAbsent)) {
                strays_.push_back(line);
                continue;
            }
            if (moved_.find(line) == KeyIndex::kAbsent) {
                moved_.set(line, 0);
                line->change(delta, 9);
                ++written_;
            }
            if (end && moved_.find(end) == KeyIndex::kAbsent) {
                moved_.set(end, 0);
                moveNode(end, delta);
                stack_.push_back({end, -1, false, 0});
            }
        }
    }
    // Now that every connector has moved, the shapes that glue their own.
    for (ZN_ShapeBase* shape : deferred_)
        moveShape(shape, delta);
    for (ZN_NLine* line : strays_)
        line->reglueEnds();
    written_ += static_cast<int>(strays_.size());
    deferred_.clear();
    strays_.clear();
}

void Mover::place(const Live& live, int v, const Rect& box, Orientation o,
                  const Settings& settings) {
    const ZVector2 delta(box.x1 - live.box.x1, box.y1 - live.box.y1);
    if (moves(delta))
        sweep(live.shape, v, false, delta);
    if (live.fold) {
        const ZVector2 want = foldSpot(box, ringOf(live.fold), settings.foldGap, o);
        const ZVector2 d = want - live.fold->getCoord();
        if (moves(d))
            sweep(live.fold, v, false, d);
    }
}

void Mover::translate(ZN_ShapeBase* head, int v, const ZVector2& delta) {
    call_.setMoved(v);
    sweep(head, v, true, delta);
}

} // namespace detail::layout
