#include "frames/CMainFrame.h"

#include <cmath>

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QStyleFactory>
#include <QToolBar>

#include <sarvik/platform/ZMessage.h>

#include "commands/CommandIds.h"
#include "commands/CommandTable.h"
#include "commands/InterchangeCommands.h"
#include "commands/ToolbarIcons.h"
#include "dialogs/ToolbarCustomizer.h"
#include "document/CTavloDoc.h"
#include "document/TvxContainer.h"
#include "frames/CChildFrame.h"
#include "frames/CFindBar.h"
#include "frames/CNotesPanel.h"
#include "frames/CTavloApp.h"
#include "frames/CWindowsDlg.h"
#include "frames/KeyboardLocks.h"
#include "frames/TemplateFolder.h"
#include "view/COverviewPanel.h"
#include "view/CTavloView.h"
#include "view/FindSession.h"
#include "view/NodeMarkInput.h"

namespace {

// Where the main window's size, position and toolbar layout are kept.
constexpr const char* kGeometryKey = "MainFrame/Geometry";
constexpr const char* kStateKey = "MainFrame/State";
constexpr int kStateVersion = 1;

struct LookStyle {
    const char* style;
    QColor window, button, base, text, highlight, highlightedText;
};

// Qt styles and palettes that look like the visual managers the ids name.
LookStyle lookStyle(int id) {
    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    switch (id) {
    case 205: return {"Windows", QColor(212, 208, 200), QColor(212, 208, 200), white, black, QColor(10, 36, 106), white};
    case 206: return {"Fusion", QColor(246, 245, 242), QColor(240, 238, 234), white, black, QColor(182, 189, 210), black};
    case 207: return {"Fusion", QColor(236, 233, 216), QColor(240, 238, 226), white, black, QColor(49, 106, 197), white};
    case 208: return {"Fusion", QColor(221, 233, 248), QColor(196, 219, 249), white, black, QColor(249, 200, 106), black};
    case 209: return {"Fusion", QColor(236, 233, 216), QColor(245, 244, 238), white, black, QColor(49, 106, 197), white};
    case 210: return {"Fusion", QColor(233, 236, 250), QColor(223, 228, 244), white, black, QColor(51, 153, 255), white};
    case 216: return {"Fusion", QColor(70, 70, 70), QColor(83, 83, 83), QColor(245, 245, 245), QColor(240, 240, 240), QColor(245, 180, 60), black};
    case 217: return {"Fusion", QColor(228, 231, 236), QColor(221, 225, 232), white, black, QColor(255, 213, 90), black};
    case 218: return {"Fusion", QColor(215, 230, 234), QColor(205, 226, 232), white, black, QColor(255, 213, 90), black};
    case 219: return {"Fusion", QColor(240, 240, 240), QColor(240, 240, 240), white, black, QColor(51, 153, 255), white};
    default: return {"Fusion", QColor(214, 228, 245), QColor(201, 220, 242), white, black, QColor(255, 213, 90), black};
    }
}

QPalette lookPalette(const LookStyle& look) {
    QPalette pal(look.button, look.window);
    const bool dark = look.window.lightness() < 128;
    const QColor ink = dark ? QColor(240, 240, 240) : QColor(0, 0, 0);
    pal.setColor(QPalette::WindowText, ink);
    pal.setColor(QPalette::ButtonText, ink);
    pal.setColor(QPalette::Base, look.base);
    pal.setColor(QPalette::AlternateBase, look.window);
    pal.setColor(QPalette::Text, dark ? QColor(0, 0, 0) : look.text);
    pal.setColor(QPalette::Highlight, look.highlight);
    pal.setColor(QPalette::HighlightedText, look.highlightedText);
    pal.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
    pal.setColor(QPalette::ToolTipText, QColor(0, 0, 0));
    pal.setColor(QPalette::Disabled, QPalette::WindowText, ink.lighter(dark ? 60 : 400));
    pal.setColor(QPalette::Disabled, QPalette::ButtonText, dark ? QColor(140, 140, 140) : QColor(128, 128, 128));
    pal.setColor(QPalette::Disabled, QPalette::Text, QColor(128, 128, 128));
    return pal;
}

QString statusPart(const CommandDef& def) {
    if (!def.prompt)
        return {};
    const QString prompt = QString::fromUtf8(def.prompt);
    return prompt.section('\n', 0, 0);
}

QString tooltipPart(const CommandDef& def) {
    if (def.prompt) {
        const QString prompt = QString::fromUtf8(def.prompt);
        if (prompt.contains('\n'))
            return prompt.section('\n', 1);
    }
    return plainMenuText(QString::fromUtf8(def.text));
}

} // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    setObjectName("CMainFrame");
    setWindowTitle(CTavloApp::kMainTitle);
    resize(1200, 800);
    mdi_ = new QMdiArea(this);
    mdi_->setObjectName("mdiArea");
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this] {
        rebuildMenuBar();
        updateTitle();
        updateCommandUI();
        updateZoomPane();
        followActiveView();
    });
    createActions();
    createToolbars();
    createStatusBar();
    overview_ = new COverviewDock(this);
    addDockWidget(Qt::RightDockWidgetArea, overview_);
    overview_->hide();
    // Its menu item shows the check mark as the dock's own close button acts.
    connect(overview_, &QDockWidget::visibilityChanged, this, &CMainFrame::updateCommandUI);
    notes_ = new CNotesDock(this);
    addDockWidget(Qt::RightDockWidgetArea, notes_);
    notes_->hide();
    connect(notes_, &QDockWidget::visibilityChanged, this, &CMainFrame::updateCommandUI);
    rebuildMenuBar();
    contextMenu_ = buildMenu(contextMenu(), this);
    CTavloApp* app = CTavloApp::instance();
    setAppLook(app ? app->appLook : cmd::LookDefault);
    updateCommandUI();
}

