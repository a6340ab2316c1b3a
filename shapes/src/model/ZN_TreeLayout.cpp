#include <sarvik/ZN_TreeLayout.h>

#include <algorithm>
#include <unordered_map>

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_ShapeBase.h>
#include <sarvik/ZTidyTree.h>

namespace {

// A point node has no box; it takes the room of its ring.
constexpr float kPointRoom = 16.0f;
// Generations made only of fold points sit closer to their neighbours.
constexpr float kPointColumnShare = 0.4f;

struct TreeNode {
    ZN_ShapeBase* shape = nullptr;
    ZN_NLine* line = nullptr; // the connector from the parent; null for the root
    int parent = -1;
    int depth = 0;
    int side = 1; // +1 grows to the right, -1 to the left
    float width = 0.0f;
    float height = 0.0f;
};

bool isPoint(const ZN_ShapeBase* shape) { return shape->type() == 2; }

void measure(TreeNode& node) {
    if (isPoint(node.shape)) {
        const auto* point = static_cast<const ZN_NPoint*>(node.shape);
        node.width = node.height = std::max(kPointRoom, 2.0f * point->getPointSize());
        return;
    }
    const ZVector2 a = node.shape->getPoint1();
    const ZVector2 b = node.shape->getPoint2();
    node.width = std::max(0.0f, b.X() - a.X());
    node.height = std::max(0.0f, b.Y() - a.Y());
}

float centreX(const ZN_ShapeBase* s) { return 0.5f * (s->getPoint1().X() + s->getPoint2().X()); }
float centreY(const ZN_ShapeBase* s) { return 0.5f * (s->getPoint1().Y() + s->getPoint2().Y()); }

// The tree in pre-order: children in the order of their parent's outputs,
// each shape once. Only shapes that are not lines or free texts are nodes.
std::vector<TreeNode> collect(ZN_ShapeBase* root) {
    std::vector<TreeNode> nodes;
    std::unordered_map<const ZN_ShapeBase*, int> seen;
    auto visit = [&](ZN_ShapeBase* shape, ZN_NLine* line, int parent) -> bool {
        if (!shape || shape->type() == 1 || shape->type() == 5 || !seen.emplace(shape, 0).second)
            return false;
        TreeNode node;
        node.shape = shape;
        node.line = line;
        node.parent = parent;
        if (parent >= 0) {
            const TreeNode& up = nodes[static_cast<std::size_t>(parent)];
            node.depth = up.depth + 1;
            node.side = up.side;
            if (parent == 0 && centreX(shape) < centreX(root))
                node.side = -1;
        }
        measure(node);
        nodes.push_back(node);
        return true;
    };
    visit(root, nullptr, -1);
    struct Frame {
        int node;
        std::size_t out;  // next output of the node
        std::size_t end;  // next end of that output, when it is a line
    };
    std::vector<Frame> stack{{0, 0, 0}};
    while (!stack.empty()) {
        Frame& top = stack.back();
        const auto& outs = nodes[static_cast<std::size_t>(top.node)].shape->outputs();
        if (top.out >= outs.size()) {
            stack.pop_back();
            continue;
        }
        ZN_ShapeBase* out = outs[top.out];
        ZN_ShapeBase* target = out;
        ZN_NLine* line = nullptr;
        if (out && out->type() == 1) {
            line = static_cast<ZN_NLine*>(out);
            if (top.end >= out->outputs().size()) {
                ++top.out;
                top.end = 0;
                continue;
            }
            target = out->outputs()[top.end++];
        } else {
            ++top.out;
        }
        const int parent = top.node;
        if (visit(target, line, parent))
            stack.push_back({static_cast<int>(nodes.size()) - 1, 0, 0});
    }
    return nodes;
}

// Lays out one side: the root and the nodes grown to `side`. Writes each
// node's centre across the columns (y) relative to the root.
void placeSide(const std::vector<TreeNode>& nodes, int side, float gap, std::vector<float>& y) {
    std::vector<int> local(nodes.size(), -1);
    std::vector<int> parent{-1};
    std::vector<float> breadth{nodes[0].height};
    std::vector<int> global{0};
    local[0] = 0;
    for (std::size_t i = 1; i < nodes.size(); ++i) {
        if (nodes[i].side != side)
            continue;
        local[i] = static_cast<int>(parent.size());
        parent.push_back(local[static_cast<std::size_t>(nodes[i].parent)]);
        breadth.push_back(nodes[i].height);
        global.push_back(static_cast<int>(i));
    }
    if (parent.size() < 2)
        return;
    const std::vector<float> centres = ZTidyTreeCentres(parent, breadth, gap);
    for (std::size_t k = 1; k < centres.size(); ++k)
        y[static_cast<std::size_t>(global[k])] = centres[k];
}

// The distance of each generation's near edge from the root's far edge, per
// side: a column is as wide as its widest node.
std::vector<float> columnStarts(const std::vector<TreeNode>& nodes, int side, float gap) {
    std::vector<float> width;
    std::vector<bool> onlyPoints;
    for (const TreeNode& node : nodes) {
        if (node.depth == 0 || node.side != side)
            continue;
        const auto d = static_cast<std::size_t>(node.depth);
        if (width.size() <= d) {
            width.resize(d + 1, 0.0f);
            onlyPoints.resize(d + 1, true);
        }
        width[d] = std::max(width[d], node.width);
        onlyPoints[d] = onlyPoints[d] && isPoint(node.shape);
    }
    std::vector<float> start(width.size(), 0.0f);
    float at = 0.0f;
    for (std::size_t d = 1; d < width.size(); ++d) {
        const bool near = onlyPoints[d] || onlyPoints[d - 1];
        at += near ? gap * kPointColumnShare : gap;
        start[d] = at;
        at += width[d];
    }
    return start;
}

void moveTo(TreeNode& node, float x, float y) {
    const ZVector2 now(centreX(node.shape), centreY(node.shape));
    const ZVector2 delta(x - now.X(), y - now.Y());
    if (delta.X() != 0.0f || delta.Y() != 0.0f)
        node.shape->change(delta, 9);
}

// Right side: a box leaves its parent from the middle of its right edge and
// is entered in the middle of its left; the left side mirrors it. Points are
// met where the line aims.
void route(const std::vector<TreeNode>& nodes) {
    for (std::size_t i = 1; i < nodes.size(); ++i) {
        const TreeNode& node = nodes[i];
        ZN_NLine* line = node.line;
        if (!line || line->getPointSize() < 2 || line->inputs().empty() ||
            line->inputs().front() != nodes[static_cast<std::size_t>(node.parent)].shape ||
            line->outputs().empty() || line->outputs().front() != node.shape)
            continue;
        const bool right = node.side > 0;
        line->setOutNumber(isPoint(line->inputs().front()) ? 9 : (right ? 6 : 2));
        line->setInNumber(isPoint(node.shape) ? 9 : (right ? 2 : 6));
        line->setbOffsetH(0);
        // The bends of the old route go; the ends are glued twice, since a
        // point meets the line where the line's other end was.
        while (line->getPointSize() > 2)
            line->deletePoint(1);
        line->reglueEnds();
        line->reglueEnds();
        line->autoAlign(2);
    }
}

} // namespace

