#include "folder/CSizerBar.h"

#include <algorithm>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "folder/CWinMgr.h"

CSizerBar::CSizerBar(CWinMgr* manager, QWidget* parent) : QWidget(parent), manager_(manager) {
    setObjectName("CSizerBar");
    setFocusPolicy(Qt::ClickFocus);
    setCursor(Qt::SizeHorCursor);
}

void CSizerBar::resizeEvent(QResizeEvent*) {
    horizontal_ = width() > height() ? 1 : 0;
    setCursor(horizontal_ ? Qt::SizeVerCursor : Qt::SizeHorCursor);
}

void CSizerBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Button));
    const QColor outerLight = pal.color(QPalette::Midlight);
    const QColor outerDark = pal.color(QPalette::Shadow);
    const QColor innerLight = pal.color(QPalette::Light);
    const QColor innerDark = pal.color(QPalette::Dark);
    for (int inset = 0; inset < 2; ++inset) {
        const QRect r = rect().adjusted(inset, inset, -1 - inset, -1 - inset);
        p.setPen(inset == 0 ? outerLight : innerLight);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(inset == 0 ? outerDark : innerDark);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    }
}

void CSizerBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    last_ = event->globalPosition().toPoint();
    previousFocus_ = QApplication::focusWidget();
    setFocus(Qt::MouseFocusReason);
    const auto limits = manager_ ? manager_->sizerLimits() : std::pair<int, int>{0, 0};
    minDx_ = limits.first;
    maxDx_ = limits.second;
    travelled_ = 0;
    dragging_ = true;
}

void CSizerBar::report(QPoint globalPos) {
    // Stands in for confining the pointer: the bar never goes past the limits.
    const int wanted = travelled_ + (globalPos.x() - last_.x());
    const int allowed = std::clamp(wanted, minDx_, maxDx_);
    const int dx = allowed - travelled_;
    const int dy = globalPos.y() - last_.y();
    last_ = globalPos;
    if (dx == 0 && dy == 0)
        return;
    travelled_ = allowed;
    if (dx != 0)
        emit moved(dx, 0);
}

void CSizerBar::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_)
        report(event->globalPosition().toPoint());
}

void CSizerBar::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton)
        return;
    endDrag();
    report(event->globalPosition().toPoint());
}

void CSizerBar::keyPressEvent(QKeyEvent* event) {
    if (dragging_ && event->key() == Qt::Key_Escape) {
        endDrag();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CSizerBar::endDrag() {
    dragging_ = false;
    if (previousFocus_)
        previousFocus_->setFocus(Qt::OtherFocusReason);
}
