#include "dialogs/CDlgExport.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int kScales[] = {100, 200, 300};

QGroupBox* radioRow(const char* title, QButtonGroup* group,
                    std::initializer_list<const char*> texts, int id = 0) {
    auto* box = new QGroupBox(title);
    auto* row = new QHBoxLayout(box);
    for (const char* text : texts) {
        auto* button = new QRadioButton(text);
        group->addButton(button, id++);
        row->addWidget(button);
    }
    row->addStretch();
    return box;
}

} // namespace

CDlgExport::CDlgExport(QWidget* parent)
    : QDialog(parent), format_(new QButtonGroup(this)), extent_(new QButtonGroup(this)),
      scale_(new QComboBox), transparent_(new QCheckBox("透明背景")) {
    setWindowTitle("导出");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(radioRow("格式", format_, {"PNG 图片", "SVG 图形", "PDF 文档"}));
    // One choice among both rows: the buttons share their group.
    layout->addWidget(radioRow("导图格式", format_,
                               {"FreeMind 导图", "OPML 大纲", "Markdown", "缩进文本", "XMind 工作簿",
                                "KityMinder 脑图", "Mermaid 导图", "PlantUML 导图"},
                               ExportChoices::Mm));
    layout->addWidget(radioRow("范围", extent_, {"当前页", "选定内容", "所有页"}));

    auto* pngBox = new QGroupBox("PNG 选项");
    auto* form = new QFormLayout(pngBox);
    for (int scale : kScales)
        scale_->addItem(QString("%1 %").arg(scale), scale);
    form->addRow("缩放:", scale_);
    form->addRow(transparent_);
    layout->addWidget(pngBox);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText("导出");
    buttons->button(QDialogButtonBox::Cancel)->setText("取消");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(format_, &QButtonGroup::idClicked, this, [this](int) { updateEnabled(); });
}

void CDlgExport::loadControls() {
    if (QAbstractButton* b = format_->button(choices.format))
        b->setChecked(true);
    const bool all = choices.allPages && choices.format == ExportChoices::Pdf;
    extent_->button(all ? 2 : choices.selectionOnly && selectionAvailable ? 1 : 0)->setChecked(true);
    extent_->button(1)->setEnabled(selectionAvailable);
    const int index = scale_->findData(choices.scale);
    scale_->setCurrentIndex(index < 0 ? 0 : index);
    transparent_->setChecked(choices.transparent);
    updateEnabled();
}

void CDlgExport::saveControls() {
    choices.format = std::max(format_->checkedId(), 0);
    choices.selectionOnly = extent_->checkedId() == 1;
    choices.allPages = extent_->checkedId() == 2;
    choices.scale = scale_->currentData().toInt();
    choices.transparent = transparent_->isChecked();
}

void CDlgExport::accept() {
    saveControls();
    QDialog::accept();
}

void CDlgExport::showEvent(QShowEvent* event) {
    loadControls();
    QDialog::showEvent(event);
}

void CDlgExport::updateEnabled() {
    const bool png = format_->checkedId() == ExportChoices::Png;
    scale_->setEnabled(png);
    transparent_->setEnabled(png);
    // Only a PDF holds several pages; a map holds the page's whole trees.
    const bool pdf = format_->checkedId() == ExportChoices::Pdf;
    const bool map = ExportChoices::isMap(format_->checkedId());
    extent_->button(1)->setEnabled(selectionAvailable && !map);
    extent_->button(2)->setEnabled(pdf);
    if ((!pdf && extent_->checkedId() == 2) || (map && extent_->checkedId() == 1))
        extent_->button(0)->setChecked(true);
}
