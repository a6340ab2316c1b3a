#include "ShapeGrid.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <typeinfo>

#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_NRectVariants.h>
#include <sarvik/ZN_SText.h>

namespace detail {

namespace {

// A shape over more cells than this is proposed for every query instead.
constexpr long kMostCells = 256;

bool finite(const ShapeBounds& b) {
    return std::isfinite(b.minX) && std::isfinite(b.minY) && std::isfinite(b.maxX) &&
           std::isfinite(b.maxY);
}

void cover(ShapeBounds& b, const ZVector2& p) {
    b.minX = std::min(b.minX, p.X());
    b.maxX = std::max(b.maxX, p.X());
    b.minY = std::min(b.minY, p.Y());
    b.maxY = std::max(b.maxY, p.Y());
}

ShapeBounds around(const ZVector2& p) {
    return {p.X(), p.Y(), p.X(), p.Y()};
}

bool boxLike(const std::type_info& t) {
    return t == typeid(ZN_NRect) || t == typeid(ZN_NRoundRect) || t == typeid(ZN_NEllipse) ||
           t == typeid(ZN_NRhombus) || t == typeid(ZN_NParal) || t == typeid(ZN_NJiuGongGe);
}

bool readEnvSwitch() {
    const char* value = std::getenv("TAVLO_CHECK_INDEX");
    return value && *value && std::string_view(value) != "0";
}

bool& selfCheckFlag() {
    static bool on = readEnvSwitch();
    return on;
}

} // namespace

bool indexSelfCheck() {
    return selfCheckFlag();
}
void setIndexSelfCheck(bool on) {
    selfCheckFlag() = on;
}

bool hitBounds(const ZN_ShapeBase& shape, ShapeBounds& out) {
    // Only the kinds whose tests are known are bounded: a subclass could test
    // more than its base does.
    const std::type_info& kind = typeid(shape);
    if (boxLike(kind)) {
        // Handles sit on the outline, and the outlines of the other variants
        // lie inside the box; a box left unnormalised is still covered.
        const auto& box = static_cast<const ZN_NRect&>(shape);
        const ZVector2 a = box.getPoint1();
        const ZVector2 b = box.getPoint2();
        out = around(a);
        cover(out, b);
        // A parallelogram's slanted corners sit half its height along the
        // edges, which is beyond the box when it is narrow or unnormalised.
        if (kind == typeid(ZN_NParal)) {
            const float slant = (b.Y() - a.Y()) * 0.5f;
            cover(out, ZVector2(a.X() + slant, a.Y()));
            cover(out, ZVector2(b.X() - slant, b.Y()));
        }
    } else if (kind == typeid(ZN_NLine)) {
        const auto& line = static_cast<const ZN_NLine&>(shape);
        const auto& points = line.getPoints();
        if (points.empty())
            return false;
        out = around(points.front());
        for (const ZVector2& p : points)
            cover(out, p);
        // The rubber band also catches the horizontal tail.
        if (line.getbOffsetH() != 0)
            cover(out, points.back() + ZVector2(line.getOffsetH(), 0.0f));
    } else if (kind == typeid(ZN_NPoint)) {
        const auto& point = static_cast<const ZN_NPoint&>(shape);
        const float r = std::max(point.getPointSize(), 0.0f);
        const ZVector2 c = point.getCoord();
        out = {c.X() - r, c.Y() - r, c.X() + r, c.Y() + r};
    } else if (kind == typeid(ZN_SText)) {
        out = around(shape.getPoint1());
        cover(out, shape.getPoint2());
    } else {
        return false;
    }
    return finite(out);
}

void ShapeGrid::holdSlot(ZN_ShapeBase& shape, int slot) {
    shape.gridSlot = slot;
    // The label logs its changes too, which are then taken for its host's.
    if (ZN_ShapeBase* label = shape.getLabel())
        label->gridSlot = slot;
}

int ShapeGrid::cellX(double x) const {
    const double c = std::floor((x - originX_) / cellSize_);
    return static_cast<int>(std::clamp(c, 0.0, static_cast<double>(cols_ - 1)));
}

int ShapeGrid::cellY(double y) const {
    const double c = std::floor((y - originY_) / cellSize_);
    return static_cast<int>(std::clamp(c, 0.0, static_cast<double>(rows_ - 1)));
}

void ShapeGrid::build(const std::list<ZN_ShapeBase*>& shapes, std::uint64_t listVersion) {
    listVersion_ = listVersion;
    shapes_.assign(shapes.begin(), shapes.end());
    entries_.assign(shapes_.size(), Entry{});
    wideSlots_.clear();
    mark_.assign(shapes_.size(), 0);
    queryStamp_ = 0;

    // The grid spans the bounded shapes, with cells about as large as the
    // space each shape has on average, so a point meets a handful of shapes.
    ShapeBounds all;
    std::size_t bounded = 0;
    for (std::size_t i = 0; i < shapes_.size(); ++i) {
        ShapeBounds b;
        if (!shapes_[i] || !boundsOf_(*shapes_[i], b))
            continue;
        entries_[i].bounds = b;
        entries_[i].wide = false;
        if (bounded++ == 0)
            all = b;
        all.minX = std::min(all.minX, b.minX);
        all.minY = std::min(all.minY, b.minY);
        all.maxX = std::max(all.maxX, b.maxX);
        all.maxY = std::max(all.maxY, b.maxY);
    }
    originX_ = all.minX;
    originY_ = all.minY;
    const double width = std::max(1.0, static_cast<double>(all.maxX) - all.minX);
    const double height = std::max(1.0, static_cast<double>(all.maxY) - all.minY);
    const double wanted = std::max<double>(1.0, static_cast<double>(bounded));
    cellSize_ = std::max(16.0, std::sqrt(width * height / wanted) * 1.5);
    cols_ = static_cast<int>(std::clamp(std::ceil(width / cellSize_), 1.0, 4096.0));
    rows_ = static_cast<int>(std::clamp(std::ceil(height / cellSize_), 1.0, 4096.0));
    // Very long, thin pages get longer cells rather than millions of them.
    cellSize_ = std::max(width / cols_, height / rows_);
    cols_ = static_cast<int>(std::clamp(std::ceil(width / cellSize_), 1.0, 4096.0));
    rows_ = static_cast<int>(std::clamp(std::ceil(height / cellSize_), 1.0, 4096.0));
    cells_.assign(static_cast<std::size_t>(cols_) * static_cast<std::size_t>(rows_), {});

    for (std::size_t i = 0; i < shapes_.size(); ++i) {
        if (shapes_[i])
            holdSlot(*shapes_[i], static_cast<int>(i));
        if (entries_[i].wide)
            wideSlots_.push_back(static_cast<std::uint32_t>(i));
        else
            place(static_cast<std::uint32_t>(i));
    }
    seenEpoch_ = geometryEpoch();
    built_ = true;
}

void ShapeGrid::place(std::uint32_t slot) {
    Entry& e = entries_[slot];
    e.cx0 = cellX(e.bounds.minX);
    e.cx1 = cellX(e.bounds.maxX);
    e.cy0 = cellY(e.bounds.minY);
    e.cy1 = cellY(e.bounds.maxY);
    const long count = static_cast<long>(e.cx1 - e.cx0 + 1) * (e.cy1 - e.cy0 + 1);
    if (count > kMostCells) {
        e.wide = true;
        wideSlots_.push_back(slot);
        return;
    }
    for (int y = e.cy0; y <= e.cy1; ++y)
        for (int x = e.cx0; x <= e.cx1; ++x)
            cells_[static_cast<std::size_t>(y) * cols_ + x].push_back(slot);
}

void ShapeGrid::unplace(std::uint32_t slot) {
    Entry& e = entries_[slot];
    auto drop = [slot](std::vector<std::uint32_t>& v) {
        auto it = std::find(v.begin(), v.end(), slot);
        if (it != v.end()) {
            *it = v.back();
            v.pop_back();
        }
    };
    if (e.wide) {
        drop(wideSlots_);
        return;
    }
    for (int y = e.cy0; y <= e.cy1; ++y)
        for (int x = e.cx0; x <= e.cx1; ++x)
            drop(cells_[static_cast<std::size_t>(y) * cols_ + x]);
}

int ShapeGrid::slotOf(const ZN_ShapeBase* s) const {
    const int slot = s ? s->gridSlot : -1;
    if (slot < 0 || static_cast<std::size_t>(slot) >= shapes_.size() || shapes_[slot] != s)
        return -1;
    return slot;
}

bool ShapeGrid::catchUp() {
    if (!built_)
        return false;
    const std::uint64_t now = geometryEpoch();
    if (seenEpoch_ == now)
        return true;
    const LoggedChanges log = changesSince(seenEpoch_);
    if (!log.complete)
        return false;
    // No shape has been destroyed since the log's base, so every entry still
    // points at a live shape; those of other pages do not hold our slots.
    for (ZN_ShapeBase* const* it = log.begin; it != log.end; ++it) {
        ZN_ShapeBase* s = *it;
        int slot = slotOf(s);
        // A label is not in the list, but its host draws it.
        if (slot < 0 && typeid(*s) == typeid(ZN_SText))
            slot = slotOf(static_cast<const ZN_SText*>(s)->getHost());
        if (slot < 0)
            continue;
        const auto at = static_cast<std::uint32_t>(slot);
        holdSlot(*shapes_[at], slot);
        unplace(at);
        Entry& e = entries_[at];
        e.wide = !boundsOf_(*shapes_[at], e.bounds);
        if (e.wide)
            wideSlots_.push_back(at);
        else
            place(at);
    }
    seenEpoch_ = now;
    return true;
}

void ShapeGrid::query(float minX, float minY, float maxX, float maxY, float grow,
                      std::vector<std::uint32_t>& out) const {
    out.clear();
    if (++queryStamp_ == 0) {
        std::fill(mark_.begin(), mark_.end(), 0);
        queryStamp_ = 1;
    }
    double x0 = static_cast<double>(minX) - grow, x1 = static_cast<double>(maxX) + grow;
    double y0 = static_cast<double>(minY) - grow, y1 = static_cast<double>(maxY) + grow;
    if (std::isnan(x0) || std::isnan(x1) || std::isnan(y0) || std::isnan(y1)) {
        // Nothing can be ruled out; every slot is a candidate.
        x0 = y0 = -HUGE_VAL;
        x1 = y1 = HUGE_VAL;
    }
    auto take = [&](std::uint32_t slot) {
        if (mark_[slot] == queryStamp_)
            return;
        mark_[slot] = queryStamp_;
        const Entry& e = entries_[slot];
        if (!e.wide &&
            (e.bounds.maxX < x0 || e.bounds.minX > x1 || e.bounds.maxY < y0 || e.bounds.minY > y1))
            return;
        out.push_back(slot);
    };
    for (std::uint32_t slot : wideSlots_)
        take(slot);
    const int cx0 = cellX(x0), cx1 = cellX(x1), cy0 = cellY(y0), cy1 = cellY(y1);
    const std::size_t cellsMet =
        static_cast<std::size_t>(cx1 - cx0 + 1) * static_cast<std::size_t>(cy1 - cy0 + 1);
    if (cellsMet * 2 > cells_.size()) {
        // Most of the page: every slot in order, without sorting.
        out.clear();
        for (std::uint32_t slot = 0; slot < entries_.size(); ++slot) {
            const Entry& e = entries_[slot];
            if (e.wide || !(e.bounds.maxX < x0 || e.bounds.minX > x1 || e.bounds.maxY < y0 ||
                            e.bounds.minY > y1))
                out.push_back(slot);
        }
        return;
    }
    for (int y = cy0; y <= cy1; ++y)
        for (int x = cx0; x <= cx1; ++x)
            for (std::uint32_t slot : cells_[static_cast<std::size_t>(y) * cols_ + x])
                take(slot);
    std::sort(out.begin(), out.end());
}

} // namespace detail
