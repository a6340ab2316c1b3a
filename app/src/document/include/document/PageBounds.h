#pragma once
// The part of a page that shows: what fitting, printing and exporting a page
// take in.

// Canvas rectangle covering every visible shape of a page, as min and max corners.
struct CanvasBounds {
    float minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool empty = true;
};
class ZN_ShapeManager;
CanvasBounds visibleBounds(const ZN_ShapeManager& page);
