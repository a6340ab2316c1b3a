// Tab geometry, hit testing, the scroll buttons and the frame's layout table.

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>

#include "TestSupport.h"
#include "document/CTavloDoc.h"
#include "folder/CFolderButton.h"
#include "folder/CFolderFrame.h"
#include "folder/CFolderTabCtrl.h"
#include "folder/CFolderView.h"
#include "folder/CSizerBar.h"
#include "folder/CWinMgr.h"
#include "frames/CChildFrame.h"

TEST(FolderTabLayout, TabsOverlapByEightAndSlant) {
    std::vector<FolderTabItem> tabs(3);
    const int right = layoutFolderTabs(tabs, {30, 10, 50}, 16);
    EXPECT_EQ(tabs[0].bounds, QRect(0, 0, 50, 16));
    EXPECT_EQ(tabs[1].bounds, QRect(42, 0, 30, 16));
    EXPECT_EQ(tabs[2].bounds, QRect(64, 0, 70, 16));
    EXPECT_EQ(right, 134);
    EXPECT_EQ(tabs[0].outline,
              QPolygon({QPoint(0, 0), QPoint(8, 16), QPoint(41, 16), QPoint(49, 0)}));
}

TEST(FolderTabLayout, HitTestGivesTheOverlapToTheEarlierTab) {
    std::vector<FolderTabItem> tabs(2);
    layoutFolderTabs(tabs, {30, 30}, 16);
    const QSize client(300, 16);
    // Near the top edge, x 43..48 lies in both outlines.
    EXPECT_EQ(hitTestFolderTabs(tabs, QPoint(45, 1), client, 0, 0), 0);
    EXPECT_EQ(hitTestFolderTabs(tabs, QPoint(60, 8), client, 0, 0), 1);
    EXPECT_EQ(hitTestFolderTabs(tabs, QPoint(200, 8), client, 0, 0), -1);
    EXPECT_EQ(hitTestFolderTabs(tabs, QPoint(5, 8), client, 32, 0), -1) << "on the buttons";
    EXPECT_EQ(hitTestFolderTabs(tabs, QPoint(40, 8), client, 32, 0), 0) << "shifted by the buttons";
    // With the second tab scrolled to the front it sits right after the buttons.
    EXPECT_EQ(hitTestFolderTabs(tabs, QPoint(40, 8), client, 32, 1), 1);
    EXPECT_EQ(hitTestFolderTabs(tabs, QPoint(40, 20), client, 32, 0), -1) << "below the control";
    EXPECT_EQ(hitTestFolderTabs({}, QPoint(40, 8), client, 32, 0), -1);
}

TEST(FolderTabCtrl, ClickSelectsAndNotifiesOnlyForOtherTabs) {
    testApp();
    CFolderTabCtrl tabs(CFolderTabCtrl::ScrollButtons, nullptr);
    tabs.resize(400, tabs.height());
    tabs.addItem("页1");
    tabs.addItem("页2");
    std::vector<int> notified;
    QObject::connect(&tabs, &CFolderTabCtrl::tabNotify, [&](int i) { notified.push_back(i); });
    const QPoint onSecond(tabs.buttonsWidth() + tabs.item(1).bounds.center().x(), 5);
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, onSecond);
    EXPECT_EQ(tabs.currentTab(), 1);
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, onSecond);
    EXPECT_EQ(notified, std::vector<int>{1});
}

TEST(FolderTabCtrl, HeldScrollButtonRepeatsUntilTheLastTabIsFirst) {
    testApp();
    CFolderTabCtrl tabs(CFolderTabCtrl::ScrollButtons, nullptr);
    tabs.resize(120, tabs.height());
    for (int i = 1; i <= 6; ++i)
        tabs.addItem("页" + std::to_string(i));
    CFolderButton* back = tabs.button(2);
    EXPECT_FALSE(tabs.button(1)->isEnabled());
    ASSERT_TRUE(back->isEnabled());

    QTest::mousePress(back, Qt::LeftButton);
    EXPECT_EQ(tabs.firstVisible(), 0) << "nothing happens before the first delay";
    QTest::qWait(CFolderButton::kFirstDelayMs + 60);
    EXPECT_GE(tabs.firstVisible(), 1);
    QTest::qWait(12 * CFolderButton::kRepeatDelayMs);
    QTest::mouseRelease(back, Qt::LeftButton);
    EXPECT_GE(tabs.firstVisible(), 3);
    EXPECT_LE(tabs.firstVisible(), 5);
    EXPECT_TRUE(tabs.button(1)->isEnabled());

    // A short click scrolls exactly once.
    const int before = tabs.firstVisible();
    QTest::mouseClick(tabs.button(1), Qt::LeftButton);
    EXPECT_EQ(tabs.firstVisible(), before - 1);
}

