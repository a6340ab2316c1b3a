#include "ZHeadlessGL.h"
#include "ZTestJpeg.h"

#include <sarvik/ZImageData.h>
#include <sarvik/ZJpgResource.h>
#include <sarvik/platform/ZMessage.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_titles;
std::vector<std::string> g_texts;
void collect(const std::string& title, const std::string& text) {
    g_titles.push_back(title);
    g_texts.push_back(text);
}

// Decoding runs with a context current, as the program does it, so that the
// texture is built too.
class JpegTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        gl = ZHeadlessGL::create(8, 8, &error);
        ASSERT_TRUE(gl) << "no headless GL context: " << error;
        g_titles.clear();
        g_texts.clear();
        previousSink = ZSetMessageSink(collect);
    }
    void TearDown() override {
        ZSetMessageSink(previousSink);
        for (const std::string& path : files)
            std::remove(path.c_str());
    }
    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        files.push_back(ZTestTempPath(name));
        EXPECT_TRUE(ZWriteTestFile(files.back(), bytes));
        return files.back();
    }
    bool load(ZJpgResource& jpg, const std::string& name, int w, int h, int components,
              const std::vector<std::uint8_t>& pixels, ZTestJpegOptions options = {}) {
        return jpg.loadFile(
            write(name, ZEncodeTestJpeg(w, h, components, pixels, options)).c_str());
    }
    static int at(const ZJpgResource& jpg, int row, int byte) {
        const int stride = static_cast<int>((jpg.getWidth() * 24 + 31) / 32 * 4);
        return jpg.getPixels()[row * stride + byte];
    }

    std::unique_ptr<ZHeadlessGL> gl;
    ZMessageSink previousSink = nullptr;
    std::vector<std::string> files;
};

std::vector<std::uint8_t> repeat(int count, std::vector<std::uint8_t> colour) {
    std::vector<std::uint8_t> px;
    for (int i = 0; i < count; ++i)
        px.insert(px.end(), colour.begin(), colour.end());
    return px;
}

// Position of the first 0xFF followed by `marker`; 0 when there is none.
std::size_t findMarker(const std::vector<std::uint8_t>& bytes, std::uint8_t marker) {
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == marker)
            return i;
    return 0;
}

TEST_F(JpegTest, ThreeByTwoIsStoredBottomUpRedFirstWithPaddedRows) {
    auto px = repeat(3, {250, 30, 90});
    const auto bottom = repeat(3, {20, 200, 60});
    px.insert(px.end(), bottom.begin(), bottom.end());
    ZJpgResource jpg;
    ASSERT_TRUE(load(jpg, "3x2.jpg", 3, 2, 3, px));
    EXPECT_EQ(jpg.getWidth(), 3u);
    EXPECT_EQ(jpg.getHeight(), 2u);
    EXPECT_EQ(jpg.getByteCount(), 24);
    EXPECT_NE(jpg.getTexture(), 0u);
    for (int x = 0; x < 3; ++x) {
        EXPECT_NEAR(at(jpg, 0, x * 3), 20, 6) << "row 0 is the picture's bottom row";
        EXPECT_NEAR(at(jpg, 0, x * 3 + 1), 200, 6);
        EXPECT_NEAR(at(jpg, 1, x * 3), 250, 6);
        EXPECT_NEAR(at(jpg, 1, x * 3 + 2), 90, 6);
    }
    for (int byte = 9; byte < 12; ++byte)
        EXPECT_EQ(at(jpg, 0, byte) + at(jpg, 1, byte), 0) << "padding";
    EXPECT_TRUE(g_titles.empty());
}

