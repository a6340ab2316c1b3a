#include "commands/ExportCommands.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMainWindow>
#include <QProgressDialog>
#include <QSettings>

#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZFile.h>

#include "commands/CommandTarget.h"
#include "commands/InterchangeCommands.h"
#include "dialogs/CDlgExport.h"
#include "dialogs/CommandPrompts.h"
#include "document/AppNames.h"
#include "document/CTavloDoc.h"
#include "document/PageExport.h"
#include "view/CTavloView.h"

namespace {

QSettings profile() {
    return QSettings(tavlo::kOrganisation, tavlo::kApplication);
}

// Set on a document once it was exported: later exports start where the
// last one went.
constexpr const char* kExportedOnce = "tavloExportedOnce";

// The same file, through links and other spellings of its path.
bool sameFile(const QString& a, const QString& b) {
    const QFileInfo fa(a), fb(b);
    if (!fa.exists() || !fb.exists())
        return fa.absoluteFilePath() == fb.absoluteFilePath();
    return fa.canonicalFilePath() == fb.canonicalFilePath();
}

} // namespace

QString freeExportName(const QString& folder, const QString& base, const QString& suffix) {
    const QDir dir(folder);
    QString path = dir.filePath(base + "." + suffix);
    for (int n = 2; QFileInfo::exists(path) || QFileInfo(path).isSymLink(); ++n)
        path = dir.filePath(QString("%1 (%2).%3").arg(base).arg(n).arg(suffix));
    return path;
}

QString exportFailureText(const QString& path, const QString& reason) {
    return QString("导出失败，未写入文件 %1。\n%2").arg(QDir::toNativeSeparators(path), reason);
}

ExportChoices loadExportChoices() {
    QSettings s = profile();
    ExportChoices c;
    c.format = std::clamp(s.value("Export/Format", c.format).toInt(), 0, int(ExportChoices::PlantUml));
    c.selectionOnly = s.value("Export/SelectionOnly", c.selectionOnly).toBool();
    const int scale = s.value("Export/Scale", c.scale).toInt();
    c.scale = scale == 200 || scale == 300 ? scale : 100;
    c.transparent = s.value("Export/Transparent", c.transparent).toBool();
    c.allPages = s.value("Export/AllPages", c.allPages).toBool();
    return c;
}

void storeExportChoices(const ExportChoices& c) {
    QSettings s = profile();
    s.setValue("Export/Format", c.format);
    s.setValue("Export/SelectionOnly", c.selectionOnly);
    s.setValue("Export/Scale", c.scale);
    s.setValue("Export/Transparent", c.transparent);
    s.setValue("Export/AllPages", c.allPages);
}

QString loadExportFolder(const QString& documentPath) {
    // Before the first export, the document's own folder is the likeliest place.
    const QString start =
        documentPath.isEmpty() ? QDir::homePath() : QFileInfo(documentPath).absolutePath();
    return profile().value("Export/Folder", start).toString();
}

void storeExportFolder(const QString& folder) {
    profile().setValue("Export/Folder", folder);
}

QString exportSuffix(int format) {
    switch (format) {
    case ExportChoices::Svg:
        return "svg";
    case ExportChoices::Pdf:
        return "pdf";
    case ExportChoices::Mm:
        return "mm";
    case ExportChoices::Opml:
        return "opml";
    case ExportChoices::Markdown:
        return "md";
    case ExportChoices::Text:
        return "txt";
    case ExportChoices::XMind:
        return "xmind";
    case ExportChoices::KityMinder:
        return "km";
    case ExportChoices::Mermaid:
        return "mmd";
    case ExportChoices::PlantUml:
        return "puml";
    default:
        return "png";
    }
}

QString exportFilter(int format) {
    if (ExportChoices::isMap(format))
        return mapExportFilter(format);
    if (format == ExportChoices::Svg)
        return "SVG 图形 (*.svg)";
    if (format == ExportChoices::Pdf)
        return "PDF 文档 (*.pdf)";
    return "PNG 图片 (*.png)";
}

bool exportPage(ZN_ShapeManager& source, const ExportChoices& c, const QString& path,
                const ExportProgress& progress, QString* failure) {
    return exportPages({&source}, c, path, progress, failure);
}

