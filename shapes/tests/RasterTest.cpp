#include "sarvik/platform/ZCodePage.h"
#include "sarvik/platform/ZTextRaster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

LOGFONTA makeFont(const std::string& utf8Face, int height, int weight = FW_NORMAL) {
    LOGFONTA lf;
    lf.lfHeight = height;
    lf.lfWeight = weight;
    const std::string face = ZUtf8ToCp936(utf8Face);
    std::strncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    return lf;
}

// The smallest box holding every set pixel, in top-down coordinates.
struct Ink {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, count = 0;
    bool empty() const { return count == 0; }
    int centreX() const { return (left + right) / 2; }
};

Ink inkOf(const ZTextBitmap& bm, int x0 = 0, int y0 = 0, int x1 = -1, int y1 = -1) {
    if (x1 < 0)
        x1 = bm.width;
    if (y1 < 0)
        y1 = bm.height;
    Ink ink;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (bm.ink(x, y)) {
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
                ++ink.count;
            }
    return ink;
}

TEST(Raster, WindowsFamilyNamesFindInstalledFonts) {
    EXPECT_TRUE(ZInitFonts());
    EXPECT_NE(ZMatchFontFile(makeFont("Times New Roman", -32)).find("LiberationSerif-Regular"),
              std::string::npos);
    EXPECT_NE(ZMatchFontFile(makeFont("Times New Roman", -32, 700)).find("LiberationSerif-Bold"),
              std::string::npos);
    EXPECT_NE(ZMatchFontFile(makeFont("Arial", -12)).find("LiberationSans"), std::string::npos);
    EXPECT_NE(ZMatchFontFile(makeFont("宋体", -16)).find("wqy-zenhei"), std::string::npos);
    EXPECT_NE(ZMatchFontFile(makeFont("Microsoft YaHei", -16)).find("wqy-zenhei"),
              std::string::npos);
}

TEST(Raster, LogFontMapsToRequest) {
    LOGFONTA lf = makeFont("黑体", -20, 600);
    lf.lfItalic = 1;
    lf.lfStrikeOut = 1;
    ZFontRequest r = ZFontRequestFrom(lf);
    EXPECT_EQ(r.family, "黑体");
    EXPECT_EQ(r.pixelHeight, 20);
    EXPECT_FALSE(r.heightIsCell);
    EXPECT_TRUE(r.bold);
    EXPECT_TRUE(r.italic);
    EXPECT_FALSE(r.underline);
    EXPECT_TRUE(r.strikeOut);

    r = ZFontRequestFrom(makeFont("Arial", 24, 599));
    EXPECT_EQ(r.pixelHeight, 24);
    EXPECT_TRUE(r.heightIsCell);
    EXPECT_FALSE(r.bold);
}

TEST(Raster, MeasuresLinesAndSizes) {
    const LOGFONTA font = makeFont("Arial", -32);
    const ZTextSize one = ZMeasureText(font, "Hello");
    EXPECT_GT(one.width, 40);
    EXPECT_GE(one.height, 32);
    EXPECT_LT(one.height, 48);

    const ZTextSize two = ZMeasureText(font, "Hello\nHi");
    EXPECT_EQ(two.width, one.width);
    EXPECT_EQ(two.height, 2 * one.height);
    EXPECT_EQ(ZMeasureText(font, "Hello\r\nHi").height, two.height);
    EXPECT_EQ(ZMeasureText(font, "Hello\n").height, one.height);
    EXPECT_EQ(ZMeasureText(font, "a\n\nb").height, 3 * one.height);

    const ZTextSize empty = ZMeasureText(font, "");
    EXPECT_EQ(empty.width, 0);
    EXPECT_EQ(empty.height, 0);

    const ZTextSize larger = ZMeasureText(makeFont("Arial", -64), "Hello");
    EXPECT_GT(larger.width, one.width * 3 / 2);
    EXPECT_GT(larger.height, one.height * 3 / 2);

    // A positive height is the whole cell, so it measures smaller than the
    // same em size.
    EXPECT_EQ(ZMeasureText(makeFont("Arial", one.height), "Hello").height, one.height);
    // Ampersands are text, not mnemonic prefixes.
    EXPECT_GT(ZMeasureText(font, "A&B").width, ZMeasureText(font, "AB").width);
}

