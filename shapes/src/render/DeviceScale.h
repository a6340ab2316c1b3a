#pragma once
// How many device pixels a canvas unit covers in the frame being drawn: the
// view zoom times the device pixel ratio of the window (2 on a desktop scaled
// to 200 %). Each frame publishes its ratio as it publishes its zoom; GL's
// line widths and bitmaps are in device pixels and are sized by it.

#include <rulmek/rulmek.h>

namespace detail {

void setDevicePixelRatio(float ratio);
float devicePixelRatio();

// Puts GL in the state every frame of a page draws in: no textures, lights,
// culling or depth test, the projection then the zoom pushed on the matrix
// (popped by the caller), smooth strokes and blending; publishes the zoom and
// the device pixel ratio.
void beginFrameState(const float* projection, float zoom, float pixelRatio);

inline float deviceScale() {
    return getViewZoom() * devicePixelRatio();
}

} // namespace detail
