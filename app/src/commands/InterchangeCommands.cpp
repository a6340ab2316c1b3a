#include "commands/InterchangeCommands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QStatusBar>

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

bool importMapDocument(const QString& path, TvxDocument& out, QString& summary, QString& problem) {
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
        problem = importFailure(path, error.line, error.reason);
        return false;
    }
    interchange::Imported imported = interchange::pagesOf(map);
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

bool exportMapPages(const std::vector<interchange::PageToExport>& pages, int format,
                    const QString& path, QString& summary, QString& failure) {
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
    if (!exportMapPages(pages, format, path, summary, failure)) {
        commandPrompts().warning(frame.mainWindow(), failure);
        return;
    }
    frame.mainWindow()->statusBar()->showMessage(summary);
}
