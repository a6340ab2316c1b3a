// Scrolling the view: arrow steps that follow the zoom and the window, the
// wheel sideways, the keys that scroll by a window or to the page's ends,
// scrolling along while a drag is held at the window's edge, and undo that
// brings back the scroll position with the page.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <rulmek/rulmek.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_ShapeManager.h>

#include "TestSupport.h"
#include "WindowFixture.h"
#include "commands/CommandIds.h"
#include "commands/EditCommands.h"
#include "folder/CFolderFrame.h"
#include "view/CTavloView.h"
#include "view/UndoStep.h"
#include "view/ViewScrolling.h"

namespace {

constexpr Qt::KeyboardModifiers kNone{};

} // namespace

class Scrolling : public DocumentFixture {
protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        if (HasFatalFailure())
            return;
        h = child->folderFrame()->hScrollBar();
        v = child->folderFrame()->vScrollBar();
        view->updateScrollRanges();
    }
    void TearDown() override {
        view->stopAutoscroll();
        view->setZoom(1.0f);
        DocumentFixture::TearDown();
    }

    void wheel(QPoint angle, Qt::KeyboardModifiers flags) {
        const QPointF at(200, 200);
        QWheelEvent event(at, view->mapToGlobal(at), QPoint(), angle, Qt::NoButton, flags,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(view, &event);
    }
    void mouse(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPoint p) {
        QMouseEvent event(type, QPointF(p), view->mapToGlobal(QPointF(p)), button, held, kNone);
        QCoreApplication::sendEvent(view, &event);
    }
    QPoint values() const { return {h->value(), v->value()}; }
    // Handler-level drag from `from` through `to`, the button still held.
    void pressAndDrag(QPoint from, QPoint to) {
        view->onMouseMove(kNone, from);
        view->onLButtonDown(kNone, from);
        for (int i = 1; i <= 4; ++i)
            view->onMouseMove(kNone, from + (to - from) * i / 4);
        view->followPointer(to, true);
    }
    // Ticks of autoscroll until `done` holds; false when the view stopped
    // scrolling first.
    template <class Done> bool scrollUntil(Done done) {
        for (int tick = 0; tick < 10000 && !done(); ++tick)
            if (!view->autoscrollStep())
                return done();
        return done();
    }

    QScrollBar* h = nullptr;
    QScrollBar* v = nullptr;
};

TEST_F(Scrolling, ArrowStepsFollowTheZoomWithinAFractionOfTheWindow) {
    const int w = view->width();
    const int ht = view->height();
    int previousH = 0;
    for (float zoom : {0.1f, 0.25f, 0.5f, 1.0f, 2.0f, 4.0f}) {
        view->setZoom(zoom);
        SCOPED_TRACE(zoom);
        EXPECT_GE(h->singleStep(), w / 20);
        EXPECT_LE(h->singleStep(), w / 5 + 1);
        EXPECT_GE(v->singleStep(), ht / 20);
        EXPECT_LE(v->singleStep(), ht / 5 + 1);
        EXPECT_GE(h->singleStep(), previousH);
        previousH = h->singleStep();
        // A click in the trough still moves by the window.
        EXPECT_EQ(h->pageStep(), w);
        EXPECT_EQ(v->pageStep(), ht);
    }
    // The step is canvas distance at the zoom, where the window allows.
    view->setZoom(0.1f);
    EXPECT_LT(h->singleStep(), viewscroll::kCanvasLineX);
    view->setZoom(4.0f);
    EXPECT_GT(v->singleStep(), viewscroll::kCanvasLineY);
    view->setZoom(1.0f);
    if (w >= 750 && ht >= 500) {
        EXPECT_EQ(h->singleStep(), viewscroll::kCanvasLineX);
        EXPECT_EQ(v->singleStep(), viewscroll::kCanvasLineY);
    }
}

TEST_F(Scrolling, AtTenPercentAnArrowNeverJumpsEndToEnd) {
    // A window so wide that the canvas at 10 % is barely wider than it.
    frame->resize(frame->width() + 1420 - view->width(), frame->height());
    QTRY_COMPARE(view->width(), 1420);
    view->setZoom(0.1f);
    view->scrollTo(QPoint(0, 0));
    view->updateScrollRanges();
    ASSERT_GT(h->maximum(), 0);
    h->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_GT(h->value(), 0);
    EXPECT_LT(h->value(), h->maximum());
    h->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(h->value(), 0);
}

