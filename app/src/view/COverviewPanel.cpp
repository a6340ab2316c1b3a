#include "view/COverviewPanel.h"

#include <algorithm>
#include <cmath>

#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QPainter>
#include <QWheelEvent>

#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZGLSurface.h>

#include "document/CTavloDoc.h"
#include "view/CTavloView.h"

namespace {

// Room around the page in the picture, in panel pixels.
constexpr float kMargin = 6.0f;
// A picture that took long to draw waits this many times as long before the
// next, so that a large page never takes more than a share of the time.
constexpr int kCostFactor = 4;
// How long the page must be left alone before a new picture is drawn.
constexpr qint64 kQuietMs = 100;
// Pictures that take no longer than this to draw are redrawn at least this
// often while changes go on.
constexpr qint64 kQuickMs = 25;
constexpr qint64 kLongestDelayMs = 500;
// The visible part stays a clickable mark when the page dwarfs it.
constexpr qreal kSmallestMark = 4.0;

// The framebuffer object a picture is drawn into, as the scene's drawable.
class FramebufferSurface : public ZGLSurface {
public:
    explicit FramebufferSurface(QOpenGLFramebufferObject& fbo) : fbo_(fbo) {}
    bool makeCurrent() override { return fbo_.bind(); }
    void releaseCurrent() override {}
    void swapBuffers() override {}

private:
    QOpenGLFramebufferObject& fbo_;
};

} // namespace

COverviewPanel::COverviewPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("overviewPanel");
    setMouseTracking(true);
    setMinimumSize(80, 60);
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &COverviewPanel::drawPicture);
}

void COverviewPanel::setView(CTavloView* view) {
    if (view == view_)
        return;
    disconnect(frameHook_);
    view_ = view;
    seenPage_ = nullptr;
    dragging_ = false;
    if (view)
        frameHook_ = connect(view, &CTavloView::frameDrawn, this, &COverviewPanel::onViewFrame);
    schedule();
    update();
}

void COverviewPanel::onViewFrame() {
    CTavloView* v = view_;
    if (!v)
        return;
    const ZN_ShapeManager* page = v->getCurrentPage();
    // Only a change of the page draws a new picture; a frame that scrolled,
    // zoomed, hovered, selected or drew a rubber band moves the rectangle at
    // most. The page changed when its list moved (shapes added, removed, an
    // undo), the document reported an edit, or a press ended (a drag moves
    // shapes frame by frame and reports its edit at the press). The shown
    // extent is no sign of one: it grows with selection handles.
    const std::uint64_t listVersion = page ? page->getListVersion() : 0;
    const std::uint64_t edits = v->document() ? v->document()->changeCount() : 0;
    const bool pressing = v->getDragState() != dragstate::Idle || v->isPanning();
    const bool pageChanged = page != seenPage_ || listVersion != seenListVersion_ ||
                             edits != seenEdits_ || (seenPressing_ && !pressing);
    if (pageChanged)
        schedule();
    seenPage_ = page;
    seenListVersion_ = listVersion;
    seenEdits_ = edits;
    seenPressing_ = pressing;
    update();
}

void COverviewPanel::schedule() {
    if (!dirty_)
        firstChange_.start();
    dirty_ = true;
    if (!isVisible())
        return;
    // The first picture comes at once. Later ones wait for the changes to
    // pause (the end of a drag), so that drawing a large page never stalls
    // an edit under way; a page drawn quickly is drawn during long drags too.
    qint64 wait = picture_.isNull() ? 0 : kQuietMs;
    if (!picture_.isNull() && lastCostMs_ <= kQuickMs && firstChange_.elapsed() >= kLongestDelayMs)
        wait = 0;
    if (sinceLast_.isValid())
        wait = std::max<qint64>(wait, gapMs_ - sinceLast_.elapsed());
    timer_.start(static_cast<int>(wait));
}

void COverviewPanel::drawPicture() {
    if (!isVisible())
        return;
    dirty_ = false;
    sinceLast_.start();
    CTavloView* v = view_;
    ZN_ShapeManager* page = v ? v->getCurrentPage() : nullptr;
    if (!page || !v->isSceneReady() || !v->context()) {
        // Drawn at the window's first frame, which reports itself.
        picture_ = QImage();
        picturePage_ = nullptr;
        update();
        return;
    }
    // An empty page shows the canvas the window starts with.
    ZDrawnExtent canvas;
    canvas.inks = true;
    canvas.max = ZVector2(static_cast<float>(CTavloView::kScrollWidth),
                          static_cast<float>(CTavloView::kScrollHeight));
    frame_ = fitOverview(page->shownExtent(), canvas, width(), height(), kMargin);
    const qreal ratio = devicePixelRatioF();
    OverviewFrame pixels = frame_;
    pixels.width = std::max(1, static_cast<int>(std::lround(width() * ratio)));
    pixels.height = std::max(1, static_cast<int>(std::lround(height() * ratio)));
    pixels.scale = frame_.scale * static_cast<float>(ratio);

    v->makeCurrent();
    {
        QOpenGLFramebufferObject fbo(pixels.width, pixels.height,
                                     QOpenGLFramebufferObject::CombinedDepthStencil);
        if (fbo.isValid() && fbo.bind()) {
            FramebufferSurface surface(fbo);
            drawOverview(surface, *page, pixels);
            picture_ = fbo.toImage();
            // The page is drawn over its opaque background, but blending
            // leaves partial coverage (the edges of smoothed lines) in the
            // alpha channel too. Read as premultiplied, such pixels hold more
            // colour than alpha and overflow when painted: a thin red
            // connector showed cyan. The picture is as opaque as the window.
            if (picture_.format() != QImage::Format_ARGB32_Premultiplied)
                picture_ = picture_.convertToFormat(QImage::Format_ARGB32_Premultiplied);
            picture_.reinterpretAsFormat(QImage::Format_RGB32);
            picture_.setDevicePixelRatio(ratio);
            picturePage_ = page;
            ++pictureCount_;
            QOpenGLFramebufferObject::bindDefault();
            QOpenGLFunctions* gl = v->context()->functions();
            gl->glBindFramebuffer(GL_FRAMEBUFFER, v->defaultFramebufferObject());
            const qreal viewRatio = v->devicePixelRatioF();
            gl->glViewport(0, 0, static_cast<int>(std::lround(v->width() * viewRatio)),
                           static_cast<int>(std::lround(v->height() * viewRatio)));
        }
    }
    v->doneCurrent();
    lastCostMs_ = sinceLast_.elapsed();
    gapMs_ = std::max<qint64>(kMinGapMs, lastCostMs_ * kCostFactor);
    update();
}

