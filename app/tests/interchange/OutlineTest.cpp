// OPML, Markdown and indented text: reading the samples and reading back
// what was written.

#include "InterchangeTestSupport.h"

#include "interchange/Outline.h"

using namespace interchange;

TEST(OutlineRead, OpmlOutlinesWithNotesAndLinksLeftOut) {
    const MapDocument doc = ictest::read("outline.opml");
    EXPECT_EQ(doc.sheets.at(0).title, "Reading list");
    EXPECT_EQ(ictest::outline(doc.sheets[0]),
              "[Books]([Fiction & poetry]([红楼梦])[Science])[Papers]");
    EXPECT_EQ(doc.skipped.count(kNotes), 1);
    EXPECT_EQ(doc.skipped.count(kLinks), 1);
    EXPECT_FALSE(ictest::refusal("<html/>", Format::Opml).reason.empty());
}

TEST(OutlineRead, MarkdownHeadingsListsAndParagraphs) {
    const MapDocument doc = ictest::read("map.md");
    EXPECT_EQ(ictest::outline(doc.sheets.at(0)),
              "[项目\nIntro paragraph joins the project.]("
              "[Phase one]([Design]([Sketches][Review])[Build\nA paragraph inside Build.])"
              "[Phase two]([Ship][Celebrate  site]))"
              "[Second tree\nText under it.]");
    EXPECT_EQ(doc.skipped.count(kImages), 1);
    EXPECT_EQ(doc.skipped.count(kLinks), 1);
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
