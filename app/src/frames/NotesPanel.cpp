#include "frames/CNotesPanel.h"

#include <algorithm>

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTableWidget>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>

#include "document/CTavloDoc.h"
#include "document/NodeFieldEdits.h"
#include "view/UndoStep.h"

namespace {

constexpr int kTitleChars = 40;

QString titleOf(const ZN_ShapeBase* node) {
    if (!node)
        return "选中一个框以编辑它的备注和属性";
    QString label = node->getLabel() ? QString::fromStdString(node->getLabel()->getText()) : QString();
    label = label.section('\n', 0, 0).trimmed();
    if (label.size() > kTitleChars)
        label = label.left(kTitleChars) + "…";
    return label.isEmpty() ? QString("节点（无标签）") : "节点：" + label;
}

bool inside(const QWidget* widget, const QWidget* ancestor) {
    return widget && ancestor && (widget == ancestor || ancestor->isAncestorOf(widget));
}

} // namespace

CNotesPanel::CNotesPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("notesPanel");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    title_ = new QLabel(this);
    title_->setObjectName("notesTitle");
    layout->addWidget(title_);

    auto* split = new QSplitter(Qt::Vertical, this);
    note_ = new QPlainTextEdit(split);
    note_->setObjectName("noteEdit");
    note_->setPlaceholderText("备注");
    note_->setTabChangesFocus(true);

    auto* lower = new QWidget(split);
    auto* lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addWidget(new QLabel("属性:", lower));
    attributes_ = new QTableWidget(0, 2, lower);
    attributes_->setObjectName("attributeTable");
    attributes_->setHorizontalHeaderLabels({"名称", "值"});
    attributes_->horizontalHeader()->setStretchLastSection(true);
    attributes_->verticalHeader()->hide();
    attributes_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lowerLayout->addWidget(attributes_);
    auto* buttons = new QHBoxLayout;
    add_ = new QPushButton("添加属性", lower);
    add_->setObjectName("attributeAdd");
    remove_ = new QPushButton("删除属性", lower);
    remove_->setObjectName("attributeRemove");
    apply_ = new QPushButton("应用", lower);
    apply_->setObjectName("notesApply");
    buttons->addWidget(add_);
    buttons->addWidget(remove_);
    buttons->addStretch(1);
    buttons->addWidget(apply_);
    lowerLayout->addLayout(buttons);
    split->addWidget(note_);
    split->addWidget(lower);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    layout->addWidget(split, 1);

    connect(note_, &QPlainTextEdit::textChanged, this, &CNotesPanel::edited);
    connect(attributes_, &QTableWidget::itemChanged, this, &CNotesPanel::edited);
    connect(add_, &QPushButton::clicked, this, [this] {
        const int row = attributes_->rowCount();
        loading_ = true;
        attributes_->insertRow(row);
        attributes_->setItem(row, 0, new QTableWidgetItem);
        attributes_->setItem(row, 1, new QTableWidgetItem);
        loading_ = false;
        attributes_->setCurrentCell(row, 0);
        attributes_->editItem(attributes_->item(row, 0));
    });
    connect(remove_, &QPushButton::clicked, this, [this] {
        const int row = attributes_->currentRow();
        if (row < 0)
            return;
        attributes_->removeRow(row);
        edited();
    });
    connect(apply_, &QPushButton::clicked, this, &CNotesPanel::commit);
    connect(qApp, &QApplication::focusChanged, this, &CNotesPanel::focusMoved);
    load(nullptr);
}

CNotesPanel::~CNotesPanel() = default;

void CNotesPanel::setView(CTavloView* view) {
    if (view == view_)
        return;
    commit();
    if (view_)
        disconnect(view_, nullptr, this, nullptr);
    view_ = view;
    if (view_)
        connect(view_, &CTavloView::frameDrawn, this, &CNotesPanel::follow);
    load(selectedNode());
}

ZN_ShapeBase* CNotesPanel::selectedNode() const {
    if (!view_ || !view_->getCurrentPage())
        return nullptr;
    const auto& selection = view_->getSelection();
    if (selection.size() != 1 || !holdsFields(selection.front()))
        return nullptr;
    return selection.front();
}