ZVector2 COverviewPanel::canvasAt(QPointF panel) const {
    return frame_.toCanvas(static_cast<float>(panel.x()), static_cast<float>(panel.y()));
}

QPointF COverviewPanel::panelAt(const ZVector2& canvas) const {
    const ZVector2 p = frame_.toPicture(canvas);
    return {p.X(), p.Y()};
}

QRectF COverviewPanel::viewRect() const {
    CTavloView* v = view_;
    if (!v || v->getZoom() <= 0.0f)
        return {};
    const ZVector2 topLeft = v->viewOffset();
    const float zoom = v->getZoom();
    const ZVector2 bottomRight(topLeft.X() + static_cast<float>(v->width()) / zoom,
                               topLeft.Y() + static_cast<float>(v->height()) / zoom);
    return QRectF(panelAt(topLeft), panelAt(bottomRight));
}

void COverviewPanel::centreViewOn(const ZVector2& canvas) {
    CTavloView* v = view_;
    if (!v)
        return;
    const float zoom = v->getZoom();
    const double x = canvas.X() - static_cast<float>(v->width()) * 0.5f / zoom;
    const double y = canvas.Y() - static_cast<float>(v->height()) * 0.5f / zoom;
    if (!std::isfinite(x) || !std::isfinite(y))
        return;
    v->scrollTo(QPoint(static_cast<int>(std::lround(std::clamp(x, -1.0e9, 1.0e9))),
                       static_cast<int>(std::lround(std::clamp(y, -1.0e9, 1.0e9)))));
    update();
}

void COverviewPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Mid));
    if (picture_.isNull() || !view_)
        return;
    painter.drawImage(QPointF(0, 0), picture_);
    QRectF mark = viewRect().normalized();
    if (mark.width() < kSmallestMark || mark.height() < kSmallestMark) {
        const QPointF centre = mark.center();
        mark.setSize(mark.size().expandedTo(QSizeF(kSmallestMark, kSmallestMark)));
        mark.moveCenter(centre);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(220, 0, 0), 2));
    painter.setBrush(QColor(220, 0, 0, 36));
    painter.drawRect(mark);
}

void COverviewPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    schedule();
}

void COverviewPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Changes were not drawn while hidden.
    schedule();
}

void COverviewPanel::mousePressEvent(QMouseEvent* event) {
    CTavloView* v = view_;
    if (event->button() != Qt::LeftButton || !v || picture_.isNull()) {
        QWidget::mousePressEvent(event);
        return;
    }
    const ZVector2 at = canvasAt(event->position());
    const float zoom = v->getZoom();
    const ZVector2 centre =
        v->viewOffset() + ZVector2(static_cast<float>(v->width()) * 0.5f / zoom,
                                   static_cast<float>(v->height()) * 0.5f / zoom);
    // Taking the rectangle keeps the pointer where it took it; a press
    // elsewhere brings the window there first.
    if (viewRect().normalized().contains(event->position())) {
        grab_ = at - centre;
    } else {
        grab_ = ZVector2(0.0f, 0.0f);
        centreViewOn(at);
    }
    dragging_ = true;
    setCursor(Qt::ClosedHandCursor);
    event->accept();
}

void COverviewPanel::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) {
        centreViewOn(canvasAt(event->position()) - grab_);
        event->accept();
        return;
    }
    if (viewRect().normalized().contains(event->position()))
        setCursor(Qt::OpenHandCursor);
    else
        unsetCursor();
}

void COverviewPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dragging_) {
        dragging_ = false;
        unsetCursor();
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void COverviewPanel::wheelEvent(QWheelEvent* event) {
    CTavloView* v = view_;
    if (!v) {
        event->ignore();
        return;
    }
    // A level per notch, about the window's centre; smooth wheels add up.
    wheelRemainder_ += event->angleDelta().y();
    const int notches = wheelRemainder_ / 120;
    wheelRemainder_ -= notches * 120;
    for (int i = 0; i < std::abs(notches); ++i) {
        if (notches > 0)
            v->zoomIn();
        else
            v->zoomOut();
    }
    event->accept();
}

COverviewDock::COverviewDock(QWidget* parent) : QDockWidget(QStringLiteral("概览窗口"), parent) {
    setObjectName("dockOverview");
    panel_ = new COverviewPanel(this);
    setWidget(panel_);
    hide();
}
