#include <cmath>

#include "rulmek/zgeometry.h"

ZSegment2::ZSegment2(const ZVector2& start, const ZVector2& end) {
    setValue(start, end);
}

void ZSegment2::setValue(const ZVector2& start, const ZVector2& end) {
    origin = start;
    direction = end - start;
    extent = direction.Length();
    direction.Normalize();
}

ZCircle2::ZCircle2(const ZVector2& c, float r) : centre(c), radius(r) {}

ZCircle2::ZCircle2(const ZVector2& c, const ZVector2& pointOnCircle) {
    setValue(c, pointOnCircle);
}

void ZCircle2::setValue(const ZVector2& c, const ZVector2& pointOnCircle) {
    centre = c;
    radius = (pointOnCircle - c).Length();
}

ZArc2::ZArc2(const ZVector2& c, float r, const ZVector2& e0, const ZVector2& e1)
    : centre(c), radius(r), end0(e0), end1(e1) {}

bool ZArc2::Contains(const ZVector2& p) const {
    const float cross =
        (p.X() - end0.X()) * (end1.Y() - end0.Y()) - (end1.X() - end0.X()) * (p.Y() - end0.Y());
    return cross >= 0.0f;
}

ZRectangle2::ZRectangle2(const ZVector2& c, const ZVector2& a0, const ZVector2& a1, float e0,
                         float e1)
    : centre(c), axis0(a0), axis1(a1), extent0(e0), extent1(e1) {}

ZEllipse2::ZEllipse2(const ZVector2& c, const ZVector2& a0, const ZVector2& a1, float e0, float e1)
    : centre(c), axis0(a0), axis1(a1), extent0(e0), extent1(e1) {}

ZTriangle2::ZTriangle2(const ZVector2& v0, const ZVector2& v1, const ZVector2& v2)
    : vertex{v0, v1, v2} {}

ZBreakLine2::ZBreakLine2(const ZVector2* pts, int count) {
    if (pts != nullptr && count > 0) {
        points.assign(pts, pts + count);
    }
}

ZObj2DInPoint::ZObj2DInPoint()
    : parameter(0.0f), closest(0.0f, 0.0f), secondPoint(0.0f, 0.0f), primitiveOrigin(0.0f, 0.0f) {}

ZObj2DInPoint::~ZObj2DInPoint() = default;

ZObjInPoint::ZObjInPoint()
    : parameter(0.0f), closest(ZVector3::ZERO), secondPoint(ZVector3::ZERO),
      primitiveOrigin(ZVector3::ZERO) {}

ZObjInPoint::~ZObjInPoint() = default;

Z2DObjIntersect::Z2DObjIntersect() : count(0), rayTerm(0.0f) {}

Z2DObjIntersect::~Z2DObjIntersect() = default;

void Z2DObjIntersect::clear() {
    count = 0;
    firstPoints.clear();
    secondPoints.clear();
}

Z3DObjIntersect::Z3DObjIntersect() : count(0) {}

Z3DObjIntersect::~Z3DObjIntersect() = default;

void Z3DObjIntersect::clear() {
    count = 0;
    firstPoints.clear();
    secondPoints.clear();
}
