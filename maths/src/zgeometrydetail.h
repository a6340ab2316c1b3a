// Internals shared by the planar query sources; not installed.
#pragma once

#include "rulmek/zgeometry.h"

namespace rulmek_detail {

// How far along its direction a linear primitive reaches.
enum class Reach { Line, Ray, Segment };

// Whether parameter t lies on a primitive of the given reach and extent.
inline bool onPrimitive(Reach reach, float t, float extent) {
    switch (reach) {
    case Reach::Line:
        return true;
    case Reach::Ray:
        return t >= 0.0f;
    case Reach::Segment:
        return t >= 0.0f && t <= extent;
    }
    return false;
}

inline void addPoint(Z2DObjIntersect* rec, const ZVector2& p) {
    if (rec == nullptr) {
        return;
    }
    rec->firstPoints.push_back(p);
    rec->secondPoints.push_back(p);
    rec->count = static_cast<int>(rec->firstPoints.size());
}

// sin(1 degree): directions closer than this count as parallel.
float parallelEpsilon();

} // namespace rulmek_detail
