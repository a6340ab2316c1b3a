#pragma once
// Automatic layout of the node trees of a page. A tree is a root and what its
// connector lines lead to, through fold points; only shown nodes take part,
// so a branch folded away takes no room and its node is laid out as a leaf
// with its fold point beside it. Each branch takes a band across the
// direction the tree grows, sibling bands never overlap, a parent sits in the
// middle of its children's band (the tree chart lists them after it instead),
// and a column starts a fixed gap past its own parent, wide enough for the
// connectors, which leave the parent's side and enter the child's. The root
// stays where it is. Everything hidden below a node moves with it.
//
// A tree remembers its layout in its root's fields (ZN_NodeFields::layout);
// a tree without one keeps its hand-made positions. ZN_TreeLayout lays a
// tree out whole, and after a change lays out again only the branch that
// changed and moves what its growth or shrinking displaces; the work is
// linear in what it touches and nothing recurses on the call stack.

#include <memory>
#include <vector>

#include <sarvik/ZN_NodeFields.h>

class ZN_NLine;
class ZN_ShapeBase;

// Gaps between boxes, in canvas pixels.
struct ZN_TreeLayoutOptions {
    float columnGap = 64.0f;     // mind map, logic charts: a parent's side to its children's column
    float siblingGap = 14.0f;    // mind map, logic charts: between neighbouring branches
    float rowGap = 40.0f;        // org chart: a parent's bottom to its children's row
    float orgSiblingGap = 24.0f; // org chart: between neighbouring branches
    float indent = 28.0f;        // tree chart: a child's left edge from its parent's
    float rowSpacing = 8.0f;     // tree chart: between rows
    float foldGap = 4.0f;        // a fold point's ring from its node's edge
    bool operator==(const ZN_TreeLayoutOptions&) const = default;
};

// What a change may have touched: the node itself (its size, its fold, the
// list of its children), or anything below it as well.
enum class ZN_LayoutScope { Node, Branch };

// How a mind map splits its root's children: Auto balances them when the
// layout is newly given to the tree and keeps them otherwise; Keep leaves
// each child on the side of the root it lies on; Balance splits them anew,
// the first ones to the right, so that both sides are about as tall.
enum class ZN_LayoutSides { Auto, Keep, Balance };

struct ZN_LayoutReport {
    int nodes = 0;      // shown nodes of the tree
    int written = 0;    // shapes moved or routed
    bool whole = false; // the whole tree was laid out
};

class ZN_TreeLayout {
public:
    explicit ZN_TreeLayout(const ZN_TreeLayoutOptions& options = {});
    ~ZN_TreeLayout();
    ZN_TreeLayout(const ZN_TreeLayout&) = delete;
    ZN_TreeLayout& operator=(const ZN_TreeLayout&) = delete;

    // Gives the tree that `node` belongs to the layout and lays it out whole.
    // A layout newly given to a tree routes its connectors in the layout's
    // own style; laying a tree out again in its layout keeps each
    // connector's style (curve, elbow, straight, palm). None forgets the
    // layout and moves nothing.
    ZN_LayoutReport apply(ZN_ShapeBase* node, ZN_Layout layout,
                          ZN_LayoutSides sides = ZN_LayoutSides::Auto);
    // After a change at `changed` (a node, a fold point or a connector), lays
    // out again the tree it belongs to when that tree has a layout: only the
    // branch that changed, then what it displaces. A change the layout does
    // not know of (the tree laid out elsewhere, undone, replaced) makes it
    // lay the tree out whole. Each change to a laid-out tree must be told
    // here before the next one, or forget() be called.
    ZN_LayoutReport relayout(ZN_ShapeBase* changed, ZN_LayoutScope scope = ZN_LayoutScope::Node);
    ZN_LayoutReport relayout(const std::vector<ZN_ShapeBase*>& changed,
                             ZN_LayoutScope scope = ZN_LayoutScope::Node);
    // The side of a mind map's root (+1 right, -1 left) where a new child
    // keeps the two sides most even.
    int sideForNewChild(ZN_ShapeBase* root);
    // Forgets every tree: after undo or redo, or when the page was read or
    // replaced. The next call lays its tree out whole.
    void forget();
    const ZN_TreeLayoutOptions& options() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The node above `node` in its tree (through a fold point), null for a root.
ZN_ShapeBase* ZN_TreeParent(const ZN_ShapeBase* node);
// The root of the tree `node` is in; a connector counts as the node it leads to.
ZN_ShapeBase* ZN_TreeRoot(ZN_ShapeBase* node);
// The layout a tree's root remembers.
ZN_Layout ZN_StoredLayout(const ZN_ShapeBase* root);
void ZN_StoreLayout(ZN_ShapeBase* root, ZN_Layout layout);

// A node dropped by hand in a laid-out tree takes the place among its
// siblings that its position says (and, a child of a mind map's root, the
// side it lies on): its connector moves within its parent's outputs. Returns
// whether the order changed. relayout() of the parent then closes the tree up.
bool ZN_PlaceDropped(ZN_ShapeBase* node);

// Routes a connector from a parent to its child as `layout` routes its
// branches, in the layout's own style; None as the logic charts do, to the
// side the child lies on. For connectors made in trees that have no layout.
void ZN_RouteBranch(ZN_NLine* line, ZN_Layout layout,
                    const ZN_TreeLayoutOptions& options = {});

// Lays out the branch below `head` once, `head` staying where it is, as the
// layout of its tree lays it out (a mind map's branch on its own side); a
// tree without a layout as a mind map whose root keeps each child on the side
// it lies on. Remembers nothing. Returns the nodes placed, `head` first, each
// followed by the fold point beside it.
std::vector<ZN_ShapeBase*> ZN_LayoutTree(ZN_ShapeBase* head,
                                         const ZN_TreeLayoutOptions& options = {});
