#include "dialogs/CAboutDlg.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(const QIcon& programIcon, QWidget* parent) : QDialog(parent) {
    setWindowTitle("关于 Tavlo");
    auto* icon = new QLabel(this);
    icon->setPixmap(programIcon.pixmap(QSize(32, 32)));
    auto* text = new QLabel(
        "<b>Qelmo思维导图</b>，2.03 版<br>Tavlo<br><br>"
        "<a href=\"https://www.qt.io/\">基于 Qt 构建</a>",
        this);
    text->setOpenExternalLinks(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText("确定");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}
