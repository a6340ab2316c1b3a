#pragma once
// Between sheets and pages: a sheet becomes boxes with labels joined by glued
// connectors and laid out as tidy trees; a page's trees become a sheet again.

#include <memory>
#include <string>
#include <vector>

#include "interchange/MapTree.h"

class ZImageTexture;
class ZN_NLine;
class ZN_ShapeBase;
class ZN_ShapeManager;

namespace interchange {

// A new page holding the sheet: one box per node, one connector per
// parent-child link (through a collapsed fold point where a node is folded),
// cross links as curved arrows glued to both boxes, which folding passes by
// (it never hides what only a cross link reaches; a link is hidden with either
// box) and whose titles are their labels. Each tree is laid out and the trees
// stand one below the other. Each box carries its node's fields; a node's
// picture is shown in its box when `pictures` is given to own it (the page
// does not own its pictures), and left out otherwise.
std::unique_ptr<ZN_ShapeManager>
buildPage(const MapSheet& sheet, std::vector<std::unique_ptr<ZImageTexture>>* pictures = nullptr);

// The trees of a page, roots in list order: every box or table that a
// connector joins, or that stands alone, is a node; fold points are seen
// through (a collapsed one folds the node above it). What is not in a tree is
// counted in `skipped`.
MapSheet pageTrees(const ZN_ShapeManager& page, const std::string& title, Skipped& skipped);

// The subtrees below `heads`, one tree each in their order, seen as pageTrees
// sees them; a head inside another head's subtree is part of that tree only.
MapSheet subtreesOf(const std::vector<ZN_ShapeBase*>& heads);

// Joins `child` to `parent` by a branch as imported maps draw it: a straight
// connector of the branch width, beneath the boxes, in both relation lists.
ZN_NLine* joinBranch(ZN_ShapeManager& page, ZN_ShapeBase* parent, ZN_ShapeBase* child);

// The label size in pixels that a font size in points gives, and back.
int pixelsForPoints(int points);
int pointsForPixels(int pixels);

} // namespace interchange
