// Imported cross links on a page: glued to both boxes, folded with them,
// written out again as links between the same nodes with their titles; node
// shapes as box outlines and back; node links by id through .mm; subtrees
// of chosen nodes as text and back.

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>

#include <cmath>

#include "InterchangeTestSupport.h"

#include "interchange/FreeMind.h"
#include "interchange/MapPage.h"
#include "interchange/TextDiagrams.h"
#include "interchange/XMind.h"

using namespace interchange;

namespace {

ZN_ShapeBase* boxWithText(ZN_ShapeManager& page, const std::string& text) {
    for (ZN_ShapeBase* s : page.getShapeList())
        if (s->type() != 1 && s->getLabel() && text == s->getLabel()->getText())
            return s;
    return nullptr;
}

ZN_NLine* onlyCrossLink(ZN_ShapeManager& page) {
    ZN_NLine* found = nullptr;
    for (ZN_ShapeBase* s : page.getShapeList())
        if (s->isCrossLink()) {
            EXPECT_EQ(found, nullptr) << "one cross link expected";
            found = static_cast<ZN_NLine*>(s);
        }
    return found;
}

bool onOutline(const ZN_ShapeBase* box, const ZVector2& p) {
    const ZVector2 a = box->getPoint1(), b = box->getPoint2();
    const float dx = std::min(std::abs(p.X() - a.X()), std::abs(p.X() - b.X()));
    const float dy = std::min(std::abs(p.Y() - a.Y()), std::abs(p.Y() - b.Y()));
    const bool within = p.X() > a.X() - 0.5f && p.X() < b.X() + 0.5f && p.Y() > a.Y() - 0.5f &&
                        p.Y() < b.Y() + 0.5f;
    return within && (dx < 0.5f || dy < 0.5f);
}

// root -> (a -> a1), (b, folded -> b1); a cross link a1 -> b named "needs".
MapSheet linkedSheet() {
    MapSheet sheet;
    const int root = sheet.add(-1, "root");
    const int a = sheet.add(root, "a");
    const int a1 = sheet.add(a, "a1 with a much longer text");
    const int b = sheet.add(root, "b");
    sheet.add(b, "b1");
    sheet.nodes[static_cast<std::size_t>(a)].folded = false;
    sheet.links.push_back({a1, b, "needs"});
    return sheet;
}

std::string linkText(const MapSheet& sheet, const MapLink& link) {
    return sheet.nodes[static_cast<std::size_t>(link.from)].text + " -> " +
           sheet.nodes[static_cast<std::size_t>(link.to)].text + " (" + link.title + ")";
}

} // namespace

TEST(CrossLinkPage, AnImportedLinkStaysGluedAndIsWrittenAgainWithItsTitle) {
    std::unique_ptr<ZN_ShapeManager> page = buildPage(linkedSheet());
    ZN_NLine* link = onlyCrossLink(*page);
    ASSERT_NE(link, nullptr);
    ZN_ShapeBase* from = boxWithText(*page, "a1 with a much longer text");
    ZN_ShapeBase* to = boxWithText(*page, "b");
    ASSERT_TRUE(from && to);
    EXPECT_TRUE(onOutline(from, link->getPoints().front()));
    EXPECT_TRUE(onOutline(to, link->getPoints().back()));
    ASSERT_NE(link->getLabel(), nullptr);
    EXPECT_STREQ(link->getLabel()->getText(), "needs");

    // Moved and resized, both ends stay on the outlines.
    to->change(ZVector2(250.0f, 120.0f), 9);
    from->change(ZVector2(30.0f, 20.0f), 3);
    EXPECT_TRUE(onOutline(to, link->getPoints().back()));
    EXPECT_TRUE(onOutline(from, link->getPoints().front()));

    // Out again, the link still joins the same nodes, and nothing is lost.
    Skipped skipped;
    const MapSheet again = pageTrees(*page, "P", skipped);
    EXPECT_TRUE(skipped.empty());
    EXPECT_EQ(ictest::outline(again), "[root]([a]([a1 with a much longer text])[b]([b1]))");
    ASSERT_EQ(again.links.size(), 1u);
    EXPECT_EQ(linkText(again, again.links[0]), "a1 with a much longer text -> b (needs)");

    // Through the formats that hold cross links and back.
    MapDocument mm;
    ReadError error;
    ASSERT_TRUE(readFreeMind(writeFreeMind(again), mm, error)) << error.reason;
    ASSERT_EQ(mm.sheets[0].links.size(), 1u);
    EXPECT_EQ(linkText(mm.sheets[0], mm.sheets[0].links[0]), linkText(again, again.links[0]));
    MapDocument xmind;
    ASSERT_TRUE(readMap(writeMap(again, Format::XMind), Format::XMind, xmind, error)) << error.reason;
    ASSERT_EQ(xmind.sheets[0].links.size(), 1u);
    EXPECT_EQ(linkText(xmind.sheets[0], xmind.sheets[0].links[0]), linkText(again, again.links[0]));
}

