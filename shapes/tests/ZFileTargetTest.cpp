// Where a writer's bytes end up when the target is not a plain file: devices
// and FIFOs are written into directly, symbolic links are followed, and every
// failure names its cause.

#include "sarvik/platform/ZFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Folder : ::testing::Test {
    fs::path dir;
    void SetUp() override {
        dir = fs::temp_directory_path() / ("zfile-target-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
};

bool isCharDevice(const char* path) {
    struct stat st {};
    return ::lstat(path, &st) == 0 && S_ISCHR(st.st_mode);
}

// A twin of the memory device `minor` (3 null, 7 full) in `dir` where the
// test may make one (as root), so that a writer that wrongly renames over a
// device replaces the twin and never the system's own; else the system's.
std::string deviceTwin(const fs::path& dir, const char* name, unsigned minor) {
    const fs::path twin = dir / name;
    if (::mknod(twin.c_str(), S_IFCHR | 0666, makedev(1, minor)) == 0)
        return twin.string();
    return std::string("/dev/") + name;
}

} // namespace

TEST_F(Folder, ADeviceIsWrittenIntoAndNeverReplaced) {
    const std::string full = deviceTwin(dir, "full", 7);
    const std::string null = deviceTwin(dir, "null", 3);
    ASSERT_TRUE(isCharDevice(full.c_str()));
    std::string cause;
    const std::string bytes(200 * 1024, 'x');
    EXPECT_FALSE(ZFile::writeWhole(full, bytes.data(), bytes.size(), &cause));
    EXPECT_EQ(cause, std::strerror(ENOSPC));
    // Small writes wait in the buffer: the failure must still come out at commit.
    auto file = ZFile::openWrite(full);
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->write("abc", 3));
    EXPECT_FALSE(file->commit());
    EXPECT_EQ(file->errorText(), std::strerror(ENOSPC));
    EXPECT_TRUE(isCharDevice(full.c_str())) << "the device node must stay a device";

    EXPECT_TRUE(ZFile::writeWhole(null, bytes.data(), bytes.size(), &cause)) << cause;
    EXPECT_TRUE(isCharDevice(null.c_str()));
}

TEST_F(Folder, AFifoIsWrittenIntoForItsReader) {
    const fs::path fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = slurp(fifo); });
    const std::string bytes(300 * 1024, 'y');
    std::string cause;
    EXPECT_TRUE(ZFile::writeWhole(fifo.string(), bytes.data(), bytes.size(), &cause)) << cause;
    reader.join();
    EXPECT_EQ(received.size(), bytes.size());
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    // Nothing was left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(Folder, ALinkIsFollowedToItsTargetAndStaysALink) {
    fs::create_directories(dir / "real");
    const fs::path target = dir / "real" / "map.tvx";
    std::ofstream(target) << "old";
    const fs::path link = dir / "link.tvx";
    fs::create_symlink(target, link);
    std::string cause;
    EXPECT_TRUE(ZFile::writeWhole(link.string(), "new", 3, &cause)) << cause;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(slurp(target), "new");
    // The temporary file went where the target lives, and is gone.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "real"), fs::directory_iterator()), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

TEST_F(Folder, FailuresNameTheirCause) {
    std::string cause;
    EXPECT_FALSE(ZFile::writeWhole((dir / "no" / "such" / "x").string(), "a", 1, &cause));
    EXPECT_EQ(cause, std::strerror(ENOENT));
    EXPECT_FALSE(ZFile::writeWhole(dir.string(), "a", 1, &cause)) << "a folder is no file";
    EXPECT_FALSE(cause.empty());
    EXPECT_TRUE(fs::is_directory(dir));
}

TEST_F(Folder, NewFilesFollowTheUmaskAndReplacedFilesKeepTheirMode) {
    auto modeOf = [](const fs::path& p) {
        struct stat st {};
        ::stat(p.c_str(), &st);
        return st.st_mode & 07777;
    };
    const mode_t saved = ::umask(077);
    std::string cause;
    EXPECT_TRUE(ZFile::writeWhole((dir / "private.tvx").string(), "a", 1, &cause)) << cause;
    ::umask(002);
    EXPECT_TRUE(ZFile::writeWhole((dir / "shared.tvx").string(), "a", 1, &cause)) << cause;
    ::umask(saved);
    EXPECT_EQ(modeOf(dir / "private.tvx"), 0600u);
    EXPECT_EQ(modeOf(dir / "shared.tvx"), 0664u);
    ::chmod((dir / "shared.tvx").c_str(), 0640);
    EXPECT_TRUE(ZFile::writeWhole((dir / "shared.tvx").string(), "b", 1, &cause)) << cause;
    EXPECT_EQ(modeOf(dir / "shared.tvx"), 0640u);
    EXPECT_EQ(slurp(dir / "shared.tvx"), "b");
}

TEST_F(Folder, ALinkToNothingIsRefusedAndStays) {
    const fs::path link = dir / "link.png";
    fs::create_symlink(dir / "missing" / "x.png", link);
    std::string cause;
    EXPECT_FALSE(ZFile::writeWhole(link.string(), "new", 3, &cause));
    EXPECT_EQ(cause, std::strerror(ENOENT));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(Folder, AWritersTemporaryFileIsAbandonedOnlyOnceNoWriterHoldsIt) {
    auto temps = [this] {
        std::vector<fs::path> found;
        for (const auto& e : fs::directory_iterator(dir))
            if (e.path().filename().string().rfind(".tavlo-save-", 0) == 0)
                found.push_back(e.path());
        return found;
    };
    {
        auto file = ZFile::openWrite((dir / "map.tvx").string());
        ASSERT_TRUE(file);
        const auto live = temps();
        ASSERT_EQ(live.size(), 1u);
        EXPECT_FALSE(ZFile::isAbandonedTemp(live[0].string())) << "a running save holds it";
    }
    EXPECT_TRUE(temps().empty());
    // What a writer killed before it could clean up leaves behind.
    std::ofstream(dir / ".tavlo-save-AbC123") << "half";
    EXPECT_TRUE(ZFile::isAbandonedTemp((dir / ".tavlo-save-AbC123").string()));
    EXPECT_FALSE(ZFile::isAbandonedTemp((dir / "none").string()));
}
