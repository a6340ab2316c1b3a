#include <sarvik/ZImageData.h>
#include <sarvik/ZImageTexture.h>
#include <sarvik/platform/ZFile.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

std::vector<unsigned char> pattern(int count) {
    std::vector<unsigned char> bytes(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i * 7 + 1);
    return bytes;
}

// A record as the writer lays it out: five int32 and then the pixels.
std::vector<std::uint8_t> record(std::int32_t w, std::int32_t h, std::int32_t count,
                                 std::int32_t id, std::int32_t type, std::size_t pixelBytes) {
    auto out = ZFile::toMemory();
    for (std::int32_t v : {w, h, count, id, type})
        out->writeInt32(v);
    const std::vector<std::uint8_t> zeros(pixelBytes, 0x5A);
    out->write(zeros.data(), zeros.size());
    return out->bytes();
}

TEST(ImageDataTest, RowsArePaddedToFourBytes) {
    EXPECT_EQ(ZImageData::rowStride(1), 4);
    EXPECT_EQ(ZImageData::rowStride(3), 12);
    EXPECT_EQ(ZImageData::rowStride(4), 12);
    EXPECT_EQ(ZImageData::rowStride(5), 16);
    EXPECT_EQ(ZImageData::rowStride(0), 0);
    EXPECT_EQ(ZImageData::rowStride(0x7FFFFFFF), std::int64_t{6442450944});
}

TEST(ImageDataTest, CopiesShareThePixelsAndClonesOwnTheirs) {
    const auto bytes = pattern(24);
    auto data = std::make_unique<ZImageData>();
    data->copyData(bytes.data(), 3, 2, 24);
    data->setId(5);
    data->setFileType(1);
    ASSERT_EQ(data->getByteCount(), 24);
    EXPECT_EQ(std::memcmp(data->getData(), bytes.data(), 24), 0);
    EXPECT_NE(data->getData(), bytes.data());
    EXPECT_TRUE(data->isComplete());

    ZImageData copy(*data);
    EXPECT_EQ(copy.getData(), data->getData());
    std::unique_ptr<ZImageData> clone(data->clone());
    EXPECT_NE(clone->getData(), data->getData());
    EXPECT_EQ(std::memcmp(clone->getData(), bytes.data(), 24), 0);
    EXPECT_EQ(clone->getId(), 0);
    EXPECT_EQ(clone->getFileType(), 1);
    EXPECT_EQ(clone->getWidth(), 3);

    // The copy outlives the original without a dangling buffer (ASan checks).
    data.reset();
    EXPECT_EQ(copy.getData()[23], bytes[23]);
    ZImageData assigned;
    assigned = copy;
    EXPECT_EQ(assigned.getData(), copy.getData());
}

TEST(ImageDataTest, CopyDataRefusesImpossibleCounts) {
    ZImageData data;
    data.copyData(nullptr, 2, 2, 16);
    ASSERT_EQ(data.getByteCount(), 16);
    EXPECT_EQ(data.getData()[15], 0);
    data.copyData(nullptr, 2, 2, -1);
    EXPECT_EQ(data.getByteCount(), 0);
    EXPECT_EQ(data.getData(), nullptr);
    // A buffer shorter than its size would let a texture read past it.
    const auto bytes = pattern(10);
    data.copyData(bytes.data(), 3, 2, 10);
    EXPECT_FALSE(data.isComplete());
}

TEST(ImageDataTest, RecordOfAOnePixelPictureIs24Bytes) {
    const unsigned char pixel[4] = {1, 2, 3, 0};
    ZImageData data;
    data.copyData(pixel, 1, 1, 4);
    data.setId(9);
    data.setFileType(1);
    auto out = ZFile::toMemory();
    ASSERT_TRUE(data.writeFile(out.get(), 8));
    const std::vector<std::uint8_t> expected = {1, 0, 0, 0, 1, 0, 0, 0, 4, 0, 0, 0, 9, 0,
                                                0, 0, 1, 0, 0, 0, 1, 2, 3, 0};
    EXPECT_EQ(out->bytes(), expected);
}

