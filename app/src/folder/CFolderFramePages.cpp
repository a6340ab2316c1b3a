// The frame's tabs as the document's pages: names read from the document,
// the current tab and the page shown in the view.

#include "folder/CFolderFrame.h"
#include "folder/CFolderTabCtrl.h"
#include "folder/CFolderView.h"

void CFolderFrame::pagesChanged() {
    tabs_->readPages();
    relayout();
}

int CFolderFrame::currentPage() const { return tabs_->currentTab(); }

void CFolderFrame::selectPage(int index) { tabs_->selectTab(index); }

void CFolderFrame::showPage(int index) {
    tabs_->selectTab(index);
    if (view_)
        view_->showPage(index);
}
