#pragma once
// Tidy placement of an ordered tree along one axis, in time linear in the
// number of nodes and without recursion: each node is placed across the
// direction in which the tree grows so that subtrees keep their order, never
// overlap at any level, are packed as closely as the gap allows, and a parent
// sits midway between its first and last child.

#include <vector>

// `parent[i]` is the parent of node i, -1 for node 0, the root; the children
// of a node are the nodes naming it, in increasing index. `breadth[i]` is
// node i's size across the growth direction. Returns each node's centre on
// that axis, the root at 0. Neighbours at the same depth are at least `gap`
// apart, edge to edge. An input that is not a tree rooted at 0 (a parent out
// of range, a second root, a cycle) gives an empty result.
std::vector<float> ZTidyTreeCentres(const std::vector<int>& parent,
                                    const std::vector<float>& breadth, float gap);