TEST(ImageDataTest, RecordRoundTripsThroughATexture) {
    const auto bytes = pattern(12 * 300);
    auto* data = new ZImageData();
    data->copyData(bytes.data(), 3, 300, 12 * 300); // longer than one 256-byte block
    data->setFileType(1);
    ZImageTexture texture(data, "a.jpg");
    texture.setId(4);
    auto out = ZFile::toMemory();
    ASSERT_TRUE(texture.writeFile(out.get(), 8));
    EXPECT_EQ(out->bytes().size(), 20u + 3600u);

    auto in = ZFile::fromMemory(out->bytes());
    ZImageTexture loaded; // no image data attached yet
    ASSERT_TRUE(loaded.readFile(in.get(), 8));
    ASSERT_NE(loaded.getImageData(), nullptr);
    const ZImageData& back = *loaded.getImageData();
    EXPECT_EQ(back.getWidth(), 3);
    EXPECT_EQ(back.getHeight(), 300);
    EXPECT_EQ(back.getId(), 4);
    EXPECT_EQ(back.getFileType(), 1);
    ASSERT_EQ(back.getByteCount(), 3600);
    EXPECT_EQ(std::memcmp(back.getData(), bytes.data(), 3600), 0);
    EXPECT_EQ(in->remaining(), 0u);
    EXPECT_FALSE(in->failed());
}

TEST(ImageDataTest, ReaderRefusesCountsThatDoNotFitThePicture) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"count not stride x height", record(3, 2, 23, 1, 1, 23)},
        {"count of unpadded rows", record(3, 2, 18, 1, 1, 18)},
        {"negative width", record(-3, 2, 24, 1, 1, 24)},
        {"negative count", record(0, 0, -4, 1, 1, 0)},
        {"more than the file holds", record(3, 2, 24, 1, 1, 20)},
        {"beyond the size bound", record(16384, 16384, 16384 * 49152, 1, 1, 0)},
        {"overflowing size", record(0x7FFFFFFF, 0x7FFFFFFF, 4, 1, 1, 4)},
        {"short header", std::vector<std::uint8_t>{3, 0, 0, 0, 2, 0}},
    };
    // Passing over a record's pixels checks it just as reading it does.
    for (const bool skip : {false, true})
        for (const Case& c : cases) {
            ZImageData data;
            const unsigned char keep[4] = {7, 7, 7, 0};
            data.copyData(keep, 1, 1, 4);
            data.setId(3);
            auto in = ZFile::fromMemory(c.bytes);
            EXPECT_FALSE(skip ? data.skipFile(in.get(), 8) : data.readFile(in.get(), 8)) << c.what;
            EXPECT_TRUE(in->failed()) << c.what;
            EXPECT_EQ(data.getWidth(), 1) << c.what;
            EXPECT_EQ(data.getByteCount(), 4) << c.what;
            EXPECT_EQ(data.getId(), 3) << c.what;
            EXPECT_EQ(data.getData()[0], 7) << c.what;
        }
}

// A report on a file keeps the pictures' sizes but not their pixels, and
// reads on from the record that follows.
TEST(ImageDataTest, SkippingARecordKeepsItsSizeAndReachesTheNext) {
    auto out = ZFile::toMemory();
    for (std::int32_t v : {3, 2, 24, 5, 1})
        out->writeInt32(v);
    const std::vector<unsigned char> pixels = pattern(24);
    out->write(pixels.data(), pixels.size());
    out->writeInt32(0x1234);
    auto in = ZFile::fromMemory(out->bytes());
    ZImageData data;
    ASSERT_TRUE(data.skipFile(in.get(), 8));
    EXPECT_EQ(data.getWidth(), 3);
    EXPECT_EQ(data.getHeight(), 2);
    EXPECT_EQ(data.getId(), 5);
    EXPECT_EQ(data.getData(), nullptr);
    EXPECT_FALSE(data.isComplete());
    EXPECT_EQ(in->readInt32(), 0x1234);
}

TEST(ImageDataTest, EmptyPictureRecordIsAcceptedAndBuildsNoTexture) {
    ZImageData data;
    auto in = ZFile::fromMemory(record(0, 0, 0, 2, 0, 0));
    EXPECT_TRUE(data.readFile(in.get(), 8));
    EXPECT_EQ(data.getId(), 2);
    EXPECT_FALSE(data.isComplete());
}

} // namespace
