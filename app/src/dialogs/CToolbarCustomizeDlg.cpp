#include "dialogs/CToolbarCustomizeDlg.h"

#include <QAction>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "dialogs/ToolbarCustomizer.h"

CToolbarCustomizeDlg::CToolbarCustomizeDlg(ToolbarCustomizer& toolbars, int page, QWidget* parent)
    : QDialog(parent), toolbars_(toolbars) {
    setWindowTitle("自定义");
    pages_ = new QTabWidget(this);
    for (int i = 0; i < toolbars_.toolbarCount(); ++i) {
        auto* pageWidget = new QWidget(pages_);
        auto* list = new QListWidget(pageWidget);
        list->setIconSize(QSize(16, 16));
        auto* reset = new QPushButton("重置(&R)", pageWidget);
        connect(reset, &QPushButton::clicked, this, [this, i] { resetPage(i); });
        auto* side = new QVBoxLayout;
        side->addWidget(reset);
        side->addStretch();
        auto* row = new QHBoxLayout(pageWidget);
        row->addWidget(list, 1);
        row->addLayout(side);
        lists_.push_back(list);
        pages_->addTab(pageWidget, toolbars_.toolbar(i)->windowTitle());
        fill(i);
        connect(list, &QListWidget::itemChanged, this, [this, i](QListWidgetItem* item) {
            toolbars_.setShown(i, item->data(Qt::UserRole).toInt(),
                               item->checkState() == Qt::Checked);
        });
    }
    pages_->setCurrentIndex(page);
    auto* close = new QPushButton("关闭", this);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addLayout(bottom);
    resize(420, 460);
}

void CToolbarCustomizeDlg::fill(int page) {
    QListWidget* list = lists_.at(static_cast<std::size_t>(page));
    const QSignalBlocker quiet(list);
    list->clear();
    for (int id : toolbars_.commands(page)) {
        const QAction* command = toolbars_.commandAction(id);
        auto* item = new QListWidgetItem(command->icon(), plainMenuText(command->text()), list);
        item->setData(Qt::UserRole, id);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(toolbars_.isShown(page, id) ? Qt::Checked : Qt::Unchecked);
    }
}

void CToolbarCustomizeDlg::resetPage(int page) {
    toolbars_.reset(page);
    fill(page);
}
