// The process-wide view offset (canvas coordinate shown at the window's top-left corner)
// and zoom, the canvas size store and a small random integer generator, all with C linkage.
#pragma once

#include "rulmek/zvector.h"

#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

extern "C" {

void setScallPosition(const ZVector2& offset);
ZVector2 getScallPosition();
// Screen pixels per canvas unit of the view being drawn, 1 until set. Drawing
// code reads it for what keeps a fixed size on screen (handles, text bitmaps).
void setViewZoom(float zoom);
float getViewZoom();
void setCanvsSize(float width, float height);
// Next value of a congruential sequence in low..high; updates *seed. Returns low when
// high < low.
int mrab1(int low, int high, int* seed);

} // extern "C"

#if defined(__clang__)
#pragma clang diagnostic pop
#endif
