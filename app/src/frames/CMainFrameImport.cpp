// Maps of other programs opened as new documents.

#include <QStatusBar>
#include <QStatusTipEvent>

#include <sarvik/platform/ZMessage.h>

#include "commands/InterchangeCommands.h"
#include "document/CTavloDoc.h"
#include "document/TvxContainer.h"
#include "frames/CChildFrame.h"
#include "frames/CMainFrame.h"
#include "frames/CTavloApp.h"
#include "frames/ZAutoSave.h"
#include "view/CTavloView.h"

CChildFrame* CMainFrame::importDocumentFile(const QString& path) {
    TvxDocument loaded;
    QString summary;
    QString problem;
    bool outOfMemory = false;
    if (!importMapDocument(path, loaded, summary, problem, &outOfMemory)) {
        // Memory ran short once and may again: the other documents' recovery
        // copies go to the disk before anything else is tried, the message
        // box included.
        if (outOfMemory)
            if (ZAutoSave* saver = ZAutoSave::instance())
                saver->writeAllCopies();
        ZShowMessage(CTavloApp::kApplication, problem.toStdString());
        return nullptr;
    }
    auto* child = new CChildFrame;
    // No file of its own: saving asks for a .tvx name, so the map it came
    // from is never written over.
    child->document()->adoptLoaded(loaded, QString());
    child->document()->setImportSource(path);
    attachChild(child);
    child->view()->showWholeMapSoon();
    showFileNote(child, summary);
    return child;
}

void CMainFrame::showFileNote(CChildFrame* child, const QString& note) {
    fileNote_ = note;
    fileNoteOwner_ = child;
    statusBar()->showMessage(note);
}

void CMainFrame::clearFileNote() {
    if (fileNote_.isEmpty())
        return;
    fileNote_.clear();
    fileNoteOwner_ = nullptr;
    statusBar()->showMessage("就绪");
}

bool CMainFrame::event(QEvent* event) {
    // A tip shown while the pointer is over a button ends with an empty one,
    // which would clear the note for good: the note comes back instead.
    if (event->type() == QEvent::StatusTip && !fileNote_.isEmpty()) {
        if (static_cast<QStatusTipEvent*>(event)->tip().isEmpty()) {
            statusBar()->showMessage(fileNote_);
            return true;
        }
    }
    return QMainWindow::event(event);
}