bool CNotesPanel::nodeAlive() const {
    if (!node_ || !page_ || !view_ || !view_->document())
        return false;
    const auto& pages = view_->document()->shapeData().managers;
    if (std::find(pages.begin(), pages.end(), page_) == pages.end())
        return false;
    const auto& shapes = page_->getShapeArray();
    return std::find(shapes.begin(), shapes.end(), node_) != shapes.end();
}

void CNotesPanel::follow() {
    ZN_ShapeBase* now = selectedNode();
    if (now == node_) {
        // Changed on the page (a paste of fields, an import) while nothing was typed.
        if (now && !dirty_ && now->sharedFields() != shown_)
            load(now);
        return;
    }
    commit();
    load(now);
}

void CNotesPanel::load(ZN_ShapeBase* node) {
    loading_ = true;
    node_ = node;
    page_ = node && view_ ? view_->getCurrentPage() : nullptr;
    shown_ = node ? node->sharedFields() : ZN_SharedFields{};
    dirty_ = false;
    const ZN_NodeFields& f = node ? node->getFields() : ZN_NodeFields{};
    title_->setText(titleOf(node));
    note_->setPlainText(QString::fromStdString(f.note));
    attributes_->setRowCount(0);
    attributes_->setRowCount(static_cast<int>(f.attributes.size()));
    for (int row = 0; row < static_cast<int>(f.attributes.size()); ++row) {
        const ZN_Attribute& a = f.attributes[static_cast<std::size_t>(row)];
        attributes_->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(a.name)));
        attributes_->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(a.value)));
    }
    for (QWidget* w : {static_cast<QWidget*>(note_), static_cast<QWidget*>(attributes_),
                       static_cast<QWidget*>(add_), static_cast<QWidget*>(remove_),
                       static_cast<QWidget*>(apply_)})
        w->setEnabled(node != nullptr);
    loading_ = false;
}

void CNotesPanel::edited() {
    if (!loading_ && node_)
        dirty_ = true;
}

ZN_NodeFields CNotesPanel::typedFields() const {
    ZN_NodeFields f = node_->getFields();
    f.note = note_->toPlainText().toStdString();
    f.attributes.clear();
    for (int row = 0; row < attributes_->rowCount(); ++row) {
        const QTableWidgetItem* name = attributes_->item(row, 0);
        const QTableWidgetItem* value = attributes_->item(row, 1);
        ZN_Attribute a{name ? name->text().toStdString() : std::string(),
                       value ? value->text().toStdString() : std::string()};
        // A row left empty is no attribute.
        if (!a.name.empty() || !a.value.empty())
            f.attributes.push_back(std::move(a));
    }
    return f;
}

bool CNotesPanel::commit() {
    if (!dirty_)
        return false;
    dirty_ = false;
    // A node deleted meanwhile has nowhere to take the text.
    if (!nodeAlive())
        return false;
    ZN_NodeFields fields = typedFields();
    if (fields == node_->getFields())
        return false;
    UndoStep undo(*view_, *page_);
    setNodeFields(*node_, std::move(fields));
    shown_ = node_->sharedFields();
    view_->update();
    return true;
}

void CNotesPanel::showNoteMatch(ZN_ShapeBase* node, int begin, int end) {
    follow();
    if (node != node_)
        return;
    QTextCursor cursor(note_->document());
    cursor.setPosition(std::clamp(begin, 0, note_->document()->characterCount() - 1));
    cursor.setPosition(std::clamp(end, 0, note_->document()->characterCount() - 1),
                       QTextCursor::KeepAnchor);
    note_->setTextCursor(cursor);
    note_->ensureCursorVisible();
}

void CNotesPanel::focusMoved(QWidget* old, QWidget* now) {
    if (inside(old, this) && !inside(now, this))
        commit();
}

void CNotesPanel::hideEvent(QHideEvent* event) {
    commit();
    QWidget::hideEvent(event);
}

CNotesDock::CNotesDock(QWidget* parent) : QDockWidget("备注", parent) {
    setObjectName("dockNotes");
    panel_ = new CNotesPanel(this);
    setWidget(panel_);
}
