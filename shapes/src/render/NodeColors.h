#pragma once
// Colours that every node shape's drawing shares.

#include <GL/gl.h>
#include <rulmek/rulmek.h>

namespace detail {

// Handles of a selected node.
inline const ZVector3 kHandleSelectColor{0.5f, 0.5f, 0.5f};
// Handles of a node under a connector end that would attach to it.
inline const ZVector3 kHandleTargetColor{0.0f, 1.0f, 0.0f};

inline void setColor(const ZVector3& c) { glColor4f(c.X(), c.Y(), c.Z(), 1.0f); }

} // namespace detail
