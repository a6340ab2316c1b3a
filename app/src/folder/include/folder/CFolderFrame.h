#pragma once
// The client area of a document window: the view with its scroll bars, the
// size box, the page tabs and the sizer bar between tabs and scroll bar.

#include <QWidget>

#include "document/PageObserver.h"

class QScrollBar;
class CFolderTabCtrl;
class CFolderView;
class CSizerBar;
class CWinMgr;

class CFolderFrame : public QWidget, public PageObserver {
    Q_OBJECT
public:
    explicit CFolderFrame(QWidget* parent = nullptr);

    // Puts the view into the frame (the frame takes it over as a child).
    void createClient(CFolderView* view);
    void createSizerBar();

    CFolderTabCtrl* tabCtrl() const { return tabs_; }
    CSizerBar* sizerBar() const { return sizer_; }
    QScrollBar* hScrollBar() const { return hScroll_; }
    QScrollBar* vScrollBar() const { return vScroll_; }
    QWidget* sizeBox() const { return sizeBox_; }
    CFolderView* view() const { return view_; }
    CWinMgr* winMgr() const { return winMgr_; }

    int tabAreaWidth() const;
    void setTabAreaWidth(int width);

    // Shows every part of the frame and lays it out again.
    void showAll() override;
    // Lays the children out again with the tab area as wide as all tabs.
    void relayout();
    // Shows or hides the page tabs.
    void showTabs(bool show);
    bool tabsShown() const;

    // The document's pages in the tabs (CFolderFramePages.cpp): the tabs
    // read the names from the document whenever they change.
    void pagesChanged() override;
    int currentPage() const override;
    void selectPage(int index) override;
    void showPage(int index) override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void onSizerMoved(int dx, int dy);

    CWinMgr* winMgr_ = nullptr;
    CFolderTabCtrl* tabs_ = nullptr;
    CSizerBar* sizer_ = nullptr;
    QScrollBar* hScroll_ = nullptr;
    QScrollBar* vScroll_ = nullptr;
    QWidget* sizeBox_ = nullptr;
    CFolderView* view_ = nullptr;
};
