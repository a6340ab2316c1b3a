// The view at zooms other than 100 %: what the pointer hits, drags, draws and
// selects must match what the window shows, the scroll range must reach every
// shape, and printing stays at 100 %.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <rulmek/rulmek.h>
#include <sarvik/ZN_BackRgn.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>

#include "TestSupport.h"
#include "WindowFixture.h"
#include "commands/CommandIds.h"
#include "commands/PrintCommands.h"
#include "folder/CFolderFrame.h"
#include "frames/CChildFrame.h"
#include "frames/CMainFrame.h"
#include "view/CTavloView.h"

namespace {

constexpr Qt::KeyboardModifiers kNone{};
constexpr float kZooms[] = {0.25f, 1.0f, 3.0f};

::testing::AssertionResult near(const ZVector2& a, const ZVector2& b, float within) {
    if (std::abs(a.X() - b.X()) <= within && std::abs(a.Y() - b.Y()) <= within)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << a.X() << ", " << a.Y() << ") is not (" << b.X() << ", " << b.Y() << ")";
}

} // namespace

class Zoom : public DocumentFixture {
protected:
    void TearDown() override {
        setViewZoom(1.0f);
        DocumentFixture::TearDown();
    }

    // Zooms, then scrolls so that the canvas point `topLeft` is at the
    // window's top-left corner.
    void show(float zoom, QPoint topLeft) {
        view->setZoom(zoom);
        view->scrollTo(topLeft);
        ASSERT_EQ(view->getZoom(), zoom);
        ASSERT_TRUE(near(view->viewOffset(), ZVector2(topLeft.x(), topLeft.y()), 0.5f / zoom));
    }
    // Where the canvas point c is on screen.
    QPoint screenOf(float x, float y) const {
        const ZVector2 offset = view->viewOffset();
        return view->screenFromClient(ZVector2(x, y) - offset).toPoint();
    }
    void move(QPoint p) { view->onMouseMove(kNone, p); }
    void down(QPoint p) { view->onLButtonDown(kNone, p); }
    void up(QPoint p) { view->onLButtonUp(kNone, p); }
    void click(QPoint p) {
        move(p);
        down(p);
        up(p);
    }
    void drag(QPoint from, QPoint to) {
        move(from);
        down(from);
        for (int i = 1; i <= 10; ++i)
            move(from + (to - from) * i / 10);
        up(to);
    }
    QRgb pixel(QPoint p) { return view->grabFramebuffer().pixel(p) & 0xffffff; }
    void mouse(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPoint p) {
        QMouseEvent event(type, QPointF(p), view->mapToGlobal(QPointF(p)), button, held, kNone);
        QCoreApplication::sendEvent(view, &event);
    }
};

// Every frame works out the scroll range from the page; a frame that marked
// the list changed would cost the next hover a rebuild of the spatial index.
TEST_F(Zoom, FramesLeaveThePagesListAsItWas) {
    addRect(*page, 600, 400, 760, 480);
    view->grabFramebuffer();
    const std::uint64_t version = page->getListVersion();
    view->grabFramebuffer();
    view->setZoom(0.25f);
    view->grabFramebuffer();
    EXPECT_EQ(page->getListVersion(), version);
}

TEST_F(Zoom, ClicksHitWhatTheWindowShowsWithTheReachOfTenScreenPixels) {
    ZN_NRect* box = addRect(*page, 600, 400, 760, 480);
    box->setFillColor(ZVector3(0.0f, 0.0f, 1.0f));
    box->setGradualColor(ZVector3(0.0f, 0.0f, 1.0f));
    for (float zoom : kZooms) {
        SCOPED_TRACE(zoom);
        show(zoom, QPoint(500, 350));
        view->clearSelection();
        const QPoint centre = screenOf(680, 440);
        EXPECT_EQ(pixel(centre), 0x0000ffu);
        click(centre);
        EXPECT_EQ(view->getSelection(), (std::list<ZN_ShapeBase*>{box}));

        // The left-middle handle is caught 8 screen pixels away and missed at
        // 14, whatever that is in canvas units.
        const QPoint handle = screenOf(600, 440);
        move(handle - QPoint(8, 0));
        EXPECT_EQ(view->getHitShape(), box);
        EXPECT_EQ(view->getHitCode(), 2);
        move(handle - QPoint(14, 0));
        EXPECT_EQ(view->getHitShape(), nullptr);
        EXPECT_EQ(pixel(handle - QPoint(14, 0)), 0xffffffu);
    }
}

