// The box tools (rectangle, ellipse, rounded box, rhombus, parallelogram,
// table): press, drag out the box, release or press again to finish it.

#include <algorithm>

#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_ShapeManager.h>

#include "view/CTavloView.h"
#include "view/UndoStep.h"

namespace {

int shapeTypeForTool(int tool) {
    switch (tool) {
    case viewtool::Ellipse:
        return 8;
    case viewtool::RoundRect:
        return 9;
    case viewtool::Rhombus:
        return 10;
    case viewtool::Parallelogram:
        return 13;
    case viewtool::Table:
        return 12;
    default:
        return 7;
    }
}

} // namespace

void CTavloView::boxDown(ZVector2 p) {
    if (dragState == dragstate::Drawing) {
        if (dragPhase == 2)
            boxFinish(p);
        return;
    }
    if (dragState != dragstate::Idle)
        return;
    UndoStep undo(*this);
    ZN_ShapeBase* shape = ZN_ShapeBase::createShape(shapeTypeForTool(tool));
    if (auto* table = dynamic_cast<ZN_NJiuGongGe*>(shape))
        table->setSizeValue(3, 3);
    shape->setLineWide(3);
    currentPage->addShape(shape);
    hitShape = shape;
    if (auto* box = dynamic_cast<ZN_NRect*>(shape)) {
        box->setPoint1(canvas(p));
        box->setPoint2(canvas(p));
    }
    dragState = dragstate::Drawing;
    dragPhase = 1;
}

void CTavloView::boxMove(ZVector2 p) {
    if (dragState != dragstate::Drawing)
        return;
    if (dragPhase == 1)
        dragPhase = 2;
    if (auto* box = dynamic_cast<ZN_NRect*>(hitShape))
        box->setPoint2(canvas(p));
    update();
}

void CTavloView::boxFinish(ZVector2 p) {
    if (auto* box = dynamic_cast<ZN_NRect*>(hitShape)) {
        const ZVector2 a = box->getPoint1();
        const ZVector2 q = canvas(p);
        box->setPoint1(ZVector2(std::min(a.X(), q.X()), std::min(a.Y(), q.Y())));
        box->setPoint2(ZVector2(std::max(a.X(), q.X()), std::max(a.Y(), q.Y())));
    }
    update();
    hitShape = nullptr;
    dragState = dragstate::Idle;
    dragPhase = 1;
}
