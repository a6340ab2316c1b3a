#include <sarvik/ZN_SText.h>
#include <sarvik/platform/ZCodePage.h>
#include <sarvik/platform/ZFile.h>
#include <sarvik/platform/ZTextRaster.h>

#include <gtest/gtest.h>

#include "nodes/ZoomedFont.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

namespace {

// Keeps a test's view offset from leaking into the next test.
struct OffsetGuard {
    explicit OffsetGuard(const ZVector2& offset) { setScallPosition(offset); }
    ~OffsetGuard() { setScallPosition(ZVector2(0.0f, 0.0f)); }
};

LOGFONTA arial(int height) {
    LOGFONTA lf;
    lf.lfHeight = height;
    lf.lfWeight = 400;
    std::strcpy(lf.lfFaceName, "Arial");
    return lf;
}

std::vector<std::uint8_t> record(ZN_SText& text, int version = 8) {
    auto out = ZFile::toMemory();
    text.writeFile(out.get(), version);
    EXPECT_TRUE(out->commit());
    return out->bytes();
}

std::unique_ptr<ZN_SText> readBack(const std::vector<std::uint8_t>& bytes, int version,
                                   bool* failed = nullptr, std::uint64_t* left = nullptr) {
    auto in = ZFile::fromMemory(bytes);
    auto text = std::make_unique<ZN_SText>();
    text->readFile(in.get(), version);
    if (failed)
        *failed = in->failed();
    if (left)
        *left = in->remaining();
    return text;
}

int inkCount(const ZGLFont& font) {
    const auto& bm = font.getBitmap();
    int n = 0;
    if (bm)
        for (std::uint8_t b : bm->bits)
            n += __builtin_popcount(b);
    return n;
}

TEST(Text, Defaults) {
    std::unique_ptr<ZN_ShapeBase> shape(ZN_ShapeBase::createShape(5));
    auto* text = dynamic_cast<ZN_SText*>(shape.get());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->type(), 5);
    EXPECT_STREQ(text->getText(), " ");
    EXPECT_EQ(text->getPoint1(), ZVector2(0.0f, 0.0f));
    EXPECT_EQ(text->getPoint2(), ZVector2(0.0f, 0.0f));
    EXPECT_EQ(text->getHost(), nullptr);
    EXPECT_EQ(text->getTextAlignType(), 0);
    const ZVector3 colour = text->getColor();
    EXPECT_EQ(colour.X(), 0.0f);
    EXPECT_EQ(colour.Y(), 0.0f);
    EXPECT_EQ(colour.Z(), 0.0f);
    text->setColor(ZVector3(0.25f, 0.5f, 1.0f));
    EXPECT_EQ(text->getFontColor().Y(), 0.5f);

    const LOGFONTA lf = text->getFont();
    EXPECT_EQ(lf.lfHeight, -32);
    EXPECT_EQ(lf.lfWidth, 0);
    EXPECT_EQ(lf.lfEscapement, 0);
    EXPECT_EQ(lf.lfOrientation, 0);
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_EQ(lf.lfItalic, 0);
    EXPECT_EQ(lf.lfUnderline, 0);
    EXPECT_EQ(lf.lfStrikeOut, 0);
    EXPECT_EQ(lf.lfCharSet, 0);
    EXPECT_EQ(lf.lfOutPrecision, 3);
    EXPECT_EQ(lf.lfClipPrecision, 2);
    EXPECT_EQ(lf.lfQuality, 1);
    EXPECT_EQ(lf.lfPitchAndFamily, 0x12);
    EXPECT_STREQ(lf.lfFaceName, "Times New Roman");
    EXPECT_EQ(text->getGLFont().getBits(), nullptr);
}

