// 编辑 > 复制为文本: the selected nodes' subtrees as indented text and as a
// Markdown list, for any editor, chat or document, and for 粘贴为树.

#include <QApplication>
#include <QClipboard>
#include <QMainWindow>
#include <QMimeData>
#include <QStatusBar>

#include <vector>

#include "commands/CommandTarget.h"
#include "commands/InterchangeCommands.h"
#include "interchange/Interchange.h"
#include "interchange/MapPage.h"
#include "view/CTavloView.h"

std::unique_ptr<QMimeData> treeTextMimeData(const std::list<ZN_ShapeBase*>& selection) {
    const std::vector<ZN_ShapeBase*> heads(selection.begin(), selection.end());
    const interchange::MapSheet sheet = interchange::subtreesOf(heads);
    if (sheet.nodes.empty())
        return nullptr;
    auto data = std::make_unique<QMimeData>();
    data->setText(QString::fromUtf8(interchange::writeMap(sheet, interchange::Format::Text)));
    data->setData(QStringLiteral("text/markdown"),
                  interchange::writeMap(sheet, interchange::Format::Markdown));
    return data;
}

namespace handlers {

void copyAsText(CommandTarget& frame, int) {
    CTavloView* view = frame.activeView();
    if (!view || !view->getCurrentPage() || view->isEditing())
        return;
    std::unique_ptr<QMimeData> data = treeTextMimeData(view->getSelection());
    if (!data) {
        frame.mainWindow()->statusBar()->showMessage("没有选中可复制为文本的节点");
        return;
    }
    QApplication::clipboard()->setMimeData(data.release());
}

} // namespace handlers
