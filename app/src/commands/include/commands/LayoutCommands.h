#pragma once
// The layouts a tree keeps (排列 > 自动布局), folding whole trees (视图 >
// 全部展开, 全部折叠, 展开到第 N 层) and the click setting (设置 > 单击只选中一个).

#include <sarvik/ZN_NodeFields.h>

class CommandTarget;
class CTavloView;

// Gives every tree a selected shape is in the layout and lays it out, in one
// undo step. Returns the number of trees laid out (0: nothing was changed).
int applyLayoutToSelection(CTavloView& view, ZN_Layout layout);

// Shows the selected trees (every tree of the page when nothing is
// selected) to `levels` levels, the root being the first (0: all of them);
// `foldBelow` folds what is deeper down as well. One undo step, and laid-out
// trees laid out again. Returns the number of trees changed.
int showTreeLevels(CTavloView& view, int levels, bool foldBelow);

namespace handlers {
void applyLayout(CommandTarget& frame, int id);
bool layoutChecked(CommandTarget& frame, int id);
void expandAll(CommandTarget& frame, int id);
void collapseAll(CommandTarget& frame, int id);
void expandToLevel(CommandTarget& frame, int id);
void toggleClickSelectsOne(CommandTarget& frame, int id);
bool clickSelectsOneChecked(CommandTarget& frame, int id);
} // namespace handlers
