#include "BoxTool.h"

#include <algorithm>

#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_ShapeManager.h>

#include "ToolContext.h"
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

bool BoxTool::draws(int tool) {
    return tool == viewtool::Rect || tool == viewtool::Ellipse || tool == viewtool::RoundRect ||
           tool == viewtool::Rhombus || tool == viewtool::Table || tool == viewtool::Parallelogram;
}

bool BoxTool::move(ZVector2 p) {
    boxMove(p);
    return true;
}

void BoxTool::release(ZVector2 p) {
    if (dragState_ == dragstate::Drawing && dragPhase_ == 2)
        boxFinish(p);
}

bool BoxTool::followsEdge() const {
    return dragState_ == dragstate::Drawing && dragPhase_ == 2;
}

void BoxTool::boxDown(ZVector2 p) {
    if (dragState_ == dragstate::Drawing) {
        if (dragPhase_ == 2)
            boxFinish(p);
        return;
    }
    if (dragState_ != dragstate::Idle)
        return;
    UndoStep undo(context_.view);
    ZN_ShapeBase* shape = ZN_ShapeBase::createShape(shapeTypeForTool(context_.view.getTool()));
    if (auto* table = dynamic_cast<ZN_NJiuGongGe*>(shape))
        table->setSizeValue(3, 3);
    shape->setLineWide(3);
    context_.page().addShape(shape);
    context_.hitShape = shape;
    if (auto* box = dynamic_cast<ZN_NRect*>(shape)) {
        box->setPoint1(context_.canvas(p));
        box->setPoint2(context_.canvas(p));
    }
    dragState_ = dragstate::Drawing;
    dragPhase_ = 1;
}

void BoxTool::boxMove(ZVector2 p) {
    if (dragState_ != dragstate::Drawing)
        return;
    if (dragPhase_ == 1)
        dragPhase_ = 2;
    if (auto* box = dynamic_cast<ZN_NRect*>(context_.hitShape))
        box->setPoint2(context_.canvas(p));
    context_.update();
}

void BoxTool::boxFinish(ZVector2 p) {
    if (auto* box = dynamic_cast<ZN_NRect*>(context_.hitShape)) {
        const ZVector2 a = box->getPoint1();
        const ZVector2 q = context_.canvas(p);
        box->setPoint1(ZVector2(std::min(a.X(), q.X()), std::min(a.Y(), q.Y())));
        box->setPoint2(ZVector2(std::max(a.X(), q.X()), std::max(a.Y(), q.Y())));
    }
    context_.update();
    context_.hitShape = nullptr;
    dragState_ = dragstate::Idle;
    dragPhase_ = 1;
}
