#include "view/CTavloView.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QWheelEvent>

#include <GL/gl.h>

#include <sarvik/ZDrawnExtent.h>
#include <sarvik/ZImageTexture.h>
#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_ShapeManager.h>

#include "cli/TavloCli.h"
#include "commands/CommandIds.h"
#include "folder/CFolderFrame.h"
#include "frames/CTavloApp.h"
#include "frames/CTavloDoc.h"

namespace {

// Scroll steps of a scroll view that was given no sizes of its own: a page is
// a tenth of the canvas and a line a tenth of a page.
constexpr int kLineX = CTavloView::kScrollWidth / 100;
constexpr int kLineY = CTavloView::kScrollHeight / 100;
constexpr int kWheelLines = 3;
// The steps of zooming in and out.
constexpr std::array<float, 12> kZoomLevels = {0.1f, 0.25f, 0.33f, 0.5f, 0.67f, 0.75f,
                                               1.0f, 1.25f, 1.5f,  2.0f, 3.0f,  4.0f};
// Scroll values count screen pixels; they are kept well inside an int.
constexpr double kScrollLimit = 1.0e9;
// Room left around the shapes when the whole page is fitted into the window.
constexpr float kFitMargin = 20.0f;

// Keeps the surface from releasing the context while Qt is drawing.
struct GLCallbackGuard {
    explicit GLCallbackGuard(int& depth) : depth_(depth) { ++depth_; }
    ~GLCallbackGuard() { --depth_; }
    int& depth_;
};

} // namespace

bool CViewSurface::makeCurrent() {
    if (!view_->context())
        return false;
    view_->makeCurrent();
    return true;
}

void CViewSurface::releaseCurrent() {
    if (!view_->inGLCallback() && view_->context())
        view_->doneCurrent();
}

CTavloView::CTavloView(QWidget* parent) : CFolderView(parent), surface_(this) {
    setObjectName("CTavloView");
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setScallPosition(ZVector2(0.0f, 0.0f));
    // The in-place editor is a hidden child that shows over the page while a
    // text is typed.
    editBox_ = new QPlainTextEdit(this);
    editBox_->setObjectName("editBox");
    editBox_->setLineWrapMode(QPlainTextEdit::NoWrap);
    editBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    editBox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    editBox_->setGeometry(100, 100, 100, 100);
    editBox_->hide();
    connect(editBox_, &QPlainTextEdit::textChanged, this, &CTavloView::resizeEditBox);
}

CTavloView::~CTavloView() {
    // Nothing of the scene is released here: its context ends with the widget.
}

void CTavloView::setCurrentPage(ZN_ShapeManager* page) {
    currentPage = page;
    scene.setShapeManager(page);
}

void CTavloView::showPage(int index) {
    if (!document_)
        return;
    const auto& managers = document_->shapeData().managers;
    if (index < 0 || index >= static_cast<int>(managers.size()))
        return;
    const auto exists = [&managers](const ZN_ShapeManager* p) {
        return std::find(managers.begin(), managers.end(), p) != managers.end();
    };
    // The selection survives a page switch, but not the page it lives on: a
    // deleted page takes its shapes with it.
    if (!std::all_of(selectionPages_.begin(), selectionPages_.end(), exists))
        forgetShapes();
    ZN_ShapeManager* next = managers[static_cast<std::size_t>(index)];
    if (next != currentPage) {
        // Shapes under the pointer belong to the page left; the next hover
        // test finds those of the new one.
        if (hoverShape && exists(currentPage))
            hoverShape->setSnake(0);
        hitShape = nullptr;
        hoverShape = nullptr;
    }
    // A rubber band belongs to the page it was drawn on.
    focusRect_ = QRect();
    setCurrentPage(next);
    updateScrollRanges();
    update();
}