TEST(CrossLinkPage, FoldingHidesTheLinkWithItsBoxesButNotWhatOnlyItReaches) {
    MapSheet sheet = linkedSheet();
    // A second tree reached only by a link from inside a folded branch.
    const int other = sheet.add(-1, "other tree");
    sheet.add(other, "other child");
    sheet.links.push_back({2, other, ""});
    sheet.nodes[1].folded = true; // a: its child a1 starts both links
    std::unique_ptr<ZN_ShapeManager> page = buildPage(sheet);

    EXPECT_FALSE(boxWithText(*page, "a1 with a much longer text")->getShow());
    EXPECT_TRUE(boxWithText(*page, "b")->getShow());
    EXPECT_TRUE(boxWithText(*page, "other tree")->getShow());
    EXPECT_TRUE(boxWithText(*page, "other child")->getShow());
    for (const ZN_ShapeBase* s : page->getShapeList()) {
        if (s->isCrossLink()) {
            EXPECT_FALSE(s->getShow()) << "a link from a folded-away box is hidden with it";
        }
    }

    // Unfolded, the links come back with their box.
    for (ZN_ShapeBase* s : page->getShapeList())
        if (auto* point = dynamic_cast<ZN_NPoint*>(s); point && point->getStateType() == 2) {
            page->shapeSpread(point);
            point->setStateType(1);
        }
    for (const ZN_ShapeBase* s : page->getShapeList()) {
        if (s->isCrossLink()) {
            EXPECT_TRUE(s->getShow());
        }
    }

    // The second tree stays a tree of its own on the way out.
    Skipped skipped;
    const MapSheet again = pageTrees(*page, "P", skipped);
    EXPECT_EQ(again.roots.size(), 2u);
    EXPECT_EQ(again.links.size(), 2u);
}

TEST(CrossLinkPage, ALinkBetweenCloseNeighboursEndsOnTheirOutlines) {
    // Siblings one below the other, of very different widths.
    MapSheet sheet;
    const int root = sheet.add(-1, "root");
    const int wide = sheet.add(root, "a rather wide sibling text");
    const int narrow = sheet.add(root, "n");
    sheet.links.push_back({wide, narrow, {}});
    std::unique_ptr<ZN_ShapeManager> page = buildPage(sheet);
    ZN_NLine* link = onlyCrossLink(*page);
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(onOutline(boxWithText(*page, "a rather wide sibling text"), link->getPoints().front()));
    EXPECT_TRUE(onOutline(boxWithText(*page, "n"), link->getPoints().back()));
}

TEST(NodeShapes, MermaidShapesBecomeTheNearestBoxOutlinesAndComeBack) {
    const QByteArray mmd = "mindmap\n"
                           "  root((round root))\n"
                           "    plain\n"
                           "    (rounded)\n"
                           "    {{hexagon}}\n"
                           "    [square]\n"
                           "    ))bang((\n"
                           "    )cloud(\n";
    MapDocument doc;
    ReadError error;
    ASSERT_TRUE(readMermaid(mmd, doc, error)) << error.reason;
    std::unique_ptr<ZN_ShapeManager> page = buildPage(doc.sheets[0]);
    auto typeOf = [&](const char* text) { return boxWithText(*page, text)->type(); };
    EXPECT_EQ(typeOf("round root"), 8);
    EXPECT_EQ(typeOf("plain"), 7);
    EXPECT_EQ(typeOf("rounded"), 9);
    EXPECT_EQ(typeOf("hexagon"), 10);
    EXPECT_EQ(typeOf("square"), 7);
    EXPECT_EQ(typeOf("bang"), 8);
    EXPECT_EQ(typeOf("cloud"), 8);

    Skipped skipped;
    const MapSheet again = pageTrees(*page, "P", skipped);
    MapDocument back;
    ASSERT_TRUE(readMermaid(writeMermaid(again), back, error)) << error.reason;
    std::vector<MapShape> shapes;
    for (const MapNode& n : back.sheets[0].nodes)
        shapes.push_back(n.shape);
    // The editor has one rectangle and one ellipse: a square comes back as a
    // plain node, a bang and a cloud as circles.
    const std::vector<MapShape> expected = {MapShape::Circle,  MapShape::Default,
                                            MapShape::Rounded, MapShape::Hexagon,
                                            MapShape::Default, MapShape::Circle,
                                            MapShape::Circle};
    EXPECT_EQ(shapes, expected);
}

