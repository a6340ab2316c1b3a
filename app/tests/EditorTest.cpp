// The editor window driven as a user would: opening files, switching pages by
// their tabs, scrolling, saving and closing.

#include <gtest/gtest.h>

#include <QAction>
#include <QMdiArea>
#include <QMessageBox>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <QWheelEvent>

#include <rulmek/rulmek.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZMessage.h>

#include "TestSupport.h"
#include "WindowFixture.h"
#include "commands/CommandIds.h"
#include "document/CTavloDoc.h"
#include "document/TvxContainer.h"
#include "folder/CFolderFrame.h"
#include "folder/CFolderTabCtrl.h"
#include "frames/CChildFrame.h"
#include "frames/CMainFrame.h"
#include "frames/CTavloApp.h"
#include "view/CTavloView.h"

namespace {

int answerCancel(QWidget*, const QString&) { return QMessageBox::Cancel; }
int answerDiscard(QWidget*, const QString&) { return QMessageBox::Discard; }

std::string threePageFile() {
    ZN_ShapeManager a, b, c;
    addRect(b, 100, 100, 200, 150);
    const std::string path = tempDir() + "/three.tvx";
    EXPECT_TRUE(writeTvxFile(path, {{"页1", 0, &a}, {"第二", 1, &b}, {"页2", 0, &c}}));
    return path;
}

} // namespace

class Editor : public MainWindowFixture {
protected:
    void TearDown() override {
        CChildFrame::setAskToSave(nullptr);
        MainWindowFixture::TearDown();
    }
};

TEST_F(Editor, NewDocumentHasOnePageAndUnbuiltCommandsAreDisabled) {
    CChildFrame* child = frame->newDocument();
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->windowTitle(), "Qelmo思维导图(2.03版) - [未命名]");
    EXPECT_EQ(child->folderFrame()->tabCtrl()->itemName(0), "页1");
    EXPECT_TRUE(child->isMaximized());
    EXPECT_TRUE(frame->action(cmd::New)->isEnabled());
    EXPECT_TRUE(frame->action(cmd::Save)->isEnabled());
    EXPECT_TRUE(frame->action(cmd::DocOption)->isEnabled());
    EXPECT_TRUE(frame->action(cmd::ToolRect)->isEnabled());
    EXPECT_TRUE(frame->action(cmd::Paste)->isEnabled());
    // A command without a handler yet stays disabled.
    EXPECT_FALSE(frame->action(cmd::WindowNew)->isEnabled());
    EXPECT_TRUE(frame->action(cmd::BindDrag)->isChecked());
}

TEST_F(Editor, OpenFileAndSwitchPagesByClickingTabs) {
    CChildFrame* child = frame->openDocumentFile(QString::fromStdString(threePageFile()));
    ASSERT_NE(child, nullptr);
    QCoreApplication::processEvents();
    CFolderTabCtrl* tabs = child->folderFrame()->tabCtrl();
    ASSERT_EQ(tabs->itemCount(), 3);
    EXPECT_EQ(tabs->itemName(1), "第二");
    EXPECT_EQ(child->view()->getCurrentPage(), child->document()->shapeData().managers[0]);
    EXPECT_FALSE(child->document()->isModified());

    const QPoint onSecond(tabs->buttonsWidth() + tabs->item(1).bounds.center().x(), 6);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, onSecond);
    EXPECT_EQ(tabs->currentTab(), 1);
    EXPECT_EQ(child->view()->getCurrentPage(), child->document()->shapeData().managers[1]);
    EXPECT_EQ(child->view()->getCurrentPage()->getShapeList().size(), 1u);

    // Opening the same file again brings the open window forward.
    EXPECT_EQ(frame->openDocumentFile(child->document()->pathName()), child);
    EXPECT_EQ(frame->children().size(), 1);
}

TEST_F(Editor, RefusedFilesOpenNothing) {
    const std::string dir = tempDir();
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* message;
    } cases[] = {
        {"magic.tvx", Bytes().i32(8).raw("abc").i32(1).data, "必需是tvx文件"},
        {"new.tvx", Bytes().i32(9).raw("tvx").i32(1).data, "你的版本太低，请用更高的版本打开"},
        {"cut.tvx", Bytes().i32(8).raw("tvx").i32(1).i32(0).data, "文件已损坏，无法打开"},
    };
    for (const Case& c : cases) {
        const std::string path = dir + "/" + c.name;
        writeBytes(path, c.bytes);
        EXPECT_EQ(frame->openDocumentFile(QString::fromStdString(path)), nullptr) << c.name;
        EXPECT_EQ(ZLastMessageText(), c.message) << c.name;
        EXPECT_TRUE(frame->children().isEmpty()) << c.name;
        EXPECT_EQ(readBytes(path), c.bytes) << c.name;
    }
}

