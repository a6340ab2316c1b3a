// Maps of other programs, one reader per target (FUZZ_MAP_FORMAT names it):
// a map that is read becomes a page, and the page's trees are written out
// and read back with the same number of nodes; a refused file says why. A
// KityMinder, Mermaid or PlantUML map also reads back whole from its own
// format. What any writer makes of a map read stays proportional to it.
//
// An XMind workbook is a zip archive, and a search that mutates archives mostly
// breaks their directory or their compressed bytes. Bytes that do not start as
// an archive are taken as the workbook's content instead, stored in an archive
// of that one entry: content.json when they start as JSON, else content.xml.

#include <sarvik/ZN_ShapeManager.h>

#include <cstddef>
#include <cstdint>

#include "interchange/Interchange.h"
#include "interchange/MapPage.h"

#include "FuzzCheck.h"

namespace {

std::uint32_t crc32Of(const char* data, std::size_t size) {
    std::uint32_t crc = 0xffffffffu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= static_cast<std::uint8_t>(data[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void put16(QByteArray& out, std::uint32_t v) {
    out.append(static_cast<char>(v & 0xff));
    out.append(static_cast<char>((v >> 8) & 0xff));
}

void put32(QByteArray& out, std::uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

// A zip archive holding `content` uncompressed as its one entry `name`.
QByteArray storedArchive(const QByteArray& content, const char* name) {
    const QByteArray entry(name);
    const std::uint32_t crc = crc32Of(content.constData(), static_cast<std::size_t>(content.size()));
    const auto size = static_cast<std::uint32_t>(content.size());
    const auto nameSize = static_cast<std::uint32_t>(entry.size());
    QByteArray zip;
    put32(zip, 0x04034b50); // local header
    put16(zip, 20);
    put16(zip, 0);          // flags
    put16(zip, 0);          // stored
    put32(zip, 0);          // time and date
    put32(zip, crc);
    put32(zip, size);
    put32(zip, size);
    put16(zip, nameSize);
    put16(zip, 0);
    zip += entry;
    zip += content;
    const auto directory = static_cast<std::uint32_t>(zip.size());
    put32(zip, 0x02014b50); // central directory
    put16(zip, 20);
    put16(zip, 20);
    put16(zip, 0);
    put16(zip, 0);
    put32(zip, 0);
    put32(zip, crc);
    put32(zip, size);
    put32(zip, size);
    put16(zip, nameSize);
    put16(zip, 0);          // extra
    put16(zip, 0);          // comment
    put16(zip, 0);          // disk
    put16(zip, 0);          // internal attributes
    put32(zip, 0);          // external attributes
    put32(zip, 0);          // offset of the local header
    zip += entry;
    const auto directorySize = static_cast<std::uint32_t>(zip.size()) - directory;
    put32(zip, 0x06054b50); // end of the directory
    put16(zip, 0);
    put16(zip, 0);
    put16(zip, 1);
    put16(zip, 1);
    put32(zip, directorySize);
    put32(zip, directory);
    put16(zip, 0);
    return zip;
}

QByteArray asWorkbook(const QByteArray& bytes) {
    if (bytes.startsWith("PK"))
        return bytes;
    const QByteArray start = bytes.trimmed();
    const bool json = start.startsWith('{') || start.startsWith('[');
    return storedArchive(bytes, json ? "content.json" : "content.xml");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace interchange;
    const Format format = static_cast<Format>(FUZZ_MAP_FORMAT);
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (format == Format::XMind)
        bytes = asWorkbook(bytes);
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