std::vector<ZN_ShapeBase*> ZN_LayoutTree(ZN_ShapeBase* root, const ZN_TreeLayoutOptions& options) {
    if (!root || root->type() == 1 || root->type() == 5)
        return {};
    std::vector<TreeNode> nodes = collect(root);
    std::vector<float> y(nodes.size(), 0.0f);
    placeSide(nodes, 1, options.siblingGap, y);
    placeSide(nodes, -1, options.siblingGap, y);

    const std::vector<float> right = columnStarts(nodes, 1, options.columnGap);
    const std::vector<float> left = columnStarts(nodes, -1, options.columnGap);
    const float rootLeft = root->getPoint1().X();
    const float rootRight = isPoint(root) ? centreX(root) + 0.5f * nodes[0].width
                                          : root->getPoint2().X();
    const float leftEdge = isPoint(root) ? centreX(root) - 0.5f * nodes[0].width : rootLeft;
    const float rootY = centreY(root);
    for (std::size_t i = 1; i < nodes.size(); ++i) {
        TreeNode& node = nodes[i];
        const auto d = static_cast<std::size_t>(node.depth);
        const float x = node.side > 0 ? rootRight + right[d] + 0.5f * node.width
                                      : leftEdge - left[d] - 0.5f * node.width;
        moveTo(node, x, rootY + y[i]);
    }
    route(nodes);
    std::vector<ZN_ShapeBase*> placed;
    placed.reserve(nodes.size());
    for (const TreeNode& node : nodes)
        placed.push_back(node.shape);
    return placed;
}
