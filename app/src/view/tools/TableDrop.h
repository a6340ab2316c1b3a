#pragma once
// Dropping a free text on a fill-in table: the text takes the cell under the
// pointer, or goes back where it was when the cell refuses it. It keeps the
// place the text had when its drag began.

#include <rulmek/rulmek.h>

class ToolContext;
class ZN_ShapeBase;

class TableDrop {
public:
    explicit TableDrop(ToolContext& context) : context_(context) {}

    // A drag of the free text `text` begins.
    void noteStart(const ZN_ShapeBase& text);
    // The dragged text (the shape under the pointer) is dropped at `p`.
    void dropOnTable(ZVector2 p);

private:
    ToolContext& context_;
    ZVector2 dragStartCorner1{0.0f, 0.0f};
    ZVector2 dragStartCorner2{0.0f, 0.0f};
};
