#pragma once
// Every width change goes through here so that a vector recording of the page
// (see ZDrawRecorder) learns the width of the lines that follow.

#include <sarvik/ZDrawRecorder.h>

#include <GL/gl.h>

namespace detail {

inline void lineWidth(float width) {
    glLineWidth(width);
    if (ZDrawRecorder* recorder = ZGetDrawRecorder())
        recorder->lineWidth(width);
}

} // namespace detail
