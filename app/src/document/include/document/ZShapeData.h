#pragma once
// The document model: its pages in order, each a shape manager with the
// page's name beside it. The document window's tabs observe the model and
// read the names from it, so that a document without a window (a recovery
// copy, the command line, a test) has them all the same.

#include <string>
#include <vector>

#include "document/TvxContainer.h"

class PageObserver;
class ZFile;
class ZN_ShapeManager;

class ZShapeData {
public:
    ZShapeData() = default;
    virtual ~ZShapeData();
    ZShapeData(const ZShapeData&) = delete;
    ZShapeData& operator=(const ZShapeData&) = delete;

    int version = kTvxVersion;
    // Owned, one per page. Pages are added, removed and moved only through
    // the functions below, which keep each page's name beside it.
    std::vector<ZN_ShapeManager*> managers;
    // The file's extension records that belong to no page: kept for its next save.
    std::vector<ZN_UnknownRecord> extensions;

    // Told of every change of the pages or their names; not owned, null
    // for a document without a window.
    void setObserver(PageObserver* observer) { observer_ = observer; }
    PageObserver* observer() const { return observer_; }

    // Appends a page named `name`; `customName` is 1 when the user typed the
    // name, 0 for an automatic one. Returns its index.
    int addPage(const std::string& name, int customName = 0);
    // Removes page `index` with its shapes; out-of-range indexes are ignored.
    void removePage(int index);
    // Swaps two pages with their names; out-of-range indexes are ignored.
    void swapPages(int a, int b);
    int pageCount() const { return static_cast<int>(managers.size()); }
    // The name of page `index` and its flag; "" and 0 out of range.
    std::string pageName(int index) const;
    int pageCustomName(int index) const;
    void setPageName(int index, const std::string& name, int customName);

    // The pages as the container writer wants them.
    std::vector<TvxPageRef> pageRefs() const;
    bool save(ZFile& file) const;
    // Replaces every page by the pages of a document that was read whole,
    // names included.
    void replacePages(TvxDocument& doc);

private:
    struct PageName {
        std::string name;
        int customName = 0;
    };
    void changed() const;

    std::vector<PageName> names_; // beside `managers`, index for index
    PageObserver* observer_ = nullptr;
};
