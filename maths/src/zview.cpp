#include "rulmek/zview.h"

namespace {

// One view offset per process, shared by every document window and every shape.
ZVector2 g_scrollPosition(0.0f, 0.0f);
float g_viewZoom = 1.0f;
float g_canvasWidth = 0.0f;
float g_canvasHeight = 0.0f;

} // namespace

extern "C" {

void setScallPosition(const ZVector2& offset) {
    g_scrollPosition = offset;
}

ZVector2 getScallPosition() {
    return g_scrollPosition;
}

void setViewZoom(float zoom) {
    // A zoom that is not a positive finite number would turn every size
    // derived from it into infinity or NaN; such a request changes nothing.
    if (zoom > 0.0f && zoom < 1.0e6f)
        g_viewZoom = zoom;
}

float getViewZoom() {
    return g_viewZoom;
}

void setCanvsSize(float width, float height) {
    g_canvasWidth = width;
    g_canvasHeight = height;
}

int mrab1(int low, int high, int* seed) {
    // With high < low no value could ever be accepted; give low rather than spin forever.
    if (high < low) {
        return low;
    }
    const long long n = static_cast<long long>(high) - low + 1;
    long long c = 2;
    while (c < n) {
        c *= 2;
    }
    const long long m = 4 * c;
    long long d = *seed;
    long long v = 0;
    do {
        d = (5 * d) % m;
        v = low + d / 4;
    } while (v > high);
    *seed = static_cast<int>(d);
    return static_cast<int>(v);
}

} // extern "C"
