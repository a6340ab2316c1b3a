// Clipboard bitmap blocks of every bit count, built by hand, and the blocks
// that must be refused.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include <sarvik/ZImageData.h>

#include "commands/DibConvert.h"

namespace {

struct Dib {
    std::vector<std::uint8_t> bytes;

    Dib(int width, int height, int bits, std::uint32_t clrUsed = 0, std::uint32_t compression = 0) {
        u32(40).u32(static_cast<std::uint32_t>(width)).u32(static_cast<std::uint32_t>(height));
        u16(1).u16(static_cast<std::uint16_t>(bits)).u32(compression).u32(0);
        u32(0).u32(0).u32(clrUsed).u32(0);
    }
    Dib& u32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        return *this;
    }
    Dib& u16(std::uint16_t v) {
        bytes.push_back(static_cast<std::uint8_t>(v));
        bytes.push_back(static_cast<std::uint8_t>(v >> 8));
        return *this;
    }
    Dib& color(std::uint8_t b, std::uint8_t g, std::uint8_t r) {
        bytes.insert(bytes.end(), {b, g, r, 0});
        return *this;
    }
    Dib& raw(std::initializer_list<std::uint8_t> v) {
        bytes.insert(bytes.end(), v);
        return *this;
    }
    std::unique_ptr<ZImageData> convert(std::string* error = nullptr) const {
        return dibToImageData(bytes.data(), bytes.size(), error);
    }
};

// Blue, green, red of pixel (x, row) of the stored picture (row 0 at the bottom).
std::vector<int> px(const ZImageData& image, int x, int row) {
    const unsigned char* p =
        image.getData() + row * ZImageData::rowStride(image.getWidth()) + 3 * x;
    return {p[0], p[1], p[2]};
}

} // namespace

