#include "commands/FrameCommands.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMdiArea>
#include <QStatusBar>

#include "dialogs/CAboutDlg.h"
#include "dialogs/CDlgDocOption.h"
#include "frames/CChildFrame.h"
#include "frames/CMainFrame.h"
#include "frames/CTavloApp.h"
#include "frames/CTavloDoc.h"
#include "view/CTavloView.h"

namespace handlers {

namespace {
QString openFilter() {
    return QString("%1;;所有文件 (*.*) (*)").arg(CTavloApp::kFileFilter);
}
} // namespace

void fileNew(CMainFrame& frame, int) { frame.newDocument(); }

void fileOpen(CMainFrame& frame, int) {
    const QString path = QFileDialog::getOpenFileName(&frame, "打开", QString(), openFilter());
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
    QFileDialog dialog(&frame, "打开", frame.templateFolder());
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix("tvx");
    // The first entry lists every file, as it always has.
    dialog.setNameFilters({"导图文件(*.tvx) (*)", "All Files (*.*) (*)"});
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        frame.openDocumentFile(dialog.selectedFiles().first());
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
    const QList<QMdiSubWindow*> windows = frame.mdiArea()->subWindowList();
    QStringList titles;
    for (QMdiSubWindow* w : windows)
        titles << w->windowTitle();
    bool ok = false;
    const int current = static_cast<int>(windows.indexOf(frame.mdiArea()->currentSubWindow()));
    const QString chosen =
        QInputDialog::getItem(&frame, "窗口", "选择窗口:", titles, std::max(0, current), false, &ok);
    if (!ok)
        return;
    const int index = static_cast<int>(titles.indexOf(chosen));
    if (index >= 0)
        frame.mdiArea()->setActiveSubWindow(windows[index]);
}

void toggleStatusBar(CMainFrame& frame, int) {
    frame.statusBar()->setVisible(!frame.statusBar()->isVisible());
}

bool statusBarShown(CMainFrame& frame, int) { return !frame.statusBar()->isHidden(); }

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