TEST(Text, SetTextRendersIntoTheRectangleWithoutResizingIt) {
    ZN_SText text;
    text.setRect(ZVector2(10.0f, 20.0f), ZVector2(110.9f, 60.5f));
    text.setText("Hello");
    EXPECT_STREQ(text.getText(), "Hello");
    EXPECT_EQ(text.getPoint2(), ZVector2(110.9f, 60.5f));
    const ZGLFont& font = text.getGLFont();
    ASSERT_NE(font.getBits(), nullptr);
    EXPECT_EQ(font.getWidth(), 128); // 100 (truncated) rounded up to 32 bits
    EXPECT_EQ(font.getHeight(), 40);
    EXPECT_GT(inkCount(font), 0);

    // A rectangle of no size gives no picture; the text still keeps its string.
    text.setRect(ZVector2(5.0f, 5.0f), ZVector2(5.0f, 50.0f));
    text.setText("Hello");
    EXPECT_EQ(font.getBits(), nullptr);
    EXPECT_STREQ(text.getText(), "Hello");

    // Damaged corners (NaN, huge) must not be converted blindly.
    text.setRect(ZVector2(0.0f, 0.0f), ZVector2(std::numeric_limits<float>::quiet_NaN(), 1e30f));
    text.setText("x");
    EXPECT_EQ(font.getBits(), nullptr);
    text.setText(nullptr);
    EXPECT_STREQ(text.getText(), "");
}

TEST(Text, SetFontMeasuresAndGrowsFromTheTopLeftCorner) {
    ZN_SText text;
    text.setRect(ZVector2(10.0f, 20.0f), ZVector2(11.0f, 21.0f));
    text.setText("Hello\n世界");
    text.setFont(arial(-20));
    const ZTextSize small = ZMeasureText(arial(-20), "Hello\n世界");
    EXPECT_EQ(text.getPoint1(), ZVector2(10.0f, 20.0f));
    EXPECT_EQ(text.getPoint2(), ZVector2(10.0f + static_cast<float>(small.width),
                                         20.0f + static_cast<float>(small.height)));
    EXPECT_EQ(text.getGLFont().getHeight(), small.height);
    EXPECT_EQ(text.getFont().lfHeight, -20);

    const ZVector2 before = text.getPoint2();
    text.setFont(arial(-40));
    EXPECT_EQ(text.getPoint1(), ZVector2(10.0f, 20.0f));
    EXPECT_GT(text.getPoint2().X(), before.X());
    EXPECT_GT(text.getPoint2().Y(), before.Y());
    // The text shows in full in the new rectangle: two lines of ink.
    EXPECT_GT(inkCount(text.getGLFont()), 0);
}

TEST(Text, AlignmentReRenders) {
    ZN_SText text;
    text.setRect(ZVector2(0.0f, 0.0f), ZVector2(300.0f, 40.0f));
    text.setText("I");
    auto firstInkColumn = [&]() {
        const auto& bm = text.getGLFont().getBitmap();
        for (int x = 0; x < bm->width; ++x)
            for (int y = 0; y < bm->height; ++y)
                if (bm->ink(x, y))
                    return x;
        return -1;
    };
    const int centre = firstInkColumn();
    text.setTextAlignType(1);
    const int left = firstInkColumn();
    text.setTextAlignType(2);
    const int right = firstInkColumn();
    EXPECT_EQ(text.getTextAlignType(), 2);
    EXPECT_LT(left, 10);
    EXPECT_GT(centre, 120);
    EXPECT_LT(centre, 180);
    EXPECT_GT(right, 270);
    text.setTextAlignType(5); // anything else centres
    EXPECT_EQ(firstInkColumn(), centre);
}

