#pragma once
// What the commands act on: the main window and its active document window,
// as far as the command handlers need them. The main frame implements it; the
// handlers see no more of the windows above them than this.

class CFolderFrame;
class CTavloDoc;
class CTavloView;
class QMainWindow;
class QMdiArea;
class QString;
class ToolbarCustomizer;

class CommandTarget {
public:
    virtual ~CommandTarget() = default;

    // The main window: the parent of every dialog, with the status bar.
    virtual QMainWindow* mainWindow() = 0;
    virtual QMdiArea* mdiArea() const = 0;

    // The active document window's document, view and tab frame; null while
    // no document is open.
    virtual CTavloDoc* activeDocument() const = 0;
    virtual CTavloView* activeView() const = 0;
    virtual CFolderFrame* activeFolderFrame() const = 0;

    // A new empty document; opening a file that is open already brings it
    // to the front.
    virtual void createDocument() = 0;
    virtual void openDocument(const QString& path) = 0;
    // Closing or saving the active document asks what the user wants as a
    // window's own buttons do.
    virtual void closeActiveDocument() = 0;
    virtual void saveActiveDocument() = 0;
    virtual void saveActiveDocumentAs() = 0;
    // The list of document windows, to activate, save or close them.
    virtual void manageWindows() = 0;

    virtual QString templateFolder() const = 0;
    virtual ToolbarCustomizer* toolbarCustomizer() const = 0;
    virtual int appLook() const = 0;
    virtual void setAppLook(int id) = 0;
    // The interval of the recovery copies, in seconds; 0 keeps none.
    virtual int autoSaveSeconds() const = 0;
    virtual void setAutoSaveSeconds(int seconds) = 0;
    // 查找, 替换, 查找下一个 and 查找上一个 (by command id) in the active
    // document window's find bar.
    virtual void findInDocument(int commandId) { (void)commandId; }
};
