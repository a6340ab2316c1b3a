#pragma once
// The main window: menus, toolbars and status bar built from the command
// table, and the area in which document windows live.

#include <map>

#include <QMainWindow>

#include "commands/CommandTarget.h"

class QAction;
class QActionGroup;
class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;
class CChildFrame;
class CNotesDock;
class COverviewDock;
class KeyboardLocks;
class ToolbarCustomizer;
struct MenuEntry;

class CMainFrame : public QMainWindow, public CommandTarget {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    QMdiArea* mdiArea() const override { return mdi_; }
    CChildFrame* activeChild() const;
    QList<CChildFrame*> children() const;

    // A new empty document with its first page "页1".
    CChildFrame* newDocument();
    // Opens a document; a file that cannot be read opens nothing and tells the
    // user why. An already open file is brought to the front.
    CChildFrame* openDocumentFile(const QString& path);
    // Opens a map of another program as a new document titled by the file's
    // base name and with no file of its own, and says in the status bar what
    // came in; a file that cannot be read opens nothing and tells why.
    CChildFrame* importDocumentFile(const QString& path);

    QAction* action(int id) const;
    QToolBar* toolbar(int index) const;
    QMenu* viewContextMenu() const { return contextMenu_; }
    // The overview window, following the active document window.
    COverviewDock* overviewDock() const { return overview_; }
    // The note panel 备注, following the active document window's selection.
    CNotesDock* notesDock() const { return notes_; }
    // Enables, disables and checks every command for the current state.
    void updateCommandUI();
    // Runs a command by id, as a menu click does.
    void runCommand(int id);
    // Shows the active view's zoom in the status bar.
    void updateZoomPane();

    // Applies a visual style (205..219) and remembers it in the profile.
    void setAppLook(int id) override;
    QString templateFolder() const override;
    ToolbarCustomizer* toolbarCustomizer() const override { return toolbarCustomizer_; }

    // What the command handlers act on.
    QMainWindow* mainWindow() override { return this; }
    CTavloDoc* activeDocument() const override;
    CTavloView* activeView() const override;
    CFolderFrame* activeFolderFrame() const override;
    void createDocument() override { newDocument(); }
    void openDocument(const QString& path) override { openDocumentFile(path); }
    void closeActiveDocument() override;
    void saveActiveDocument() override;
    void saveActiveDocumentAs() override;
    void manageWindows() override;
    int appLook() const override;
    int autoSaveSeconds() const override;
    void setAutoSaveSeconds(int seconds) override;
    void findInDocument(int commandId) override;
    // Size, position and toolbar layout as the profile keeps them; on the
    // first start most of the screen. Saved when the window closes.
    void restoreWindowLayout();
    void saveWindowLayout() const;
    // Shows CAP, NUM and SCRL in the status bar while the lock is on.
    void updateLockPanes();

    QMenu* createPopupMenu() override;

    // What came in with a file opened from another program, in the status
    // bar until that document is saved, another file is opened or it closes;
    // a hovered button's tip only covers it for a while.
    void showFileNote(CChildFrame* child, const QString& note);
    void clearFileNote();
    QString fileNote() const { return fileNote_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void createActions();
    void createToolbars();
    void createStatusBar();
    void rebuildMenuBar();
    QMenu* buildMenu(const MenuEntry& entry, QWidget* parent);
    void fillRecentFiles(QMenu* menu);
    void fillWindowList(QMenu* menu);
    void updateTitle();
    CChildFrame* attachChild(CChildFrame* child);
    // Points the overview at the active document window's view.
    void followActiveView();

    QMdiArea* mdi_ = nullptr;
    std::map<int, QAction*> actions_;
    QActionGroup* lookGroup_ = nullptr;
    QList<QToolBar*> toolbars_;
    QList<QMenu*> documentMenus_;
    QList<QMenu*> emptyMenus_;
    QMenu* contextMenu_ = nullptr;
    QLabel* zoomPane_ = nullptr; // status-bar pane, owned by the bar
    COverviewDock* overview_ = nullptr; // child widget
    CNotesDock* notes_ = nullptr;       // child widget
    bool documentMenusShown_ = false;
    bool menusBuilt_ = false;
    KeyboardLocks* locks_ = nullptr;                 // child object
    ToolbarCustomizer* toolbarCustomizer_ = nullptr; // child object
    QList<QLabel*> lockPanes_;                       // CAP, NUM, SCRL
    QString fileNote_;
    const CChildFrame* fileNoteOwner_ = nullptr; // compared, never followed
};
