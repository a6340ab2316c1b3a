#include <sarvik/ZN_ShapeManager.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_BackRgn.h>
#include <sarvik/ZN_NJiuGongGe.h>

#include "Teardown.h"
#include "index/RelationTable.h"
#include "index/ShapeGrid.h"
#include "index/WalkMarks.h"
#include "memory/Prefetch.h"

namespace {

// Shapes test positions relative to the view offset and the index holds
// canvas positions; the two roundings can differ by a few units in the last
// place, so the index looks this much further around.
float roundingSlack(const ZVector2& pos, const ZVector2& offset) {
    return 1.0f + 1e-5f * (std::fabs(pos.X()) + std::fabs(pos.Y()) + std::fabs(offset.X()) +
                           std::fabs(offset.Y()));
}

bool finitePair(const ZVector2& a, const ZVector2& b) {
    return std::isfinite(a.X()) && std::isfinite(a.Y()) && std::isfinite(b.X()) &&
           std::isfinite(b.Y());
}

[[noreturn]] void indexDisagrees(const char* query) {
    std::fprintf(stderr, "Sarvik: the spatial index and the list disagree on %s\n", query);
    std::abort();
}
} // namespace

ZN_ShapeManager::ZN_ShapeManager() : undoRedo(new ZNRedoUndo(this)), backRgn(new ZN_BackRgn()) {
    backRgn->setShow(false);
}

ZN_ShapeManager::~ZN_ShapeManager() {
    clear();
    delete undoRedo;
    delete backRgn;
}

void ZN_ShapeManager::addShape(ZN_ShapeBase* s) {
    listChanged();
    if (s)
        shapeList.push_back(s);
}

void ZN_ShapeManager::addShapeFront(ZN_ShapeBase* s) {
    listChanged();
    if (s)
        shapeList.push_front(s);
}

void ZN_ShapeManager::deleteShape(ZN_ShapeBase* s) {
    listChanged();
    auto it = std::find(shapeList.begin(), shapeList.end(), s);
    if (it == shapeList.end())
        return;
    shapeList.erase(it);
    delete s;
}

void ZN_ShapeManager::clear() {
    // The list is detached first so that no destructor sees a half-freed list.
    std::vector<ZN_ShapeBase*> doomed;
    doomed.swap(listArray_);
    if (!listArrayMade_ || listArrayVersion_ != listVersion || doomed.size() != shapeList.size())
        doomed.assign(shapeList.begin(), shapeList.end());
    listChanged();
    listArrayMade_ = false;
    shapeList.clear();
    detail::destroyTogether(doomed);
}

void detail::destroyTogether(const std::vector<ZN_ShapeBase*>& doomed) {
    // A destructor that unlinked itself would read a neighbour destroyed
    // before it whenever a link was recorded on one side only, and the
    // neighbour's memory (a snapshot's block) may be gone.
    detail::forEachAhead(doomed, [](ZN_ShapeBase* shape) {
        auto* table = dynamic_cast<ZN_NJiuGongGe*>(shape);
        if (!table)
            return;
        table->clearAnswerList();
        for (const ZN_NJiuGongGe::Cell& cell : table->getCells())
            if (ZN_ShapeBase* placed = cell.shape)
                table->releaseJiuGong(placed);
    });
    detail::forEachAhead(doomed, [](ZN_ShapeBase* shape) {
        shape->forgetRelations();
        shape->setJiuGongHost(nullptr);
    });
    detail::forEachAhead(doomed, [](ZN_ShapeBase* shape) { delete shape; });
}

void ZN_ShapeManager::deleteSelected() {
    // Show hidden subtrees first, so nothing is left behind invisible once its
    // root is gone.
    selectSpreadAll();

    // The shapes are marked rather than kept in sets: on a large page the
    // sets' allocations and lookups cost more than the deleting itself.
    std::vector<ZN_ShapeBase*> doomed;
    detail::WalkMarks chosen;
    auto take = [&](ZN_ShapeBase* s) {
        if (s && chosen.insert(s))
            doomed.push_back(s);
    };
    detail::forEachAhead(listArray(), [&](ZN_ShapeBase* shape) {
        if (!shape->getSelected())
            return;
        take(shape);
        if (shape->type() == 1)
            return;
        for (ZN_ShapeBase* in : shape->inputs())
            take(in);
        for (ZN_ShapeBase* out : shape->outputs())
            take(out);
    });
    if (doomed.empty())
        return;
    listChanged();

    // Remove the entries in one pass, then destroy in the order collected; only
    // shapes that are in this page's list are destroyed. A later walk's mark
    // replaces the first one, so a shape is taken out of the list once and
    // shapes that were chosen but are not listed keep the first mark.
    detail::WalkMarks removed;
    for (auto it = shapeList.begin(); it != shapeList.end();) {
        if (chosen.contains(*it)) {
            removed.insert(*it);
            it = shapeList.erase(it);
        } else {
            ++it;
        }
    }
    for (ZN_ShapeBase* shape : doomed)
        if (removed.contains(shape))
            delete shape;
}