void CTavloView::frameAttached() {
    QScrollBar* h = scrollBarCtrl(Qt::Horizontal);
    QScrollBar* v = scrollBarCtrl(Qt::Vertical);
    h->setSingleStep(kLineX);
    v->setSingleStep(kLineY);
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
    updateScrollRanges();
    // The canvas point under the anchor stays under it.
    const ZVector2 topLeft = fixed - clientFromScreen(anchor);
    QScrollBar* h = scrollBarCtrl(Qt::Horizontal);
    QScrollBar* v = scrollBarCtrl(Qt::Vertical);
    if (h)
        h->setValue(static_cast<int>(std::lround(static_cast<double>(topLeft.X()) * zoom_)));
    if (v)
        v->setValue(static_cast<int>(std::lround(static_cast<double>(topLeft.Y()) * zoom_)));
    // The values may not have moved while their meaning did.
    applyViewOffset();
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
    updateScrollRanges();
    const ZVector2 centre((b.minX + b.maxX) * 0.5f, (b.minY + b.maxY) * 0.5f);
    const ZVector2 topLeft = centre - clientFromScreen(QPointF(width() * 0.5, height() * 0.5));
    if (QScrollBar* hs = scrollBarCtrl(Qt::Horizontal))
        hs->setValue(static_cast<int>(std::lround(static_cast<double>(topLeft.X()) * zoom_)));
    if (QScrollBar* vs = scrollBarCtrl(Qt::Vertical))
        vs->setValue(static_cast<int>(std::lround(static_cast<double>(topLeft.Y()) * zoom_)));
    applyViewOffset();
    if (previous != zoom_)
        emit zoomChanged(static_cast<int>(std::lround(zoom_ * 100.0f)));
    update();
}

void CTavloView::onHScroll(int value) {
    ZVector2 offset = getScallPosition();
    offset.X() = static_cast<float>(value) / zoom_;
    setScallPosition(offset);
    update();
}

void CTavloView::onVScroll(int value) {
    ZVector2 offset = getScallPosition();
    offset.Y() = static_cast<float>(value) / zoom_;
    setScallPosition(offset);
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
    QScrollBar* v = scrollBarCtrl(Qt::Vertical);
    if (!v) {
        event->ignore();
        return;
    }
    const int notches = event->angleDelta().y() / 120;
    if (notches != 0)
        v->setValue(v->value() - notches * kWheelLines * kLineY);
    event->accept();
}

void CTavloView::focusInEvent(QFocusEvent* event) {
    CFolderView::focusInEvent(event);
    // Leaves this window's context current for whatever GL work follows.
    scene.makeCurrent();
}

void CTavloView::contextMenuEvent(QContextMenuEvent* event) {
    // Only the select tool offers the menu; a drawing tool is cancelled by the
    // right button instead.
    const QPoint p = event->reason() == QContextMenuEvent::Mouse ? event->pos() : QPoint();
    if (!onRButtonUp(event->modifiers(), p))
        return;
    if (contextMenu_)
        contextMenu_->exec(event->globalPos());
}

void CTavloView::startPan(QPoint screen) {
    panning_ = true;
    panStart_ = screen;
    panScrollStart_ =
        QPoint(scrollBarCtrl(Qt::Horizontal) ? scrollBarCtrl(Qt::Horizontal)->value() : 0,
               scrollBarCtrl(Qt::Vertical) ? scrollBarCtrl(Qt::Vertical)->value() : 0);
    setCursor(Qt::ClosedHandCursor);
}

void CTavloView::endPan() {
    panning_ = false;
    if (spaceHeld_)
        setCursor(Qt::OpenHandCursor);
    else
        unsetCursor();
}

void CTavloView::mousePressEvent(QMouseEvent* event) {
    // Panning goes around the tools: the page under the pointer is not touched.
    if (!panning_ && (event->button() == Qt::MiddleButton ||
                      (event->button() == Qt::LeftButton && spaceHeld_))) {
        startPan(event->position().toPoint());
        event->accept();
        return;
    }
    if (panning_)
        return;
    if (event->button() == Qt::LeftButton)
        onLButtonDown(event->modifiers(), event->position().toPoint());
    else
        CFolderView::mousePressEvent(event);
}

