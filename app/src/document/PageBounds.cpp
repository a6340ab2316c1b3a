#include "document/PageBounds.h"

#include <algorithm>
#include <cmath>

#include <rulmek/rulmek.h>
#include <sarvik/ZDrawnExtent.h>
#include <sarvik/ZN_ShapeManager.h>

namespace {

void include(CanvasBounds& b, const ZVector2& p) {
    if (!std::isfinite(p.X()) || !std::isfinite(p.Y()))
        return;
    if (b.empty) {
        b = {p.X(), p.Y(), p.X(), p.Y(), false};
        return;
    }
    b.minX = std::min(b.minX, p.X());
    b.minY = std::min(b.minY, p.Y());
    b.maxX = std::max(b.maxX, p.X());
    b.maxY = std::max(b.maxY, p.Y());
}

} // namespace

CanvasBounds visibleBounds(const ZN_ShapeManager& page) {
    CanvasBounds b;
    for (ZN_ShapeBase* shape : page.getShapeList()) {
        const ZDrawnExtent e = drawnExtent(*shape);
        if (!e.inks || !e.finite)
            continue;
        include(b, e.min);
        include(b, e.max);
    }
    return b;
}
