#include "view/CTavloView.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <GL/gl.h>

#include <sarvik/ZDrawnExtent.h>
#include <sarvik/ZImageTexture.h>
#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/ZN_TreeLayout.h>

#include "dialogs/CommandPrompts.h"
#include "document/CTavloDoc.h"
#include "folder/CFolderFrame.h"
#include "tools/LabelEditor.h"
#include "tools/ToolBox.h"
#include "view/UndoStep.h"
#include "view/TreeFolds.h"
#include "view/ViewScrolling.h"

namespace {

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

ViewState::ViewState(CTavloView* view) : surface_(view) {}

ViewState::~ViewState() = default;

CTavloView::CTavloView(QWidget* parent) : CFolderView(parent), ViewState(this) {
    setObjectName("CTavloView");
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setScallPosition(ZVector2(0.0f, 0.0f));
    editor_ = std::make_unique<LabelEditor>(*this);
    tools_ = std::make_unique<ToolBox>(*this);
    initScrolling();
}

CTavloView::~CTavloView() {
    // Nothing of the scene is released here: its context ends with the widget.
}

void CTavloView::setCurrentPage(ZN_ShapeManager* page) {
    if (page != currentPage)
        treefolds::forgetLayout();
    currentPage = page;
    scene.setShapeManager(page);
}

void CTavloView::showPage(int index) {
    if (!document_)
        return;
    // The text being typed goes onto its own page, or with it when the page
    // has gone.
    commitEdit();
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
        tools_->connector.forgetTarget(exists(currentPage));
        tools_->context.hitShape = nullptr;
    }
    // A rubber band belongs to the page it was drawn on.
    tools_->select.forgetBand();
    setCurrentPage(next);
    updateScrollRanges();
    update();
}

QPlainTextEdit* CTavloView::editBox() const { return editor_->box(); }

bool CTavloView::isEditing() const { return editor_->isOpen(); }

ZN_SText* CTavloView::getEditLabel() const { return editor_->label(); }

void CTavloView::commitEdit() {
    if (editor_->isOpen())
        editor_->commit();
}

bool CTavloView::event(QEvent* event) {
    // Without this Tab would only move the focus to the next window.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab && tools_->growth.key(key->key(), key->modifiers())) {
            key->accept();
            return true;
        }
    }
    return CFolderView::event(event);
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
    wholeMapShown_.held = false;
    // Panning goes around the tools: the page under the pointer is not touched.
    if (!panning_ && (event->button() == Qt::MiddleButton ||
                      (event->button() == Qt::LeftButton && spaceHeld_))) {
        spacePanned_ = spaceHeld_;
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
    followPointer(event->position().toPoint(), event->buttons() & Qt::LeftButton);
}

void CTavloView::mouseReleaseEvent(QMouseEvent* event) {
    if (panning_) {
        if (event->button() == Qt::MiddleButton || event->button() == Qt::LeftButton)
            endPan();
        return;
    }
    if (event->button() == Qt::LeftButton) {
        stopAutoscroll();
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
        // Space tapped, not held to pan, folds the selected node.
        if (!spacePanned_ && !panning_ && getDragState() == dragstate::Idle)
            foldSelectedNode();
        spacePanned_ = false;
        event->accept();
        return;
    }
    CFolderView::keyReleaseEvent(event);
}

void CTavloView::focusOutEvent(QFocusEvent* event) {
    // A Space released in another window never reaches this one.
    spaceHeld_ = false;
    stopAutoscroll();
    CFolderView::focusOutEvent(event);
}

void CTavloView::keyPressEvent(QKeyEvent* event) {
    wholeMapShown_.held = false;
    if (event->key() == Qt::Key_Space) {
        // Space held turns the left button into a panning hand.
        if (!event->isAutoRepeat() && !spaceHeld_) {
            spaceHeld_ = true;
            spacePanned_ = false;
            if (!panning_)
                setCursor(Qt::OpenHandCursor);
        }
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Slash &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && foldSelectedNode()) {
        event->accept();
        return;
    }
    if (scrollByKey(event->key(), event->modifiers()) ||
        tools_->growth.key(event->key(), event->modifiers())) {
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

void CTavloView::setTool(int value) {
    commitEdit();
    switchTool(value);
    update();
}

void CTavloView::markModified() {
    if (document_)
        document_->SetModifiedFlag(true);
}

void CTavloView::forgetShapes() {
    selection.clear();
    selectionPages_.clear();
    tools_->context.hitShape = nullptr;
    // The highlighted target may be gone already; only one still on the page
    // has a highlight left to clear.
    ZN_ShapeBase* hoverShape = tools_->connector.target();
    bool onPage = false;
    if (hoverShape && currentPage) {
        const auto& shapes = currentPage->getShapeList();
        onPage = std::find(shapes.begin(), shapes.end(), hoverShape) != shapes.end();
    }
    tools_->connector.forgetTarget(onPage);
    tools_->select.forgetBand();
    // A label being typed into may be gone with its node; drop the edit rather
    // than write into freed memory on the next press.
    editor_->cancel();
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
    selection.add(shape);
    notePageOfSelection();
}

void CTavloView::selectAll() {
    if (!currentPage)
        return;
    selection.selectAll(*currentPage);
    selectionPages_.clear();
    notePageOfSelection();
}

void CTavloView::notePageOfSelection() {
    if (std::find(selectionPages_.begin(), selectionPages_.end(), currentPage) ==
        selectionPages_.end())
        selectionPages_.push_back(currentPage);
}

void CTavloView::deleteSelection() {
    if (!currentPage)
        return;
    UndoStep undo(*this);
    // A laid-out tree closes up where its nodes were taken out.
    std::vector<ZN_ShapeBase*> above;
    for (ZN_ShapeBase* s : selection.shapes())
        if (ZN_ShapeBase* parent = ZN_TreeParent(s); parent && !parent->getSelected())
            above.push_back(parent);
    currentPage->deleteSelected();
    treefolds::relayout(currentPage, above);
    forgetShapes();
    // Back to the select tool, the press under way dropped.
    cancelTool();
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
    // Asked before the new range may move the bars.
    if (showsWholeMapAsOpened())
        wholeMapPending_ = true;
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
    if (wholeMapPending_) {
        wholeMapPending_ = false;
        showWholeMap();
    }
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
    drawOutlines();
    if (const QRect r = focusRect(); !r.isNull()) {
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
    emit frameDrawn();
}
