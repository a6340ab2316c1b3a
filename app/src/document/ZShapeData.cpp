#include "document/ZShapeData.h"

#include <utility>

#include <sarvik/ZN_ShapeManager.h>

#include "document/PageObserver.h"

ZShapeData::~ZShapeData() {
    for (ZN_ShapeManager* manager : managers)
        delete manager;
}

void ZShapeData::changed() const {
    if (observer_)
        observer_->pagesChanged();
}

int ZShapeData::addPage(const std::string& name, int customName) {
    managers.push_back(new ZN_ShapeManager);
    names_.push_back({name, customName});
    changed();
    return pageCount() - 1;
}

void ZShapeData::removePage(int index) {
    if (index < 0 || index >= pageCount())
        return;
    delete managers[static_cast<std::size_t>(index)];
    managers.erase(managers.begin() + index);
    names_.erase(names_.begin() + index);
    changed();
}

void ZShapeData::swapPages(int a, int b) {
    if (a < 0 || b < 0 || a >= pageCount() || b >= pageCount())
        return;
    std::swap(managers[static_cast<std::size_t>(a)], managers[static_cast<std::size_t>(b)]);
    std::swap(names_[static_cast<std::size_t>(a)], names_[static_cast<std::size_t>(b)]);
    changed();
}

std::string ZShapeData::pageName(int index) const {
    if (index < 0 || index >= static_cast<int>(names_.size()))
        return {};
    return names_[static_cast<std::size_t>(index)].name;
}

int ZShapeData::pageCustomName(int index) const {
    if (index < 0 || index >= static_cast<int>(names_.size()))
        return 0;
    return names_[static_cast<std::size_t>(index)].customName;
}

void ZShapeData::setPageName(int index, const std::string& name, int customName) {
    if (index < 0 || index >= static_cast<int>(names_.size()))
        return;
    names_[static_cast<std::size_t>(index)] = {name, customName};
    changed();
}

std::vector<TvxPageRef> ZShapeData::pageRefs() const {
    std::vector<TvxPageRef> refs;
    for (int i = 0; i < pageCount(); ++i)
        refs.push_back({pageName(i), pageCustomName(i), managers[static_cast<std::size_t>(i)]});
    return refs;
}

bool ZShapeData::save(ZFile& file) const { return writeTvx(file, pageRefs(), extensions); }

void ZShapeData::replacePages(TvxDocument& doc) {
    // The new pages go in first, so that the document never has no page.
    const int old = pageCount();
    for (TvxPage& page : doc.pages) {
        const int index = addPage(page.name, page.customName);
        delete managers[static_cast<std::size_t>(index)];
        managers[static_cast<std::size_t>(index)] = page.manager.release();
    }
    for (int i = 0; i < old; ++i)
        removePage(0);
    doc.pages.clear();
    extensions = std::move(doc.extensions);
}
