#pragma once
// The editing view: shows one page of its document through an OpenGL scene
// and scrolls a 15000 x 10000 canvas with its frame's scroll bars.

#include <list>

#include <rulmek/rulmek.h>
#include <sarvik/ZN_Scene.h>
#include <sarvik/platform/ZGLSurface.h>

#include "folder/CFolderView.h"

class CTavloDoc;
class QMenu;
class CTavloView;
class ZN_ShapeBase;
class ZN_ShapeManager;

// The drawable the scene binds to: the view's own GL context and framebuffer.
// Qt presents the frame itself, and while Qt is inside one of the view's GL
// callbacks the context must stay current, so release does nothing there.
class CViewSurface : public ZGLSurface {
public:
    explicit CViewSurface(CTavloView* view) : view_(view) {}
    bool makeCurrent() override;
    void releaseCurrent() override;
    void swapBuffers() override {}

private:
    CTavloView* view_;
};

class CTavloView : public CFolderView {
    Q_OBJECT
public:
    static constexpr int kScrollWidth = 15000;
    static constexpr int kScrollHeight = 10000;

    explicit CTavloView(QWidget* parent = nullptr);
    ~CTavloView() override;

    void setDocument(CTavloDoc* doc) { document_ = doc; }
    CTavloDoc* document() const { return document_; }

    ZN_ShapeManager* getCurrentPage() const { return currentPage; }
    void setCurrentPage(ZN_ShapeManager* page);
    bool isSceneReady() const { return sceneReady; }
    ZN_Scene& getScene() { return scene; }
    int getBindDrag() const { return bindDrag; }
    void setBindDrag(int value) { bindDrag = value; }
    // The right-click menu "编辑"; not owned.
    void setContextMenu(QMenu* menu) { contextMenu_ = menu; }
    bool inGLCallback() const { return glCallbackDepth_ > 0; }

    // Shows the page at `index` of the document; the selection and the drag
    // state stay as they are.
    void showPage(int index) override;

    // Scroll position in canvas pixels.
    QPoint scrollPosition() const;
    void scrollTo(QPoint position);

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void frameAttached() override;

private:
    void onHScroll(int value);
    void onVScroll(int value);
    void updateScrollRanges();
    void buildPendingTextures();

    ZN_ShapeManager* currentPage = nullptr; // not owned: the document owns its pages
    bool sceneReady = false;
    ZN_Scene scene;
    int clientWidth = 0;
    int clientHeight = 0;
    int tool = 0;
    int dragState = 0;
    ZN_ShapeBase* hitShape = nullptr;
    std::list<ZN_ShapeBase*> selection; // not owning
    int bindDrag = 1;

    CViewSurface surface_;
    CTavloDoc* document_ = nullptr; // not owned
    QMenu* contextMenu_ = nullptr;  // not owned
    int glCallbackDepth_ = 0;
};
