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
              "[中心主题]([分支一+]([藏起来的][也藏起来])[分支二\n第二行][概要])[自由主题]([自由的孩子])");
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
    EXPECT_EQ(s.links[0].title, "see");
    // A summary is a marked node; markers, notes, labels and links are kept.
    EXPECT_EQ(node(s, 5).fields.markers, (std::vector<std::string>{"summary"}));
    EXPECT_EQ(node(s, 1).fields.markers, (std::vector<std::string>{"priority-1"}));
    EXPECT_EQ(node(s, 3).fields.note, "n");
    EXPECT_EQ(node(s, 4).fields.link, "https://example.org");
    EXPECT_EQ(node(s, 4).fields.markers.size(), 2u); // its labels
    EXPECT_TRUE(doc.sheets[0].named);
    EXPECT_EQ(importSummary(0, doc.skipped), "已导入 0 个节点；未导入：1 个链接"); // to nowhere
}

TEST(XMindRead, XMindEightContentXml) {
    const MapDocument doc = ictest::read("xmind8.xmind");
    ASSERT_EQ(doc.sheets.size(), 2u);
    EXPECT_EQ(doc.sheets[0].title, "Sheet A");
    EXPECT_EQ(ictest::outline(doc.sheets[0]),
              "[XMind 8 root]([Folded & one+]([Under one])[Two][Summary])[Floating]");
    ASSERT_EQ(doc.sheets[0].links.size(), 1u);
    EXPECT_EQ(ictest::outline(doc.sheets[1]), "[Root B]");
    const MapSheet& s = doc.sheets[0];
    EXPECT_EQ(node(s, 0).fields.layout, ZN_Layout::LogicRight);
    EXPECT_EQ(node(s, 1).fields.markers, (std::vector<std::string>{"priority-1"}));
    EXPECT_EQ(node(s, 2).fields.note, "note");
    EXPECT_EQ(node(s, 5).fields.markers, (std::vector<std::string>{"summary"}));
    EXPECT_TRUE(doc.skipped.empty());
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
