#include "interchange/Interchange.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <new>

#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_ShapeManager.h>

#include "interchange/FreeMind.h"
#include "interchange/KityMinder.h"
#include "interchange/MapFields.h"
#include "interchange/MapPage.h"
#include "interchange/Outline.h"
#include "interchange/TextDiagrams.h"
#include "interchange/XMind.h"
#include "interchange/XmlInput.h"

namespace interchange {

ImportedPage::ImportedPage() = default;
ImportedPage::ImportedPage(ImportedPage&&) noexcept = default;
ImportedPage& ImportedPage::operator=(ImportedPage&&) noexcept = default;
ImportedPage::~ImportedPage() = default;

Format formatOfPath(const std::string& path) {
    const QString suffix = QFileInfo(fromUtf8(path)).suffix().toLower();
    if (suffix == u"tvx")
        return Format::Tvx;
    if (suffix == u"mm")
        return Format::FreeMind;
    if (suffix == u"xmind")
        return Format::XMind;
    if (suffix == u"opml")
        return Format::Opml;
    if (suffix == u"md" || suffix == u"markdown")
        return Format::Markdown;
    if (suffix == u"txt")
        return Format::Text;
    if (suffix == u"km")
        return Format::KityMinder;
    if (suffix == u"mmd" || suffix == u"mermaid")
        return Format::Mermaid;
    if (suffix == u"puml" || suffix == u"plantuml" || suffix == u"pu")
        return Format::PlantUml;
    return Format::Unknown;
}

bool canRead(Format format) { return format != Format::Unknown && format != Format::Tvx; }
bool canWrite(Format format) { return canRead(format); }
bool holdsSheets(Format format) { return format == Format::XMind; }

namespace {

void (*g_readProbe)() = nullptr;

bool readFormat(const QByteArray& bytes, Format format, MapDocument& out, ReadError& error,
                const std::string& folder) {
    switch (format) {
    case Format::FreeMind:
        return readFreeMind(bytes, out, error, folder);
    case Format::XMind:
        return readXMind(bytes, out, error);
    case Format::Opml:
        return readOpml(bytes, out, error);
    case Format::Markdown:
        return readMarkdown(bytes, out, error);
    case Format::Text:
        return readIndentedText(bytes, out, error);
    case Format::KityMinder:
        return readKityMinder(bytes, out, error);
    case Format::Mermaid:
        return readMermaid(bytes, out, error);
    case Format::PlantUml:
        return readPlantUml(bytes, out, error);
    default:
        error = {0, "not a format that can be imported"};
        return false;
    }
}

// The deepest node of any tree, counted from 0 at the roots, without recursion.
int deepestLevel(const MapDocument& doc) {
    int deepest = 0;
    for (const MapSheet& sheet : doc.sheets) {
        std::vector<int> level(sheet.nodes.size(), 0);
        // Parents may come after their children in some files: the level is
        // found by walking up once per node, remembering what was found.
        for (std::size_t i = 0; i < sheet.nodes.size(); ++i) {
            if (level[i] > 0 || sheet.nodes[i].parent < 0)
                continue;
            std::vector<int> path;
            int at = static_cast<int>(i);
            while (at >= 0 && level[static_cast<std::size_t>(at)] == 0 &&
                   sheet.nodes[static_cast<std::size_t>(at)].parent >= 0 &&
                   path.size() <= sheet.nodes.size()) {
                path.push_back(at);
                at = sheet.nodes[static_cast<std::size_t>(at)].parent;
            }
            int base = at >= 0 ? level[static_cast<std::size_t>(at)] : 0;
            for (auto it = path.rbegin(); it != path.rend(); ++it)
                level[static_cast<std::size_t>(*it)] = ++base;
            deepest = std::max(deepest, base);
        }
    }
    return deepest;
}

// A label past the bound keeps its first bytes, cut between two characters.
int cutLongLabels(MapDocument& doc) {
    int cut = 0;
    for (MapSheet& sheet : doc.sheets)
        for (MapNode& node : sheet.nodes) {
            if (node.text.size() <= kMostLabelBytes)
                continue;
            std::size_t end = kMostLabelBytes;
            while (end > 0 && (static_cast<unsigned char>(node.text[end]) & 0xC0) == 0x80)
                --end;
            node.text.resize(end);
            node.text.shrink_to_fit();
            ++cut;
        }
    return cut;
}

} // namespace

void setReadProbe(void (*probe)()) {
    g_readProbe = probe;
}

bool readMap(const QByteArray& bytes, Format format, MapDocument& out, ReadError& error,
             const std::string& folder) {
    if (bytes.size() > kMostInputBytes) {
        error = {0, "the file is too large"};
        return false;
    }
    MapDocument doc;
    try {
        const NodeBudget budget(kMostNodes);
        if (g_readProbe)
            g_readProbe();
        if (!readFormat(bytes, format, doc, error, folder))
            return false;
    } catch (const TooManyNodes&) {
        error = {0, "the map has more than " + groupedNumber(kMostNodes) + " nodes"};
        return false;
    } catch (const std::bad_alloc&) {
        error = {0, "there is not enough memory to read the map", true};
        return false;
    }
    if (deepestLevel(doc) > kMostDepth) {
        error = {0, "the map nests deeper than " + groupedNumber(kMostDepth) + " levels"};
        return false;
    }
    doc.cutLabels = cutLongLabels(doc);
    out = std::move(doc);
    return true;
}

Imported pagesOf(const MapDocument& doc) {
    Imported out;
    out.skipped = doc.skipped;
    out.encoding = doc.encoding;
    out.cutLabels = doc.cutLabels;
    out.nodes = doc.nodeCount();
    for (std::size_t i = 0; i < doc.sheets.size(); ++i) {
        const MapSheet& sheet = doc.sheets[i];
        ImportedPage page;
        // Only workbooks name their sheets; other maps fill the first page.
        page.named = sheet.named && !sheet.title.empty();
        page.name = page.named ? sheet.title : "页" + std::to_string(i + 1);
        page.page = buildPage(sheet, &page.pictures);
        out.pages.push_back(std::move(page));
    }
    return out;
}

bool importMapFile(const std::string& path, Imported& out, std::string& problem) {
    const Format format = formatOfPath(path);
    if (!canRead(format)) {
        problem = path + ": not a format that can be imported";
        return false;
    }
    QFile file(fromUtf8(path));
    if (!file.open(QIODevice::ReadOnly)) {
        problem = "cannot open " + path;
        return false;
    }
    const QByteArray bytes = file.read(kMostInputBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        problem = "cannot read " + path;
        return false;
    }
    MapDocument doc;
    ReadError error;
    if (!readMap(bytes, format, doc, error, toUtf8(QFileInfo(fromUtf8(path)).absolutePath()))) {
        problem = path + (error.line > 0 ? ": line " + std::to_string(error.line) : std::string()) +
                  ": " + error.reason;
        return false;
    }
    try {
        out = pagesOf(doc);
    } catch (const std::bad_alloc&) {
        problem = path + ": there is not enough memory for the map's pages";
        return false;
    }
    return true;
}

QByteArray writeMap(const MapSheet& sheet, Format format) {
    switch (format) {
    case Format::FreeMind:
        return writeFreeMind(sheet);
    case Format::Opml:
        return writeOpml(sheet);
    case Format::Markdown:
        return writeMarkdown(sheet);
    case Format::Text:
        return writeIndentedText(sheet);
    case Format::XMind:
        return writeXMind({sheet});
    case Format::KityMinder:
        return writeKityMinder(sheet);
    case Format::Mermaid:
        return writeMermaid(sheet);
    case Format::PlantUml:
        return writePlantUml(sheet);
    default:
        return {};
    }
}

namespace {

unsigned supportedFields(Format format) {
    using F = FieldSupport;
    auto all = [](std::initializer_list<F> fields) {
        unsigned bits = 0;
        for (F f : fields)
            bits |= static_cast<unsigned>(f);
        return bits;
    };
    switch (format) {
    case Format::FreeMind:
        return all({F::Note, F::Link, F::NodeLink, F::Markers, F::Attributes, F::Picture});
    case Format::XMind:
    case Format::KityMinder:
        return all({F::Note, F::Link, F::NodeLink, F::Markers, F::Picture});
    case Format::Opml:
    case Format::Markdown:
        return all({F::Note, F::Link});
    case Format::Mermaid:
        return all({F::Markers});
    default:
        return 0;
    }
}

} // namespace

MapFiles writeMapFiles(const std::vector<MapSheet>& sheets, Format format, const std::string& path,
                       Skipped& skipped) {
    MapFiles files;
    if (sheets.empty() || !canWrite(format))
        return files;
    const std::size_t count = holdsSheets(format) ? sheets.size() : 1;
    // Only FreeMind and XMind hold cross links.
    const bool links = format == Format::FreeMind || format == Format::XMind;
    for (std::size_t i = 0; i < count; ++i) {
        countUnwritten(sheets[i], supportedFields(format), skipped);
        if (!links && !sheets[i].links.empty())
            skipped.add(kLines, static_cast<int>(sheets[i].links.size()));
    }
    if (format == Format::Text || format == Format::Markdown) {
        int deepest = 0;
        walkSheet(sheets.front(), [&deepest](int, int depth) { deepest = std::max(deepest, depth); });
        if (deepest + 1 > kMostOutlineDepth) {
            files.refusal = "the map is " + groupedNumber(deepest + 1) + " levels deep; " +
                            (format == Format::Text ? "indented text" : "a Markdown outline") +
                            " holds at most " + std::to_string(kMostOutlineDepth) + " levels";
            return files;
        }
    }
    if (format == Format::XMind) {
        files.bytes = writeXMind(sheets);
    } else if (format == Format::FreeMind) {
        // Pictures go into a folder named after the map, beside it.
        const std::string folder = toUtf8(QFileInfo(fromUtf8(path)).completeBaseName()) + "_files";
        files.bytes = writeFreeMind(sheets.front(), folder, &files.beside);
    } else {
        files.bytes = writeMap(sheets.front(), format);
    }
    return files;
}

namespace {

// A regular file (or a new one) is replaced whole through a temporary file; a
// device or a pipe is written into directly.
bool writeBytes(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        QFile direct(path);
        return direct.open(QIODevice::WriteOnly) && direct.write(bytes) == bytes.size() &&
               direct.flush() && (direct.close(), direct.error() == QFileDevice::NoError);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

bool saveMapFiles(const std::string& path, const MapFiles& files, std::string& problem) {
    const QFileInfo target(fromUtf8(path));
    for (const MapFile& file : files.beside) {
        const QString beside = target.absoluteDir().filePath(fromUtf8(file.path));
        if (!QDir().mkpath(QFileInfo(beside).absolutePath()) || !writeBytes(beside, file.bytes)) {
            problem = "cannot write " + toUtf8(beside);
            return false;
        }
    }
    if (!writeBytes(fromUtf8(path), files.bytes)) {
        problem = "cannot write " + path;
        return false;
    }
    return true;
}

bool exportMapFile(const std::vector<PageToExport>& pages, const std::string& path, Exported& out,
                   std::string& problem) {
    const Format format = formatOfPath(path);
    if (!canWrite(format) || pages.empty()) {
        problem = path + ": not a format that can be exported";
        return false;
    }
    Exported result;
    std::vector<MapSheet> sheets;
    const std::size_t count = holdsSheets(format) ? pages.size() : 1;
    for (std::size_t i = 0; i < count; ++i) {
        sheets.push_back(pageTrees(*pages[i].page, pages[i].name, result.skipped));
        result.nodes += static_cast<int>(sheets.back().nodes.size());
    }
    const MapFiles files = writeMapFiles(sheets, format, path, result.skipped);
    if (!files.refusal.empty()) {
        problem = path + ": " + files.refusal;
        return false;
    }
    if (!saveMapFiles(path, files, problem))
        return false;
    out = std::move(result);
    return true;
}

bool exportMapFile(const ZN_ShapeManager& page, const std::string& pageName,
                   const std::string& path, Exported& out, std::string& problem) {
    return exportMapFile({{pageName, &page}}, path, out, problem);
}

} // namespace interchange