TEST_F(Zoom, DragsMoveByScreenDistanceOverTheZoomOncePastAScreenThreshold) {
    ZN_NRect* box = addRect(*page, 600, 400, 760, 480);
    for (float zoom : kZooms) {
        SCOPED_TRACE(zoom);
        show(zoom, QPoint(500, 350));
        view->clearSelection();
        click(screenOf(680, 440));
        ASSERT_TRUE(box->getSelected());

        // Two screen pixels are below the threshold at every zoom.
        const QPoint body = screenOf(680, 440);
        move(body);
        down(body);
        move(body + QPoint(2, 1));
        EXPECT_EQ(view->getDragPhase(), 1);
        up(body + QPoint(2, 1));
        box->setSelected(true);
        view->addToSelection(box);

        // The bottom-right handle dragged by (30, 24) screen pixels.
        const ZVector2 before = box->getPoint2();
        const QPoint handle = screenOf(before.X(), before.Y());
        drag(handle, handle + QPoint(30, 24));
        EXPECT_TRUE(
            near(box->getPoint2(), before + ZVector2(30.0f, 24.0f) * (1.0f / zoom), 1.0f / zoom));
        box->setPoint2(before);

        // The whole box dragged by its body.
        const ZVector2 corner = box->getPoint1();
        drag(body, body + QPoint(-40, 20));
        EXPECT_TRUE(
            near(box->getPoint1(), corner + ZVector2(-40.0f, 20.0f) * (1.0f / zoom), 1.0f / zoom));
        box->setPoint1(corner);
        box->setPoint2(before);
    }
}

TEST_F(Zoom, ToolsWriteCanvasPositionsAndBandsSelectWhatTheyEnclose) {
    show(2.0f, QPoint(50, 40));
    view->setTool(viewtool::Rect);
    drag(QPoint(100, 100), QPoint(300, 220));
    ASSERT_EQ(page->getShapeList().size(), 1u);
    auto* box = static_cast<ZN_NRect*>(page->getShapeList().front());
    EXPECT_TRUE(near(box->getPoint1(), ZVector2(100, 90), 0.01f));
    EXPECT_TRUE(near(box->getPoint2(), ZVector2(200, 150), 0.01f));

    // A rubber band drawn around the box on screen, shown in screen pixels.
    view->setTool(viewtool::Select);
    view->clearSelection();
    move(QPoint(90, 90));
    down(QPoint(90, 90));
    move(QPoint(200, 150));
    move(QPoint(320, 240));
    EXPECT_EQ(view->focusRect(), QRect(QPoint(90, 90), QPoint(320, 240)));
    up(QPoint(320, 240));
    EXPECT_EQ(view->getSelection(), (std::list<ZN_ShapeBase*>{box}));

    // The capture frame copies the screen pixels inside it.
    QApplication::clipboard()->clear();
    view->setTool(viewtool::Capture);
    drag(QPoint(200, 180), QPoint(100, 100));
    EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(98, 78));
    click(QPoint(500, 400));
    EXPECT_FALSE(page->getBackRgn()->getShow());
}

TEST_F(Zoom, TheEditBoxCoversTheLabelAtItsZoomedSize) {
    ZN_NRect* box = addRect(*page, 200, 200, 400, 300);
    show(2.0f, QPoint(100, 100));
    const QPoint inside = screenOf(300, 250);
    move(inside);
    view->onLButtonDblClk(kNone, inside);
    ASSERT_TRUE(view->isEditing());
    ZN_SText* label = box->getLabel();
    ASSERT_NE(label, nullptr);
    const QRect geometry = view->editBox()->geometry();
    EXPECT_EQ(geometry.topLeft(), screenOf(label->getPoint1().X(), label->getPoint1().Y()));
    EXPECT_EQ(view->editBox()->font().pixelSize(), 64);
    // The typed text lands on the canvas where it was typed.
    view->editBox()->setPlainText("Zoom");
    view->commitEdit();
    EXPECT_STREQ(box->getLabel()->getText(), "Zoom");
    const ZVector2 c = (box->getLabel()->getPoint1() + box->getLabel()->getPoint2()) * 0.5f;
    EXPECT_TRUE(near(c, ZVector2(300, 250), 1.0f));
}

