#include "commands/FrameCommands.h"

#include <QApplication>
#include <QDockWidget>
#include <QInputDialog>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>

#include "commands/CommandIds.h"
#include "commands/CommandTarget.h"
#include "commands/ToolbarIcons.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CDlgDocOption.h"
#include "dialogs/FileDialogs.h"
#include "dialogs/ToolbarCustomizer.h"
#include "document/CTavloDoc.h"
#include "view/CTavloView.h"
#include "view/EditKeys.h"

namespace handlers {

void fileNew(CommandTarget& frame, int) { frame.createDocument(); }

void fileOpen(CommandTarget& frame, int) {
    const QString path = askOpenFile(frame.mainWindow(), "打开", QString(), openFileTypes());
    if (!path.isEmpty())
        frame.openDocument(path);
}

void fileClose(CommandTarget& frame, int) {
    frame.closeActiveDocument();
}

void fileSave(CommandTarget& frame, int) {
    frame.saveActiveDocument();
}

void fileSaveAs(CommandTarget& frame, int) {
    frame.saveActiveDocumentAs();
}


void docOption(CommandTarget& frame, int) {
    CTavloDoc* doc = frame.activeDocument();
    if (!doc)
        return;
    // The pages may go or move: the text being typed goes onto its page first.
    if (CTavloView* view = frame.activeView())
        view->commitEdit();
    CDlgDocOption dialog(doc, frame.activeFolderFrame(), frame.mainWindow());
    dialog.exec();
}

void appExit(CommandTarget& frame, int) { frame.mainWindow()->close(); }

void appAbout(CommandTarget& frame, int) {
    CAboutDlg dialog(commandIcon(cmd::ToolLine), frame.mainWindow());
    dialog.exec();
}

void openTemplate(CommandTarget& frame, int) {
    // The first entry lists every file, as it always has.
    static const std::vector<FileType> types = {{"导图文件(*.tvx)", "*"}, {"All Files (*.*)", "*"}};
    const QString path = askOpenFile(frame.mainWindow(), "打开", frame.templateFolder(), types, "tvx");
    if (!path.isEmpty())
        frame.openDocument(path);
}

void windowCascade(CommandTarget& frame, int) { frame.mdiArea()->cascadeSubWindows(); }
void windowTile(CommandTarget& frame, int) { frame.mdiArea()->tileSubWindows(); }

void windowArrange(CommandTarget& frame, int) {
    for (QMdiSubWindow* w : frame.mdiArea()->subWindowList()) {
        if (w->isMinimized())
            w->showMinimized();
    }
}

void windowManager(CommandTarget& frame, int) {
    frame.manageWindows();
}

void viewCustomize(CommandTarget& frame, int) {
    frame.toolbarCustomizer()->customize(frame.mainWindow(), 0);
}

void toggleStatusBar(CommandTarget& frame, int) {
    QStatusBar* bar = frame.mainWindow()->statusBar();
    bar->setVisible(!bar->isVisible());
}

bool statusBarShown(CommandTarget& frame, int) {
    return !frame.mainWindow()->statusBar()->isHidden();
}

namespace {

// The main window's overview window, found by the name the profile keeps it under.
QDockWidget* overviewDock(CommandTarget& frame) {
    return frame.mainWindow()->findChild<QDockWidget*>("dockOverview");
}

} // namespace

void toggleOverview(CommandTarget& frame, int) {
    if (QDockWidget* dock = overviewDock(frame))
        dock->setVisible(dock->isHidden());
}

bool overviewShown(CommandTarget& frame, int) {
    const QDockWidget* dock = overviewDock(frame);
    return dock && !dock->isHidden();
}

void appLook(CommandTarget& frame, int id) { frame.setAppLook(id); }

bool appLookChecked(CommandTarget& frame, int id) { return frame.appLook() == id; }

void toggleBindDrag(CommandTarget& frame, int) {
    if (CTavloView* view = frame.activeView())
        view->setBindDrag(view->getBindDrag() ? 0 : 1);
}

bool bindDragChecked(CommandTarget& frame, int) {
    const CTavloView* view = frame.activeView();
    return view ? view->getBindDrag() == 1 : true;
}

void toggleEnterCommits(CommandTarget&, int) { editkeys::setEnterCommits(!editkeys::enterCommits()); }

bool enterCommitsChecked(CommandTarget&, int) { return editkeys::enterCommits(); }

void autoSaveSetting(CommandTarget& frame, int) {
    bool ok = false;
    const int seconds = QInputDialog::getInt(
        frame.mainWindow(), "自动保存", "每隔多少秒保存一次恢复副本（0 为不保存）：",
        frame.autoSaveSeconds(), 0, 24 * 3600, 10, &ok);
    if (ok)
        frame.setAutoSaveSeconds(seconds);
}

} // namespace handlers
