#pragma once
// The editor's side of the maps of other programs: 文件 > 导入... and opening
// such a map, exporting a page's trees as one, 复制为文本, 粘贴为树 and 自动布局.

#include <QString>

#include <list>
#include <memory>

#include <rulmek/rulmek.h>

class CommandTarget;
class QMimeData;
class ZN_ShapeBase;
class CTavloView;
class ZN_ShapeManager;
struct TvxDocument;

// Whether `path` names a map of another program that the editor imports
// rather than opens (.mm .xmind .opml .md .txt .km .mmd .puml).
bool isImportPath(const QString& path);

// Reads such a map into pages. On success `summary` is what the editor says
// once ("已导入 1 516 个节点；未导入：12 个备注"); on failure `problem` is the
// one message the user sees, naming the file and, where it applies, the line.
// `outOfMemory`, when given, tells a read that ran out of memory.
bool importMapDocument(const QString& path, TvxDocument& out, QString& summary, QString& problem,
                       bool* outOfMemory = nullptr);

// Writes the trees of `page` to `path` in the map format of `format`
// (ExportChoices::Mm and up), whole or not at all. On success `summary` counts
// the nodes and the shapes left out; on failure `failure` says why. Pictures
// that the format keeps in files of their own are written beside `path`.
bool exportMapPage(const ZN_ShapeManager& page, const QString& pageName, int format,
                   const QString& path, QString& summary, QString& failure);

// The save dialog's filter of a map format.
QString mapExportFilter(int format);
// 文件 > 导出... for a map format once the file is chosen: writes the active
// document's page `page` (every page, for a format that holds several) and
// says in the status bar what was left out, or warns that nothing was written.
void exportMapCommand(CommandTarget& frame, const ZN_ShapeManager& page, const QString& path,
                      int format);

// Indented text or a Markdown list as boxes on the view's page: below the
// first selected node, laid out with its subtree, or as new trees whose
// top-left corner is `at` (canvas). One undo step; the new roots end up
// selected. Returns the number of boxes made (0: nothing was changed).
int pasteTreeText(CTavloView& view, const QString& text, ZVector2 at);

// The subtrees of the selected nodes as indented text (text/plain) and as a
// Markdown list (text/markdown), each of which 粘贴为树 reads back as the same
// trees; null when no node is selected.
std::unique_ptr<QMimeData> treeTextMimeData(const std::list<ZN_ShapeBase*>& selection);

// Lays out the subtree of every selected node as a tidy tree, in one undo
// step. Returns the number of trees laid out (0: nothing was changed).
int autoLayoutSelection(CTavloView& view);

namespace handlers {
void fileImport(CommandTarget& frame, int id);
void pasteAsTree(CommandTarget& frame, int id);
void copyAsText(CommandTarget& frame, int id);
void autoLayout(CommandTarget& frame, int id);
} // namespace handlers