CMainFrame::~CMainFrame() {
    // A document window that closed but still waits for its deferred delete
    // dies with the QWidget part of this frame, after this destructor: its
    // hooks into the frame must not run then.
    for (CChildFrame* child : mdi_->findChildren<CChildFrame*>()) {
        child->disconnect(this);
        child->view()->disconnect(this);
        child->document()->disconnect(this);
    }
    // The overview hides as the frame's QWidget part goes; the half-destroyed
    // frame must not hear of it.
    overview_->disconnect(this);
    notes_->disconnect(this);
    // Documents go before the frame so that their views still have a window.
    for (QMdiSubWindow* w : mdi_->subWindowList())
        delete w;
}

void CMainFrame::createActions() {
    lookGroup_ = new QActionGroup(this);
    lookGroup_->setExclusive(true);
    for (const CommandDef& def : commandTable()) {
        auto* a = new QAction(QString::fromUtf8(def.text), this);
        a->setObjectName(QString("cmd%1").arg(def.id));
        a->setData(def.id);
        a->setStatusTip(statusPart(def));
        a->setToolTip(tooltipPart(def));
        if (def.keys) {
            QList<QKeySequence> keys;
            for (const QString& k : QString::fromUtf8(def.keys).split(';'))
                keys << QKeySequence(k, QKeySequence::PortableText);
            a->setShortcuts(keys);
        }
        a->setCheckable(def.checked != nullptr);
        if (def.id >= cmd::LookFirst && def.id <= cmd::LookLast)
            lookGroup_->addAction(a);
        const int id = def.id;
        connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
        addAction(a);
        actions_[def.id] = a;
    }
    for (int id = cmd::Mru1; id <= cmd::Mru4; ++id) {
        auto* a = new QAction(this);
        a->setData(id);
        a->setStatusTip("打开此文档");
        connect(a, &QAction::triggered, this, [this, id] {
            const QStringList files = CTavloApp::instance() ? CTavloApp::instance()->recentFiles()
                                                            : QStringList{};
            const int index = id - cmd::Mru1;
            if (index < files.size())
                openDocumentFile(files[index]);
        });
        actions_[id] = a;
    }
}

QAction* CMainFrame::action(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

QToolBar* CMainFrame::toolbar(int index) const { return toolbars_.value(index); }

void CMainFrame::createToolbars() {
    toolbarCustomizer_ = new ToolbarCustomizer([this](int id) { return action(id); },
                                               action(cmd::ViewCustomize), this);
    for (const ToolbarDef& def : toolbarTable()) {
        auto* bar = new QToolBar(QString::fromUtf8(def.title), this);
        bar->setObjectName(def.objectName);
        bar->setIconSize(QSize(16, 16));
        bar->setAllowedAreas(Qt::AllToolBarAreas);
        for (int id : def.buttons) {
            if (QAction* a = id ? action(id) : nullptr)
                a->setIcon(commandIcon(id));
        }
        toolbarCustomizer_->addToolbar(bar, def.buttons);
        toolbars_ << bar;
    }
    // The standard, property and zoom toolbars share the first row and the
    // long drawing toolbar has the second, so every button shows on a narrow
    // screen.
    addToolBar(Qt::TopToolBarArea, toolbars_[0]);
    for (int i = 2; i < toolbars_.size(); ++i)
        addToolBar(Qt::TopToolBarArea, toolbars_[i]);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, toolbars_[1]);
    // The marker menu shows each marker's picture, on a toolbar or not.
    for (int id = cmd::MarkerFirst; id <= cmd::MarkerLast; ++id)
        if (QAction* a = action(id))
            a->setIcon(commandIcon(id));
}

