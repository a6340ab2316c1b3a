#pragma once
// The base of the editing view: it scrolls with its folder frame's scroll bars
// and shows the page whose tab was clicked.

#include <QOpenGLWidget>

class CFolderFrame;
class QScrollBar;

class CFolderView : public QOpenGLWidget {
    Q_OBJECT
public:
    explicit CFolderView(QWidget* parent = nullptr);

    void attachFrame(CFolderFrame* frame);
    CFolderFrame* folderFrame() const { return frame_; }
    // The frame's bars stand in for the view's own.
    QScrollBar* scrollBarCtrl(Qt::Orientation bar) const;

    virtual void showPage(int index) = 0;

public slots:
    void onTabNotify(int index) { showPage(index); }

protected:
    // Called once the frame's scroll bars are known.
    virtual void frameAttached() {}

private:
    CFolderFrame* frame_ = nullptr; // the parent
};
