#pragma once
// The editing view: shows one page of its document through an OpenGL scene,
// scrolls a 15000 x 10000 canvas with its frame's scroll bars and turns mouse
// and keyboard input into edits of the page through its drawing tools.

#include <functional>
#include <list>
#include <vector>

#include <QPoint>
#include <QString>

#include <rulmek/rulmek.h>
#include <sarvik/ZN_Scene.h>
#include <sarvik/platform/ZGLSurface.h>

#include "folder/CFolderView.h"

class CTavloDoc;
class QMenu;
class QPlainTextEdit;
class CTavloView;
class ZN_ShapeBase;
class ZN_ShapeManager;
class ZN_SText;
class ZN_BackRgn;

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

    // --- tools and selection, for the command handlers ---

    // Chooses a drawing tool (viewtool::*) and drops whatever press was under way.
    void setTool(int value);
    int getTool() const { return tool; }
    // The tool a tool command chooses, or -1 for any other command id.
    static int toolForCommand(int commandId);

    // The shapes the property and arrangement commands act on, in the order
    // they were selected; their `selected` flags are set. Not owning.
    std::list<ZN_ShapeBase*>& getSelection() { return selection; }
    // Empties the selection list and forgets the shapes under the pointer;
    // for every command that may have destroyed shapes (delete, undo, redo).
    void forgetShapes();
    // Clears the page's selection flags and the selection list together.
    void clearSelection();
    // Marks `shape` selected and appends it to the list unless already there.
    void addToSelection(ZN_ShapeBase* shape);
    // The "清除" command: snapshot, delete the selected shapes, back to the
    // select tool.
    void deleteSelection();
    // Undo snapshot of the page, and the document marked modified.
    void takeSnapshot();
    void markModified();
    // Repaints the page.
    void repaint() { update(); }

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

    // --- in-place text editing ---
    QPlainTextEdit* editBox() const { return editBox_; }
    bool isEditing() const;
    ZN_SText* getEditLabel() const { return editLabel; }
    // Puts the edit box's text onto the page (new free text or the edited label).
    void commitEdit();

    // --- hooks for what would otherwise stop the program in a modal window ---
    // Asks for a table's size; returns false when the user cancels.
    using TableSizeAsker = std::function<bool(int& rows, int& columns)>;
    void setTableSizeAsker(TableSizeAsker asker) { tableSizeAsker_ = std::move(asker); }
    using MessageShower = std::function<void(const QString& text)>;
    void setMessageShower(MessageShower shower) { messageShower_ = std::move(shower); }

    // The focus rectangle of a rubber band in progress, empty when none.
    QRect focusRect() const { return focusRect_; }

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
    void frameAttached() override;

private:
    void onHScroll(int value);
    void onVScroll(int value);
    void updateScrollRanges();
    void buildPendingTextures();

    // Tool handlers (CTavloViewTools.cpp).
    void selectDown(ZVector2 p);
    void selectMove(ZVector2 p);
    void selectUp(ZVector2 p);
    void boxDown(ZVector2 p);
    void boxMove(ZVector2 p);
    void boxFinish(ZVector2 p);
    void lineDown(ZVector2 p);
    void lineMove(ZVector2 p);
    void lineFinish(ZVector2 p);
    void pointDown(ZVector2 p);
    void textDown(ZVector2 p);
    void captureDown(ZVector2 p);
    void captureMove(ZVector2 p);
    void captureFinish(ZVector2 p);
    void captureRegionDown();
    void selectAloneOnDrag();
    void toggleHitSelection();
    void findTarget(ZVector2 p);
    void clearHover();
    void dropOnTable(ZVector2 p);
    void copyCaptureToClipboard();
    void editLabelOf(ZN_SText* label);
    void resizeEditBox();
    // Hides the edit box, optionally committing its text first, and gives
    // the keyboard back to the view.
    void closeEditBox(bool commit);
    void cancelTool();
    void drawFocusRect(ZVector2 a, ZVector2 b);
    void eraseFocusRect();
    ZVector2 canvas(ZVector2 client) const;
    void showMessage(const QString& text);

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
    std::list<ZN_ShapeBase*> selection; // not owning
    // Pages the selected shapes were taken from, so that deleting one of them
    // also empties the list.
    std::vector<ZN_ShapeManager*> selectionPages_;
    QPlainTextEdit* editBox_ = nullptr; // child widget, owned by Qt
    ZN_SText* editLabel = nullptr;      // not owned: the page or its host node owns it
    int bindDrag = 1;
    ZVector2 dragStartCorner1{0.0f, 0.0f};
    ZVector2 dragStartCorner2{0.0f, 0.0f};

    CViewSurface surface_;
    CTavloDoc* document_ = nullptr; // not owned
    QMenu* contextMenu_ = nullptr;  // not owned
    int glCallbackDepth_ = 0;
    QRect focusRect_;
    TableSizeAsker tableSizeAsker_;
    MessageShower messageShower_;
};
