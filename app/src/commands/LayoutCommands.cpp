#include "commands/LayoutCommands.h"

#include <vector>

#include <QInputDialog>
#include <QMainWindow>

#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/ZN_TreeLayout.h>

#include "commands/CommandIds.h"
#include "commands/CommandTarget.h"
#include "view/CTavloView.h"
#include "view/ClickSelect.h"
#include "view/TreeFolds.h"
#include "view/UndoStep.h"

namespace {

ZN_Layout layoutOf(int id) {
    switch (id) {
    case cmd::LayoutMindMap: return ZN_Layout::MindMap;
    case cmd::LayoutLogicRight: return ZN_Layout::LogicRight;
    case cmd::LayoutLogicLeft: return ZN_Layout::LogicLeft;
    case cmd::LayoutOrgChart: return ZN_Layout::OrgChart;
    case cmd::LayoutTreeChart: return ZN_Layout::TreeChart;
    default: return ZN_Layout::None;
    }
}

std::vector<ZN_ShapeBase*> selectedShapes(const CTavloView& view) {
    const auto& list = view.getSelection();
    return {list.begin(), list.end()};
}

// The level 展开到第 N 层 asked for last, offered again.
int g_lastLevel = 2;

} // namespace

int applyLayoutToSelection(CTavloView& view, ZN_Layout layout) {
    ZN_ShapeManager* page = view.getCurrentPage();
    const std::vector<ZN_ShapeBase*> selected = selectedShapes(view);
    if (!page || selected.empty() || layout == ZN_Layout::None)
        return 0;
    const std::vector<ZN_ShapeBase*> roots = treefolds::treesOf(*page, selected);
    if (roots.empty())
        return 0;
    UndoStep undo(view);
    ZN_TreeLayout& engine = treefolds::layoutFor(page);
    for (ZN_ShapeBase* root : roots)
        engine.apply(root, layout);
    view.repaint();
    return static_cast<int>(roots.size());
}

int showTreeLevels(CTavloView& view, int levels, bool foldBelow) {
    ZN_ShapeManager* page = view.getCurrentPage();
    if (!page)
        return 0;
    const std::vector<ZN_ShapeBase*> roots = treefolds::treesOf(*page, selectedShapes(view));
    if (roots.empty())
        return 0;
    // No undo step for trees already shown so.
    std::vector<ZN_ShapeBase*> changing;
    for (ZN_ShapeBase* root : roots)
        if (treefolds::showLevels(*page, {root}, levels, foldBelow, true))
            changing.push_back(root);
    if (changing.empty())
        return 0;
    UndoStep undo(view);
    int changed = 0;
    for (ZN_ShapeBase* root : changing) {
        if (!treefolds::showLevels(*page, {root}, levels, foldBelow))
            continue;
        ++changed;
        treefolds::relayout(page, root, ZN_LayoutScope::Branch);
    }
    view.repaint();
    return changed;
}

namespace handlers {

void applyLayout(CommandTarget& frame, int id) {
    if (CTavloView* view = frame.activeView())
        applyLayoutToSelection(*view, layoutOf(id));
}

bool layoutChecked(CommandTarget& frame, int id) {
    // Checked when every selected tree has that layout.
    const CTavloView* view = frame.activeView();
    if (!view || !view->getCurrentPage() || view->getSelection().empty())
        return false;
    for (ZN_ShapeBase* s : view->getSelection())
        if (ZN_StoredLayout(ZN_TreeRoot(s)) != layoutOf(id))
            return false;
    return true;
}

void expandAll(CommandTarget& frame, int) {
    if (CTavloView* view = frame.activeView())
        showTreeLevels(*view, 0, false);
}

void collapseAll(CommandTarget& frame, int) {
    // The root and its branches stay in sight, every branch folded.
    if (CTavloView* view = frame.activeView())
        showTreeLevels(*view, 2, true);
}

void expandToLevel(CommandTarget& frame, int) {
    CTavloView* view = frame.activeView();
    if (!view)
        return;
    bool ok = false;
    const int levels = QInputDialog::getInt(frame.mainWindow(), "展开到第 N 层",
                                            "展开到第几层（中心主题为第 1 层）：", g_lastLevel, 1,
                                            99, 1, &ok);
    if (!ok)
        return;
    g_lastLevel = levels;
    showTreeLevels(*view, levels, false);
}

void toggleClickSelectsOne(CommandTarget&, int) {
    clickselect::setSelectsOne(!clickselect::selectsOne());
}

bool clickSelectsOneChecked(CommandTarget&, int) { return clickselect::selectsOne(); }

} // namespace handlers
