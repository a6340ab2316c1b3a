// FreeMind and Freeplane maps: the odd files of both programs, hostile XML,
// and writing the 1.0.1 form.

#include "InterchangeTestSupport.h"

#include "interchange/FreeMind.h"

using namespace interchange;
using ictest::node;

TEST(FreeMindRead, VersionEightHtmlTextsStylesAndLinks) {
    const MapDocument doc = ictest::read("freemind08-html.mm");
    ASSERT_EQ(doc.sheets.size(), 1u);
    const MapSheet& s = doc.sheets[0];
    EXPECT_EQ(ictest::outline(s),
              "[项目计划]([First & bold\nsecond line+]([hidden child][<b>not html</b>])"
              "[left side]([]))");
    const MapNode& html = node(s, 1);
    EXPECT_TRUE(html.folded);
    EXPECT_EQ(html.side, 1);
    EXPECT_EQ(hexColour(html.color), "#0033ff");
    EXPECT_EQ(hexColour(html.edgeColor), "#ff0000");
    EXPECT_EQ(html.edgeWidth, 4);
    EXPECT_EQ(html.fontSize, 14);
    EXPECT_TRUE(html.bold);
    const MapNode& left = node(s, 4);
    EXPECT_EQ(left.side, -1);
    EXPECT_TRUE(left.italic);
    EXPECT_EQ(left.edgeWidth, 1);
    EXPECT_EQ(hexColour(left.background), "#ffff00");
    ASSERT_EQ(s.links.size(), 1u); // the second arrow points nowhere
    EXPECT_EQ(s.links[0].from, 4);
    EXPECT_EQ(s.links[0].to, 2);
    // Icons become markers, FreeMind 0.8's note hook a note.
    EXPECT_EQ(html.fields.markers, (std::vector<std::string>{"idea", "question"}));
    EXPECT_EQ(left.fields.note, "a note");
    EXPECT_EQ(doc.skipped.count(kIcons), 0);
    EXPECT_EQ(doc.skipped.count(kNotes), 0);
    EXPECT_EQ(doc.skipped.count(kLinks), 1);
}

TEST(FreeMindRead, FreeplaneStylesRichTextNotesAttributesAndLinks) {
    const MapDocument doc = ictest::read("freeplane-styles.mm");
    const MapSheet& s = doc.sheets.at(0);
    // The nodes of the map's styles are not nodes of the map.
    EXPECT_EQ(ictest::outline(s),
              "[Root]([Rich <text>\non two lines]([child with a link])[second+]([inside]))");
    EXPECT_EQ(node(s, 1).fields.attributes,
              (std::vector<ZN_Attribute>{{"owner", "me"}, {"due", "soon"}}));
    EXPECT_EQ(node(s, 2).fields.link, "https://example.org");
    EXPECT_EQ(node(s, 4).fields.note, "note");
    // Details below a node and clouds have no place on a page.
    EXPECT_EQ(importSummary(doc.nodeCount(), doc.skipped), "已导入 5 个节点；未导入：1 个备注、1 个云形");
}

TEST(FreeMindRead, LatinOneWithoutDeclarationAndForbiddenCharacters) {
    const MapDocument doc = ictest::read("latin1-no-declaration.mm");
    EXPECT_EQ(ictest::outline(doc.sheets.at(0)), "[Café crème]([naïve x])");
}

TEST(FreeMindRead, HostileXmlIsRefusedWithItsLine) {
    const ReadError broken = ictest::refusal(ictest::sample("broken.mm"), Format::FreeMind);
    EXPECT_EQ(broken.line, 5);
    EXPECT_FALSE(broken.reason.empty());
    EXPECT_EQ(ictest::refusal(ictest::sample("not-a-map.mm"), Format::FreeMind).reason,
              "not a FreeMind map");
    EXPECT_GT(ictest::refusal(ictest::sample("entities.mm"), Format::FreeMind).line, 0);
    EXPECT_GT(ictest::refusal("", Format::FreeMind).line, 0);
    // An external entity is never fetched: the file is refused or the text
    // keeps nothing of the other file.
    MapDocument doc;
    ReadError error;
    if (readMap(ictest::sample("external-entity.mm"), Format::FreeMind, doc, error)) {
        EXPECT_EQ(node(doc.sheets.at(0), 0).text.find("root"), std::string::npos);
    }
}

TEST(FreeMindRead, DeepChainsNeedNoRecursion) {
    EXPECT_EQ(ictest::read("chain-100.mm").sheets.at(0).nodes.size(), 100u);
    std::string xml = "<map>";
    const int depth = 100000;
    for (int i = 0; i < depth; ++i)
        xml += "<node TEXT=\"n\">";
    for (int i = 0; i < depth; ++i)
        xml += "</node>";
    xml += "</map>";
    MapDocument doc;
    ReadError error;
    ASSERT_TRUE(readFreeMind(QByteArray::fromStdString(xml), doc, error)) << error.reason;
    const MapSheet& s = doc.sheets.at(0);
    ASSERT_EQ(s.nodes.size(), static_cast<std::size_t>(depth));
    EXPECT_EQ(s.nodes.back().parent, depth - 2);
    // And it is written back without recursion, its indentation bounded.
    const QByteArray written = writeFreeMind(s);
    EXPECT_LT(written.size(), 120 * depth);
    MapDocument again;
    ASSERT_TRUE(readFreeMind(written, again, error)) << error.reason;
    EXPECT_EQ(again.sheets.at(0).nodes.size(), static_cast<std::size_t>(depth));
}

TEST(FreeMindWrite, WrittenMapsReadBackAlike) {
    const MapDocument doc = ictest::read("freemind08-html.mm");
    const QByteArray bytes = writeFreeMind(doc.sheets[0]);
    // The form Freeplane opens as its own; FreeMind reads the same body.
    EXPECT_TRUE(bytes.startsWith("<map version=\"freeplane 1.7.0\">"));
    EXPECT_TRUE(bytes.contains("TEXT=\"&#x9879;&#x76ee;&#x8ba1;&#x5212;\""));
    EXPECT_TRUE(bytes.contains("TEXT=\"First &amp; bold&#xa;second line\""));
    MapDocument back;
    ReadError error;
    ASSERT_TRUE(readFreeMind(bytes, back, error)) << error.reason;
    const MapSheet& a = doc.sheets[0];
    const MapSheet& b = back.sheets[0];
    EXPECT_EQ(ictest::outline(b), ictest::outline(a));
    for (std::size_t i = 0; i < a.nodes.size(); ++i) {
        EXPECT_EQ(b.nodes[i].color, a.nodes[i].color) << i;
        EXPECT_EQ(b.nodes[i].background, a.nodes[i].background) << i;
        EXPECT_EQ(b.nodes[i].edgeColor, a.nodes[i].edgeColor) << i;
        EXPECT_EQ(b.nodes[i].side, a.nodes[i].side) << i;
        EXPECT_EQ(b.nodes[i].bold, a.nodes[i].bold) << i;
    }
    ASSERT_EQ(b.links.size(), 1u);
    EXPECT_EQ(b.links[0].from, 4);
    EXPECT_EQ(b.links[0].to, 2);

    // Several trees go under one root named after the sheet, which reading
    // the map again takes away.
    MapSheet two;
    two.title = "页1";
    two.add(-1, "a");
    two.add(-1, "b");
    const QByteArray wrapped = writeFreeMind(two);
    EXPECT_TRUE(wrapped.contains("TEXT=\"&#x9875;1\""));
    ASSERT_TRUE(readFreeMind(wrapped, back, error));
    EXPECT_EQ(ictest::outline(back.sheets[0]), "[a][b]");
}
