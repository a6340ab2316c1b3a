#include "interchange/MapPage.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>

#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>

#include "interchange/MapPictures.h"

namespace interchange {

namespace {

constexpr float kOnOutline = 1.5f;

bool isNode(const ZN_ShapeBase* s) { return s->isRegion() && s->type() != 2; }
bool isPoint(const ZN_ShapeBase* s) { return s->type() == 2; }
bool isFree(const ZN_ShapeBase* s) { return s->inputs().empty() && s->outputs().empty(); }

MapColour fromVector(const ZVector3& v) {
    auto channel = [](float f) {
        return static_cast<std::uint8_t>(std::lround(std::clamp(f, 0.0f, 1.0f) * 255.0f));
    };
    return {channel(v.X()), channel(v.Y()), channel(v.Z()), true};
}

void describe(const ZN_ShapeBase* shape, MapNode& node) {
    if (const ZN_SText* label = shape->getLabel()) {
        node.text = label->getText();
        if (node.text == " ") // a new label's placeholder
            node.text.clear();
        const LOGFONTA font = label->getFont();
        const int pixels = std::abs(font.lfHeight);
        if (pixels > 0 && pixels != pixelsForPoints(12))
            node.fontSize = pointsForPixels(pixels);
        node.bold = font.lfWeight >= 600;
        node.italic = font.lfItalic != 0;
        const MapColour colour = fromVector(label->getFontColor());
        if (colour.r || colour.g || colour.b)
            node.color = colour;
    }
    if (const auto* box = dynamic_cast<const ZN_NRect*>(shape)) {
        const MapColour fill = fromVector(box->getFillColor());
        if (fill.r != 255 || fill.g != 255 || fill.b != 255)
            node.background = fill;
    }
}

// What a node holds beyond its look: its fields, its anchor as the id links
// name it by, and the picture of a plain rectangle, at the size it is shown.
void describeExtras(const ZN_ShapeBase* shape, MapNode& node) {
    if (shape->hasFields()) {
        node.fields = shape->getFields();
        if (!node.fields.anchor.empty())
            node.id = node.fields.anchor;
    }
    if (shape->type() != 7)
        return;
    const auto* box = static_cast<const ZN_NRect*>(shape);
    if (const ZImageTexture* picture = box->getImageData()) {
        const ZVector2 size = box->getPoint2() - box->getPoint1();
        node.image = encodePicture(*picture, static_cast<int>(std::lround(size.X())),
                                   static_cast<int>(std::lround(size.Y())));
    }
}

// A box's outline as a node's shape; a rectangle or a parallelogram is the
// box every node gets anyway.
MapShape shapeOf(const ZN_ShapeBase* shape) {
    switch (shape->type()) {
    case 8: return MapShape::Circle;
    case 9: return MapShape::Rounded;
    case 10: return MapShape::Hexagon;
    default: return MapShape::Default;
    }
}

void describeEdge(const ZN_NLine* line, MapNode& node) {
    const MapColour colour = fromVector(line->getColor());
    if (colour.r || colour.g || colour.b)
        node.edgeColor = colour;
    if (line->getLineWide() != 2)
        node.edgeWidth = line->getLineWide();
}

struct Child {
    ZN_ShapeBase* shape;
    const ZN_NLine* line; // the last line on the way, for the branch's look
};

// The nodes below `shape`, seen through points; `folded` is set when a
// collapsed fold point lies on the way.
std::vector<Child> childrenOf(ZN_ShapeBase* shape, bool& folded) {
    std::vector<Child> out;
    std::vector<ZN_ShapeBase*> points;
    std::unordered_map<const ZN_ShapeBase*, bool> passed;
    auto follow = [&](ZN_ShapeBase* from) {
        for (ZN_ShapeBase* o : from->outputs()) {
            if (!o || o->type() != 1 || o->isCrossLink())
                continue;
            for (ZN_ShapeBase* end : o->outputs()) {
                if (!end)
                    continue;
                if (isNode(end)) {
                    out.push_back({end, static_cast<const ZN_NLine*>(o)});
                } else if (isPoint(end) && passed.emplace(end, true).second) {
                    const auto* point = static_cast<const ZN_NPoint*>(end);
                    folded = folded || point->getStateType() == 2;
                    points.push_back(end);
                }
            }
        }
    };
    follow(shape);
    for (std::size_t i = 0; i < points.size(); ++i)
        follow(points[i]);
    return out;
}

float outlineDistance(const ZN_ShapeBase* s, const ZVector2& p) {
    const ZVector2 a = s->getPoint1(), b = s->getPoint2();
    const float dx = std::max({a.X() - p.X(), 0.0f, p.X() - b.X()});
    const float dy = std::max({a.Y() - p.Y(), 0.0f, p.Y() - b.Y()});
    if (dx > 0.0f || dy > 0.0f)
        return std::hypot(dx, dy);
    return std::min({p.X() - a.X(), b.X() - p.X(), p.Y() - a.Y(), b.Y() - p.Y()});
}

// The nodes by the cells of a grid their outlines touch, so that finding the
// node at an arrow's end looks at a few nodes rather than at all of them.
class OutlineGrid {
public:
    explicit OutlineGrid(const std::vector<ZN_ShapeBase*>& nodes) : nodes_(nodes) {
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            const ZVector2 a = nodes[i]->getPoint1(), b = nodes[i]->getPoint2();
            long x0, y0, x1, y1;
            if (!cell(std::min(a.X(), b.X()) - kOnOutline, x0) || !cell(std::min(a.Y(), b.Y()) - kOnOutline, y0) ||
                !cell(std::max(a.X(), b.X()) + kOnOutline, x1) || !cell(std::max(a.Y(), b.Y()) + kOnOutline, y1) ||
                (x1 - x0 + 1) * (y1 - y0 + 1) > kMostCells) {
                large_.push_back(static_cast<int>(i)); // looked at for every point
                continue;
            }
            for (long y = y0; y <= y1; ++y)
                for (long x = x0; x <= x1; ++x)
                    cells_[key(x, y)].push_back(static_cast<int>(i));
        }
    }

