// The select tool: a press takes the shape under the pointer (or, on empty
// canvas, starts a rubber band), a drag moves the selection, a handle or a
// connector's bend, and the release selects, toggles or drops.

#include <algorithm>
#include <utility>
#include <vector>

#include <sarvik/ZN_BackRgn.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/ZN_TreeLayout.h>
#include <sarvik/platform/ZCursor.h>

#include "view/CTavloView.h"
#include "view/UndoStep.h"
#include "view/ClickSelect.h"
#include "view/TreeFolds.h"

namespace {

// Connector bends straighter than this many degrees are merged away.
constexpr float kStraightBend = 160.0f;

} // namespace

void CTavloView::selectDown(ZVector2 p) {
    ZN_BackRgn* region = currentPage->getBackRgn();
    if (region->getShow()) {
        captureRegionDown();
        return;
    }
    if (!hitShape) {
        dragState = dragstate::Drawing;
        dragPhase = 1;
        return;
    }
    // The press's undo step is taken just before its first change, so that a
    // click that only selects leaves no step and no modified mark.
    pressStep_ = std::make_unique<UndoStep>(*this, UndoStep::Deferred);
    if (auto* point = dynamic_cast<ZN_NPoint*>(hitShape);
        point && (point->getStateType() == 1 || point->getStateType() == 2)) {
        pressStep_->change();
        if (point->getStateType() == 1) {
            currentPage->shapeShrink(point);
            point->setStateType(2);
        } else {
            currentPage->shapeSpread(point);
            point->setStateType(1);
        }
        treefolds::relayout(currentPage, point);
        update();
        return;
    }
    dragPhase = 1;
    if (auto* line = dynamic_cast<ZN_NLine*>(hitShape)) {
        if (hitCode < 0) {
            pressStep_->change();
            line->pushPoint(canvas(p), -hitCode);
        }
        dragState = dragstate::PressedLine;
        return;
    }
    dragState = hitShape->getSelected() ? dragstate::PressedSelected : dragstate::PressedUnselected;
}

void CTavloView::selectAloneOnDrag() {
    clearSelection();
    addToSelection(hitShape);
    if (hitShape && hitShape->type() == 5) {
        dragStartCorner1 = hitShape->getPoint1();
        dragStartCorner2 = hitShape->getPoint2();
    }
}

void CTavloView::selectMove(ZVector2 p) {
    switch (dragState) {
    case dragstate::Idle:
        hitCode = 0;
        hitShape = currentPage->Change_Cursor(p, &hitHelper, hitCode, hitTolerance());
        if (!hitShape)
            ZSetCursor(ZCursor::Arrow);
        return;
    case dragstate::RubberBand:
        drawFocusRect(pressPoint, p);
        return;
    case dragstate::PressedUnselected:
    case dragstate::PressedSelected:
        if (dragPhase == 1) {
            if (belowDragThreshold(p, lastPoint)) {
                update();
                return;
            }
            if (pressStep_)
                pressStep_->change();
            if (dragState == dragstate::PressedUnselected)
                selectAloneOnDrag();
            else if (hitShape && hitShape->type() == 5) {
                dragStartCorner1 = hitShape->getPoint1();
                dragStartCorner2 = hitShape->getPoint2();
            }
            dragPhase = 2;
        }
        if (hitCode < 9 && hitShape)
            hitShape->change(p - lastPoint, hitCode);
        else
            currentPage->change(lastPoint, p, hitCode, bindDrag);
        break;
    case dragstate::PressedLine:
        if (dragPhase == 1) {
            if (pressStep_)
                pressStep_->change();
            selectAloneOnDrag();
            dragPhase = 2;
        }
        if (auto* line = dynamic_cast<ZN_NLine*>(hitShape)) {
            if (hitCode < 0) {
                line->setPoint(canvas(lastPoint), -hitCode);
                line->updatePoint(-hitCode, false);
            } else if (hitCode >= 10) {
                line->setPoint(canvas(p), hitCode - 10);
                line->updatePoint(hitCode - 10, false);
            }
        }
        break;
    case dragstate::Drawing:
        if (dragPhase == 1) {
            dragState = dragstate::RubberBand;
            drawFocusRect(pressPoint, p);
            if (!additiveSelect)
                clearSelection();
            dragPhase = 2;
        }
        break;
    case dragstate::CaptureHandle:
        currentPage->getBackRgn()->change(p - lastPoint, hitCode);
        break;
    default:
        return;
    }
    update();
}

