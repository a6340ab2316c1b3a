#include "folder/CFolderButton.h"

#include <QMouseEvent>
#include <QPainter>

CFolderButton::CFolderButton(int id, QWidget* parent) : QAbstractButton(parent), id_(id) {
    setFocusPolicy(Qt::NoFocus);
    connect(&timer_, &QTimer::timeout, this, &CFolderButton::tick);
}

void CFolderButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    const QRect r = rect();
    const bool pressed = isDown();
    p.fillRect(r, pal.color(QPalette::Button));
    // Two nested 3-D rectangles; a pressed button loses its highlight.
    const QColor light = pressed ? pal.color(QPalette::Button) : pal.color(QPalette::Light);
    const QColor shadow = pal.color(QPalette::Dark);
    for (int inset = 0; inset < 2; ++inset) {
        const QRect box = r.adjusted(inset, inset, -inset, -inset);
        p.setPen(light);
        p.drawLine(box.topLeft(), box.topRight());
        p.drawLine(box.topLeft(), box.bottomLeft());
        p.setPen(shadow);
        p.drawLine(box.bottomLeft(), box.bottomRight());
        p.drawLine(box.topRight(), box.bottomRight());
    }
    p.setPen(pal.color(QPalette::WindowText));
    p.drawLine(r.topLeft(), r.topRight());

    // The arrow: vertical strokes of 7, 5, 3 and 1 pixels.
    p.setPen(isEnabled() ? QColor(Qt::black) : shadow);
    const int shift = pressed ? 1 : 0;
    const int cx = r.center().x() + shift;
    const int cy = r.center().y() + shift;
    for (int k = 0; k < 4; ++k) {
        const int half = 3 - k;
        // The shortest stroke is the tip: at the left on button 1, at the right on 2.
        const int x = id_ == 1 ? cx + 1 - k : cx - 2 + k;
        p.drawLine(x, cy - half, x, cy + half);
    }
}

void CFolderButton::mousePressEvent(QMouseEvent* event) {
    QAbstractButton::mousePressEvent(event);
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    repeated_ = false;
    timer_.start(kFirstDelayMs);
}

void CFolderButton::mouseReleaseEvent(QMouseEvent* event) {
    const bool wasDown = isDown();
    const bool inside = rect().contains(event->position().toPoint());
    stopRepeat();
    QAbstractButton::mouseReleaseEvent(event);
    // A short click scrolls once; a held button already scrolled while held.
    if (wasDown && inside && !repeated_ && isEnabled())
        emit command(id_);
}

void CFolderButton::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double click counts as another press.
    mousePressEvent(event);
}

void CFolderButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        stopRepeat();
        setDown(false);
    }
    QAbstractButton::changeEvent(event);
}

void CFolderButton::tick() {
    if (!isEnabled() || !isDown()) {
        stopRepeat();
        return;
    }
    if (!repeated_)
        timer_.start(kRepeatDelayMs);
    repeated_ = true;
    emit command(id_);
}

void CFolderButton::stopRepeat() { timer_.stop(); }
