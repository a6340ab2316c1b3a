#pragma once
// "窗口": the list of open document windows, to activate, save or close one.
// Entries stand for windows, not for titles: two documents both named
// "未命名" are told apart in the list as "未命名" and "未命名:2".

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QStringList>

class QListWidget;
class QMdiArea;
class QMdiSubWindow;

// The list labels for window titles in window order: the n-th window with a
// title already seen gets ":n" after it.
QStringList distinctWindowLabels(const QStringList& titles);

class CWindowsDlg : public QDialog {
    Q_OBJECT
public:
    CWindowsDlg(QMdiArea* area, QWidget* parent);

    QListWidget* list() const { return list_; }
    // The window of the selected entry, or null.
    QMdiSubWindow* selectedWindow() const;

    void activateSelected();
    void saveSelected();
    void closeSelected();

private:
    void fill();

    QMdiArea* area_;
    QListWidget* list_ = nullptr;
    QList<QPointer<QMdiSubWindow>> windows_; // parallel to the list rows
};