TEST(Text, HitAndRubberBandUseWindowCoordinatesAndStrictBounds) {
    ZN_SText text;
    text.setRect(ZVector2(100.0f, 100.0f), ZVector2(200.0f, 150.0f));
    EXPECT_EQ(text.InPoint(ZVector2(150.0f, 120.0f), nullptr, 10.0f), 9);
    EXPECT_EQ(text.InPoint(ZVector2(100.0f, 120.0f), nullptr, 10.0f), 0); // on the edge
    EXPECT_EQ(text.InPoint(ZVector2(95.0f, 120.0f), nullptr, 10.0f), 0);  // no tolerance
    EXPECT_EQ(text.InPoint(ZVector2(150.0f, 150.0f), nullptr, 10.0f), 0);

    EXPECT_TRUE(text.IntersectRect(ZVector2(99.0f, 99.0f), ZVector2(201.0f, 151.0f)));
    EXPECT_FALSE(text.IntersectRect(ZVector2(100.0f, 99.0f), ZVector2(201.0f, 151.0f)));
    EXPECT_FALSE(text.IntersectRect(ZVector2(150.0f, 0.0f), ZVector2(400.0f, 400.0f))); // half
    EXPECT_FALSE(text.IntersectRect(ZVector2(120.0f, 110.0f), ZVector2(180.0f, 140.0f)));

    OffsetGuard offset(ZVector2(50.0f, 30.0f));
    EXPECT_EQ(text.InPoint(ZVector2(150.0f, 120.0f), nullptr, 10.0f), 0);
    EXPECT_EQ(text.InPoint(ZVector2(100.0f, 90.0f), nullptr, 10.0f), 9);
    EXPECT_TRUE(text.IntersectRect(ZVector2(49.0f, 69.0f), ZVector2(151.0f, 121.0f)));
    EXPECT_FALSE(text.IntersectRect(ZVector2(99.0f, 99.0f), ZVector2(201.0f, 151.0f)));
}

TEST(Text, ChangeMovesWithoutRenderingAndCursorIsSizeAll) {
    ZN_SText text;
    text.setRect(ZVector2(10.0f, 10.0f), ZVector2(60.0f, 40.0f));
    text.setText("ab");
    const auto picture = text.getGLFont().getBitmap();
    text.change(ZVector2(5.0f, -3.0f), 3); // any code moves the whole text
    EXPECT_EQ(text.getPoint1(), ZVector2(15.0f, 7.0f));
    EXPECT_EQ(text.getPoint2(), ZVector2(65.0f, 37.0f));
    EXPECT_EQ(text.getGLFont().getBitmap(), picture);

    ZSetCursor(ZCursor::Arrow);
    text.loadCursor(ZCursor::None, 9);
    EXPECT_EQ(ZLastCursor(), ZCursor::SizeAll);
}

TEST(Text, DestroyingALabelClearsItsHost) {
    std::unique_ptr<ZN_ShapeBase> host(ZN_ShapeBase::createShape(7));
    auto* label = new ZN_SText();
    host->setLabel(label);
    label->setHost(host.get());
    delete label;
    EXPECT_EQ(host->getLabel(), nullptr);

    // A label whose host holds another label leaves that one alone.
    auto* other = new ZN_SText();
    host->setLabel(other);
    other->setHost(host.get());
    ZN_SText stray;
    stray.setHost(host.get());
    EXPECT_EQ(host->getLabel(), other);
}

TEST(Text, CloneCopiesFieldsAndSharesThePicture) {
    ZN_SText text;
    text.setRect(ZVector2(10.0f, 10.0f), ZVector2(110.0f, 50.0f));
    text.setTextAlignType(1);
    text.setText("共享 picture");
    text.setFontColor(ZVector3(0.0f, 0.0f, 1.0f));
    text.setId(7);
    text.setSelected(true);
    text.setShow(false);
    std::unique_ptr<ZN_ShapeBase> hostShape(ZN_ShapeBase::createShape(7));
    text.setHost(hostShape.get());

    // A picture already drawn is shared by the copy rather than made again.
    ASSERT_NE(text.getGLFont().getBits(), nullptr);
    std::unique_ptr<ZN_ShapeBase> shape(text.clone());
    auto* copy = dynamic_cast<ZN_SText*>(shape.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->getText(), "共享 picture");
    EXPECT_EQ(copy->getPoint1(), text.getPoint1());
    EXPECT_EQ(copy->getPoint2(), text.getPoint2());
    EXPECT_EQ(copy->getFontColor().Z(), 1.0f);
    EXPECT_EQ(copy->getTextAlignType(), 1);
    const LOGFONTA copyFont = copy->getFont(), sourceFont = text.getFont();
    EXPECT_EQ(std::memcmp(&copyFont, &sourceFont, sizeof(LOGFONTA)), 0);
    EXPECT_EQ(copy->getId(), 7);
    EXPECT_FALSE(copy->getShow());
    EXPECT_FALSE(copy->getSelected());
    EXPECT_EQ(copy->getHost(), nullptr);
    ASSERT_NE(copy->getGLFont().getBits(), nullptr);
    EXPECT_EQ(copy->getGLFont().getBitmap(), text.getGLFont().getBitmap());

    // A rectangle resized since the last rendering gets a picture of its own
    // size, as rendering the copy afresh would give.
    text.setRect(ZVector2(10.0f, 10.0f), ZVector2(200.0f, 50.0f));
    std::unique_ptr<ZN_ShapeBase> second(text.clone());
    const ZGLFont& font = static_cast<ZN_SText*>(second.get())->getGLFont();
    EXPECT_NE(font.getBitmap(), text.getGLFont().getBitmap());
    EXPECT_EQ(font.getWidth(), 192);
    text.setHost(nullptr);
}

