#pragma once
// Line widths of shapes are canvas units like their positions: a zoomed view
// draws them zoomed (and a screen with more device pixels than window pixels
// widened to match), but never thinner than one pixel. At 100 % the width is
// passed through untouched. Every width change goes through lineWidth() so
// that a vector recording of the page (see ZDrawRecorder) learns the width of
// the lines that follow.

#include <rulmek/rulmek.h>
#include <sarvik/ZDrawRecorder.h>

#include "DeviceScale.h"

#include <GL/gl.h>

namespace detail {

inline GLfloat zoomedLineWidth(float width) {
    const float scale = deviceScale();
    if (scale == 1.0f)
        return width;
    const float zoomed = width * scale;
    return zoomed > 1.0f ? zoomed : 1.0f;
}

inline void lineWidth(float width) {
    glLineWidth(width);
    if (ZDrawRecorder* recorder = ZGetDrawRecorder())
        recorder->lineWidth(width);
}

// Lines one device pixel wide whatever the zoom, such as a point's ring.
inline void hairline(float coverage) {
    glLineWidth(1.0f);
    if (ZDrawRecorder* recorder = ZGetDrawRecorder())
        recorder->hairline(coverage);
}

} // namespace detail
