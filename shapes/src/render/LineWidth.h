#pragma once
// Line widths of shapes are canvas units like their positions: a zoomed view
// draws them zoomed, but never thinner than one pixel. At 100 % the width is
// passed through untouched.

#include <rulmek/rulmek.h>

#include <GL/gl.h>

namespace detail {

inline GLfloat zoomedLineWidth(float width) {
    const float zoom = getViewZoom();
    if (zoom == 1.0f)
        return width;
    const float zoomed = width * zoom;
    return zoomed > 1.0f ? zoomed : 1.0f;
}

} // namespace detail
