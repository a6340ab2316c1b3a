#include "view/SelectionList.h"

#include <utility>
#include <vector>

#include <sarvik/ZN_ShapeBase.h>
#include <sarvik/ZN_ShapeManager.h>

void SelectionList::index() const {
    if (indexed_)
        return;
    where_.reserve(list_.size());
    for (auto it = list_.cbegin(); it != list_.cend(); ++it)
        where_.emplace(*it, it);
    indexed_ = true;
}

bool SelectionList::contains(const ZN_ShapeBase* shape) const {
    index();
    return where_.count(shape) != 0;
}

bool SelectionList::add(ZN_ShapeBase* shape) {
    if (!shape)
        return false;
    index();
    const auto [at, added] = where_.try_emplace(shape, list_.cend());
    if (!added)
        return false;
    at->second = list_.insert(list_.end(), shape);
    return true;
}

bool SelectionList::remove(const ZN_ShapeBase* shape) {
    index();
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
    indexed_ = true;
}

void SelectionList::selectAll(ZN_ShapeManager& page) {
    clear();
    // Read through the const list: marking shapes selected leaves the page's
    // spatial indexes valid.
    // A page lists each shape once, so nothing needs looking up here.
    const std::vector<ZN_ShapeBase*>& shapes = std::as_const(page).getShapeArray();
    for (ZN_ShapeBase* shape : shapes) {
        shape->setSelected(true);
        list_.push_back(shape);
    }
    indexed_ = list_.empty();
}