void CMainFrame::createStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("statusBar");
    bar->showMessage("就绪");
    zoomPane_ = new QLabel("100%", bar);
    zoomPane_->setObjectName("paneZoom");
    zoomPane_->setAlignment(Qt::AlignCenter);
    zoomPane_->setMinimumWidth(zoomPane_->fontMetrics().horizontalAdvance("400%") + 12);
    zoomPane_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->addPermanentWidget(zoomPane_);
    for (const char* pane : {"CAP", "NUM", "SCRL"}) {
        auto* label = new QLabel(bar);
        label->setObjectName(QString("pane") + pane);
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance("SCRL") + 12);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        bar->addPermanentWidget(label);
        lockPanes_ << label;
    }
    locks_ = new KeyboardLocks(this);
    connect(locks_, &KeyboardLocks::changed, this, &CMainFrame::updateLockPanes);
    updateLockPanes();
}

void CMainFrame::updateLockPanes() {
    // A pane names its lock only while the lock is on; unknown reads as off.
    static const char* const names[] = {"CAP", "NUM", "SCRL"};
    for (int i = 0; i < lockPanes_.size(); ++i) {
        const auto lock = static_cast<KeyboardLocks::Lock>(i);
        lockPanes_[i]->setText(locks_->isOn(lock).value_or(false) ? names[i] : "");
    }
}

QMenu* CMainFrame::buildMenu(const MenuEntry& entry, QWidget* parent) {
    auto* menu = new QMenu(QString::fromUtf8(entry.popup), parent);
    for (const MenuEntry& item : entry.items) {
        if (item.popup) {
            menu->addMenu(buildMenu(item, menu));
        } else if (item.id == 0) {
            menu->addSeparator();
        } else if (item.id == menuslot::RecentFiles) {
            auto* marker = menu->addSeparator();
            marker->setObjectName("recentFilesMarker");
            connect(menu, &QMenu::aboutToShow, this, [this, menu] { fillRecentFiles(menu); });
        } else if (item.id == menuslot::WindowList) {
            auto* marker = menu->addSeparator();
            marker->setObjectName("windowListMarker");
            connect(menu, &QMenu::aboutToShow, this, [this, menu] { fillWindowList(menu); });
        } else if (item.id == menuslot::ToolbarList) {
            QMenu* bars = menu->addMenu("工具栏和停靠窗口(&T)");
            for (QToolBar* bar : toolbars_)
                bars->addAction(bar->toggleViewAction());
            bars->addSeparator();
            bars->addAction(action(cmd::ViewCustomize));
        } else if (item.id == menuslot::LookList) {
            QMenu* looks = menu->addMenu("应用程序外观(&A)");
            for (const LookDef& look : lookTable())
                looks->addAction(action(look.id));
        } else if (QAction* a = action(item.id)) {
            menu->addAction(a);
        }
    }
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateCommandUI);
    return menu;
}

void CMainFrame::fillRecentFiles(QMenu* menu) {
    for (int id = cmd::Mru1; id <= cmd::Mru4; ++id)
        menu->removeAction(action(id));
    const QStringList files =
        CTavloApp::instance() ? CTavloApp::instance()->recentFiles() : QStringList{};
    QAction* marker = menu->findChild<QAction*>("recentFilesMarker");
    QAction* before = nullptr;
    const QList<QAction*> all = menu->actions();
    const int at = all.indexOf(marker);
    if (at >= 0 && at + 1 < all.size())
        before = all[at + 1];
    for (int i = 0; i < files.size(); ++i) {
        QAction* a = action(cmd::Mru1 + i);
        a->setText(QString("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(files[i])));
        menu->insertAction(before, a);
    }
}

void CMainFrame::fillWindowList(QMenu* menu) {
    for (QAction* a : menu->actions()) {
        if (a->property("windowListEntry").toBool()) {
            menu->removeAction(a);
            a->deleteLater();
        }
    }
    QAction* marker = menu->findChild<QAction*>("windowListMarker");
    const QList<QAction*> all = menu->actions();
    const int at = all.indexOf(marker);
    QAction* before = at >= 0 && at + 1 < all.size() ? all[at + 1] : nullptr;
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList();
    QStringList titles;
    for (QMdiSubWindow* w : windows)
        titles << w->windowTitle();
    const QStringList labels = distinctWindowLabels(titles);
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* w = windows[i];
        auto* a = new QAction(QString("&%1 %2").arg(i + 1).arg(labels[i]), menu);
        a->setProperty("windowListEntry", true);
        a->setCheckable(true);
        a->setChecked(w == mdi_->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, w] { mdi_->setActiveSubWindow(w); });
        menu->insertAction(before, a);
    }
}

