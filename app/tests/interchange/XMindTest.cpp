// XMind workbooks: content.json before content.xml, XMind 8 files, and zip
// archives that are not what they say.

#include "InterchangeTestSupport.h"

#include "interchange/XMind.h"

using namespace interchange;
using ictest::node;

TEST(XMindRead, JsonSheetsDetachedTopicsAndRelationships) {
    const MapDocument doc = ictest::read("two-sheets.xmind");
    ASSERT_EQ(doc.sheets.size(), 2u); // the stub content.xml is not read
    const MapSheet& s = doc.sheets[0];
    EXPECT_EQ(s.title, "计划");
    EXPECT_EQ(ictest::outline(s),
              "[中心主题]([分支一+]([藏起来的][也藏起来])[分支二\n第二行])[自由主题]([自由的孩子])");
    const MapNode& root = node(s, s.roots[0]);
    EXPECT_EQ(hexColour(root.background), "#336699");
    EXPECT_EQ(hexColour(root.color), "#ffffff");
    EXPECT_EQ(root.fontSize, 20);
    EXPECT_TRUE(root.bold);
    const MapNode& detached = node(s, s.roots[1]);
    EXPECT_TRUE(detached.placed);
    EXPECT_FLOAT_EQ(detached.x, 300.0f);
    ASSERT_EQ(s.links.size(), 1u);
    EXPECT_EQ(node(s, s.links[0].from).text, "分支二\n第二行");
    EXPECT_EQ(node(s, s.links[0].to).text, "自由的孩子");
    EXPECT_EQ(doc.sheets[1].title, "Second sheet");
    EXPECT_EQ(ictest::outline(doc.sheets[1]), "[Root two]([B1][B2])");
    EXPECT_EQ(doc.skipped.count(kSummaries), 1);
    EXPECT_EQ(doc.skipped.count(kMarkers), 1);
    EXPECT_EQ(doc.skipped.count(kNotes), 1);
    EXPECT_EQ(doc.skipped.count(kLabels), 2);
    EXPECT_EQ(doc.skipped.count(kLinks), 2); // a web link and a relationship to nowhere
}

TEST(XMindRead, XMindEightContentXml) {
    const MapDocument doc = ictest::read("xmind8.xmind");
    ASSERT_EQ(doc.sheets.size(), 2u);
    EXPECT_EQ(doc.sheets[0].title, "Sheet A");
    EXPECT_EQ(ictest::outline(doc.sheets[0]),
              "[XMind 8 root]([Folded & one+]([Under one])[Two])[Floating]");
    ASSERT_EQ(doc.sheets[0].links.size(), 1u);
    EXPECT_EQ(ictest::outline(doc.sheets[1]), "[Root B]");
    EXPECT_EQ(doc.skipped.count(kSummaries), 1);
    EXPECT_EQ(doc.skipped.count(kMarkers), 1);
    EXPECT_EQ(doc.skipped.count(kNotes), 1);
}

TEST(XMindRead, ArchivesThatAreNotWorkbooksOrInflateTooFar) {
    const ReadError bomb = ictest::refusal(ictest::sample("inflation-bomb.xmind"), Format::XMind);
    EXPECT_NE(bomb.reason.find("too large"), std::string::npos) << bomb.reason;
    EXPECT_FALSE(ictest::refusal(ictest::sample("not-a-zip.xmind"), Format::XMind).reason.empty());
    EXPECT_FALSE(ictest::refusal(ictest::sample("outline.opml"), Format::XMind).reason.empty());
    MapDocument doc;
    ReadError error;
    EXPECT_FALSE(readXMindJson("[{\"rootTopic\": 5}]", doc, error));
    EXPECT_FALSE(readXMindJson("{\"a\":\n\n[", doc, error));
    EXPECT_EQ(error.line, 3);
    // Nesting deeper than the JSON parser takes is refused, not followed.
    std::string deep;
    for (int i = 0; i < 5000; ++i)
        deep += "[";
    EXPECT_FALSE(readXMindJson(QByteArray::fromStdString(deep), doc, error));
}
