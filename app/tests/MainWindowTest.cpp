// The main window as users expect it: the window list chooses windows, not
// titles; toolbars keep the user's choice; the window remembers its layout;
// the page tabs follow the visual style; the lock panes follow the keyboard.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStyle>
#include <QTest>
#include <QToolBar>

#include "WindowFixture.h"
#include "commands/CommandIds.h"
#include "commands/CommandTable.h"
#include "dialogs/CToolbarCustomizeDlg.h"
#include "dialogs/ToolbarCustomizer.h"
#include "folder/CFolderButton.h"
#include "folder/CFolderFrame.h"
#include "folder/CFolderTabCtrl.h"
#include "frames/CTavloApp.h"
#include "frames/CWindowsDlg.h"

// X headers last: their macros (None, Status) clash with names above.
#include <X11/XKBlib.h>
#include <X11/keysym.h>

namespace {

QSettings profile() {
    return QSettings(CTavloApp::kOrganisation, CTavloApp::kApplication);
}

int separators(const QToolBar* bar) {
    int n = 0;
    for (const QAction* a : bar->actions())
        n += a->isSeparator() ? 1 : 0;
    return n;
}

// Waits for the status bar to catch up with the X server.
bool paneShows(const QLabel* pane, const char* text) {
    return QTest::qWaitFor([&] { return pane->text() == QString(text); }, 5000);
}

} // namespace

TEST(WindowList, SameTitlesAreNumberedApartInOrder) {
    EXPECT_EQ(distinctWindowLabels({"未命名", "a.tvx", "未命名", "未命名"}),
              QStringList({"未命名", "a.tvx", "未命名:2", "未命名:3"}));
    EXPECT_TRUE(distinctWindowLabels({}).isEmpty());
}

class MainWindow : public MainWindowFixture {
protected:
    void TearDown() override {
        for (int i = 0; i < frame->toolbarCustomizer()->toolbarCount(); ++i)
            frame->toolbarCustomizer()->reset(i);
        profile().remove("MainFrame");
        MainWindowFixture::TearDown();
    }
};

TEST_F(MainWindow, WindowDialogActivatesTheChosenWindowEvenWithEqualTitles) {
    CChildFrame* first = frame->newDocument();
    CChildFrame* second = frame->newDocument();
    QCoreApplication::processEvents();
    CWindowsDlg dialog(frame->mdiArea(), frame);
    ASSERT_EQ(dialog.list()->count(), 2);
    EXPECT_EQ(dialog.list()->item(0)->text(), "未命名");
    EXPECT_EQ(dialog.list()->item(1)->text(), "未命名:2");
    EXPECT_EQ(second->document()->title(), "未命名") << "the document keeps its title";
    EXPECT_EQ(second->windowTitle(), "未命名:2") << "its window is named as in the list";
    EXPECT_EQ(dialog.list()->currentRow(), 1) << "the current window is marked";

    dialog.activateSelected();
    EXPECT_EQ(frame->activeChild(), second);
    dialog.list()->setCurrentRow(0);
    dialog.activateSelected();
    EXPECT_EQ(frame->activeChild(), first);
    dialog.list()->setCurrentRow(1);
    dialog.activateSelected();
    EXPECT_EQ(frame->activeChild(), second);

    dialog.list()->setCurrentRow(0);
    dialog.closeSelected();
    ASSERT_EQ(dialog.list()->count(), 1);
    EXPECT_EQ(dialog.selectedWindow(), second);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frame->children().size(), 1);
}

TEST_F(MainWindow, HiddenToolbarButtonsStayHiddenAcrossStartsUntilReset) {
    ToolbarCustomizer* bars = frame->toolbarCustomizer();
    QToolBar* main = frame->toolbar(0);
    const int mainSeparators = separators(main);
    for (int id : {cmd::Clear, cmd::Cut, cmd::Copy, cmd::Paste})
        bars->setShown(0, id, false);
    EXPECT_FALSE(main->actions().contains(frame->action(cmd::Cut)));
    EXPECT_TRUE(frame->action(cmd::Cut)->isVisible()) << "the menu keeps the command";
    EXPECT_EQ(separators(main), mainSeparators - 1) << "an emptied group leaves no double gap";

    CMainFrame next;
    EXPECT_FALSE(next.toolbar(0)->actions().contains(next.action(cmd::Cut)));
    EXPECT_TRUE(next.toolbar(0)->actions().contains(next.action(cmd::New)));

    // The dialog shows the choice and changes it at once.
    CToolbarCustomizeDlg dialog(*bars, 0, frame);
    EXPECT_EQ(dialog.pages()->count(), static_cast<int>(toolbarTable().size()));
    QListWidget* list = dialog.list(0);
    QListWidgetItem* cut = nullptr;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->data(Qt::UserRole).toInt() == cmd::Cut)
            cut = list->item(i);
    }
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(cut->text(), "剪切");
    EXPECT_EQ(cut->checkState(), Qt::Unchecked);
    cut->setCheckState(Qt::Checked);
    EXPECT_TRUE(main->actions().contains(frame->action(cmd::Cut)));

    dialog.resetPage(0);
    EXPECT_EQ(separators(main), mainSeparators);
    EXPECT_TRUE(main->actions().contains(frame->action(cmd::Paste)));
    CMainFrame afterReset;
    EXPECT_TRUE(afterReset.toolbar(0)->actions().contains(afterReset.action(cmd::Paste)));
}

