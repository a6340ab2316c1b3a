#include <cmath>
#include <numbers>

#include "rulmek/zgeometry.h"
#include "zgeometrydetail.h"

using namespace rulmek_detail;

namespace {

// Computed when the library loads.
const float g_sinOneDegree = static_cast<float>(std::sin(std::numbers::pi / 180.0));

// Intersection of two linear primitives. Directions within about one degree count as
// parallel; parallel primitives on one line give 2 with the first origin, whether or not
// they overlap.
int intersectLinear(const ZSegment2& s0, Reach reach0, const ZSegment2& s1, Reach reach1,
                    Z2DObjIntersect* rec, float* term0) {
    if (rec != nullptr) {
        rec->clear();
    }
    const ZVector2 d = s1.origin - s0.origin;
    const ZVector2& d0 = s0.direction;
    const ZVector2& d1 = s1.direction;
    const float k = d0.X() * d1.Y() - d0.Y() * d1.X();
    const float eps = g_sinOneDegree;
    const float limit = eps * eps * d0.SquaredLength() * d1.SquaredLength();
    if (k * k > limit) {
        const float a = (d1.Y() * d.X() - d1.X() * d.Y()) / k;
        const float b = (d.X() * d0.Y() - d.Y() * d0.X()) / k;
        if (!onPrimitive(reach0, a, s0.extent) || !onPrimitive(reach1, b, s1.extent)) {
            return 0;
        }
        addPoint(rec, s0.origin + d0 * a);
        if (term0 != nullptr) {
            *term0 = a;
        }
        return 1;
    }
    const float m = d0.Y() * d.X() - d0.X() * d.Y();
    if (m * m > limit) {
        return 0;
    }
    addPoint(rec, s0.origin);
    return 2;
}

} // namespace

float rulmek_detail::parallelEpsilon() {
    return g_sinOneDegree;
}

extern "C" {

int IntrSegment2Segment2(const ZSegment2& s0, const ZSegment2& s1, Z2DObjIntersect* rec) {
    return intersectLinear(s0, Reach::Segment, s1, Reach::Segment, rec, nullptr);
}

int IntrLine2Line2(const ZSegment2& line0, const ZSegment2& line1, Z2DObjIntersect* rec) {
    const int found = intersectLinear(line0, Reach::Line, line1, Reach::Line, rec, nullptr);
    return found == 2 ? -1 : found;
}

int IntrLine2Ray2(const ZSegment2& line, const ZSegment2& ray, Z2DObjIntersect* rec) {
    return intersectLinear(line, Reach::Line, ray, Reach::Ray, rec, nullptr);
}

int IntrLine2Segment2(const ZSegment2& line, const ZSegment2& seg, Z2DObjIntersect* rec) {
    return intersectLinear(line, Reach::Line, seg, Reach::Segment, rec, nullptr);
}

int IntrRay2Ray2(const ZSegment2& ray0, const ZSegment2& ray1, Z2DObjIntersect* rec) {
    return intersectLinear(ray0, Reach::Ray, ray1, Reach::Ray, rec, nullptr);
}

int IntrRay2Segment2(const ZSegment2& ray, const ZSegment2& seg, Z2DObjIntersect* rec) {
    float term = 0.0f;
    const int found = intersectLinear(ray, Reach::Ray, seg, Reach::Segment, rec, &term);
    if (found == 1 && rec != nullptr) {
        rec->rayTerm = term;
    }
    return found;
}

} // extern "C"
