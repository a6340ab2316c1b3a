// Space (tapped, not held to pan) and `/` fold or unfold the selected node.

#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/ZN_TreeLayout.h>

#include "ToolBox.h"
#include "view/CTavloView.h"
#include "view/UndoStep.h"
#include "view/TreeFolds.h"

bool CTavloView::foldSelectedNode() {
    if (!currentPage || isEditing() || getDragState() != dragstate::Idle)
        return false;
    ZN_ShapeBase* node = tools_->growth.keyboardNode();
    if (!node || node->type() == 5 || treefolds::childrenOf(node).empty())
        return false;
    UndoStep undo(*this);
    ZN_ShapeBase* fold = treefolds::toggleFold(*currentPage, node);
    treefolds::relayout(currentPage, fold ? fold : node);
    update();
    return true;
}
