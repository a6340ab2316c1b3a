// Geometry of the box variants: hit tests, rubber-band tests and attachment
// points. Their drawing lives in ZN_N*Render.cpp.

#include <sarvik/ZN_NRectVariants.h>

#include <algorithm>
#include <cmath>

namespace {

// Handles are tested only where the box test looks for them: on selected
// shapes, or when the caller passes no hit record (connection targets).
bool handlesTested(bool selected, const ZObj2DInPoint* info) {
    return selected || info == nullptr;
}

bool nearPoint(const ZVector2& p, const ZVector2& pos, float tolerance) {
    return std::fabs(p.X() - pos.X()) < tolerance && std::fabs(p.Y() - pos.Y()) < tolerance;
}

// Inside (or on) the convex outline v0..v3 when no directed side has the point
// on its outer side. An outline without area encloses nothing: otherwise a
// zero-sized shape would answer for every point of the page.
bool insideQuad(const ZVector2 v[4], const ZVector2& pos, const ZVector2& a, const ZVector2& b) {
    if (!(b.X() > a.X()) || !(b.Y() > a.Y()))
        return false;
    for (int i = 0; i < 4; ++i) {
        const ZVector2& s = v[i];
        const ZVector2 side = v[(i + 1) % 4] - s;
        const ZVector2 normal(-side.Y(), side.X());
        if ((pos - s).Dot(normal) < 0.0f)
            return false;
    }
    return true;
}

// The rubber band catches the outline when one of its vertices lies strictly
// inside the band, or when one of its sides crosses a side of the band.
bool quadMeetsRect(const ZVector2 v[4], const ZVector2& min, const ZVector2& max) {
    for (int i = 0; i < 4; ++i) {
        if (min.X() < v[i].X() && v[i].X() < max.X() && min.Y() < v[i].Y() && v[i].Y() < max.Y())
            return true;
    }
    const ZVector2 band[4] = {min, ZVector2(min.X(), max.Y()), max, ZVector2(max.X(), min.Y())};
    for (int i = 0; i < 4; ++i) {
        const ZSegment2 side(v[i], v[(i + 1) % 4]);
        for (int k = 0; k < 4; ++k) {
            const ZSegment2 edge(band[k], band[(k + 1) % 4]);
            if (IntrSegment2Segment2(side, edge, nullptr) == 1)
                return true;
        }
    }
    return false;
}

// Where the segment from `centre` to `towards` first crosses one of the sides
// v[i] -> v[i+1] (in the order given); `towards` when it crosses none.
ZVector2 firstCrossing(const ZVector2 v[4], const ZVector2& centre, const ZVector2& towards) {
    const ZSegment2 ray(centre, towards);
    for (int i = 0; i < 4; ++i) {
        Z2DObjIntersect rec;
        if (IntrSegment2Segment2(ray, ZSegment2(v[i], v[(i + 1) % 4]), &rec) == 1 &&
            !rec.firstPoints.empty())
            return rec.firstPoints.front();
    }
    return towards;
}

} // namespace

// --- rounded rectangle ---

float ZN_NRoundRect::cornerCut(const ZVector2& a, const ZVector2& b) {
    return std::min(b.X() - a.X(), b.Y() - a.Y()) * 0.15f;
}

ZN_ShapeBase* ZN_NRoundRect::clone() const {
    auto* copy = new ZN_NRoundRect();
    copyBoxTo(*copy);
    return copy;
}

// --- ellipse ---

ZVector2 ZN_NEllipse::getBoderPos(int index, const ZVector2& towards) {
    if (index != 9)
        return ZN_NRect::getBoderPos(index, towards);
    const ZVector2 centre = (point1 + point2) * 0.5f;
    const float rx = (point2.X() - point1.X()) * 0.5f;
    const float ry = (point2.Y() - point1.Y()) * 0.5f;
    ZVector2 u = towards - centre;
    u.Normalize();
    // Rounding can push the cosine a hair past 1, where acos has no answer.
    float phi = std::acos(std::clamp(u.X(), -1.0f, 1.0f));
    if (u.Y() < 0.0f)
        phi = -phi;
    return centre + ZVector2(rx * std::cos(phi), ry * std::sin(phi));
}

ZN_ShapeBase* ZN_NEllipse::clone() const {
    auto* copy = new ZN_NEllipse();
    copyBoxTo(*copy);
    return copy;
}

// --- rhombus ---

