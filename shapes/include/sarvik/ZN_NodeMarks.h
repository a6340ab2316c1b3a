#pragma once
// The marks a box shows for its fields (ZN_NodeFields.h): a note mark at the
// box's top-right corner, sitting on its top edge, a link mark to the left of
// it, and the markers in a row just before the label, vertically centred on
// it. Boxes make room for the markers as they do for their label (see
// ZN_NRect::resetLabelPosition), so whoever changes a box's markers calls
// resetLabelPosition() afterwards; the corner marks need no room.
//
// Positions are canvas coordinates; the hit test takes a window point as
// InPoint does.

#include <cstddef>
#include <vector>

#include <rulmek/rulmek.h>

class ZN_ShapeBase;

enum class ZN_MarkKind { None, Note, Link, Marker };

struct ZN_Mark {
    ZN_MarkKind kind = ZN_MarkKind::None;
    int marker = -1; // for a marker, its index in the node's markers
    ZVector2 min{0.0f, 0.0f};
    ZVector2 max{0.0f, 0.0f};
};

// Side of a corner mark and of a marker, and the gaps around them.
constexpr float kZN_CornerMarkSize = 12.0f;
constexpr float kZN_MarkerSize = 14.0f;
constexpr float kZN_MarkerGap = 2.0f;      // between two markers
constexpr float kZN_MarkerLabelGap = 4.0f; // between the last marker and the label

// Whether the shape draws marks: a box (a rectangle or one of its variants)
// whose fields hold a note, a link or markers.
bool ZN_HasMarks(const ZN_ShapeBase& shape);

// The room `count` markers take before a label, their gap to it included;
// 0 for none.
float ZN_MarkerStripWidth(std::size_t count);

// The shape's marks in drawing order: markers first, then the link and the
// note mark. Empty when it draws none.
std::vector<ZN_Mark> ZN_NodeMarks(const ZN_ShapeBase& shape);

// The mark under the window point `pos`, or one of kind None. Hidden shapes
// have no marks to hit.
ZN_Mark ZN_MarkAt(const ZN_ShapeBase& shape, const ZVector2& pos);
