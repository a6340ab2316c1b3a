#pragma once
// Folding trees from the editor, and the automatic layout that follows the
// edits of a laid-out tree. A node folds through the fold point that hangs
// from it (node -> connector -> fold point -> connectors -> children); a node
// whose children hang from it directly is given one first. Everything here
// changes the page only; the caller takes the undo snapshot.

#include <vector>

#include <sarvik/ZN_TreeLayout.h>

class ZN_NPoint;
class ZN_ShapeBase;
class ZN_ShapeManager;

namespace treefolds {

// The layout state shared by every window: the trees of the page edited last.
// Asking for another page forgets what was remembered of the one before.
ZN_TreeLayout& layoutFor(const ZN_ShapeManager* page);
// Forgets every tree: after undo, redo, or an edit the layout was not told of.
void forgetLayout();
// After a change at `changed`, lays out again the tree it belongs to when
// that tree has a layout; a tree without one is left as it is.
ZN_LayoutReport relayout(const ZN_ShapeManager* page, ZN_ShapeBase* changed,
                         ZN_LayoutScope scope = ZN_LayoutScope::Node);
ZN_LayoutReport relayout(const ZN_ShapeManager* page, const std::vector<ZN_ShapeBase*>& changed,
                         ZN_LayoutScope scope = ZN_LayoutScope::Node);

// The tree children of `node`, through its fold point, in order; hidden ones too.
std::vector<ZN_ShapeBase*> childrenOf(ZN_ShapeBase* node);
// The fold point hanging from `node`, or null.
ZN_NPoint* foldPointOf(ZN_ShapeBase* node);
// Hangs the children of `node` from a new fold point (shown, unfolded)
// beside it and returns it; the fold point it has when it has one, null when
// it has no children.
ZN_NPoint* makeFoldPoint(ZN_ShapeManager& page, ZN_ShapeBase* node);

// Folds `node`'s children away when they show, else shows them. Returns the
// shape whose fold changed (for the layout), null when nothing could fold.
ZN_ShapeBase* toggleFold(ZN_ShapeManager& page, ZN_ShapeBase* node);

// Shows each tree below `heads` to `levels` levels, a head being the first
// (0: every level): the nodes of the last level shown fold their children
// away, making fold points where needed, and everything above it unfolds.
// With `foldBelow` the fold points deeper down fold as well. Returns whether
// anything changed; with `dry`, whether anything would, changing nothing.
bool showLevels(ZN_ShapeManager& page, const std::vector<ZN_ShapeBase*>& heads, int levels,
                bool foldBelow = false, bool dry = false);

// The roots of the trees the selected shapes are in, each once; the roots of
// every tree of the page when none is selected.
std::vector<ZN_ShapeBase*> treesOf(ZN_ShapeManager& page,
                                   const std::vector<ZN_ShapeBase*>& selected);

} // namespace treefolds
