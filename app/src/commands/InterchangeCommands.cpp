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
        problem = importFailure(path, 0, "不是可以导入的文件 (.mm .xmind .opml .md .txt)");
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
    if (!interchange::readMap(bytes, format, map, error)) {
        problem = importFailure(path, error.line, error.reason);
        return false;
    }
    interchange::Imported imported = interchange::pagesOf(map);
    TvxDocument doc;
    // Only a workbook's sheets carry names of their own.
    const int customName = imported.pages.size() > 1 ? 1 : 0;
    for (interchange::ImportedPage& page : imported.pages) {
        TvxPage tvx;
        tvx.name = page.name;
        tvx.customName = customName;
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
    default:
        return "FreeMind 导图 (*.mm)";
    }
}

bool exportMapPage(const ZN_ShapeManager& page, const QString& pageName, int format,
                   const QString& path, QString& summary, QString& failure) {
    const Format to = mapFormat(format);
    if (!interchange::canWrite(to)) {
        failure = exportFailureText(path, "不是导图格式");
        return false;
    }
    interchange::Skipped skipped;
    const interchange::MapSheet sheet =
        interchange::pageTrees(page, pageName.toStdString(), skipped);
    const QByteArray bytes = interchange::writeMap(sheet, to);
    std::string cause;
    if (!ZFile::writeWhole(QFile::encodeName(path).toStdString(), bytes.constData(),
                           static_cast<std::size_t>(bytes.size()), &cause)) {
        failure = exportFailureText(path, QString::fromLocal8Bit(cause.c_str()));
        return false;
    }
    summary = QString::fromStdString(
        interchange::exportSummary(static_cast<int>(sheet.nodes.size()), skipped));
    return true;
}

void exportMapCommand(CommandTarget& frame, const ZN_ShapeManager& page, const QString& path,
                      int format) {
    QString pageName;
    if (const CTavloDoc* doc = frame.activeDocument()) {
        for (const TvxPageRef& ref : doc->shapeData().pageRefs())
            if (ref.manager == &page)
                pageName = QString::fromStdString(ref.name);
    }
    QString summary, failure;
    if (!exportMapPage(page, pageName, format, path, summary, failure)) {
        commandPrompts().warning(frame.mainWindow(), failure);
        return;
    }
    frame.mainWindow()->statusBar()->showMessage(summary);
}