TEST_F(Scrolling, ShiftWheelAndTiltWheelScrollSideways) {
    view->scrollTo(QPoint(3000, 3000));
    const QPoint start = values();
    const int notchX = QApplication::wheelScrollLines() * h->singleStep();
    const int notchY = QApplication::wheelScrollLines() * v->singleStep();

    wheel(QPoint(0, -120), kNone);
    EXPECT_EQ(values(), start + QPoint(0, notchY));
    wheel(QPoint(0, 120), Qt::ShiftModifier);
    EXPECT_EQ(values(), start + QPoint(-notchX, notchY));
    wheel(QPoint(-120, 0), kNone);
    EXPECT_EQ(values(), start + QPoint(0, notchY));
    // Half notches of a smooth wheel add up to a whole one.
    wheel(QPoint(0, 60), kNone);
    wheel(QPoint(0, 60), kNone);
    EXPECT_EQ(values(), start);
    // Ctrl still zooms instead.
    wheel(QPoint(0, 120), Qt::ControlModifier);
    EXPECT_GT(view->getZoom(), 1.0f);
}

TEST_F(Scrolling, PageKeysScrollByAWindowAndHomeEndGoToThePagesEnds) {
    ZN_NRect* box = addRect(*page, 100, 100, 200, 160);
    box->setSelected(true);
    view->addToSelection(box);
    view->updateScrollRanges();
    view->scrollTo(QPoint(2000, 2000));
    const QPoint start = values();
    QTest::keyClick(view, Qt::Key_PageDown);
    EXPECT_EQ(values(), start + QPoint(0, view->height()));
    QTest::keyClick(view, Qt::Key_PageUp);
    EXPECT_EQ(values(), start);
    QTest::keyClick(view, Qt::Key_PageDown, Qt::ShiftModifier);
    EXPECT_EQ(values(), start + QPoint(view->width(), 0));
    QTest::keyClick(view, Qt::Key_End);
    EXPECT_EQ(values(), QPoint(h->maximum(), v->maximum()));
    QTest::keyClick(view, Qt::Key_Home);
    EXPECT_EQ(values(), QPoint(h->minimum(), v->minimum()));
    // Only the view moved: the selection and the page are as they were.
    EXPECT_EQ(view->getSelection(), (std::list<ZN_ShapeBase*>{box}));
    EXPECT_EQ(box->getPoint1().X(), 100.0f);
    EXPECT_EQ(view->getTool(), 0);
}

TEST_F(Scrolling, UndoAndRedoBringBackTheScrollPositionWithThePage) {
    addRect(*page, 100, 100, 200, 160);
    addRect(*page, 40000, 30000, 40100, 30060);
    view->updateScrollRanges();
    view->scrollTo(QPoint(39500, 29700));
    const QPoint far = view->scrollPosition();
    ASSERT_EQ(far, QPoint(39500, 29700));

    view->selectAll();
    ASSERT_TRUE(runViewCommand(*view, cmd::Clear));
    view->updateScrollRanges(); // as the next frame does: the range shrinks
    const QPoint pushed = view->scrollPosition();
    ASSERT_LT(pushed.x(), 15000);

    ASSERT_TRUE(runViewCommand(*view, cmd::Undo));
    EXPECT_EQ(page->getShapeList().size(), 2u);
    EXPECT_EQ(view->scrollPosition(), far);
    ASSERT_TRUE(runViewCommand(*view, cmd::Redo));
    EXPECT_TRUE(page->getShapeList().empty());
    EXPECT_EQ(view->scrollPosition(), pushed);
    ASSERT_TRUE(runViewCommand(*view, cmd::Undo));
    EXPECT_EQ(view->scrollPosition(), far);

    // Two edits made at two places come back each at its own.
    view->scrollTo(QPoint(1000, 500));
    UndoStep(*view).change();
    page->getShapeList().front()->change(ZVector2(5, 0), 9);
    view->scrollTo(QPoint(39000, 29000));
    UndoStep(*view).change();
    page->getShapeList().back()->change(ZVector2(5, 0), 9);
    view->scrollTo(QPoint(0, 0));
    ASSERT_TRUE(runViewCommand(*view, cmd::Undo));
    EXPECT_EQ(view->scrollPosition(), QPoint(39000, 29000));
    ASSERT_TRUE(runViewCommand(*view, cmd::Undo));
    EXPECT_EQ(view->scrollPosition(), QPoint(1000, 500));
}

