// How an imported map is laid out: the layout its file gives or one chosen
// for it, the sides its file gives, folded branches that take no room, and
// long labels broken into lines.

#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/ZN_TreeLayout.h>

#include <gtest/gtest.h>

#include "interchange/LabelWrap.h"
#include "interchange/MapPage.h"

using namespace interchange;

namespace {

const ZN_ShapeBase* boxWithText(const ZN_ShapeManager& page, const std::string& text) {
    for (const ZN_ShapeBase* s : page.getShapeList())
        if (s->getLabel() && text == s->getLabel()->getText())
            return s;
    return nullptr;
}

float centreX(const ZN_ShapeBase* s) { return 0.5f * (s->getPoint1().X() + s->getPoint2().X()); }

// A root with `n` children named "c0", "c1", ...
MapSheet fan(int n) {
    MapSheet sheet;
    sheet.add(-1, "root");
    for (int i = 0; i < n; ++i)
        sheet.add(0, "c" + std::to_string(i));
    return sheet;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out(1);
    for (char c : text) {
        if (c == '\n')
            out.emplace_back();
        else
            out.back().push_back(c);
    }
    return out;
}

} // namespace

TEST(MapLayout, TreesComeInWithTheirLayoutOrOneChosenForThem) {
    // Four children: a logic chart; five: a mind map split evenly.
    std::unique_ptr<ZN_ShapeManager> page = buildPage(fan(4));
    const ZN_ShapeBase* root = boxWithText(*page, "root");
    EXPECT_EQ(ZN_StoredLayout(root), ZN_Layout::LogicRight);
    for (int i = 0; i < 4; ++i)
        EXPECT_GT(centreX(boxWithText(*page, "c" + std::to_string(i))), centreX(root));
    page = buildPage(fan(6));
    root = boxWithText(*page, "root");
    EXPECT_EQ(ZN_StoredLayout(root), ZN_Layout::MindMap);
    EXPECT_GT(centreX(boxWithText(*page, "c2")), centreX(root));
    EXPECT_LT(centreX(boxWithText(*page, "c3")), centreX(root));
    // The sides the file gives stay, however uneven.
    MapSheet sided = fan(3);
    sided.nodes[1].side = -1;
    sided.nodes[2].side = -1;
    sided.nodes[3].side = 1;
    page = buildPage(sided);
    root = boxWithText(*page, "root");
    EXPECT_EQ(ZN_StoredLayout(root), ZN_Layout::MindMap);
    EXPECT_LT(centreX(boxWithText(*page, "c0")), centreX(root));
    EXPECT_LT(centreX(boxWithText(*page, "c1")), centreX(root));
    EXPECT_GT(centreX(boxWithText(*page, "c2")), centreX(root));
    // A layout the file gives wins.
    MapSheet org = fan(6);
    org.nodes[0].fields.layout = ZN_Layout::OrgChart;
    page = buildPage(org);
    root = boxWithText(*page, "root");
    EXPECT_EQ(ZN_StoredLayout(root), ZN_Layout::OrgChart);
    EXPECT_GT(boxWithText(*page, "c0")->getPoint1().Y(), root->getPoint2().Y());
}

TEST(MapLayout, FoldedBranchesTakeNoRoomAndWaitBesideTheirNode) {
    // As a tutorial map: 17 branches, all but one folded, 40 children each.
    MapSheet sheet;
    sheet.add(-1, "root");
    for (int b = 0; b < 17; ++b) {
        const int branch = sheet.add(0, "branch " + std::to_string(b));
        sheet.nodes[static_cast<std::size_t>(branch)].folded = b != 0;
        for (int c = 0; c < 40; ++c)
            sheet.add(branch, "leaf " + std::to_string(b) + "." + std::to_string(c));
    }
    std::unique_ptr<ZN_ShapeManager> page = buildPage(sheet);
    float top = 1e9f, bottom = -1e9f;
    for (const ZN_ShapeBase* s : page->getShapeList()) {
        if (s->getShow() && s->type() != 1) {
            top = std::min(top, s->getPoint1().Y());
            bottom = std::max(bottom, s->getPoint2().Y());
        }
    }
    // The open branch's 40 leaves set the height, not the folded 640.
    EXPECT_LT(bottom - top, 40.0f * 60.0f);
    const ZN_ShapeBase* folded = boxWithText(*page, "branch 5");
    const ZN_ShapeBase* hidden = boxWithText(*page, "leaf 5.0");
    ASSERT_FALSE(hidden->getShow());
    // Hidden, the leaves keep a place near their node for when they open.
    EXPECT_LT(std::abs(centreX(hidden) - centreX(folded)), 600.0f);
    // Its fold point is beside it, level with it.
    const ZN_ShapeBase* line = folded->outputs().front();
    const auto* fold = dynamic_cast<const ZN_NPoint*>(line->outputs().front());
    ASSERT_TRUE(fold && fold->getShow());
    const float side = centreX(folded) < centreX(boxWithText(*page, "root")) ? -1.0f : 1.0f;
    const float edge = side > 0 ? folded->getPoint2().X() : folded->getPoint1().X();
    EXPECT_NEAR(fold->getCoord().X(), edge + side * (4.0f + fold->getPointSize()), 0.01f);
    EXPECT_NEAR(fold->getCoord().Y(), 0.5f * (folded->getPoint1().Y() + folded->getPoint2().Y()),
                0.01f);
}

TEST(MapLayout, LongLabelsBreakIntoReadableLines) {
    const std::string latin =
        "A fairly long paragraph of plain English words that goes well past the width a reader "
        "follows comfortably on one line";
    for (const std::string& line : lines(wrapLabel(latin))) {
        EXPECT_LE(line.size(), 60u);
        EXPECT_NE(line.front(), ' ');
        EXPECT_NE(line.back(), ' ');
    }
    EXPECT_EQ(lines(wrapLabel(latin)).size(), 2u);
    // Thirty characters of Chinese a line, and no line opens with a comma.
    std::string han;
    for (int i = 0; i < 29; ++i)
        han += "中";
    han += "文，再多几个字";
    const std::vector<std::string> hanLines = lines(wrapLabel(han));
    ASSERT_EQ(hanLines.size(), 2u);
    EXPECT_EQ(hanLines[0].size(), 29u * 3);
    EXPECT_EQ(hanLines[1].substr(0, 3), "文");
    // A word longer than a line is cut; short lines and breaks stay.
    EXPECT_EQ(lines(wrapLabel(std::string(130, 'x'))).size(), 3u);
    EXPECT_EQ(wrapLabel("short\nlines"), "short\nlines");
    // Imported boxes hold the lines.
    MapSheet sheet;
    sheet.add(-1, latin);
    std::unique_ptr<ZN_ShapeManager> page = buildPage(sheet);
    const ZN_ShapeBase* box = page->getShapeList().back();
    EXPECT_EQ(std::string(box->getLabel()->getText()), wrapLabel(latin));
}