TEST_F(JpegTest, GreyscaleAndCmykBecomeRgb) {
    std::vector<std::uint8_t> grey(5 * 4);
    for (std::size_t i = 0; i < grey.size(); ++i)
        grey[i] = static_cast<std::uint8_t>(i * 12);
    ZJpgResource jpg;
    ASSERT_TRUE(load(jpg, "grey.jpg", 5, 4, 1, grey));
    ASSERT_EQ(jpg.getByteCount(), 16 * 4);
    for (int i = 0; i < 15; i += 3) {
        EXPECT_EQ(at(jpg, 2, i), at(jpg, 2, i + 1));
        EXPECT_EQ(at(jpg, 2, i), at(jpg, 2, i + 2));
    }
    // Pure red as Adobe stores CMYK: inverted inks, C=0 M=1 Y=1 K=0 is 255 0 0 255.
    ASSERT_TRUE(load(jpg, "cmyk.jpg", 8, 8, 4, repeat(64, {255, 0, 0, 255})));
    EXPECT_EQ(jpg.getByteCount(), 24 * 8);
    EXPECT_NEAR(at(jpg, 3, 3), 255, 6);
    EXPECT_NEAR(at(jpg, 3, 4), 0, 6);
    EXPECT_NEAR(at(jpg, 3, 5), 0, 6);
}

TEST_F(JpegTest, ProgressiveDecodesLikeBaseline) {
    std::vector<std::uint8_t> px(8 * 8 * 3);
    for (std::size_t i = 0; i < px.size(); ++i)
        px[i] = static_cast<std::uint8_t>(i * 5);
    ZJpgResource baseline, progressive;
    ASSERT_TRUE(load(baseline, "base.jpg", 8, 8, 3, px));
    ASSERT_TRUE(load(progressive, "prog.jpg", 8, 8, 3, px, {100, true}));
    ASSERT_EQ(progressive.getByteCount(), baseline.getByteCount());
    for (int i = 0; i < baseline.getByteCount(); ++i)
        ASSERT_NEAR(progressive.getPixels()[i], baseline.getPixels()[i], 3) << i;
}

TEST_F(JpegTest, FileCutInsideItsDataDecodesWithAWarning) {
    std::vector<std::uint8_t> noise(64 * 64 * 3);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<std::uint8_t>((i * 2654435761u) >> 13);
    auto bytes = ZEncodeTestJpeg(64, 64, 3, noise);
    const std::size_t scan = findMarker(bytes, 0xDA);
    ASSERT_GT(scan, 0u);
    bytes.resize(scan + (bytes.size() - scan) / 2);
    ZJpgResource jpg;
    ASSERT_TRUE(jpg.loadFile(write("cut.jpg", bytes).c_str()));
    EXPECT_EQ(jpg.getWidth(), 64u);
    EXPECT_EQ(jpg.getHeight(), 64u);
    ASSERT_FALSE(g_titles.empty());
    EXPECT_EQ(g_titles.front(), "JPEG Error");
}

// A 48-megapixel progressive photo needs a whole-picture coefficient buffer of
// 288 MB beside its 137 MiB of pixels; it is within the picture bound, so it
// loads, pixel for pixel as libjpeg decodes it.
TEST_F(JpegTest, FortyEightMegapixelProgressiveLoadsWithLibjpegsPixels) {
    constexpr int w = 8000, h = 6000;
    // Colour changes from one 8x8 block to the next and stays flat inside it,
    // which encodes quickly yet shows any row or column out of place.
    const auto bytes =
        ZEncodeTestJpegRows(w, h, 3,
                            [](int y, std::uint8_t* row) {
                                for (int x = 0; x < w; ++x, row += 3) {
                                    row[0] = static_cast<std::uint8_t>(x / 8 * 5 + y / 8);
                                    row[1] = static_cast<std::uint8_t>(y / 8 * 3);
                                    row[2] = static_cast<std::uint8_t>((x / 8) ^ (y / 8));
                                }
                            },
                            {90, true});
    ASSERT_FALSE(bytes.empty());
    // Decoding only: scaling so large a picture into mipmaps is GLU's work, not ours.
    gl->releaseCurrent();
    ZJpgResource jpg;
    ASSERT_TRUE(jpg.loadFile(write("48mp.jpg", bytes).c_str()))
        << (g_texts.empty() ? "" : g_texts[0]);
    ASSERT_EQ(jpg.getWidth(), unsigned{w});
    ASSERT_EQ(jpg.getHeight(), unsigned{h});
    EXPECT_TRUE(g_titles.empty());
    const std::size_t stride = ZImageData::rowStride(w);
    int mismatches = 0;
    const auto wholePicture = [](unsigned, unsigned) { return true; };
    ASSERT_TRUE(ZDecodeTestJpeg(
        bytes.data(), bytes.size(), wholePicture, [&](int y, const std::uint8_t* row) {
            // Stored bottom-up: the picture's top row is the last one.
            const unsigned char* stored =
                jpg.getPixels() + stride * static_cast<std::size_t>(h - 1 - y);
            if (std::memcmp(stored, row, std::size_t{w} * 3) != 0 && mismatches++ < 3)
                ADD_FAILURE() << "row " << y << " differs";
        }));
    EXPECT_EQ(mismatches, 0);
}

