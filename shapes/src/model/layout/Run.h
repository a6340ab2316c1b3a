#pragma once
// A tree laid out whole, or again after changes.

#include <vector>

#include "Engine.h"

namespace detail::layout {

// Reads the tree below `root` afresh into `tree` and lays it out; `balance`
// splits a mind map's root children anew. Appends the nodes placed to
// `placed` when given, root first.
ZN_LayoutReport layoutWhole(Tree& tree, Call& call, ZN_ShapeBase* root, const Settings& settings,
                            bool balance, std::vector<ZN_ShapeBase*>* placed = nullptr);

// Lays out again what `changed` touched in a tree laid out before. False when
// the tree is not as `tree` remembers it, or when remembering has become
// costlier than laying out whole: then nothing was moved.
bool layoutChanges(Tree& tree, Call& call, ZN_ShapeBase* root,
                   const std::vector<ZN_ShapeBase*>& changed, ZN_LayoutScope scope,
                   const Settings& settings, ZN_LayoutReport& report);

// The shapes from `node` up through the first connector into each, to the
// root; a loop ends where it closes. A connector starts at the node it leads to.
std::vector<ZN_ShapeBase*> ancestry(ZN_ShapeBase* node);

} // namespace detail::layout
