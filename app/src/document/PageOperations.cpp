#include "dialogs/PageOperations.h"

#include <utility>

#include "folder/CFolderFrame.h"
#include "folder/CFolderTabCtrl.h"
#include "folder/CFolderView.h"
#include "frames/CTavloDoc.h"

namespace {

std::string automaticName(int n) { return "页" + std::to_string(n); }

CFolderTabCtrl* tabsOf(CTavloDoc& doc) {
    CFolderFrame* frame = doc.shapeData().folderFrame;
    return frame ? frame->tabCtrl() : nullptr;
}

void showCurrent(CTavloDoc& doc, int index) {
    CFolderFrame* frame = doc.shapeData().folderFrame;
    if (!frame)
        return;
    frame->tabCtrl()->selectTab(index);
    if (frame->view())
        frame->view()->showPage(index);
}

void layOutAgain(CTavloDoc& doc) {
    if (CFolderFrame* frame = doc.shapeData().folderFrame) {
        frame->tabCtrl()->recalcLayout();
        frame->relayout();
    }
}

} // namespace

void renumberPages(CTavloDoc& doc) {
    CFolderTabCtrl* tabs = tabsOf(doc);
    if (!tabs)
        return;
    int n = 1;
    for (int i = 0; i < tabs->itemCount(); ++i) {
        if (tabs->customName(i) == 0)
            tabs->setItemName(i, automaticName(n++));
    }
}

int addNumberedPage(CTavloDoc& doc) {
    CFolderTabCtrl* tabs = tabsOf(doc);
    if (!tabs)
        return -1;
    renumberPages(doc);
    int n = 1;
    for (int i = 0; i < tabs->itemCount(); ++i) {
        if (tabs->customName(i) == 0)
            ++n;
    }
    const int index = doc.shapeData().addPage(automaticName(n));
    showCurrent(doc, index);
    layOutAgain(doc);
    return index;
}

bool deleteCurrentPage(CTavloDoc& doc) {
    CFolderTabCtrl* tabs = tabsOf(doc);
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
    CFolderTabCtrl* tabs = tabsOf(doc);
    ZShapeData& data = doc.shapeData();
    if (!tabs || data.pageCount() < 2 || (direction != -1 && direction != 1))
        return false;
    const int current = tabs->currentTab();
    const int target = current + direction;
    if (target < 0 || target >= data.pageCount())
        return false;
    tabs->swapItems(current, target);
    std::swap(data.managers[static_cast<std::size_t>(current)],
              data.managers[static_cast<std::size_t>(target)]);
    showCurrent(doc, target);
    layOutAgain(doc);
    return true;
}

void renamePage(CTavloDoc& doc, int index, const std::string& name) {
    CFolderTabCtrl* tabs = tabsOf(doc);
    if (!tabs || index < 0 || index >= tabs->itemCount())
        return;
    if (tabs->currentTab() != index)
        tabs->selectTab(index);
    tabs->setItemName(index, name);
    tabs->setCustomName(index, 1);
    layOutAgain(doc);
}
