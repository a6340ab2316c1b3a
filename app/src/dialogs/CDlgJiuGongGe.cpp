#include "dialogs/CDlgJiuGongGe.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/CValueDialogs.h"
#include "dialogs/CommandPrompts.h"

CDlgJiuGongGe::CDlgJiuGongGe(QWidget* parent) : QDialog(parent) {
    setWindowTitle("表格属性");
    setFixedSize(dlu(0, 0, 217, 79).size());

    auto* ok = new QPushButton("确定", this);
    ok->setGeometry(dlu(145, 17, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CDlgJiuGongGe::accept);
    auto* cancel = new QPushButton("取消", this);
    cancel->setGeometry(dlu(145, 36, 50, 14));
    connect(cancel, &QPushButton::clicked, this, &CDlgJiuGongGe::reject);

    rowsEdit_ = new QLineEdit(QString::number(rows), this);
    rowsEdit_->setGeometry(dlu(50, 14, 40, 14));
    (new QLabel("行数", this))->setGeometry(dlu(17, 17, 17, 8));
    columnsEdit_ = new QLineEdit(QString::number(columns), this);
    columnsEdit_->setGeometry(dlu(50, 33, 40, 14));
    (new QLabel("列数", this))->setGeometry(dlu(17, 36, 17, 8));
    rowsEdit_->setFocus();
    rowsEdit_->selectAll();
}

QRect CDlgJiuGongGe::dlu(int x, int y, int w, int h) const {
    // Dialog units: a quarter of the average character width, an eighth of its height.
    const QFontMetrics fm(font());
    const double bx = fm.averageCharWidth() / 4.0;
    const double by = fm.height() / 8.0;
    return QRect(qRound(x * bx), qRound(y * by), qRound(w * bx), qRound(h * by));
}

bool CDlgJiuGongGe::readFields() {
    int r = 0;
    int c = 0;
    if (!readWholeNumber(rowsEdit_, kMinCount, kMaxCount, r) ||
        !readWholeNumber(columnsEdit_, kMinCount, kMaxCount, c))
        return false;
    rows = r;
    columns = c;
    return true;
}

void CDlgJiuGongGe::accept() {
    if (readFields())
        QDialog::accept();
}

bool CDlgJiuGongGe::ask(QWidget* parent, int& rows, int& columns) {
    CDlgJiuGongGe dialog(parent);
    if (!commandPrompts().runDialog(dialog))
        return false;
    rows = dialog.rows;
    columns = dialog.columns;
    return true;
}
