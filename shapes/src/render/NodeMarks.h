#pragma once
// Drawing of the marks a box shows for its fields (ZN_NodeMarks.h).

class ZN_ShapeBase;

namespace detail {

// Draws the shape's note, link and marker marks, if it has any. The line
// width in force before is in force again afterwards.
void drawNodeMarks(const ZN_ShapeBase& shape);

} // namespace detail
