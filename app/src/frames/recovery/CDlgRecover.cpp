#include "frames/CDlgRecover.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "frames/ZAutoSave.h"

namespace {

constexpr int kEntryRole = Qt::UserRole;
constexpr int kTitleChars = 120;

// A companion's title on one line and of a sensible length: a title of
// hundreds of lines must not make the dialog taller than the screen.
QString oneLine(const QString& title) {
    static const QRegularExpression breaks(QStringLiteral("\\s*[\\r\\n]+\\s*"));
    QString line = title.left(kTitleChars * 4);
    line.replace(breaks, QStringLiteral(" "));
    line = line.trimmed();
    if (line.size() > kTitleChars || title.size() > kTitleChars * 4)
        line = line.left(kTitleChars) + QStringLiteral("…");
    return line;
}

// The damaged copies' titles, one line each, and not more lines than fit.
QString damagedTitles(const QStringList& titles) {
    constexpr int kShown = 10;
    QStringList lines;
    for (int i = 0; i < std::min<int>(kShown, static_cast<int>(titles.size())); ++i)
        lines << oneLine(titles[i]);
    if (titles.size() > kShown)
        lines << QString("……（另有 %1 个）").arg(titles.size() - kShown);
    return lines.join('\n');
}

} // namespace

CDlgRecover::CDlgRecover(ZAutoSave& saver, ZRecoveryScan& scan, QWidget* parent)
    : QDialog(parent), saver_(saver), scan_(scan) {
    setObjectName("CDlgRecover");
    setWindowTitle("恢复文档");
    auto* layout = new QVBoxLayout(this);

    if (!scan.entries.empty()) {
        auto* intro = new QLabel("程序上次没有正常退出。以下文档留有恢复副本，"
                                 "请选择要恢复或丢弃的文档：",
                                 this);
        intro->setWordWrap(true);
        layout->addWidget(intro);
        list_ = new QTreeWidget(this);
        list_->setObjectName("recoveryList");
        list_->setHeaderLabels({"标题", "原路径", "时间"});
        list_->setRootIsDecorated(false);
        list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
        for (std::size_t i = 0; i < scan.entries.size(); ++i) {
            const ZRecoveryInfo& info = scan.entries[i].info;
            auto* item = new QTreeWidgetItem(
                list_, {oneLine(info.title),
                        info.path.isEmpty() ? QString("（未保存过）")
                                            : QDir::toNativeSeparators(info.path),
                        info.time.toLocalTime().toString("yyyy-MM-dd HH:mm:ss")});
            item->setData(0, kEntryRole, static_cast<qulonglong>(i));
            item->setToolTip(0, info.title.left(2000));
            item->setToolTip(1, item->text(1));
            item->setSelected(true);
        }
        // The time is never cut: the title keeps a sensible width, and a long
        // path gives way in its middle.
        list_->setTextElideMode(Qt::ElideMiddle);
        list_->setWordWrap(false);
        list_->setUniformRowHeights(true);
        QHeaderView* header = list_->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Interactive);
        header->setSectionResizeMode(1, QHeaderView::Stretch);
        header->setSectionResizeMode(2, QHeaderView::ResizeToContents);
        list_->resizeColumnToContents(0);
        header->resizeSection(0, std::clamp(header->sectionSize(0), 80, 220));
        list_->setMinimumWidth(640);
        layout->addWidget(list_);
        connect(list_, &QTreeWidget::itemSelectionChanged, this, &CDlgRecover::updateButtons);
    }

    if (!scan.damaged.isEmpty()) {
        auto* damaged = new QLabel(QString("以下恢复副本已损坏，无法读取，已移到 %1：\n%2")
                                       .arg(QDir::toNativeSeparators(
                                           QDir(saver.store().folder()).filePath("damaged") + '/'))
                                       .arg(damagedTitles(scan.damaged)),
                                   this);
        damaged->setObjectName("damagedLabel");
        damaged->setWordWrap(true);
        damaged->setMinimumWidth(520);
        damaged->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(damaged);
    }

    auto* buttons = new QDialogButtonBox(this);
    if (list_) {
        recoverButton_ = buttons->addButton("恢复(&R)", QDialogButtonBox::ActionRole);
        discardButton_ = buttons->addButton("丢弃(&D)", QDialogButtonBox::ActionRole);
        connect(recoverButton_, &QPushButton::clicked, this, &CDlgRecover::recoverSelected);
        connect(discardButton_, &QPushButton::clicked, this, [this] {
            if (QMessageBox::question(this, windowTitle(),
                                      "丢弃的恢复副本将被删除，无法找回。确定丢弃吗?") ==
                QMessageBox::Yes)
                discardSelected();
        });
    }
    // Copies neither recovered nor discarded are offered again at the next start.
    buttons->addButton(list_ ? "以后再说" : "确定", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    updateButtons();
}

void CDlgRecover::recoverSelected() {
    act(true);
}
void CDlgRecover::discardSelected() {
    act(false);
}

void CDlgRecover::act(bool recover) {
    if (!list_)
        return;
    for (QTreeWidgetItem* item : list_->selectedItems()) {
        ZRecoveryEntry& entry = scan_.entries[item->data(0, kEntryRole).toULongLong()];
        if (recover)
            saver_.recover(entry);
        else
            saver_.discard(entry);
        delete item;
    }
    if (list_->topLevelItemCount() == 0)
        accept();
}

void CDlgRecover::updateButtons() {
    const bool any = list_ && !list_->selectedItems().isEmpty();
    if (recoverButton_)
        recoverButton_->setEnabled(any);
    if (discardButton_)
        discardButton_->setEnabled(any);
}