TEST_F(MainWindow, SizeAndToolbarLayoutComeBackAtTheNextStart) {
    frame->resize(900, 640);
    frame->toolbar(2)->toggleViewAction()->trigger();
    ASSERT_TRUE(frame->toolbar(2)->isHidden());
    ASSERT_TRUE(frame->close());

    CMainFrame next;
    next.restoreWindowLayout();
    next.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&next));
    EXPECT_TRUE(next.toolbar(2)->isHidden());
    EXPECT_FALSE(next.toolbar(1)->isHidden());
    EXPECT_EQ(next.size(), QSize(900, 640));
}

TEST_F(MainWindow, ExitWithDocumentsOpenLeavesNoWindowBehind) {
    // Closing the main window closes the documents, whose deletes are still
    // pending when the frame itself goes; nothing may outlive it.
    QPointer<CChildFrame> first = frame->newDocument();
    QPointer<CChildFrame> second = frame->newDocument();
    ASSERT_TRUE(frame->close());
    delete frame;
    frame = nullptr;
    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(second.isNull());
    frame = new CMainFrame;
}

TEST_F(MainWindow, FirstStartFillsMostOfTheScreenWithEveryButtonInSight) {
    profile().remove("MainFrame");
    CMainFrame first;
    first.restoreWindowLayout();
    const QRect available = first.screen()->availableGeometry();
    EXPECT_GE(first.width(), available.width() * 8 / 10);
    EXPECT_GE(first.height(), available.height() * 8 / 10);

    // On a screen 1366 pixels wide no button hides behind an overflow arrow.
    first.resize(1366 * 9 / 10, 700);
    first.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&first));
    for (int i = 0; i < static_cast<int>(toolbarTable().size()); ++i) {
        ASSERT_EQ(first.toolBarArea(first.toolbar(i)), Qt::TopToolBarArea) << "toolbar " << i;
        for (QAction* a : first.toolbar(i)->actions()) {
            QWidget* button = first.toolbar(i)->widgetForAction(a);
            if (a->isSeparator() || !button)
                continue;
            EXPECT_TRUE(button->isVisible()) << "toolbar " << i << ": " << a->text().toStdString();
        }
    }
}

TEST_F(MainWindow, LockPanesNameTheirLockOnlyWhileItIsOn) {
    Display* display = XkbOpenDisplay(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(display, nullptr);
    auto* cap = frame->findChild<QLabel*>("paneCAP");
    auto* num = frame->findChild<QLabel*>("paneNUM");
    ASSERT_NE(cap, nullptr);
    ASSERT_NE(num, nullptr);
    const unsigned int numMask = XkbKeysymToModifiers(display, XK_Num_Lock);
    XkbLockModifiers(display, XkbUseCoreKbd, LockMask | numMask, 0);
    XFlush(display);
    EXPECT_TRUE(paneShows(cap, "")) << cap->text().toStdString();
    EXPECT_TRUE(paneShows(num, "")) << num->text().toStdString();

    XkbLockModifiers(display, XkbUseCoreKbd, LockMask, LockMask);
    XFlush(display);
    EXPECT_TRUE(paneShows(cap, "CAP")) << cap->text().toStdString();
    EXPECT_EQ(num->text(), "");
    if (numMask) {
        XkbLockModifiers(display, XkbUseCoreKbd, numMask, numMask);
        XFlush(display);
        EXPECT_TRUE(paneShows(num, "NUM")) << num->text().toStdString();
    }
    XkbLockModifiers(display, XkbUseCoreKbd, LockMask | numMask, 0);
    XFlush(display);
    EXPECT_TRUE(paneShows(cap, "")) << cap->text().toStdString();
    EXPECT_TRUE(paneShows(num, "")) << num->text().toStdString();
    XCloseDisplay(display);
}

class TabRowStyle : public DocumentFixture {
protected:
    void TearDown() override {
        frame->setAppLook(cmd::LookDefault);
        DocumentFixture::TearDown();
    }

    void expectSizedBy(int extent) {
        CFolderTabCtrl* tabs = child->folderFrame()->tabCtrl();
        EXPECT_EQ(tabs->height(), extent);
        EXPECT_EQ(tabs->buttonsWidth(), 2 * extent);
        EXPECT_EQ(tabs->button(2)->geometry(), QRect(extent, 0, extent, extent));
        EXPECT_EQ(tabs->tabFont(false).pixelSize(), extent - 1);
        EXPECT_EQ(tabs->tabFont(true).pixelSize(), extent - 3);
        EXPECT_EQ(tabs->item(0).bounds.height(), extent);
        EXPECT_EQ(child->folderFrame()->hScrollBar()->height(), extent);
        EXPECT_GE(tabs->width(), tabs->totalWidth()) << "every tab in sight";
    }
};

TEST_F(TabRowStyle, TabsFollowTheScrollBarSizeOfEachStyle) {
    const int before = frame->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    expectSizedBy(before);
    frame->setAppLook(205);
    QCoreApplication::processEvents();
    const int after = frame->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    ASSERT_NE(before, after) << "the two styles must differ for this test to mean anything";
    expectSizedBy(after);
    frame->setAppLook(cmd::LookDefault);
    QCoreApplication::processEvents();
    expectSizedBy(before);
}