// A few hundred bytes may announce a progressive picture whose coefficients
// alone would take gigabytes; such a file is refused before anything is
// decoded, and says why. So is a picture beyond the picture bound.
TEST_F(JpegTest, PicturesRefusedForTheirSizeSaySo) {
    auto bytes = ZEncodeTestJpeg(8, 8, 3, repeat(64, {10, 200, 30}), {90, true});
    const std::size_t sof = findMarker(bytes, 0xC2);
    ASSERT_GT(sof, 0u);
    // 12000 x 12000: within the picture bound, but the file holds far too
    // little for it.
    bytes[sof + 5] = bytes[sof + 7] = 12000 >> 8;
    bytes[sof + 6] = bytes[sof + 8] = 12000 & 0xFF;
    bytes.resize(bytes.size() / 2);
    const auto good = ZEncodeTestJpeg(4, 4, 3, repeat(16, {1, 2, 3}));
    auto huge = good; // 65284 x 65284
    const std::size_t baselineSof = findMarker(huge, 0xC0);
    ASSERT_GT(baselineSof, 0u);
    huge[baselineSof + 5] = huge[baselineSof + 7] = 0xFF;
    const std::vector<std::string> paths = {
        write("announces-huge.jpg", bytes), write("huge.jpg", huge),
        // Found by fuzzing: 191 bytes declaring 65499 x 2064 progressive pixels.
        std::string(TAVLO_FUZZ_KNOWN_DIR) + "/jpeg-progressive-65499x2064-truncated.jpg"};
    const std::vector<std::string> sizes = {"12000 x 12000", "65284 x 65284", "65499 x 2064"};
    ZJpgResource jpg;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        ASSERT_TRUE(jpg.loadFile(write("good.jpg", good).c_str()));
        g_titles.clear();
        g_texts.clear();
        EXPECT_FALSE(jpg.loadFile(paths[i].c_str())) << paths[i];
        EXPECT_EQ(jpg.getPixels(), nullptr);
        // Warnings about the damaged data may come first; the refusal is last.
        ASSERT_FALSE(g_titles.empty()) << paths[i];
        EXPECT_EQ(g_titles.back(), "JPEG Error");
        EXPECT_NE(g_texts.back().find(sizes[i]), std::string::npos) << g_texts.back();
    }
}

TEST_F(JpegTest, UnreadableFilesFailWithoutPixels) {
    const auto good = ZEncodeTestJpeg(4, 4, 3, repeat(16, {1, 2, 3}));
    const std::vector<std::string> paths = {
        write("text.jpg", {'h', 'e', 'l', 'l', 'o'}), write("empty.jpg", {}),
        write("header.jpg", std::vector<std::uint8_t>(good.begin(), good.begin() + 20)),
        ZTestTempPath("missing.jpg")};
    ZJpgResource jpg;
    for (const std::string& path : paths) {
        ASSERT_TRUE(jpg.loadFile(write("good.jpg", good).c_str()));
        EXPECT_FALSE(jpg.loadFile(path.c_str())) << path;
        EXPECT_EQ(jpg.getPixels(), nullptr) << path;
        EXPECT_EQ(jpg.getByteCount(), 0) << path;
    }
    EXPECT_FALSE(jpg.loadFile(nullptr));
}

} // namespace
