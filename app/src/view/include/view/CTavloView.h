#pragma once
// The editing view: shows one page of its document through an OpenGL scene,
// at a zoom of its own, scrolls a canvas of at least 15000 x 10000 (grown to
// take in every shape) with its frame's scroll bars, pans with the middle
// button or Space and the left button, and turns mouse and keyboard input into
// edits of the page through its drawing tools.

#include <functional>
#include <list>
#include <memory>
#include <vector>

#include <QPoint>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <rulmek/rulmek.h>
#include <sarvik/ZN_Scene.h>
#include <sarvik/platform/ZGLSurface.h>

#include "folder/CFolderView.h"
#include "view/SelectionList.h"

class CTavloDoc;
class QMenu;
class QPlainTextEdit;
class CTavloView;
class ZN_ShapeBase;
class ZN_ShapeManager;
class ZN_SText;
class ZN_BackRgn;
class LabelEditor;
class UndoStep;
struct ViewScroller;

// The drawable the scene binds to: the view's own GL context and framebuffer.
// Qt presents the frame itself, and while Qt is inside one of the view's GL
// callbacks the context must stay current, so release does nothing there.
namespace growth {
struct Box;
}

class CViewSurface : public ZGLSurface {
public:
    explicit CViewSurface(CTavloView* view) : view_(view) {}
    bool makeCurrent() override;
    void releaseCurrent() override;
    void swapBuffers() override {}

private:
    CTavloView* view_;
};

// Drawing tools of the view, by the numbers the commands use.
namespace viewtool {
enum : int {
    Select = 0,
    Point = 1,
    Line = 2,
    Rect = 3,
    Text = 4,
    Ellipse = 5,
    RoundRect = 6,
    Rhombus = 7,
    Capture = 8,
    Table = 9,
    Parallelogram = 10,
};
} // namespace viewtool

// What the current press is doing.
namespace dragstate {
enum : int {
    Idle = 0,
    RubberBand = 1,
    PressedUnselected = 2,
    PressedLine = 3,
    PressedSelected = 4,
    Drawing = 5, // select tool: pressed on empty canvas
    CaptureHandle = 10,
};
} // namespace dragstate

class CTavloView : public CFolderView {
    Q_OBJECT
public:
    static constexpr int kScrollWidth = 15000;
    static constexpr int kScrollHeight = 10000;
    static constexpr float kMinZoom = 0.001f;
    static constexpr float kMaxZoom = 4.0f;
    // How near (screen pixels) a handle, point or line counts as under the
    // pointer, at every zoom.
    static constexpr float kHitTolerance = 10.0f;

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

    // Scroll position: the canvas point at the window's top-left corner,
    // rounded to whole canvas units.
    QPoint scrollPosition() const;
    // Scrolls so that the canvas point `position` is at the top-left corner,
    // as far as the scroll range allows.
    void scrollTo(QPoint position);
    // The exact canvas point at the top-left corner (the view offset this
    // window draws and hit-tests with).
    ZVector2 viewOffset() const;
    // Sets the scroll range from the canvas and the page's shapes: at least
    // the 15000 x 10000 canvas, and where shapes lie beyond it their bounding
    // box with half a window to spare. Runs before every frame; callers that
    // need the range at once (tests) may run it themselves.
    void updateScrollRanges();

    // --- zoom: screen pixels per canvas unit ---
    float getZoom() const { return zoom_; }
    // Zooms to `value` (clamped to 0.1 %..400 %) keeping the canvas point under
    // the screen point `anchor` where it is.
    void setZoom(float value, QPointF anchor);
    // The same about the window's centre.
    void setZoom(float value);
    // One step up or down the list of zoom levels.
    void zoomIn();
    void zoomOut();
    // The zoom and scroll position that show every visible shape with a
    // margin, centred in the window; 100 % at the canvas origin for an empty
    // page.
    void zoomToFit();
    // How a map that just came in is first shown: fitted when it can be read
    // so (never above 100 %), otherwise at 100 % centred on its first root.
    // Done with the first frame drawn, and again when the window takes another
    // size before it is scrolled, zoomed or used (a window manager may give
    // the window its final size only after that frame).
    void showWholeMapSoon() { wholeMapPending_ = true; update(); }
    void showWholeMap();
    // Scrolls `centre` (canvas) to the middle of the window at this zoom.
    void centreOn(ZVector2 centre);
    // The single conversion of a position on screen (widget pixels) into the
    // client coordinates that hit tests take; canvas() adds the view offset.
    ZVector2 clientFromScreen(QPointF screen) const;
    ZVector2 canvasFromScreen(QPointF screen) const { return canvas(clientFromScreen(screen)); }
    QPointF screenFromClient(ZVector2 client) const;
    bool isPanning() const { return panning_; }

