#pragma once
// The steps of a tree layout: reading nodes off the page into the model,
// arranging each node's children into bands, placing the shapes and routing
// the connectors. ZN_TreeLayout.cpp runs them over a whole tree or over the
// branches a change touched.

#include <vector>

#include "LayoutModel.h"
#include "TreeWalk.h"

namespace detail::layout {

struct Settings {
    ZN_Layout layout = ZN_Layout::LogicRight;
    float growthGap = 64.0f;  // a parent's far side (or fold point) to its children
    float breadthGap = 14.0f; // between sibling bands
    float foldGap = 4.0f;
    float indent = 28.0f;
    bool restyle = false;     // route connectors in the layout's style, not their own
};
Settings settingsFor(ZN_Layout layout, const ZN_TreeLayoutOptions& options, bool restyle);
Orientation orientationOf(ZN_Layout layout, int side);
// The side every branch of a one-sided layout grows to.
int fixedSide(ZN_Layout layout);

// --- reading (Collect.cpp)

struct ChildEdge {
    ZN_ShapeBase* child = nullptr;
    ZN_NLine* line = nullptr;
    bool viaFold = false;
};
struct NodeReading {
    ZN_NPoint* fold = nullptr;
    ZN_NLine* foldLine = nullptr;
    std::vector<ChildEdge> children; // shown ones, in order
};
// The fold point drawn beside node `self` (a shown fold point it leads to
// that no other node holds) and its shown children, its own and the fold
// point's.
void readNode(ZN_ShapeBase* shape, const Tree& tree, int self, NodeReading& out);
// Sizes from the box and the fold point; returns the box.
Rect measure(ModelNode& node, const ZN_ShapeBase* shape, const ZN_NPoint* fold,
             const Settings& settings);
// Which side of the root a child of a mind map's root lies on.
int sideByPosition(const ZN_ShapeBase* root, const ZN_ShapeBase* childOrFold);

// A branch collected in one piece: nodes [begin, end) of the model, in
// pre-order; begin is its head.
struct Range {
    int begin = 0;
    int end = 0;
};
// Appends the shown branch below `head` (a shape not in the tree yet) as a
// child of `parent` (-1: the root of an empty tree) and records the live
// shapes in `call`. Shapes the tree holds already are not taken again.
Range collectBranch(Tree& tree, Call& call, const Settings& settings, ZN_ShapeBase* head,
                    ZN_NLine* line, int parent, bool viaFold);

// --- arranging (Arrange.cpp)

// Places node v's children across the growth and sets v's band; the bands of
// its children are known.
void arrange(Tree& tree, int v, const Settings& settings);
// Every node of a branch, children first.
void arrangeRange(Tree& tree, const Range& range, const Settings& settings);
// Splits the root's children of a mind map so both sides are about as tall
// and hands each branch its side.
void balanceSides(Tree& tree);

// Where a node goes: across the growth from the root's centre (the root's
// top in a tree chart) and along it from the root's near side.
struct Spot {
    float across = 0.0f;
    float along = 0.0f;
};
Spot childSpot(const Tree& tree, const Spot& parent, int v, int child, const Settings& settings);
// The box a node of `width` x `height` takes at `spot`, the root's box being `root`.
Rect boxAt(const Rect& root, const Spot& spot, const ModelNode& node, Orientation o);
ZVector2 foldSpot(const Rect& box, float ring, float foldGap, Orientation o);

// --- placing (Place.cpp)

class Mover {
public:
    Mover(const Tree& tree, Call& call) : tree_(tree), call_(call) {}
    // Moves the node of model node v to `box` (it is at live.box), what is
    // hidden below it by as much, and its fold point to its place beside it.
    void place(const Live& live, int v, const Rect& box, Orientation o, const Settings& settings);
    // Moves the branch of clean model node v rigidly by `delta`: every node,
    // fold point, connector and hidden shape below it.
    void translate(ZN_ShapeBase* head, int v, const ZVector2& delta);
    int written() const { return written_; }

private:
    // Moves `start` (owned by model node `owner`) and what moves with it by
    // `delta`: what hangs hidden below it, and with `tree` set the branch's
    // own nodes and fold points too. Boxes and points move as they are met;
    // shapes that glue their connectors when moved wait until every
    // connector has moved.
    void sweep(ZN_ShapeBase* start, int owner, bool tree, const ZVector2& delta);
    void moveNode(ZN_ShapeBase* shape, const ZVector2& delta);
    // The model node that `line` from `shape` leads to when it is a child
    // of `owner` in the model, or -1; `cursor` walks the children in order.
    int childAt(int owner, bool fromFold, const ZN_NLine* line, const ZN_ShapeBase* end,
                std::uint32_t& cursor) const;

    struct Step {
        ZN_ShapeBase* shape;
        int owner;     // model node whose children hang from `shape`, or -1 when hidden
        bool fromFold; // `shape` is the owner's fold point
        std::uint32_t cursor;
    };
    const Tree& tree_;
    Call& call_;
    std::vector<Step> stack_;
    std::vector<ZN_ShapeBase*> deferred_;
    std::vector<ZN_NLine*> strays_; // leave what moves; their ends are glued again
    KeyIndex moved_;                // shapes off the tree moved this call
    int written_ = 0;
};

// Moves a node's shape by delta: a box's corners and label, a point's
// centre, anything else through its own move.
void moveShape(ZN_ShapeBase* shape, const ZVector2& delta);

// --- routing (Route.cpp)

enum class Style { Curve, Elbow, Straight, Palm };
// The routing style a connector was given.
Style styleOf(const ZN_NLine* line);
Style defaultStyle(ZN_Layout layout);
// Routes a connector from its start to its end as a branch growing `o`.
void route(ZN_NLine* line, Orientation o, Style style, const Settings& settings);
// The short straight connector from a node to its fold point.
void routeToFold(ZN_NLine* line, Orientation o);

} // namespace detail::layout
