#include "PointTool.h"

#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_ShapeManager.h>

#include "ToolContext.h"
#include "view/CTavloView.h"

void PointTool::pointDown(ZVector2 p) {
    auto* point = static_cast<ZN_NPoint*>(ZN_ShapeBase::createShape(2));
    context_.page().addShape(point);
    point->setCoord(context_.canvas(p));
    context_.hitShape = point;
    // Not an undo step, but the new point must not vanish on close unasked.
    context_.view.markModified();
    context_.update();
}
