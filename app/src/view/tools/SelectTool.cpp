#include "SelectTool.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <sarvik/ZN_BackRgn.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/ZN_TreeLayout.h>
#include <sarvik/platform/ZCursor.h>

#include "CaptureTool.h"
#include "TableDrop.h"
#include "ToolContext.h"
#include "view/CTavloView.h"
#include "view/ClickSelect.h"
#include "view/TreeFolds.h"
#include "view/UndoStep.h"

namespace {

// Connector bends straighter than this many degrees are merged away.
constexpr float kStraightBend = 160.0f;

} // namespace

SelectTool::SelectTool(ToolContext& context, CaptureTool& capture, TableDrop& tableDrop)
    : context_(context), capture_(capture), tableDrop_(tableDrop) {}

SelectTool::~SelectTool() {
    // A press still held leaves the document's mark as it is.
    if (pressStep_)
        pressStep_->forget();
}

void SelectTool::deactivate() {
    cancel();
    endPress();
}

void SelectTool::cancel() {
    dragState_ = dragstate::Idle;
    focusRect_ = QRect();
}

void SelectTool::endPress() {
    pressStep_.reset();
}

void SelectTool::press(ZVector2 p) {
    selectDown(p);
}

bool SelectTool::move(ZVector2 p) {
    // Below the drag threshold the press position stays the reference.
    const bool pending =
        (dragState_ == dragstate::PressedUnselected || dragState_ == dragstate::PressedSelected) &&
        dragPhase_ == 1 && context_.belowDragThreshold(p, context_.lastPoint);
    selectMove(p);
    return !pending;
}

void SelectTool::release(ZVector2 p) {
    selectUp(p);
}

bool SelectTool::followsEdge() const {
    if (dragState_ == dragstate::RubberBand)
        return true;
    return (dragState_ == dragstate::PressedUnselected ||
            dragState_ == dragstate::PressedSelected || dragState_ == dragstate::PressedLine) &&
           dragPhase_ == 2;
}

void SelectTool::selectDown(ZVector2 p) {
    ZN_BackRgn* region = context_.page().getBackRgn();
    if (region->getShow()) {
        if (capture_.regionDown())
            dragState_ = dragstate::CaptureHandle;
        return;
    }
    if (!context_.hitShape) {
        dragState_ = dragstate::Drawing;
        dragPhase_ = 1;
        return;
    }
    // The press's undo step is taken just before its first change, so that a
    // click that only selects leaves no step and no modified mark.
    pressStep_ = std::make_unique<UndoStep>(context_.view, UndoStep::Deferred);
    if (auto* point = dynamic_cast<ZN_NPoint*>(context_.hitShape);
        point && (point->getStateType() == 1 || point->getStateType() == 2)) {
        pressStep_->change();
        if (point->getStateType() == 1) {
            context_.page().shapeShrink(point);
            point->setStateType(2);
        } else {
            context_.page().shapeSpread(point);
            point->setStateType(1);
        }
        treefolds::relayout(&context_.page(), point);
        context_.update();
        return;
    }
    dragPhase_ = 1;
    if (auto* line = dynamic_cast<ZN_NLine*>(context_.hitShape)) {
        if (context_.hitCode < 0) {
            pressStep_->change();
            line->pushPoint(context_.canvas(p), -context_.hitCode);
        }
        dragState_ = dragstate::PressedLine;
        return;
    }
    dragState_ = context_.hitShape->getSelected() ? dragstate::PressedSelected
                                                  : dragstate::PressedUnselected;
}

void SelectTool::selectAloneOnDrag() {
    context_.view.clearSelection();
    context_.view.addToSelection(context_.hitShape);
    if (context_.hitShape && context_.hitShape->type() == 5)
        tableDrop_.noteStart(*context_.hitShape);
}

void SelectTool::selectMove(ZVector2 p) {
    switch (dragState_) {
    case dragstate::Idle:
        context_.hitCode = 0;
        context_.hitShape = context_.page().Change_Cursor(p, &context_.hitHelper, context_.hitCode,
                                                          context_.hitTolerance());
        if (!context_.hitShape)
            ZSetCursor(ZCursor::Arrow);
        return;
    case dragstate::RubberBand:
        drawFocusRect(context_.pressPoint, p);
        return;
    case dragstate::PressedUnselected:
    case dragstate::PressedSelected:
        if (dragPhase_ == 1) {
            if (context_.belowDragThreshold(p, context_.lastPoint)) {
                context_.update();
                return;
            }
            if (pressStep_)
                pressStep_->change();
            if (dragState_ == dragstate::PressedUnselected)
                selectAloneOnDrag();
            else if (context_.hitShape && context_.hitShape->type() == 5)
                tableDrop_.noteStart(*context_.hitShape);
            dragPhase_ = 2;
        }
        if (context_.hitCode < 9 && context_.hitShape)
            context_.hitShape->change(p - context_.lastPoint, context_.hitCode);
        else
            context_.page().change(context_.lastPoint, p, context_.hitCode,
                                   context_.view.getBindDrag());
        break;
    case dragstate::PressedLine:
        if (dragPhase_ == 1) {
            if (pressStep_)
                pressStep_->change();
            selectAloneOnDrag();
            dragPhase_ = 2;
        }
        if (auto* line = dynamic_cast<ZN_NLine*>(context_.hitShape)) {
            if (context_.hitCode < 0) {
                line->setPoint(context_.canvas(context_.lastPoint), -context_.hitCode);
                line->updatePoint(-context_.hitCode, false);
            } else if (context_.hitCode >= 10) {
                line->setPoint(context_.canvas(p), context_.hitCode - 10);
                line->updatePoint(context_.hitCode - 10, false);
            }
        }
        break;
    case dragstate::Drawing:
        if (dragPhase_ == 1) {
            dragState_ = dragstate::RubberBand;
            drawFocusRect(context_.pressPoint, p);
            if (!context_.additiveSelect)
                context_.view.clearSelection();
            dragPhase_ = 2;
        }
        break;
    case dragstate::CaptureHandle:
        context_.page().getBackRgn()->change(p - context_.lastPoint, context_.hitCode);
        break;
    default:
        return;
    }
    context_.update();
}