namespace {

// Geometry changes are caught up shape by shape; a changed list, or more
// changes than the log keeps, cost one rebuild.
const detail::ShapeGrid& currentGrid(std::unique_ptr<detail::ShapeGrid>& grid,
                                     detail::BoundsOf boundsOf,
                                     const std::list<ZN_ShapeBase*>& shapes,
                                     std::uint64_t listVersion) {
    if (!grid) {
        grid = std::make_unique<detail::ShapeGrid>(boundsOf);
        grid->build(shapes, listVersion);
    } else if (grid->listVersion() != listVersion || grid->size() != shapes.size() ||
               !grid->catchUp()) {
        grid->build(shapes, listVersion);
    }
    return *grid;
}

} // namespace

const std::vector<ZN_ShapeBase*>& ZN_ShapeManager::listArray() const {
    if (!listArrayMade_ || listArrayVersion_ != listVersion ||
        listArray_.size() != shapeList.size()) {
        listArray_.assign(shapeList.begin(), shapeList.end());
        listArrayVersion_ = listVersion;
        listArrayMade_ = true;
    }
    return listArray_;
}

std::vector<ZN_ShapeBase*> ZN_ShapeManager::takeListArray() {
    std::vector<ZN_ShapeBase*> array;
    if (listArrayMade_ && listArrayVersion_ == listVersion && listArray_.size() == shapeList.size())
        array.swap(listArray_);
    listArrayMade_ = false;
    return array;
}

void ZN_ShapeManager::adoptListArray(std::vector<ZN_ShapeBase*>&& array) {
    listChanged();
    if (array.size() != shapeList.size())
        return;
    listArray_ = std::move(array);
    listArrayVersion_ = listVersion;
    listArrayMade_ = true;
}

detail::RelationTable* ZN_ShapeManager::relationTable() const {
    const std::vector<ZN_ShapeBase*>& shapes = listArray();
    if (!relations_)
        relations_ = std::make_unique<detail::RelationTable>();
    if (!relations_->current(listVersion))
        relations_->build(shapes, listVersion);
    return relations_->usable() ? relations_.get() : nullptr;
}

const detail::ShapeGrid& ZN_ShapeManager::grid() const {
    return currentGrid(shapeGrid, detail::hitBounds, shapeList, listVersion);
}

const detail::ShapeGrid& ZN_ShapeManager::drawGrid() const {
    return currentGrid(drawnGrid, detail::drawBounds, shapeList, listVersion);
}

void ZN_ShapeManager::shapesToDraw(const ZVector2& min, const ZVector2& max,
                                   std::vector<const ZN_ShapeBase*>& out) const {
    out.clear();
    if (!finitePair(min, max)) {
        out.assign(shapeList.begin(), shapeList.end());
        return;
    }
    const detail::ShapeGrid& index = drawGrid();
    const float slack = roundingSlack(min, max);
    index.query(min.X(), min.Y(), max.X(), max.Y(), slack, candidates);
    out.reserve(candidates.size());
    for (std::uint32_t slot : candidates)
        out.push_back(index.shape(slot));
}

ZN_ShapeBase* ZN_ShapeManager::scanHit(const ZVector2& pos, ZObj2DInPoint* info, int& code,
                                       float tolerance) const {
    for (auto it = shapeList.rbegin(); it != shapeList.rend(); ++it) {
        ZN_ShapeBase* shape = *it;
        if (!shape->getShow())
            continue;
        code = shape->InPoint(pos, info, tolerance);
        if (code != 0)
            return shape;
    }
    code = 0;
    return nullptr;
}

ZN_ShapeBase* ZN_ShapeManager::Change_Cursor(const ZVector2& pos, ZObj2DInPoint* info, int& code,
                                             float tolerance) const {
    code = 0;
    if (backRgn->getShow()) {
        code = backRgn->InPoint(pos, info, tolerance);
        if (code != 0) {
            backRgn->loadCursor(ZCursor::None, code);
            return backRgn;
        }
    }
    const ZVector2 offset = getScallPosition();
    ZN_ShapeBase* found = nullptr;
    if (!finitePair(pos, offset) || std::isnan(tolerance)) {
        found = scanHit(pos, info, code, tolerance);
    } else {
        // The nearby shapes, tested from the top of the drawing order down.
        const detail::ShapeGrid& index = grid();
        const ZVector2 at = pos + offset;
        index.query(at.X(), at.Y(), at.X(), at.Y(),
                    std::max(tolerance, 0.0f) + roundingSlack(pos, offset), candidates);
        for (auto it = candidates.rbegin(); it != candidates.rend() && !found; ++it) {
            ZN_ShapeBase* shape = index.shape(*it);
            if (!shape->getShow())
                continue;
            code = shape->InPoint(pos, info, tolerance);
            if (code != 0)
                found = shape;
        }
        if (!found)
            code = 0;
        if (detail::indexSelfCheck()) {
            ZObj2DInPoint scratch;
            int scanCode = 0;
            if (scanHit(pos, &scratch, scanCode, tolerance) != found || scanCode != code)
                indexDisagrees("a hit test");
        }
    }
    if (found)
        found->loadCursor(ZCursor::None, code);
    return found;
}

