#include "commands/ExportCommands.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QProgressDialog>
#include <QSaveFile>
#include <QSettings>

#include <sarvik/ZN_ShapeManager.h>

#include "commands/CommandTarget.h"
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

QString failureText(const QString& path, const QString& reason) {
    return QString("导出失败，未写入文件 %1。\n%2").arg(QDir::toNativeSeparators(path), reason);
}

} // namespace

ExportChoices loadExportChoices() {
    QSettings s = profile();
    ExportChoices c;
    c.format = std::clamp(s.value("Export/Format", c.format).toInt(), 0, 2);
    c.selectionOnly = s.value("Export/SelectionOnly", c.selectionOnly).toBool();
    const int scale = s.value("Export/Scale", c.scale).toInt();
    c.scale = scale == 200 || scale == 300 ? scale : 100;
    c.transparent = s.value("Export/Transparent", c.transparent).toBool();
    return c;
}

void storeExportChoices(const ExportChoices& c) {
    QSettings s = profile();
    s.setValue("Export/Format", c.format);
    s.setValue("Export/SelectionOnly", c.selectionOnly);
    s.setValue("Export/Scale", c.scale);
    s.setValue("Export/Transparent", c.transparent);
}

QString loadExportFolder() {
    return profile().value("Export/Folder", QDir::homePath()).toString();
}

void storeExportFolder(const QString& folder) {
    profile().setValue("Export/Folder", folder);
}

QString exportSuffix(int format) {
    return format == ExportChoices::Svg ? "svg" : format == ExportChoices::Pdf ? "pdf" : "png";
}

QString exportFilter(int format) {
    if (format == ExportChoices::Svg)
        return "SVG 图形 (*.svg)";
    if (format == ExportChoices::Pdf)
        return "PDF 文档 (*.pdf)";
    return "PNG 图片 (*.png)";
}

bool exportPage(ZN_ShapeManager& source, const ExportChoices& c, const QString& path,
                const ExportProgress& progress, QString* failure) {
    failure->clear();
    constexpr int kSteps = 3;
    const ExportPage page = prepareExportPage(source, c.selectionOnly);
    if (!progress(1, kSteps))
        return false;
    const bool transparent = c.format == ExportChoices::Png && c.transparent;
    RecordedPage recorded;
    QString reason;
    if (!recordPage(page, transparent, &recorded, &reason)) {
        *failure = failureText(path, "无法绘制页面：" + reason);
        return false;
    }
    if (!progress(2, kSteps))
        return false;

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *failure = failureText(path, file.errorString());
        return false;
    }
    bool written = false;
    if (c.format == ExportChoices::Svg) {
        const QByteArray svg = pageSvg(recorded);
        written = file.write(svg) == svg.size();
    } else if (c.format == ExportChoices::Pdf) {
        written = writePdfPages({recorded}, &file, &reason);
    } else {
        const QImage image = pageImage(recorded, c.scale / 100.0);
        if (image.isNull())
            reason = "图片太大";
        else
            written = (transparent ? image : image.convertToFormat(QImage::Format_RGB888))
                          .save(&file, "PNG");
    }
    if (!written) {
        file.cancelWriting();
        *failure = failureText(path, reason.isEmpty() ? file.errorString() : reason);
        return false;
    }
    // The last chance to cancel: nothing is at `path` until the commit.
    if (!progress(3, kSteps)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *failure = failureText(path, file.errorString());
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

    const CTavloDoc* doc = frame.activeDocument();
    QString name = doc ? QFileInfo(doc->title()).completeBaseName() : QString();
    if (name.isEmpty())
        name = "导出";
    const QString start =
        QDir(loadExportFolder()).filePath(name + "." + exportSuffix(choices.format));
    QString path = commandPrompts().exportPath(frame.mainWindow(), start, exportFilter(choices.format));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += "." + exportSuffix(choices.format);
    storeExportFolder(QFileInfo(path).absolutePath());

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
    if (!exportPage(*page, choices, path, step, &failure) && !failure.isEmpty())
        commandPrompts().warning(frame.mainWindow(), failure);
}

} // namespace handlers
