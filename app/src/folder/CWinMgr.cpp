#include "folder/CWinMgr.h"

#include <algorithm>

#include <QStyle>
#include <QWidget>
#include <QWidgetItem>

CWinMgr::CWinMgr(QWidget* parent) : QLayout(parent) {
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
}

CWinMgr::~CWinMgr() {
    for (QLayoutItem*& item : items_) {
        delete item;
        item = nullptr;
    }
}

void CWinMgr::setChild(Child child, QWidget* widget) {
    addChildWidget(widget);
    delete items_[child];
    items_[child] = new QWidgetItem(widget);
    invalidate();
}

QWidget* CWinMgr::child(Child child) const {
    return items_[child] ? items_[child]->widget() : nullptr;
}

void CWinMgr::addItem(QLayoutItem* item) {
    // Children enter through setChild(); anything else has no place in the table.
    delete item;
}

QLayoutItem* CWinMgr::itemAt(int index) const {
    int seen = 0;
    for (QLayoutItem* item : items_) {
        if (!item)
            continue;
        if (seen == index)
            return item;
        ++seen;
    }
    return nullptr;
}

QLayoutItem* CWinMgr::takeAt(int index) {
    int seen = 0;
    for (QLayoutItem*& item : items_) {
        if (!item)
            continue;
        if (seen == index) {
            QLayoutItem* taken = item;
            item = nullptr;
            return taken;
        }
        ++seen;
    }
    return nullptr;
}

int CWinMgr::count() const {
    return static_cast<int>(std::count_if(std::begin(items_), std::end(items_),
                                          [](QLayoutItem* i) { return i != nullptr; }));
}

int CWinMgr::scrollExtent() const {
    const QWidget* w = parentWidget();
    return w ? w->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, w) : 16;
}

bool CWinMgr::visible(Child c) const {
    const QWidget* w = child(c);
    return w && !w->isHidden();
}

QSize CWinMgr::sizeHint() const { return QSize(640, 480); }

QSize CWinMgr::minimumSize() const {
    const int e = scrollExtent();
    return QSize(kSizerWidth + kMinHScrollBars * e + e, 2 * e);
}

CWinMgr::Rects CWinMgr::compute(const QRect& client) const {
    Rects r;
    const int e = scrollExtent();
    const int bottomH = (visible(Tabs) || visible(Sizer) || visible(HScroll) || visible(SizeBox))
                            ? std::min(e, client.height())
                            : 0;
    const int topH = std::max(0, client.height() - bottomH);
    const int vsW = visible(VScroll) ? std::min(e, client.width()) : 0;
    r.rect[View] = QRect(client.left(), client.top(), std::max(0, client.width() - vsW), topH);
    r.rect[VScroll] = QRect(client.left() + client.width() - vsW, client.top(), vsW, topH);

    const int y = client.top() + topH;
    const int boxW = visible(SizeBox) ? e : 0;
    const int sizerW = visible(Sizer) ? kSizerWidth : 0;
    const int minH = visible(HScroll) ? kMinHScrollBars * e : 0;
    int tabsW = 0;
    if (visible(Tabs)) {
        const int wanted = tabAreaWidth_ < 0 ? preferredTabWidth_ : tabAreaWidth_;
        const int room = client.width() - boxW - sizerW - minH;
        tabsW = std::clamp(wanted, 0, std::max(0, room));
    }
    const int hsW = std::max(0, client.width() - boxW - sizerW - tabsW);
    int x = client.left();
    r.rect[Tabs] = QRect(x, y, tabsW, bottomH);
    x += tabsW;
    r.rect[Sizer] = QRect(x, y, sizerW, bottomH);
    x += sizerW;
    r.rect[HScroll] = QRect(x, y, visible(HScroll) ? hsW : 0, bottomH);
    x += visible(HScroll) ? hsW : 0;
    r.rect[SizeBox] = QRect(x, y, boxW, bottomH);
    return r;
}

void CWinMgr::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    const Rects r = compute(rect);
    for (int c = 0; c < ChildCount; ++c) {
        if (items_[c] && visible(static_cast<Child>(c)))
            items_[c]->widget()->setGeometry(r.rect[c]);
    }
}

std::pair<int, int> CWinMgr::sizerLimits() const {
    const Rects r = compute(geometry());
    const int e = scrollExtent();
    const int shrink = -r.rect[Tabs].width();
    const int grow = std::max(0, r.rect[HScroll].width() - kMinHScrollBars * e);
    return {shrink, grow};
}

void CWinMgr::sizerMoved(int dx) {
    const int current = compute(geometry()).rect[Tabs].width();
    tabAreaWidth_ = std::max(0, current + dx);
    setGeometry(geometry());
}
