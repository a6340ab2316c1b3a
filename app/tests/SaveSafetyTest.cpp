// Saving must never leave a half-written document behind: not when the process
// dies in the middle of a save, and not when the disk fills up.

#include <gtest/gtest.h>

#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZFile.h>

#include "document/TvxContainer.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void fill(ZN_ShapeManager& page, int boxes) {
    for (int i = 0; i < boxes; ++i) {
        auto* box = static_cast<ZN_NRect*>(ZN_ShapeBase::createShape(7));
        const float x = static_cast<float>((i % 100) * 150);
        const float y = static_cast<float>((i / 100) * 50);
        box->setPoint1(ZVector2(x, y));
        box->setPoint2(ZVector2(x + 120, y + 40));
        auto* label = static_cast<ZN_SText*>(ZN_ShapeBase::createShape(5));
        label->setText(("方框 " + std::to_string(i)).c_str());
        label->setHost(box);
        box->setLabel(label);
        page.addShape(box);
    }
}

struct SaveFolder : ::testing::Test {
    fs::path dir;
    fs::path target;
    std::vector<std::uint8_t> oldBytes;
    ZN_ShapeManager small;
    ZN_ShapeManager big;

    void SetUp() override {
        dir = fs::temp_directory_path() / ("tavlo-save-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        target = dir / "map.tvx";
        fill(small, 3);
        ASSERT_TRUE(writeTvxFile(target.string(), {{"页1", 0, &small}}));
        oldBytes = slurp(target);
        fill(big, 20000);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::vector<TvxPageRef> bigDocument() { return {{"页1", 0, &big}, {"页2", 1, &small}}; }

    // Files in the folder other than the document itself.
    int strayFiles() const {
        int n = 0;
        for (const auto& entry : fs::directory_iterator(dir))
            n += entry.path() != target;
        return n;
    }
};

// Waits for a child at most `seconds`, then kills it, so a stuck child fails
// the test instead of hanging it.
int waitOrKill(pid_t child, int seconds) {
    int status = 0;
    for (int i = 0; i < seconds * 100; ++i) {
        if (::waitpid(child, &status, WNOHANG) == child)
            return status;
        ::usleep(10000);
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    return status;
}

} // namespace

TEST_F(SaveFolder, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewDocumentWhole) {
    auto memory = ZFile::toMemory();
    ASSERT_TRUE(writeTvx(*memory, bigDocument()));
    const std::vector<std::uint8_t> newBytes = memory->bytes();
    ASSERT_GT(newBytes.size(), 1u << 20);

    int killedBeforeTheEnd = 0;
    for (int delayUs : {0, 2000, 5000, 10000, 20000, 40000, 80000, 160000}) {
        ASSERT_TRUE(writeTvxFile(target.string(), {{"页1", 0, &small}}));
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Save over and over so that the kill lands inside a save.
            for (;;)
                writeTvxFile(target.string(), bigDocument());
        }
        ::usleep(static_cast<useconds_t>(delayUs));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));

        const auto onDisk = slurp(target);
        const bool old = onDisk == oldBytes;
        EXPECT_TRUE(old || onDisk == newBytes) << "after " << delayUs << " us: " << onDisk.size()
                                               << " bytes";
        killedBeforeTheEnd += old;
        // What a killed save leaves is its temporary file, never a damaged document.
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.path() != target)
                fs::remove(entry.path());
    }
    // The first kills come before any save could finish.
    EXPECT_GT(killedBeforeTheEnd, 0);
}

TEST_F(SaveFolder, AFullDiskFailsTheSaveAndKeepsThePreviousFile) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // A file-size limit stands in for a full disk: writes past it fail.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::string reason;
        const bool saved = writeTvxFile(target.string(), bigDocument(), &reason);
        ::_exit(!saved && !reason.empty() ? 0 : 1);
    }
    const int status = waitOrKill(child, 60);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the save reported success or gave no reason";
    EXPECT_EQ(slurp(target), oldBytes);
    EXPECT_EQ(strayFiles(), 0);
}
