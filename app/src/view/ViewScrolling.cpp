// The editing view's canvas on screen and its scrolling: scroll range and
// position, the conversions between screen, client and canvas points, zoom,
// steps that follow the zoom and the window, the wheel in both directions, the
// keys that scroll by a window or to the page's ends, scrolling along while a
// drag is held at the window's edge, and the scroll position that undo and redo
// bring back.

#include "view/ViewScrolling.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include <QApplication>
#include <QScrollBar>
#include <QWheelEvent>

#include <sarvik/ZDrawnExtent.h>
#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_ShapeManager.h>

#include "document/PageBounds.h"
#include "tools/LabelEditor.h"
#include "tools/ToolBox.h"
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

namespace {

// The steps of zooming in and out; below 1 % only fitting the page goes.
constexpr std::array<float, 15> kZoomLevels = {0.01f, 0.02f, 0.05f, 0.1f, 0.25f,
                                               0.33f, 0.5f,  0.67f, 0.75f, 1.0f,
                                               1.25f, 1.5f,  2.0f,  3.0f,  4.0f};
// Scroll values count screen pixels; they are kept well inside an int.
constexpr double kScrollLimit = 1.0e9;
// Room left around the shapes when the whole page is fitted into the window.
constexpr float kFitMargin = 20.0f;

} // namespace

void CTavloView::frameAttached() {
    QScrollBar* h = scrollBarCtrl(Qt::Horizontal);
    QScrollBar* v = scrollBarCtrl(Qt::Vertical);
    connect(h, &QScrollBar::valueChanged, this, &CTavloView::onHScroll);
    connect(v, &QScrollBar::valueChanged, this, &CTavloView::onVScroll);
    updateScrollRanges();
}

void CTavloView::updateScrollRanges() {
    QScrollBar* h = scrollBarCtrl(Qt::Horizontal);
    QScrollBar* v = scrollBarCtrl(Qt::Vertical);
    if (!h || !v)
        return;
    // The canvas, grown on each side where shapes reach beyond it; the half
    // window of room lets the outermost shape be scrolled into the middle.
    float minX = 0.0f;
    float minY = 0.0f;
    float maxX = static_cast<float>(kScrollWidth);
    float maxY = static_cast<float>(kScrollHeight);
    if (currentPage) {
        // Kept by the page between frames; it may be a little larger than the
        // shapes while they are being dragged.
        const ZDrawnExtent b = currentPage->shownExtent();
        const float halfW = static_cast<float>(width()) * 0.5f / zoom_;
        const float halfH = static_cast<float>(height()) * 0.5f / zoom_;
        // Comparisons written so that NaN corners of a damaged page grow nothing.
        if (!centringRoom_.isNull()) {
            minX = std::min(minX, static_cast<float>(centringRoom_.left()));
            minY = std::min(minY, static_cast<float>(centringRoom_.top()));
            maxX = std::max(maxX, static_cast<float>(centringRoom_.right()));
            maxY = std::max(maxY, static_cast<float>(centringRoom_.bottom()));
        }
        if (b.inks) {
            if (b.min.X() < minX)
                minX = b.min.X() - halfW;
            if (b.min.Y() < minY)
                minY = b.min.Y() - halfH;
            if (b.max.X() > maxX)
                maxX = b.max.X() + halfW;
            if (b.max.Y() > maxY)
                maxY = b.max.Y() + halfH;
        }
    }
    const auto pixels = [this](float canvasUnits, bool up) {
        const double p = static_cast<double>(canvasUnits) * zoom_;
        return static_cast<int>(
            std::clamp(up ? std::ceil(p) : std::floor(p), -kScrollLimit, kScrollLimit));
    };
    const int left = pixels(minX, false);
    const int top = pixels(minY, false);
    h->setPageStep(std::max(1, width()));
    v->setPageStep(std::max(1, height()));
    h->setRange(left, std::max(left, pixels(maxX, true) - width()));
    v->setRange(top, std::max(top, pixels(maxY, true) - height()));
    updateScrollSteps();
}

QPoint CTavloView::scrollPosition() const {
    const ZVector2 offset = viewOffset();
    return {static_cast<int>(std::lround(offset.X())), static_cast<int>(std::lround(offset.Y()))};
}

