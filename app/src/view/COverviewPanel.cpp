#include "view/COverviewPanel.h"

#include <algorithm>
#include <cmath>
#include <memory>

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
// A picture is drawn a part of the page's shapes at a time, each part in one
// turn of the event loop taking about this long, so that input and the
// window's frames wait for one part at most. The first part's size; later
// ones follow the pace of the one before.
constexpr double kSliceMs = 6.0;
constexpr std::size_t kFirstShapes = 500;

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

// A picture being drawn: the framebuffer it goes into, in the context of the
// window it was started for, and what the page was when it started.
struct COverviewPanel::Job {
    QPointer<CTavloView> view;
    QPointer<QOpenGLContext> context;
    PageMark mark;
    OverviewFrame frame;  // panel pixels
    OverviewFrame pixels; // device pixels, as drawn
    qreal ratio = 1.0;
    std::unique_ptr<QOpenGLFramebufferObject> fbo;
    std::unique_ptr<OverviewDrawing> drawing;
    std::size_t next = 0;               // the next shape to draw
    std::size_t shapes = kFirstShapes; // shapes in the next slice
    bool done = false;
    int slices = 0;
    qint64 busyNs = 0; // the slices' time, summed
};

COverviewPanel::COverviewPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("overviewPanel");
    setMouseTracking(true);
    setMinimumSize(80, 60);
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &COverviewPanel::startPicture);
    sliceTimer_.setSingleShot(true);
    connect(&sliceTimer_, &QTimer::timeout, this, &COverviewPanel::drawSlice);
}

COverviewPanel::~COverviewPanel() {
    dropJob();
}

void COverviewPanel::setView(CTavloView* view) {
    if (view == view_)
        return;
    disconnect(frameHook_);
    view_ = view;
    seen_ = PageMark();
    dragging_ = false;
    if (view)
        frameHook_ = connect(view, &CTavloView::frameDrawn, this, &COverviewPanel::onViewFrame);
    schedule();
    update();
}

void COverviewPanel::setSliceShapes(int shapes) {
    sliceShapes_ = std::max(0, shapes);
}

bool COverviewPanel::isPictureInProgress() const {
    return job_ && job_->slices > 0 && !job_->done;
}

COverviewPanel::PageMark COverviewPanel::markOf(const CTavloView* v) {
    PageMark m;
    if (!v)
        return m;
    m.page = v->getCurrentPage();
    m.listVersion = m.page ? m.page->getListVersion() : 0;
    m.edits = v->document() ? v->document()->changeCount() : 0;
    m.pressing = v->getDragState() != dragstate::Idle || v->isPanning();
    return m;
}

void COverviewPanel::onViewFrame() {
    CTavloView* v = view_;
    if (!v)
        return;
    // Only a change of the page draws a new picture; a frame that scrolled,
    // zoomed, hovered, selected or drew a rubber band moves the rectangle at
    // most. The page changed when its list moved (shapes added, removed, an
    // undo), the document reported an edit, or a press ended (a drag moves
    // shapes frame by frame and reports its edit at the press). The shown
    // extent is no sign of one: it grows with selection handles.
    const PageMark now = markOf(v);
    const bool pageChanged = now.page != seen_.page || now.listVersion != seen_.listVersion ||
                             now.edits != seen_.edits || (seen_.pressing && !now.pressing);
    if (pageChanged)
        schedule();
    seen_ = now;
    update();
}

