#include "interchange/Interchange.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_ShapeManager.h>

#include "interchange/FreeMind.h"
#include "interchange/MapPage.h"
#include "interchange/Outline.h"
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
    return Format::Unknown;
}

bool canRead(Format format) { return format != Format::Unknown && format != Format::Tvx; }
bool canWrite(Format format) { return canRead(format) && format != Format::XMind; }

bool readMap(const QByteArray& bytes, Format format, MapDocument& out, ReadError& error) {
    if (bytes.size() > kMostInputBytes) {
        error = {0, "the file is too large"};
        return false;
    }
    switch (format) {
    case Format::FreeMind:
        return readFreeMind(bytes, out, error);
    case Format::XMind:
        return readXMind(bytes, out, error);
    case Format::Opml:
        return readOpml(bytes, out, error);
    case Format::Markdown:
        return readMarkdown(bytes, out, error);
    case Format::Text:
        return readIndentedText(bytes, out, error);
    default:
        error = {0, "not a format that can be imported"};
        return false;
    }
}

Imported pagesOf(const MapDocument& doc) {
    Imported out;
    out.skipped = doc.skipped;
    out.nodes = doc.nodeCount();
    for (std::size_t i = 0; i < doc.sheets.size(); ++i) {
        const MapSheet& sheet = doc.sheets[i];
        ImportedPage page;
        // Only workbooks name their sheets; other maps fill the first page.
        page.name = doc.sheets.size() > 1 && !sheet.title.empty() ? sheet.title
                    : doc.sheets.size() > 1                      ? "页" + std::to_string(i + 1)
                                                                 : "页1";
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
    if (!readMap(bytes, format, doc, error)) {
        problem = path + (error.line > 0 ? ": line " + std::to_string(error.line) : std::string()) +
                  ": " + error.reason;
        return false;
    }
    out = pagesOf(doc);
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
    default:
        return {};
    }
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

bool exportMapFile(const ZN_ShapeManager& page, const std::string& pageName,
                   const std::string& path, Exported& out, std::string& problem) {
    const Format format = formatOfPath(path);
    if (!canWrite(format)) {
        problem = path + ": not a format that can be exported";
        return false;
    }
    Exported result;
    const MapSheet sheet = pageTrees(page, pageName, result.skipped);
    result.nodes = static_cast<int>(sheet.nodes.size());
    if (!writeBytes(fromUtf8(path), writeMap(sheet, format))) {
        problem = "cannot write " + path;
        return false;
    }
    out = std::move(result);
    return true;
}

} // namespace interchange
