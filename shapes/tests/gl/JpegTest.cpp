#include "ZHeadlessGL.h"
#include "ZTestJpeg.h"

#include <sarvik/ZJpgResource.h>
#include <sarvik/platform/ZMessage.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<std::pair<std::string, std::string>> g_messages;

void collect(const std::string& title, const std::string& text) {
    g_messages.emplace_back(title, text);
}

class JpegTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        gl = ZHeadlessGL::create(8, 8, &error);
        ASSERT_TRUE(gl) << "no headless GL context: " << error;
        g_messages.clear();
        previousSink = ZSetMessageSink(collect);
    }
    void TearDown() override {
        ZSetMessageSink(previousSink);
        for (const std::string& path : files)
            std::remove(path.c_str());
    }
    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const std::string path = ZTestTempPath(name);
        EXPECT_TRUE(ZWriteTestFile(path, bytes));
        files.push_back(path);
        return path;
    }
    std::string writeJpeg(const std::string& name, int w, int h, int components,
                          const std::vector<std::uint8_t>& pixels, ZTestJpegOptions options = {}) {
        const auto bytes = ZEncodeTestJpeg(w, h, components, pixels, options);
        EXPECT_FALSE(bytes.empty());
        return write(name, bytes);
    }
    static int pixelAt(const ZJpgResource& jpg, int row, int byte) {
        const int stride = static_cast<int>((jpg.getWidth() * 24 + 31) / 32 * 4);
        return jpg.getPixels()[row * stride + byte];
    }

    std::unique_ptr<ZHeadlessGL> gl;
    ZMessageSink previousSink = nullptr;
    std::vector<std::string> files;
};

// A picture whose rows differ only in brightness, so that chroma subsampling
// cannot blur them into each other.
std::vector<std::uint8_t> rows(int w, const std::vector<std::uint8_t>& levels) {
    std::vector<std::uint8_t> px;
    for (std::uint8_t level : levels)
        for (int i = 0; i < w * 3; ++i)
            px.push_back(level);
    return px;
}

std::vector<std::uint8_t> uniform(int w, int h, std::vector<std::uint8_t> colour) {
    std::vector<std::uint8_t> px;
    for (int i = 0; i < w * h; ++i)
        px.insert(px.end(), colour.begin(), colour.end());
    return px;
}

TEST_F(JpegTest, ThreeByTwoIsStoredBottomUpWithPaddedRows) {
    ZJpgResource jpg;
    ASSERT_TRUE(jpg.loadFile(writeJpeg("3x2.jpg", 3, 2, 3, rows(3, {240, 16})).c_str()));
    EXPECT_EQ(jpg.getWidth(), 3u);
    EXPECT_EQ(jpg.getHeight(), 2u);
    EXPECT_EQ(jpg.getByteCount(), 24);
    EXPECT_NE(jpg.getTexture(), 0u);
    for (int byte = 0; byte < 9; ++byte) {
        EXPECT_NEAR(pixelAt(jpg, 0, byte), 16, 8) << "row 0 is the picture's bottom row";
        EXPECT_NEAR(pixelAt(jpg, 1, byte), 240, 8);
    }
    for (int byte = 9; byte < 12; ++byte) {
        EXPECT_EQ(pixelAt(jpg, 0, byte), 0) << "padding";
        EXPECT_EQ(pixelAt(jpg, 1, byte), 0) << "padding";
    }
    EXPECT_TRUE(g_messages.empty());
}

TEST_F(JpegTest, ColourBytesComeRedFirst) {
    ZJpgResource jpg;
    ASSERT_TRUE(jpg.loadFile(writeJpeg("rgb.jpg", 16, 16, 3, uniform(16, 16, {200, 40, 90})).c_str()));
    EXPECT_NEAR(pixelAt(jpg, 5, 15), 200, 4);
    EXPECT_NEAR(pixelAt(jpg, 5, 16), 40, 4);
    EXPECT_NEAR(pixelAt(jpg, 5, 17), 90, 4);
}

TEST_F(JpegTest, GreyscaleGivesThreeEqualBytes) {
    std::vector<std::uint8_t> grey(5 * 4);
    for (std::size_t i = 0; i < grey.size(); ++i)
        grey[i] = static_cast<std::uint8_t>(i * 12);
    ZJpgResource jpg;
    ASSERT_TRUE(jpg.loadFile(writeJpeg("grey.jpg", 5, 4, 1, grey).c_str()));
    ASSERT_EQ(jpg.getByteCount(), 16 * 4);
    for (int row = 0; row < 4; ++row)
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(pixelAt(jpg, row, x * 3), pixelAt(jpg, row, x * 3 + 1));
            EXPECT_EQ(pixelAt(jpg, row, x * 3), pixelAt(jpg, row, x * 3 + 2));
        }
    // Bottom-up: the last grey row holds the brightest values.
    EXPECT_GT(pixelAt(jpg, 0, 12), pixelAt(jpg, 3, 12));
}

