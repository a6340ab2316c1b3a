#include "folder/CFolderTabCtrl.h"

#include <algorithm>

#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include "document/ZShapeData.h"
#include "folder/CFolderButton.h"

namespace {

int scrollBarExtent(const QWidget* w) { return w->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, w); }

} // namespace

CFolderTabCtrl::CFolderTabCtrl(int tabStyle, QWidget* parent)
    : QWidget(parent), tabStyle_(tabStyle) {
    setObjectName("CFolderTabCtrl");
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    if (tabStyle_ & ScrollButtons) {
        button1_ = new CFolderButton(1, this);
        button2_ = new CFolderButton(2, this);
        connect(button1_, &CFolderButton::command, this, &CFolderTabCtrl::scrollCommand);
        connect(button2_, &CFolderButton::command, this, &CFolderTabCtrl::scrollCommand);
    }
    applyStyleMetrics();
}

void CFolderTabCtrl::applyStyleMetrics() {
    // Strip height, fonts and buttons all follow the scroll-bar size, which
    // the visual style decides.
    const int extent = scrollBarExtent(this);
    normalFont_ = QFont("Arial");
    normalFont_.setPixelSize(std::max(6, extent - 1));
    currentFont_ = normalFont_;
    currentFont_.setPixelSize(std::max(6, extent - 3));
    setFixedHeight(extent);
    buttonsWidth_ = button1_ ? 2 * extent : 0;
    placeButtons();
    recalcLayout();
}

void CFolderTabCtrl::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::StyleChange)
        return;
    applyStyleMetrics();
    emit metricsChanged();
}

int CFolderTabCtrl::addItem(const std::string& name) {
    FolderTabItem tab;
    tab.name = name;
    tabs_.push_back(std::move(tab));
    recalcLayout();
    return itemCount() - 1;
}

void CFolderTabCtrl::removeItem(int index) {
    if (index < 0 || index >= itemCount())
        return;
    tabs_.erase(tabs_.begin() + index);
    if (current_ >= itemCount())
        current_ = std::max(0, itemCount() - 1);
    if (firstVisible_ >= itemCount())
        firstVisible_ = std::max(0, itemCount() - 1);
    recalcLayout();
}

void CFolderTabCtrl::readPages() {
    if (!data_)
        return;
    tabs_.resize(static_cast<std::size_t>(std::max(0, data_->pageCount())));
    for (int i = 0; i < itemCount(); ++i)
        tabs_[static_cast<std::size_t>(i)].name = data_->pageName(i);
    if (current_ >= itemCount())
        current_ = std::max(0, itemCount() - 1);
    if (firstVisible_ >= itemCount())
        firstVisible_ = std::max(0, itemCount() - 1);
    recalcLayout();
}

void CFolderTabCtrl::selectTab(int index) {
    if (index < 0 || index >= itemCount())
        return;
    current_ = index;
    update();
}

void CFolderTabCtrl::recalcLayout() {
    const QFontMetrics metrics(normalFont_);
    std::vector<int> widths;
    widths.reserve(tabs_.size());
    for (const auto& tab : tabs_)
        widths.push_back(metrics.horizontalAdvance(QString::fromStdString(tab.name)));
    const int right = layoutFolderTabs(tabs_, widths, height());
    totalWidth_ = buttonsWidth_ + right;
    updateButtons();
    update();
}

int CFolderTabCtrl::hitTest(QPoint point) const {
    return hitTestFolderTabs(tabs_, point, size(), buttonsWidth_, firstVisible_);
}

void CFolderTabCtrl::scrollCommand(int id) {
    if (id == 1 && firstVisible_ > 0)
        --firstVisible_;
    else if (id == 2 && firstVisible_ < itemCount() - 1)
        ++firstVisible_;
    update();
    updateButtons();
}

void CFolderTabCtrl::updateButtons() {
    if (!button1_)
        return;
    button1_->setEnabled(firstVisible_ > 0);
    bool more = false;
    if (!tabs_.empty()) {
        const int first = tabs_[static_cast<std::size_t>(firstVisible_)].bounds.left();
        const int extent = tabs_.back().bounds.left() + tabs_.back().bounds.width() - first;
        more = extent > width() - buttonsWidth_;
    }
    button2_->setEnabled(more);
}

void CFolderTabCtrl::placeButtons() {
    const int side = height();
    if (button1_) {
        button1_->setGeometry(0, 0, side, side);
        button2_->setGeometry(side, 0, side, side);
    }
}

void CFolderTabCtrl::resizeEvent(QResizeEvent*) {
    placeButtons();
    recalcLayout();
}

void CFolderTabCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const int hit = hitTest(event->position().toPoint());
    if (hit < 0 || hit == current_)
        return;
    selectTab(hit);
    emit tabNotify(hit);
}

void CFolderTabCtrl::drawTab(QPainter& p, const FolderTabItem& tab, bool current) const {
    const QPalette& pal = palette();
    p.setPen(Qt::NoPen);
    p.setBrush(current ? pal.color(QPalette::Base) : pal.color(QPalette::Button));
    p.drawPolygon(tab.outline);
    const QPolygon& o = tab.outline;
    p.setPen(Qt::black);
    p.drawLine(o[0], o[1]);
    p.setPen(pal.color(QPalette::Dark));
    p.drawLine(o[1], o[2]);
    p.setPen(Qt::black);
    p.drawLine(o[2], o[3]);
    if (!current) {
        p.setPen(pal.color(QPalette::Dark));
        p.drawLine(o[2] - QPoint(1, 0), o[3] - QPoint(1, 0));
    }
    p.setFont(current ? currentFont_ : normalFont_);
    p.setPen(current ? pal.color(QPalette::Text) : pal.color(QPalette::ButtonText));
    p.drawText(tab.bounds.adjusted(10, 1, -10, -1), Qt::AlignCenter | Qt::TextSingleLine,
               QString::fromStdString(tab.name));
}

void CFolderTabCtrl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (tabs_.empty())
        return;
    const int firstLeft = tabs_[static_cast<std::size_t>(firstVisible_)].bounds.left();
    const int shift = buttonsWidth_ - firstLeft;
    p.save();
    p.setClipRect(QRect(buttonsWidth_, 0, width() - buttonsWidth_, height()));
    p.translate(shift, 0);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < itemCount(); ++i) {
        if (i != current_)
            drawTab(p, tabs_[static_cast<std::size_t>(i)], false);
    }
    const FolderTabItem& cur = tabs_[static_cast<std::size_t>(current_)];
    drawTab(p, cur, true);
    p.restore();

    // The current tab stays open towards the view above it.
    const int curLeft = cur.bounds.left() + shift;
    const int curRight = cur.bounds.left() + cur.bounds.width() + shift;
    p.setPen(Qt::black);
    p.drawLine(std::max(curRight - 1, buttonsWidth_), 0, width() - 1, 0);
    if (tabStyle_ & FrameAround) {
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    } else if (curLeft > buttonsWidth_) {
        p.drawLine(buttonsWidth_, 0, curLeft, 0);
    }
}