TEST(Text, RecordLayoutAndRoundTrip) {
    ZN_SText text;
    text.setRect(ZVector2(1.5f, 2.0f), ZVector2(81.5f, 42.0f));
    text.setTextAlignType(2);
    text.setText("页1");
    text.setFontColor(ZVector3(1.0f, 0.5f, 0.0f));
    const std::vector<std::uint8_t> bytes = record(text);
    ASSERT_EQ(bytes.size(), 4u + 28u + 4u + 3u + 60u + 4u);
    EXPECT_EQ(bytes[0] | bytes[1] | bytes[2] | bytes[3], 0); // no label of its own
    float x = 0;
    std::memcpy(&x, &bytes[4], 4);
    EXPECT_EQ(x, 1.5f);
    std::int32_t n = 0;
    std::memcpy(&n, &bytes[32], 4);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(bytes[36], 0xD2);
    EXPECT_EQ(bytes[37], 0xB3);
    EXPECT_EQ(bytes[38], 0x31);
    const LOGFONTA font = text.getFont();
    EXPECT_EQ(std::memcmp(&bytes[39], &font, 60), 0);
    std::int32_t align = 0;
    std::memcpy(&align, &bytes[99], 4);
    EXPECT_EQ(align, 2);

    for (const char* s : {"页1", "Latin text", "混合 mixed\r\n第二行", ""}) {
        text.setText(s);
        bool failed = true;
        std::uint64_t left = 1;
        auto back = readBack(record(text), 8, &failed, &left);
        EXPECT_FALSE(failed) << s;
        EXPECT_EQ(left, 0u) << s;
        EXPECT_STREQ(back->getText(), s);
        EXPECT_EQ(back->getPoint1(), text.getPoint1());
        EXPECT_EQ(back->getPoint2(), text.getPoint2());
        EXPECT_EQ(back->getTextAlignType(), 2);
        EXPECT_EQ(back->getFontColor().Y(), 0.5f);
        const LOGFONTA backFont = back->getFont();
        EXPECT_EQ(std::memcmp(&backFont, &font, sizeof(LOGFONTA)), 0);
        // Reading renders the picture from what was read.
        EXPECT_EQ(back->getGLFont().getWidth(), 96);
        EXPECT_EQ(back->getGLFont().getHeight(), 40);
        EXPECT_EQ(record(*back), record(text)) << s;
    }
}

TEST(Text, OlderVersionsHaveNoAlignment) {
    ZN_SText text;
    text.setRect(ZVector2(0.0f, 0.0f), ZVector2(50.0f, 20.0f));
    text.setTextAlignType(1);
    text.setText("old");
    std::vector<std::uint8_t> bytes = record(text);
    bytes.resize(bytes.size() - 4); // a version 6 record ends with the font
    bool failed = true;
    std::uint64_t left = 1;
    auto back = readBack(bytes, 6, &failed, &left);
    EXPECT_FALSE(failed);
    EXPECT_EQ(left, 0u);
    EXPECT_EQ(back->getTextAlignType(), 0);
    EXPECT_STREQ(back->getText(), "old");
}

