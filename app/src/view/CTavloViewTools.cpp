// The view's dispatch to its tools: the press-drag-release state machine that
// turns mouse and keyboard input into edits of the page hands each press, move
// and release to the current tool, and the view's side of the context the
// tools share.

#include <algorithm>

#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_ShapeManager.h>

#include "dialogs/CDlgJiuGongGe.h"
#include "dialogs/CommandPrompts.h"
#include "tools/LabelEditor.h"
#include "tools/ToolBox.h"
#include "view/CTavloView.h"
#include "view/TreeFolds.h"
#include "view/UndoStep.h"

namespace {

// A press becomes a drag once the pointer has moved this far (squared screen
// pixels).
constexpr float kDragThreshold2 = 10.0f;

} // namespace

ZVector2 CTavloView::canvas(ZVector2 client) const {
    return client + getScallPosition();
}

// --- the tools' context ---

ZN_ShapeManager& ToolContext::page() const {
    return *view.currentPage;
}

LabelEditor& ToolContext::editor() const {
    return *view.editor_;
}

ZVector2 ToolContext::canvas(ZVector2 client) const {
    return view.canvas(client);
}

float ToolContext::hitTolerance() const {
    return view.hitTolerance();
}

bool ToolContext::belowDragThreshold(ZVector2 a, ZVector2 b) const {
    return (a - b).SquaredLength() * view.zoom_ * view.zoom_ < kDragThreshold2;
}

void ToolContext::update() const {
    view.update();
}

void ToolContext::backToSelect() const {
    view.switchTool(viewtool::Select);
}

void ToolContext::unselect(ZN_ShapeBase* shape) const {
    view.selection.remove(shape);
}

bool ToolContext::selectionOnPageShownOnly() const {
    return view.selectionPages_.size() == 1 && view.selectionPages_.front() == view.currentPage;
}

void ToolContext::showMessage(const QString& text) const {
    commandPrompts().information(&view, text);
}

// --- what the tools report ---

int CTavloView::getDragState() const {
    return tools_->current->dragState();
}
int CTavloView::getDragPhase() const {
    return tools_->current->dragPhase();
}
int CTavloView::getHitCode() const {
    return tools_->context.hitCode;
}
ZN_ShapeBase* CTavloView::getHitShape() const {
    return tools_->context.hitShape;
}
ZN_ShapeBase* CTavloView::getHoverShape() const {
    return tools_->connector.target();
}
int CTavloView::getHoverCode() const {
    return tools_->connector.targetCode();
}
bool CTavloView::isAdditiveSelect() const {
    return tools_->context.additiveSelect;
}
QRect CTavloView::focusRect() const {
    return tools_->select.focusRect();
}

// --- dispatch ---

void CTavloView::switchTool(int value) {
    tools_->current->deactivate();
    tool = value;
    tools_->current = &tools_->forNumber(value);
    tools_->current->activate();
}

void CTavloView::onLButtonDown(Qt::KeyboardModifiers flags, QPoint point) {
    const ZVector2 p = clientFromScreen(point);
    ToolContext& context = tools_->context;
    context.pressFlags = flags;
    commitEdit();
    if (currentPage)
        tools_->current->press(p);
    context.pressPoint = context.lastPoint = p;
}

void CTavloView::onMouseMove(Qt::KeyboardModifiers, QPoint point) {
    const ZVector2 p = clientFromScreen(point);
    if (currentPage && !tools_->current->move(p))
        return;
    tools_->context.lastPoint = p;
}

void CTavloView::onLButtonUp(Qt::KeyboardModifiers, QPoint point) {
    const ZVector2 p = clientFromScreen(point);
    if (currentPage)
        tools_->current->release(p);
    // The press is over: its step, if it changed anything, is complete.
    tools_->select.endPress();
    tools_->context.lastPoint = p;
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
    tools_->current->cancel();
    if (tools_->current != &tools_->select)
        switchTool(viewtool::Select);
    update();
}

void CTavloView::onKeyDown(int key, Qt::KeyboardModifiers flags) {
    if (tools_->current->key(key, flags))
        return;
    switch (key) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        deleteSelection();
        return;
    case Qt::Key_Control:
        tools_->context.additiveSelect = true;
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
    if (!currentPage || tools_->current->doubleClick(clientFromScreen(point)))
        return;
    // The shape under the pointer, found again when no move over it came
    // before the click (the pointer was already there).
    ToolContext& context = tools_->context;
    ZN_ShapeBase* shape = context.hitShape;
    if (!shape) {
        int code = 0;
        shape = currentPage->Change_Cursor(clientFromScreen(point), &context.hitHelper, code,
                                           hitTolerance());
    }
    if (shape)
        context.openEditor(shape);
}

void ToolContext::openEditor(ZN_ShapeBase* shape) const {
    if (auto* table = dynamic_cast<ZN_NJiuGongGe*>(shape)) {
        int rows = 3;
        int columns = 3;
        if (CDlgJiuGongGe::ask(&view, rows, columns)) {
            table->setSizeValue(rows, columns);
            view.update();
        }
        return;
    }
    view.editor_->openFor(shape, *view.currentPage);
}
