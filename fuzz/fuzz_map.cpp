// Maps of other programs, one reader per target (FUZZ_MAP_FORMAT names it):
// a map that is read becomes a page, and the page's trees are written out
// and read back with the same number of nodes; a refused file says why. A
// KityMinder, Mermaid or PlantUML map also reads back whole from its own
// format. What any writer makes of a map read stays proportional to it.

#include <sarvik/ZN_ShapeManager.h>

#include <cstddef>
#include <cstdint>

#include "interchange/Interchange.h"
#include "interchange/MapPage.h"

#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace interchange;
    const Format format = static_cast<Format>(FUZZ_MAP_FORMAT);
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    MapDocument doc;
    ReadError error;
    if (!readMap(bytes, format, doc, error)) {
        FUZZ_CHECK(!error.reason.empty());
        return 0;
    }
    // Every writer's bytes stay within a small multiple of what was read: a
    // fixed cost a node (tags, capped indentation) and a few bytes for each
    // byte of text (escapes). Anything more grows faster than its map.
    const std::size_t nodes = static_cast<std::size_t>(doc.nodeCount());
    if (nodes <= 5000) {
        for (const MapSheet& sheet : doc.sheets)
            for (const Format to : {Format::FreeMind, Format::Opml, Format::Markdown, Format::Text,
                                    Format::XMind, Format::KityMinder, Format::Mermaid, Format::PlantUml}) {
                Skipped unwritten;
                const MapFiles files = writeMapFiles({sheet}, to, "fuzz", unwritten);
                FUZZ_CHECK(static_cast<std::size_t>(files.bytes.size()) <=
                           16 * size + 640 * sheet.nodes.size() + 8192);
            }
    }
    // The newer formats' writers give back what their readers read.
    if (format == Format::KityMinder || format == Format::Mermaid || format == Format::PlantUml) {
        for (const MapSheet& sheet : doc.sheets) {
            MapDocument again;
            ReadError error2;
            FUZZ_CHECK(readMap(writeMap(sheet, format), format, again, error2));
            FUZZ_CHECK(again.nodeCount() == static_cast<int>(sheet.nodes.size()));
        }
    }
    // Pages cost a rasterised label per node; small maps show the same faults.
    if (doc.nodeCount() > 300)
        return 0;
    const Imported imported = pagesOf(doc);
    FUZZ_CHECK(imported.pages.size() == doc.sheets.size());
    for (std::size_t i = 0; i < imported.pages.size(); ++i) {
        Skipped skipped;
        const MapSheet trees = pageTrees(*imported.pages[i].page, "p", skipped);
        FUZZ_CHECK(trees.nodes.size() == doc.sheets[i].nodes.size());
        MapDocument back;
        ReadError again;
        FUZZ_CHECK(readMap(writeMap(trees, Format::FreeMind), Format::FreeMind, back, again));
        // A root made up for several trees is taken away again on reading.
        FUZZ_CHECK(back.nodeCount() == static_cast<int>(trees.nodes.size()));
    }
    return 0;
}
