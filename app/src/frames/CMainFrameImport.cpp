// Maps of other programs opened as new documents.

#include <QStatusBar>

#include <sarvik/platform/ZMessage.h>

#include "commands/InterchangeCommands.h"
#include "document/CTavloDoc.h"
#include "document/TvxContainer.h"
#include "frames/CChildFrame.h"
#include "frames/CMainFrame.h"
#include "frames/CTavloApp.h"

CChildFrame* CMainFrame::importDocumentFile(const QString& path) {
    TvxDocument loaded;
    QString summary;
    QString problem;
    if (!importMapDocument(path, loaded, summary, problem)) {
        ZShowMessage(CTavloApp::kApplication, problem.toStdString());
        return nullptr;
    }
    auto* child = new CChildFrame;
    // No file of its own: saving asks for a .tvx name, so the map it came
    // from is never written over.
    child->document()->adoptLoaded(loaded, QString());
    child->document()->setImportSource(path);
    attachChild(child);
    statusBar()->showMessage(summary);
    return child;
}
