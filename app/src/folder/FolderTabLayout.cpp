#include "folder/FolderTabLayout.h"

int layoutFolderTabs(std::vector<FolderTabItem>& tabs, const std::vector<int>& textWidths,
                     int height) {
    int x = 0;
    int right = 0;
    for (std::size_t i = 0; i < tabs.size(); ++i) {
        const int width = (i < textWidths.size() ? textWidths[i] : 0) + kTabTextPadding;
        FolderTabItem& tab = tabs[i];
        // QRect's right() is inclusive; keep the exclusive edge as the original did.
        const int left = x;
        const int exclusiveRight = x + width;
        tab.bounds = QRect(QPoint(left, 0), QSize(width, height));
        tab.outline = QPolygon({QPoint(left, 0), QPoint(left + 8, height),
                                QPoint(exclusiveRight - 9, height),
                                QPoint(exclusiveRight - 1, 0)});
        x += width - kTabOverlap;
        right = exclusiveRight;
    }
    return right;
}

int hitTestFolderTabs(const std::vector<FolderTabItem>& tabs, QPoint point, QSize client,
                      int buttonsWidth, int firstVisible) {
    if (point.x() < buttonsWidth || point.x() < 0 || point.y() < 0 ||
        point.x() >= client.width() || point.y() >= client.height())
        return -1;
    if (tabs.empty())
        return -1;
    if (firstVisible < 0 || firstVisible >= static_cast<int>(tabs.size()))
        firstVisible = 0;
    const QPoint shifted = point + QPoint(tabs[firstVisible].bounds.left() - buttonsWidth, 0);
    for (std::size_t i = 0; i < tabs.size(); ++i) {
        if (tabs[i].outline.containsPoint(shifted, Qt::OddEvenFill))
            return static_cast<int>(i);
    }
    return -1;
}