class FrameLayout : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        child = new CChildFrame;
        frame = child->folderFrame();
        frame->resize(800, 500);
        frame->show();
        frame->relayout();
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        child->document()->SetModifiedFlag(false);
        delete child;
    }
    CChildFrame* child = nullptr;
    CFolderFrame* frame = nullptr;
};

TEST_F(FrameLayout, TableGivesEveryChildItsPlace) {
    const int e = frame->vScrollBar()->width();
    const int w = frame->width();
    const int h = frame->height();
    EXPECT_EQ(frame->vScrollBar()->geometry().right(), w - 1);
    EXPECT_EQ(frame->tabCtrl()->geometry().left(), 0);
    EXPECT_EQ(frame->tabCtrl()->width(), frame->tabCtrl()->totalWidth());
    EXPECT_EQ(frame->sizerBar()->geometry().left(), frame->tabCtrl()->width());
    EXPECT_EQ(frame->sizerBar()->width(), CWinMgr::kSizerWidth);
    EXPECT_EQ(frame->hScrollBar()->geometry().left(), frame->sizerBar()->geometry().right() + 1);
    EXPECT_EQ(frame->sizeBox()->geometry(), QRect(w - e, h - e, e, e));
    EXPECT_EQ(frame->view()->geometry(), QRect(0, 0, w - e, h - e));
}

TEST_F(FrameLayout, HidingTabsWidensTheScrollBarToTheSizer) {
    const int scrollWidth = frame->hScrollBar()->width();
    const int tabsWidth = frame->tabCtrl()->width();
    frame->showTabs(false);
    EXPECT_EQ(frame->sizerBar()->geometry().left(), 0);
    EXPECT_EQ(frame->hScrollBar()->width(), scrollWidth + tabsWidth);
    frame->showTabs(true);
    EXPECT_EQ(frame->tabCtrl()->width(), tabsWidth);
    EXPECT_EQ(frame->hScrollBar()->width(), scrollWidth);
}

TEST_F(FrameLayout, SizerDragWidensTabsButNeverSqueezesTheScrollBar) {
    CSizerBar* sizer = frame->sizerBar();
    const int tabsWidth = frame->tabCtrl()->width();
    const QPoint start(4, 4);
    QTest::mousePress(sizer, Qt::LeftButton, {}, start);
    QMouseEvent move(QEvent::MouseMove, QPointF(start + QPoint(100, 0)),
                     QPointF(sizer->mapToGlobal(start + QPoint(100, 0))), Qt::LeftButton,
                     Qt::LeftButton, {});
    QCoreApplication::sendEvent(sizer, &move);
    EXPECT_EQ(frame->tabCtrl()->width(), tabsWidth + 100);
    QMouseEvent far(QEvent::MouseMove, QPointF(start + QPoint(5000, 0)),
                    QPointF(sizer->mapToGlobal(start + QPoint(5000, 0))), Qt::LeftButton,
                    Qt::LeftButton, {});
    QCoreApplication::sendEvent(sizer, &far);
    QTest::mouseRelease(sizer, Qt::LeftButton, {}, start + QPoint(5000, 0));
    const int e = frame->vScrollBar()->width();
    EXPECT_EQ(frame->hScrollBar()->width(), CWinMgr::kMinHScrollBars * e);
    EXPECT_FALSE(sizer->dragging());
}

TEST_F(FrameLayout, EscapeEndsASizerDragWithoutMovingIt) {
    CSizerBar* sizer = frame->sizerBar();
    const int tabsWidth = frame->tabCtrl()->width();
    QTest::mousePress(sizer, Qt::LeftButton, {}, QPoint(4, 4));
    ASSERT_TRUE(sizer->dragging());
    QTest::keyClick(sizer, Qt::Key_Escape);
    EXPECT_FALSE(sizer->dragging());
    QMouseEvent move(QEvent::MouseMove, QPointF(60, 4), QPointF(sizer->mapToGlobal(QPoint(60, 4))),
                     Qt::LeftButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(sizer, &move);
    EXPECT_EQ(frame->tabCtrl()->width(), tabsWidth);
}
