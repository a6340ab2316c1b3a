#pragma once
// The editing view: shows one page of its document through an OpenGL scene,
// at a zoom of its own, scrolls a canvas of at least 15000 x 10000 (grown to
// take in every shape) with its frame's scroll bars, pans with the middle
// button or Space and the left button, and turns mouse and keyboard input into
// edits of the page through its drawing tools.

#include "folder/CFolderView.h"
#include "view/ToolNumbers.h"
#include "view/ViewState.h"

class QPlainTextEdit;
class ZN_ShapeBase;
class ZN_SText;

class CTavloView : public CFolderView, private ViewState {
    Q_OBJECT
public:
    static constexpr int kScrollWidth = 15000;
    static constexpr int kScrollHeight = 10000;
    static constexpr float kMinZoom = 0.001f;
    static constexpr float kMaxZoom = 4.0f;
    // How near (screen pixels) a handle, point or line is under the pointer.
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

    // Shows the page at `index` of the document; the selection and the drag stay.
    void showPage(int index) override;

    // Scroll position: the canvas point at the window's top-left, in whole units.
    QPoint scrollPosition() const;
    // Scrolls the canvas point `position` to the top-left, as far as the range goes.
    void scrollTo(QPoint position);
    // The exact canvas point there: the offset this window draws and hit-tests with.
    ZVector2 viewOffset() const;
    // Sets the scroll range: at least the 15000 x 10000 canvas, and where shapes
    // lie beyond it their bounding box with half a window to spare. Runs before
    // every frame; callers that need the range at once may run it themselves.
    void updateScrollRanges();

    // --- zoom: screen pixels per canvas unit ---
    float getZoom() const { return zoom_; }
    // Zooms to `value` (0.1 %..400 %) keeping the canvas point under `anchor` there.
    void setZoom(float value, QPointF anchor);
    // The same about the window's centre.
    void setZoom(float value);
    void zoomIn(); // a step up or down the list of zoom levels
    void zoomOut();
    // The zoom and scroll position that show every visible shape with a margin,
    // centred; 100 % at the canvas origin for an empty page.
    void zoomToFit();
    // How a map that just came in is first shown: fitted when it can be read so
    // (never above 100 %), otherwise at 100 % centred on its first root. Done with
    // the first frame, and again when the window takes another size before it is
    // scrolled, zoomed or used (a window manager may size it after that frame).
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
    // A wheel turn without Ctrl: vertical, sideways with Shift or a tilt wheel.
    bool scrollByWheel(QPoint angleDelta, Qt::KeyboardModifiers flags);
    // Page Up and Page Down scroll by a window (sideways with Shift); Home and
    // End go to the page's top-left and bottom-right ends. False for other keys.
    bool scrollByKey(int key, Qt::KeyboardModifiers flags);
    // The pointer during a drag (screen pixels): at the edge it scrolls the view along.
    void followPointer(QPoint screen, bool leftHeld);
    // One tick of that: scrolls, and the drag follows; true when the view moved.
    bool autoscrollStep();
    bool isAutoscrolling() const;
    void stopAutoscroll();
    // Undo or redo of the page shown, back to its scroll position then; false: none.
    bool undoStep(bool redo);

    // --- tools and selection, for the command handlers ---
    // Chooses a drawing tool (viewtool::*) and drops whatever press was under way.
    void setTool(int value);
    int getTool() const { return tool; }
    // What the property and arrangement commands act on, in the order selected.
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
    // The "清除" command: snapshot, delete the selection, back to the select tool.
    void deleteSelection();
    // The document marked modified. An undo step is an UndoStep.
    void markModified();
    void repaint() { update(); }
    // Space or `/`: folds or unfolds the selected node's children, in one undo
    // step, and lays a laid-out tree out again; false with no node to fold.
    bool foldSelectedNode();
    // The current tool's press, and the shapes under the pointer.
    int getDragState() const;
    int getDragPhase() const;
    int getHitCode() const;
    ZN_ShapeBase* getHitShape() const;
    ZN_ShapeBase* getHoverShape() const;
    int getHoverCode() const;
    bool isAdditiveSelect() const;

    // --- input handlers, in client (window) pixels ---
    void onLButtonDown(Qt::KeyboardModifiers flags, QPoint point);
    void onMouseMove(Qt::KeyboardModifiers flags, QPoint point);
    void onLButtonUp(Qt::KeyboardModifiers flags, QPoint point);
    void onLButtonDblClk(Qt::KeyboardModifiers flags, QPoint point);
    // Cancels a drawing tool; true with the select tool: the caller shows the menu.
    bool onRButtonUp(Qt::KeyboardModifiers flags, QPoint point);
    void onKeyDown(int key, Qt::KeyboardModifiers flags);

    // --- in-place text editing (tools/LabelEditor) ---
    QPlainTextEdit* editBox() const;
    bool isEditing() const;
    ZN_SText* getEditLabel() const;
    // Puts the edit box's text on the page it was typed on and closes the box.
    void commitEdit();

    QRect focusRect() const; // of a rubber band in progress, empty when none
    // Rectangles outlined over the page (a search's matches), asked at each frame
    // for the part the window shows; an empty source outlines nothing.
    using OutlineSource = ViewOutlineSource;
    void setOutlineSource(OutlineSource source);
    int outlinedCount() const { return outlinedCount_; } // at the last frame

signals:
    // The zoom changed; `percent` is what the status bar shows.
    void zoomChanged(int percent);
    // A frame was drawn: its scroll, zoom, page or shapes may have changed.
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
    friend class ToolContext;
    friend class UndoStep;
    void onHScroll(int value);
    void onVScroll(int value);
    void applyViewOffset(); // this window's offset, written process-wide
    void initScrolling();
    void updateScrollSteps(); // arrow steps for the zoom and the window size
    bool dragFollowsEdge() const; // a held drag follows the pointer beyond the window
    void scrollToOffset(ZVector2 offset); // canvas point at the top-left corner
    // Keeps the scroll position beside the snapshot of `page` just taken.
    void noteSnapshotScroll(ZN_ShapeManager& page);
    bool showsWholeMapAsOpened() const;
    void buildPendingTextures();
    void startPan(QPoint screen);
    void endPan();
    float hitTolerance() const { return kHitTolerance / zoom_; } // canvas units
    ZVector2 canvas(ZVector2 client) const;
    void switchTool(int value); // tells the tool left and the next
    void cancelTool();
    void notePageOfSelection(); // the selection holds shapes of the page shown
    void drawOutlines(); // the outline source's rectangles (OutlineOverlay.cpp)
};
