#include "view/CTavloView.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QWheelEvent>

#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_ShapeManager.h>

#include "folder/CFolderFrame.h"
#include "frames/CTavloDoc.h"

namespace {

// Scroll steps of a scroll view that was given no sizes of its own: a page is
// a tenth of the canvas and a line a tenth of a page.
constexpr int kLineX = CTavloView::kScrollWidth / 100;
constexpr int kLineY = CTavloView::kScrollHeight / 100;
constexpr int kWheelLines = 3;

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
    setCurrentPage(managers[static_cast<std::size_t>(index)]);
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
    h->setPageStep(std::max(1, width()));
    v->setPageStep(std::max(1, height()));
    h->setRange(0, std::max(0, kScrollWidth - width()));
    v->setRange(0, std::max(0, kScrollHeight - height()));
}

QPoint CTavloView::scrollPosition() const {
    QScrollBar* h = scrollBarCtrl(Qt::Horizontal);
    QScrollBar* v = scrollBarCtrl(Qt::Vertical);
    return {h ? h->value() : 0, v ? v->value() : 0};
}

void CTavloView::scrollTo(QPoint position) {
    if (QScrollBar* h = scrollBarCtrl(Qt::Horizontal))
        h->setValue(position.x());
    if (QScrollBar* v = scrollBarCtrl(Qt::Vertical))
        v->setValue(position.y());
}

void CTavloView::onHScroll(int value) {
    ZVector2 offset = getScallPosition();
    offset.X() = static_cast<float>(value);
    setScallPosition(offset);
    update();
}

void CTavloView::onVScroll(int value) {
    ZVector2 offset = getScallPosition();
    offset.Y() = static_cast<float>(value);
    setScallPosition(offset);
    update();
}

void CTavloView::wheelEvent(QWheelEvent* event) {
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
    if (tool != 0) {
        tool = 0;
        dragState = 0;
        return;
    }
    if (contextMenu_)
        contextMenu_->exec(event->globalPos());
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
        if (auto* rect = dynamic_cast<ZN_NRect*>(shape); rect && rect->getImageData() &&
                                                         rect->getImageData()->getTexture() == 0)
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
    // The offset is shared by every window; this one draws with its own.
    const QPoint pos = scrollPosition();
    setScallPosition(ZVector2(static_cast<float>(pos.x()), static_cast<float>(pos.y())));
    scene.makeCurrent();
    buildPendingTextures();
    scene.render();
    scene.releaseCurrent();
}
