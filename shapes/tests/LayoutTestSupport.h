#pragma once
// Maps for the layout tests, built as the importers build them (boxes joined
// by curved connectors, folded children behind a fold point), and the checks
// every layout must pass: sibling branches apart, no connector through a box.

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/ZN_TreeLayout.h>

#include <random>
#include <string>
#include <vector>

namespace layouttest {

struct Box {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool overlaps(const Box& b) const { return x1 < b.x2 && b.x1 < x2 && y1 < b.y2 && b.y1 < y2; }
    Box grown(const Box& b) const;
};
Box boxOf(const ZN_ShapeBase* s); // a point: its ring

class Map {
public:
    ZN_ShapeManager page;
    std::vector<ZN_ShapeBase*> nodes; // root first, in the order made
    std::vector<ZN_NPoint*> folds;

    // A box of w x h hanging from `parent` (or its fold point), at (x, y).
    ZN_ShapeBase* add(ZN_ShapeBase* parent, float w, float h, float x = 1000.0f, float y = 0.0f);
    // A fold point below `node` from which its later children hang.
    ZN_NPoint* fold(ZN_ShapeBase* node, int state);
    ZN_ShapeBase* root() const { return nodes.front(); }
    ZN_NLine* lineInto(const ZN_ShapeBase* node) const;
};

// A random tree of n nodes with label-like sizes; with `folds`, some
// branches hang from fold points and about half of those are collapsed.
void randomMap(Map& map, int n, unsigned seed, bool folds);

// Everything wrong with the layout of the shown tree below `root`: sibling
// branches whose bounding boxes overlap, connectors that pass through a box
// or fold point they do not join. Empty when the layout is sound.
std::vector<std::string> layoutFaults(const ZN_ShapeBase* root, const ZN_ShapeManager& page);

// Where two pages of the same shapes in the same order differ by more than
// `tolerance`; empty when they agree.
std::string geometryDifference(const ZN_ShapeManager& a, const ZN_ShapeManager& b,
                               float tolerance);

} // namespace layouttest
