#include "frames/CTavloApp.h"

#include <memory>

#include <QCursor>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>
#include <QTranslator>
#include <QWidget>

#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_ShapeBase.h>
#include <sarvik/platform/ZCursor.h>
#include <sarvik/platform/ZMessage.h>

#include "commands/CommandIds.h"
#include "commands/ShapeClipboard.h"
#include "commands/ToolbarIcons.h"
#include "document/PictureCache.h"
#include "frames/CMainFrame.h"
#include "frames/LatencyProbe.h"
#include "frames/ZAutoSave.h"
#include "frames/ZTermSignals.h"

namespace {

// The id of the installed desktop entry, which also names the application icon.
const QString kDesktopId = QStringLiteral("org.tavlo.Tavlo");

void showMessageBox(const std::string& title, const std::string& text) {
    // The program's own messages carry the exclamation mark; the picture
    // decoder's box ("JPEG Error") is a plain one.
    const QMessageBox::Icon icon =
        title == CTavloApp::kApplication ? QMessageBox::Warning : QMessageBox::NoIcon;
    QMessageBox box(icon, QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

Qt::CursorShape toQtCursor(ZCursor cursor) {
    switch (cursor) {
    case ZCursor::None: return Qt::BlankCursor;
    case ZCursor::Arrow: return Qt::ArrowCursor;
    case ZCursor::SizeAll: return Qt::SizeAllCursor;
    case ZCursor::SizeNWSE: return Qt::SizeFDiagCursor;
    case ZCursor::SizeNESW: return Qt::SizeBDiagCursor;
    case ZCursor::SizeWE: return Qt::SizeHorCursor;
    case ZCursor::SizeNS: return Qt::SizeVerCursor;
    }
    return Qt::ArrowCursor;
}

// Shapes choose the pointer for the widget under it, as SetCursor did.
void setWidgetCursor(ZCursor cursor) {
    if (QWidget* w = QApplication::widgetAt(QCursor::pos()))
        w->setCursor(toQtCursor(cursor));
}

QSettings profile() { return QSettings(CTavloApp::kOrganisation, CTavloApp::kApplication); }

// Writes the recent-file list to the profile's numbered keys and clears the
// keys it no longer fills.
void storeRecentFiles(const QStringList& files) {
    QSettings settings = profile();
    for (int i = 1; i <= CTavloApp::kRecentFiles; ++i) {
        const QString key = QString("Recent File List/File%1").arg(i);
        if (i <= files.size())
            settings.setValue(key, files[i - 1]);
        else
            settings.remove(key);
    }
}

} // namespace

void CTavloApp::prepare() {
    // One texture name must work in every document window.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The standard dialogs are Qt's own, so that they speak Chinese whatever
    // desktop the program runs on.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
}

CTavloApp::CTavloApp(int& argc, char** argv) : QApplication(argc, argv) {
    setOrganizationName(kOrganisation);
    setApplicationName(kApplication);
    // Ties the windows to the installed desktop entry (startup notification, Wayland).
    setDesktopFileName(kDesktopId);
    // No display name: Qt would append it to every window title.
    installQtTranslations();
    appLook = profile().value("ApplicationLook", 208).toInt();
    pictureCache::setStore(&textures);
    setClipboardShapes(&clipboardShapes);
}

CTavloApp::~CTavloApp() {
    ExitInstance();
    pictureCache::setStore(nullptr);
    setClipboardShapes(nullptr);
}

void CTavloApp::installQtTranslations() {
    // Qt's own texts (standard buttons, file, colour, font and print dialogs)
    // in Simplified Chinese, like every other word the program shows.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    auto translator = std::make_unique<QTranslator>(this);
    if (translator->load("qtbase_zh_CN", QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        installTranslator(translator.get()))
        qtTranslator_ = translator.release();
}

CTavloApp* CTavloApp::instance() { return qobject_cast<CTavloApp*>(QCoreApplication::instance()); }

bool CTavloApp::InitInstance() {
    ZSetMessageSink(showMessageBox);
    ZSetCursorSink(setWidgetCursor);
    // TAVLO_LATENCY=FILE: the first line times the start up to the first frame.
    if (LatencyProbe* probe = LatencyProbe::installFromEnvironment(this))
        probe->begin(QStringLiteral("start"));
    // Installed, the window carries the menu entry's icon; in the build tree the toolbar's.
    setWindowIcon(QIcon::fromTheme(kDesktopId, commandIcon(cmd::ToolLine)));
    mainFrame_ = new CMainFrame;
    mainFrame_->setAttribute(Qt::WA_DeleteOnClose, false);
    mainFrame_->restoreWindowLayout();
    const QStringList args = arguments();
    bool opened = false;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i].startsWith('-'))
            continue;
        opened = mainFrame_->openDocumentFile(args[i]) != nullptr;
        break;
    }
    if (!opened)
        mainFrame_->newDocument();
    mainFrame_->show();
    // Copies left by a program that died are offered once the window is up.
    auto* autoSave = new ZAutoSave(mainFrame_, ZRecoveryStore::defaultFolder(), mainFrame_);
    new ZTermSignals(autoSave, autoSave);
    QTimer::singleShot(0, autoSave, [this, autoSave] { autoSave->offerRecovery(mainFrame_); });
    return true;
}

void CTavloApp::ExitInstance() {
    if (exited_)
        return;
    exited_ = true;
    delete mainFrame_;
    mainFrame_ = nullptr;
    for (ZN_ShapeBase* shape : clipboardShapes)
        delete shape;
    clipboardShapes.clear();
    for (ZImageTexture* texture : textures)
        delete texture;
    textures.clear();
    ZSetCursorSink(nullptr);
    ZSetMessageSink(nullptr);
}

void CTavloApp::addTexture(ZImageTexture* texture) { pictureCache::add(texture); }

QStringList CTavloApp::recentFiles() const {
    QSettings settings = profile();
    QStringList files;
    for (int i = 1; i <= kRecentFiles; ++i) {
        const QString file = settings.value(QString("Recent File List/File%1").arg(i)).toString();
        if (!file.isEmpty())
            files << file;
    }
    return files;
}

void CTavloApp::addRecentFile(const QString& path) {
    QStringList files = recentFiles();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > kRecentFiles)
        files.removeLast();
    storeRecentFiles(files);
}

void CTavloApp::removeRecentFile(const QString& path) {
    QStringList files = recentFiles();
    files.removeAll(path);
    storeRecentFiles(files);
}