void ZN_NRhombus::tips(const ZVector2& a, const ZVector2& b, ZVector2 out[4]) {
    const ZVector2 m = (a + b) * 0.5f;
    out[0] = ZVector2(m.X(), a.Y());
    out[1] = ZVector2(b.X(), m.Y());
    out[2] = ZVector2(m.X(), b.Y());
    out[3] = ZVector2(a.X(), m.Y());
}

int ZN_NRhombus::InPoint(const ZVector2& pos, ZObj2DInPoint* info, float tolerance) const {
    const ZVector2 offset = getScallPosition();
    const ZVector2 a = point1 - offset;
    const ZVector2 b = point2 - offset;
    if (handlesTested(selected, info)) {
        for (int code = 1; code <= 8; ++code) {
            if (nearPoint(handlePos(code, a, b), pos, tolerance))
                return code;
        }
    }
    ZVector2 v[4];
    tips(a, b, v);
    return insideQuad(v, pos, a, b) ? 9 : 0;
}

bool ZN_NRhombus::IntersectRect(const ZVector2& min, const ZVector2& max) const {
    const ZVector2 offset = getScallPosition();
    ZVector2 v[4];
    tips(point1 - offset, point2 - offset, v);
    return quadMeetsRect(v, min, max);
}

ZVector2 ZN_NRhombus::getBoderPos(int index, const ZVector2& towards) {
    if (index >= 1 && index <= 8)
        return handlePos(index, point1, point2);
    if (index != 9)
        return towards;
    ZVector2 t[4];
    tips(point1, point2, t);
    // Sides in the order left-bottom, bottom-right, right-top, top-left.
    const ZVector2 order[4] = {t[3], t[2], t[1], t[0]};
    return firstCrossing(order, (point1 + point2) * 0.5f, towards);
}

ZN_ShapeBase* ZN_NRhombus::clone() const {
    auto* copy = new ZN_NRhombus();
    copyBoxTo(*copy);
    return copy;
}

// --- parallelogram ---

void ZN_NParal::vertices(const ZVector2& a, const ZVector2& b, ZVector2 out[4]) {
    const float s = (b.Y() - a.Y()) * 0.5f;
    out[0] = ZVector2(a.X() + s, a.Y());
    out[1] = ZVector2(b.X(), a.Y());
    out[2] = ZVector2(b.X() - s, b.Y());
    out[3] = ZVector2(a.X(), b.Y());
}

ZVector2 ZN_NParal::paralHandlePos(int code, const ZVector2& a, const ZVector2& b) {
    const float s = (b.Y() - a.Y()) * 0.5f;
    const float my = (a.Y() + b.Y()) * 0.5f;
    switch (code) {
    case 1: return ZVector2(a.X() + s, a.Y());
    case 2: return ZVector2(a.X() + s * 0.5f, my);
    case 3: return ZVector2(a.X(), b.Y());
    case 4: return ZVector2((a.X() + b.X() - s) * 0.5f, b.Y());
    case 5: return ZVector2(b.X() - s, b.Y());
    case 6: return ZVector2(b.X() - s * 0.5f, my);
    case 7: return ZVector2(b.X(), a.Y());
    case 8: return ZVector2((a.X() + b.X() + s) * 0.5f, a.Y());
    default: return ZVector2(0.0f, 0.0f);
    }
}

int ZN_NParal::InPoint(const ZVector2& pos, ZObj2DInPoint* info, float tolerance) const {
    const ZVector2 offset = getScallPosition();
    const ZVector2 a = point1 - offset;
    const ZVector2 b = point2 - offset;
    if (handlesTested(selected, info)) {
        for (int code = 1; code <= 8; ++code) {
            if (nearPoint(paralHandlePos(code, a, b), pos, tolerance))
                return code;
        }
    }
    ZVector2 v[4];
    vertices(a, b, v);
    return insideQuad(v, pos, a, b) ? 9 : 0;
}

bool ZN_NParal::IntersectRect(const ZVector2& min, const ZVector2& max) const {
    const ZVector2 offset = getScallPosition();
    ZVector2 v[4];
    vertices(point1 - offset, point2 - offset, v);
    return quadMeetsRect(v, min, max);
}

ZVector2 ZN_NParal::getBoderPos(int index, const ZVector2& towards) {
    if (index >= 1 && index <= 8)
        return paralHandlePos(index, point1, point2);
    if (index != 9)
        return towards;
    ZVector2 v[4];
    vertices(point1, point2, v);
    return firstCrossing(v, (point1 + point2) * 0.5f, towards);
}

ZN_ShapeBase* ZN_NParal::clone() const {
    auto* copy = new ZN_NParal();
    copyBoxTo(*copy);
    return copy;
}
