// The bench's map: the generated map with a fold point before the root's
// biggest branch, and the walks the editor bench makes over it.
#pragma once

#include <string>
#include <vector>

class ZN_ShapeBase;
class ZN_ShapeManager;

namespace editorbench {

// Nodes under `head`, itself counted, connectors not.
int subtreeSize(ZN_ShapeBase* head);
// The node a connector from `node` leads to, for each of its connectors.
std::vector<ZN_ShapeBase*> childrenOf(ZN_ShapeBase* node);
// The generated map with a fold point put between the root and its biggest
// branch, so that folding that branch is one click.
bool writeBenchMap(const std::string& path, int nodes);
// Place of `shape` in the page's list, or -1.
int indexOf(ZN_ShapeManager& page, const ZN_ShapeBase* shape);
ZN_ShapeBase* shapeAt(ZN_ShapeManager& page, int index);

} // namespace editorbench
