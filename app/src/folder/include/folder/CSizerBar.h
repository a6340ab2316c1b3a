#pragma once
// The bar between the page tabs and the horizontal scroll bar; dragging it
// gives width from one to the other.

#include <QPoint>
#include <QPointer>
#include <QWidget>

class CWinMgr;

class CSizerBar : public QWidget {
    Q_OBJECT
public:
    CSizerBar(CWinMgr* manager, QWidget* parent);
    bool dragging() const { return dragging_; }

signals:
    // The bar was dragged by (dx, dy) since the last report.
    void moved(int dx, int dy);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void report(QPoint globalPos);
    void endDrag();

    CWinMgr* manager_; // not owned
    int horizontal_ = -1;
    bool dragging_ = false;
    QPoint last_;
    int minDx_ = 0; // the range in which both neighbours keep their limits,
    int maxDx_ = 0; // relative to where the drag started
    int travelled_ = 0;
    QPointer<QWidget> previousFocus_;
};
