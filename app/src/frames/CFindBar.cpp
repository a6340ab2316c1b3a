#include "frames/CFindBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "view/CTavloView.h"
#include "view/FindSession.h"

namespace {

QHBoxLayout* row(QWidget* owner) {
    auto* layout = new QHBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    return layout;
}

} // namespace

CFindBar::CFindBar(CTavloView* view, QWidget* parent)
    : QWidget(parent), view_(view), session_(std::make_unique<FindSession>(view)) {
    setObjectName("findBar");
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(6, 4, 6, 4);
    rows->setSpacing(4);

    auto* findRow = new QWidget(this);
    QHBoxLayout* find = row(findRow);
    find->addWidget(new QLabel("查找:", findRow));
    findField_ = new QLineEdit(findRow);
    findField_->setObjectName("findField");
    findField_->setMinimumWidth(220);
    find->addWidget(findField_, 1);
    auto* previous = new QPushButton("上一个", findRow);
    previous->setObjectName("findPrevious");
    auto* next = new QPushButton("下一个", findRow);
    next->setObjectName("findNext");
    find->addWidget(previous);
    find->addWidget(next);
    caseBox_ = new QCheckBox("区分大小写", findRow);
    find->addWidget(caseBox_);
    notesBox_ = new QCheckBox("搜索备注", findRow);
    notesBox_->setObjectName("findInNotes");
    notesBox_->setChecked(true);
    find->addWidget(notesBox_);
    scopeBox_ = new QComboBox(findRow);
    scopeBox_->addItems({"当前页", "所有页"});
    find->addWidget(scopeBox_);
    position_ = new QLabel(findRow);
    position_->setObjectName("findPosition");
    position_->setMinimumWidth(90);
    find->addWidget(position_);
    auto* closer = new QToolButton(findRow);
    closer->setText("×");
    closer->setAutoRaise(true);
    find->addWidget(closer);
    rows->addWidget(findRow);

    replaceRow_ = new QWidget(this);
    QHBoxLayout* replace = row(replaceRow_);
    replace->addWidget(new QLabel("替换为:", replaceRow_));
    replaceField_ = new QLineEdit(replaceRow_);
    replaceField_->setObjectName("replaceField");
    replace->addWidget(replaceField_, 1);
    replaceOne_ = new QPushButton("替换", replaceRow_);
    replaceAll_ = new QPushButton("全部替换", replaceRow_);
    replace->addWidget(replaceOne_);
    replace->addWidget(replaceAll_);
    replace->addStretch(0);
    rows->addWidget(replaceRow_);

    // Buttons keep the keys in the fields; Enter there steps or replaces.
    for (QPushButton* b : {previous, next, replaceOne_, replaceAll_}) {
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::TabFocus);
    }
    findField_->installEventFilter(this);
    replaceField_->installEventFilter(this);
    connect(findField_, &QLineEdit::textChanged, this, &CFindBar::queryChanged);
    connect(caseBox_, &QCheckBox::toggled, this, &CFindBar::queryChanged);
    connect(notesBox_, &QCheckBox::toggled, this, &CFindBar::queryChanged);
    connect(scopeBox_, &QComboBox::currentIndexChanged, this, &CFindBar::queryChanged);
    connect(previous, &QPushButton::clicked, this, [this] { step(true); });
    connect(next, &QPushButton::clicked, this, [this] { step(false); });
    connect(replaceOne_, &QPushButton::clicked, this, &CFindBar::replaceOne);
    connect(replaceAll_, &QPushButton::clicked, this, &CFindBar::replaceEverything);
    connect(closer, &QToolButton::clicked, this, &CFindBar::close);
    connect(view_, &CTavloView::frameDrawn, this, &CFindBar::pageDrawn);
    showPosition();
    hide();
}

CFindBar::~CFindBar() = default;

void CFindBar::open(bool withReplace) {
    replaceRow_->setVisible(withReplace);
    if (!isVisible()) {
        show();
        session_->setOutlining(true);
        queryChanged();
    }
    findField_->setFocus(Qt::ShortcutFocusReason);
    findField_->selectAll();
}

void CFindBar::close() {
    session_->setOutlining(false);
    hide();
    if (view_)
        view_->setFocus(Qt::OtherFocusReason);
}

void CFindBar::step(bool backward) {
    if (findField_->text().isEmpty()) {
        open(replaceRow_->isVisible() && isVisible());
        return;
    }
    session_->step(backward);
    showPosition();
}

void CFindBar::queryChanged() {
    session_->setSearchNotes(notesBox_->isChecked());
    session_->setQuery(findField_->text(), caseBox_->isChecked(), scopeBox_->currentIndex() == 1);
    showPosition();
}

void CFindBar::showPosition() {
    position_->setText(session_->positionText());
}

void CFindBar::replaceOne() {
    if (findField_->text().isEmpty())
        return;
    session_->replaceCurrent(replaceField_->text());
    showPosition();
}

void CFindBar::replaceEverything() {
    if (findField_->text().isEmpty())
        return;
    const int replaced = session_->replaceAll(replaceField_->text());
    // Each page keeps its own history, so over several pages one undo takes
    // back only the page shown: the message says so.
    const int pages = session_->replacedPages();
    if (pages > 1)
        position_->setText(QString("已替换 %1 处（共 %2 页，每页可分别撤销）").arg(replaced).arg(pages));
    else
        position_->setText(QString("已替换 %1 处").arg(replaced));
}

void CFindBar::pageDrawn() {
    if (isVisible() && session_->stale()) {
        session_->refresh();
        showPosition();
    }
}

void CFindBar::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool CFindBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return QWidget::eventFilter(watched, event);
    if (watched == replaceField_)
        replaceOne();
    else
        step(key->modifiers() & Qt::ShiftModifier);
    return true;
}