void CTavloView::mouseMoveEvent(QMouseEvent* event) {
    if (panning_) {
        // The page follows the pointer.
        const QPoint moved = event->position().toPoint() - panStart_;
        if (QScrollBar* h = scrollBarCtrl(Qt::Horizontal))
            h->setValue(panScrollStart_.x() - moved.x());
        if (QScrollBar* v = scrollBarCtrl(Qt::Vertical))
            v->setValue(panScrollStart_.y() - moved.y());
        return;
    }
    onMouseMove(event->modifiers(), event->position().toPoint());
}

void CTavloView::mouseReleaseEvent(QMouseEvent* event) {
    if (panning_) {
        if (event->button() == Qt::MiddleButton || event->button() == Qt::LeftButton)
            endPan();
        return;
    }
    if (event->button() == Qt::LeftButton) {
        onLButtonUp(event->modifiers(), event->position().toPoint());
        // A drag grew the scroll range over every place it passed.
        if (currentPage)
            currentPage->tightenShownExtent();
    } else {
        CFolderView::mouseReleaseEvent(event);
    }
}

void CTavloView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        onLButtonDblClk(event->modifiers(), event->position().toPoint());
    else
        CFolderView::mouseDoubleClickEvent(event);
}

void CTavloView::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        spaceHeld_ = false;
        if (!panning_)
            unsetCursor();
        event->accept();
        return;
    }
    CFolderView::keyReleaseEvent(event);
}

void CTavloView::focusOutEvent(QFocusEvent* event) {
    // A Space released in another window never reaches this one.
    spaceHeld_ = false;
    CFolderView::focusOutEvent(event);
}

void CTavloView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        // Space held turns the left button into a panning hand.
        if (!event->isAutoRepeat() && !spaceHeld_) {
            spaceHeld_ = true;
            if (!panning_)
                setCursor(Qt::OpenHandCursor);
        }
        event->accept();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Control:
    case Qt::Key_Escape:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        onKeyDown(event->key(), event->modifiers());
        event->accept();
        return;
    default:
        CFolderView::keyPressEvent(event);
    }
}

int CTavloView::toolForCommand(int commandId) {
    switch (commandId) {
    case cmd::ToolSelect:
        return viewtool::Select;
    case cmd::ToolPoint:
        return viewtool::Point;
    case cmd::ToolLine:
        return viewtool::Line;
    case cmd::ToolRect:
        return viewtool::Rect;
    case cmd::ToolText:
        return viewtool::Text;
    case cmd::ToolEllipse:
        return viewtool::Ellipse;
    case cmd::ToolRoundRect:
        return viewtool::RoundRect;
    case cmd::ToolRhombus:
        return viewtool::Rhombus;
    case cmd::ToolCapture:
        return viewtool::Capture;
    case cmd::ToolTable:
        return viewtool::Table;
    case cmd::ToolParallelogram:
        return viewtool::Parallelogram;
    default:
        return -1;
    }
}

void CTavloView::setTool(int value) {
    clearHover();
    focusRect_ = QRect();
    tool = value;
    dragState = dragstate::Idle;
    update();
}

void CTavloView::takeSnapshot() {
    if (!currentPage)
        return;
    currentPage->getUndoRedo()->copyAllTooplist(true);
    markModified();
}

void CTavloView::markModified() {
    if (document_)
        document_->SetModifiedFlag(true);
}

void CTavloView::forgetShapes() {
    selection.clear();
    selectionPages_.clear();
    hitShape = nullptr;
    // The highlighted target may be gone already; only one still on the page
    // has a highlight left to clear.
    if (hoverShape && currentPage) {
        const auto& shapes = currentPage->getShapeList();
        if (std::find(shapes.begin(), shapes.end(), hoverShape) != shapes.end())
            hoverShape->setSnake(0);
    }
    hoverShape = nullptr;
    focusRect_ = QRect();
    // A label being typed into may be gone with its node; drop the edit rather
    // than write into freed memory on the next press.
    closeEditBox(false);
    editLabel = nullptr;
}

