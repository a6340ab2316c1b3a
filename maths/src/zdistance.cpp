#include <algorithm>
#include <cmath>

#include "rulmek/zgeometry.h"
#include "zgeometrydetail.h"
#include "zmathdetail.h"

using namespace rulmek_detail;

namespace {

// Closest point of a linear primitive to p; t is the unclamped projection onto the direction.
float distToLinear(const ZVector2& p, const ZSegment2& s, Reach reach, ZObj2DInPoint* rec) {
    const float t = s.direction.Dot(p - s.origin);
    float along = t;
    if (reach != Reach::Line && t <= 0.0f) {
        along = 0.0f;
    } else if (reach == Reach::Segment && t >= s.extent) {
        along = s.extent;
    }
    const ZVector2 closest = (along == 0.0f) ? s.origin : s.origin + s.direction * along;
    if (rec != nullptr) {
        rec->parameter = t / s.extent;
        rec->closest = closest;
        rec->primitiveOrigin = s.origin;
    }
    return (closest - p).Length();
}

} // namespace

extern "C" {

float DistPoint2Segment2(const ZVector2& p, const ZSegment2& s, ZObj2DInPoint* rec) {
    return distToLinear(p, s, Reach::Segment, rec);
}

float DistPoint2Line2(const ZVector2& p, const ZSegment2& line, ZObj2DInPoint* rec) {
    return distToLinear(p, line, Reach::Line, rec);
}

float DistPoint2Ray2(const ZVector2& p, const ZSegment2& ray, ZObj2DInPoint* rec) {
    return distToLinear(p, ray, Reach::Ray, rec);
}

float DistPoint2BreakLine2(const ZVector2& p, const ZBreakLine2& line, ZObj2DInPoint* rec) {
    const std::vector<ZVector2>& pts = line.points;
    if (pts.size() < 2) {
        return -1.0f;
    }
    float best = MAX_REAL;
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
        ZObj2DInPoint segRec;
        const float d = DistPoint2Segment2(p, ZSegment2(pts[i], pts[i + 1]), &segRec);
        // Strictly smaller, so that on ties the first segment wins.
        if (d < best) {
            best = d;
            if (rec != nullptr) {
                rec->parameter = segRec.parameter;
                rec->closest = segRec.closest;
                rec->primitiveOrigin = segRec.primitiveOrigin;
            }
        }
    }
    return best;
}

} // extern "C"

namespace {

// Whether two linear primitives cross at a single point (exactly parallel ones never do).
bool crosses(const ZSegment2& s0, Reach reach0, const ZSegment2& s1, Reach reach1) {
    const ZVector2& d0 = s0.direction;
    const ZVector2& d1 = s1.direction;
    const float k = d0.X() * d1.Y() - d0.Y() * d1.X();
    if (k == 0.0f) {
        return false;
    }
    const ZVector2 d = s1.origin - s0.origin;
    const float a = (d1.Y() * d.X() - d1.X() * d.Y()) / k;
    const float b = (d.X() * d0.Y() - d.Y() * d0.X()) / k;
    return onPrimitive(reach0, a, s0.extent) && onPrimitive(reach1, b, s1.extent);
}

float distPointTo(const ZVector2& p, const ZSegment2& s, Reach reach) {
    return distToLinear(p, s, reach, nullptr);
}

// Two convex linear pieces that do not cross are closest at an end point of one of them.
float distLinearPair(const ZSegment2& s0, Reach reach0, const ZSegment2& s1, Reach reach1) {
    if (crosses(s0, reach0, s1, reach1)) {
        return 0.0f;
    }
    float best = MAX_REAL;
    if (reach0 != Reach::Line) {
        best = std::min(best, distPointTo(s0.origin, s1, reach1));
    }
    if (reach0 == Reach::Segment) {
        best = std::min(best, distPointTo(s0.origin + s0.direction * s0.extent, s1, reach1));
    }
    if (reach1 != Reach::Line) {
        best = std::min(best, distPointTo(s1.origin, s0, reach0));
    }
    if (reach1 == Reach::Segment) {
        best = std::min(best, distPointTo(s1.origin + s1.direction * s1.extent, s0, reach0));
    }
    return best;
}

} // namespace

extern "C" {

float DistLine2Line2(const ZSegment2& line0, const ZSegment2& line1) {
    const float dot = line0.direction.Dot(line1.direction);
    if (std::fabs(1.0f - dot * dot) >= ZERO_TOLERANCE) {
        return 0.0f;
    }
    return distPointTo(line1.origin, line0, Reach::Line);
}

float DistLine2Ray2(const ZSegment2& line, const ZSegment2& ray) {
    return distLinearPair(line, Reach::Line, ray, Reach::Ray);
}

float DistLine2Segment2(const ZSegment2& line, const ZSegment2& seg) {
    return distLinearPair(line, Reach::Line, seg, Reach::Segment);
}

float DistRay2Ray2(const ZSegment2& ray0, const ZSegment2& ray1) {
    return distLinearPair(ray0, Reach::Ray, ray1, Reach::Ray);
}

float DistRay2Segment2(const ZSegment2& ray, const ZSegment2& seg) {
    return distLinearPair(ray, Reach::Ray, seg, Reach::Segment);
}

float DistSegment2Segment2(const ZSegment2& seg0, const ZSegment2& seg1) {
    return distLinearPair(seg0, Reach::Segment, seg1, Reach::Segment);
}

} // extern "C"
