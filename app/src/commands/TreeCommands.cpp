// 粘贴为树, 自动布局 and 文件 > 导入...: trees made or rearranged on the page
// shown, each in one undo step.

#include <algorithm>
#include <list>
#include <memory>
#include <unordered_set>

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QMainWindow>
#include <QRegularExpression>
#include <QStatusBar>

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/ZN_TreeLayout.h>

#include "commands/CommandTarget.h"
#include "commands/InterchangeCommands.h"
#include "dialogs/FileDialogs.h"
#include "interchange/Interchange.h"
#include "interchange/MapPage.h"
#include "view/CTavloView.h"
#include "view/UndoStep.h"
#include "view/TreeFolds.h"

namespace {

constexpr float kBranchGap = 60.0f;

// Shapes that can head a tree: boxes of every outline, tables and points;
// not connectors, free texts, pictures or the capture frame.
bool isNode(const ZN_ShapeBase* s) {
    const int t = s->type();
    return t == 2 || t == 3 || (t >= 7 && t <= 10) || t == 12 || t == 13;
}

float centreX(const ZN_ShapeBase* s) {
    return 0.5f * (s->getPoint1().X() + s->getPoint2().X());
}

// A Markdown list or headings rather than plain indented lines: the first
// line with text starts with '#', a bullet or a number and a dot.
bool looksLikeMarkdown(const QString& text) {
    static const QRegularExpression item(R"(^\s*(#{1,6}\s|[-*+]\s|\d{1,9}[.)]\s))");
    for (const QString& line : text.split('\n')) {
        if (!line.trimmed().isEmpty())
            return item.match(line).hasMatch();
    }
    return false;
}

// Which way the new branches of `parent` grow: where its children already
// are, else away from its own parent, else to the right.
float growDirection(const ZN_ShapeBase* parent) {
    for (const ZN_ShapeBase* line : parent->outputs()) {
        if (line->isCrossLink())
            continue;
        for (const ZN_ShapeBase* child : line->outputs())
            return centreX(child) < centreX(parent) ? -1.0f : 1.0f;
    }
    for (const ZN_ShapeBase* line : parent->inputs()) {
        if (line->isCrossLink())
            continue;
        for (const ZN_ShapeBase* above : line->inputs())
            return centreX(above) > centreX(parent) ? -1.0f : 1.0f;
    }
    return 1.0f;
}

struct Bounds {
    float minX, minY, maxX, maxY;
};

// The extent of the boxes and points among `shapes`.
Bounds boundsOf(const std::list<ZN_ShapeBase*>& shapes) {
    Bounds b{1e30f, 1e30f, -1e30f, -1e30f};
    for (const ZN_ShapeBase* s : shapes) {
        if (s->type() == 1)
            continue;
        b.minX = std::min(b.minX, s->getPoint1().X());
        b.minY = std::min(b.minY, s->getPoint1().Y());
        b.maxX = std::max(b.maxX, s->getPoint2().X());
        b.maxY = std::max(b.maxY, s->getPoint2().Y());
    }
    return b;
}

// Moves every shape of `from` onto `to`, connectors beneath the boxes, and
// returns the roots of the trees moved, in order.
std::vector<ZN_ShapeBase*> moveShapes(ZN_ShapeManager& from, ZN_ShapeManager& to) {
    std::vector<ZN_ShapeBase*> roots;
    std::list<ZN_ShapeBase*>& shapes = from.getShapeList();
    for (ZN_ShapeBase* s : shapes) {
        if (s->type() == 1) {
            to.addShapeFront(s);
            continue;
        }
        to.addShape(s);
        if (s->inputs().empty())
            roots.push_back(s);
    }
    shapes.clear();
    return roots;
}

} // namespace

