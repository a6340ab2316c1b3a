// The main frame as the command handlers see it.

#include <QMdiArea>

#include "document/CTavloDoc.h"
#include "folder/CFolderFrame.h"
#include "commands/CommandIds.h"
#include "frames/CChildFrame.h"
#include "frames/CFindBar.h"
#include "frames/CMainFrame.h"
#include "frames/CTavloApp.h"
#include "frames/CWindowsDlg.h"
#include "frames/ZAutoSave.h"
#include "view/CTavloView.h"

CTavloDoc* CMainFrame::activeDocument() const {
    const CChildFrame* child = activeChild();
    return child ? child->document() : nullptr;
}

CTavloView* CMainFrame::activeView() const {
    const CChildFrame* child = activeChild();
    return child ? child->view() : nullptr;
}

CFolderFrame* CMainFrame::activeFolderFrame() const {
    const CChildFrame* child = activeChild();
    return child ? child->folderFrame() : nullptr;
}

void CMainFrame::closeActiveDocument() {
    if (CChildFrame* child = activeChild())
        child->close();
}

void CMainFrame::saveActiveDocument() {
    if (CChildFrame* child = activeChild(); child && child->save() && child == fileNoteOwner_)
        clearFileNote();
}

void CMainFrame::saveActiveDocumentAs() {
    if (CChildFrame* child = activeChild(); child && child->saveAs() && child == fileNoteOwner_)
        clearFileNote();
}

void CMainFrame::manageWindows() {
    CWindowsDlg dialog(mdiArea(), this);
    dialog.exec();
}

int CMainFrame::appLook() const {
    const CTavloApp* app = CTavloApp::instance();
    return app ? app->appLook : 208;
}

int CMainFrame::autoSaveSeconds() const { return ZAutoSave::profileSeconds(); }

void CMainFrame::setAutoSaveSeconds(int seconds) {
    ZAutoSave::setProfileSeconds(seconds);
    if (ZAutoSave* saver = ZAutoSave::instance())
        saver->setSeconds(seconds);
}

void CMainFrame::findInDocument(int commandId) {
    CChildFrame* child = activeChild();
    if (!child)
        return;
    CFindBar* bar = child->findBar();
    switch (commandId) {
    case cmd::Find:
    case cmd::Replace:
        bar->open(commandId == cmd::Replace);
        break;
    case cmd::FindNext:
    case cmd::FindPrevious:
        bar->step(commandId == cmd::FindPrevious);
        break;
    default:
        break;
    }
}