    // The first shown node whose outline `p` lies on, else the first hidden
    // one; -1 for none. "First" is in the order of the nodes given.
    int nodeAt(const ZVector2& p) const {
        int shown = -1, hidden = -1;
        auto consider = [&](int i) {
            const ZN_ShapeBase* n = nodes_[static_cast<std::size_t>(i)];
            if ((shown >= 0 && i > shown) || outlineDistance(n, p) > kOnOutline)
                return;
            if (n->getShow())
                shown = shown < 0 ? i : std::min(shown, i);
            else
                hidden = hidden < 0 ? i : std::min(hidden, i);
        };
        for (int i : large_)
            consider(i);
        long x, y;
        if (cell(p.X(), x) && cell(p.Y(), y))
            if (const auto it = cells_.find(key(x, y)); it != cells_.end())
                for (int i : it->second)
                    consider(i);
        return shown >= 0 ? shown : hidden;
    }

private:
    static constexpr float kCell = 256.0f;
    static constexpr long kMostCells = 64;

    static bool cell(float v, long& out) {
        if (!(std::fabs(v) < 1e12f))
            return false; // not a number, or too far out to be on a page
        out = static_cast<long>(std::floor(v / kCell));
        return true;
    }
    static std::uint64_t key(long x, long y) {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 32) |
               static_cast<std::uint32_t>(y);
    }

    const std::vector<ZN_ShapeBase*>& nodes_;
    std::unordered_map<std::uint64_t, std::vector<int>> cells_;
    std::vector<int> large_;
};