TEST_F(Editor, ScrollBarsAndWheelMoveTheViewOffset) {
    CChildFrame* child = frame->newDocument();
    QCoreApplication::processEvents();
    CTavloView* view = child->view();
    QScrollBar* h = child->folderFrame()->hScrollBar();
    QScrollBar* v = child->folderFrame()->vScrollBar();
    EXPECT_EQ(h->maximum(), CTavloView::kScrollWidth - view->width());
    EXPECT_EQ(v->maximum(), CTavloView::kScrollHeight - view->height());

    h->setValue(300);
    EXPECT_FLOAT_EQ(getScallPosition().X(), 300.0f);
    v->setValue(120);
    EXPECT_FLOAT_EQ(getScallPosition().Y(), 120.0f);
    EXPECT_FLOAT_EQ(getScallPosition().X(), 300.0f);

    QWheelEvent down(QPointF(50, 50), view->mapToGlobal(QPointF(50, 50)), QPoint(),
                     QPoint(0, -120), Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view, &down);
    EXPECT_GT(getScallPosition().Y(), 120.0f);
    EXPECT_EQ(static_cast<int>(getScallPosition().Y()), v->value());
}

TEST_F(Editor, FailedSaveKeepsTheDocumentModified) {
    CChildFrame* child = frame->newDocument();
    child->document()->SetModifiedFlag(true);
    EXPECT_FALSE(child->document()->saveTo(QString::fromStdString(tempDir() + "/no/such/x.tvx")));
    EXPECT_EQ(ZLastMessageText().rfind("无法保存文件", 0), 0u);
    EXPECT_TRUE(child->document()->isModified());

    const QString good = QString::fromStdString(tempDir() + "/saved.tvx");
    EXPECT_TRUE(child->document()->saveTo(good));
    EXPECT_FALSE(child->document()->isModified());
    EXPECT_EQ(frame->windowTitle(), "Qelmo思维导图(2.03版) - [saved.tvx]");
}

TEST_F(Editor, ClosingAModifiedDocumentAsksFirst) {
    CChildFrame* child = frame->newDocument();
    child->document()->SetModifiedFlag(true);
    CChildFrame::setAskToSave(answerCancel);
    child->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->children().size(), 1);
    CChildFrame::setAskToSave(answerDiscard);
    child->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(frame->children().isEmpty());
    EXPECT_FALSE(frame->action(cmd::Save)->isEnabled());
}

TEST_F(Editor, AnExitCancelledLaterKeepsEarlierAnswersFromLosingEdits) {
    CChildFrame* a = frame->newDocument();
    CChildFrame* b = frame->newDocument();
    a->document()->SetModifiedFlag(true);
    b->document()->SetModifiedFlag(true);
    // Discard for the first document asked, Cancel for the second.
    static QStringList asked;
    asked.clear();
    CChildFrame::setAskToSave([](QWidget*, const QString& title) {
        asked << title;
        return asked.size() == 1 ? int(QMessageBox::Discard) : int(QMessageBox::Cancel);
    });
    EXPECT_FALSE(frame->close());
    ASSERT_EQ(asked.size(), 2);
    ASSERT_EQ(frame->children().size(), 2);
    CChildFrame* first = asked[0] == a->document()->title() ? a : b;
    EXPECT_TRUE(first->document()->isModified());

    // Closing it later still asks.
    CChildFrame::setAskToSave(answerCancel);
    first->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->children().size(), 2);
    EXPECT_TRUE(first->document()->isModified());
}

TEST_F(Editor, VisualStyleIsCheckedAndRemembered) {
    frame->runCommand(216);
    EXPECT_TRUE(frame->action(216)->isChecked());
    EXPECT_FALSE(frame->action(208)->isChecked());
    EXPECT_EQ(QSettings(CTavloApp::kOrganisation, CTavloApp::kApplication)
                  .value("ApplicationLook")
                  .toInt(),
              216);
    frame->runCommand(208);
    EXPECT_TRUE(frame->action(208)->isChecked());
}

TEST_F(Editor, RecentFilesKeepTheLastFourOpenedFirst) {
    CTavloApp& app = testApp();
    for (const QString& f : app.recentFiles())
        app.removeRecentFile(f);
    const std::string dir = tempDir();
    ZN_ShapeManager page;
    QStringList paths;
    for (int i = 0; i < 5; ++i) {
        const std::string path = dir + "/m" + std::to_string(i) + ".tvx";
        ASSERT_TRUE(writeTvxFile(path, {{"页1", 0, &page}}));
        paths << QString::fromStdString(path);
        ASSERT_NE(frame->openDocumentFile(paths.last()), nullptr);
    }
    EXPECT_EQ(app.recentFiles(), (QStringList{paths[4], paths[3], paths[2], paths[1]}));
    // Reopening moves a file to the front without repeating it.
    frame->openDocumentFile(paths[2]);
    EXPECT_EQ(app.recentFiles().first(), paths[2]);
    EXPECT_EQ(app.recentFiles().size(), 4);
}
