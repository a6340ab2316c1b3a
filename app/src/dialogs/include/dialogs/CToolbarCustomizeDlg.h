#pragma once
// "自定义": one page per toolbar listing its commands with a check box each;
// a change shows or hides the button at once, "重置" shows them all again.

#include <vector>

#include <QDialog>

class QListWidget;
class QTabWidget;
class ToolbarCustomizer;

class CToolbarCustomizeDlg : public QDialog {
    Q_OBJECT
public:
    CToolbarCustomizeDlg(ToolbarCustomizer& toolbars, int page, QWidget* parent);

    QTabWidget* pages() const { return pages_; }
    QListWidget* list(int page) const { return lists_.at(static_cast<std::size_t>(page)); }
    // "重置" on a page.
    void resetPage(int page);

private:
    void fill(int page);

    ToolbarCustomizer& toolbars_;
    QTabWidget* pages_ = nullptr;
    std::vector<QListWidget*> lists_;
};