TEST_F(Zoom, ZoomingAboutAPointKeepsTheCanvasPointUnderIt) {
    show(1.0f, QPoint(2000, 1500));
    const QPointF pointer(310, 170);
    // Scroll positions are whole screen pixels: each step may move the point
    // by half a pixel at most.
    for (float zoom : {3.0f, 0.25f, 1.0f}) {
        const ZVector2 before = view->canvasFromScreen(pointer);
        view->setZoom(zoom, pointer);
        EXPECT_TRUE(near(view->canvasFromScreen(pointer), before, 0.5f / zoom)) << zoom;
    }
    const ZVector2 fixed = view->canvasFromScreen(pointer);
    // Ctrl and the wheel step up one level about the pointer; the plain wheel
    // still scrolls.
    QWheelEvent wheel(pointer, view->mapToGlobal(pointer), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view, &wheel);
    EXPECT_FLOAT_EQ(view->getZoom(), 1.25f);
    EXPECT_TRUE(near(view->canvasFromScreen(pointer), fixed, 0.5f));
    QWheelEvent plain(pointer, view->mapToGlobal(pointer), QPoint(), QPoint(0, -120), Qt::NoButton,
                      kNone, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view, &plain);
    EXPECT_FLOAT_EQ(view->getZoom(), 1.25f);
    EXPECT_GT(view->viewOffset().Y(), fixed.Y() - pointer.y() / 1.25f + 1.0f);
}

TEST_F(Zoom, CommandsStepThroughLevelsAndTheStatusBarShowsTheZoom) {
    auto* pane = frame->findChild<QLabel*>("paneZoom");
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->text(), "100%");
    frame->runCommand(cmd::ZoomIn);
    EXPECT_FLOAT_EQ(view->getZoom(), 1.25f);
    EXPECT_EQ(pane->text(), "125%");
    frame->runCommand(cmd::ZoomOut);
    frame->runCommand(cmd::ZoomOut);
    EXPECT_FLOAT_EQ(view->getZoom(), 0.75f);
    EXPECT_EQ(pane->text(), "75%");
    // Stepping out stops at 1 %; only fitting the page goes further.
    for (int i = 0; i < 20; ++i)
        frame->runCommand(cmd::ZoomOut);
    EXPECT_FLOAT_EQ(view->getZoom(), 0.01f);
    for (int i = 0; i < 20; ++i)
        frame->runCommand(cmd::ZoomIn);
    EXPECT_FLOAT_EQ(view->getZoom(), CTavloView::kMaxZoom);
    frame->runCommand(cmd::ZoomActual);
    EXPECT_FLOAT_EQ(view->getZoom(), 1.0f);
    EXPECT_EQ(pane->text(), "100%");
    const QList<QKeySequence> keys = frame->action(cmd::ZoomIn)->shortcuts();
    EXPECT_TRUE(keys.contains(QKeySequence("Ctrl+=")));
    EXPECT_TRUE(keys.contains(QKeySequence("Ctrl++")));
    EXPECT_EQ(frame->action(cmd::ZoomFit)->shortcut(), QKeySequence("Ctrl+9"));
}