ZVector2 CTavloView::viewOffset() const {
    QScrollBar* h = scrollBarCtrl(Qt::Horizontal);
    QScrollBar* v = scrollBarCtrl(Qt::Vertical);
    return ZVector2(h ? static_cast<float>(h->value()) / zoom_ : 0.0f,
                    v ? static_cast<float>(v->value()) / zoom_ : 0.0f);
}

void CTavloView::scrollTo(QPoint position) {
    if (QScrollBar* h = scrollBarCtrl(Qt::Horizontal))
        h->setValue(static_cast<int>(std::lround(position.x() * zoom_)));
    if (QScrollBar* v = scrollBarCtrl(Qt::Vertical))
        v->setValue(static_cast<int>(std::lround(position.y() * zoom_)));
}

void CTavloView::applyViewOffset() {
    setScallPosition(viewOffset());
}

ZVector2 CTavloView::clientFromScreen(QPointF screen) const {
    return ZVector2(static_cast<float>(screen.x() / zoom_), static_cast<float>(screen.y() / zoom_));
}

QPointF CTavloView::screenFromClient(ZVector2 client) const {
    return {static_cast<double>(client.X()) * zoom_, static_cast<double>(client.Y()) * zoom_};
}

void CTavloView::setZoom(float value) {
    setZoom(value, QPointF(width() * 0.5, height() * 0.5));
}

void CTavloView::setZoom(float value, QPointF anchor) {
    if (!(value > 0.0f))
        return;
    const float next = std::clamp(value, kMinZoom, kMaxZoom);
    const ZVector2 fixed = canvasFromScreen(anchor);
    const bool changed = next != zoom_;
    zoom_ = next;
    scene.setZoom(zoom_);
    // The canvas point under the anchor stays under it.
    const ZVector2 topLeft = fixed - clientFromScreen(anchor);
    // The room kept for a centred map goes with the next zoom.
    centringRoom_ = QRectF();
    updateScrollRanges();
    QScrollBar* h = scrollBarCtrl(Qt::Horizontal);
    QScrollBar* v = scrollBarCtrl(Qt::Vertical);
    if (h)
        h->setValue(static_cast<int>(std::lround(static_cast<double>(topLeft.X()) * zoom_)));
    if (v)
        v->setValue(static_cast<int>(std::lround(static_cast<double>(topLeft.Y()) * zoom_)));
    // The values may not have moved while their meaning did.
    applyViewOffset();
    if (changed)
        editor_->followZoom();
    if (changed)
        emit zoomChanged(static_cast<int>(std::lround(zoom_ * 100.0f)));
    update();
}

void CTavloView::zoomIn() {
    for (float level : kZoomLevels) {
        if (level > zoom_ * 1.001f) {
            setZoom(level);
            return;
        }
    }
}

void CTavloView::zoomOut() {
    for (auto it = kZoomLevels.rbegin(); it != kZoomLevels.rend(); ++it) {
        if (*it < zoom_ * 0.999f) {
            setZoom(*it);
            return;
        }
    }
}

void CTavloView::zoomToFit() {
    const CanvasBounds b = currentPage ? visibleBounds(*currentPage) : CanvasBounds{};
    const float w = b.maxX - b.minX;
    const float h = b.maxY - b.minY;
    if (b.empty || !std::isfinite(w) || !std::isfinite(h)) {
        centringRoom_ = QRectF();
        setZoom(1.0f);
        scrollTo(QPoint(0, 0));
        applyViewOffset();
        return;
    }
    const float roomX = std::max(1.0f, static_cast<float>(width()) - 2.0f * kFitMargin);
    const float roomY = std::max(1.0f, static_cast<float>(height()) - 2.0f * kFitMargin);
    const float fit = std::min(roomX / std::max(w, 1.0f), roomY / std::max(h, 1.0f));
    // Zoom about the centre of the shapes, then bring that centre to the
    // middle of the window.
    zoom_ = std::clamp(fit, kMinZoom, kMaxZoom);
    const float previous = scene.getZoom();
    scene.setZoom(zoom_);
    centreOn(ZVector2((b.minX + b.maxX) * 0.5f, (b.minY + b.maxY) * 0.5f));
    if (previous != zoom_)
        emit zoomChanged(static_cast<int>(std::lround(zoom_ * 100.0f)));
    update();
}