TEST(Text, LongTextsReadBackWhole) {
    std::string s;
    for (int i = 0; i < 400; ++i)
        s += "长文本 long ";
    ZN_SText text;
    text.setRect(ZVector2(0.0f, 0.0f), ZVector2(64.0f, 32.0f));
    text.setText(s.c_str());
    const auto bytes = record(text);
    ASSERT_GT(bytes.size(), 4000u);
    bool failed = true;
    auto back = readBack(bytes, 8, &failed);
    EXPECT_FALSE(failed);
    EXPECT_EQ(std::string(back->getText()), s);
}

TEST(Text, OddLengthsAndBytes) {
    ZN_SText text;
    text.setRect(ZVector2(0.0f, 0.0f), ZVector2(50.0f, 20.0f));
    text.setText("abcd");
    std::vector<std::uint8_t> bytes = record(text);
    // A NUL inside the text ends it, as the fixed reading buffer did.
    bytes[37] = 0;
    bool failed = true;
    EXPECT_STREQ(readBack(bytes, 8, &failed)->getText(), "a");
    EXPECT_FALSE(failed);
    // A byte that is no character reads as U+FFFD rather than failing.
    bytes[37] = 0xFF;
    EXPECT_STREQ(readBack(bytes, 8, &failed)->getText(), "a\xEF\xBF\xBD"
                                                         "cd");

    // Zero and negative lengths give the empty text with nothing to read.
    ZN_SText empty;
    empty.setText("");
    std::vector<std::uint8_t> zero = record(empty);
    EXPECT_STREQ(readBack(zero, 8, &failed)->getText(), "");
    EXPECT_FALSE(failed);
    const std::int32_t minusOne = -1;
    std::memcpy(&zero[32], &minusOne, 4);
    std::uint64_t left = 1;
    EXPECT_STREQ(readBack(zero, 8, &failed, &left)->getText(), "");
    EXPECT_FALSE(failed);
    EXPECT_EQ(left, 0u);
}

TEST(Text, DamagedRecordsAreRefused) {
    ZN_SText text;
    text.setRect(ZVector2(0.0f, 0.0f), ZVector2(50.0f, 20.0f));
    text.setText("truncated 截断");
    const std::vector<std::uint8_t> bytes = record(text);
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        std::vector<std::uint8_t> part(bytes.begin(), bytes.begin() + static_cast<long>(cut));
        bool failed = false;
        readBack(part, 8, &failed);
        EXPECT_TRUE(failed) << "cut at " << cut;
    }

    // A length no file could back is refused before anything is allocated.
    std::vector<std::uint8_t> huge = bytes;
    const std::int32_t big = 0x7FFFFFFF;
    std::memcpy(&huge[32], &big, 4);
    bool failed = false;
    readBack(huge, 8, &failed);
    EXPECT_TRUE(failed);

    // A text record claiming a label of its own is not a text record.
    std::vector<std::uint8_t> labelled = bytes;
    labelled[0] = 1;
    readBack(labelled, 8, &failed);
    EXPECT_TRUE(failed);

    // A face name without its terminator stays within its field.
    std::vector<std::uint8_t> face = bytes;
    const std::size_t nameAt = 36 + std::strlen("truncated ") + 4 + 28;
    std::memset(&face[nameAt], 'A', LF_FACESIZE);
    auto back = readBack(face, 8, &failed);
    EXPECT_FALSE(failed);
    EXPECT_EQ(std::strlen(back->getFont().lfFaceName), static_cast<std::size_t>(LF_FACESIZE - 1));
}

} // namespace

