#include "folder/CFolderView.h"

#include "folder/CFolderFrame.h"

CFolderView::CFolderView(QWidget* parent) : QOpenGLWidget(parent) {}

void CFolderView::attachFrame(CFolderFrame* frame) {
    frame_ = frame;
    frameAttached();
}

QScrollBar* CFolderView::scrollBarCtrl(Qt::Orientation bar) const {
    if (!frame_)
        return nullptr;
    return bar == Qt::Horizontal ? frame_->hScrollBar() : frame_->vScrollBar();
}
