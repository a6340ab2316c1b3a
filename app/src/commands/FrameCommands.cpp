#include "commands/FrameCommands.h"

#include <QApplication>
#include <QDockWidget>
#include <QMdiArea>
#include <QStatusBar>

#include "dialogs/CAboutDlg.h"
#include "dialogs/CDlgDocOption.h"
#include "dialogs/CWindowsDlg.h"
#include "dialogs/FileDialogs.h"
#include "frames/CChildFrame.h"
#include "frames/CMainFrame.h"
#include "frames/CTavloApp.h"
#include "frames/CTavloDoc.h"
#include "frames/ToolbarCustomizer.h"
#include "view/COverviewPanel.h"
#include "view/CTavloView.h"

namespace handlers {

void fileNew(CMainFrame& frame, int) { frame.newDocument(); }

void fileOpen(CMainFrame& frame, int) {
    const QString path = askOpenFile(&frame, "打开", QString(), documentFileTypes());
    if (!path.isEmpty())
        frame.openDocumentFile(path);
}

void fileClose(CMainFrame& frame, int) {
    if (CChildFrame* child = frame.activeChild())
        child->close();
}

void fileSave(CMainFrame& frame, int) {
    if (CChildFrame* child = frame.activeChild())
        child->save();
}

void fileSaveAs(CMainFrame& frame, int) {
    if (CChildFrame* child = frame.activeChild())
        child->saveAs();
}


void docOption(CMainFrame& frame, int) {
    CChildFrame* child = frame.activeChild();
    if (!child)
        return;
    CDlgDocOption dialog(child->document(), child->folderFrame(), &frame);
    dialog.exec();
}

void appExit(CMainFrame& frame, int) { frame.close(); }

void appAbout(CMainFrame& frame, int) {
    CAboutDlg dialog(&frame);
    dialog.exec();
}

void openTemplate(CMainFrame& frame, int) {
    // The first entry lists every file, as it always has.
    static const std::vector<FileType> types = {{"导图文件(*.tvx)", "*"}, {"All Files (*.*)", "*"}};
    const QString path = askOpenFile(&frame, "打开", frame.templateFolder(), types, "tvx");
    if (!path.isEmpty())
        frame.openDocumentFile(path);
}

void windowCascade(CMainFrame& frame, int) { frame.mdiArea()->cascadeSubWindows(); }
void windowTile(CMainFrame& frame, int) { frame.mdiArea()->tileSubWindows(); }

void windowArrange(CMainFrame& frame, int) {
    for (QMdiSubWindow* w : frame.mdiArea()->subWindowList()) {
        if (w->isMinimized())
            w->showMinimized();
    }
}

void windowManager(CMainFrame& frame, int) {
    CWindowsDlg dialog(frame.mdiArea(), &frame);
    dialog.exec();
}

void viewCustomize(CMainFrame& frame, int) {
    frame.toolbarCustomizer()->customize(&frame, 0);
}

void toggleStatusBar(CMainFrame& frame, int) {
    frame.statusBar()->setVisible(!frame.statusBar()->isVisible());
}

bool statusBarShown(CMainFrame& frame, int) { return !frame.statusBar()->isHidden(); }

void toggleOverview(CMainFrame& frame, int) {
    QDockWidget* dock = frame.overviewDock();
    dock->setVisible(dock->isHidden());
}

bool overviewShown(CMainFrame& frame, int) { return !frame.overviewDock()->isHidden(); }

void appLook(CMainFrame& frame, int id) { frame.setAppLook(id); }

bool appLookChecked(CMainFrame&, int id) {
    const CTavloApp* app = CTavloApp::instance();
    return app ? app->appLook == id : id == 208;
}

void toggleBindDrag(CMainFrame& frame, int) {
    if (CChildFrame* child = frame.activeChild())
        child->view()->setBindDrag(child->view()->getBindDrag() ? 0 : 1);
}

bool bindDragChecked(CMainFrame& frame, int) {
    CChildFrame* child = frame.activeChild();
    return child ? child->view()->getBindDrag() == 1 : true;
}

} // namespace handlers
