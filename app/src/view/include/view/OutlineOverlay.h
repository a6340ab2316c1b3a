#pragma once
// The light outlines drawn over a page around the shapes a search found.

#include <vector>

#include <QRectF>

#include <rulmek/rulmek.h>

// Outlines the canvas rectangles `rects` in the current GL context, for a
// width x height window that shows the canvas from `offset` at `zoom`.
// Rectangles too small to outline on screen get a dot each.
void drawOutlineRects(const std::vector<QRectF>& rects, ZVector2 offset, float zoom, int width,
                      int height);
