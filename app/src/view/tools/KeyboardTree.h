#pragma once
// The tree a map's connectors make, as the keyboard walks and grows it: a
// node's parent is the start of its first incoming connector, its children
// the ends of its outgoing ones in the order the node holds them. And where a
// new node fits in a column of the page without covering anything.

#include <vector>

class ZN_NLine;
class ZN_ShapeBase;
class ZN_ShapeManager;

namespace growth {

// Spacing of a new node from its parent's column and from its neighbours,
// the same the tidy tree layout uses.
inline constexpr float kColumnGap = 60.0f;
inline constexpr float kSiblingGap = 14.0f;
// A node grown from something that is not a box gets a plain box this size.
inline constexpr float kDefaultWidth = 100.0f;
inline constexpr float kDefaultHeight = 40.0f;

struct Box {
    float left = 0, top = 0, right = 0, bottom = 0;
    float width() const { return right - left; }
    float height() const { return bottom - top; }
};

// The rectangle a shape takes, corners in order.
Box boundsOf(const ZN_ShapeBase* shape);

// A box outline whose look a new node may copy (not a table: its cells and
// answers are content, not style).
bool isPlainBox(const ZN_ShapeBase* shape);
// Something the keyboard can hang children on: a box, a table or a point.
bool isTreeNode(const ZN_ShapeBase* shape);

// The connector leading into `node` from its parent, null for a root.
ZN_NLine* lineFromParent(const ZN_ShapeBase* node);
ZN_ShapeBase* parentOf(const ZN_ShapeBase* node);
// The shown nodes its connectors lead to, in the node's order.
std::vector<ZN_ShapeBase*> childrenOf(const ZN_ShapeBase* node);

// The top of the tree `node` is in, following parents up.
ZN_ShapeBase* rootOf(ZN_ShapeBase* node);

// The topmost place, at or below `top`, for a box of `size` with its left
// side at `left` that keeps `gap` clear of every shown shape of the page but
// connectors (they pass beneath boxes), `except` and its label.
float freeTop(const ZN_ShapeManager& page, float left, float top, const Box& size, float gap,
              const ZN_ShapeBase* except = nullptr);

} // namespace growth
