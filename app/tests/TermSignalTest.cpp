// The program told to end (logout, shutdown, `kill`) first writes a recovery
// copy of every modified document.

#include <gtest/gtest.h>

#include <QDir>
#include <QEventLoop>
#include <QFile>

#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZFile.h>

#include "RecoveryHelpers.h"
#include "WindowFixture.h"
#include "frames/ZAutoSave.h"
#include "frames/ZTermSignals.h"

#include <csignal>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int copiesIn(const QString& folder) {
    return static_cast<int>(QDir(folder).entryList({"*.tvx", "*.json"}, QDir::Files).size());
}

const char* kChildFolder = "TAVLO_SIGNAL_CHILD_FOLDER";

} // namespace

// Run in a process of its own by the test below: a modified document, copies
// only on demand, the program's signal handling, and an event loop.
TEST(SignalChild, EditsAndWaitsForASignal) {
    const char* folder = std::getenv(kChildFolder);
    if (!folder)
        return;
    testApp();
    CMainFrame frame;
    CChildFrame* child = frame.newDocument();
    ZAutoSave saver(&frame, folder);
    saver.setSeconds(0);
    ZTermSignals catcher(&saver);
    ASSERT_TRUE(catcher.isActive());
    edit(child, 40);
    writeBytes(std::string(folder) + "/expected.bin", serialise(child->document()));
    writeBytes(std::string(folder) + "/ready", {});
    ::alarm(120); // should the test die first, this process still ends
    QEventLoop().exec();
}

TEST(TermSignals, ACopyOfEveryModifiedDocumentIsWrittenBeforeTheProgramEnds) {
    for (int signal : {SIGTERM, SIGHUP}) {
        const QString folder = QString::fromStdString(tempDir());
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::setenv(kChildFolder, folder.toUtf8().constData(), 1);
            ::execl("/proc/self/exe", "tavlo_tests",
                    "--gtest_filter=SignalChild.EditsAndWaitsForASignal", nullptr);
            ::_exit(127);
        }
        // The child says when it is ready by a file; waiting for it is
        // waiting for a condition, and a child that dies ends the wait.
        bool ready = false, gone = false;
        while (!ready && !gone) {
            ready = QFile::exists(folder + "/ready");
            gone = !ready && ::waitpid(pid, nullptr, WNOHANG) == pid;
            if (!ready && !gone)
                ::usleep(10000);
        }
        ASSERT_TRUE(ready) << "the child never got ready";
        EXPECT_EQ(copiesIn(folder), 0) << "no copy before the signal";
        ::kill(pid, signal);
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        const QStringList copies = QDir(folder).entryList({"*-*.tvx"}, QDir::Files);
        ASSERT_EQ(copies.size(), 1) << signal;
        EXPECT_EQ(readBytes((folder + "/" + copies[0]).toStdString()),
                  readBytes((folder + "/expected.bin").toStdString()));
    }
}

