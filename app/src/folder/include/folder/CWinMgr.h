#pragma once
// The folder frame's window manager: one table of rows and size rules, turned
// into child rectangles whenever the frame is resized.
//
//   top row (takes the remaining height):  view (remaining width) | vertical bar
//   bottom row (scroll-bar height):        tabs (tab area width) | sizer (8)
//                                          | horizontal bar (remaining, min 8 bars) | size box
//
// A hidden child takes no space, so hiding the tabs widens the horizontal bar.

#include <utility>

#include <QLayout>
#include <QList>

class CWinMgr : public QLayout {
    Q_OBJECT
public:
    enum Child { View, VScroll, Tabs, Sizer, HScroll, SizeBox, ChildCount };
    static constexpr int kSizerWidth = 8;
    static constexpr int kMinHScrollBars = 8;

    explicit CWinMgr(QWidget* parent);
    ~CWinMgr() override;

    // Places `widget` in the table's slot `child`.
    void setChild(Child child, QWidget* widget);
    QWidget* child(Child child) const;

    // The tab area width; a negative value means "as wide as the tabs want".
    void setTabAreaWidth(int width) { tabAreaWidth_ = width; }
    int tabAreaWidth() const { return tabAreaWidth_; }
    // The width wanted when tabAreaWidth is negative.
    void setPreferredTabWidth(int width) { preferredTabWidth_ = width; }

    // How far the sizer bar may move left (negative) and right from where it is
    // so that the tab area and the horizontal bar keep their limits.
    std::pair<int, int> sizerLimits() const;
    // The sizer moved by dx: the tab area grows by dx, the horizontal bar shrinks.
    void sizerMoved(int dx);

    // The rectangles the table gives every child for a client rectangle.
    struct Rects {
        QRect rect[ChildCount];
    };
    Rects compute(const QRect& client) const;

    // QLayout
    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    int scrollExtent() const;
    bool visible(Child child) const;

    QLayoutItem* items_[ChildCount] = {};
    int tabAreaWidth_ = -2;
    int preferredTabWidth_ = 0;
};