    // --- scrolling beyond the bars (ViewScrolling.cpp) ---
    // A wheel turn without Ctrl: vertical, or sideways with Shift or a tilt
    // wheel. False when there are no scroll bars.
    bool scrollByWheel(QPoint angleDelta, Qt::KeyboardModifiers flags);
    // Page Up and Page Down scroll by a window (sideways with Shift); Home and
    // End go to the page's top-left and bottom-right ends. False for other keys.
    bool scrollByKey(int key, Qt::KeyboardModifiers flags);
    // The pointer during a drag, in screen pixels: held at or beyond the
    // window's edge it scrolls the view along on a timer.
    void followPointer(QPoint screen, bool leftHeld);
    // One tick of that: scrolls, and the drag follows; true when the view moved.
    bool autoscrollStep();
    bool isAutoscrolling() const;
    void stopAutoscroll();
    // Undo (or redo) of the page shown, bringing back the scroll position the
    // view had when that state was left; false when there was nothing to do.
    bool undoStep(bool redo);

    // --- tools and selection, for the command handlers ---

    // Chooses a drawing tool (viewtool::*) and drops whatever press was under way.
    void setTool(int value);
    int getTool() const { return tool; }

    // The shapes the property and arrangement commands act on, in the order
    // they were selected; their `selected` flags are set. Not owning.
    const std::list<ZN_ShapeBase*>& getSelection() const { return selection.shapes(); }
    // Empties the selection list and forgets the shapes under the pointer;
    // for every command that may have destroyed shapes (delete, undo, redo).
    void forgetShapes();
    // Clears the page's selection flags and the selection list together.
    void clearSelection();
    // Marks `shape` selected and appends it to the list unless already there.
    void addToSelection(ZN_ShapeBase* shape);
    // Every shape of the page, hidden ones included, selected in drawing order.
    void selectAll();
    // The "清除" command: snapshot, delete the selected shapes, back to the
    // select tool.
    void deleteSelection();
    // The document marked modified. An undo step is an UndoStep.
    void markModified();
    // Repaints the page.
    void repaint() { update(); }
    // Space or `/`: folds or unfolds the children of the selected node, in
    // one undo step, and lays its tree out again when it has a layout.
    // False when there is no node to fold.
    bool foldSelectedNode();

    int getDragState() const { return dragState; }
    int getDragPhase() const { return dragPhase; }
    int getHitCode() const { return hitCode; }
    ZN_ShapeBase* getHitShape() const { return hitShape; }
    ZN_ShapeBase* getHoverShape() const { return hoverShape; }
    int getHoverCode() const { return hoverCode; }
    bool isAdditiveSelect() const { return additiveSelect; }

    // --- input handlers, in client (window) pixels ---
    void onLButtonDown(Qt::KeyboardModifiers flags, QPoint point);
    void onMouseMove(Qt::KeyboardModifiers flags, QPoint point);
    void onLButtonUp(Qt::KeyboardModifiers flags, QPoint point);
    void onLButtonDblClk(Qt::KeyboardModifiers flags, QPoint point);
    // The right button cancels a drawing tool; with the select tool it
    // reports true and the caller shows the context menu.
    bool onRButtonUp(Qt::KeyboardModifiers flags, QPoint point);
    void onKeyDown(int key, Qt::KeyboardModifiers flags);

    // --- in-place text editing (tools/LabelEditor) ---
    QPlainTextEdit* editBox() const;
    bool isEditing() const;
    ZN_SText* getEditLabel() const;
    // Puts the edit box's text onto the page it was typed on (a new free text
    // or the edited label) and closes it; nothing when no edit is open.
    void commitEdit();

    // The focus rectangle of a rubber band in progress, empty when none.
    QRect focusRect() const { return focusRect_; }

