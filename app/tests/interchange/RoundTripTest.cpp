// Every writer's output read back by its own reader: random trees with odd
// texts, notes, links and markers come back as the same trees, as far as
// each format holds them.

#include "InterchangeTestSupport.h"
#include "RoundTripSupport.h"

using namespace interchange;

namespace {

std::string roundTrip(const MapSheet& sheet, Format format, MapSheet& back) {
    const QByteArray bytes = writeMap(sheet, format);
    MapDocument doc;
    ReadError error;
    if (!readMap(bytes, format, doc, error))
        return "unreadable: line " + std::to_string(error.line) + ": " + error.reason;
    if (doc.sheets.size() != 1)
        return "sheets: " + std::to_string(doc.sheets.size());
    back = doc.sheets.front();
    return {};
}

} // namespace

TEST(RoundTrip, RandomTreesWithOddTextsReadBackAsTheSameTrees) {
    for (unsigned seed = 1; seed <= 120; ++seed) {
        const MapSheet sheet = ictest::randomSheet(seed, seed % 2 == 0);
        for (Format format : ictest::writableFormats()) {
            MapSheet back;
            const std::string problem = roundTrip(sheet, format, back);
            ASSERT_EQ(problem, "") << ictest::formatName(format) << " seed " << seed;
            EXPECT_EQ(ictest::describe(back, format), ictest::describe(sheet, format))
                << ictest::formatName(format) << " seed " << seed << "\n"
                << (format == Format::XMind ? std::string("(zip)")
                                            : writeMap(sheet, format).toStdString());
        }
    }
}

TEST(RoundTrip, EmptyPagesAndSingleEmptyNodes) {
    MapSheet empty;
    empty.title = "Nothing";
    MapSheet lone;
    lone.add(-1, "");
    MapSheet blank;
    const int root = blank.add(-1, "  ");
    blank.add(blank.add(root, ""), "\n");
    for (Format format : ictest::writableFormats()) {
        for (const MapSheet* sheet : {&empty, &lone, &blank}) {
            MapSheet back;
            ASSERT_EQ(roundTrip(*sheet, format, back), "") << ictest::formatName(format);
            EXPECT_EQ(ictest::describe(back, format), ictest::describe(*sheet, format))
                << ictest::formatName(format) << "\n" << writeMap(*sheet, format).toStdString();
        }
    }
}

TEST(RoundTrip, WhatAFormatCannotHoldIsCountedOnExport) {
    MapSheet sheet;
    const int a = sheet.add(-1, "a");
    const int b = sheet.add(a, "b");
    sheet.nodes[static_cast<std::size_t>(b)].fields.anchor = "b";
    MapNode& node = sheet.nodes[static_cast<std::size_t>(a)];
    node.fields.note = "n";
    node.fields.link = "#b";
    node.fields.markers = {"star", "flag-red"};
    node.fields.attributes = {{"k", "v"}};
    auto unwritten = [&](Format format) {
        Skipped skipped;
        writeMapFiles({sheet}, format, "/tmp/x", skipped);
        return importSummary(0, skipped).substr(std::string("已导入 0 个节点").size());
    };
    EXPECT_EQ(unwritten(Format::FreeMind), "");
    EXPECT_EQ(unwritten(Format::XMind), "；未导入：1 个属性");
    EXPECT_EQ(unwritten(Format::Opml), "；未导入：1 个链接、2 个标记、1 个属性");
    EXPECT_EQ(unwritten(Format::Text), "；未导入：1 个备注、1 个链接、2 个标记、1 个属性");
    EXPECT_EQ(unwritten(Format::Mermaid), "；未导入：1 个备注、1 个链接、1 个属性");
}