bool exportPages(const std::vector<ZN_ShapeManager*>& sources, const ExportChoices& c,
                 const QString& path, const ExportProgress& progress, QString* failure) {
    failure->clear();
    const int steps = static_cast<int>(sources.size()) + 2;
    const bool transparent = c.format == ExportChoices::Png && c.transparent;
    std::vector<RecordedPage> pages;
    QString reason;
    for (ZN_ShapeManager* source : sources) {
        if (!progress(static_cast<int>(pages.size()) + 1, steps))
            return false;
        RecordedPage recorded;
        if (!recordPage(prepareExportPage(*source, c.selectionOnly), transparent, &recorded,
                        &reason)) {
            *failure = exportFailureText(path, "无法绘制页面：" + reason);
            return false;
        }
        pages.push_back(std::move(recorded));
    }
    if (pages.empty() || !progress(steps - 1, steps))
        return false;

    // The whole file is made in memory first, so that what reaches the disk
    // goes through one write that checks every byte, the sync and the rename.
    QByteArray bytes;
    if (c.format == ExportChoices::Svg) {
        bytes = pageSvg(pages.front());
    } else if (c.format == ExportChoices::Pdf) {
        if (!pdfDocument(pages, c.title, &bytes, &reason)) {
            *failure = exportFailureText(path, reason);
            return false;
        }
    } else {
        const QImage image = pageImage(pages.front(), c.scale / 100.0);
        if (image.isNull()) {
            *failure = exportFailureText(path, "图片太大");
            return false;
        }
        bytes = pngFile(transparent ? image : image.convertToFormat(QImage::Format_RGB888));
    }
    // The last chance to cancel: nothing is at `path` until the write.
    if (!progress(steps, steps))
        return false;
    std::string cause;
    if (!ZFile::writeWhole(QFile::encodeName(path).toStdString(), bytes.constData(),
                           static_cast<std::size_t>(bytes.size()), &cause)) {
        *failure = exportFailureText(path, QString::fromLocal8Bit(cause.c_str()));
        return false;
    }
    return true;
}

namespace handlers {

void fileExport(CommandTarget& frame, int) {
    CTavloView* view = frame.activeView();
    ZN_ShapeManager* page = view ? view->getCurrentPage() : nullptr;
    if (!page)
        return;

    CDlgExport dialog(frame.mainWindow());
    dialog.choices = loadExportChoices();
    dialog.selectionAvailable = !view->getSelection().empty();
    if (!commandPrompts().runDialog(dialog))
        return;
    ExportChoices choices = dialog.choices;
    storeExportChoices(choices);
    if (choices.selectionOnly && view->getSelection().empty())
        choices.selectionOnly = false;

    CTavloDoc* doc = frame.activeDocument();
    QString name = doc ? QFileInfo(doc->title()).completeBaseName() : QString();
    if (name.isEmpty())
        name = "导出";
    const QString source = doc ? doc->importSource() : QString();
    // A map imported and not exported yet: beside the file it came from,
    // under a name that is not taken (never the file itself).
    const bool besideSource = !source.isEmpty() && !doc->property(kExportedOnce).toBool();
    const QString folder = besideSource ? QFileInfo(source).absolutePath()
                                        : loadExportFolder(doc ? doc->pathName() : QString());
    const QString start = freeExportName(folder, name, exportSuffix(choices.format));
    QString path =
        commandPrompts().exportPath(frame.mainWindow(), start, exportFilter(choices.format));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += "." + exportSuffix(choices.format);
    if (!source.isEmpty() && sameFile(path, source)) {
        const QFileInfo chosen(path);
        commandPrompts().warning(
            frame.mainWindow(),
            QString("不能导出到 %1：这个文档就是从它导入的，导入时未能保留的内容会随之丢失。\n"
                    "请换一个文件名，例如 %2。")
                .arg(QDir::toNativeSeparators(path),
                     QFileInfo(freeExportName(chosen.absolutePath(), chosen.completeBaseName(),
                                              chosen.suffix()))
                         .fileName()));
        return;
    }
    storeExportFolder(QFileInfo(path).absolutePath());
    if (doc)
        doc->setProperty(kExportedOnce, true);

    std::vector<ZN_ShapeManager*> pages{page};
    if (choices.allPages && choices.format == ExportChoices::Pdf && doc) {
        pages.clear();
        for (const TvxPageRef& ref : doc->shapeData().pageRefs())
            pages.push_back(ref.manager);
        choices.selectionOnly = false;
    }
    if (doc)
        choices.title = doc->title();
    if (ExportChoices::isMap(choices.format)) {
        exportMapCommand(frame, *page, path, choices.format);
        return;
    }

    QProgressDialog progress("正在导出...", "取消", 0, 3, frame.mainWindow());
    progress.setWindowTitle("导出");
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    const ExportProgress step = [&progress](int done, int steps) {
        progress.setMaximum(steps);
        progress.setValue(done);
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    };
    QString failure;
    if (!exportPages(pages, choices, path, step, &failure) && !failure.isEmpty())
        commandPrompts().warning(frame.mainWindow(), failure);
}

} // namespace handlers
