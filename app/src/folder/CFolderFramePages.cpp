// The frame's tabs as its document sees them: the names of the pages.

#include "folder/CFolderFrame.h"
#include "folder/CFolderTabCtrl.h"
#include "folder/CFolderView.h"

int CFolderFrame::tabCount() const { return tabs_->itemCount(); }

std::string CFolderFrame::tabName(int index) const { return tabs_->itemName(index); }

void CFolderFrame::setTabName(int index, const std::string& name) {
    tabs_->setItemName(index, name);
}

int CFolderFrame::tabCustomName(int index) const { return tabs_->customName(index); }

void CFolderFrame::setTabCustomName(int index, int value) { tabs_->setCustomName(index, value); }

void CFolderFrame::addTab(const std::string& name) { tabs_->addItem(name); }

void CFolderFrame::removeTab(int index) { tabs_->removeItem(index); }

void CFolderFrame::swapTabs(int a, int b) { tabs_->swapItems(a, b); }

int CFolderFrame::currentTab() const { return tabs_->currentTab(); }

void CFolderFrame::selectTab(int index) { tabs_->selectTab(index); }

void CFolderFrame::showPage(int index) {
    tabs_->selectTab(index);
    if (view_)
        view_->showPage(index);
}

void CFolderFrame::relayoutTabs() {
    tabs_->recalcLayout();
    relayout();
}
