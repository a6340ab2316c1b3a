#include "commands/InterchangeCommands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QStringList>
#include <QStatusBar>

#include <functional>
#include <map>
#include <new>

#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZFile.h>

#include "commands/CommandTarget.h"
#include "commands/ExportCommands.h"
#include "dialogs/CDlgExport.h"
#include "dialogs/CommandPrompts.h"
#include "document/CTavloDoc.h"
#include "document/TvxContainer.h"
#include "interchange/Interchange.h"
#include "interchange/MapPage.h"
#include "interchange/XmlInput.h"

using interchange::Format;

namespace {

QString importFailure(const QString& path, int line, const std::string& reason) {
    QString text = QString("无法导入文件\n%1\n").arg(QDir::toNativeSeparators(path));
    if (line > 0)
        text += QString("第 %1 行：").arg(line);
    return text + QString::fromStdString(reason);
}

Format mapFormat(int exportFormat) {
    switch (exportFormat) {
    case ExportChoices::Mm:
        return Format::FreeMind;
    case ExportChoices::Opml:
        return Format::Opml;
    case ExportChoices::Markdown:
        return Format::Markdown;
    case ExportChoices::Text:
        return Format::Text;
    case ExportChoices::XMind:
        return Format::XMind;
    case ExportChoices::KityMinder:
        return Format::KityMinder;
    case ExportChoices::Mermaid:
        return Format::Mermaid;
    case ExportChoices::PlantUml:
        return Format::PlantUml;
    default:
        return Format::Unknown;
    }
}

} // namespace

bool isImportPath(const QString& path) {
    return interchange::canRead(interchange::formatOfPath(path.toStdString()));
}

bool importMapDocument(const QString& path, TvxDocument& out, QString& summary, QString& problem,
                       bool* outOfMemory) {
    if (outOfMemory)
        *outOfMemory = false;
    const Format format = interchange::formatOfPath(path.toStdString());
    if (!interchange::canRead(format)) {
        problem = importFailure(path, 0, "不是可以导入的文件 (.mm .xmind .opml .md .txt .km .mmd .puml)");
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problem = importFailure(path, 0, file.errorString().toStdString());
        return false;
    }
    // One byte past the limit tells a file that is too large from one that fits.
    const QByteArray bytes = file.read(interchange::kMostInputBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        problem = importFailure(path, 0, file.errorString().toStdString());
        return false;
    }
    interchange::MapDocument map;
    interchange::ReadError error;
    // Pictures a map names are read from beside it.
    if (!interchange::readMap(bytes, format, map, error,
                              QFileInfo(path).absolutePath().toStdString())) {
        if (outOfMemory)
            *outOfMemory = error.outOfMemory;
        problem = importFailure(path, error.line, error.reason);
        return false;
    }
    // A map too large for the memory left is a failed import: nothing of it
    // stays, and the documents already open are as they were.
    try {
        interchange::Imported imported = interchange::pagesOf(map);
        map = interchange::MapDocument();
        TvxDocument doc;
        for (interchange::ImportedPage& page : imported.pages) {
            TvxPage tvx;
            tvx.name = page.name;
            // Only a workbook's sheets carry names of their own.
            tvx.customName = page.named || imported.pages.size() > 1 ? 1 : 0;
            tvx.manager = std::move(page.page);
            doc.pages.push_back(std::move(tvx));
            for (auto& picture : page.pictures)
                doc.images.push_back(std::move(picture));
        }
        summary = QString::fromStdString(imported.summary());
        out = std::move(doc);
    } catch (const std::bad_alloc&) {
        if (outOfMemory)
            *outOfMemory = true;
        problem = importFailure(path, 0, "内存不足，无法打开这个导图");
        return false;
    }
    return true;
}

QString mapExportFilter(int format) {
    switch (format) {
    case ExportChoices::Opml:
        return "OPML 大纲 (*.opml)";
    case ExportChoices::Markdown:
        return "Markdown 文档 (*.md)";
    case ExportChoices::Text:
        return "缩进文本 (*.txt)";
    case ExportChoices::XMind:
        return "XMind 工作簿 (*.xmind)";
    case ExportChoices::KityMinder:
        return "KityMinder 脑图 (*.km)";
    case ExportChoices::Mermaid:
        return "Mermaid 导图 (*.mmd)";
    case ExportChoices::PlantUml:
        return "PlantUML 导图 (*.puml)";
    default:
        return "FreeMind 导图 (*.mm)";
    }
}

