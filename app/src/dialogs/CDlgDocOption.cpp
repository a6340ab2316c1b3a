#include "dialogs/CDlgDocOption.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "document/CTavloDoc.h"
#include "document/PageOperations.h"
#include "folder/CFolderFrame.h"
#include "folder/CFolderTabCtrl.h"

CDlgDocOption::CDlgDocOption(CTavloDoc* doc, CFolderFrame* frame, QWidget* parent)
    : QDialog(parent), doc_(doc), frame_(frame) {
    setObjectName("CDlgDocOption");
    setWindowTitle("文档选项");
    setFixedSize(dlu(0, 0, 224, 145).size());

    close_ = new QPushButton("关闭", this);
    close_->setGeometry(dlu(150, 51, 55, 17));
    close_->setDefault(true);
    add_ = new QPushButton("增加页", this);
    add_->setGeometry(dlu(150, 7, 55, 17));
    auto* label = new QLabel("页名称：", this);
    label->setGeometry(dlu(12, 14, 44, 10));
    nameEdit_ = new QLineEdit(this);
    nameEdit_->setGeometry(dlu(56, 9, 80, 17));
    list_ = new QListWidget(this);
    list_->setGeometry(dlu(19, 30, 117, 98));
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    delete_ = new QPushButton("删除页", this);
    delete_->setGeometry(dlu(150, 29, 55, 17));
    showTabs_ = new QCheckBox("显示页切换", this);
    showTabs_->setGeometry(dlu(150, 116, 57, 11));
    up_ = new QPushButton("页上移", this);
    up_->setGeometry(dlu(150, 73, 55, 17));
    down_ = new QPushButton("页下移", this);
    down_->setGeometry(dlu(150, 95, 55, 17));
    for (QPushButton* b : {add_, delete_, up_, down_})
        b->setAutoDefault(false);

    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    connect(add_, &QPushButton::clicked, this, &CDlgDocOption::onAddPage);
    connect(delete_, &QPushButton::clicked, this, &CDlgDocOption::onDeletePage);
    connect(up_, &QPushButton::clicked, this, &CDlgDocOption::onMoveUp);
    connect(down_, &QPushButton::clicked, this, &CDlgDocOption::onMoveDown);
    connect(nameEdit_, &QLineEdit::textEdited, this, &CDlgDocOption::onNameEdited);
    connect(list_, &QListWidget::currentRowChanged, this, &CDlgDocOption::onListSelection);
    connect(showTabs_, &QCheckBox::clicked, this, &CDlgDocOption::onShowTabs);

    showTabs_->setChecked(frame_->tabsShown());
    refill();
}

QRect CDlgDocOption::dlu(int x, int y, int w, int h) const {
    // Dialog units: a quarter of the average character width, an eighth of its height.
    const QFontMetrics fm(font());
    const double bx = fm.averageCharWidth() / 4.0;
    const double by = fm.height() / 8.0;
    return QRect(qRound(x * bx), qRound(y * by), qRound(w * bx), qRound(h * by));
}

QPushButton* CDlgDocOption::button(int id) const {
    switch (id) {
    case 1: return close_;
    case 1007: return add_;
    case 1012: return delete_;
    case 1002: return up_;
    case 1006: return down_;
    default: return nullptr;
    }
}

void CDlgDocOption::refill() {
    filling_ = true;
    const ZShapeData& pages = doc_->shapeData();
    list_->clear();
    for (int i = 0; i < pages.pageCount(); ++i)
        list_->addItem(QString::fromStdString(pages.pageName(i)));
    const int current = frame_->currentPage();
    list_->setCurrentRow(current);
    if (current >= 0 && current < pages.pageCount())
        nameEdit_->setText(QString::fromStdString(pages.pageName(current)));
    filling_ = false;
}

void CDlgDocOption::afterPageChange() {
    refill();
    doc_->SetModifiedFlag(true);
}

void CDlgDocOption::onAddPage() {
    addNumberedPage(*doc_);
    frame_->showTabs(true);
    showTabs_->setChecked(true);
    afterPageChange();
}

void CDlgDocOption::onDeletePage() {
    if (deleteCurrentPage(*doc_))
        afterPageChange();
}

void CDlgDocOption::onMoveUp() {
    if (moveCurrentPage(*doc_, -1))
        afterPageChange();
}

void CDlgDocOption::onMoveDown() {
    if (moveCurrentPage(*doc_, 1))
        afterPageChange();
}

void CDlgDocOption::onNameEdited(const QString& text) {
    const int row = list_->currentRow();
    if (row < 0)
        return;
    renamePage(*doc_, row, text.toStdString());
    // The list shows the new name at once, keeping the caret in the name field.
    filling_ = true;
    if (QListWidgetItem* item = list_->item(row))
        item->setText(text);
    filling_ = false;
    doc_->SetModifiedFlag(true);
}

void CDlgDocOption::onListSelection(int row) {
    if (filling_)
        return;
    const ZShapeData& pages = doc_->shapeData();
    if (row < 0 || row >= pages.pageCount() || row == frame_->currentPage())
        return;
    frame_->selectPage(row);
    nameEdit_->setText(QString::fromStdString(pages.pageName(row)));
}

void CDlgDocOption::onShowTabs(bool show) { frame_->showTabs(show); }
