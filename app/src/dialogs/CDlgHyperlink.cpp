#include "dialogs/CDlgHyperlink.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogs/FileDialogs.h"
#include "document/NodeFieldEdits.h"

CDlgHyperlink::CDlgHyperlink(const QString& link, std::vector<Target> targets, int currentTarget,
                             QWidget* parent)
    : QDialog(parent) {
    setObjectName("dlgHyperlink");
    setWindowTitle("超链接");
    auto* layout = new QVBoxLayout(this);

    addressButton_ = new QRadioButton("网址或文件(&A):", this);
    addressButton_->setObjectName("linkAddressChoice");
    layout->addWidget(addressButton_);
    auto* addressRow = new QHBoxLayout;
    address_field_ = new QLineEdit(this);
    address_field_->setObjectName("linkAddress");
    address_field_->setPlaceholderText("https://…、mailto:…、文件路径");
    address_field_->setMinimumWidth(360);
    auto* browse = new QPushButton("浏览(&B)...", this);
    browse->setAutoDefault(false);
    addressRow->addSpacing(20);
    addressRow->addWidget(address_field_, 1);
    addressRow->addWidget(browse);
    layout->addLayout(addressRow);

    nodeButton_ = new QRadioButton("本文档中的节点(&N):", this);
    nodeButton_->setObjectName("linkNodeChoice");
    layout->addWidget(nodeButton_);
    auto* nodeColumn = new QVBoxLayout;
    filter_ = new QLineEdit(this);
    filter_->setObjectName("linkNodeFilter");
    filter_->setPlaceholderText("筛选");
    nodes_ = new QListWidget(this);
    nodes_->setObjectName("linkNodes");
    nodes_->setMinimumHeight(180);
    for (const Target& t : targets) {
        auto* item = new QListWidgetItem(t.text, nodes_);
        item->setData(Qt::UserRole, static_cast<int>(nodes_->count() - 1));
    }
    nodeColumn->addWidget(filter_);
    nodeColumn->addWidget(nodes_);
    auto* nodeRow = new QHBoxLayout;
    nodeRow->addSpacing(20);
    nodeRow->addLayout(nodeColumn, 1);
    layout->addLayout(nodeRow);

    problem_ = new QLabel(this);
    problem_->setObjectName("linkProblem");
    problem_->setStyleSheet("color: #b00000");
    problem_->hide();
    layout->addWidget(problem_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("确定");
    buttons->button(QDialogButtonBox::Cancel)->setText("取消");
    remove_ = buttons->addButton("删除链接(&R)", QDialogButtonBox::DestructiveRole);
    remove_->setObjectName("linkRemove");
    remove_->setEnabled(!link.isEmpty());
    layout->addWidget(buttons);

    auto* group = new QButtonGroup(this);
    group->addButton(addressButton_);
    group->addButton(nodeButton_);
    const bool toNode = currentTarget >= 0 && currentTarget < nodes_->count();
    (toNode ? nodeButton_ : addressButton_)->setChecked(true);
    if (toNode)
        nodes_->setCurrentRow(currentTarget);
    else
        address_field_->setText(link);
    nodeButton_->setEnabled(nodes_->count() > 0);

    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgHyperlink::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(remove_, &QPushButton::clicked, this, [this] {
        choice_ = Choice::Remove;
        QDialog::accept();
    });
    connect(browse, &QPushButton::clicked, this, &CDlgHyperlink::browse);
    connect(filter_, &QLineEdit::textChanged, this, &CDlgHyperlink::filterNodes);
    // Typing into or picking from a side chooses it.
    connect(address_field_, &QLineEdit::textEdited, this, [this] { addressButton_->setChecked(true); });
    connect(filter_, &QLineEdit::textEdited, this, [this] { nodeButton_->setChecked(true); });
    connect(nodes_, &QListWidget::itemClicked, this, [this] { nodeButton_->setChecked(true); });
    connect(nodes_, &QListWidget::itemDoubleClicked, this, &CDlgHyperlink::accept);
    address_field_->setFocus();
}

int CDlgHyperlink::target() const {
    const QListWidgetItem* item = nodes_->currentItem();
    if (!item || item->isHidden())
        return -1;
    return item->data(Qt::UserRole).toInt();
}

void CDlgHyperlink::accept() {
    QString why;
    if (nodeButton_->isChecked()) {
        if (target() < 0) {
            why = "请选择一个节点";
        } else {
            choice_ = Choice::Node;
            address_.clear();
            QDialog::accept();
            return;
        }
    } else {
        address_ = normaliseLink(address_field_->text(), &why);
        if (!address_.empty()) {
            choice_ = Choice::Address;
            QDialog::accept();
            return;
        }
    }
    problem_->setText(why);
    problem_->show();
}

void CDlgHyperlink::browse() {
    const QString path =
        askOpenFile(this, "链接到文件", QString(), {{"所有文件 (*.*)", "*"}});
    if (path.isEmpty())
        return;
    address_field_->setText(path);
    addressButton_->setChecked(true);
}

void CDlgHyperlink::filterNodes(const QString& text) {
    for (int i = 0; i < nodes_->count(); ++i) {
        QListWidgetItem* item = nodes_->item(i);
        item->setHidden(!text.isEmpty() && !item->text().contains(text, Qt::CaseInsensitive));
    }
}