// A zoomed label is drawn from glyphs rasterised at the zoomed size, never
// from its 100 % picture scaled, and the picture is made once per zoom.
TEST(TextZoom, LabelsAreRasterisedAtTheZoomedSizeAndCachedPerZoom) {
    ZN_SText t;
    t.setFont(arial(-40));
    t.setText("Hg 页");
    t.setFont(t.getFont());
    const auto full = t.pictureAt(1.0f);
    ASSERT_TRUE(full);
    EXPECT_EQ(full, t.getGLFont().getBitmap());

    const auto half = t.pictureAt(0.5f);
    ASSERT_TRUE(half);
    const float h = t.getPoint2().Y() - t.getPoint1().Y();
    EXPECT_EQ(half->height, static_cast<int>(h * 0.5f));
    // The inked rows span about half as many rows as at 100 %.
    auto inkRows = [](const ZTextBitmap& bm) {
        int top = bm.height, bottom = -1;
        for (int y = 0; y < bm.height; ++y)
            for (int x = 0; x < bm.width; ++x)
                if (bm.ink(x, y)) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        return bottom - top + 1;
    };
    EXPECT_NEAR(inkRows(*half), inkRows(*full) * 0.5, 2.0);
    EXPECT_EQ(t.pictureAt(0.5f), half); // made once

    // Another zoom makes another picture; a new text drops the old ones.
    EXPECT_NE(t.pictureAt(2.0f), half);
    EXPECT_GT(t.pictureAt(2.0f)->height, full->height);
    const auto twice = t.pictureAt(2.0f);
    t.setText("Hg");
    EXPECT_NE(t.pictureAt(2.0f), twice);

    // A rectangle too large to scale gives no picture rather than a huge one.
    t.setRect(ZVector2(0.0f, 0.0f), ZVector2(3.0e9f, 40.0f));
    EXPECT_FALSE(t.pictureAt(2.0f));
}

// Below 100 % the glyphs are hinted at the zoomed size, so a line may come
// out wider than the scaled rectangle, and side bearings reach past it. The
// zoomed picture must hold every inked column of the line (compared with the
// same text in the same font, unclipped), and the ink must stay within the
// scaled rectangle but for a few pixels of bearing.
TEST(TextZoom, ZoomedLabelsKeepTheirFirstAndLastGlyphs) {
    struct Columns {
        std::vector<int> counts; // ink per column, from the first inked one
        int first = -1;
        int last = -1;
    };
    auto columns = [](const ZTextBitmap& bm) {
        Columns c;
        std::vector<int> counts(static_cast<std::size_t>(bm.width), 0);
        for (int y = 0; y < bm.height; ++y)
            for (int x = 0; x < bm.width; ++x)
                counts[static_cast<std::size_t>(x)] += bm.ink(x, y) ? 1 : 0;
        for (int x = 0; x < bm.width; ++x)
            if (counts[static_cast<std::size_t>(x)] > 0) {
                c.first = c.first < 0 ? x : c.first;
                c.last = x;
            }
        if (c.first >= 0)
            c.counts.assign(counts.begin() + c.first, counts.begin() + c.last + 1);
        return c;
    };
    const char* labels[] = {"display-name", "Servlet 4.0", "Hyperlinking", "jiffy fit", "文件夹 Tree"};
    const char* faces[] = {"Times New Roman", "Arial"};
    for (const char* face : faces)
        for (int height : {-16, -20, -32})
            for (int align : {0, 1, 2})
                for (const char* text : labels) {
                    LOGFONTA font = arial(height);
                    std::strcpy(font.lfFaceName, face);
                    ZN_SText label;
                    label.setFont(font);
                    label.setTextAlignType(align);
                    label.setText(text);
                    label.setFont(label.getFont()); // measured: the rectangle fits the text
                    const float w = label.getPoint2().X() - label.getPoint1().X();
                    const float h = label.getPoint2().Y() - label.getPoint1().Y();
                    for (float zoom : {0.25f, 0.5f, 0.67f, 0.75f}) {
                        SCOPED_TRACE(std::string(face) + " " + std::to_string(height) + " align " +
                                     std::to_string(align) + " \"" + text + "\" at " +
                                     std::to_string(zoom));
                        const auto picture = label.pictureAt(zoom);
                        const auto whole = ZRasterText(detail::zoomedFont(label, zoom), text, 64 + 4 * static_cast<int>(w),
                                                       static_cast<int>(h * zoom), ZTextAlign::Left, 64);
                        ASSERT_TRUE(picture && whole);
                        const Columns drawn = columns(*picture);
                        EXPECT_EQ(drawn.counts, columns(*whole).counts);
                        const int scaled = static_cast<int>(w * zoom);
                        EXPECT_GE(drawn.first - picture->originX, -3);
                        EXPECT_LT(drawn.last - picture->originX, scaled + 3);
                    }
                }
}