void CMainFrame::rebuildMenuBar() {
    if (!menusBuilt_) {
        for (const MenuEntry& e : documentMenuBar())
            documentMenus_ << buildMenu(e, this);
        for (const MenuEntry& e : emptyMenuBar())
            emptyMenus_ << buildMenu(e, this);
        menusBuilt_ = true;
        documentMenusShown_ = !mdi_->subWindowList().isEmpty();
        for (QMenu* m : documentMenusShown_ ? documentMenus_ : emptyMenus_)
            menuBar()->addMenu(m);
        return;
    }
    const bool wantDocument = !mdi_->subWindowList().isEmpty();
    if (wantDocument == documentMenusShown_)
        return;
    menuBar()->clear();
    for (QMenu* m : wantDocument ? documentMenus_ : emptyMenus_)
        menuBar()->addMenu(m);
    documentMenusShown_ = wantDocument;
}

void CMainFrame::updateCommandUI() {
    const bool hasDocument = activeChild() != nullptr;
    for (const CommandDef& def : commandTable()) {
        QAction* a = action(def.id);
        a->setEnabled(def.handler && (!def.needsDocument || hasDocument));
        if (def.checked)
            a->setChecked(def.checked(*this, def.id));
    }
}

void CMainFrame::runCommand(int id) {
    const CommandDef* def = findCommand(id);
    if (!def || !def->handler)
        return;
    if (def->needsDocument && !activeChild())
        return;
    def->handler(*this, id);
    updateCommandUI();
}

void CMainFrame::updateZoomPane() {
    if (!zoomPane_)
        return;
    const CChildFrame* child = activeChild();
    const float zoom = child ? child->view()->getZoom() : 1.0f;
    // Below 10 % a tenth of a percent tells the fitted zooms apart.
    const double percent = static_cast<double>(zoom) * 100.0;
    const double shown = percent < 10.0 ? std::round(percent * 10.0) / 10.0 : std::round(percent);
    zoomPane_->setText(QString::number(shown, 'g', 6) + '%');
}

void CMainFrame::followActiveView() {
    CChildFrame* child = activeChild();
    overview_->panel()->setView(child ? child->view() : nullptr);
    notes_->panel()->setView(child ? child->view() : nullptr);
}

CChildFrame* CMainFrame::activeChild() const {
    // The current window stays known while a menu or dialog has the focus,
    // when the area reports no active one.
    return qobject_cast<CChildFrame*>(mdi_->currentSubWindow());
}

QList<CChildFrame*> CMainFrame::children() const {
    QList<CChildFrame*> list;
    for (QMdiSubWindow* w : mdi_->subWindowList()) {
        if (auto* c = qobject_cast<CChildFrame*>(w))
            list << c;
    }
    return list;
}

CChildFrame* CMainFrame::attachChild(CChildFrame* child) {
    mdi_->addSubWindow(child);
    child->view()->setContextMenu(contextMenu_);
    NodeMarkInput::install(child->view());
    // A match found in a note is shown in the note panel, opened for it.
    child->findBar()->session().setNoteShown([this](ZN_ShapeBase* node, int begin, int end) {
        notes_->show();
        notes_->raise();
        notes_->panel()->showNoteMatch(node, begin, end);
    });
    connect(child->view(), &CTavloView::zoomChanged, this, &CMainFrame::updateZoomPane);
    connect(child->document(), &CTavloDoc::modifiedChanged, this, &CMainFrame::updateTitle);
    connect(child->document(), &CTavloDoc::titleChanged, this, &CMainFrame::updateTitle);
    connect(child, &QObject::destroyed, this, [this, child] {
        if (child == fileNoteOwner_)
            clearFileNote();
        rebuildMenuBar();
        updateTitle();
        updateCommandUI();
        followActiveView();
    });
    child->showMaximized();
    mdi_->setActiveSubWindow(child);
    rebuildMenuBar();
    updateTitle();
    updateCommandUI();
    return child;
}

CChildFrame* CMainFrame::newDocument() { return attachChild(new CChildFrame); }

