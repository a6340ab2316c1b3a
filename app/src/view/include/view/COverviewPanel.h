#pragma once
// The overview window's content: the page of the active document window
// scaled to fit, with the part that window shows as a rectangle. A click
// centres the window there, dragging the rectangle pans it, the wheel zooms
// it. The page is drawn into a cached picture once changes pause, at most
// every 100 ms (longer when drawing it takes long), never once per frame;
// only a change of the page draws it again: scrolling, zooming, hovering and
// selecting in the window move the rectangle at most. A picture is drawn a
// part of the shapes per turn of the event loop, so that input and the window's
// frames never wait for a whole one; an edit made meanwhile is drawn in the
// window first and starts the picture again.

#include <cstdint>
#include <memory>

#include <QElapsedTimer>
#include <QImage>
#include <QMetaObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "view/OverviewPicture.h"

class CTavloView;
class ZN_ShapeManager;

class COverviewPanel : public QWidget {
    Q_OBJECT
public:
    // The shortest wait between two pictures.
    static constexpr int kMinGapMs = 100;

    explicit COverviewPanel(QWidget* parent = nullptr);
    ~COverviewPanel() override;

    // The window to follow, or none; not owned.
    void setView(CTavloView* view);
    CTavloView* view() const { return view_; }

    // The picture as last drawn, the page it shows and where it put it.
    const QImage& picture() const { return picture_; }
    const ZN_ShapeManager* picturePage() const { return picturePage_; }
    const OverviewFrame& pictureFrame() const { return frame_; }
    int pictureCount() const { return pictureCount_; }
    // True while a change waits to be drawn or its picture is under way.
    bool isPicturePending() const { return dirty_ || job_ != nullptr; }
    // True between two turns of a picture: some shapes drawn, not all.
    bool isPictureInProgress() const;
    // How many turns the last finished picture took.
    int picturedSlices() const { return picturedSlices_; }
    // The most shapes drawn in one turn; 0 (the default) lets each turn
    // take its share of time.
    void setSliceShapes(int shapes);
    // The window's visible part in panel pixels.
    QRectF viewRect() const;
    // Panel pixels to canvas units and back, as the picture shows them.
    ZVector2 canvasAt(QPointF panel) const;
    QPointF panelAt(const ZVector2& canvas) const;

    QSize sizeHint() const override { return {240, 180}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    struct Job;
    // What the page of a window was at one moment.
    struct PageMark {
        const ZN_ShapeManager* page = nullptr; // compared, never followed
        std::uint64_t listVersion = 0;
        std::uint64_t edits = 0;
        bool pressing = false;
    };
    static PageMark markOf(const CTavloView* view);

    void onViewFrame();
    // Asks for a new picture, no sooner than the gap since the last allows;
    // a picture under way is given up.
    void schedule();
    void startPicture();
    // Draws the next part of the picture under way, and shows the picture
    // once the last is drawn.
    void drawSlice();
    void dropJob();
    // Scrolls the window so that `canvas` is at its centre.
    void centreViewOn(const ZVector2& canvas);

    QPointer<CTavloView> view_;
    QMetaObject::Connection frameHook_;
    QTimer timer_;      // until the next picture starts
    QTimer sliceTimer_; // until its next part
    std::unique_ptr<Job> job_;
    int sliceShapes_ = 0;
    int picturedSlices_ = 0;
    QElapsedTimer sinceLast_;   // since the last picture was started
    QElapsedTimer firstChange_; // since the oldest change not yet drawn
    qint64 gapMs_ = kMinGapMs;
    qint64 lastCostMs_ = 0;
    bool dirty_ = false;

    QImage picture_;
    OverviewFrame frame_;
    const ZN_ShapeManager* picturePage_ = nullptr; // compared, never followed
    int pictureCount_ = 0;

    // What the page was at the window's last frame.
    PageMark seen_;

    bool dragging_ = false;
    ZVector2 grab_{0.0f, 0.0f}; // pointer minus window centre, in canvas units
    int wheelRemainder_ = 0;
};

#include <QDockWidget>

// The dockable window "概览窗口" around the panel; its place and visibility
// are kept with the toolbars' (by its object name). Starts hidden.
class COverviewDock : public QDockWidget {
    Q_OBJECT
public:
    explicit COverviewDock(QWidget* parent = nullptr);
    COverviewPanel* panel() const { return panel_; }

private:
    COverviewPanel* panel_ = nullptr; // child widget
};
