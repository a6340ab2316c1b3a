#include "ZHeadlessGL.h"
#include "ZTestJpeg.h"

#include <sarvik/ZJpgResource.h>
#include <sarvik/platform/ZMessage.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_titles;
void collect(const std::string& title, const std::string&) { g_titles.push_back(title); }

// Decoding runs with a context current, as the program does it, so that the
// texture is built too.
class JpegTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        gl = ZHeadlessGL::create(8, 8, &error);
        ASSERT_TRUE(gl) << "no headless GL context: " << error;
        g_titles.clear();
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
        return jpg.loadFile(write(name, ZEncodeTestJpeg(w, h, components, pixels, options)).c_str());
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

// A few hundred bytes may announce a progressive picture whose coefficients
// alone would take gigabytes; the decoder refuses it instead of taking them.
TEST_F(JpegTest, SmallProgressiveFileAnnouncingAHugePictureIsRefused) {
    auto bytes = ZEncodeTestJpeg(8, 8, 3, repeat(64, {10, 200, 30}), {90, true});
    const std::size_t sof = findMarker(bytes, 0xC2);
    ASSERT_GT(sof, 0u);
    // 12000 x 12000: within the picture bound, far beyond the decoder's memory bound.
    bytes[sof + 5] = bytes[sof + 7] = 12000 >> 8;
    bytes[sof + 6] = bytes[sof + 8] = 12000 & 0xFF;
    bytes.resize(bytes.size() / 2);
    ZJpgResource jpg;
    EXPECT_FALSE(jpg.loadFile(write("announces-huge.jpg", bytes).c_str()));
    EXPECT_EQ(jpg.getPixels(), nullptr);
}

TEST_F(JpegTest, UnreadableFilesFailWithoutPixels) {
    const auto good = ZEncodeTestJpeg(4, 4, 3, repeat(16, {1, 2, 3}));
    auto huge = good; // a frame header announcing 65280 x 65280 pixels
    const std::size_t sof = findMarker(huge, 0xC0);
    ASSERT_GT(sof, 0u);
    huge[sof + 5] = huge[sof + 7] = 0xFF;
    const std::vector<std::string> paths = {
        write("text.jpg", {'h', 'e', 'l', 'l', 'o'}), write("empty.jpg", {}),
        write("header.jpg", std::vector<std::uint8_t>(good.begin(), good.begin() + 20)),
        write("huge.jpg", huge), ZTestTempPath("missing.jpg")};
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