void CTavloView::centreOn(ZVector2 centre) {
    const ZVector2 topLeft = centre - clientFromScreen(QPointF(width() * 0.5, height() * 0.5));
    // A map narrower or shorter than the window, near the canvas's top or
    // left edge, needs room there to sit in the middle.
    const ZVector2 size = clientFromScreen(QPointF(width(), height()));
    centringRoom_ = QRectF(topLeft.X(), topLeft.Y(), size.X(), size.Y());
    updateScrollRanges();
    if (QScrollBar* hs = scrollBarCtrl(Qt::Horizontal))
        hs->setValue(static_cast<int>(std::lround(static_cast<double>(topLeft.X()) * zoom_)));
    if (QScrollBar* vs = scrollBarCtrl(Qt::Vertical))
        vs->setValue(static_cast<int>(std::lround(static_cast<double>(topLeft.Y()) * zoom_)));
    applyViewOffset();
    editor_->followZoom();
}

void CTavloView::showWholeMap() {
    // Fitted glyphs smaller than this are hard to read; the map is then shown
    // at 100 % around its root instead.
    constexpr float kReadableFit = 0.5f;
    // Whatever way it ends, remember how the view was left.
    struct Remember {
        CTavloView* view;
        ~Remember() {
            QScrollBar* h = view->scrollBarCtrl(Qt::Horizontal);
            QScrollBar* v = view->scrollBarCtrl(Qt::Vertical);
            view->wholeMapShown_ = {h && v, h && v ? QPoint(h->value(), v->value()) : QPoint(),
                                    view->zoom_};
        }
    } remember{this};
    zoomToFit();
    if (zoom_ >= kReadableFit && zoom_ <= 1.0f)
        return;
    const CanvasBounds b = currentPage ? visibleBounds(*currentPage) : CanvasBounds{};
    if (b.empty)
        return;
    ZVector2 centre((b.minX + b.maxX) * 0.5f, (b.minY + b.maxY) * 0.5f);
    if (zoom_ < kReadableFit) {
        for (ZN_ShapeBase* shape : currentPage->getShapeArray()) {
            if (shape->isRegion() && shape->getShow() && shape->inputs().empty()) {
                centre = (shape->getPoint1() + shape->getPoint2()) * 0.5f;
                break;
            }
        }
    }
    const float previous = zoom_;
    zoom_ = 1.0f;
    scene.setZoom(zoom_);
    centreOn(centre);
    if (previous != zoom_)
        emit zoomChanged(100);
    update();
}

bool CTavloView::showsWholeMapAsOpened() const {
    if (!wholeMapShown_.held || zoom_ != wholeMapShown_.zoom)
        return false;
    QScrollBar* h = scrollBarCtrl(Qt::Horizontal);
    QScrollBar* v = scrollBarCtrl(Qt::Vertical);
    return h && v && QPoint(h->value(), v->value()) == wholeMapShown_.scroll;
}

void CTavloView::onHScroll(int value) {
    ZVector2 offset = getScallPosition();
    offset.X() = static_cast<float>(value) / zoom_;
    setScallPosition(offset);
    editor_->place();
    update();
}

void CTavloView::onVScroll(int value) {
    ZVector2 offset = getScallPosition();
    offset.Y() = static_cast<float>(value) / zoom_;
    setScallPosition(offset);
    editor_->place();
    update();
}

void CTavloView::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        // Zoom about the pointer, a level per notch; smooth wheels add up.
        wheelRemainder_ += event->angleDelta().y();
        const int notches = wheelRemainder_ / 120;
        wheelRemainder_ -= notches * 120;
        for (int i = 0; i < std::abs(notches); ++i) {
            float next = zoom_;
            if (notches > 0) {
                const auto it = std::find_if(kZoomLevels.begin(), kZoomLevels.end(),
                                             [this](float l) { return l > zoom_ * 1.001f; });
                if (it != kZoomLevels.end())
                    next = *it;
            } else {
                const auto it = std::find_if(kZoomLevels.rbegin(), kZoomLevels.rend(),
                                             [this](float l) { return l < zoom_ * 0.999f; });
                if (it != kZoomLevels.rend())
                    next = *it;
            }
            setZoom(next, event->position());
        }
        event->accept();
        return;
    }
    if (scrollByWheel(event->angleDelta(), event->modifiers()))
        event->accept();
    else
        event->ignore();
}

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
    // A capture frame copies what the window shows; it stays inside it.
    return tools_->current->followsEdge();
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
    ToolContext& context = tools_->context;
    context.pressPoint = context.pressPoint - shift;
    context.lastPoint = context.lastPoint - shift;
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
