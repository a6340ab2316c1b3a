#pragma once
// The about box, with the program's icon.

#include <QDialog>
#include <QIcon>

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(const QIcon& programIcon, QWidget* parent = nullptr);
};
