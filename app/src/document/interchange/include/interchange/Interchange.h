#pragma once
// Maps from and for other programs, chosen by the file's extension: FreeMind
// and Freeplane (.mm), XMind (.xmind), OPML (.opml), Markdown (.md),
// indented text (.txt), KityMinder (.km), Mermaid mind maps (.mmd) and
// PlantUML mind maps (.puml). A file read becomes pages of boxes and
// connectors; a page written becomes the format's tree.

#include <QByteArray>

#include <memory>
#include <string>
#include <vector>

#include "interchange/FreeMind.h"
#include "interchange/MapTree.h"

class ZImageTexture;
class ZN_ShapeManager;

namespace interchange {

// The numbers stay: the fuzz targets name the readers by them.
enum class Format { Unknown, Tvx, FreeMind, XMind, Opml, Markdown, Text, KityMinder, Mermaid, PlantUml };

// By the extension, whatever its case.
Format formatOfPath(const std::string& path);
bool canRead(Format format);  // every format but .tvx and Unknown
bool canWrite(Format format); // as canRead
// XMind holds every page of a document, one sheet each; the others hold one.
bool holdsSheets(Format format);

struct ImportedPage {
    std::string name;
    bool named = false; // the file gave the name (a workbook's sheet)
    std::unique_ptr<ZN_ShapeManager> page;
    // The pictures the page's boxes show; the page does not own them, so they
    // go wherever the page goes (a document's pictures).
    std::vector<std::unique_ptr<ZImageTexture>> pictures;

    ImportedPage();
    ImportedPage(ImportedPage&&) noexcept;
    ImportedPage& operator=(ImportedPage&&) noexcept;
    ~ImportedPage();
};

struct Imported {
    std::vector<ImportedPage> pages;
    int nodes = 0;
    Skipped skipped;
    std::string encoding; // as MapDocument's
    int cutLabels = 0;
    // "已导入 1 516 个节点；未导入：12 个备注、40 个图标".
    std::string summary() const { return importSummary(nodes, skipped, encoding, cutLabels); }
};

// The map the bytes hold, without pages. Files a map refers to (pictures)
// are looked for relative to `folder`, the map's own folder; with none, not
// at all. A map of more than kMostNodes nodes or deeper than kMostDepth
// levels is refused, as is one that runs out of memory; labels longer than
// kMostLabelBytes are cut.
// Called at the start of every read when set: lets a test make a read fail
// as one that runs out of memory does. Null by default.
void setReadProbe(void (*probe)());

bool readMap(const QByteArray& bytes, Format format, MapDocument& out, ReadError& error,
             const std::string& folder = {});

// Reads a file of a readable format into new pages. On failure `problem` is
// one line naming the file and, where it applies, the line.
bool importMapFile(const std::string& path, Imported& out, std::string& problem);

// The pages for a map already read.
Imported pagesOf(const MapDocument& doc);

struct Exported {
    int nodes = 0;
    Skipped skipped;
    std::string summary() const { return exportSummary(nodes, skipped); }
};

// The bytes of a page's trees in a writable format, pictures left out where
// the format keeps them in files of their own.
QByteArray writeMap(const MapSheet& sheet, Format format);

// A map as written: the file itself and the files that go beside it.
struct MapFiles {
    QByteArray bytes;
    std::vector<MapFile> beside; // paths relative to the file's folder
    // Why nothing was written (a map the format cannot hold); empty otherwise.
    std::string refusal;
};

// The sheets for a file named `path`: all of them where the format holds
// several, else the first. What the format cannot hold is counted in
// `skipped`.
MapFiles writeMapFiles(const std::vector<MapSheet>& sheets, Format format, const std::string& path,
                       Skipped& skipped);

// Writes `files` at `path`: the files beside first, then the file itself,
// each replaced only when every byte was written.
bool saveMapFiles(const std::string& path, const MapFiles& files, std::string& problem);

// A document's page, as the exports take it.
struct PageToExport {
    std::string name;
    const ZN_ShapeManager* page = nullptr;
};

// Writes the trees of the pages to `path` in the format its extension names
// (only the first page where the format holds one). On failure `problem` is
// one line naming the file.
bool exportMapFile(const std::vector<PageToExport>& pages, const std::string& path, Exported& out,
                   std::string& problem);
bool exportMapFile(const ZN_ShapeManager& page, const std::string& pageName,
                   const std::string& path, Exported& out, std::string& problem);

} // namespace interchange
