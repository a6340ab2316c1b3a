#include "view/SelectionList.h"

#include <utility>
#include <vector>

#include <sarvik/ZN_ShapeBase.h>
#include <sarvik/ZN_ShapeManager.h>

bool SelectionList::add(ZN_ShapeBase* shape) {
    if (!shape)
        return false;
    const auto [at, added] = where_.try_emplace(shape, list_.end());
    if (!added)
        return false;
    at->second = list_.insert(list_.end(), shape);
    return true;
}

bool SelectionList::remove(const ZN_ShapeBase* shape) {
    const auto at = where_.find(shape);
    if (at == where_.end())
        return false;
    list_.erase(at->second);
    where_.erase(at);
    return true;
}

void SelectionList::clear() {
    list_.clear();
    where_.clear();
}

void SelectionList::selectAll(ZN_ShapeManager& page) {
    clear();
    // Read through the const list: marking shapes selected leaves the page's
    // spatial indexes valid.
    const std::vector<ZN_ShapeBase*>& shapes = std::as_const(page).getShapeArray();
    where_.reserve(shapes.size());
    for (ZN_ShapeBase* shape : shapes) {
        shape->setSelected(true);
        add(shape);
    }
}
