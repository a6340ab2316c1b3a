#include "document/ZShapeData.h"

#include <sarvik/ZN_ShapeManager.h>

#include "document/PageTabs.h"

ZShapeData::~ZShapeData() {
    for (ZN_ShapeManager* manager : managers)
        delete manager;
}

int ZShapeData::addPage(const std::string& name) {
    managers.push_back(new ZN_ShapeManager);
    if (tabs)
        tabs->addTab(name);
    return pageCount() - 1;
}

void ZShapeData::removePage(int index) {
    if (index < 0 || index >= pageCount())
        return;
    if (tabs)
        tabs->removeTab(index);
    delete managers[static_cast<std::size_t>(index)];
    managers.erase(managers.begin() + index);
}

std::string ZShapeData::pageName(int index) const {
    if (!tabs || index < 0 || index >= tabs->tabCount())
        return {};
    return tabs->tabName(index);
}

int ZShapeData::pageCustomName(int index) const {
    if (!tabs || index < 0 || index >= tabs->tabCount())
        return 0;
    return tabs->tabCustomName(index);
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
        const int index = addPage(page.name);
        delete managers[static_cast<std::size_t>(index)];
        managers[static_cast<std::size_t>(index)] = page.manager.release();
        if (tabs)
            tabs->setTabCustomName(index, page.customName);
    }
    for (int i = 0; i < old; ++i)
        removePage(0);
    doc.pages.clear();
    extensions = std::move(doc.extensions);
}
