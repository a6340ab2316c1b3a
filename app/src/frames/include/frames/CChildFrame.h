#pragma once
// A document window: it owns its document and its folder frame (view, scroll
// bars, page tabs) and always opens maximised.

#include <QMdiSubWindow>

class CFindBar;
class CFolderFrame;
class CTavloDoc;
class CTavloView;

class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit CChildFrame(QWidget* parent = nullptr);
    ~CChildFrame() override;

    CTavloDoc* document() const { return doc_; }
    CFolderFrame* folderFrame() const { return folder_; }
    CTavloView* view() const { return view_; }
    // The find bar under the page, hidden until asked for.
    CFindBar* findBar() const { return findBar_; }

    // Asks whether to save a modified document; false when the user cancels
    // or saving failed.
    bool saveModified();
    // Saves to the document's file, or asks for one first.
    bool save();
    bool saveAs();

    // What saveModified() asks: Save, Discard or Cancel (as QMessageBox
    // buttons). Tests replace it to answer without a dialog.
    using AskToSave = int (*)(QWidget* parent, const QString& title);
    static void setAskToSave(AskToSave ask);
    using AskFileName = QString (*)(QWidget* parent, const QString& suggestion);
    static void setAskFileName(AskFileName ask);
    // Whether to overwrite a file that changed since the document read or wrote it.
    using AskOverwrite = bool (*)(QWidget* parent, const QString& path);
    static void setAskOverwrite(AskOverwrite ask);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void updateTitle();

    CTavloDoc* doc_ = nullptr;     // child QObject
    CFolderFrame* folder_ = nullptr;
    CTavloView* view_ = nullptr;
    CFindBar* findBar_ = nullptr;
};