// Sorts the page's shapes: nodes of trees, arrows that may be cross links,
// and what no format holds, which is counted.
void sortShapes(const ZN_ShapeManager& page, std::vector<ZN_ShapeBase*>& candidates,
                std::vector<const ZN_NLine*>& arrows, std::vector<const ZN_NLine*>& crossLinks,
                Skipped& skipped) {
    for (ZN_ShapeBase* s : page.getShapeList()) {
        if (s->type() == 1 && s->isCrossLink()) {
            crossLinks.push_back(static_cast<const ZN_NLine*>(s));
        } else if (s->type() == 12 && isFree(s)) {
            skipped.add(kTables);
        } else if (isNode(s)) {
            candidates.push_back(s);
        } else if (s->type() == 5) {
            skipped.add(kFreeTexts);
        } else if (isPoint(s) && isFree(s)) {
            skipped.add(kPoints);
        } else if (s->type() == 1 && isFree(s)) {
            const auto* line = static_cast<const ZN_NLine*>(s);
            if (line->getArrowType() != 0 && line->getPointSize() >= 2)
                arrows.push_back(line);
            else
                skipped.add(kLines);
        }
    }
}

// Roots' children say on which side of their root they stand.
void markSides(MapSheet& sheet, const std::vector<ZN_ShapeBase*>& candidates,
               const std::vector<int>& sheetIndex) {
    std::vector<std::size_t> shapeOf(sheet.nodes.size(), 0);
    for (std::size_t i = 0; i < candidates.size(); ++i)
        shapeOf[static_cast<std::size_t>(sheetIndex[i])] = i;
    for (int r : sheet.roots) {
        const float rootX = candidates[shapeOf[static_cast<std::size_t>(r)]]->getRegionPos(9).X();
        for (int c : sheet.nodes[static_cast<std::size_t>(r)].children) {
            const float x = candidates[shapeOf[static_cast<std::size_t>(c)]]->getRegionPos(9).X();
            sheet.nodes[static_cast<std::size_t>(c)].side = x < rootX ? -1 : 1;
        }
    }
}

// Cross links name their two nodes; a free arrow is a cross link between the
// nodes on whose outlines its ends lie.
void addCrossLinks(MapSheet& sheet, const std::vector<ZN_ShapeBase*>& candidates,
                   const std::vector<int>& sheetIndex, const std::vector<const ZN_NLine*>& arrows,
                   const std::vector<const ZN_NLine*>& crossLinks, Skipped& skipped) {
    std::unordered_map<const ZN_ShapeBase*, int> node;
    if (!crossLinks.empty())
        for (std::size_t i = 0; i < candidates.size(); ++i)
            node.emplace(candidates[i], sheetIndex[i]);
    for (const ZN_NLine* line : crossLinks) {
        const auto& ins = line->inputs();
        const auto& outs = line->outputs();
        const auto from = ins.empty() ? node.end() : node.find(ins.front());
        const auto to = outs.empty() ? node.end() : node.find(outs.front());
        if (from == node.end() || to == node.end() || from->second == to->second) {
            skipped.add(kLines);
            continue;
        }
        std::string title;
        if (const ZN_SText* label = line->getLabel())
            title = label->getText();
        sheet.links.push_back({from->second, to->second, std::move(title)});
    }
    if (arrows.empty())
        return;
    const OutlineGrid grid(candidates);
    for (const ZN_NLine* line : arrows) {
        const int from = grid.nodeAt(line->getPoints().front());
        const int to = grid.nodeAt(line->getPoints().back());
        if (from < 0 || to < 0 || from == to) {
            skipped.add(kLines);
            continue;
        }
        sheet.links.push_back({sheetIndex[static_cast<std::size_t>(from)],
                               sheetIndex[static_cast<std::size_t>(to)], {}});
    }
}

} // namespace

