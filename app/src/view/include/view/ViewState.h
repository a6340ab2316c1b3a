#pragma once
// What the editing view keeps between events beside its tools: the page shown
// and its scene, the window's size, zoom and scroll, panning, the selection,
// the label editor, the tools, and its links to the document and the menu.
// CTavloView derives from it privately: nothing but the view reads it.

#include <functional>
#include <memory>
#include <vector>

#include <QPoint>
#include <QRectF>

#include <rulmek/rulmek.h>
#include <sarvik/ZN_Scene.h>
#include <sarvik/platform/ZGLSurface.h>

#include "view/SelectionList.h"

class CTavloDoc;
class CTavloView;
class LabelEditor;
class QMenu;
class ZN_ShapeManager;
struct ToolBox;
struct ViewScroller;

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

// Canvas rectangles outlined lightly over the page, asked for those within
// the canvas part min..max.
using ViewOutlineSource = std::function<void(ZVector2 min, ZVector2 max, std::vector<QRectF>& out)>;

struct ViewState {
    explicit ViewState(CTavloView* view);
    ~ViewState();
    ViewState(const ViewState&) = delete;
    ViewState& operator=(const ViewState&) = delete;

    ZN_ShapeManager* currentPage = nullptr; // not owned: the document owns its pages
    bool sceneReady = false;
    ZN_Scene scene;
    int clientWidth = 0;
    int clientHeight = 0;
    int tool = 0;
    SelectionList selection; // not owning
    // Pages the selected shapes were taken from, so that deleting one of them
    // also empties the list.
    std::vector<ZN_ShapeManager*> selectionPages_;
    std::unique_ptr<LabelEditor> editor_;
    // One object per tool, the context they share and the tool in use.
    std::unique_ptr<ToolBox> tools_;
    int bindDrag = 1;

    CViewSurface surface_;
    CTavloDoc* document_ = nullptr; // not owned
    QMenu* contextMenu_ = nullptr;  // not owned
    int glCallbackDepth_ = 0;
    float zoom_ = 1.0f;
    // Canvas room the scroll range keeps beyond the shapes' own, so that a
    // fitted or centred map can sit in the middle of the window; dropped with
    // the next zoom.
    QRectF centringRoom_;
    bool wholeMapPending_ = false;
    // The scroll values and zoom that showWholeMap() left, while the view is
    // untouched since; a resize then shows the whole map afresh.
    struct WholeMapShown {
        bool held = false;
        QPoint scroll;
        float zoom = 1.0f;
    } wholeMapShown_;
    int wheelRemainder_ = 0; // zoom wheel turns of less than a notch, summed
    bool spaceHeld_ = false;
    bool spacePanned_ = false; // the left button panned while Space was held
    bool panning_ = false;
    QPoint panStart_;       // screen point where the pan began
    QPoint panScrollStart_; // scroll bar values then
    std::unique_ptr<ViewScroller> scroller_;
    ViewOutlineSource outlineSource_;
    int outlinedCount_ = 0;
};