TEST_F(Zoom, FitShowsEveryVisibleShapeAndTheRangeReachesFarShapes) {
    addRect(*page, -500, -500, -400, -440);
    addRect(*page, 2400, 1400, 2500, 1500);
    addRect(*page, 1000, 600, 1100, 660);
    ZN_NRect* hidden = addRect(*page, 90000, 90000, 90100, 90100);
    hidden->setShow(false);
    view->zoomToFit();
    EXPECT_LT(view->getZoom(), 1.0f);
    EXPECT_GT(view->getZoom(), CTavloView::kMinZoom);
    for (ZN_ShapeBase* shape : page->getShapeList()) {
        if (!shape->getShow())
            continue;
        const QPoint a = screenOf(shape->getPoint1().X(), shape->getPoint1().Y());
        const QPoint b = screenOf(shape->getPoint2().X(), shape->getPoint2().Y());
        EXPECT_TRUE(view->rect().contains(a) && view->rect().contains(b)) << shape->getPoint1().X();
    }

    // A map too large for the window at 10 % is fitted below it.
    addRect(*page, 40000, 30000, 40100, 30060);
    view->zoomToFit();
    EXPECT_LT(view->getZoom(), 0.1f);
    EXPECT_TRUE(view->rect().contains(screenOf(-500, -500)));
    EXPECT_TRUE(view->rect().contains(screenOf(40100, 30060)));

    // At every zoom each far shape can be scrolled wholly into the window.
    QScrollBar* h = child->folderFrame()->hScrollBar();
    QScrollBar* v = child->folderFrame()->vScrollBar();
    for (float z : kZooms) {
        SCOPED_TRACE(z);
        view->setZoom(z);
        view->updateScrollRanges();
        h->setValue(h->minimum());
        v->setValue(v->minimum());
        EXPECT_TRUE(view->rect().contains(screenOf(-500, -500)));
        h->setValue(h->maximum());
        v->setValue(v->maximum());
        EXPECT_TRUE(view->rect().contains(screenOf(40100, 30060)));
    }

    // Without them the range is the canvas again, as at 100 % it always was.
    view->setZoom(1.0f);
    for (ZN_ShapeBase* shape : std::list<ZN_ShapeBase*>(page->getShapeList()))
        if (shape->getPoint1().X() < 0 || shape->getPoint1().X() > 15000)
            page->deleteShape(shape);
    view->updateScrollRanges();
    EXPECT_EQ(h->minimum(), 0);
    EXPECT_EQ(v->minimum(), 0);
    EXPECT_EQ(h->maximum(), CTavloView::kScrollWidth - view->width());
    EXPECT_EQ(v->maximum(), CTavloView::kScrollHeight - view->height());
}

TEST_F(Zoom, TheRangeFollowsABoxDraggedBeyondTheCanvasAndFitsItAgainOnRelease) {
    ZN_NRect* box = addRect(*page, 14700, 9700, 14800, 9760);
    QScrollBar* h = child->folderFrame()->hScrollBar();
    QScrollBar* v = child->folderFrame()->vScrollBar();
    const int canvasRight = CTavloView::kScrollWidth - view->width();
    const int canvasBottom = CTavloView::kScrollHeight - view->height();
    view->updateScrollRanges();
    ASSERT_EQ(h->maximum(), canvasRight);
    show(1.0f, QPoint(canvasRight, canvasBottom));
    const QPoint body = screenOf(14750, 9730);
    mouse(QEvent::MouseMove, Qt::NoButton, Qt::NoButton, body);
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, body);
    mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, body);
    ASSERT_TRUE(box->getSelected());

    // Out past the bottom-right corner: every frame's range reaches the box.
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, body);
    for (int i = 1; i <= 10; ++i) {
        mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, body + QPoint(40, 25) * i);
        view->updateScrollRanges();
        EXPECT_GE(h->maximum() + view->width(), box->getPoint2().X()) << i;
        EXPECT_GE(v->maximum() + view->height(), box->getPoint2().Y()) << i;
    }
    ASSERT_GT(box->getPoint1().X(), 15000.0f);
    ASSERT_GT(box->getPoint2().Y(), 10000.0f);
    // Back inside, then let go: the canvas alone again.
    for (int i = 9; i >= 0; --i)
        mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, body + QPoint(40, 25) * i);
    mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, body);
    EXPECT_LT(box->getPoint2().X(), 15000.0f);
    view->updateScrollRanges();
    EXPECT_EQ(h->maximum(), canvasRight);
    EXPECT_EQ(v->maximum(), canvasBottom);
}

