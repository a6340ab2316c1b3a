#pragma once
// What shows a document's pages: its window's page tabs and view. The
// document tells it when its pages or their names changed, and asks it which
// page is shown and to show another; it keeps no names of its own.

class PageObserver {
public:
    virtual ~PageObserver() = default;

    // Pages were added, removed, moved or renamed: read them again.
    virtual void pagesChanged() = 0;
    // The page whose tab is current.
    virtual int currentPage() const = 0;
    // Makes page `index` current without showing its shapes.
    virtual void selectPage(int index) = 0;
    // Shows page `index`: its tab made current and its shapes in the view.
    virtual void showPage(int index) = 0;
    // Shows every part of the window, as for a document just read.
    virtual void showAll() = 0;
};
