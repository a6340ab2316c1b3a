#include "document/PageOperations.h"

#include "document/CTavloDoc.h"
#include "document/PageObserver.h"

namespace {

std::string automaticName(int n) { return "页" + std::to_string(n); }

void showCurrent(CTavloDoc& doc, int index) {
    if (PageObserver* window = doc.shapeData().observer())
        window->showPage(index);
}

} // namespace

void renumberPages(CTavloDoc& doc) {
    ZShapeData& data = doc.shapeData();
    int n = 1;
    for (int i = 0; i < data.pageCount(); ++i) {
        if (data.pageCustomName(i) == 0 && data.pageName(i) != automaticName(n))
            data.setPageName(i, automaticName(n), 0);
        if (data.pageCustomName(i) == 0)
            ++n;
    }
}

int addNumberedPage(CTavloDoc& doc) {
    ZShapeData& data = doc.shapeData();
    renumberPages(doc);
    int n = 1;
    for (int i = 0; i < data.pageCount(); ++i) {
        if (data.pageCustomName(i) == 0)
            ++n;
    }
    const int index = data.addPage(automaticName(n));
    showCurrent(doc, index);
    return index;
}

bool deleteCurrentPage(CTavloDoc& doc) {
    ZShapeData& data = doc.shapeData();
    PageObserver* window = data.observer();
    if (!window || data.pageCount() < 2)
        return false;
    const int current = window->currentPage();
    data.removePage(current);
    const int next = current < data.pageCount() ? current : current - 1;
    showCurrent(doc, next);
    renumberPages(doc);
    return true;
}

bool moveCurrentPage(CTavloDoc& doc, int direction) {
    ZShapeData& data = doc.shapeData();
    PageObserver* window = data.observer();
    if (!window || data.pageCount() < 2 || (direction != -1 && direction != 1))
        return false;
    const int current = window->currentPage();
    const int target = current + direction;
    if (target < 0 || target >= data.pageCount())
        return false;
    data.swapPages(current, target);
    showCurrent(doc, target);
    return true;
}

void renamePage(CTavloDoc& doc, int index, const std::string& name) {
    ZShapeData& data = doc.shapeData();
    if (index < 0 || index >= data.pageCount())
        return;
    PageObserver* window = data.observer();
    if (window && window->currentPage() != index)
        window->selectPage(index);
    data.setPageName(index, name, 1);
}
