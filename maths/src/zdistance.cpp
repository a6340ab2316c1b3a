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
