// OPML, Markdown and indented text: reading the samples and reading back
// what was written.

#include "InterchangeTestSupport.h"

#include "interchange/Outline.h"

using namespace interchange;

TEST(OutlineRead, OpmlOutlinesWithNotesLinksAndExpansionState) {
    const MapDocument doc = ictest::read("outline.opml");
    const MapSheet& s = doc.sheets.at(0);
    EXPECT_EQ(s.title, "Reading list");
    // Only row 1 (Papers, below a closed Books) is open.
    EXPECT_EQ(ictest::outline(s), "[Books+]([Fiction & poetry+]([红楼梦])[Science])[Papers]");
    EXPECT_EQ(ictest::node(s, 1).fields.note, "a note");
    EXPECT_EQ(ictest::node(s, 3).fields.link, "https://example.org");
    EXPECT_TRUE(doc.skipped.empty());
    EXPECT_FALSE(ictest::refusal("<html/>", Format::Opml).reason.empty());
}

TEST(OutlineRead, MarkdownHeadingsListsAndParagraphs) {
    const MapDocument doc = ictest::read("map.md");
    const MapSheet& s = doc.sheets.at(0);
    // Paragraphs are notes; ordered items keep their numbers.
    EXPECT_EQ(ictest::outline(s), "[项目]([Phase one]([Design]([Sketches][Review])[Build])"
                                  "[Phase two]([1. Ship][2. Celebrate  site]))[Second tree]");
    EXPECT_EQ(ictest::node(s, 0).fields.note, "Intro paragraph\njoins the project.");
    EXPECT_EQ(ictest::node(s, 5).fields.note, "A paragraph inside Build.");
    EXPECT_EQ(ictest::node(s, 8).fields.link, "https://example.org");
    EXPECT_EQ(ictest::node(s, 9).fields.note, "Text under it.");
    EXPECT_EQ(doc.skipped.count(kImages), 1);
    EXPECT_EQ(doc.skipped.count(kLinks), 0);
}

TEST(OutlineRead, IndentedTextBySpacesTabsAndCodePage) {
    EXPECT_EQ(ictest::outline(ictest::read("map-spaces.txt").sheets.at(0)),
              "[Root]([Child A]([Grandchild])[Child B])"
              "[Second root]([Its child]([too deep jumps one level]))");
    EXPECT_EQ(ictest::outline(ictest::read("map-tabs.txt").sheets.at(0)),
              "[Root]([One]([Two])[Three])");
    EXPECT_EQ(ictest::outline(ictest::read("map-gb18030.txt").sheets.at(0)), "[根]([孩子])");
    const ReadError binary = ictest::refusal(QByteArray("a\nb\n\0c", 6), Format::Text);
    EXPECT_EQ(binary.line, 3);
    EXPECT_EQ(ictest::refusal(QByteArray("# x\n\0", 5), Format::Markdown).line, 2);
}

TEST(OutlineWrite, EachFormatReadsBackWhatItWrote) {
    MapSheet sheet;
    sheet.title = "T";
    const int a = sheet.add(-1, "Alpha *not bold* #1");
    const int b = sheet.add(a, "Beta\nsecond line");
    const int c = sheet.add(b, "1. Gamma <x> & [y]");
    sheet.add(c, "- delta");
    sheet.add(a, "Epsilon");
    sheet.add(-1, "Zeta");
    const std::string want = ictest::outline(sheet);
    for (Format format : {Format::Opml, Format::Markdown}) {
        MapDocument back;
        ReadError error;
        const QByteArray bytes = format == Format::Opml ? writeOpml(sheet) : writeMarkdown(sheet);
        ASSERT_TRUE(readMap(bytes, format, back, error)) << error.reason;
        EXPECT_EQ(ictest::outline(back.sheets.at(0)), want) << bytes.toStdString();
    }
    // Indented text holds one line per node.
    MapDocument back;
    ReadError error;
    ASSERT_TRUE(readIndentedText(writeIndentedText(sheet), back, error));
    EXPECT_EQ(ictest::outline(back.sheets.at(0)),
              "[Alpha *not bold* #1]([Beta second line]([1. Gamma <x> & [y]]([- delta]))[Epsilon])"
              "[Zeta]");
}
