#include "ConnectorTool.h"

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_ShapeManager.h>

#include "ToolContext.h"
#include "view/CTavloView.h"
#include "view/UndoStep.h"

void ConnectorTool::deactivate() {
    clearHover();
    dragState_ = dragstate::Idle;
}

void ConnectorTool::cancel() {
    // A connector drawn so far stays on the page as it is.
    if (hoverShape)
        clearHover();
    dragState_ = dragstate::Idle;
}

bool ConnectorTool::move(ZVector2 p) {
    lineMove(p);
    return true;
}

void ConnectorTool::release(ZVector2 p) {
    if (dragState_ == dragstate::Drawing && dragPhase_ == 2)
        lineFinish(p);
}

bool ConnectorTool::followsEdge() const {
    return dragState_ == dragstate::Drawing && dragPhase_ == 2;
}

void ConnectorTool::forgetTarget(bool unmark) {
    if (hoverShape && unmark)
        hoverShape->setSnake(0);
    hoverShape = nullptr;
}

void ConnectorTool::clearHover() {
    if (hoverShape)
        hoverShape->setSnake(0);
    hoverShape = nullptr;
}

void ConnectorTool::findTarget(ZVector2 p) {
    clearHover();
    // Collapsed shapes are not there to be joined; the page skips them.
    int code = 0;
    if (ZN_ShapeBase* shape = context_.page().findConnectTarget(p, context_.hitTolerance(),
                                                                context_.hitShape, code)) {
        hoverShape = shape;
        hoverCode = code;
        shape->setSnake(code);
    }
}

void ConnectorTool::lineDown(ZVector2 p) {
    if (dragState_ == dragstate::Drawing) {
        if (dragPhase_ == 2)
            lineFinish(p);
        return;
    }
    if (dragState_ != dragstate::Idle)
        return;
    UndoStep undo(context_.view);
    auto* line = static_cast<ZN_NLine*>(ZN_ShapeBase::createShape(1));
    // Lines go beneath the boxes they join.
    context_.page().addShapeFront(line);
    context_.hitShape = line;
    line->setStrightType(1);
    line->setLineWide(3);
    line->setArrowType(0);
    line->setArrowSize(30);
    line->pushPoint(context_.canvas(p), 0);
    line->pushPoint(context_.canvas(p), 1);
    if (hoverShape) {
        line->pushToInput(hoverShape);
        hoverShape->pushToOutput(line);
        if (hoverCode > 0)
            line->setOutNumber(hoverCode);
    }
    clearHover();
    dragState_ = dragstate::Drawing;
    dragPhase_ = 1;
    context_.update();
}

void ConnectorTool::lineMove(ZVector2 p) {
    if (dragState_ == dragstate::Idle) {
        findTarget(p);
        context_.update();
        return;
    }
    if (dragState_ != dragstate::Drawing)
        return;
    if (dragPhase_ == 1)
        dragPhase_ = 2;
    findTarget(p);
    if (auto* line = dynamic_cast<ZN_NLine*>(context_.hitShape))
        line->setPoint(context_.canvas(p), line->getPointSize() - 1);
    context_.update();
}

void ConnectorTool::lineFinish(ZVector2 p) {
    auto* line = dynamic_cast<ZN_NLine*>(context_.hitShape);
    if (!line) {
        dragState_ = dragstate::Idle;
        return;
    }
    line->setPoint(context_.canvas(p), line->getPointSize() - 1);
    if (hoverShape) {
        line->pushToOutput(hoverShape);
        hoverShape->pushToInput(line);
        dragState_ = dragstate::Idle;
        dragPhase_ = 1;
        if (hoverCode > 0)
            line->setInNumber(hoverCode);
        line->updatePoint(1, true);
        line->updatePoint(line->getPointSize() - 2, true);
    } else {
        // Released over empty canvas: a bend here, and the line goes on.
        line->pushPointBack(context_.canvas(p));
        dragPhase_ = 1;
    }
    clearHover();
    context_.update();
}
