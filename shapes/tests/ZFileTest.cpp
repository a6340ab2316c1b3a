#include "sarvik/platform/ZFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct TempDir {
    fs::path path;
    TempDir() {
        path = fs::temp_directory_path() / ("zfile-" + std::to_string(::getpid()) + "-" +
                                            std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        fs::create_directories(path);
    }
    ~TempDir() { fs::remove_all(path); }
};

} // namespace

TEST(ZFile, MemoryRoundTripIsLittleEndianAndUnpadded) {
    auto out = ZFile::toMemory();
    out->writeInt32(0x01020304);
    out->writeByte(0xAB);
    out->writeFloat(1.0f);
    ASSERT_TRUE(out->commit());
    const std::vector<std::uint8_t> expected{4, 3, 2, 1, 0xAB, 0, 0, 0x80, 0x3F};
    EXPECT_EQ(out->bytes(), expected);

    auto in = ZFile::fromMemory(out->bytes());
    EXPECT_EQ(in->remaining(), 9u);
    EXPECT_EQ(in->readInt32(), 0x01020304);
    EXPECT_EQ(in->readByte(), 0xAB);
    EXPECT_EQ(in->readFloat(), 1.0f);
    EXPECT_FALSE(in->failed());
    EXPECT_EQ(in->remaining(), 0u);
}

TEST(ZFile, ShortReadFailsStickilyAndYieldsZeros) {
    const std::uint8_t bytes[] = {1, 2, 3};
    auto in = ZFile::fromMemory(bytes, sizeof bytes);
    EXPECT_EQ(in->readInt32(), 0);
    EXPECT_TRUE(in->failed());
    // Even a read that would fit now fails: the reader must stop.
    EXPECT_EQ(in->readByte(), 0);
    EXPECT_TRUE(in->failed());
    EXPECT_EQ(in->remaining(), 0u);
}

TEST(ZFile, AtomicWriteReplacesOnlyOnCommit) {
    TempDir dir;
    const fs::path target = dir.path / "doc.tvx";
    {
        std::ofstream(target, std::ios::binary) << "old";
    }
    {
        auto out = ZFile::openWrite(target.string());
        ASSERT_TRUE(out);
        out->writeInt32(8);
        // Abandoned without commit: the old file stays, no temporary is left.
    }
    EXPECT_EQ(slurp(target), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);

    auto out = ZFile::openWrite(target.string());
    ASSERT_TRUE(out);
    // Larger than the buffer, so buffered and direct writes both happen.
    std::vector<std::uint8_t> big(200 * 1024);
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<std::uint8_t>(i * 7);
    out->writeInt32(8);
    out->write(big.data(), big.size());
    ASSERT_TRUE(out->commit());
    const auto onDisk = slurp(target);
    ASSERT_EQ(onDisk.size(), 4 + big.size());
    EXPECT_TRUE(std::equal(big.begin(), big.end(), onDisk.begin() + 4));

    auto in = ZFile::openRead(target.string());
    ASSERT_TRUE(in);
    EXPECT_EQ(in->remaining(), onDisk.size());
    EXPECT_EQ(in->readInt32(), 8);
    std::vector<std::uint8_t> back(big.size());
    EXPECT_TRUE(in->read(back.data(), back.size()));
    EXPECT_EQ(back, big);
    EXPECT_FALSE(in->read(back.data(), 1));
}

TEST(ZFile, OpeningMissingOrUnwritablePathsFails) {
    EXPECT_EQ(ZFile::openRead("/nonexistent/dir/file.tvx"), nullptr);
    EXPECT_EQ(ZFile::openWrite("/nonexistent/dir/file.tvx"), nullptr);
    TempDir dir;
    EXPECT_EQ(ZFile::openRead(dir.path.string()), nullptr); // a folder is not a document
}
