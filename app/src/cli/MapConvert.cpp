#include "cli/MapConvert.h"

#include <ostream>

#include <sarvik/ZN_ShapeManager.h>

#include "document/TvxContainer.h"
#include "interchange/Interchange.h"

using interchange::Format;

namespace {

constexpr int kExitFailure = 2;

int fail(std::ostream& err, const std::string& message) {
    err << "Tavlo: " << message << '\n';
    return kExitFailure;
}

// The pages read, whichever kind of file they came from.
struct ReadPages {
    TvxDocument tvx;
    interchange::Imported imported;
    std::vector<TvxPageRef> refs;
};

int readPages(const std::string& in, ReadPages& pages, std::ostream& err) {
    if (interchange::formatOfPath(in) == Format::Tvx) {
        const TvxStatus status = readTvxFile(in, pages.tvx);
        if (status == TvxStatus::CannotOpen)
            return fail(err, "cannot open " + in);
        if (status != TvxStatus::Ok)
            return fail(err, in + ": " + tvxStatusMessage(status));
        for (TvxPage& page : pages.tvx.pages)
            pages.refs.push_back({page.name, page.customName, page.manager.get()});
        return 0;
    }
    std::string problem;
    if (!interchange::importMapFile(in, pages.imported, problem))
        return fail(err, problem);
    const bool several = pages.imported.pages.size() > 1;
    for (interchange::ImportedPage& page : pages.imported.pages)
        pages.refs.push_back({page.name, several || page.named ? 1 : 0, page.page.get()});
    return 0;
}

} // namespace

bool isMapConversion(const std::string& in, const std::string& out) {
    return interchange::formatOfPath(in) != Format::Tvx ||
           interchange::formatOfPath(out) != Format::Tvx;
}

int convertMap(const std::string& in, const std::string& outPath, int page, std::ostream& out,
               std::ostream& err) {
    const Format from = interchange::formatOfPath(in);
    const Format to = interchange::formatOfPath(outPath);
    if (from != Format::Tvx && !interchange::canRead(from))
        return fail(err, in + ": cannot convert from this kind of file "
                              "(.tvx .mm .xmind .opml .md .txt .km .mmd .puml)");
    if (to != Format::Tvx && !interchange::canWrite(to))
        return fail(err, outPath + ": cannot convert to this kind of file "
                                   "(.tvx .mm .xmind .opml .md .txt .km .mmd .puml)");
    if (to == Format::Tvx && page > 0)
        return fail(err, "--page goes with --convert only when OUT is not a .tvx file");
    ReadPages pages;
    if (const int status = readPages(in, pages, err))
        return status;
    if (to == Format::Tvx) {
        std::string reason;
        if (!writeTvxFile(outPath, pages.refs, &reason))
            return fail(err, reason);
        if (from != Format::Tvx)
            out << pages.imported.summary() << '\n';
        return 0;
    }
    const int count = static_cast<int>(pages.refs.size());
    const int chosen = page > 0 ? page : 1;
    if (chosen > count)
        return fail(err, "page " + std::to_string(chosen) + " does not exist; the file has " +
                             std::to_string(count) + " pages");
    // A workbook takes every page unless one is asked for.
    std::vector<interchange::PageToExport> chosenPages;
    for (int i = 0; i < count; ++i)
        if (i + 1 == chosen || (page <= 0 && interchange::holdsSheets(to)))
            chosenPages.push_back({pages.refs[static_cast<std::size_t>(i)].name,
                                   pages.refs[static_cast<std::size_t>(i)].manager});
    interchange::Exported exported;
    std::string problem;
    if (!interchange::exportMapFile(chosenPages, outPath, exported, problem))
        return fail(err, problem);
    out << exported.summary() << '\n';
    return 0;
}