int pasteTreeText(CTavloView& view, const QString& text, ZVector2 at) {
    ZN_ShapeManager* page = view.getCurrentPage();
    if (!page)
        return 0;
    interchange::MapDocument map;
    interchange::ReadError error;
    const auto format =
        looksLikeMarkdown(text) ? interchange::Format::Markdown : interchange::Format::Text;
    if (!interchange::readMap(text.toUtf8(), format, map, error) || map.sheets.empty() ||
        map.sheets.front().nodes.empty())
        return 0;
    const interchange::MapSheet& sheet = map.sheets.front();
    const std::unique_ptr<ZN_ShapeManager> built = interchange::buildPage(sheet);

    ZN_ShapeBase* parent = nullptr;
    for (ZN_ShapeBase* s : view.getSelection()) {
        if (isNode(s) && s->getShow()) {
            parent = s;
            break;
        }
    }
    const Bounds b = boundsOf(built->getShapeList());
    ZVector2 shift = at - ZVector2(b.minX, b.minY);
    if (parent) {
        // Beside the parent on the side its branches grow, so that the layout
        // below keeps them there.
        const float dir = growDirection(parent);
        const float x = dir > 0 ? parent->getPoint2().X() + kBranchGap - b.minX
                                : parent->getPoint1().X() - kBranchGap - b.maxX;
        shift = ZVector2(x, parent->getPoint1().Y() - b.minY);
    }
    // The nodes move; laying out again brings their connectors along.
    for (ZN_ShapeBase* s : built->getShapeList())
        if (s->type() != 1)
            s->change(shift, 9);

    UndoStep undo(view);
    const std::vector<ZN_ShapeBase*> roots = moveShapes(*built, *page);
    for (ZN_ShapeBase* root : roots) {
        if (parent)
            interchange::joinBranch(*page, parent, root);
        else
            ZN_LayoutTree(root);
    }
    if (parent) {
        // A laid-out tree makes room for the new branches as its layout
        // does; a hand-made one has the branch below the parent tidied.
        if (ZN_StoredLayout(ZN_TreeRoot(parent)) != ZN_Layout::None)
            treefolds::relayout(page, parent, ZN_LayoutScope::Branch);
        else
            ZN_LayoutTree(parent);
    }
    view.clearSelection();
    for (ZN_ShapeBase* root : roots)
        view.addToSelection(root);
    view.repaint();
    return static_cast<int>(sheet.nodes.size());
}

int autoLayoutSelection(CTavloView& view) {
    std::vector<ZN_ShapeBase*> heads;
    for (ZN_ShapeBase* s : view.getSelection()) {
        if (isNode(s))
            heads.push_back(s);
    }
    if (heads.empty() || !view.getCurrentPage())
        return 0;
    UndoStep undo(view);
    // A head inside a subtree laid out already has its place there.
    std::unordered_set<const ZN_ShapeBase*> placed;
    int trees = 0;
    for (ZN_ShapeBase* head : heads) {
        if (placed.count(head))
            continue;
        for (const ZN_ShapeBase* s : ZN_LayoutTree(head))
            placed.insert(s);
        ++trees;
    }
    view.repaint();
    return trees;
}

namespace handlers {

void fileImport(CommandTarget& frame, int) {
    const QString path = askOpenFile(frame.mainWindow(), "导入", QString(), importFileTypes());
    if (!path.isEmpty())
        frame.openDocument(path);
}

void pasteAsTree(CommandTarget& frame, int) {
    CTavloView* view = frame.activeView();
    // Text being typed into a label is not a tree yet.
    if (!view || !view->getCurrentPage() || view->isEditing())
        return;
    // At the pointer when it is over the page, else near the window's corner.
    const QPoint local = view->mapFromGlobal(QCursor::pos());
    const QPoint corner = view->scrollPosition();
    ZVector2 at(static_cast<float>(corner.x()) + 40.0f, static_cast<float>(corner.y()) + 40.0f);
    if (view->rect().contains(local))
        at = view->canvasFromScreen(local);
    const QString text = QApplication::clipboard()->text();
    if (pasteTreeText(*view, text, at) == 0)
        frame.mainWindow()->statusBar()->showMessage("剪贴板中没有可粘贴为树的文本");
}

void autoLayout(CommandTarget& frame, int) {
    if (CTavloView* view = frame.activeView())
        autoLayoutSelection(*view);
}

} // namespace handlers