TEST(Raster, InkWhereGlyphsAreAndNowhereElse) {
    const LOGFONTA font = makeFont("Arial", -40);
    const ZTextSize size = ZMeasureText(font, "IIII");
    auto bm = ZRasterText(font, "IIII", size.width, size.height, ZTextAlign::Left);
    ASSERT_TRUE(bm);
    EXPECT_EQ(bm->width % 32, 0);
    EXPECT_GE(bm->width, size.width);
    EXPECT_EQ(bm->height, size.height);
    EXPECT_EQ(bm->bits.size(), static_cast<std::size_t>(bm->width / 8 * bm->height));

    const Ink ink = inkOf(*bm);
    ASSERT_FALSE(ink.empty());
    EXPECT_LT(ink.right, size.width); // nothing in the padding columns
    // Four upright strokes: scanning the middle row crosses ink four times.
    const int mid = (ink.top + ink.bottom) / 2;
    int runs = 0;
    for (int x = 0; x < bm->width; ++x)
        if (bm->ink(x, mid) && !bm->ink(x - 1, mid))
            ++runs;
    EXPECT_EQ(runs, 4);
    // Capitals stand on the baseline: the rows under it hold no ink.
    EXPECT_LT(ink.bottom, size.height * 9 / 10);
    EXPECT_GT(ink.top, 0);
}

TEST(Raster, RowsAreStoredBottomUp) {
    const LOGFONTA font = makeFont("Arial", -32);
    const ZTextSize line = ZMeasureText(font, "H");
    // Room for two lines; one line of text fills only the upper half, which
    // is stored last.
    auto bm = ZRasterText(font, "H", 64, 2 * line.height, ZTextAlign::Left);
    ASSERT_TRUE(bm);
    const std::size_t half = static_cast<std::size_t>(bm->width / 8 * line.height);
    EXPECT_TRUE(std::all_of(bm->bits.begin(), bm->bits.begin() + static_cast<long>(half),
                            [](std::uint8_t b) { return b == 0; }));
    EXPECT_TRUE(std::any_of(bm->bits.begin() + static_cast<long>(half), bm->bits.end(),
                            [](std::uint8_t b) { return b != 0; }));
}

TEST(Raster, AlignmentPlacesEachLine) {
    const LOGFONTA font = makeFont("Arial", -32);
    const int width = 300;
    const ZTextSize size = ZMeasureText(font, "WIDE LINE\nI");
    auto left = ZRasterText(font, "WIDE LINE\nI", width, size.height, ZTextAlign::Left);
    auto centre = ZRasterText(font, "WIDE LINE\nI", width, size.height, ZTextAlign::Center);
    auto right = ZRasterText(font, "WIDE LINE\nI", width, size.height, ZTextAlign::Right);
    ASSERT_TRUE(left && centre && right);
    const int lineHeight = size.height / 2;
    for (int line = 0; line < 2; ++line) {
        const int y0 = line * lineHeight, y1 = y0 + lineHeight;
        const Ink l = inkOf(*left, 0, y0, -1, y1);
        const Ink c = inkOf(*centre, 0, y0, -1, y1);
        const Ink r = inkOf(*right, 0, y0, -1, y1);
        ASSERT_FALSE(l.empty() || c.empty() || r.empty());
        EXPECT_LT(l.left, 5);
        EXPECT_GT(r.right, width - 6);
        EXPECT_NEAR(c.centreX(), width / 2, 4);
        EXPECT_LT(l.left, c.left);
        EXPECT_LT(c.left, r.left);
    }
    // The second, short line sits under the first one and is placed on its own.
    const Ink c1 = inkOf(*centre, 0, lineHeight, -1, size.height);
    EXPECT_GT(c1.left, inkOf(*centre, 0, 0, -1, lineHeight).left + 20);
    EXPECT_EQ(ZTextAlignFromCode(7), ZTextAlign::Center);
    EXPECT_EQ(ZTextAlignFromCode(1), ZTextAlign::Left);
    EXPECT_EQ(ZTextAlignFromCode(2), ZTextAlign::Right);
}

