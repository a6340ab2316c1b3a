#include "interchange/MapPage.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NodeMarks.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/ZN_TreeLayout.h>

#include "interchange/LabelWrap.h"
#include "interchange/MapPictures.h"

namespace interchange {

namespace {

constexpr int kDefaultPoints = 12;
constexpr float kMargin = 40.0f;
constexpr float kTreeGap = 60.0f;
constexpr int kBranchWidth = 2;
constexpr float kSideStart = 100000.0f;

ZVector3 toVector(const MapColour& c) {
    return ZVector3(static_cast<float>(c.r) / 255.0f, static_cast<float>(c.g) / 255.0f,
                    static_cast<float>(c.b) / 255.0f);
}

ZN_SText* makeLabel(const MapNode& node) {
    auto* label = new ZN_SText();
    LOGFONTA font = label->getFont();
    font.lfHeight = -pixelsForPoints(node.fontSize > 0 ? node.fontSize : kDefaultPoints);
    font.lfWeight = node.bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = node.italic ? 1 : 0;
    label->setRect(ZVector2(0.0f, 0.0f), ZVector2(0.0f, 0.0f));
    label->setText(wrapLabel(node.text).c_str());
    label->setFont(font);
    if (node.color.set)
        label->setFontColor(toVector(node.color));
    return label;
}

// The box outline nearest to a node's shape: the round ones (circle, bang,
// cloud) an ellipse, a hexagon the rhombus, which is pointed at its sides.
int boxType(MapShape shape) {
    switch (shape) {
    case MapShape::Rounded: return 9;
    case MapShape::Circle:
    case MapShape::Bang:
    case MapShape::Cloud: return 8;
    case MapShape::Hexagon: return 10;
    case MapShape::Default:
    case MapShape::Rectangle: break;
    }
    return 7;
}

ZN_NRect* makeBox(const MapNode& node, const ZVector2& at) {
    auto* box = static_cast<ZN_NRect*>(ZN_ShapeBase::createShape(boxType(node.shape)));
    ZN_SText* label = makeLabel(node);
    const ZVector2 size = label->getPoint2() - label->getPoint1();
    const float w = std::max(size.X() + 24.0f, 40.0f);
    const float h = std::max(size.Y() + 14.0f, 26.0f);
    box->setPoint1(at);
    box->setPoint2(at + ZVector2(w, h));
    if (node.background.set)
        box->setFillColor(toVector(node.background));
    label->setHost(box);
    box->setLabel(label);
    box->resetLabelPosition();
    return box;
}

ZN_NLine* join(ZN_ShapeManager& page, ZN_ShapeBase* from, ZN_ShapeBase* to, const MapNode& child) {
    ZN_NLine* line = joinBranch(page, from, to);
    if (child.edgeWidth > 0)
        line->setLineWide(child.edgeWidth);
    if (child.edgeColor.set)
        line->setColor(toVector(child.edgeColor));
    return line;
}

bool inside(const ZN_ShapeBase* s, const ZVector2& p) {
    const ZVector2 a = s->getPoint1(), b = s->getPoint2();
    return p.X() >= a.X() && p.X() <= b.X() && p.Y() >= a.Y() && p.Y() <= b.Y();
}

// A cross link: a curved arrow from one box's outline to the other's, bowed
// to one side so that it stands apart from the branches, and glued to both
// boxes as a connector is. Its bend stays clear of both boxes, so that the
// ends find the outlines even between close neighbours.
void crossLink(ZN_ShapeManager& page, ZN_ShapeBase* from, ZN_ShapeBase* to,
               const std::string& title) {
    const ZVector2 a = from->getRegionPos(9);
    const ZVector2 b = to->getRegionPos(9);
    const ZVector2 d = b - a;
    const float length = std::hypot(d.X(), d.Y());
    ZVector2 side = length > 0.0f ? ZVector2(-d.Y() / length, d.X() / length) : ZVector2(1.0f, 0.0f);
    float bow = std::max(length * 0.25f, 40.0f);
    ZVector2 mid = (a + b) * 0.5f + side * bow;
    for (int i = 0; i < 8 && (inside(from, mid) || inside(to, mid)); ++i) {
        bow *= 2.0f;
        mid = (a + b) * 0.5f + side * bow;
    }
    auto* line = static_cast<ZN_NLine*>(ZN_ShapeBase::createShape(1));
    ZN_NodeFields fields;
    fields.crossLink = true;
    line->setFields(std::move(fields));
    line->pushPointBack(a);
    line->pushPointBack(mid);
    line->pushPointBack(b);
    line->setOutNumber(9);
    line->setInNumber(9);
    line->setStrightType(1);
    line->setArrowType(1);
    line->setArrowSize(14);
    line->setLineWide(kBranchWidth);
    line->setColor(ZVector3(0.75f, 0.15f, 0.15f));
    if (!title.empty()) {
        MapNode caption;
        caption.text = title;
        caption.fontSize = 10;
        caption.color = {191, 38, 38, true};
        ZN_SText* label = makeLabel(caption);
        label->setHost(line);
        line->setLabel(label);
    }
    from->pushToOutput(line);
    line->pushToInput(from);
    line->pushToOutput(to);
    to->pushToInput(line);
    line->reglueEnds();
    page.addShape(line);
}

// The ids that some node's link names ("#id"): those nodes keep their id as
// their anchor, so that the link still finds them on the page.
std::unordered_set<std::string> linkedIds(const MapSheet& sheet) {
    std::unordered_set<std::string> ids;
    for (const MapNode& node : sheet.nodes) {
        const std::string_view anchor = ZN_LinkedAnchor(node.fields.link);
        if (!anchor.empty())
            ids.emplace(anchor);
    }
    return ids;
}

// Gives a new box what its node holds beyond its label: the fields, with the
// anchor a link needs, and the picture, which the box is sized to show. The
// box then makes room for its markers. Pictures go to `pictures`; without
// one, nodes' pictures are left out.
void addNodeExtras(ZN_NRect& box, const MapNode& node,
                   const std::unordered_set<std::string>& linked,
                   std::vector<std::unique_ptr<ZImageTexture>>* pictures) {
    ZN_NodeFields fields = node.fields;
    if (fields.anchor.empty() && !node.id.empty() && linked.count(node.id))
        fields.anchor = node.id;
    box.setFields(std::move(fields));
    if (pictures && !node.image.empty()) {
        if (std::unique_ptr<ZImageTexture> picture = decodePicture(node.image)) {
            float w = 0.0f, h = 0.0f;
            shownSize(node.image, *picture, w, h);
            const ZVector2 p1 = box.getPoint1();
            const ZVector2 p2 = box.getPoint2();
            box.setPoint2(ZVector2(std::max(p2.X(), p1.X() + w), std::max(p2.Y(), p1.Y() + h)));
            box.setImageData(picture.get());
            pictures->push_back(std::move(picture));
        }
    }
    const float strip = ZN_MarkerStripWidth(box.getFields().markers.size());
    if (strip > 0.0f)
        box.setPoint2(box.getPoint2() + ZVector2(strip, 0.0f));
    box.resetLabelPosition();
}

struct Bounds {
    float minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool any = false;
    void add(const ZN_ShapeBase* s) {
        const ZVector2 a = s->getPoint1();
        const ZVector2 b = s->getPoint2();
        if (!any) {
            *this = {a.X(), a.Y(), b.X(), b.Y(), true};
            return;
        }
        minX = std::min(minX, a.X());
        minY = std::min(minY, a.Y());
        maxX = std::max(maxX, b.X());
        maxY = std::max(maxY, b.Y());
    }
};

bool sidesGiven(const MapNode& root, const MapSheet& sheet) {
    return std::any_of(root.children.begin(), root.children.end(), [&](int c) {
        return sheet.nodes[static_cast<std::size_t>(c)].side != 0;
    });
}

// The layout a tree comes in with: the one its file gives; else a mind map
// when the file puts the root's children on sides or the root has more than
// four children, and a logic chart growing right otherwise.
ZN_Layout importLayout(const MapNode& root, const MapSheet& sheet) {
    if (root.fields.layout != ZN_Layout::None)
        return root.fields.layout;
    if (sidesGiven(root, sheet) || root.children.size() > 4)
        return ZN_Layout::MindMap;
    return ZN_Layout::LogicRight;
}

// What the shown boxes and fold points of the tree below `root` cover.
Bounds shownBounds(const MapSheet& sheet, int root, const std::vector<ZN_ShapeBase*>& boxes,
                   const std::vector<ZN_ShapeBase*>& folds) {
    Bounds b;
    std::vector<int> stack{root};
    while (!stack.empty()) {
        const auto i = static_cast<std::size_t>(stack.back());
        stack.pop_back();
        for (const ZN_ShapeBase* s : {boxes[i], folds[i]})
            if (s && s->getShow())
                b.add(s);
        const auto& kids = sheet.nodes[i].children;
        stack.insert(stack.end(), kids.begin(), kids.end());
    }
    return b;
}

// Each tree is laid out in its layout, which its root remembers. A map with
// folded branches is laid out unfolded first, so that what is folded away
// has its place below its node wherever the map is opened, then folded and
// laid out again without them. Trees stand one below the other; a root the
// file places (an XMind detached topic) goes where it says, from the first
// tree's root.
void layoutTrees(ZN_ShapeManager& page, const MapSheet& sheet,
                 const std::vector<ZN_ShapeBase*>& boxes, const std::vector<ZN_ShapeBase*>& folds,
                 bool anyFolded) {
    ZN_TreeLayout layout;
    for (int root : sheet.roots) {
        const MapNode& node = sheet.nodes[static_cast<std::size_t>(root)];
        layout.apply(boxes[static_cast<std::size_t>(root)], importLayout(node, sheet),
                     sidesGiven(node, sheet) ? ZN_LayoutSides::Keep : ZN_LayoutSides::Balance);
    }
    if (anyFolded) {
        page.collapseFoldedPoints();
        for (int root : sheet.roots) {
            ZN_ShapeBase* box = boxes[static_cast<std::size_t>(root)];
            layout.apply(box, ZN_StoredLayout(box), ZN_LayoutSides::Keep);
        }
    }
    // A tree moves whole, hidden branches and connectors with it.
    const auto moveTree = [&](int root, const ZVector2& shift) {
        if (shift.X() == 0.0f && shift.Y() == 0.0f)
            return;
        std::vector<ZN_ShapeBase*> nodes;
        std::vector<int> stack{root};
        while (!stack.empty()) {
            const auto i = static_cast<std::size_t>(stack.back());
            stack.pop_back();
            for (ZN_ShapeBase* s : {boxes[i], folds[i]})
                if (s)
                    nodes.push_back(s);
            const auto& kids = sheet.nodes[i].children;
            stack.insert(stack.end(), kids.begin(), kids.end());
        }
        // The connectors first: a moved box glues its connectors to itself.
        for (ZN_ShapeBase* s : nodes)
            for (ZN_ShapeBase* in : s->inputs())
                if (in && in->type() == 1)
                    in->change(shift, 9);
        for (ZN_ShapeBase* s : nodes)
            s->change(shift, 9);
    };
    float top = kMargin;
    ZVector2 origin(0.0f, 0.0f);
    bool first = true;
    for (int root : sheet.roots) {
        if (sheet.nodes[static_cast<std::size_t>(root)].placed)
            continue;
        ZN_ShapeBase* box = boxes[static_cast<std::size_t>(root)];
        const Bounds b = shownBounds(sheet, root, boxes, folds);
        const ZVector2 shift(kMargin - b.minX, top - b.minY);
        moveTree(root, shift);
        top = b.maxY + shift.Y() + kTreeGap;
        if (first)
            origin = box->getRegionPos(9);
        first = false;
    }
    for (int root : sheet.roots) {
        const MapNode& node = sheet.nodes[static_cast<std::size_t>(root)];
        if (!node.placed)
            continue;
        ZN_ShapeBase* box = boxes[static_cast<std::size_t>(root)];
        moveTree(root, origin + ZVector2(node.x, node.y) - box->getRegionPos(9));
    }
}

} // namespace

ZN_NLine* joinBranch(ZN_ShapeManager& page, ZN_ShapeBase* parent, ZN_ShapeBase* child) {
    auto* line = static_cast<ZN_NLine*>(ZN_ShapeBase::createShape(1));
    line->pushPointBack(parent->getPoint2());
    line->pushPointBack(child->getPoint1());
    line->setStrightType(1);
    line->setArrowSize(30);
    line->setLineWide(kBranchWidth);
    parent->pushToOutput(line);
    line->pushToInput(parent);
    line->pushToOutput(child);
    child->pushToInput(line);
    page.addShapeFront(line);
    return line;
}

int pixelsForPoints(int points) { return static_cast<int>(std::lround(points * 4.0 / 3.0)); }
int pointsForPixels(int pixels) { return static_cast<int>(std::lround(pixels * 3.0 / 4.0)); }

std::unique_ptr<ZN_ShapeManager> buildPage(const MapSheet& sheet,
                                           std::vector<std::unique_ptr<ZImageTexture>>* pictures) {
    auto page = std::make_unique<ZN_ShapeManager>();
    const std::unordered_set<std::string> linked = linkedIds(sheet);
    std::vector<ZN_ShapeBase*> boxes(sheet.nodes.size(), nullptr);
    // Parents come before their children in the node table only when the
    // reader made them so; the walk below does not rely on it.
    std::vector<int> order;
    order.reserve(sheet.nodes.size());
    for (int root : sheet.roots) {
        std::vector<int> stack{root};
        while (!stack.empty()) {
            const int i = stack.back();
            stack.pop_back();
            order.push_back(i);
            const auto& kids = sheet.nodes[static_cast<std::size_t>(i)].children;
            for (auto it = kids.rbegin(); it != kids.rend(); ++it)
                stack.push_back(*it);
        }
    }
    std::vector<ZN_ShapeBase*> folds(sheet.nodes.size(), nullptr);
    bool anyFolded = false;
    for (int i : order) {
        const MapNode& node = sheet.nodes[static_cast<std::size_t>(i)];
        // A root's children start well to its left or right, which is how the
        // layout knows their side; the layout then places them.
        const float x = node.parent < 0 ? 0.0f : node.side < 0 ? -kSideStart : kSideStart;
        ZN_NRect* box = makeBox(node, ZVector2(x, 0.0f));
        addNodeExtras(*box, node, linked, pictures);
        boxes[static_cast<std::size_t>(i)] = box;
        page->addShape(box);
        if (node.parent < 0)
            continue;
        const MapNode& up = sheet.nodes[static_cast<std::size_t>(node.parent)];
        ZN_ShapeBase* above = boxes[static_cast<std::size_t>(node.parent)];
        if (up.folded) {
            // Every child of a folded node hangs from the one fold point.
            ZN_ShapeBase*& fold = folds[static_cast<std::size_t>(node.parent)];
            if (!fold) {
                auto* point = static_cast<ZN_NPoint*>(ZN_ShapeBase::createShape(2));
                point->setStateType(2);
                point->setCoord(ZVector2(x, 0.0f));
                page->addShape(point);
                join(*page, above, point, MapNode());
                fold = point;
                anyFolded = true;
            }
            above = fold;
        }
        join(*page, above, box, node);
    }

    layoutTrees(*page, sheet, boxes, folds, anyFolded);
    for (const MapLink& link : sheet.links)
        if (link.from >= 0 && link.to >= 0 && link.from != link.to &&
            boxes[static_cast<std::size_t>(link.from)] && boxes[static_cast<std::size_t>(link.to)])
            crossLink(*page, boxes[static_cast<std::size_t>(link.from)],
                      boxes[static_cast<std::size_t>(link.to)], link.title);
    page->showCrossLinks();
    return page;
}

} // namespace interchange
