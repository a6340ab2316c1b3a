#include "frames/CChildFrame.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QVBoxLayout>

#include "commands/InterchangeCommands.h"
#include "dialogs/FileDialogs.h"
#include "document/CTavloDoc.h"
#include "folder/CFolderFrame.h"
#include "folder/CFolderTabCtrl.h"
#include "frames/CFindBar.h"
#include "frames/CTavloApp.h"
#include "view/CTavloView.h"

namespace {

int askToSaveDialog(QWidget* parent, const QString& title) {
    return QMessageBox::question(parent, CTavloApp::kApplication,
                                 QString("是否保存对 %1 的更改?").arg(title),
                                 QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                 QMessageBox::Save);
}

QString askFileNameDialog(QWidget* parent, const QString& suggestion) {
    // A name typed without an extension gets ".tvx".
    return askSaveFile(parent, "另存为", suggestion, documentFileTypes(),
                       QString(CTavloApp::kFileExtension).mid(1));
}

bool askOverwriteDialog(QWidget* parent, const QString& path) {
    return QMessageBox::question(parent, CTavloApp::kApplication,
                                 QString("%1\n此文件在上次打开或保存之后已被更改。是否覆盖?")
                                     .arg(QDir::toNativeSeparators(path)),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

CChildFrame::AskToSave g_askToSave = askToSaveDialog;
CChildFrame::AskFileName g_askFileName = askFileNameDialog;
CChildFrame::AskOverwrite g_askOverwrite = askOverwriteDialog;

} // namespace

void CChildFrame::setAskToSave(AskToSave ask) { g_askToSave = ask ? ask : askToSaveDialog; }
void CChildFrame::setAskFileName(AskFileName ask) {
    g_askFileName = ask ? ask : askFileNameDialog;
}
void CChildFrame::setAskOverwrite(AskOverwrite ask) {
    g_askOverwrite = ask ? ask : askOverwriteDialog;
}

CChildFrame::CChildFrame(QWidget* parent) : QMdiSubWindow(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    doc_ = new CTavloDoc(this);
    folder_ = new CFolderFrame;
    view_ = new CTavloView;
    folder_->createClient(view_);
    ZShapeData& data = doc_->shapeData();
    // The tabs show the document's pages and follow their changes.
    folder_->tabCtrl()->setShapeData(&data);
    data.setObserver(folder_);
    data.addPage("页1");
    folder_->createSizerBar();
    view_->setDocument(doc_);
    view_->setCurrentPage(data.managers[0]);
    folder_->relayout();
    // The find bar sits under the page, in the same window.
    auto* body = new QWidget;
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(folder_, 1);
    findBar_ = new CFindBar(view_, body);
    column->addWidget(findBar_);
    setWidget(body);
    connect(doc_, &CTavloDoc::modifiedChanged, this, &CChildFrame::updateTitle);
    connect(doc_, &CTavloDoc::titleChanged, this, &CChildFrame::updateTitle);
    updateTitle();
}

CChildFrame::~CChildFrame() = default;

void CChildFrame::updateTitle() {
    setWindowTitle(doc_->title());
}

bool CChildFrame::save() {
    // What is being typed belongs in the file.
    view()->commitEdit();
    if (doc_->pathName().isEmpty())
        return saveAs();
    if (doc_->fileChangedSince() && !g_askOverwrite(this, doc_->pathName()))
        return false;
    return doc_->saveTo(doc_->pathName());
}

bool CChildFrame::saveAs() {
    view()->commitEdit();
    QString suggestion =
        doc_->pathName().isEmpty() ? doc_->title() + CTavloApp::kFileExtension : doc_->pathName();
    // An imported map is saved beside the file it came from.
    if (doc_->pathName().isEmpty() && !doc_->importSource().isEmpty())
        suggestion = QFileInfo(doc_->importSource()).dir().filePath(suggestion);
    QString path = g_askFileName(this, suggestion);
    if (path.isEmpty())
        return false;
    // A document written under a map's name would ruin that map for the
    // program it belongs to: it gets its own extension after that name.
    if (isImportPath(path))
        path += CTavloApp::kFileExtension;
    if (!doc_->saveTo(path))
        return false;
    if (CTavloApp* app = CTavloApp::instance())
        app->addRecentFile(path);
    return true;
}

bool CChildFrame::saveModified() {
    // A label being typed counts as a change that closing would lose.
    view()->commitEdit();
    if (!doc_->isModified())
        return true;
    switch (g_askToSave(this, doc_->title())) {
    case QMessageBox::Save:
        return save();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    if (!saveModified()) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}