TEST(DibConvert, TwentyFourAndThirtyTwoBitsKeepRowsAndDropPadding) {
    // 2 x 2, rows padded to 8 bytes; bottom row first in the block.
    Dib d24(2, 2, 24);
    d24.raw({1, 2, 3, 4, 5, 6, 0xEE, 0xEE, 7, 8, 9, 10, 11, 12, 0xEE, 0xEE});
    auto image = d24.convert();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->getWidth(), 2);
    EXPECT_EQ(image->getHeight(), 2);
    EXPECT_EQ(image->getByteCount(), 16);
    EXPECT_EQ(image->getFileType(), 0);
    EXPECT_TRUE(image->isComplete());
    EXPECT_EQ(px(*image, 1, 0), (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(px(*image, 0, 1), (std::vector<int>{7, 8, 9}));

    Dib d32(1, 2, 32);
    d32.raw({10, 20, 30, 99, 40, 50, 60, 99});
    image = d32.convert();
    ASSERT_TRUE(image);
    EXPECT_EQ(px(*image, 0, 0), (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(px(*image, 0, 1), (std::vector<int>{40, 50, 60}));
}

TEST(DibConvert, TopDownBlocksAreTurnedUpright) {
    Dib d(1, -2, 24);
    d.raw({1, 1, 1, 0, 2, 2, 2, 0}); // top row first
    auto image = d.convert();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->getHeight(), 2);
    EXPECT_EQ(px(*image, 0, 0), (std::vector<int>{2, 2, 2}));
    EXPECT_EQ(px(*image, 0, 1), (std::vector<int>{1, 1, 1}));
}

TEST(DibConvert, SixteenBitsInFiveFiveFiveAndByMasks) {
    // v = 0x7FFF white, v = 0x001F pure blue, v = 0x7C00 pure red.
    Dib d(3, 1, 16);
    d.raw({0xFF, 0x7F, 0x1F, 0x00, 0x00, 0x7C, 0, 0});
    auto image = d.convert();
    ASSERT_TRUE(image);
    EXPECT_EQ(px(*image, 0, 0), (std::vector<int>{248, 248, 248}));
    EXPECT_EQ(px(*image, 1, 0), (std::vector<int>{248, 0, 0}));
    EXPECT_EQ(px(*image, 2, 0), (std::vector<int>{0, 0, 248}));

    // 5-6-5 masks after the header: pure green 0x07E0 keeps its sixth bit.
    Dib m(1, 1, 16, 0, 3);
    m.u32(0xF800).u32(0x07E0).u32(0x001F).raw({0xE0, 0x07, 0, 0});
    image = m.convert();
    ASSERT_TRUE(image);
    EXPECT_EQ(px(*image, 0, 0), (std::vector<int>{0, 252, 0}));
}

TEST(DibConvert, PalettedPixelsIndexTheirColourTable) {
    // 1 bit: 9 pixels span two bytes, most significant bit first.
    Dib d1(9, 1, 1);
    d1.color(0, 0, 0).color(255, 255, 255).raw({0b10100000, 0b10000000, 0, 0});
    auto image = d1.convert();
    ASSERT_TRUE(image);
    EXPECT_EQ(px(*image, 0, 0)[0], 255);
    EXPECT_EQ(px(*image, 1, 0)[0], 0);
    EXPECT_EQ(px(*image, 2, 0)[0], 255);
    EXPECT_EQ(px(*image, 8, 0)[0], 255);

    // 4 bits with a short table of three colours; index 15 has none: black.
    Dib d4(3, 1, 4, 3);
    d4.color(1, 2, 3).color(4, 5, 6).color(7, 8, 9).raw({0x21, 0xF0, 0, 0});
    image = d4.convert();
    ASSERT_TRUE(image);
    EXPECT_EQ(px(*image, 0, 0), (std::vector<int>{7, 8, 9}));
    EXPECT_EQ(px(*image, 1, 0), (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(px(*image, 2, 0), (std::vector<int>{0, 0, 0}));

    // 8 bits with the full table of 256 entries implied by a count of 0.
    Dib d8(2, 2, 8);
    for (int i = 0; i < 256; ++i)
        d8.color(static_cast<std::uint8_t>(i), 0, static_cast<std::uint8_t>(255 - i));
    d8.raw({5, 6, 0, 0, 7, 8, 0, 0});
    image = d8.convert();
    ASSERT_TRUE(image);
    EXPECT_EQ(px(*image, 1, 0), (std::vector<int>{6, 0, 249}));
    EXPECT_EQ(px(*image, 0, 1), (std::vector<int>{7, 0, 248}));
}

TEST(DibConvert, DeepPixelsSkipAnOptionalColourTable) {
    Dib d(1, 1, 24, 2);
    d.color(9, 9, 9).color(9, 9, 9).raw({1, 2, 3, 0});
    auto image = d.convert();
    ASSERT_TRUE(image);
    EXPECT_EQ(px(*image, 0, 0), (std::vector<int>{1, 2, 3}));
}

TEST(DibConvert, OddBlocksAreRefusedWithAReason) {
    std::string error;
    EXPECT_FALSE(dibToImageData(nullptr, 0, &error));
    EXPECT_EQ(error, kDibRefusedText);

    const auto refused = [](Dib d) {
        std::string why;
        const bool bad = !d.convert(&why) && why == kDibRefusedText;
        return bad;
    };
    Dib cut(2, 2, 24);
    cut.bytes.resize(30);
    EXPECT_TRUE(refused(cut)) << "header cut short";
    EXPECT_TRUE(refused(Dib(2, 2, 24))) << "pixels missing";
    Dib shortRow(2, 2, 24);
    shortRow.bytes.resize(shortRow.bytes.size() + 15);
    EXPECT_TRUE(refused(shortRow)) << "one byte short";
    EXPECT_TRUE(refused(Dib(0, 1, 24)));
    EXPECT_TRUE(refused(Dib(1, 0, 24)));
    EXPECT_TRUE(refused(Dib(-3, 1, 24)));
    EXPECT_TRUE(refused(Dib(100000, 100000, 24))) << "larger than a picture may be";
    EXPECT_TRUE(refused(Dib(0x7FFFFFFF, 1, 32)));
    EXPECT_TRUE(refused(Dib(1, static_cast<int>(0x80000000u), 24)));
    EXPECT_TRUE(refused(Dib(1, 1, 2)));
    EXPECT_TRUE(refused(Dib(1, 1, 24, 0, 1))) << "run-length compressed";
    EXPECT_TRUE(refused(Dib(1, 1, 24, 0, 3))) << "masks on 24 bits";
    EXPECT_TRUE(refused(Dib(1, 1, 8, 257))) << "more colours than 8 bits can index";
    EXPECT_TRUE(refused(Dib(1, 1, 24, 0xFFFFFFFFu))) << "table beyond the block";
    Dib header(1, 1, 24);
    header.bytes[0] = 12; // an old core header is not an info header
    header.raw({1, 2, 3, 0});
    EXPECT_TRUE(refused(header));
}

namespace {

// The block packed from a whole BMP file as paste does it, then converted.
std::unique_ptr<ZImageData> convertFile(const std::vector<std::uint8_t>& file, std::string* error) {
    const auto parts = bmpFileParts(file.data(), file.size());
    if (!parts)
        return nullptr;
    std::vector<std::uint8_t> block(file.begin() + kBmpFileHeaderSize,
                                    file.begin() + kBmpFileHeaderSize + parts->headBytes);
    block.insert(block.end(), file.begin() + parts->pixelsAt, file.end());
    return dibToImageData(block.data(), block.size(), error);
}

// A file header recording `offset` as the start of the pixels, before `block`.
std::vector<std::uint8_t> withFileHeader(const Dib& block, std::uint32_t offset) {
    std::vector<std::uint8_t> file = {'B', 'M'};
    for (std::uint32_t v : {static_cast<std::uint32_t>(14 + block.bytes.size()), 0u, offset})
        for (int i = 0; i < 4; ++i)
            file.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    file.insert(file.end(), block.bytes.begin(), block.bytes.end());
    return file;
}

} // namespace

TEST(DibConvert, WholeFilesTakeTheirPixelsFromTheRecordedOffset) {
    // A 32-bit file with a 124-byte header that writes its masks once more
    // after the header; the offset steps over them.
    Dib v5(1, 1, 32, 0, 3);
    v5.bytes[0] = 124;
    v5.u32(0x0000FF00).u32(0x00FF0000).u32(0x000000FF); // red, green, blue masks
    v5.bytes.resize(124);
    v5.u32(0x0000FF00).u32(0x00FF0000).u32(0x000000FF).raw({1, 2, 3, 0});
    std::string error;
    auto image = convertFile(withFileHeader(v5, 14 + 124 + 12), &error);
    ASSERT_TRUE(image) << error;
    // Pixel 0x00030201: blue 1, green 3 (bits 16..23), red 2 (bits 8..15).
    EXPECT_EQ(px(*image, 0, 0), (std::vector<int>{1, 3, 2}));

    // Offsets into the colour table or past the end point at no pixels.
    Dib d8(1, 1, 8, 2);
    d8.color(1, 1, 1).color(2, 2, 2).raw({1, 0, 0, 0});
    ASSERT_TRUE(convertFile(withFileHeader(d8, 14 + 48), &error)) << "packed";
    for (std::uint32_t offset : {0u, 14u + 40u + 4u, 14u + 48u + 1u, 0xFFFFFFFFu}) {
        EXPECT_FALSE(convertFile(withFileHeader(d8, offset), &error)) << offset;
        EXPECT_EQ(error, kDibRefusedText);
    }

    auto notBmp = withFileHeader(d8, 14 + 48);
    notBmp[1] = 'A';
    EXPECT_FALSE(bmpFileParts(notBmp.data(), notBmp.size()));
    EXPECT_FALSE(bmpFileParts(notBmp.data(), 14));
}