ZN_ShapeBase* ZN_ShapeManager::scanTarget(const ZVector2& pos, float tolerance,
                                          const ZN_ShapeBase* except, int& code) const {
    for (ZN_ShapeBase* shape : shapeList) {
        if (shape == except || shape->type() == 1 || !shape->getShow())
            continue;
        code = shape->InPoint(pos, nullptr, tolerance);
        if (code != 0)
            return shape;
    }
    code = 0;
    return nullptr;
}

ZN_ShapeBase* ZN_ShapeManager::findConnectTarget(const ZVector2& pos, float tolerance,
                                                 const ZN_ShapeBase* except, int& code) const {
    code = 0;
    const ZVector2 offset = getScallPosition();
    if (!finitePair(pos, offset) || !std::isfinite(tolerance))
        return scanTarget(pos, tolerance, except, code);
    const detail::ShapeGrid& index = grid();
    const ZVector2 at = pos + offset;
    index.query(at.X(), at.Y(), at.X(), at.Y(),
                std::max(tolerance, 0.0f) + roundingSlack(pos, offset), candidates);
    ZN_ShapeBase* found = nullptr;
    for (std::uint32_t slot : candidates) {
        ZN_ShapeBase* shape = index.shape(slot);
        if (shape == except || shape->type() == 1 || !shape->getShow())
            continue;
        code = shape->InPoint(pos, nullptr, tolerance);
        if (code != 0) {
            found = shape;
            break;
        }
    }
    if (!found)
        code = 0;
    if (detail::indexSelfCheck()) {
        int scanCode = 0;
        if (scanTarget(pos, tolerance, except, scanCode) != found || scanCode != code)
            indexDisagrees("a connection target");
    }
    return found;
}

void ZN_ShapeManager::clearSelect() {
    // Only selected shapes are written to, so the others' memory stays clean.
    detail::forEachAhead(listArray(), [](ZN_ShapeBase* shape) {
        if (shape->getSelected())
            shape->setSelected(false);
    });
}

void ZN_ShapeManager::change(const ZVector2& from, const ZVector2& to, int code, int bind) {
    const ZVector2 delta = to - from;
    if (bind == 1) {
        const std::vector<ZN_ShapeBase*> moving = collectBelowSelected();
        detail::forEachWhole(moving, [&](ZN_ShapeBase* shape) { shape->change(delta, code); });
        return;
    }
    detail::forEachAhead(listArray(), [&](ZN_ShapeBase* shape) {
        if (shape->getSelected())
            shape->change(delta, code);
    });
}

bool ZN_ShapeManager::selectWithinRect(const ZVector2& a, const ZVector2& b) {
    // A band dragged up or to the left arrives with its corners swapped; the
    // shapes' own tests and the index both expect them ordered.
    const ZVector2 lo(std::min(a.X(), b.X()), std::min(a.Y(), b.Y()));
    const ZVector2 hi(std::max(a.X(), b.X()), std::max(a.Y(), b.Y()));
    const ZVector2 offset = getScallPosition();
    if (!finitePair(a, b) || !finitePair(offset, offset)) {
        for (ZN_ShapeBase* shape : shapeList)
            if (shape->getShow() && shape->IntersectRect(lo, hi))
                shape->setSelected(true);
        return false;
    }
    const detail::ShapeGrid& index = grid();
    const float slack = roundingSlack(lo, offset) + roundingSlack(hi, offset);
    index.query(lo.X() + offset.X(), lo.Y() + offset.Y(), hi.X() + offset.X(), hi.Y() + offset.Y(),
                slack, candidates);
    // A shape whose bounds lie well inside the band is caught without asking
    // it, which spares reading its geometry.
    const double inX0 = static_cast<double>(lo.X() + offset.X()) + slack;
    const double inY0 = static_cast<double>(lo.Y() + offset.Y()) + slack;
    const double inX1 = static_cast<double>(hi.X() + offset.X()) - slack;
    const double inY1 = static_cast<double>(hi.Y() + offset.Y()) - slack;
    // A shape caught is selected at once, while its record is at hand: on a
    // large page a second walk would fetch every record again.
    std::vector<ZN_ShapeBase*> caught;
    const std::size_t count = candidates.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (i + 12 < count)
            __builtin_prefetch(index.shape(candidates[i + 12]), 1);
        const std::uint32_t slot = candidates[i];
        ZN_ShapeBase* shape = index.shape(slot);
        if (shape->getShow() &&
            (index.inside(slot, inX0, inY0, inX1, inY1) || shape->IntersectRect(lo, hi))) {
            caught.push_back(shape);
            shape->setSelected(true);
        }
    }
    if (detail::indexSelfCheck()) {
        std::vector<ZN_ShapeBase*> scanned;
        for (ZN_ShapeBase* shape : shapeList)
            if (shape->getShow() && shape->IntersectRect(lo, hi))
                scanned.push_back(shape);
        if (scanned != caught)
            indexDisagrees("a rubber band");
    }
    return false;
}
