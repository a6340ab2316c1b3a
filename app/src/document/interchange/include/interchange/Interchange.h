#pragma once
// Maps from and for other programs, chosen by the file's extension: FreeMind
// and Freeplane (.mm), XMind (.xmind, read only), OPML (.opml), Markdown
// (.md) and indented text (.txt). A file read becomes pages of boxes and
// connectors; a page written becomes the format's tree.

#include <QByteArray>

#include <memory>
#include <string>
#include <vector>

#include "interchange/MapTree.h"

class ZImageTexture;
class ZN_ShapeManager;

namespace interchange {

enum class Format { Unknown, Tvx, FreeMind, XMind, Opml, Markdown, Text };

// By the extension, whatever its case.
Format formatOfPath(const std::string& path);
bool canRead(Format format);  // every format but .tvx and Unknown
bool canWrite(Format format); // as canRead, without XMind

struct ImportedPage {
    std::string name;
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
    // "已导入 1 516 个节点；未导入：12 个备注、40 个图标".
    std::string summary() const { return importSummary(nodes, skipped); }
};

// The map the bytes hold, without pages.
bool readMap(const QByteArray& bytes, Format format, MapDocument& out, ReadError& error);

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

// The bytes of a page's trees in a writable format.
QByteArray writeMap(const MapSheet& sheet, Format format);

// Writes the trees of `page` to `path` in the format its extension names,
// replacing the file only when every byte was written. On failure `problem`
// is one line naming the file.
bool exportMapFile(const ZN_ShapeManager& page, const std::string& pageName,
                   const std::string& path, Exported& out, std::string& problem);

} // namespace interchange
