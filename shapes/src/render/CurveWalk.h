#pragma once
// The sampling of a connector's curved body, shared by its full drawing and
// the simplified one of a zoomed-out page, so that both run through the same
// vertices.

#include <rulmek/rulmek.h>

#include <cstddef>

namespace detail {

// Walks the curve through the window positions p(0) .. p(n - 1): P[0], then
// for every span nine samples of the uniform Catmull-Rom curve and the span's
// end point. The ends are doubled as their own outer control points, so the
// curve passes through every point. Returns the last sample of the last span,
// where the arrow head comes from. Nothing is stored: a page redraws every
// line on every frame.
template <class Point, class Emit> ZVector2 walkCurve(std::size_t n, Point p, Emit emit) {
    emit(p(0));
    ZVector2 lastSample = p(0);
    for (std::size_t k = 0; k + 1 < n; ++k) {
        const ZVector2 q0 = p(k == 0 ? 0 : k - 1);
        const ZVector2 q1 = p(k);
        const ZVector2 q2 = p(k + 1);
        const ZVector2 q3 = p(k + 2 < n ? k + 2 : n - 1);
        for (int j = 1; j <= 9; ++j) {
            const float u = 0.1f * static_cast<float>(j);
            const float u2 = u * u;
            const float u3 = u2 * u;
            lastSample = (q0 * (-u3 + 2.0f * u2 - u) + q1 * (3.0f * u3 - 5.0f * u2 + 2.0f) +
                          q2 * (-3.0f * u3 + 4.0f * u2 + u) + q3 * (u3 - u2)) *
                         0.5f;
            emit(lastSample);
        }
        emit(q2);
    }
    return lastSample;
}

} // namespace detail
