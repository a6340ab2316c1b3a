// The editing view's scrolling beyond its scroll bars: steps that follow the
// zoom and the window, the wheel in both directions, the keys that scroll by a
// window or to the page's ends, scrolling along while a drag is held at the
// window's edge, and the scroll position that undo and redo bring back.

#include "view/ViewScrolling.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <QApplication>
#include <QScrollBar>

#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_ShapeManager.h>

#include "view/CTavloView.h"
#include "view/TreeFolds.h"

namespace viewscroll {

int lineStep(int window, float zoom, int canvasLine) {
    const double wanted = static_cast<double>(canvasLine) * zoom;
    const double least = std::max(1.0, window / 20.0);
    const double most = std::max(least, window / 5.0);
    return static_cast<int>(std::lround(std::clamp(wanted, least, most)));
}

namespace {

// Screen pixels per tick: slow just past the edge, faster further out.
constexpr int kEdgeStepLeast = 4;
constexpr int kEdgeStepMost = 60;

int edgeAxis(int pos, int size) {
    if (size < 3)
        return 0;
    int beyond = 0;
    if (pos < 1)
        beyond = pos - 1;
    else if (pos > size - 2)
        beyond = pos - (size - 2);
    if (beyond == 0)
        return 0;
    const int magnitude = std::clamp(kEdgeStepLeast + std::abs(beyond) / 2, kEdgeStepLeast,
                                     kEdgeStepMost);
    return beyond < 0 ? -magnitude : magnitude;
}

} // namespace

QPoint edgeStep(QPoint pointer, int width, int height) {
    return {edgeAxis(pointer.x(), width), edgeAxis(pointer.y(), height)};
}

} // namespace viewscroll

void CTavloView::initScrolling() {
    scroller_ = std::make_unique<ViewScroller>();
    scroller_->autoscrollTimer.setInterval(viewscroll::kAutoscrollInterval);
    connect(&scroller_->autoscrollTimer, &QTimer::timeout, this, [this] {
        if (!autoscrollStep() && !dragFollowsEdge())
            stopAutoscroll();
    });
}

void CTavloView::updateScrollSteps() {
    if (QScrollBar* h = scrollBarCtrl(Qt::Horizontal))
        h->setSingleStep(viewscroll::lineStep(width(), zoom_, viewscroll::kCanvasLineX));
    if (QScrollBar* v = scrollBarCtrl(Qt::Vertical))
        v->setSingleStep(viewscroll::lineStep(height(), zoom_, viewscroll::kCanvasLineY));
}

bool CTavloView::scrollByWheel(QPoint angleDelta, Qt::KeyboardModifiers flags) {
    QScrollBar* h = scrollBarCtrl(Qt::Horizontal);
    QScrollBar* v = scrollBarCtrl(Qt::Vertical);
    if (!h || !v)
        return false;
    int dx = angleDelta.x();
    int dy = angleDelta.y();
    // Shift turns the wheel sideways; a tilt wheel already is.
    if ((flags & Qt::ShiftModifier) && dx == 0) {
        dx = dy;
        dy = 0;
    }
    // A notch is 120; smooth wheels send less at a time, and what does not
    // make a whole pixel yet is kept for the next event.
    const double lines = QApplication::wheelScrollLines();
    ViewScroller& s = *scroller_;
    s.wheelRestX += dx / 120.0 * lines * h->singleStep();
    s.wheelRestY += dy / 120.0 * lines * v->singleStep();
    const auto whole = [](double& rest) {
        const double w = std::trunc(rest);
        rest -= w;
        return static_cast<int>(w);
    };
    const int px = whole(s.wheelRestX);
    const int py = whole(s.wheelRestY);
    if (px != 0)
        h->setValue(h->value() - px);
    if (py != 0)
        v->setValue(v->value() - py);
    return true;
}

bool CTavloView::scrollByKey(int key, Qt::KeyboardModifiers flags) {
    QScrollBar* h = scrollBarCtrl(Qt::Horizontal);
    QScrollBar* v = scrollBarCtrl(Qt::Vertical);
    if (!h || !v || (flags & (Qt::AltModifier | Qt::MetaModifier)))
        return false;
    switch (key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        // Ctrl with these switches tabs in many programs; it is left alone.
        if (flags & Qt::ControlModifier)
            return false;
        QScrollBar* bar = (flags & Qt::ShiftModifier) ? h : v;
        bar->triggerAction(key == Qt::Key_PageUp ? QAbstractSlider::SliderPageStepSub
                                                 : QAbstractSlider::SliderPageStepAdd);
        return true;
    }
    case Qt::Key_Home:
        updateScrollRanges();
        h->setValue(h->minimum());
        v->setValue(v->minimum());
        return true;
    case Qt::Key_End:
        updateScrollRanges();
        h->setValue(h->maximum());
        v->setValue(v->maximum());
        return true;
    default:
        return false;
    }
}