TEST(Raster, LongLinesAreClippedNotWrapped) {
    const LOGFONTA font = makeFont("Arial", -32);
    const std::string text = "MMMMMMMMMMMMMMMMMMMM";
    const ZTextSize size = ZMeasureText(font, text);
    auto bm = ZRasterText(font, text, 100, size.height * 2, ZTextAlign::Left);
    ASSERT_TRUE(bm);
    const Ink ink = inkOf(*bm);
    EXPECT_GT(ink.right, 90);
    EXPECT_LT(ink.right, 100);
    EXPECT_LT(ink.bottom, size.height); // nothing went to a second line
    // Lines below the rectangle are dropped.
    auto shortBm = ZRasterText(font, "A\nB\nC", 100, size.height, ZTextAlign::Left);
    ASSERT_TRUE(shortBm);
    EXPECT_LT(inkOf(*shortBm).bottom, size.height);
}

TEST(Raster, ChineseComesFromTheFallbackFont) {
    const std::string text = "页";
    const LOGFONTA latin = makeFont("Times New Roman", -32);
    const LOGFONTA chinese = makeFont("WenQuanYi Zen Hei", -32);
    const ZTextSize a = ZMeasureText(latin, text);
    const ZTextSize b = ZMeasureText(chinese, text);
    EXPECT_EQ(a.width, b.width);
    auto bmA = ZRasterText(latin, text, a.width, a.height, ZTextAlign::Left);
    auto bmB = ZRasterText(chinese, text, b.width, b.height, ZTextAlign::Left);
    ASSERT_TRUE(bmA && bmB);
    const Ink ia = inkOf(*bmA), ib = inkOf(*bmB);
    ASSERT_GT(ia.count, 40);
    EXPECT_EQ(ia.count, ib.count);
    EXPECT_EQ(ia.right - ia.left, ib.right - ib.left);
    EXPECT_EQ(ia.bottom - ia.top, ib.bottom - ib.top);
    // Mixed text keeps both scripts on one line.
    const ZTextSize mixed = ZMeasureText(latin, "Page 页1");
    EXPECT_GT(mixed.width, a.width + ZMeasureText(latin, "Page 1").width - 2);
    EXPECT_EQ(mixed.height, a.height);
}

TEST(Raster, StyleAddsInk) {
    const std::string text = "Text";
    const LOGFONTA plain = makeFont("Arial", -32);
    LOGFONTA bold = plain;
    bold.lfWeight = 700;
    LOGFONTA underline = plain;
    underline.lfUnderline = 1;
    LOGFONTA strike = plain;
    strike.lfStrikeOut = 1;
    const ZTextSize size = ZMeasureText(bold, text);
    auto count = [&](const LOGFONTA& f) {
        auto bm = ZRasterText(f, text, size.width, size.height, ZTextAlign::Left);
        return bm ? inkOf(*bm).count : 0;
    };
    const int base = count(plain);
    EXPECT_GT(count(bold), base * 6 / 5);
    EXPECT_GT(count(underline), base);
    EXPECT_GT(count(strike), base);

    auto under = ZRasterText(underline, text, size.width, size.height, ZTextAlign::Left);
    auto flat = ZRasterText(plain, text, size.width, size.height, ZTextAlign::Left);
    EXPECT_GT(inkOf(*under).bottom, inkOf(*flat).bottom);
}

TEST(Raster, DegenerateRectanglesGiveNoBitmap) {
    const LOGFONTA font = makeFont("Arial", -32);
    EXPECT_FALSE(ZRasterText(font, "A", 0, 10, ZTextAlign::Left));
    EXPECT_FALSE(ZRasterText(font, "A", 10, -1, ZTextAlign::Left));
    EXPECT_FALSE(ZRasterText(font, "A", 1 << 30, 1 << 30, ZTextAlign::Left));
    auto tiny = ZRasterText(font, "A", 1, 1, ZTextAlign::Center);
    ASSERT_TRUE(tiny);
    EXPECT_EQ(tiny->width, 32);
    EXPECT_EQ(tiny->height, 1);
    // An empty text is a clear bitmap of the size asked for.
    auto blank = ZRasterText(font, "", 33, 5, ZTextAlign::Left);
    ASSERT_TRUE(blank);
    EXPECT_EQ(blank->width, 64);
    EXPECT_TRUE(inkOf(*blank).empty());
}

TEST(Raster, AbsurdFontSizesAreBounded) {
    const ZTextSize size = ZMeasureText(makeFont("Arial", -2000000000), "A");
    EXPECT_GT(size.height, 0);
    EXPECT_LE(size.height, 4096);
    EXPECT_GT(ZMeasureText(makeFont("Arial", 0), "A").height, 0);
}

} // namespace
