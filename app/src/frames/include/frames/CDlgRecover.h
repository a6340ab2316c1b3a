#pragma once
// "恢复文档": the copies a program that died left behind, each to recover or
// to discard. Copies that could not be read are named, and where they went.

#include <QDialog>

#include "document/ZRecoveryStore.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class ZAutoSave;

class CDlgRecover : public QDialog {
    Q_OBJECT
public:
    CDlgRecover(ZAutoSave& saver, ZRecoveryScan& scan, QWidget* parent = nullptr);

    QTreeWidget* list() const { return list_; }
    // Recovers or discards the selected copies; the dialog closes when none is left.
    void recoverSelected();
    void discardSelected();

private:
    void act(bool recover);
    void updateButtons();

    ZAutoSave& saver_;
    ZRecoveryScan& scan_;
    QTreeWidget* list_ = nullptr;
    QPushButton* recoverButton_ = nullptr;
    QPushButton* discardButton_ = nullptr;
};