void SelectTool::toggleHitSelection() {
    if (!context_.hitShape)
        return;
    // A plain click selects one shape and leaves a selection it is part of
    // as it is; Ctrl or Shift add and take out.
    if (clickselect::selectsOne() &&
        !(context_.pressFlags & (Qt::ControlModifier | Qt::ShiftModifier))) {
        if (!context_.hitShape->getSelected()) {
            context_.view.clearSelection();
            context_.view.addToSelection(context_.hitShape);
        }
        return;
    }
    if (context_.hitShape->getSelected()) {
        context_.hitShape->setSelected(false);
        context_.unselect(context_.hitShape);
    } else {
        context_.view.addToSelection(context_.hitShape);
    }
}

void SelectTool::selectUp(ZVector2 p) {
    switch (dragState_) {
    case dragstate::RubberBand: {
        eraseFocusRect();
        if (!context_.additiveSelect)
            context_.view.clearSelection();
        const ZVector2 lo(std::min(context_.pressPoint.X(), p.X()),
                          std::min(context_.pressPoint.Y(), p.Y()));
        const ZVector2 hi(std::max(context_.pressPoint.X(), p.X()),
                          std::max(context_.pressPoint.Y(), p.Y()));
        context_.page().selectWithinRect(lo, hi);
        for (ZN_ShapeBase* shape : std::as_const(context_.page()).getShapeList())
            if (shape->getSelected())
                context_.view.addToSelection(shape);
        break;
    }
    case dragstate::PressedUnselected:
    case dragstate::PressedSelected:
        if (dragPhase_ == 1)
            toggleHitSelection();
        else if (context_.hitShape && context_.hitShape->type() == 5)
            tableDrop_.dropOnTable(p);
        else
            settleDropped();
        break;
    case dragstate::PressedLine:
        if (dragPhase_ == 1)
            toggleHitSelection();
        if (auto* line = dynamic_cast<ZN_NLine*>(context_.hitShape)) {
            if (context_.hitCode < 0) {
                line->updatePoint(-context_.hitCode, false);
                line->checkPolyLine(kStraightBend, -context_.hitCode);
            } else if (context_.hitCode > 9) {
                line->updatePoint(context_.hitCode - 10, false);
                line->checkPolyLine(kStraightBend, context_.hitCode - 10);
            }
        }
        break;
    case dragstate::Drawing:
        context_.view.clearSelection();
        break;
    case dragstate::CaptureHandle:
        capture_.copyToClipboard();
        break;
    default:
        return;
    }
    dragState_ = dragstate::Idle;
    context_.update();
}

void SelectTool::drawFocusRect(ZVector2 clientA, ZVector2 clientB) {
    // The band is drawn over the page in screen pixels.
    const QPointF sa = context_.view.screenFromClient(clientA);
    const QPointF sb = context_.view.screenFromClient(clientB);
    const ZVector2 a(static_cast<float>(sa.x()), static_cast<float>(sa.y()));
    const ZVector2 b(static_cast<float>(sb.x()), static_cast<float>(sb.y()));
    const int left = static_cast<int>(std::min(a.X(), b.X()));
    const int top = static_cast<int>(std::min(a.Y(), b.Y()));
    const int right = static_cast<int>(std::max(a.X(), b.X()));
    const int bottom = static_cast<int>(std::max(a.Y(), b.Y()));
    focusRect_ = QRect(QPoint(left, top), QPoint(right, bottom));
    context_.update();
}

void SelectTool::eraseFocusRect() {
    focusRect_ = QRect();
    context_.update();
}

void SelectTool::settleDropped() {
    // A box resized by a handle keeps its place; its tree makes room for it.
    if (context_.hitShape && context_.hitCode < 9) {
        treefolds::relayout(&context_.page(), context_.hitShape);
        return;
    }
    // Nodes dragged within a laid-out tree take their side and order from
    // where they were dropped, and the tree closes up around them. A drag
    // moves what the layout placed, so it reads the trees afresh.
    treefolds::forgetLayout();
    std::vector<ZN_ShapeBase*> parents;
    for (ZN_ShapeBase* s : context_.view.getSelection()) {
        ZN_ShapeBase* parent = s->type() == 1 ? nullptr : ZN_TreeParent(s);
        if (!parent || ZN_StoredLayout(ZN_TreeRoot(parent)) == ZN_Layout::None)
            continue;
        ZN_PlaceDropped(s);
        parents.push_back(parent);
    }
    treefolds::relayout(&context_.page(), parents);
}
