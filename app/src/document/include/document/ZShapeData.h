#pragma once
// The document model: one shape manager per page, in page order. The page
// names live in the tabs of the document window, so page i is (tab i,
// managers[i]) and both sequences always move together.

#include <string>
#include <vector>

#include "document/TvxContainer.h"

class PageTabs;
class ZFile;
class ZN_ShapeManager;

class ZShapeData {
public:
    ZShapeData() = default;
    virtual ~ZShapeData();
    ZShapeData(const ZShapeData&) = delete;
    ZShapeData& operator=(const ZShapeData&) = delete;

    int version = kTvxVersion;
    std::vector<ZN_ShapeManager*> managers; // owned, one per page
    PageTabs* tabs = nullptr;               // not owned; holds the page names
    // The file's extension records that belong to no page: kept for its next save.
    std::vector<ZN_UnknownRecord> extensions;

    // Appends a page with an automatic-name flag; returns its index.
    int addPage(const std::string& name);
    // Removes page `index` with its shapes; out-of-range indexes are ignored.
    void removePage(int index);
    int pageCount() const { return static_cast<int>(managers.size()); }
    std::string pageName(int index) const;
    int pageCustomName(int index) const;

    // The pages as the container writer wants them.
    std::vector<TvxPageRef> pageRefs() const;
    bool save(ZFile& file) const;
    // Replaces every page by the pages of a document that was read whole.
    void replacePages(TvxDocument& doc);
};
