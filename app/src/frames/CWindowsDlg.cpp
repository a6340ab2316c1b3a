#include "frames/CWindowsDlg.h"

#include <QHBoxLayout>
#include <QHash>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

#include "frames/CChildFrame.h"

QStringList distinctWindowLabels(const QStringList& titles) {
    QHash<QString, int> seen;
    QStringList labels;
    for (const QString& title : titles) {
        const int n = ++seen[title];
        labels << (n == 1 ? title : QString("%1:%2").arg(title).arg(n));
    }
    return labels;
}

CWindowsDlg::CWindowsDlg(QMdiArea* area, QWidget* parent) : QDialog(parent), area_(area) {
    setWindowTitle("窗口");
    list_ = new QListWidget(this);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* activate = new QPushButton("激活(&A)", this);
    auto* ok = new QPushButton("确定", this);
    auto* save = new QPushButton("保存(&S)", this);
    auto* close = new QPushButton("关闭窗口(&C)", this);
    auto* cancel = new QPushButton("取消", this);
    ok->setDefault(true);
    connect(activate, &QPushButton::clicked, this, &CWindowsDlg::activateSelected);
    connect(ok, &QPushButton::clicked, this, [this] {
        activateSelected();
        accept();
    });
    connect(save, &QPushButton::clicked, this, &CWindowsDlg::saveSelected);
    connect(close, &QPushButton::clicked, this, &CWindowsDlg::closeSelected);
    connect(cancel, &QPushButton::clicked, this, &CWindowsDlg::reject);
    connect(list_, &QListWidget::itemDoubleClicked, ok, &QPushButton::click);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {activate, ok, save, close, cancel})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    resize(420, 260);
    fill();
}

void CWindowsDlg::fill() {
    // A window just closed stays in the area until it is deleted.
    QList<QMdiSubWindow*> windows = area_->subWindowList();
    windows.removeIf([](QMdiSubWindow* w) { return w->isHidden(); });
    QStringList titles;
    for (QMdiSubWindow* w : windows)
        titles << w->windowTitle();
    list_->clear();
    windows_.clear();
    list_->addItems(distinctWindowLabels(titles));
    for (QMdiSubWindow* w : windows)
        windows_ << w;
    list_->setCurrentRow(std::max(0, static_cast<int>(windows.indexOf(area_->currentSubWindow()))));
}

QMdiSubWindow* CWindowsDlg::selectedWindow() const {
    const int row = list_->currentRow();
    return row >= 0 && row < windows_.size() ? windows_[row].data() : nullptr;
}

void CWindowsDlg::activateSelected() {
    if (QMdiSubWindow* w = selectedWindow())
        area_->setActiveSubWindow(w);
}

void CWindowsDlg::saveSelected() {
    if (auto* child = qobject_cast<CChildFrame*>(selectedWindow()))
        child->save();
}

void CWindowsDlg::closeSelected() {
    if (QMdiSubWindow* w = selectedWindow()) {
        w->close();
        fill();
    }
}
