// The view's dispatch to its tools: the press-drag-release state machine that
// turns mouse and keyboard input into edits of the page hands each press, move
// and release to the current tool's handlers in tools/.

#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_ShapeManager.h>

#include "dialogs/CDlgJiuGongGe.h"
#include "tools/LabelEditor.h"
#include "view/CTavloView.h"
#include "view/UndoStep.h"
#include "view/TreeFolds.h"

namespace {

// A press becomes a drag once the pointer has moved this far (squared screen
// pixels).
constexpr float kDragThreshold2 = 10.0f;

bool isBoxTool(int tool) {
    return tool == viewtool::Rect || tool == viewtool::Ellipse || tool == viewtool::RoundRect ||
           tool == viewtool::Rhombus || tool == viewtool::Table || tool == viewtool::Parallelogram;
}

} // namespace

ZVector2 CTavloView::canvas(ZVector2 client) const {
    return client + getScallPosition();
}

bool CTavloView::belowDragThreshold(ZVector2 a, ZVector2 b) const {
    return (a - b).SquaredLength() * zoom_ * zoom_ < kDragThreshold2;
}

// --- dispatch ---

void CTavloView::onLButtonDown(Qt::KeyboardModifiers flags, QPoint point) {
    const ZVector2 p = clientFromScreen(point);
    pressFlags_ = flags;
    commitEdit();
    if (currentPage) {
        switch (tool) {
        case viewtool::Select:
            selectDown(p);
            break;
        case viewtool::Point:
            pointDown(p);
            break;
        case viewtool::Line:
            lineDown(p);
            break;
        case viewtool::Text:
            textDown(p);
            break;
        case viewtool::Capture:
            captureDown(p);
            break;
        default:
            if (isBoxTool(tool))
                boxDown(p);
        }
    }
    pressPoint = lastPoint = p;
}

void CTavloView::onMouseMove(Qt::KeyboardModifiers, QPoint point) {
    const ZVector2 p = clientFromScreen(point);
    if (currentPage) {
        if (tool == viewtool::Select) {
            // Below the drag threshold the press position stays the reference.
            const bool pending = (dragState == dragstate::PressedUnselected ||
                                  dragState == dragstate::PressedSelected) &&
                                 dragPhase == 1 && belowDragThreshold(p, lastPoint);
            selectMove(p);
            if (pending)
                return;
        } else if (tool == viewtool::Line) {
            lineMove(p);
        } else if (tool == viewtool::Capture) {
            captureMove(p);
        } else if (isBoxTool(tool)) {
            boxMove(p);
        }
    }
    lastPoint = p;
}

void CTavloView::onLButtonUp(Qt::KeyboardModifiers, QPoint point) {
    const ZVector2 p = clientFromScreen(point);
    if (currentPage) {
        if (tool == viewtool::Select)
            selectUp(p);
        else if (tool == viewtool::Line && dragState == dragstate::Drawing && dragPhase == 2)
            lineFinish(p);
        else if (tool == viewtool::Capture && dragState == dragstate::Drawing && dragPhase == 2)
            captureFinish(p);
        else if (isBoxTool(tool) && dragState == dragstate::Drawing && dragPhase == 2)
            boxFinish(p);
    }
    // The press is over: its step, if it changed anything, is complete.
    pressStep_.reset();
    lastPoint = p;
}

bool CTavloView::onRButtonUp(Qt::KeyboardModifiers, QPoint) {
    if (tool != viewtool::Select) {
        cancelTool();
        return false;
    }
    return true;
}

void CTavloView::cancelTool() {
    // A shape drawn so far stays on the page as it is.
    if (hoverShape)
        clearHover();
    tool = viewtool::Select;
    dragState = dragstate::Idle;
    focusRect_ = QRect();
    update();
}

void CTavloView::onKeyDown(int key, Qt::KeyboardModifiers) {
    switch (key) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        deleteSelection();
        return;
    case Qt::Key_Control:
        additiveSelect = true;
        return;
    case Qt::Key_Escape:
        cancelTool();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: {
        if (!currentPage)
            return;
        const int direction = key == Qt::Key_Left    ? 0
                              : key == Qt::Key_Right ? 1
                              : key == Qt::Key_Up    ? 2
                                                     : 3;
        currentPage->LittleMove(direction, selection.shapes(), 1);
        treefolds::forgetLayout();
        // No undo step for a nudge, but the moved positions must not be lost
        // on close without a question.
        if (!selection.empty())
            markModified();
        update();
        return;
    }
    default:
        return;
    }
}


void CTavloView::onLButtonDblClk(Qt::KeyboardModifiers, QPoint point) {
    if (!currentPage)
        return;
    // The shape under the pointer, found again when no move over it came
    // before the click (the pointer was already there).
    ZN_ShapeBase* shape = hitShape;
    if (!shape) {
        int code = 0;
        shape = currentPage->Change_Cursor(clientFromScreen(point), &hitHelper, code, hitTolerance());
    }
    if (shape)
        openEditor(shape);
}

void CTavloView::openEditor(ZN_ShapeBase* shape) {
    if (auto* table = dynamic_cast<ZN_NJiuGongGe*>(shape)) {
        int rows = 3;
        int columns = 3;
        if (CDlgJiuGongGe::ask(this, rows, columns)) {
            table->setSizeValue(rows, columns);
            update();
        }
        return;
    }
    editor_->openFor(shape, *currentPage);
}
