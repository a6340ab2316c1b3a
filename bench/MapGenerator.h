#pragma once
// Generated mind maps for the benchmarks: a tree of boxes of every kind with
// short mixed Chinese and Latin labels, one curved connector per parent-child
// link, a few points and fill-in tables holding placed texts.

#include <memory>
#include <string>

class ZN_ShapeBase;
class ZN_ShapeManager;

namespace benchmap {

enum class Layout {
    // A left-to-right mind map: the root at the top-left, one column per
    // generation, one row per leaf. Only its top-left corner fits a window at
    // 100 %; zoomed out to fit, the whole map is in view.
    Spread,
};

struct MapStats {
    int nodes = 0;       // tree nodes: boxes, points and tables
    int connectors = 0;  // one per parent-child link
    int placedTexts = 0; // free texts sitting in table cells
    float width = 0.0f;  // extent of the page from the origin
    float height = 0.0f;
};

// A page whose tree has `nodes` nodes. The same size and layout always give
// the same page. Nodes are listed in the order a user would have made
// them, root first; connectors lie beneath them at the front of the list.
std::unique_ptr<ZN_ShapeManager> makeMap(int nodes, Layout layout, MapStats* stats = nullptr);
// One spread map of each size, made on first use and kept for every case that
// only reads it.
ZN_ShapeManager& sharedSpreadMap(int nodes);

// Writes a one-page document holding makeMap(nodes, layout) to `path`.
bool writeMap(const std::string& path, int nodes, Layout layout, MapStats* stats = nullptr);

// The tree's root: the first node of the list that no connector leads to.
ZN_ShapeBase* findRoot(ZN_ShapeManager& page);

} // namespace benchmap