void CTavloView::clearSelection() {
    if (currentPage)
        currentPage->clearSelect();
    selection.clear();
    selectionPages_.clear();
}

void CTavloView::addToSelection(ZN_ShapeBase* shape) {
    if (!shape)
        return;
    shape->setSelected(true);
    if (std::find(selection.begin(), selection.end(), shape) == selection.end())
        selection.push_back(shape);
    if (std::find(selectionPages_.begin(), selectionPages_.end(), currentPage) ==
        selectionPages_.end())
        selectionPages_.push_back(currentPage);
}

void CTavloView::deleteSelection() {
    if (!currentPage)
        return;
    takeSnapshot();
    currentPage->deleteSelected();
    forgetShapes();
    dragState = dragstate::Idle;
    tool = viewtool::Select;
    update();
}

void CTavloView::showMessage(const QString& text) {
    if (messageShower_) {
        messageShower_(text);
        return;
    }
    QMessageBox::information(this, CTavloApp::kApplication, text);
}

void CTavloView::initializeGL() {
    GLCallbackGuard guard(glCallbackDepth_);
    clientWidth = width();
    clientHeight = height();
    if (!currentPage)
        return;
    sceneReady = true;
    scene.init(&surface_);
    scene.makeCurrent();
    scene.resize(clientWidth, clientHeight);
    buildPendingTextures();
    // Pictures of the page shown get textures in this window's context.
    for (ZN_ShapeBase* shape : currentPage->getShapeList()) {
        if (shape->type() != 7)
            continue;
        if (auto* rect = dynamic_cast<ZN_NRect*>(shape);
            rect && rect->getImageData() && rect->getImageData()->getTexture() == 0)
            rect->getImageData()->resetTexture();
    }
    scene.releaseCurrent();
}

void CTavloView::buildPendingTextures() {
    if (!document_)
        return;
    for (ZImageTexture* texture : document_->takePendingTextures())
        texture->resetTexture();
}

void CTavloView::resizeGL(int w, int h) {
    GLCallbackGuard guard(glCallbackDepth_);
    clientWidth = w;
    clientHeight = h;
    updateScrollRanges();
    if (!sceneReady)
        return;
    scene.makeCurrent();
    scene.resize(w, h);
    scene.releaseCurrent();
}

void CTavloView::paintGL() {
    GLCallbackGuard guard(glCallbackDepth_);
    if (!document_ || !sceneReady)
        return;
    // Edits, loads, undo and page switches may have moved shapes beyond the
    // range; every frame follows them.
    updateScrollRanges();
    // The offset is shared by every window; this one draws with its own.
    applyViewOffset();
    scene.makeCurrent();
    buildPendingTextures();
    // Labels, line widths and pictures are made for the screen's device pixels.
    scene.setPixelRatio(static_cast<float>(devicePixelRatioF()));
    scene.render();
    if (!focusRect_.isNull()) {
        // The rubber band: a dotted outline over the page, in window pixels.
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0.0, clientWidth, clientHeight, 0.0, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_LINE_STIPPLE);
        glLineStipple(1, 0x5555);
        glLineWidth(1.0f);
        glColor3f(0.0f, 0.0f, 0.0f);
        const QRect& r = focusRect_;
        glBegin(GL_LINE_LOOP);
        glVertex2f(r.left() + 0.5f, r.top() + 0.5f);
        glVertex2f(r.right() + 0.5f, r.top() + 0.5f);
        glVertex2f(r.right() + 0.5f, r.bottom() + 0.5f);
        glVertex2f(r.left() + 0.5f, r.bottom() + 0.5f);
        glEnd();
        glDisable(GL_LINE_STIPPLE);
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    }
    scene.releaseCurrent();
}
