#include "MapGenerator.h"

#include <algorithm>
#include <map>
#include <random>
#include <vector>

#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZFile.h>

#include "document/TvxContainer.h"

namespace benchmap {
namespace {

constexpr float kColumn = 260.0f; // one generation of the spread layout
constexpr float kRow = 60.0f;     // one leaf of the spread layout
constexpr float kMargin = 20.0f;

// Characters of the labels: common words of a project plan and Latin letters.
const char* const kHan[] = {"项", "目", "计", "划", "任", "务", "设", "计", "开", "发", "测",
                            "试", "市", "场", "用", "户", "数", "据", "分", "析", "报", "告",
                            "会", "议", "预", "算", "风", "险", "目", "标", "需", "求"};
const char kLatin[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// Box kinds of the tree: rectangle, ellipse, rounded rectangle, rhombus and
// parallelogram, in rough proportion to how often maps use them.
constexpr int kBoxKinds[] = {7, 7, 7, 9, 9, 9, 8, 8, 10, 13};

enum class Kind { Box, Point, Table };

struct TreeNode {
    int parent = -1;
    int depth = 0;
    std::vector<int> children;
    Kind kind = Kind::Box;
    float y = 0.0f; // row centre in the spread layout
};

std::string randomLabel(std::mt19937& rng) {
    const int length = std::uniform_int_distribution<int>(2, 12)(rng);
    std::string text;
    for (int i = 0; i < length; ++i) {
        if (rng() % 3 != 0) {
            text += kHan[rng() % std::size(kHan)];
        } else {
            text += kLatin[rng() % (sizeof(kLatin) - 1)];
        }
    }
    return text;
}

LOGFONTA labelFont() {
    LOGFONTA font = ZN_SText().getFont();
    font.lfHeight = -14;
    font.lfWeight = 400;
    return font;
}

// A text measured with the label font, its top-left corner at `at`.
ZN_SText* makeText(const std::string& text, const ZVector2& at) {
    auto* label = new ZN_SText();
    label->setRect(at, at);
    label->setText(text.c_str());
    label->setFont(labelFont());
    return label;
}

// Breadth-first tree with 3 to 5 children per node, so that node i's
// children have larger indices and the root is node 0.
std::vector<TreeNode> makeTree(int count, std::mt19937& rng) {
    std::vector<TreeNode> tree(static_cast<std::size_t>(std::max(count, 1)));
    int next = 1;
    for (int i = 0; i < count && next < count; ++i) {
        const int fanout = std::uniform_int_distribution<int>(3, 5)(rng);
        for (int c = 0; c < fanout && next < count; ++c, ++next) {
            tree[static_cast<std::size_t>(next)].parent = i;
            tree[static_cast<std::size_t>(next)].depth =
                tree[static_cast<std::size_t>(i)].depth + 1;
            tree[static_cast<std::size_t>(i)].children.push_back(next);
        }
    }
    // A few points and fill-in tables among the nodes.
    for (int i = 1; i < count; ++i) {
        auto& node = tree[static_cast<std::size_t>(i)];
        if (i % 53 == 7) {
            node.kind = Kind::Point;
        } else if (i % 401 == 11 && node.children.empty()) {
            node.kind = Kind::Table;
        }
    }
    return tree;
}

// Leaves take one row each in depth-first order; a parent sits at the middle
// of its children. Iterative, since deep trees would overflow a recursion.
void placeRows(std::vector<TreeNode>& tree) {
    float row = 0.0f;
    std::vector<std::pair<int, bool>> stack{{0, false}};
    while (!stack.empty()) {
        auto [i, done] = stack.back();
        stack.pop_back();
        auto& node = tree[static_cast<std::size_t>(i)];
        if (node.children.empty()) {
            node.y = kMargin + kRow * (row + 0.5f);
            row += 1.0f;
            continue;
        }
        if (done) {
            node.y = 0.5f * (tree[static_cast<std::size_t>(node.children.front())].y +
                             tree[static_cast<std::size_t>(node.children.back())].y);
            continue;
        }
        stack.push_back({i, true});
        for (auto it = node.children.rbegin(); it != node.children.rend(); ++it)
            stack.push_back({*it, false});
    }
}

// Where node i's left edge and vertical centre go.
ZVector2 anchorOf(const TreeNode& node) {
    return ZVector2(kMargin + kColumn * static_cast<float>(node.depth), node.y);
}

ZN_ShapeBase* makeBox(int kind, const ZVector2& anchor, std::mt19937& rng) {
    auto* box = static_cast<ZN_NRect*>(ZN_ShapeBase::createShape(kind));
    ZN_SText* label = makeText(randomLabel(rng), anchor);
    const ZVector2 size = label->getPoint2() - label->getPoint1();
    const float w = std::max(size.X() + 24.0f, 60.0f);
    const float h = std::max(size.Y() + 14.0f, 30.0f);
    box->setPoint1(ZVector2(anchor.X(), anchor.Y() - 0.5f * h));
    box->setPoint2(ZVector2(anchor.X() + w, anchor.Y() + 0.5f * h));
    box->setFillColor(ZVector3(0.85f, 0.92f, 1.0f));
    box->setGradualType(static_cast<int>(rng() % 4 == 0));
    label->setHost(box);
    box->setLabel(label);
    box->resetLabelPosition();
    return box;
}

ZN_ShapeBase* makePoint(const ZVector2& anchor) {
    auto* point = static_cast<ZN_NPoint*>(ZN_ShapeBase::createShape(2));
    point->setCoord(ZVector2(anchor.X() + 8.0f, anchor.Y()));
    return point;
}

// A two-by-three table with three of its cells holding placed answer texts,
// which go onto the page after the table.
ZN_ShapeBase* makeTable(const ZVector2& anchor, ZN_ShapeManager& page, std::mt19937& rng,
                        MapStats& stats) {
    auto* table = static_cast<ZN_NJiuGongGe*>(ZN_ShapeBase::createShape(12));
    table->setPoint1(ZVector2(anchor.X(), anchor.Y() - 25.0f));
    table->setPoint2(ZVector2(anchor.X() + 210.0f, anchor.Y() + 25.0f));
    table->setSizeValue(2, 3);
    page.addShape(table);
    for (int k = 0; k < 3; ++k) {
        std::string word;
        word += kHan[rng() % std::size(kHan)];
        word += kHan[rng() % std::size(kHan)];
        ZN_SText* text = makeText(word, anchor);
        page.addShape(text);
        table->addAnswerList(text);
        text->addAnswerHostList(table);
        table->setJiuGongPtr(k * 2, text);
        ++stats.placedTexts;
    }
    return table;
}

} // namespace

std::unique_ptr<ZN_ShapeManager> makeMap(int nodes, Layout, MapStats* statsOut) {
    std::mt19937 rng(20261207u + static_cast<unsigned>(nodes));
    std::vector<TreeNode> tree = makeTree(nodes, rng);
    placeRows(tree);

    auto page = std::make_unique<ZN_ShapeManager>();
    MapStats stats;
    std::vector<ZN_ShapeBase*> shapes(tree.size(), nullptr);
    for (int i = 0; i < nodes; ++i) {
        const TreeNode& node = tree[static_cast<std::size_t>(i)];
        const ZVector2 anchor = anchorOf(node);
        ZN_ShapeBase* shape = nullptr;
        switch (node.kind) {
        case Kind::Point:
            shape = makePoint(anchor);
            page->addShape(shape);
            break;
        case Kind::Table:
            shape = makeTable(anchor, *page, rng, stats);
            break;
        case Kind::Box:
            shape = makeBox(kBoxKinds[rng() % std::size(kBoxKinds)], anchor, rng);
            page->addShape(shape);
            break;
        }
        shapes[static_cast<std::size_t>(i)] = shape;
        ++stats.nodes;
        if (node.parent < 0)
            continue;
        // The editor joins a parent's right side to a child's left side and
        // bends the connector into a branch curve.
        ZN_ShapeBase* parent = shapes[static_cast<std::size_t>(node.parent)];
        auto* line = static_cast<ZN_NLine*>(ZN_ShapeBase::createShape(1));
        line->pushPointBack(parent->getPoint2());
        line->pushPointBack(shape->getPoint1());
        line->setOutNumber(node.kind == Kind::Point ? 9 : 6);
        line->setInNumber(node.kind == Kind::Point ? 9 : 2);
        parent->pushToOutput(line);
        line->pushToInput(parent);
        line->pushToOutput(shape);
        shape->pushToInput(line);
        line->reglueEnds();
        line->autoAlign(2);
        page->addShapeFront(line);
        ++stats.connectors;
    }
    for (ZN_ShapeBase* s : page->getShapeList()) {
        stats.width = std::max({stats.width, s->getPoint1().X(), s->getPoint2().X()});
        stats.height = std::max({stats.height, s->getPoint1().Y(), s->getPoint2().Y()});
    }
    if (statsOut)
        *statsOut = stats;
    return page;
}

bool writeMap(const std::string& path, int nodes, Layout layout, MapStats* stats) {
    std::unique_ptr<ZN_ShapeManager> page = makeMap(nodes, layout, stats);
    return writeTvxFile(path, {{"页1", 0, page.get()}});
}

ZN_ShapeBase* findRoot(ZN_ShapeManager& page) {
    for (ZN_ShapeBase* s : page.getShapeList()) {
        if (s->type() != 1 && s->type() != 5 && s->inputs().empty())
            return s;
    }
    return nullptr;
}

ZN_ShapeManager& sharedSpreadMap(int nodes) {
    static std::map<int, std::unique_ptr<ZN_ShapeManager>> maps;
    auto& page = maps[nodes];
    if (!page)
        page = makeMap(nodes, Layout::Spread);
    return *page;
}

} // namespace benchmap