void COverviewPanel::schedule() {
    // A picture under way shows a page that is no longer there.
    dropJob();
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

void COverviewPanel::dropJob() {
    sliceTimer_.stop();
    if (!job_)
        return;
    std::unique_ptr<Job> job = std::move(job_);
    // The framebuffer goes in its own context; a context already gone took
    // it along.
    CTavloView* v = job->view;
    if (job->fbo && v && job->context && v->context() == job->context && !v->inGLCallback()) {
        v->makeCurrent();
        job->fbo.reset();
        v->doneCurrent();
    }
}

void COverviewPanel::startPicture() {
    if (!isVisible())
        return;
    dropJob();
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
    auto job = std::make_unique<Job>();
    job->view = v;
    job->context = v->context();
    job->mark = markOf(v);
    // An empty page shows the canvas the window starts with.
    ZDrawnExtent canvas;
    canvas.inks = true;
    canvas.max = ZVector2(static_cast<float>(CTavloView::kScrollWidth),
                          static_cast<float>(CTavloView::kScrollHeight));
    job->frame = fitOverview(page->shownExtent(), canvas, width(), height(), kMargin);
    job->ratio = devicePixelRatioF();
    job->pixels = job->frame;
    job->pixels.width = std::max(1, static_cast<int>(std::lround(width() * job->ratio)));
    job->pixels.height = std::max(1, static_cast<int>(std::lround(height() * job->ratio)));
    job->pixels.scale = job->frame.scale * static_cast<float>(job->ratio);
    job_ = std::move(job);
    // The first slice at once: on a small page it is the whole picture.
    drawSlice();
}

void COverviewPanel::drawSlice() {
    Job* job = job_.get();
    if (!job)
        return;
    CTavloView* v = view_;
    if (!isVisible() || !v || v != job->view) {
        dropJob();
        dirty_ = true;
        return;
    }
    // The window's own drawing comes first: a slice that would run inside it
    // waits for the next turn.
    if (v->inGLCallback()) {
        sliceTimer_.start(0);
        return;
    }
    // A change the window has not drawn yet is drawn there first; the
    // frame that shows it starts the picture again.
    const PageMark now = markOf(v);
    if (now.page != job->mark.page || now.listVersion != job->mark.listVersion ||
        now.edits != job->mark.edits || now.pressing != job->mark.pressing ||
        v->context() != job->context || !v->isSceneReady()) {
        schedule();
        return;
    }
    ZN_ShapeManager* page = v->getCurrentPage();
    QElapsedTimer clock;
    clock.start();
    v->makeCurrent();
    bool failed = false;
    std::size_t first = 0;
    if (!job->fbo) {
        job->fbo = std::make_unique<QOpenGLFramebufferObject>(
            job->pixels.width, job->pixels.height, QOpenGLFramebufferObject::CombinedDepthStencil);
    }
    if (job->fbo->isValid() && job->fbo->bind()) {
        FramebufferSurface surface(*job->fbo);
        if (!job->drawing)
            job->drawing = std::make_unique<OverviewDrawing>(surface, *page, job->pixels);
        std::size_t count = job->shapes;
        if (sliceShapes_ > 0)
            count = std::min(count, static_cast<std::size_t>(sliceShapes_));
        first = job->next;
        const std::size_t last = std::min(job->drawing->size(), first + count);
        job->drawing->draw(surface, first, last);
        job->next = last;
        job->done = last >= job->drawing->size();
        ++job->slices;
        if (job->done) {
            QImage picture = job->fbo->toImage();
            // The page is drawn over its opaque background, but blending
            // leaves partial coverage (the edges of smoothed lines) in the
            // alpha channel too. Read as premultiplied, such pixels hold more
            // colour than alpha and overflow when painted: a thin red
            // connector showed cyan. The picture is as opaque as the window.
            if (picture.format() != QImage::Format_ARGB32_Premultiplied)
                picture = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
            picture.reinterpretAsFormat(QImage::Format_RGB32);
            picture.setDevicePixelRatio(job->ratio);
            picture_ = std::move(picture);
            frame_ = job->frame;
            picturePage_ = page;
            ++pictureCount_;
            picturedSlices_ = job->slices;
        }
        QOpenGLFramebufferObject::bindDefault();
        if (job->done) {
            job->drawing.reset();
            job->fbo.reset();
        }
        QOpenGLFunctions* gl = v->context()->functions();
        gl->glBindFramebuffer(GL_FRAMEBUFFER, v->defaultFramebufferObject());
        const qreal viewRatio = v->devicePixelRatioF();
        gl->glViewport(0, 0, static_cast<int>(std::lround(v->width() * viewRatio)),
                       static_cast<int>(std::lround(v->height() * viewRatio)));
    } else {
        failed = true;
    }
    v->doneCurrent();
    const qint64 ns = clock.nsecsElapsed();
    job->busyNs += ns;
    if (failed || job->done) {
        // A framebuffer that cannot be had shows no picture rather than a
        // stale one; the next change tries again.
        if (failed) {
            picture_ = QImage();
            picturePage_ = nullptr;
        }
        lastCostMs_ = job->busyNs / 1000000;
        gapMs_ = std::max<qint64>(kMinGapMs, lastCostMs_ * kCostFactor);
        dropJob();
        update();
        return;
    }
    // The next slice as many shapes as fit in a turn's share at the pace of
    // this one.
    const double ms = std::max(0.05, static_cast<double>(ns) / 1.0e6);
    const double drawn = static_cast<double>(std::max<std::size_t>(1, job->next - first));
    job->shapes = static_cast<std::size_t>(
        std::clamp(drawn * kSliceMs / ms, std::max(16.0, drawn / 4.0), drawn * 4.0));
    sliceTimer_.start(0);
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

void COverviewPanel::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // What was under way is drawn afresh when shown again.
    if (job_) {
        dropJob();
        dirty_ = true;
    }
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
