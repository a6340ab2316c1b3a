#pragma once
// What the tree layouts know of one tree between two calls: its shown nodes
// with their sizes, the band each branch takes across the direction it grows
// and its place in its parent's band. Shapes appear here only as keys: a
// layout follows no pointer that it has not reached through live relations
// in the same call, so a tree changed or freed behind its back can give a
// wrong layout but never a dangling read.

#include <cstddef>
#include <cstdint>
#include <vector>

#include <rulmek/rulmek.h>

#include <sarvik/ZN_NodeFields.h>
#include <sarvik/ZN_TreeLayout.h>

class ZN_NLine;
class ZN_NPoint;
class ZN_ShapeBase;

namespace detail::layout {

// Which way a branch grows from its parent, on the canvas (y down).
enum class Orientation : std::uint8_t {
    Right,  // children right of the parent, centred on it
    Left,   // mirrored
    Down,   // children below, centred under it
    Indent, // children below and indented, one per row
};

bool isHorizontal(ZN_Layout layout);
// A layout whose parents sit in the middle of their children's band; the
// tree chart instead lists a parent's children after it.
inline bool isCentred(ZN_Layout layout) { return layout != ZN_Layout::TreeChart; }

// A map from shapes to small integers that never reads the shapes.
// Values >= 0 are model nodes; value fold(i) marks the fold point drawn
// beside node i.
class KeyIndex {
public:
    static constexpr int kAbsent = -1;
    static int foldOf(int node) { return -2 - node; }
    static int ownerOfFold(int value) { return value <= -2 ? -2 - value : -1; }

    int find(const void* key) const;
    void set(const void* key, int value);
    void erase(const void* key);
    void clear();
    std::size_t size() const { return used_; }

private:
    struct Slot {
        const void* key = nullptr;
        int value = kAbsent;
    };
    static const void* tomb() { return reinterpret_cast<const void*>(std::uintptr_t{1}); }
    std::size_t slotOf(const void* key) const;
    void grow();
    std::vector<Slot> slots_;
    std::size_t used_ = 0;  // live keys
    std::size_t taken_ = 0; // live keys and tombstones
};

struct ModelNode {
    const void* key = nullptr;      // the node's shape
    const void* line = nullptr;     // the connector from its parent (or the parent's fold point)
    const void* foldLine = nullptr; // the connector to the fold point beside it
    const void* fold = nullptr;     // that fold point, or null
    int parent = -1;
    int depth = 0;
    std::uint32_t childBegin = 0; // into Tree::pool
    std::uint32_t childCount = 0;
    std::uint32_t childRoom = 0;
    std::int8_t side = 1;    // +1 grows right, -1 left (horizontal layouts)
    bool viaFold = false;    // hangs from its parent's fold point
    bool alive = true;
    float width = 0.0f;      // its box on the canvas when last measured
    float height = 0.0f;
    float breadth = 0.0f;    // across the growth, its fold point included
    float growth = 0.0f;     // along the growth, without its fold point
    float foldExtent = 0.0f; // along the growth, for the fold point beside it
    float band = 0.0f;       // the branch across the growth (centred: around the node; else from its top)
    float offset = 0.0f;     // across, from the parent: centre to centre, or top to top
};

// One laid-out tree. Node 0 is the root; nodes come in pre-order when the
// tree is collected whole, and branches collected later are appended.
struct Tree {
    const void* rootKey = nullptr;
    ZN_Layout layout = ZN_Layout::None;
    ZN_TreeLayoutOptions options;
    std::vector<ModelNode> nodes;
    std::vector<int> pool; // children lists
    KeyIndex index;
    std::size_t dead = 0;        // nodes no longer in the tree
    std::size_t poolGarbage = 0; // pool entries no longer used
    int rootFoldSide = 1;        // the side the root's fold point is drawn on

    const int* childrenOf(int v) const { return pool.data() + nodes[static_cast<std::size_t>(v)].childBegin; }
    int* childrenOf(int v) { return pool.data() + nodes[static_cast<std::size_t>(v)].childBegin; }
    ModelNode& at(int v) { return nodes[static_cast<std::size_t>(v)]; }
    const ModelNode& at(int v) const { return nodes[static_cast<std::size_t>(v)]; }
    // Replaces node v's children.
    void setChildren(int v, const std::vector<int>& children);
    // Drops the branch below v (v itself stays) from the model and the index.
    void dropBelow(int v);
    // Drops v with its branch.
    void drop(int v);
    void clear();
    // Renumbers the living nodes in pre-order and packs the children lists,
    // so that what edits left behind takes no room; keys and layout stay.
    // False, with the tree unchanged, when a living node is not reached
    // from the root.
    bool compact();

private:
    void dropNodes(std::vector<int> stack);
};

// The room a node takes on the canvas.
struct Rect {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    float width() const { return x2 - x1; }
    float height() const { return y2 - y1; }
    ZVector2 centre() const { return ZVector2((x1 + x2) * 0.5f, (y1 + y2) * 0.5f); }
};

// The shapes of a node as reached this call.
struct Live {
    ZN_ShapeBase* shape = nullptr;
    ZN_NLine* line = nullptr;     // from the parent or its fold point; null for the root
    ZN_NPoint* fold = nullptr;
    ZN_NLine* foldLine = nullptr;
    Rect box; // where the node was when read
};

// What one call knows: live shapes for the nodes it reached, and marks.
struct Call {
    std::vector<Live> live;
    std::vector<std::uint32_t> liveStamp;
    std::vector<std::uint32_t> mark;  // per node: on the path of a change
    std::vector<std::uint32_t> moved; // per node: moved as part of a branch
    std::vector<float> across, along; // per node: where it goes (see Spot)
    std::uint32_t stamp = 1;

    void begin(std::size_t nodes);
    void reserve(std::size_t nodes);
    bool reached(int v) const {
        return liveStamp[static_cast<std::size_t>(v)] == stamp;
    }
    Live& set(int v, const Live& l) {
        liveStamp[static_cast<std::size_t>(v)] = stamp;
        return live[static_cast<std::size_t>(v)] = l;
    }
    const Live& get(int v) const { return live[static_cast<std::size_t>(v)]; }
    bool marked(int v) const { return mark[static_cast<std::size_t>(v)] == stamp; }
    void setMark(int v) { mark[static_cast<std::size_t>(v)] = stamp; }
    bool wasMoved(int v) const { return moved[static_cast<std::size_t>(v)] == stamp; }
    void setMoved(int v) { moved[static_cast<std::size_t>(v)] = stamp; }
};

} // namespace detail::layout
