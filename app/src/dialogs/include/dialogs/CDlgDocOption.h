#pragma once
// "文档选项": the page list of a document, edited live. Every change is applied
// as it is made, so the dialog has only "关闭".

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class CFolderFrame;
class CTavloDoc;

class CDlgDocOption : public QDialog {
    Q_OBJECT
public:
    CDlgDocOption(CTavloDoc* doc, CFolderFrame* frame, QWidget* parent = nullptr);

    QListWidget* pageList() const { return list_; }
    QLineEdit* nameEdit() const { return nameEdit_; }
    QCheckBox* showTabsBox() const { return showTabs_; }
    QPushButton* button(int id) const;

    // The controls' operations, callable without clicks.
    void onAddPage();
    void onDeletePage();
    void onMoveUp();
    void onMoveDown();
    void onNameEdited(const QString& text);
    void onListSelection(int row);
    void onShowTabs(bool show);

private:
    // Fills the list in page order and selects the current page.
    void refill();
    void afterPageChange();
    QRect dlu(int x, int y, int w, int h) const;

    CTavloDoc* doc_;      // not owned
    CFolderFrame* frame_; // not owned
    QListWidget* list_ = nullptr;
    QLineEdit* nameEdit_ = nullptr;
    QCheckBox* showTabs_ = nullptr;
    QPushButton* close_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* up_ = nullptr;
    QPushButton* down_ = nullptr;
    bool filling_ = false;
};