TEST(NodeLinks, ALinkToANodeByIdSurvivesAFreeMindTrip) {
    MapSheet sheet;
    const int root = sheet.add(-1, "root");
    const int a = sheet.add(root, "a");
    const int b = sheet.add(root, "b");
    sheet.nodes[static_cast<std::size_t>(b)].id = "target";
    sheet.nodes[static_cast<std::size_t>(a)].fields.link = "#target";
    // Page, .mm, page, .mm: the link names b every time.
    std::unique_ptr<ZN_ShapeManager> page = buildPage(sheet);
    for (int round = 0; round < 2; ++round) {
        Skipped skipped;
        const MapSheet out = pageTrees(*page, "P", skipped);
        MapDocument mm;
        ReadError error;
        ASSERT_TRUE(readFreeMind(writeFreeMind(out), mm, error)) << error.reason;
        const MapSheet& in = mm.sheets[0];
        const std::string link = in.nodes[1].fields.link;
        ASSERT_EQ(link.substr(0, 1), "#") << round;
        EXPECT_EQ(in.nodes[2].id, link.substr(1)) << round;
        page = buildPage(in);
        EXPECT_EQ(boxWithText(*page, "b")->getFields().anchor, link.substr(1)) << round;
    }
}

TEST(SubtreesOf, ChosenNodesGiveTheirWholeSubtreesOnceAndReadBackAlike) {
    MapSheet sheet;
    const int root = sheet.add(-1, "root");
    const int a = sheet.add(root, "a");
    sheet.add(a, "a1\nsecond line");
    sheet.add(sheet.add(a, "a2"), "");
    const int b = sheet.add(root, "b");
    sheet.nodes[static_cast<std::size_t>(b)].folded = true;
    sheet.add(b, "b1 # not a heading");
    std::unique_ptr<ZN_ShapeManager> page = buildPage(sheet);
    ZN_ShapeBase* boxA = boxWithText(*page, "a");
    ZN_ShapeBase* boxB = boxWithText(*page, "b");
    ZN_ShapeBase* boxA2 = boxWithText(*page, "a2");

    // a2 lies inside a's subtree and so is not a tree of its own.
    const MapSheet chosen = subtreesOf({boxA2, boxA, boxB});
    const std::string expected = "[a]([a1\nsecond line][a2]([]))[b+]([b1 # not a heading])";
    EXPECT_EQ(ictest::outline(chosen), expected);

    for (Format format : {Format::Text, Format::Markdown}) {
        MapDocument doc;
        ReadError error;
        ASSERT_TRUE(readMap(writeMap(chosen, format), format, doc, error)) << error.reason;
        // Indented text keeps no fold and gives each node one line; the tree
        // is the same.
        std::string got = ictest::outline(doc.sheets[0]);
        std::string want = expected;
        if (format == Format::Text) {
            want.erase(want.find('+'), 1);
            want[want.find('\n')] = ' ';
        }
        EXPECT_EQ(got, want) << static_cast<int>(format);
    }
}

TEST(CrossLinkPage, FormatsWithoutCrossLinksSayTheyLeftThemOut) {
    const MapSheet sheet = linkedSheet();
    for (Format format : {Format::FreeMind, Format::XMind, Format::KityMinder, Format::Markdown,
                          Format::Mermaid}) {
        Skipped skipped;
        writeMapFiles({sheet}, format, "/tmp/unused", skipped);
        const bool holds = format == Format::FreeMind || format == Format::XMind;
        EXPECT_EQ(skipped.count(kLines), holds ? 0 : 1) << static_cast<int>(format);
    }
}