void CTavloView::toggleHitSelection() {
    if (!hitShape)
        return;
    // A plain click selects one shape and leaves a selection it is part of
    // as it is; Ctrl or Shift add and take out.
    if (clickselect::selectsOne() && !(pressFlags_ & (Qt::ControlModifier | Qt::ShiftModifier))) {
        if (!hitShape->getSelected()) {
            clearSelection();
            addToSelection(hitShape);
        }
        return;
    }
    if (hitShape->getSelected()) {
        hitShape->setSelected(false);
        selection.remove(hitShape);
    } else {
        addToSelection(hitShape);
    }
}

void CTavloView::selectUp(ZVector2 p) {
    switch (dragState) {
    case dragstate::RubberBand: {
        eraseFocusRect();
        if (!additiveSelect)
            clearSelection();
        const ZVector2 lo(std::min(pressPoint.X(), p.X()), std::min(pressPoint.Y(), p.Y()));
        const ZVector2 hi(std::max(pressPoint.X(), p.X()), std::max(pressPoint.Y(), p.Y()));
        currentPage->selectWithinRect(lo, hi);
        for (ZN_ShapeBase* shape : std::as_const(*currentPage).getShapeList())
            if (shape->getSelected())
                addToSelection(shape);
        break;
    }
    case dragstate::PressedUnselected:
    case dragstate::PressedSelected:
        if (dragPhase == 1)
            toggleHitSelection();
        else if (hitShape && hitShape->type() == 5)
            dropOnTable(p);
        else
            settleDropped();
        break;
    case dragstate::PressedLine:
        if (dragPhase == 1)
            toggleHitSelection();
        if (auto* line = dynamic_cast<ZN_NLine*>(hitShape)) {
            if (hitCode < 0) {
                line->updatePoint(-hitCode, false);
                line->checkPolyLine(kStraightBend, -hitCode);
            } else if (hitCode > 9) {
                line->updatePoint(hitCode - 10, false);
                line->checkPolyLine(kStraightBend, hitCode - 10);
            }
        }
        break;
    case dragstate::Drawing:
        clearSelection();
        break;
    case dragstate::CaptureHandle:
        copyCaptureToClipboard();
        break;
    default:
        return;
    }
    dragState = dragstate::Idle;
    update();
}

void CTavloView::drawFocusRect(ZVector2 clientA, ZVector2 clientB) {
    // The band is drawn over the page in screen pixels.
    const QPointF sa = screenFromClient(clientA);
    const QPointF sb = screenFromClient(clientB);
    const ZVector2 a(static_cast<float>(sa.x()), static_cast<float>(sa.y()));
    const ZVector2 b(static_cast<float>(sb.x()), static_cast<float>(sb.y()));
    const int left = static_cast<int>(std::min(a.X(), b.X()));
    const int top = static_cast<int>(std::min(a.Y(), b.Y()));
    const int right = static_cast<int>(std::max(a.X(), b.X()));
    const int bottom = static_cast<int>(std::max(a.Y(), b.Y()));
    focusRect_ = QRect(QPoint(left, top), QPoint(right, bottom));
    update();
}

void CTavloView::eraseFocusRect() {
    focusRect_ = QRect();
    update();
}

void CTavloView::settleDropped() {
    // A box resized by a handle keeps its place; its tree makes room for it.
    if (hitShape && hitCode < 9) {
        treefolds::relayout(currentPage, hitShape);
        return;
    }
    // Nodes dragged within a laid-out tree take their side and order from
    // where they were dropped, and the tree closes up around them. A drag
    // moves what the layout placed, so it reads the trees afresh.
    treefolds::forgetLayout();
    std::vector<ZN_ShapeBase*> parents;
    for (ZN_ShapeBase* s : selection.shapes()) {
        ZN_ShapeBase* parent = s->type() == 1 ? nullptr : ZN_TreeParent(s);
        if (!parent || ZN_StoredLayout(ZN_TreeRoot(parent)) == ZN_Layout::None)
            continue;
        ZN_PlaceDropped(s);
        parents.push_back(parent);
    }
    treefolds::relayout(currentPage, parents);
}
