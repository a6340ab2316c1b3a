// The process-wide view offset (canvas coordinate shown at the window's top-left corner),
// the canvas size store and a small random integer generator, all with C linkage.
#pragma once

#include "rulmek/zvector.h"

#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

extern "C" {

void setScallPosition(const ZVector2& offset);
ZVector2 getScallPosition();
void setCanvsSize(float width, float height);
// Next value of a congruential sequence in low..high; updates *seed. Returns low when
// high < low.
int mrab1(int low, int high, int* seed);

} // extern "C"

#if defined(__clang__)
#pragma clang diagnostic pop
#endif
