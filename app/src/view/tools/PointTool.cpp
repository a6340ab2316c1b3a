// The point tool: a press puts a point on the page.

#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_ShapeManager.h>

#include "view/CTavloView.h"

void CTavloView::pointDown(ZVector2 p) {
    auto* point = static_cast<ZN_NPoint*>(ZN_ShapeBase::createShape(2));
    currentPage->addShape(point);
    point->setCoord(canvas(p));
    hitShape = point;
    // Not an undo step, but the new point must not vanish on close unasked.
    markModified();
    update();
}
