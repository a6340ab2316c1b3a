#pragma once
// Automatic layout of a node tree on a page: the tree below a root, followed
// through its connector lines, is placed as a tidy left-to-right mind map.
// Each generation takes a column; siblings keep their order down the column;
// no two nodes overlap; a parent sits midway beside its children. The root's
// children that lie left of the root's centre grow to the left with their
// subtrees, the others to the right. The root stays where it is, and each
// connector of the tree is glued parent side to child side and bent into a
// branch curve, as the editor's "曲线分支式" bends it.

#include <vector>

class ZN_ShapeBase;

struct ZN_TreeLayoutOptions {
    float columnGap = 60.0f;  // between one generation's column and the next
    float siblingGap = 14.0f; // between neighbouring nodes down a column
};

// Lays out the tree below `root` and returns the nodes placed, the root
// first. Every node is reached once, however the links run; free texts,
// connectors that are not links of the tree and shapes of other trees are
// left alone. Works in time linear in the tree and without recursion.
std::vector<ZN_ShapeBase*> ZN_LayoutTree(ZN_ShapeBase* root,
                                         const ZN_TreeLayoutOptions& options = {});