bool CTavloView::dragFollowsEdge() const {
    if (panning_ || !currentPage)
        return false;
    switch (tool) {
    case viewtool::Select:
        if (dragState == dragstate::RubberBand)
            return true;
        return (dragState == dragstate::PressedUnselected ||
                dragState == dragstate::PressedSelected || dragState == dragstate::PressedLine) &&
               dragPhase == 2;
    case viewtool::Point:
    case viewtool::Text:
    case viewtool::Capture:
        // A capture frame copies what the window shows; it stays inside it.
        return false;
    default:
        return dragState == dragstate::Drawing && dragPhase == 2;
    }
}

void CTavloView::followPointer(QPoint screen, bool leftHeld) {
    scroller_->pointer = screen;
    const bool wanted = leftHeld && dragFollowsEdge() &&
                        !viewscroll::edgeStep(screen, width(), height()).isNull();
    if (!wanted)
        stopAutoscroll();
    else if (!scroller_->autoscrollTimer.isActive())
        scroller_->autoscrollTimer.start();
}

bool CTavloView::isAutoscrolling() const { return scroller_->autoscrollTimer.isActive(); }

void CTavloView::stopAutoscroll() { scroller_->autoscrollTimer.stop(); }

bool CTavloView::autoscrollStep() {
    if (!dragFollowsEdge())
        return false;
    const QPoint step = viewscroll::edgeStep(scroller_->pointer, width(), height());
    QScrollBar* h = scrollBarCtrl(Qt::Horizontal);
    QScrollBar* v = scrollBarCtrl(Qt::Vertical);
    if (step.isNull() || !h || !v)
        return false;
    // Shapes dragged beyond the range have widened it since the last frame.
    updateScrollRanges();
    const QPoint before(h->value(), v->value());
    h->setValue(before.x() + step.x());
    v->setValue(before.y() + step.y());
    const QPoint moved = QPoint(h->value(), v->value()) - before;
    if (moved.isNull())
        return false;
    // The page moved under a pointer that stayed: the drag's reference points
    // move with the page, and the drag then follows the pointer to the canvas
    // point now beneath it.
    const ZVector2 shift = clientFromScreen(QPointF(moved));
    pressPoint = pressPoint - shift;
    lastPoint = lastPoint - shift;
    onMouseMove(Qt::NoModifier, scroller_->pointer);
    return true;
}

void CTavloView::scrollToOffset(ZVector2 offset) {
    // The page may have just grown back; its range must hold the position.
    updateScrollRanges();
    if (QScrollBar* h = scrollBarCtrl(Qt::Horizontal))
        h->setValue(static_cast<int>(std::lround(static_cast<double>(offset.X()) * zoom_)));
    if (QScrollBar* v = scrollBarCtrl(Qt::Vertical))
        v->setValue(static_cast<int>(std::lround(static_cast<double>(offset.Y()) * zoom_)));
    applyViewOffset();
}

void CTavloView::noteSnapshotScroll(ZN_ShapeManager& page) {
    scroller_->history.snapshotTaken(&page, *page.getUndoRedo(), viewOffset());
}

bool CTavloView::undoStep(bool redo) {
    // Text being typed is put on its page first: undo takes it back as a
    // step of its own, and the label is never left hidden.
    commitEdit();
    if (!currentPage)
        return false;
    ZNRedoUndo& stack = *currentPage->getUndoRedo();
    const ZVector2 here = viewOffset();
    if (!(redo ? stack.reDo() : stack.unDo()))
        return false;
    // The page is back as it was; the layout reads its trees afresh.
    treefolds::forgetLayout();
    ScrollHistory& history = scroller_->history;
    const auto back = redo ? history.redone(currentPage, stack, here)
                           : history.undone(currentPage, stack, here);
    if (back)
        scrollToOffset(*back);
    update();
    return true;
}
