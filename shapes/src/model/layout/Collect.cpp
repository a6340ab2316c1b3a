// Reading a tree off the page into the model.

#include <algorithm>

#include <sarvik/ZN_NPoint.h>

#include "Engine.h"

namespace detail::layout {

Settings settingsFor(ZN_Layout layout, const ZN_TreeLayoutOptions& options, bool restyle) {
    Settings s;
    s.layout = layout;
    s.foldGap = options.foldGap;
    s.indent = options.indent;
    s.restyle = restyle;
    if (layout == ZN_Layout::OrgChart) {
        s.growthGap = options.rowGap;
        s.breadthGap = options.orgSiblingGap;
    } else if (layout == ZN_Layout::TreeChart) {
        s.growthGap = options.rowSpacing;
        s.breadthGap = options.rowSpacing;
    } else {
        s.growthGap = options.columnGap;
        s.breadthGap = options.siblingGap;
    }
    return s;
}

int fixedSide(ZN_Layout layout) { return layout == ZN_Layout::LogicLeft ? -1 : 1; }

Orientation orientationOf(ZN_Layout layout, int side) {
    switch (layout) {
    case ZN_Layout::OrgChart:
        return Orientation::Down;
    case ZN_Layout::TreeChart:
        return Orientation::Indent;
    case ZN_Layout::LogicLeft:
        return Orientation::Left;
    case ZN_Layout::MindMap:
        return side < 0 ? Orientation::Left : Orientation::Right;
    default:
        return Orientation::Right;
    }
}

void readNode(ZN_ShapeBase* shape, const Tree& tree, int self, NodeReading& out) {
    out.fold = nullptr;
    out.foldLine = nullptr;
    out.children.clear();
    // A fold point below a fold point is a node of its own.
    const bool selfIsFold = isFoldPoint(shape);
    forEachEdge(shape, [&](ZN_ShapeBase* child, ZN_NLine* line) {
        if (!child->getShow())
            return; // folded away, or hidden by hand: no room taken
        if (!selfIsFold && !out.fold) {
            if (ZN_NPoint* fold = asFoldPoint(child)) {
                const int held = tree.index.find(fold);
                if (held == KeyIndex::kAbsent || held == KeyIndex::foldOf(self)) {
                    out.fold = fold;
                    out.foldLine = line;
                    forEachEdge(fold, [&](ZN_ShapeBase* below, ZN_NLine* into) {
                        if (below->getShow() && below != shape)
                            out.children.push_back({below, into, true});
                    });
                    return;
                }
            }
        }
        out.children.push_back({child, line, false});
    });
}

Rect measure(ModelNode& node, const ZN_ShapeBase* shape, const ZN_NPoint* fold,
             const Settings& settings) {
    const Rect box = boxOf(shape);
    node.width = box.width();
    node.height = box.height();
    const float ring = fold ? ringOf(fold) : 0.0f;
    node.foldExtent = fold ? settings.foldGap + 2.0f * ring : 0.0f;
    switch (orientationOf(settings.layout, 1)) {
    case Orientation::Down:
        node.breadth = std::max(node.width, 2.0f * ring);
        node.growth = node.height;
        break;
    case Orientation::Indent:
        // The fold point sits under the box, before the rows of its children.
        node.breadth = node.height + node.foldExtent;
        node.growth = node.width;
        break;
    default:
        node.breadth = std::max(node.height, 2.0f * ring);
        node.growth = node.width;
        break;
    }
    return box;
}

int sideByPosition(const ZN_ShapeBase* root, const ZN_ShapeBase* childOrFold) {
    return boxOf(childOrFold).centre().X() < boxOf(root).centre().X() ? -1 : 1;
}

namespace {

// The side a new child of the root takes.
int rootChildSide(const Call& call, const Settings& settings, ZN_ShapeBase* child, bool viaFold) {
    if (settings.layout != ZN_Layout::MindMap)
        return fixedSide(settings.layout);
    const Live& root = call.get(0);
    const ZN_ShapeBase* at = viaFold && root.fold ? static_cast<ZN_ShapeBase*>(root.fold) : child;
    return sideByPosition(root.shape, at);
}

} // namespace

Range collectBranch(Tree& tree, Call& call, const Settings& settings, ZN_ShapeBase* head,
                    ZN_NLine* line, int parent, bool viaFold) {
    struct Item {
        ZN_ShapeBase* shape;
        ZN_NLine* line;
        int parent;
        bool viaFold;
    };
    std::vector<Item> stack{{head, line, parent, viaFold}};
    NodeReading reading;
    const int begin = static_cast<int>(tree.nodes.size());
    while (!stack.empty()) {
        const Item item = stack.back();
        stack.pop_back();
        // Reached twice (the links join up again): the first one holds it.
        if (tree.index.find(item.shape) != KeyIndex::kAbsent)
            continue;
        const int v = static_cast<int>(tree.nodes.size());
        ModelNode node;
        node.key = item.shape;
        node.line = item.line;
        node.parent = item.parent;
        node.viaFold = item.viaFold;
        if (item.parent < 0) {
            node.side = static_cast<std::int8_t>(fixedSide(settings.layout));
        } else {
            const ModelNode& up = tree.at(item.parent);
            node.depth = up.depth + 1;
            node.side = item.parent == 0
                            ? static_cast<std::int8_t>(
                                  rootChildSide(call, settings, item.shape, item.viaFold))
                            : up.side;
        }
        tree.nodes.push_back(node);
        tree.index.set(item.shape, v);
        readNode(item.shape, tree, v, reading);
        ModelNode& n = tree.at(v);
        if (reading.fold) {
            n.fold = reading.fold;
            n.foldLine = reading.foldLine;
            tree.index.set(reading.fold, KeyIndex::foldOf(v));
        }
        const Rect box = measure(n, item.shape, reading.fold, settings);
        call.reserve(static_cast<std::size_t>(v) + 1);
        call.set(v, Live{item.shape, item.line, reading.fold, reading.foldLine, box});
        if (v == 0 && reading.fold)
            tree.rootFoldSide = settings.layout == ZN_Layout::MindMap
                                    ? sideByPosition(item.shape, reading.fold)
                                    : fixedSide(settings.layout);
        for (auto it = reading.children.rbegin(); it != reading.children.rend(); ++it)
            stack.push_back({it->child, it->line, v, it->viaFold});
    }

    // The children lists of the new nodes, whose parents (but the head's) are
    // new too; pre-order keeps each list in its parent's order.
    const int end = static_cast<int>(tree.nodes.size());
    std::vector<std::uint32_t> count(static_cast<std::size_t>(end - begin), 0);
    for (int w = begin + 1; w < end; ++w)
        ++count[static_cast<std::size_t>(tree.at(w).parent - begin)];
    for (int w = begin; w < end; ++w) {
        ModelNode& n = tree.at(w);
        n.childBegin = static_cast<std::uint32_t>(tree.pool.size());
        n.childRoom = count[static_cast<std::size_t>(w - begin)];
        n.childCount = 0;
        tree.pool.resize(tree.pool.size() + n.childRoom);
    }
    for (int w = begin + 1; w < end; ++w) {
        ModelNode& up = tree.at(tree.at(w).parent);
        tree.pool[up.childBegin + up.childCount++] = w;
    }
    return {begin, end};
}

} // namespace detail::layout