MapSheet pageTrees(const ZN_ShapeManager& page, const std::string& title, Skipped& skipped) {
    MapSheet sheet;
    sheet.title = title;
    std::vector<ZN_ShapeBase*> candidates;
    std::vector<const ZN_NLine*> arrows;
    std::vector<const ZN_NLine*> crossLinks;
    sortShapes(page, candidates, arrows, crossLinks, skipped);
    // Which nodes some other node leads to: those are not roots.
    std::unordered_map<const ZN_ShapeBase*, int> index;
    std::vector<bool> led(candidates.size(), false);
    for (std::size_t i = 0; i < candidates.size(); ++i)
        index.emplace(candidates[i], static_cast<int>(i));
    std::vector<std::vector<Child>> children(candidates.size());
    std::vector<bool> folded(candidates.size(), false);
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        bool f = false;
        children[i] = childrenOf(candidates[i], f);
        folded[i] = f;
        for (const Child& c : children[i])
            if (c.shape != candidates[i])
                led[static_cast<std::size_t>(index.at(c.shape))] = true;
    }
    std::vector<int> sheetIndex(candidates.size(), -1);
    auto grow = [&](std::size_t root) {
        std::vector<std::size_t> stack{root};
        sheetIndex[root] = sheet.add(-1, {});
        while (!stack.empty()) {
            const std::size_t i = stack.back();
            stack.pop_back();
            const int here = sheetIndex[i];
            describe(candidates[i], sheet.nodes[static_cast<std::size_t>(here)]);
            describeExtras(candidates[i], sheet.nodes[static_cast<std::size_t>(here)]);
            sheet.nodes[static_cast<std::size_t>(here)].shape = shapeOf(candidates[i]);
            sheet.nodes[static_cast<std::size_t>(here)].folded = folded[i] && !children[i].empty();
            std::vector<std::size_t> next;
            for (const Child& c : children[i]) {
                const auto k = static_cast<std::size_t>(index.at(c.shape));
                if (sheetIndex[k] >= 0)
                    continue; // met already: a second parent or a loop
                sheetIndex[k] = sheet.add(here, {});
                describeEdge(c.line, sheet.nodes[static_cast<std::size_t>(sheetIndex[k])]);
                next.push_back(k);
            }
            for (auto it = next.rbegin(); it != next.rend(); ++it)
                stack.push_back(*it);
        }
    };
    for (std::size_t i = 0; i < candidates.size(); ++i)
        if (!led[i] && sheetIndex[i] < 0)
            grow(i);
    // Nodes only on loops have no root; the first of each loop serves.
    for (std::size_t i = 0; i < candidates.size(); ++i)
        if (sheetIndex[i] < 0)
            grow(i);
    markSides(sheet, candidates, sheetIndex);
    addCrossLinks(sheet, candidates, sheetIndex, arrows, crossLinks, skipped);
    return sheet;
}

MapSheet subtreesOf(const std::vector<ZN_ShapeBase*>& heads) {
    MapSheet sheet;
    // A head below another one is part of that one's tree.
    std::unordered_map<const ZN_ShapeBase*, bool> below;
    for (ZN_ShapeBase* head : heads) {
        if (!head || !isNode(head) || below.count(head))
            continue;
        std::vector<ZN_ShapeBase*> stack{head};
        while (!stack.empty()) {
            ZN_ShapeBase* at = stack.back();
            stack.pop_back();
            bool folded = false;
            for (const Child& c : childrenOf(at, folded))
                if (c.shape != head && below.emplace(c.shape, true).second)
                    stack.push_back(c.shape);
        }
    }
    std::unordered_map<const ZN_ShapeBase*, bool> met;
    for (ZN_ShapeBase* head : heads) {
        if (!head || !isNode(head) || below.count(head) || !met.emplace(head, true).second)
            continue;
        struct Step {
            ZN_ShapeBase* shape;
            int parent;
        };
        std::vector<Step> stack{{head, -1}};
        while (!stack.empty()) {
            const Step step = stack.back();
            stack.pop_back();
            const int here = sheet.add(step.parent, {});
            MapNode& node = sheet.nodes[static_cast<std::size_t>(here)];
            describe(step.shape, node);
            if (step.shape->hasFields())
                node.fields = step.shape->getFields();
            node.shape = shapeOf(step.shape);
            bool folded = false;
            const std::vector<Child> children = childrenOf(step.shape, folded);
            std::vector<Step> next;
            for (const Child& c : children)
                if (met.emplace(c.shape, true).second)
                    next.push_back({c.shape, here});
            node.folded = folded && !next.empty();
            for (auto it = next.rbegin(); it != next.rend(); ++it)
                stack.push_back(*it);
        }
    }
    return sheet;
}

} // namespace interchange
