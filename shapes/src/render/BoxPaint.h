#pragma once
// Drawing steps that the box-shaped nodes share: the picture, the fill modes
// over four corners, the underline, the handles and the radial fan.

#include <rulmek/rulmek.h>
#include <rulmek/zview.h>

#include <GL/gl.h>

#include <span>

#include "NodeColors.h"

class ZImageTexture;

namespace detail {

// A node's box a..b in window coordinates: its stored corners less the view offset.
struct ScreenBox {
    ZVector2 a;
    ZVector2 b;
};
inline ScreenBox screenBox(const ZVector2& point1, const ZVector2& point2) {
    const ZVector2 offset = getScallPosition();
    return {point1 - offset, point2 - offset};
}

// Binds the picture and stretches it over the box a..b; its first stored
// row is its bottom row, so t = 0 goes to the bottom edge.
void drawPicture(const ZImageTexture& image, const ZVector2& a, const ZVector2& b);

// The underline drawn instead of the frame: the bottom edge of a..b.
void drawUnderline(const ZVector2& a, const ZVector2& b);

// A closed outline through the points, in order.
void drawLoop(std::span<const ZVector2> points);

// Fills the corners of a thick outline just drawn through the points: GL
// draws each straight piece of a wide line as its own rectangle, leaving a
// notch at every corner. Squares the width of the line close them. Only a
// magnified frame needs them; at 1 the outline is left as it always was.
void drawCornerJoins(std::span<const ZVector2> points);

// A fan from the centre in one colour out to the rim in another; the rim is
// drawn as given, so a closed rim repeats its first point at the end.
void drawFan(const ZVector2& centre, const ZVector3& centreColor, std::span<const ZVector2> rim,
             const ZVector3& rimColor);

// The six fill modes of a four-cornered box (none, radial, horizontal
// mirrored, horizontal, vertical mirrored, vertical); unknown modes leave it
// transparent. The corners are named for the box's own: top-left, top-right,
// bottom-right, bottom-left; the radial mode spreads from centre.
void fillFourCorners(int gradualType, const ZVector2& tl, const ZVector2& tr, const ZVector2& br,
                     const ZVector2& bl, const ZVector2& centre, const ZVector3& fillColor,
                     const ZVector3& gradualColor);

// One 8-pixel handle square around h, as an outline or filled.
void drawHandleSquare(const ZVector2& h, GLenum mode);

// The eight handle outlines, with the one under the pointer (code 1..8)
// filled; handlePos(k) gives the centre of handle k.
template <class HandlePos> void drawHandleSquares(int code, HandlePos handlePos) {
    for (int k = 1; k <= 8; ++k)
        drawHandleSquare(handlePos(k), GL_LINE_LOOP);
    if (code >= 1 && code <= 8)
        drawHandleSquare(handlePos(code), GL_QUADS);
}

// The handles of a node: green on a connection target, even when it is also
// selected, grey on a selected node; renderSelect(code) draws them.
template <class RenderSelect>
void drawSelectionHandles(int snake, bool selected, RenderSelect renderSelect) {
    if (snake > 0) {
        setColor(kHandleTargetColor);
        renderSelect(snake);
    } else if (selected) {
        setColor(kHandleSelectColor);
        renderSelect(9);
    }
}

} // namespace detail