TEST_F(Scrolling, ADraggedShapeFollowsThePointerHeldBeyondTheEdge) {
    ZN_NRect* box = addRect(*page, 100, 100, 200, 160);
    view->updateScrollRanges();
    const QPoint beyond(150, view->height() + 20);
    pressAndDrag(QPoint(150, 130), beyond);
    ASSERT_EQ(view->getDragPhase(), 2);
    EXPECT_TRUE(view->isAutoscrolling());
    ASSERT_TRUE(scrollUntil([&] { return v->value() >= 400; }));
    // The box stays under the pointer, 30 units below its top edge.
    const ZVector2 offset = view->viewOffset();
    EXPECT_NEAR(box->getPoint1().Y(), offset.Y() + beyond.y() - 30.0f, 0.01f);
    EXPECT_NEAR(box->getPoint1().X(), 100.0f, 0.01f);
    EXPECT_EQ(h->value(), 0);
    view->onLButtonUp(kNone, beyond);
    EXPECT_FALSE(view->autoscrollStep());
    EXPECT_NEAR(box->getPoint1().Y(), offset.Y() + beyond.y() - 30.0f, 0.01f);

    // Back inside the window the drag no longer scrolls.
    pressAndDrag(QPoint(150, 200), QPoint(150, 100));
    EXPECT_FALSE(view->isAutoscrolling());
    view->onLButtonUp(kNone, QPoint(150, 100));
}

TEST_F(Scrolling, ARubberBandReachesShapesBeyondTheWindow) {
    ZN_NRect* near = addRect(*page, 100, 100, 150, 150);
    const float farX = static_cast<float>(view->width()) + 300.0f;
    ZN_NRect* far = addRect(*page, farX, 120, farX + 50, 170);
    ZN_NRect* below = addRect(*page, 100, 400, 150, 450);
    view->updateScrollRanges();
    const QPoint beyond(view->width() + 5, 200);
    pressAndDrag(QPoint(50, 50), beyond);
    ASSERT_EQ(view->getDragState(), 1);
    ASSERT_TRUE(scrollUntil([&] { return h->value() >= 400; }));
    EXPECT_EQ(v->value(), 0);
    view->onLButtonUp(kNone, beyond);
    EXPECT_TRUE(near->getSelected());
    EXPECT_TRUE(far->getSelected());
    EXPECT_FALSE(below->getSelected());
}

TEST_F(Scrolling, ANewBoxGrowsAlongAndOnlyDragsScroll) {
    view->setTool(viewtool::Rect);
    const QPoint beyond(view->width() + 40, 100);
    pressAndDrag(QPoint(100, 100), beyond);
    ASSERT_TRUE(scrollUntil([&] { return h->value() >= 300; }));
    view->onLButtonUp(kNone, beyond);
    ASSERT_EQ(page->getShapeList().size(), 1u);
    const ZN_ShapeBase* box = page->getShapeList().front();
    EXPECT_NEAR(box->getPoint2().X(), view->viewOffset().X() + beyond.x(), 0.01f);

    // Hovering outside, or drawing a capture frame, scrolls nothing.
    view->setTool(viewtool::Select);
    view->followPointer(QPoint(-20, -20), false);
    EXPECT_FALSE(view->isAutoscrolling());
    view->setTool(viewtool::Capture);
    pressAndDrag(QPoint(100, 100), beyond);
    EXPECT_FALSE(view->isAutoscrolling());
    EXPECT_FALSE(view->autoscrollStep());
    view->onLButtonUp(kNone, beyond);
}

// Mouse events alone: the timer scrolls while the pointer stays beyond the
// edge, and the release stops it.
TEST_F(Scrolling, HoldingADragBeyondTheEdgeScrollsUntilTheButtonIsReleased) {
    ZN_NRect* box = addRect(*page, 100, 100, 200, 160);
    view->updateScrollRanges();
    const QPoint grip(150, 130);
    const QPoint beyond(view->width() + 30, 130);
    mouse(QEvent::MouseMove, Qt::NoButton, Qt::NoButton, grip);
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, grip);
    mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, grip + QPoint(40, 0));
    mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, beyond);
    ASSERT_EQ(h->value(), 0);
    ASSERT_TRUE(view->isAutoscrolling());
    QTRY_VERIFY_WITH_TIMEOUT(h->value() >= 200, 20000);
    mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, beyond);
    EXPECT_FALSE(view->isAutoscrolling());
    const int stopped = h->value();
    EXPECT_NEAR(box->getPoint1().X(), view->viewOffset().X() + beyond.x() - 50.0f, 0.01f);
    QCoreApplication::processEvents();
    EXPECT_EQ(h->value(), stopped);
}