namespace {

// What a map holds, by the kinds the import and export messages name.
using Contents = std::map<std::string, int>;

Contents contentsOf(const std::vector<interchange::MapSheet>& sheets) {
    Contents c;
    for (const interchange::MapSheet& sheet : sheets)
        for (const interchange::MapNode& node : sheet.nodes) {
            ++c["节点"];
            c[interchange::kNotes] += node.fields.note.empty() ? 0 : 1;
            c[interchange::kLinks] += node.fields.link.empty() ? 0 : 1;
            c[interchange::kMarkers] += static_cast<int>(node.fields.markers.size());
            c[interchange::kAttributes] += static_cast<int>(node.fields.attributes.size());
            c[interchange::kImages] += node.image.empty() ? 0 : 1;
        }
    return c;
}

// What the map file at `path` holds that the sheets about to replace it
// will not ("606 个备注、40 个图标"); empty when nothing, or when the file
// is no map that can be read.
QString lostByReplacing(const QString& path, const std::vector<interchange::MapSheet>& sheets,
                        const interchange::Skipped& unwritten) {
    const Format format = interchange::formatOfPath(path.toStdString());
    QFile file(path);
    if (!interchange::canRead(format) || !QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    interchange::MapDocument old;
    interchange::ReadError error;
    if (!interchange::readMap(file.read(interchange::kMostInputBytes + 1), format, old, error,
                              QFileInfo(path).absolutePath().toStdString()))
        return {};
    Contents before = contentsOf(old.sheets);
    // What the reader could not take is in the file all the same.
    for (const auto& [kind, count] : old.skipped.items())
        before[kind] += count;
    Contents after = contentsOf(sheets);
    for (const auto& [kind, count] : unwritten.items())
        after[kind] -= count;
    QStringList lost;
    for (const auto& [kind, count] : before)
        if (count > after[kind])
            lost << QString::fromStdString(interchange::groupedNumber(count - after[kind]) + " 个" + kind);
    return lost.join("、");
}

bool exportMapPages(const std::vector<interchange::PageToExport>& pages, int format,
                    const QString& path, QString& summary, QString& failure,
                    const std::function<bool(const QString& lost)>& replaceLosing = {}) {
    const Format to = mapFormat(format);
    if (!interchange::canWrite(to) || pages.empty()) {
        failure = exportFailureText(path, "不是导图格式");
        return false;
    }
    interchange::Skipped skipped;
    std::vector<interchange::MapSheet> sheets;
    int nodes = 0;
    for (std::size_t i = 0; i < (interchange::holdsSheets(to) ? pages.size() : 1); ++i) {
        sheets.push_back(interchange::pageTrees(*pages[i].page, pages[i].name, skipped));
        nodes += static_cast<int>(sheets.back().nodes.size());
    }
    const interchange::MapFiles files =
        interchange::writeMapFiles(sheets, to, path.toStdString(), skipped);
    if (!files.refusal.empty()) {
        failure = exportFailureText(path, QString::fromStdString(files.refusal));
        return false;
    }
    if (replaceLosing) {
        const QString lost = lostByReplacing(path, sheets, skipped);
        if (!lost.isEmpty() && !replaceLosing(lost))
            return false;
    }
    // The pictures beside a map first, then the map itself, each whole.
    for (const interchange::MapFile& picture : files.beside) {
        const QString at = QFileInfo(path).absoluteDir().filePath(QString::fromStdString(picture.path));
        std::string cause;
        if (!QDir().mkpath(QFileInfo(at).absolutePath()) ||
            !ZFile::writeWhole(QFile::encodeName(at).toStdString(), picture.bytes.constData(),
                               static_cast<std::size_t>(picture.bytes.size()), &cause)) {
            failure = exportFailureText(at, QString::fromLocal8Bit(cause.c_str()));
            return false;
        }
    }
    std::string cause;
    if (files.bytes.isEmpty() ||
        !ZFile::writeWhole(QFile::encodeName(path).toStdString(), files.bytes.constData(),
                           static_cast<std::size_t>(files.bytes.size()), &cause)) {
        failure = exportFailureText(path, QString::fromLocal8Bit(cause.c_str()));
        return false;
    }
    summary = QString::fromStdString(interchange::exportSummary(nodes, skipped));
    return true;
}

} // namespace

bool exportMapPage(const ZN_ShapeManager& page, const QString& pageName, int format,
                   const QString& path, QString& summary, QString& failure) {
    return exportMapPages({{pageName.toStdString(), &page}}, format, path, summary, failure);
}

void exportMapCommand(CommandTarget& frame, const ZN_ShapeManager& page, const QString& path,
                      int format) {
    // A workbook holds every page, one sheet each; other maps the page alone.
    std::vector<interchange::PageToExport> pages{{std::string(), &page}};
    if (const CTavloDoc* doc = frame.activeDocument()) {
        const bool all = interchange::holdsSheets(mapFormat(format));
        if (all)
            pages.clear();
        for (const TvxPageRef& ref : doc->shapeData().pageRefs()) {
            if (all)
                pages.push_back({ref.name, ref.manager});
            else if (ref.manager == &page)
                pages.front().name = ref.name;
        }
    }
    QString summary, failure;
    const auto replaceLosing = [&frame, &path](const QString& lost) {
        return commandPrompts().confirm(
            frame.mainWindow(),
            QString("%1 已存在。用导出的文件替换它会失去它现有的：%2。\n仍要替换吗？")
                .arg(QDir::toNativeSeparators(path), lost));
    };
    if (!exportMapPages(pages, format, path, summary, failure, replaceLosing)) {
        if (!failure.isEmpty())
            commandPrompts().warning(frame.mainWindow(), failure);
        return;
    }
    frame.mainWindow()->statusBar()->showMessage(summary);
}
