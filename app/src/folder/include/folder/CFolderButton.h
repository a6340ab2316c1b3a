#pragma once
// A scroll button of the tab strip: an arrow that repeats its command while
// held, first after 500 ms and then every 150 ms.

#include <QAbstractButton>
#include <QTimer>

class CFolderButton : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int kFirstDelayMs = 500;
    static constexpr int kRepeatDelayMs = 150;

    // `id` 1 points left (towards the front), 2 right (towards the back).
    CFolderButton(int id, QWidget* parent);
    int id() const { return id_; }

signals:
    // The button's command, sent on a click and on every auto-repeat tick.
    void command(int id);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void tick();
    void stopRepeat();

    int id_;
    QTimer timer_;
    bool repeated_ = false;
};
