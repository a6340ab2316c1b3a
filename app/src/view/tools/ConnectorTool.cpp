// The connector tool: a press on a shape starts a connector from it, the drag
// follows the pointer and marks the shape it would end on, the release
// attaches the end there or leaves it free.

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_ShapeManager.h>

#include "view/CTavloView.h"
#include "view/UndoStep.h"

void CTavloView::clearHover() {
    if (hoverShape)
        hoverShape->setSnake(0);
    hoverShape = nullptr;
}

void CTavloView::findTarget(ZVector2 p) {
    clearHover();
    // Collapsed shapes are not there to be joined; the page skips them.
    int code = 0;
    if (ZN_ShapeBase* shape = currentPage->findConnectTarget(p, hitTolerance(), hitShape, code)) {
        hoverShape = shape;
        hoverCode = code;
        shape->setSnake(code);
    }
}

void CTavloView::lineDown(ZVector2 p) {
    if (dragState == dragstate::Drawing) {
        if (dragPhase == 2)
            lineFinish(p);
        return;
    }
    if (dragState != dragstate::Idle)
        return;
    UndoStep undo(*this);
    auto* line = static_cast<ZN_NLine*>(ZN_ShapeBase::createShape(1));
    // Lines go beneath the boxes they join.
    currentPage->addShapeFront(line);
    hitShape = line;
    line->setStrightType(1);
    line->setLineWide(3);
    line->setArrowType(0);
    line->setArrowSize(30);
    line->pushPoint(canvas(p), 0);
    line->pushPoint(canvas(p), 1);
    if (hoverShape) {
        line->pushToInput(hoverShape);
        hoverShape->pushToOutput(line);
        if (hoverCode > 0)
            line->setOutNumber(hoverCode);
    }
    clearHover();
    dragState = dragstate::Drawing;
    dragPhase = 1;
    update();
}

void CTavloView::lineMove(ZVector2 p) {
    if (dragState == dragstate::Idle) {
        findTarget(p);
        update();
        return;
    }
    if (dragState != dragstate::Drawing)
        return;
    if (dragPhase == 1)
        dragPhase = 2;
    findTarget(p);
    if (auto* line = dynamic_cast<ZN_NLine*>(hitShape))
        line->setPoint(canvas(p), line->getPointSize() - 1);
    update();
}

void CTavloView::lineFinish(ZVector2 p) {
    auto* line = dynamic_cast<ZN_NLine*>(hitShape);
    if (!line) {
        dragState = dragstate::Idle;
        return;
    }
    line->setPoint(canvas(p), line->getPointSize() - 1);
    if (hoverShape) {
        line->pushToOutput(hoverShape);
        hoverShape->pushToInput(line);
        dragState = dragstate::Idle;
        dragPhase = 1;
        if (hoverCode > 0)
            line->setInNumber(hoverCode);
        line->updatePoint(1, true);
        line->updatePoint(line->getPointSize() - 2, true);
    } else {
        // Released over empty canvas: a bend here, and the line goes on.
        line->pushPointBack(canvas(p));
        dragPhase = 1;
    }
    clearHover();
    update();
}