    // Canvas rectangles outlined lightly over the page (the matches of a
    // search); asked at each frame for those within the canvas part min..max
    // that the window shows. An empty source outlines nothing.
    using OutlineSource = std::function<void(ZVector2 min, ZVector2 max, std::vector<QRectF>& out)>;
    void setOutlineSource(OutlineSource source);
    // The rectangles outlined at the last frame.
    int outlinedCount() const { return outlinedCount_; }

signals:
    // The zoom changed; `percent` is what the status bar shows.
    void zoomChanged(int percent);
    // A frame of the page was drawn: whatever it shows (scroll, zoom, page,
    // shapes) may have changed since the one before.
    void frameDrawn();

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    // Tab reaches the keyboard growth before it moves the focus.
    bool event(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void frameAttached() override;

private:
    friend class LabelEditor;
    friend class UndoStep;

    void onHScroll(int value);
    void onVScroll(int value);
    // Writes this window's offset (scroll values over the zoom) process-wide.
    void applyViewOffset();
    void initScrolling();
    // Arrow steps for the zoom and the window size.
    void updateScrollSteps();
    // True while a held drag would follow the pointer beyond the window.
    bool dragFollowsEdge() const;
    // Scrolls so that the canvas point `offset` is at the top-left corner.
    void scrollToOffset(ZVector2 offset);
    // Keeps the scroll position beside the snapshot of `page` just taken.
    void noteSnapshotScroll(ZN_ShapeManager& page);
    void buildPendingTextures();
    void startPan(QPoint screen);
    void endPan();
    // How near counts as on a shape, in canvas units.
    float hitTolerance() const { return kHitTolerance / zoom_; }
    // True while a press has moved less than the drag threshold (screen pixels).
    bool belowDragThreshold(ZVector2 a, ZVector2 b) const;

    // Tool handlers, one file per tool in tools/; CTavloViewTools.cpp
    // dispatches the input to them.
    // tools/SelectTool.cpp
    void selectDown(ZVector2 p);
    void selectMove(ZVector2 p);
    void selectUp(ZVector2 p);
    void selectAloneOnDrag();
    void toggleHitSelection();
    // After a drag: the laid-out trees of what was dropped close up.
    void settleDropped();
    void drawFocusRect(ZVector2 a, ZVector2 b);
    void eraseFocusRect();
    // tools/BoxTool.cpp
    void boxDown(ZVector2 p);
    void boxMove(ZVector2 p);
    void boxFinish(ZVector2 p);
    // tools/ConnectorTool.cpp
    void lineDown(ZVector2 p);
    void lineMove(ZVector2 p);
    void lineFinish(ZVector2 p);
    void findTarget(ZVector2 p);
    void clearHover();
    // tools/PointTool.cpp, tools/TextTool.cpp
    void pointDown(ZVector2 p);
    void textDown(ZVector2 p);
    // tools/CaptureTool.cpp
    void captureDown(ZVector2 p);
    void captureMove(ZVector2 p);
    void captureFinish(ZVector2 p);
    void captureRegionDown();
    void copyCaptureToClipboard();
    // tools/TableDrop.cpp
    void dropOnTable(ZVector2 p);
    // tools/KeyboardGrowth.cpp
    // Tab, Insert, Enter, F2 and Alt with the arrows on the selected node;
    // false when the key is not one of them or there is nothing to act on.
    bool growthKey(int key, Qt::KeyboardModifiers flags);
    ZN_ShapeBase* keyboardNode() const;
    bool onPageShown(const ZN_ShapeBase* shape) const;
    void growChild(ZN_ShapeBase* parent);
    void growSibling(ZN_ShapeBase* node);
    void addGrownNode(ZN_ShapeBase* parent, ZN_ShapeBase* afterLine, const ZN_ShapeBase* look,
                      float left, float top, const growth::Box& size, bool crowded);
    void walkTree(int key);
    void ensureShapeVisible(const ZN_ShapeBase* shape);
    // What a double click on `shape` edits: a node's label (made if it has
    // none), a free text, or a table's size.
    void openEditor(ZN_ShapeBase* shape);
    // Closes the edit box leaving the label as it was.
    void cancelEdit();
    // Remembers that the selection holds shapes of the page shown.
    void notePageOfSelection();
    void cancelTool();
    ZVector2 canvas(ZVector2 client) const;
    void showMessage(const QString& text);
    // Draws the outline source's rectangles (OutlineOverlay.cpp).
    void drawOutlines();

    ZN_ShapeManager* currentPage = nullptr; // not owned: the document owns its pages
    bool sceneReady = false;
    ZN_Scene scene;
    int clientWidth = 0;
    int clientHeight = 0;
    int tool = 0;
    int dragState = 0;
    ZVector2 pressPoint{0.0f, 0.0f};
    ZVector2 lastPoint{0.0f, 0.0f};
    ZN_ShapeBase* hitShape = nullptr;
    int dragPhase = 0;
    bool additiveSelect = false;
    int hitCode = 0;
    ZObj2DInPoint hitHelper;
    int hoverCode = 0;
    ZN_ShapeBase* hoverShape = nullptr;
    SelectionList selection; // not owning
    // Pages the selected shapes were taken from, so that deleting one of them
    // also empties the list.
    std::vector<ZN_ShapeManager*> selectionPages_;
    std::unique_ptr<LabelEditor> editor_;
    // The undo step of the select tool's press under way, taken at its first change.
    std::unique_ptr<UndoStep> pressStep_;
    int bindDrag = 1;
    ZVector2 dragStartCorner1{0.0f, 0.0f};
    ZVector2 dragStartCorner2{0.0f, 0.0f};

    CViewSurface surface_;
    CTavloDoc* document_ = nullptr; // not owned
    QMenu* contextMenu_ = nullptr;  // not owned
    int glCallbackDepth_ = 0;
    QRect focusRect_;
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
    bool showsWholeMapAsOpened() const;
    int wheelRemainder_ = 0; // zoom wheel turns of less than a notch, summed
    bool spaceHeld_ = false;
    bool spacePanned_ = false; // the left button panned while Space was held
    Qt::KeyboardModifiers pressFlags_; // the keys held at the last press
    bool panning_ = false;
    QPoint panStart_;       // screen point where the pan began
    QPoint panScrollStart_; // scroll bar values then
    std::unique_ptr<ViewScroller> scroller_;
    OutlineSource outlineSource_;
    int outlinedCount_ = 0;
};
