#include "document/PageOperations.h"

#include <utility>

#include "document/CTavloDoc.h"
#include "document/PageTabs.h"

namespace {

std::string automaticName(int n) { return "页" + std::to_string(n); }

PageTabs* tabsOf(CTavloDoc& doc) { return doc.shapeData().tabs; }

void showCurrent(CTavloDoc& doc, int index) {
    if (PageTabs* tabs = tabsOf(doc))
        tabs->showPage(index);
}

void layOutAgain(CTavloDoc& doc) {
    if (PageTabs* tabs = tabsOf(doc))
        tabs->relayoutTabs();
}

} // namespace

void renumberPages(CTavloDoc& doc) {
    PageTabs* tabs = tabsOf(doc);
    if (!tabs)
        return;
    int n = 1;
    for (int i = 0; i < tabs->tabCount(); ++i) {
        if (tabs->tabCustomName(i) == 0)
            tabs->setTabName(i, automaticName(n++));
    }
}

int addNumberedPage(CTavloDoc& doc) {
    PageTabs* tabs = tabsOf(doc);
    if (!tabs)
        return -1;
    renumberPages(doc);
    int n = 1;
    for (int i = 0; i < tabs->tabCount(); ++i) {
        if (tabs->tabCustomName(i) == 0)
            ++n;
    }
    const int index = doc.shapeData().addPage(automaticName(n));
    showCurrent(doc, index);
    layOutAgain(doc);
    return index;
}

bool deleteCurrentPage(CTavloDoc& doc) {
    PageTabs* tabs = tabsOf(doc);
    ZShapeData& data = doc.shapeData();
    if (!tabs || data.pageCount() < 2)
        return false;
    const int current = tabs->currentTab();
    data.removePage(current);
    const int next = current < data.pageCount() ? current : current - 1;
    showCurrent(doc, next);
    renumberPages(doc);
    layOutAgain(doc);
    return true;
}

bool moveCurrentPage(CTavloDoc& doc, int direction) {
    PageTabs* tabs = tabsOf(doc);
    ZShapeData& data = doc.shapeData();
    if (!tabs || data.pageCount() < 2 || (direction != -1 && direction != 1))
        return false;
    const int current = tabs->currentTab();
    const int target = current + direction;
    if (target < 0 || target >= data.pageCount())
        return false;
    tabs->swapTabs(current, target);
    std::swap(data.managers[static_cast<std::size_t>(current)],
              data.managers[static_cast<std::size_t>(target)]);
    showCurrent(doc, target);
    layOutAgain(doc);
    return true;
}

void renamePage(CTavloDoc& doc, int index, const std::string& name) {
    PageTabs* tabs = tabsOf(doc);
    if (!tabs || index < 0 || index >= tabs->tabCount())
        return;
    if (tabs->currentTab() != index)
        tabs->selectTab(index);
    tabs->setTabName(index, name);
    tabs->setTabCustomName(index, 1);
    layOutAgain(doc);
}
