#pragma once
// 文件 > 导出...: the current page or the selection as a PNG picture, an SVG
// drawing or a PDF document, chosen in CDlgExport. The choices and the last
// folder are kept in the profile. A file is written whole or not at all.

#include <functional>
#include <vector>

#include <QString>

#include "dialogs/CDlgExport.h"

class CommandTarget;
class ZN_ShapeManager;

ExportChoices loadExportChoices();
void storeExportChoices(const ExportChoices& choices);
// The folder of the last export; at first the folder of `documentPath` (the
// home folder for an untitled document).
QString loadExportFolder(const QString& documentPath = QString());
void storeExportFolder(const QString& folder);

// "导出失败，未写入文件 <path>。" and why.
QString exportFailureText(const QString& path, const QString& reason);

// "folder/base.suffix", or "folder/base (2).suffix" and on where that is
// taken: a name the first export of an imported map can use without
// replacing anything.
QString freeExportName(const QString& folder, const QString& base, const QString& suffix);

// The file name suffix and the save dialog's filter of a format.
QString exportSuffix(int format);
QString exportFilter(int format);

// Called after each step of `steps`; false cancels the export.
using ExportProgress = std::function<bool(int step, int steps)>;

// Writes `page` to `path` as the choices say. False when it failed, with the
// message the user sees in *failure, or when cancelled, with *failure empty;
// either way nothing is left at `path` that was not there before.
bool exportPage(ZN_ShapeManager& page, const ExportChoices& choices, const QString& path,
                const ExportProgress& progress, QString* failure);
// The same for several pages: a PDF gets one PDF page each, the other formats
// take the first.
bool exportPages(const std::vector<ZN_ShapeManager*>& pages, const ExportChoices& choices,
                 const QString& path, const ExportProgress& progress, QString* failure);

namespace handlers {
void fileExport(CommandTarget& frame, int id);
} // namespace handlers
