#include "folder/CFolderFrame.h"

#include <QEvent>
#include <QScrollBar>

#include "folder/CFolderTabCtrl.h"
#include "folder/CFolderView.h"
#include "folder/CSizerBar.h"
#include "folder/CWinMgr.h"

CFolderFrame::CFolderFrame(QWidget* parent) : QWidget(parent) {
    setObjectName("CFolderFrame");
    winMgr_ = new CWinMgr(this);
    hScroll_ = new QScrollBar(Qt::Horizontal, this);
    vScroll_ = new QScrollBar(Qt::Vertical, this);
    sizeBox_ = new QWidget(this);
    sizeBox_->setObjectName("sizeBox");
    sizeBox_->setAutoFillBackground(true);
    sizeBox_->setBackgroundRole(QPalette::Button);
    tabs_ = new CFolderTabCtrl(CFolderTabCtrl::ScrollButtons, this);
    winMgr_->setChild(CWinMgr::VScroll, vScroll_);
    winMgr_->setChild(CWinMgr::Tabs, tabs_);
    winMgr_->setChild(CWinMgr::HScroll, hScroll_);
    winMgr_->setChild(CWinMgr::SizeBox, sizeBox_);
    connect(tabs_, &CFolderTabCtrl::metricsChanged, this, &CFolderFrame::relayout);
}

void CFolderFrame::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The scroll bars take the new style's size.
    if (event->type() == QEvent::StyleChange)
        relayout();
}

void CFolderFrame::createClient(CFolderView* view) {
    view_ = view;
    view->setParent(this);
    view->attachFrame(this);
    winMgr_->setChild(CWinMgr::View, view);
    connect(tabs_, &CFolderTabCtrl::tabNotify, view, &CFolderView::onTabNotify);
    view->show();
}

void CFolderFrame::createSizerBar() {
    if (sizer_)
        return;
    sizer_ = new CSizerBar(winMgr_, this);
    winMgr_->setChild(CWinMgr::Sizer, sizer_);
    connect(sizer_, &CSizerBar::moved, this, &CFolderFrame::onSizerMoved);
    sizer_->show();
}

int CFolderFrame::tabAreaWidth() const { return winMgr_->tabAreaWidth(); }

void CFolderFrame::setTabAreaWidth(int width) {
    winMgr_->setTabAreaWidth(width);
    winMgr_->setGeometry(rect());
}

void CFolderFrame::showAll() {
    for (QWidget* w : {static_cast<QWidget*>(view_), static_cast<QWidget*>(hScroll_),
                       static_cast<QWidget*>(vScroll_), sizeBox_,
                       static_cast<QWidget*>(tabs_), static_cast<QWidget*>(sizer_)}) {
        if (w)
            w->show();
    }
    relayout();
}

void CFolderFrame::relayout() {
    winMgr_->setPreferredTabWidth(tabs_->totalWidth());
    winMgr_->setTabAreaWidth(tabs_->totalWidth());
    winMgr_->setGeometry(rect());
}

void CFolderFrame::showTabs(bool show) {
    tabs_->setVisible(show);
    relayout();
}

bool CFolderFrame::tabsShown() const { return !tabs_->isHidden(); }

void CFolderFrame::onSizerMoved(int dx, int) { winMgr_->sizerMoved(dx); }
