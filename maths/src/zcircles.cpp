#include <cmath>

#include "rulmek/zgeometry.h"
#include "zgeometrydetail.h"

using namespace rulmek_detail;

namespace {

// Intersections of a linear primitive with a circle, in order along the direction.
int intersectLinearCircle(const ZSegment2& s, Reach reach, const ZCircle2& c,
                          Z2DObjIntersect* rec) {
    if (rec != nullptr) {
        rec->clear();
    }
    // |origin + t * direction - centre|^2 = radius^2, solved in double for t.
    const ZVector2 diff = s.origin - c.centre;
    const double a = s.direction.SquaredLength();
    if (a == 0.0) {
        return 0;
    }
    const double halfB = s.direction.Dot(diff);
    const double cc =
        static_cast<double>(diff.SquaredLength()) - static_cast<double>(c.radius) * c.radius;
    const double disc = halfB * halfB - a * cc;
    if (disc < 0.0) {
        return 0;
    }
    const double root = std::sqrt(disc);
    const double ts[2] = {(-halfB - root) / a, (-halfB + root) / a};
    const int candidates = disc == 0.0 ? 1 : 2;
    int found = 0;
    for (int i = 0; i < candidates; ++i) {
        const float t = static_cast<float>(ts[i]);
        if (onPrimitive(reach, t, s.extent)) {
            addPoint(rec, s.origin + s.direction * t);
            ++found;
        }
    }
    return found;
}

} // namespace

extern "C" {

int IntrSegment2Circle2(const ZSegment2& seg, const ZCircle2& c, Z2DObjIntersect* rec) {
    return intersectLinearCircle(seg, Reach::Segment, c, rec);
}

int IntrRay2Circle2(const ZSegment2& ray, const ZCircle2& c, Z2DObjIntersect* rec) {
    return intersectLinearCircle(ray, Reach::Ray, c, rec);
}

int IntrLine2Circle2(const ZSegment2& line, const ZCircle2& c, Z2DObjIntersect* rec) {
    return intersectLinearCircle(line, Reach::Line, c, rec);
}

// Concentric circles (equal ones included) report no point.
int IntrCircle2Circle2(const ZCircle2& c0, const ZCircle2& c1, Z2DObjIntersect* rec) {
    if (rec != nullptr) {
        rec->clear();
    }
    const ZVector2 u = c1.centre - c0.centre;
    const double dist = u.Length();
    const double r0 = std::fabs(c0.radius);
    const double r1 = std::fabs(c1.radius);
    if (dist == 0.0 || dist > r0 + r1 || dist < std::fabs(r0 - r1)) {
        return 0;
    }
    // a: distance from c0 along u to the chord; h: half the chord.
    const double a = (dist * dist + r0 * r0 - r1 * r1) / (2.0 * dist);
    const double h2 = r0 * r0 - a * a;
    const ZVector2 unit = u / static_cast<float>(dist);
    const ZVector2 mid = c0.centre + unit * static_cast<float>(a);
    if (h2 <= 0.0) {
        addPoint(rec, mid);
        return 1;
    }
    const ZVector2 offset = unit.Perp() * static_cast<float>(std::sqrt(h2));
    addPoint(rec, mid + offset);
    addPoint(rec, mid - offset);
    return 2;
}

int IntrLine2Arc2(const ZSegment2& line, const ZArc2& arc, Z2DObjIntersect* rec) {
    Z2DObjIntersect onCircle;
    intersectLinearCircle(line, Reach::Line, ZCircle2(arc.centre, arc.radius), &onCircle);
    if (rec != nullptr) {
        rec->clear();
    }
    int found = 0;
    for (const ZVector2& p : onCircle.firstPoints) {
        if (arc.Contains(p)) {
            addPoint(rec, p);
            ++found;
        }
    }
    return found;
}

} // extern "C"
