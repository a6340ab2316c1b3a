#include "Run.h"

#include <algorithm>
#include <cmath>

#include <sarvik/ZN_NPoint.h>

namespace detail::layout {

namespace {

Orientation nodeOrientation(const Tree& tree, int v) {
    // The root's fold point is drawn on its own side.
    const int side = v == 0 ? tree.rootFoldSide : tree.at(v).side;
    return orientationOf(tree.layout, side);
}

Style styleFor(const ZN_NLine* line, const Settings& settings) {
    return settings.restyle ? defaultStyle(settings.layout) : styleOf(line);
}

void routeInto(const Tree& tree, const Call& call, int v, const Settings& settings, int& routed) {
    if (ZN_NLine* line = call.get(v).line) {
        route(line, nodeOrientation(tree, v), styleFor(line, settings), settings);
        ++routed;
    }
}

void routeFold(const Tree& tree, const Call& call, int v, int& routed) {
    if (ZN_NLine* line = call.get(v).foldLine) {
        routeToFold(line, nodeOrientation(tree, v));
        ++routed;
    }
}

Spot spotOf(const Call& call, int v) {
    return {call.across[static_cast<std::size_t>(v)], call.along[static_cast<std::size_t>(v)]};
}

void setSpot(Call& call, int v, const Spot& s) {
    call.across[static_cast<std::size_t>(v)] = s.across;
    call.along[static_cast<std::size_t>(v)] = s.along;
}

// Places every node of a branch collected this call, in pre-order, its
// head's spot being known, and routes its inner connectors.
void placeRange(const Tree& tree, Call& call, Mover& mover, const Rect& rootBox,
                const Range& range, const Settings& settings, int& routed) {
    for (int v = range.begin; v < range.end; ++v) {
        const ModelNode& node = tree.at(v);
        const Spot spot = spotOf(call, v);
        const Rect box = boxAt(rootBox, spot, node, orientationOf(tree.layout, node.side));
        mover.place(call.get(v), v, box, nodeOrientation(tree, v), settings);
        const int* kids = tree.childrenOf(v);
        for (std::uint32_t i = 0; i < node.childCount; ++i)
            setSpot(call, kids[i], childSpot(tree, spot, v, kids[i], settings));
    }
    for (int v = range.begin; v < range.end; ++v) {
        if (v != range.begin)
            routeInto(tree, call, v, settings, routed);
        routeFold(tree, call, v, routed);
    }
}

} // namespace

std::vector<ZN_ShapeBase*> ancestry(ZN_ShapeBase* node) {
    std::vector<ZN_ShapeBase*> chain;
    if (node && node->type() == 1) {
        if (!node->outputs().empty() && node->outputs().front())
            node = node->outputs().front();
        else if (!node->inputs().empty())
            node = node->inputs().front();
    }
    if (!node)
        return chain;
    // Most ways up are short: they are searched as they are, and only a long
    // one gets an index of what it passed.
    constexpr std::size_t kShortWay = 48;
    KeyIndex seen;
    const auto passed = [&](const ZN_ShapeBase* s) {
        if (chain.size() <= kShortWay)
            return std::find(chain.begin(), chain.end(), s) != chain.end();
        if (seen.size() == 0)
            for (const ZN_ShapeBase* c : chain)
                seen.set(c, 0);
        return seen.find(s) != KeyIndex::kAbsent;
    };
    chain.reserve(16);
    for (ZN_ShapeBase* s = node; s; s = rawParent(s)) {
        if (passed(s)) {
            // Connectors that run in a circle have no top; a node on it that
            // was given a layout is the root it was given to.
            const auto given = std::find_if(chain.begin(), chain.end(), [](const ZN_ShapeBase* c) {
                return c->getFields().layout != ZN_Layout::None;
            });
            if (given != chain.end())
                chain.erase(given + 1, chain.end());
            break;
        }
        if (seen.size() != 0)
            seen.set(s, 0);
        chain.push_back(s);
    }
    return chain;
}

ZN_LayoutReport layoutWhole(Tree& tree, Call& call, ZN_ShapeBase* root, const Settings& settings,
                            bool balance, std::vector<ZN_ShapeBase*>* placed) {
    tree.clear();
    tree.rootKey = root;
    tree.layout = settings.layout;
    call.begin(0);
    const Range all = collectBranch(tree, call, settings, root, nullptr, -1, false);
    arrangeRange(tree, all, settings);
    if (balance && settings.layout == ZN_Layout::MindMap) {
        // Bands do not depend on sides; only the root's two stacks do.
        balanceSides(tree);
        arrange(tree, 0, settings);
    }
    Mover mover(tree, call);
    setSpot(call, 0, Spot{});
    int routed = 0;
    placeRange(tree, call, mover, boxOf(root), all, settings, routed);
    ZN_LayoutReport report;
    report.nodes = all.end - all.begin;
    report.written = mover.written() + routed;
    report.whole = true;
    if (placed) {
        for (int v = all.begin; v < all.end; ++v) {
            placed->push_back(call.get(v).shape);
            if (call.get(v).fold)
                placed->push_back(call.get(v).fold);
        }
    }
    return report;
}

namespace {

// The model node that a change at `shape` reached: the deepest node on its
// way up whose place in the model agrees with the live parents. -1 when the
// tree's root is not at the top of the way.
int reachedNode(const Tree& tree, Call& call, ZN_ShapeBase* root, ZN_ShapeBase* shape) {
    const std::vector<ZN_ShapeBase*> chain = ancestry(shape);
    if (chain.empty() || chain.back() != root)
        return -1;
    int at = 0;
    for (std::size_t j = chain.size() - 1; j-- > 0;) {
        ZN_ShapeBase* s = chain[j];
        const int held = tree.index.find(s);
        if (held == KeyIndex::foldOf(at))
            continue; // the fold point beside the node above
        if (held < 0 || tree.at(held).parent != at || !tree.at(held).alive)
            break;
        at = held;
        if (!call.reached(at))
            call.set(at, Live{s, nullptr, nullptr, nullptr, {}});
    }
    return at;
}

struct PathNode {
    int node;
    bool branch; // everything below it is read afresh
    NodeReading reading;
};

// Takes the fold point and the size the node has now.
void rereadNode(Tree& tree, Call& call, PathNode& p, const Settings& settings) {
    const int v = p.node;
    Live live = call.get(v);
    readNode(live.shape, tree, v, p.reading);
    ModelNode& node = tree.at(v);
    if (node.fold != p.reading.fold) {
        if (node.fold && tree.index.find(node.fold) == KeyIndex::foldOf(v))
            tree.index.erase(node.fold);
        if (p.reading.fold)
            tree.index.set(p.reading.fold, KeyIndex::foldOf(v));
    }
    node.fold = p.reading.fold;
    node.foldLine = p.reading.foldLine;
    live.box = measure(node, live.shape, p.reading.fold, settings);
    live.fold = p.reading.fold;
    live.foldLine = p.reading.foldLine;
    call.set(v, live);
    if (v == 0 && p.reading.fold)
        tree.rootFoldSide = settings.layout == ZN_Layout::MindMap
                                ? sideByPosition(live.shape, p.reading.fold)
                                : fixedSide(settings.layout);
}

// The children of the node that stay as they were; the others leave the
// model with their branches and are read afresh.
void dropChanged(Tree& tree, Call& call, const PathNode& p, const Settings& settings) {
    const int v = p.node;
    std::vector<int> keep;
    const bool sided = v == 0 && settings.layout == ZN_Layout::MindMap;
    for (const ChildEdge& edge : p.reading.children) {
        const int held = tree.index.find(edge.child);
        if (p.branch || held < 0 || tree.at(held).parent != v || !tree.at(held).alive)
            continue;
        if (sided) {
            const ZN_ShapeBase* at = edge.viaFold && p.reading.fold ? p.reading.fold : edge.child;
            if (sideByPosition(call.get(0).shape, at) != tree.at(held).side)
                continue; // dragged across: its branch now grows the other way
        }
        keep.push_back(held);
    }
    const int* kids = tree.childrenOf(v);
    std::vector<int> gone;
    for (std::uint32_t i = 0; i < tree.at(v).childCount; ++i)
        if (std::find(keep.begin(), keep.end(), kids[i]) == keep.end())
            gone.push_back(kids[i]);
    for (int w : gone)
        tree.drop(w);
    tree.setChildren(v, keep);
}

// The node's children in their order now: those kept, and new branches.
// False when a child the model holds elsewhere has been moved here.
bool gatherChildren(Tree& tree, Call& call, const PathNode& p, const Settings& settings,
                    std::vector<Range>& fresh) {
    const int v = p.node;
    std::vector<int> kids;
    for (const ChildEdge& edge : p.reading.children) {
        const int held = tree.index.find(edge.child);
        if (held >= 0) {
            ModelNode& child = tree.at(held);
            if (child.parent != v) {
                // A link to a node the tree holds elsewhere, unless this is
                // now the way into it.
                const ZN_ShapeBase* up = rawParent(edge.child);
                if (up == call.get(v).shape || (up && up == call.get(v).fold))
                    return false;
                continue;
            }
            if (!child.alive || std::find(kids.begin(), kids.end(), held) != kids.end())
                continue;
            child.line = edge.line;
            child.viaFold = edge.viaFold;
            if (call.reached(held)) {
                call.live[static_cast<std::size_t>(held)].line = edge.line;
            } else {
                call.set(held, Live{edge.child, edge.line, nullptr, nullptr, {}});
            }
            kids.push_back(held);
        } else if (held == KeyIndex::kAbsent) {
            const Range r = collectBranch(tree, call, settings, edge.child, edge.line, v, edge.viaFold);
            if (r.end > r.begin) {
                arrangeRange(tree, r, settings);
                fresh.push_back(r);
                kids.push_back(r.begin);
            }
        }
    }
    tree.setChildren(v, kids);
    return true;
}

} // namespace

bool layoutChanges(Tree& tree, Call& call, ZN_ShapeBase* root,
                   const std::vector<ZN_ShapeBase*>& changed, ZN_LayoutScope scope,
                   const Settings& settings, ZN_LayoutReport& report) {
    if (tree.nodes.empty() || tree.rootKey != root)
        return false;
    // What many edits left behind is packed away now and then; the layout
    // itself needs no reading again for it.
    const bool wasteful = (tree.dead > 4096 && 2 * tree.dead > tree.nodes.size()) ||
                          (tree.poolGarbage > 4096 && tree.poolGarbage > tree.pool.size() / 2);
    if (wasteful && !tree.compact())
        return false;
    const std::size_t before = tree.nodes.size();
    call.begin(before);
    call.set(0, Live{root, nullptr, nullptr, nullptr, {}});

    // The nodes the changes reach, and every node above them: the path.
    std::vector<PathNode> path;
    for (ZN_ShapeBase* shape : changed) {
        const int reached = reachedNode(tree, call, root, shape);
        if (reached < 0)
            return false;
        for (int v = reached; v >= 0; v = tree.at(v).parent) {
            if (call.marked(v)) {
                if (v == reached && scope == ZN_LayoutScope::Branch)
                    for (PathNode& p : path)
                        p.branch = p.branch || p.node == v;
                break;
            }
            call.setMark(v);
            path.push_back({v, v == reached && scope == ZN_LayoutScope::Branch, {}});
        }
    }
    // Top down: a parent reads its children before they read theirs, as a
    // whole layout does.
    std::sort(path.begin(), path.end(), [&](const PathNode& a, const PathNode& b) {
        return tree.at(a.node).depth < tree.at(b.node).depth;
    });
    for (PathNode& p : path)
        rereadNode(tree, call, p, settings);
    for (PathNode& p : path)
        if (tree.at(p.node).alive)
            dropChanged(tree, call, p, settings);
    std::vector<Range> fresh;
    for (PathNode& p : path)
        if (tree.at(p.node).alive && !gatherChildren(tree, call, p, settings, fresh))
            return false; // nothing has moved yet; the tree is read afresh
    for (auto it = path.rbegin(); it != path.rend(); ++it)
        if (tree.at(it->node).alive)
            arrange(tree, it->node, settings);

    // Down the path again: each node's place, then its children's.
    const Rect rootBox = boxOf(root);
    Mover mover(tree, call);
    setSpot(call, 0, Spot{});
    int routed = 0;
    for (const PathNode& p : path) {
        const int v = p.node;
        const ModelNode& node = tree.at(v);
        if (!node.alive)
            continue;
        const Spot spot = spotOf(call, v);
        mover.place(call.get(v), v, boxAt(rootBox, spot, node, orientationOf(tree.layout, node.side)),
                    nodeOrientation(tree, v), settings);
        const int* kids = tree.childrenOf(v);
        for (std::uint32_t i = 0; i < node.childCount; ++i) {
            const int c = kids[i];
            const Spot at = childSpot(tree, spot, v, c, settings);
            setSpot(call, c, at);
            if (call.marked(c) || static_cast<std::size_t>(c) >= before)
                continue; // placed in its own turn, or below with its new branch
            const ModelNode& child = tree.at(c);
            ZN_ShapeBase* shape = call.get(c).shape;
            const Rect want = boxAt(rootBox, at, child, orientationOf(tree.layout, child.side));
            const Rect now = boxOf(shape);
            const ZVector2 delta(want.x1 - now.x1, want.y1 - now.y1);
            if (std::abs(delta.X()) > 1e-3f || std::abs(delta.Y()) > 1e-3f)
                mover.translate(shape, c, delta);
        }
    }
    for (const Range& r : fresh)
        placeRange(tree, call, mover, rootBox, r, settings, routed);
    for (const PathNode& p : path) {
        const ModelNode& node = tree.at(p.node);
        if (!node.alive)
            continue;
        const int* kids = tree.childrenOf(p.node);
        for (std::uint32_t i = 0; i < node.childCount; ++i)
            routeInto(tree, call, kids[i], settings, routed);
        routeFold(tree, call, p.node, routed);
    }
    report.nodes = static_cast<int>(tree.nodes.size() - tree.dead);
    report.written += mover.written() + routed;
    return true;
}

} // namespace detail::layout
