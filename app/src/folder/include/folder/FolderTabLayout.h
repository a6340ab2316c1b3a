#pragma once
// Geometry of the folder tabs, apart from any widget so that it can be checked
// on its own: slanted tabs that overlap their neighbours by 8 pixels.

#include <string>
#include <vector>

#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QSize>

// One page tab: the page's name as the tab shows it, and where the layout put it.
struct FolderTabItem {
    std::string name;     // UTF-8
    QRect bounds;         // tab rectangle in tab-strip coordinates
    QPolygon outline;     // slanted outline used for painting and hit testing
};

constexpr int kTabOverlap = 8;
constexpr int kTabTextPadding = 20;

// Lays the tabs out left to right from x = 0, given the measured text width of
// each tab and the strip height; returns the right edge of the last tab (0
// when there is none).
int layoutFolderTabs(std::vector<FolderTabItem>& tabs, const std::vector<int>& textWidths,
                     int height);

// The tab under a client point, or -1. `buttonsWidth` is the width taken by the
// scroll buttons at the left, `firstVisible` the tab shown first after them.
// In an overlap the earlier tab wins.
int hitTestFolderTabs(const std::vector<FolderTabItem>& tabs, QPoint point, QSize client,
                      int buttonsWidth, int firstVisible);
