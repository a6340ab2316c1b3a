#include "LayoutTestSupport.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <unordered_map>
#include <unordered_set>

#include "CoreTestSupport.h"

namespace layouttest {

Box Box::grown(const Box& b) const {
    return {std::min(x1, b.x1), std::min(y1, b.y1), std::max(x2, b.x2), std::max(y2, b.y2)};
}

Box boxOf(const ZN_ShapeBase* s) {
    if (const auto* p = dynamic_cast<const ZN_NPoint*>(s)) {
        const ZVector2 c = p->getCoord();
        const float r = p->getPointSize();
        return {c.X() - r, c.Y() - r, c.X() + r, c.Y() + r};
    }
    return {s->getPoint1().X(), s->getPoint1().Y(), s->getPoint2().X(), s->getPoint2().Y()};
}

ZN_ShapeBase* Map::add(ZN_ShapeBase* parent, float w, float h, float x, float y) {
    ZN_ShapeBase* box = coretest::makeBox(x, y, x + w, y + h);
    page.addShape(box);
    nodes.push_back(box);
    if (parent) {
        // Children of a node with a fold point hang from the fold point.
        ZN_ShapeBase* from = parent;
        for (ZN_NPoint* f : folds)
            if (lineInto(f) && lineInto(f)->inputs().front() == parent)
                from = f;
        ZN_NLine* line = coretest::makeLine(from, box);
        line->setStrightType(1);
        page.addShapeFront(line);
    }
    return box;
}

ZN_NPoint* Map::fold(ZN_ShapeBase* node, int state) {
    auto* point = new ZN_NPoint();
    point->setStateType(state);
    point->setCoord(node->getPoint2());
    page.addShape(point);
    ZN_NLine* line = coretest::makeLine(node, point);
    page.addShapeFront(line);
    folds.push_back(point);
    return point;
}

ZN_NLine* Map::lineInto(const ZN_ShapeBase* node) const {
    for (ZN_ShapeBase* in : node->inputs())
        if (auto* line = dynamic_cast<ZN_NLine*>(in); line && !line->inputs().empty())
            return line;
    return nullptr;
}

void randomMap(Map& map, int n, unsigned seed, bool folds) {
    std::mt19937 rng(seed);
    const auto size = [&](int lo, int hi) {
        return static_cast<float>(std::uniform_int_distribution<int>(lo, hi)(rng));
    };
    map.add(nullptr, size(60, 180), size(24, 60), 0.0f, 0.0f);
    for (int i = 1; i < n; ++i) {
        // Mostly near the last nodes made, so that the trees grow deep too.
        const std::size_t pick =
            rng() % 3 == 0 ? rng() % map.nodes.size()
                           : map.nodes.size() - 1 - rng() % std::min<std::size_t>(map.nodes.size(), 6);
        ZN_ShapeBase* parent = map.nodes[pick];
        if (folds && parent != map.root() && parent->outputs().empty() && rng() % 6 == 0)
            map.fold(parent, rng() % 2 ? 2 : 1);
        const float side = rng() % 2 ? 1000.0f : -1000.0f;
        map.add(parent, size(20, 220), size(14, 70), side, 0.0f);
    }
    map.page.collapseFoldedPoints();
}

namespace {

// The shown tree as the drawing shows it: children through connectors,
// through fold points too.
struct ShownTree {
    std::vector<const ZN_ShapeBase*> nodes;
    std::unordered_map<const ZN_ShapeBase*, std::vector<const ZN_ShapeBase*>> children;
    std::unordered_map<const ZN_ShapeBase*, std::vector<const ZN_ShapeBase*>> folds;
};

void childrenOf(const ZN_ShapeBase* from, const ZN_ShapeBase* owner, ShownTree& tree,
                std::unordered_set<const ZN_ShapeBase*>& seen, std::vector<const ZN_ShapeBase*>& stack) {
    for (const ZN_ShapeBase* out : from->outputs()) {
        if (out->type() != 1 || out->outputs().empty() || !out->outputs().front()->getShow())
            continue;
        const ZN_ShapeBase* end = out->outputs().front();
        if (!seen.insert(end).second)
            continue;
        const auto* point = dynamic_cast<const ZN_NPoint*>(end);
        if (point && point->getStateType() != 0 && from == owner) {
            tree.folds[owner].push_back(end);
            childrenOf(end, owner, tree, seen, stack);
            continue;
        }
        tree.children[owner].push_back(end);
        stack.push_back(end);
    }
}

ShownTree shownTree(const ZN_ShapeBase* root) {
    ShownTree tree;
    std::unordered_set<const ZN_ShapeBase*> seen{root};
    std::vector<const ZN_ShapeBase*> stack{root};
    while (!stack.empty()) {
        const ZN_ShapeBase* node = stack.back();
        stack.pop_back();
        tree.nodes.push_back(node);
        childrenOf(node, node, tree, seen, stack);
    }
    return tree;
}

// The points of a connector as drawn: its polyline, or the curve through
// its points, then the horizontal tail.
std::vector<ZVector2> drawnPath(const ZN_NLine* line) {
    const auto& p = line->getPoints();
    std::vector<ZVector2> out;
    if (line->getStrightType() != 0 && p.size() >= 3) {
        std::vector<ZVector2> e{p.front()};
        e.insert(e.end(), p.begin(), p.end());
        e.push_back(p.back());
        out.push_back(p.front());
        for (std::size_t k = 0; k + 1 < p.size(); ++k) {
            for (int i = 1; i <= 9; ++i) {
                const float u = 0.1f * static_cast<float>(i);
                const float a = -u * u * u + 2 * u * u - u, b = 3 * u * u * u - 5 * u * u + 2;
                const float c = -3 * u * u * u + 4 * u * u + u, d = u * u * u - u * u;
                out.push_back((e[k] * a + e[k + 1] * b + e[k + 2] * c + e[k + 3] * d) * 0.5f);
            }
            out.push_back(p[k + 1]);
        }
    } else {
        out.assign(p.begin(), p.end());
    }
    if (line->getbOffsetH() && line->getArrowType() == 0 && !out.empty())
        out.push_back(out.back() + ZVector2(line->getOffsetH(), 0.0f));
    return out;
}

// Whether the segment a-b passes through the inside of `box` (Liang-Barsky).
bool crosses(const ZVector2& a, const ZVector2& b, const Box& box) {
    float t0 = 0.0f, t1 = 1.0f;
    const float dx = b.X() - a.X(), dy = b.Y() - a.Y();
    const float p[4] = {-dx, dx, -dy, dy};
    const float q[4] = {a.X() - box.x1, box.x2 - a.X(), a.Y() - box.y1, box.y2 - a.Y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0f) {
            if (q[i] < 0.0f)
                return false;
            continue;
        }
        const float t = q[i] / p[i];
        if (p[i] < 0.0f)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    return true;
}

std::string name(const ZN_ShapeBase* s) {
    const Box b = boxOf(s);
    std::ostringstream out;
    out << "node at (" << b.x1 << ", " << b.y1 << ")-(" << b.x2 << ", " << b.y2 << ")";
    return out.str();
}

} // namespace

std::vector<std::string> layoutFaults(const ZN_ShapeBase* root, const ZN_ShapeManager& page) {
    std::vector<std::string> faults;
    const ShownTree tree = shownTree(root);
    // Branch extents, children first.
    std::unordered_map<const ZN_ShapeBase*, Box> extent;
    for (auto it = tree.nodes.rbegin(); it != tree.nodes.rend(); ++it) {
        Box b = boxOf(*it);
        if (auto f = tree.folds.find(*it); f != tree.folds.end())
            for (const ZN_ShapeBase* fold : f->second)
                b = b.grown(boxOf(fold));
        if (auto c = tree.children.find(*it); c != tree.children.end()) {
            for (const ZN_ShapeBase* child : c->second)
                b = b.grown(extent.at(child));
            for (std::size_t i = 0; i < c->second.size(); ++i)
                for (std::size_t j = i + 1; j < c->second.size(); ++j)
                    if (extent.at(c->second[i]).overlaps(extent.at(c->second[j])))
                        faults.push_back("branches of " + name(c->second[i]) + " and " +
                                         name(c->second[j]) + " overlap");
        }
        extent[*it] = b;
        if (faults.size() > 20)
            return faults;
    }
    // Obstacles in a grid of cells, then each drawn segment of each shown
    // connector of the tree against the obstacles near it.
    constexpr float kCell = 128.0f;
    std::vector<std::pair<const ZN_ShapeBase*, Box>> obstacles;
    for (const ZN_ShapeBase* node : tree.nodes) {
        obstacles.push_back({node, boxOf(node)});
        if (auto f = tree.folds.find(node); f != tree.folds.end())
            for (const ZN_ShapeBase* fold : f->second)
                obstacles.push_back({fold, boxOf(fold)});
    }
    std::unordered_map<long long, std::vector<std::size_t>> grid;
    const auto cell = [&](float x, float y) {
        return (static_cast<long long>(std::floor(x / kCell)) << 32) ^
               static_cast<long long>(static_cast<unsigned>(static_cast<int>(std::floor(y / kCell))));
    };
    for (std::size_t i = 0; i < obstacles.size(); ++i) {
        const Box& b = obstacles[i].second;
        for (float x = std::floor(b.x1 / kCell) * kCell; x <= b.x2; x += kCell)
            for (float y = std::floor(b.y1 / kCell) * kCell; y <= b.y2; y += kCell)
                grid[cell(x, y)].push_back(i);
    }
    std::unordered_set<const ZN_ShapeBase*> inTree(tree.nodes.begin(), tree.nodes.end());
    for (const auto& [owner, folds] : tree.folds)
        inTree.insert(folds.begin(), folds.end());
    for (const ZN_ShapeBase* s : page.getShapeList()) {
        const auto* line = dynamic_cast<const ZN_NLine*>(s);
        if (!line || !line->getShow() || line->inputs().empty() || line->outputs().empty() ||
            !inTree.count(line->inputs().front()) || !inTree.count(line->outputs().front()))
            continue;
        const std::vector<ZVector2> path = drawnPath(line);
        std::unordered_set<std::size_t> tested;
        for (std::size_t k = 0; k + 1 < path.size(); ++k) {
            const ZVector2 a = path[k], b = path[k + 1];
            for (float x = std::floor(std::min(a.X(), b.X()) / kCell) * kCell;
                 x <= std::max(a.X(), b.X()); x += kCell)
                for (float y = std::floor(std::min(a.Y(), b.Y()) / kCell) * kCell;
                     y <= std::max(a.Y(), b.Y()); y += kCell) {
                    auto at = grid.find(cell(x, y));
                    if (at == grid.end())
                        continue;
                    for (std::size_t i : at->second) {
                        const auto& [shape, box] = obstacles[i];
                        if (shape == line->inputs().front() || shape == line->outputs().front())
                            continue;
                        // A pixel inside, so that passing along an edge is no fault.
                        const Box inner{box.x1 + 1, box.y1 + 1, box.x2 - 1, box.y2 - 1};
                        if (inner.x1 < inner.x2 && inner.y1 < inner.y2 && crosses(a, b, inner) &&
                            tested.insert(i).second)
                            faults.push_back("a connector from " + name(line->inputs().front()) +
                                             " crosses " + name(shape));
                    }
                }
        }
        if (faults.size() > 20)
            break;
    }
    return faults;
}

std::string geometryDifference(const ZN_ShapeManager& a, const ZN_ShapeManager& b,
                               float tolerance) {
    const auto& la = a.getShapeList();
    const auto& lb = b.getShapeList();
    if (la.size() != lb.size())
        return "the pages hold " + std::to_string(la.size()) + " and " + std::to_string(lb.size()) +
               " shapes";
    const auto near = [tolerance](const ZVector2& p, const ZVector2& q) {
        return std::abs(p.X() - q.X()) <= tolerance && std::abs(p.Y() - q.Y()) <= tolerance;
    };
    std::size_t i = 0;
    for (auto ia = la.begin(), ib = lb.begin(); ia != la.end(); ++ia, ++ib, ++i) {
        const ZN_ShapeBase* sa = *ia;
        const ZN_ShapeBase* sb = *ib;
        std::ostringstream where;
        where << "shape " << i << " (type " << sa->type() << ")";
        if (sa->type() != sb->type() || sa->getShow() != sb->getShow())
            return where.str() + ": type or visibility";
        if (const auto* line = dynamic_cast<const ZN_NLine*>(sa)) {
            const auto* other = static_cast<const ZN_NLine*>(sb);
            if (line->getPointSize() != other->getPointSize())
                return where.str() + ": point count";
            for (int k = 0; k < line->getPointSize(); ++k)
                if (!near(line->getPoints()[k], other->getPoints()[k]))
                    return where.str() + ": point " + std::to_string(k);
            continue;
        }
        if (!near(sa->getPoint1(), sb->getPoint1()) || !near(sa->getPoint2(), sb->getPoint2())) {
            where << " at (" << sa->getPoint1().X() << ", " << sa->getPoint1().Y() << ") and ("
                  << sb->getPoint1().X() << ", " << sb->getPoint1().Y() << ")";
            return where.str();
        }
    }
    return {};
}

} // namespace layouttest