CChildFrame* CMainFrame::openDocumentFile(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    // What the last file opened brought along no longer applies.
    clearFileNote();
    for (CChildFrame* child : children()) {
        if (QFileInfo(child->document()->pathName()).absoluteFilePath() == absolute &&
            !child->document()->pathName().isEmpty()) {
            mdi_->setActiveSubWindow(child);
            if (CTavloApp* app = CTavloApp::instance())
                app->addRecentFile(absolute);
            return child;
        }
    }
    // Maps of other programs come in as new documents, never as this file.
    if (isImportPath(absolute))
        return importDocumentFile(absolute);
    TvxDocument loaded;
    const TvxStatus status = readTvxFile(absolute.toStdString(), loaded);
    if (status != TvxStatus::Ok) {
        // A file that cannot be opened at all is named: the message may come at
        // start, from a name typed on the command line.
        std::string message = tvxStatusMessage(status);
        if (status == TvxStatus::CannotOpen)
            message += "\n" + QDir::toNativeSeparators(absolute).toStdString();
        ZShowMessage(CTavloApp::kApplication, message);
        if (status == TvxStatus::CannotOpen && CTavloApp::instance())
            CTavloApp::instance()->removeRecentFile(absolute);
        return nullptr;
    }
    const bool extensionsLost = loaded.extensionsDamaged;
    auto* child = new CChildFrame;
    child->document()->adoptLoaded(loaded, absolute);
    attachChild(child);
    if (CTavloApp* app = CTavloApp::instance())
        app->addRecentFile(absolute);
    if (extensionsLost)
        ZShowMessage(CTavloApp::kApplication, tvxExtensionDamagedMessage());
    return child;
}

void CMainFrame::updateTitle() {
    // Documents of the same title are told apart the same way everywhere: in
    // the 窗口 menu and in their own title, which a maximised window shows in
    // this one's (" - [未命名:2]").
    const QList<CChildFrame*> list = children();
    QStringList titles;
    for (CChildFrame* c : list)
        titles << c->document()->title();
    const QStringList labels = distinctWindowLabels(titles);
    for (qsizetype i = 0; i < list.size(); ++i)
        list[i]->setWindowTitle(labels[i]);
    if (!activeChild())
        setWindowTitle(CTavloApp::kMainTitle);
}

void CMainFrame::setAppLook(int id) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const LookStyle look = lookStyle(id);
    if (QStyle* style = QStyleFactory::create(look.style))
        QApplication::setStyle(style);
    QApplication::setPalette(lookPalette(look));
    if (CTavloApp* app = CTavloApp::instance()) {
        app->appLook = id;
        QSettings(CTavloApp::kOrganisation, CTavloApp::kApplication).setValue("ApplicationLook", id);
    }
    if (QAction* a = action(id))
        a->setChecked(true);
    update();
    QApplication::restoreOverrideCursor();
}

QString CMainFrame::templateFolder() const {
    return templateFolderFor(QCoreApplication::applicationDirPath());
}

QMenu* CMainFrame::createPopupMenu() {
    // The right-click menu of the toolbar area offers customising as well.
    QMenu* menu = QMainWindow::createPopupMenu();
    if (menu) {
        menu->addSeparator();
        menu->addAction(action(cmd::ViewCustomize));
    }
    return menu;
}

void CMainFrame::restoreWindowLayout() {
    const QSettings settings(CTavloApp::kOrganisation, CTavloApp::kApplication);
    if (restoreGeometry(settings.value(kGeometryKey).toByteArray())) {
        restoreState(settings.value(kStateKey).toByteArray(), kStateVersion);
        return;
    }
    // The first start takes most of the screen.
    const QScreen* where = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!where)
        return;
    const QRect available = where->availableGeometry();
    const QSize size = available.size() * 9 / 10;
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, available));
}

void CMainFrame::saveWindowLayout() const {
    QSettings settings(CTavloApp::kOrganisation, CTavloApp::kApplication);
    settings.setValue(kGeometryKey, saveGeometry());
    settings.setValue(kStateKey, saveState(kStateVersion));
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    const QList<CChildFrame*> all = children();
    for (CChildFrame* child : all) {
        if (!child->saveModified()) {
            event->ignore();
            return;
        }
    }
    // Only once every document has answered may their edits go: an exit
    // cancelled at a later document keeps the earlier ones as they were.
    for (CChildFrame* child : all)
        child->document()->SetModifiedFlag(false);
    mdi_->closeAllSubWindows();
    saveWindowLayout();
    event->accept();
}