TEST_F(Zoom, FitOfASmallMapZoomsInAndCentresIt) {
    addRect(*page, 300, 200, 400, 260);
    view->zoomToFit();
    EXPECT_FLOAT_EQ(view->getZoom(), CTavloView::kMaxZoom);
    const QPoint centre = screenOf(350, 230);
    EXPECT_NEAR(centre.x(), view->width() / 2, 2);
    EXPECT_NEAR(centre.y(), view->height() / 2, 2);
    // An empty page goes back to 100 % at the origin.
    page->clear();
    view->zoomToFit();
    EXPECT_FLOAT_EQ(view->getZoom(), 1.0f);
    EXPECT_EQ(view->scrollPosition(), QPoint(0, 0));
}

TEST_F(Zoom, FitCentresATallOrWideMapNearTheCanvasEdge) {
    // Narrow and tall, near the canvas's left edge: fitted, it is much
    // narrower than the window and must still sit in its middle.
    for (int i = 0; i < 40; ++i)
        addRect(*page, 20, 20 + 200.0f * i, 140, 80 + 200.0f * i);
    view->zoomToFit();
    ASSERT_LT(view->getZoom(), 0.5f);
    const QPoint top = screenOf(80, 20);
    const QPoint bottom = screenOf(80, 20 + 200.0f * 39 + 60);
    EXPECT_NEAR(top.x(), view->width() / 2, 2);
    EXPECT_NEAR((top.y() + bottom.y()) / 2, view->height() / 2, 2);
    // A wide, short map near the top edge likewise.
    page->clear();
    for (int i = 0; i < 40; ++i)
        addRect(*page, 20 + 300.0f * i, 10, 140 + 300.0f * i, 70);
    view->zoomToFit();
    EXPECT_NEAR(screenOf(20, 40).y(), view->height() / 2, 2);
    // The next zoom gives up the extra room: the range is the canvas's again.
    view->setZoom(1.0f);
    view->updateScrollRanges();
    EXPECT_EQ(child->folderFrame()->vScrollBar()->minimum(), 0);
}

TEST_F(Zoom, MiddleButtonAndSpaceWithTheLeftButtonPanWithoutTouchingThePage) {
    ZN_NRect* box = addRect(*page, 100, 100, 300, 300);
    show(2.0f, QPoint(1000, 800));
    const QPoint start = view->scrollPosition();
    mouse(QEvent::MouseButtonPress, Qt::MiddleButton, Qt::MiddleButton, QPoint(400, 300));
    EXPECT_TRUE(view->isPanning());
    mouse(QEvent::MouseMove, Qt::NoButton, Qt::MiddleButton, QPoint(300, 250));
    mouse(QEvent::MouseButtonRelease, Qt::MiddleButton, Qt::NoButton, QPoint(300, 250));
    EXPECT_FALSE(view->isPanning());
    // The page follows the pointer: 100 x 50 screen pixels are 50 x 25 units.
    EXPECT_EQ(view->scrollPosition(), start + QPoint(50, 25));

    show(2.0f, QPoint(0, 0));
    QTest::keyPress(view, Qt::Key_Space);
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, QPoint(400, 400));
    mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, QPoint(380, 360));
    mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, QPoint(380, 360));
    QTest::keyRelease(view, Qt::Key_Space);
    EXPECT_EQ(view->scrollPosition(), QPoint(10, 20));
    EXPECT_FALSE(box->getSelected());
    EXPECT_EQ(view->getDragState(), 0);
    EXPECT_TRUE(near(box->getPoint1(), ZVector2(100, 100), 0.0f));
}

TEST_F(Zoom, PrintingDrawsAtOneHundredPercentWhateverTheWindowShows) {
    addRect(*page, 100, 100, 300, 220);
    const QImage actual = renderPageImage(*view);
    ASSERT_FALSE(actual.isNull());
    view->setZoom(3.0f);
    EXPECT_EQ(renderPageImage(*view), actual);
    EXPECT_FLOAT_EQ(view->getZoom(), 3.0f);
    EXPECT_FLOAT_EQ(view->getScene().getZoom(), 3.0f);
}
