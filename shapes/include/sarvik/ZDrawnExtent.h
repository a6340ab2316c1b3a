#pragma once
// The canvas rectangle a shape's render() can put ink into: its outline and
// fill, half of its stroke with a pixel of smoothing, handles, halos, arrow
// heads, tails, curves that bow past their points and its label. Exported
// pictures are sized by it and drawing skips shapes whose extent lies outside
// the window, so it must never be smaller than what is drawn.

#include <rulmek/rulmek.h>

class ZN_ShapeBase;

struct ZDrawnExtent {
    ZVector2 min{0.0f, 0.0f};
    ZVector2 max{0.0f, 0.0f};
    // False when the shape draws nothing (hidden, or nothing to draw).
    bool inks = false;
    // False when a coordinate is not finite: where that lands is GL's business,
    // so such a shape is always drawn and left out of picture bounds.
    bool finite = true;

    // Grows the extent to hold p; a non-finite p marks the extent unbounded.
    void include(const ZVector2& p);
    void include(const ZVector2& p, float radius);
    void include(const ZDrawnExtent& other);
};

// Widest stroke GL is asked for in these extents. A width of zero or less is
// refused by glLineWidth, which then keeps the previous shape's width, and
// huge widths are clamped by the implementation; either way no stroke is
// wider than this in practice.
constexpr float kWidestStroke = 256.0f;

// Half the stroke GL draws for a shape asked for `width` pixels, plus one
// pixel of smoothing; computed in floating point so that any int is safe.
float strokeReach(float width);

// The drawn extent of one shape in canvas coordinates, with its show flag,
// selection and snap highlight as they stand; with `asItStands` false, the
// extent holds whatever those flags may make the shape draw.
ZDrawnExtent drawnExtent(const ZN_ShapeBase& shape, bool asItStands = true);

// True when the extent, grown by `margin`, lies wholly outside a window of
// the given size (canvas units) showing the canvas from `offset`.
bool extentOutsideWindow(const ZDrawnExtent& extent, const ZVector2& offset, float width,
                         float height, float margin = 0.0f);