TEST_F(JpegTest, ProgressiveDecodesLikeBaseline) {
    const auto px = rows(8, {10, 60, 110, 160, 210, 250, 30, 90});
    ZJpgResource baseline, progressive;
    ASSERT_TRUE(baseline.loadFile(writeJpeg("base.jpg", 8, 8, 3, px).c_str()));
    ZTestJpegOptions options;
    options.progressive = true;
    ASSERT_TRUE(progressive.loadFile(writeJpeg("prog.jpg", 8, 8, 3, px, options).c_str()));
    ASSERT_EQ(progressive.getByteCount(), baseline.getByteCount());
    for (int i = 0; i < baseline.getByteCount(); ++i)
        EXPECT_NEAR(progressive.getPixels()[i], baseline.getPixels()[i], 3) << i;
}

TEST_F(JpegTest, CmykIsConvertedToRgb) {
    // Pure red as Adobe stores CMYK: inverted inks, so C=0 M=1 Y=1 K=0 is 255 0 0 255.
    ZJpgResource jpg;
    ASSERT_TRUE(jpg.loadFile(
        writeJpeg("cmyk.jpg", 8, 8, 4, uniform(8, 8, {255, 0, 0, 255})).c_str()));
    EXPECT_EQ(jpg.getByteCount(), 24 * 8);
    EXPECT_NEAR(pixelAt(jpg, 3, 3), 255, 6);
    EXPECT_NEAR(pixelAt(jpg, 3, 4), 0, 6);
    EXPECT_NEAR(pixelAt(jpg, 3, 5), 0, 6);
}

TEST_F(JpegTest, FileCutInsideItsDataDecodesWithAWarning) {
    std::vector<std::uint8_t> noise(64 * 64 * 3);
    unsigned seed = 12345;
    for (auto& b : noise) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(seed >> 16);
    }
    auto bytes = ZEncodeTestJpeg(64, 64, 3, noise);
    // Cut halfway between the start of the scan and the end of the file.
    std::size_t scan = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xDA) {
            scan = i;
            break;
        }
    ASSERT_GT(scan, 0u);
    bytes.resize(scan + (bytes.size() - scan) / 2);

    ZJpgResource jpg;
    ASSERT_TRUE(jpg.loadFile(write("cut.jpg", bytes).c_str()));
    EXPECT_EQ(jpg.getWidth(), 64u);
    EXPECT_EQ(jpg.getHeight(), 64u);
    ASSERT_FALSE(g_messages.empty());
    EXPECT_EQ(g_messages.front().first, "JPEG Error");
    EXPECT_FALSE(g_messages.front().second.empty());
}

TEST_F(JpegTest, UnreadableFilesFailWithoutPixels) {
    ZJpgResource jpg;
    ASSERT_TRUE(jpg.loadFile(writeJpeg("ok.jpg", 4, 4, 3, uniform(4, 4, {1, 2, 3})).c_str()));

    const std::string notJpeg = write("text.jpg", {'h', 'e', 'l', 'l', 'o', '\n'});
    const std::string empty = write("empty.jpg", {});
    auto headerOnly = ZEncodeTestJpeg(4, 4, 3, uniform(4, 4, {1, 2, 3}));
    headerOnly.resize(20);
    const std::string cutHeader = write("header.jpg", headerOnly);
    for (const std::string& path :
         {notJpeg, empty, cutHeader, ZTestTempPath("missing.jpg")}) {
        EXPECT_FALSE(jpg.loadFile(path.c_str())) << path;
        EXPECT_EQ(jpg.getPixels(), nullptr) << path;
        EXPECT_EQ(jpg.getWidth(), 0u) << path;
        EXPECT_EQ(jpg.getByteCount(), 0) << path;
    }
    EXPECT_FALSE(jpg.loadFile(nullptr));
}

// A header announcing a picture beyond the size bound is refused before
// anything the size of the picture is allocated.
TEST_F(JpegTest, OversizedHeaderIsRefused) {
    auto bytes = ZEncodeTestJpeg(8, 8, 3, uniform(8, 8, {9, 9, 9}));
    // The frame header (SOF0) holds the height and width after its length and precision.
    std::size_t sof = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
            sof = i;
            break;
        }
    ASSERT_GT(sof, 0u);
    bytes[sof + 5] = 0xFF; // height 65280-ish
    bytes[sof + 6] = 0x00;
    bytes[sof + 7] = 0xFF; // width 65280-ish
    bytes[sof + 8] = 0x00;
    ZJpgResource jpg;
    EXPECT_FALSE(jpg.loadFile(write("huge.jpg", bytes).c_str()));
    EXPECT_EQ(jpg.getPixels(), nullptr);
}

TEST_F(JpegTest, ReloadReplacesTheTexture) {
    ZJpgResource jpg;
    jpg.reload(); // nothing loaded: nothing to build
    EXPECT_EQ(jpg.getTexture(), 0u);
    ASSERT_TRUE(jpg.loadFile(writeJpeg("r.jpg", 4, 4, 3, uniform(4, 4, {5, 6, 7})).c_str()));
    const unsigned first = jpg.getTexture();
    EXPECT_NE(first, 0u);
    jpg.reload();
    EXPECT_NE(jpg.getTexture(), 0u);
    jpg.release();
    EXPECT_EQ(jpg.getTexture(), 0u);
}

} // namespace
