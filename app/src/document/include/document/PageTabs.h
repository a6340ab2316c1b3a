#pragma once
// Where a document's page names live: the tabs of its window. Page i is tab i,
// and the document moves its pages and the tabs together. The document
// window's tab frame implements it; a document without a window has none.

#include <string>

class PageTabs {
public:
    virtual ~PageTabs() = default;

    virtual int tabCount() const = 0;
    virtual std::string tabName(int index) const = 0;
    virtual void setTabName(int index, const std::string& name) = 0;
    // 1 when the user gave the page its name, 0 for an automatic one.
    virtual int tabCustomName(int index) const = 0;
    virtual void setTabCustomName(int index, int value) = 0;
    virtual void addTab(const std::string& name) = 0;
    virtual void removeTab(int index) = 0;
    virtual void swapTabs(int a, int b) = 0;

    virtual int currentTab() const = 0;
    // Makes `index` the current tab without showing its page.
    virtual void selectTab(int index) = 0;
    // Makes `index` the current tab and shows its page in the view.
    virtual void showPage(int index) = 0;
    // Lays the tabs and the window out again after names or pages changed.
    virtual void relayoutTabs() = 0;
    // Shows every part of the window, as for a document just read.
    virtual void showAll() = 0;
};
