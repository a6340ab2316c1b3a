// The program told to end (logout, shutdown, `kill`) first writes a recovery
// copy of every modified document.

#include <gtest/gtest.h>

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>

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
    for (int signal : {SIGTERM, SIGHUP, SIGINT, SIGQUIT}) {
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


namespace {

// The signals a process catches or ignores, as /proc shows them (empty once
// it is gone).
unsigned long long signalMask(qint64 pid, const char* field) {
    QFile status(QString("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(7).trimmed().toULongLong(nullptr, 16);
    return 0;
}

unsigned long long caughtSignals(qint64 pid) {
    return signalMask(pid, "SigCgt:");
}

} // namespace

// The program itself, not only the catcher: once its window is up it catches
// SIGTERM, SIGHUP, SIGINT and SIGQUIT, so that neither a logout nor Ctrl+C
// in its terminal ends it before the copies are written.
TEST(TermSignals, TheProgramCatchesTheSignalsItWritesCopiesOn) {
    const QString home = QString::fromStdString(tempDir());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("XDG_DATA_HOME", home + "/data");
    env.insert("XDG_CONFIG_HOME", home + "/config");
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(TAVLO_BINARY, {});
    ASSERT_TRUE(program.waitForStarted());
    const unsigned long long wanted = (1ull << (SIGTERM - 1)) | (1ull << (SIGHUP - 1)) |
                                      (1ull << (SIGINT - 1)) | (1ull << (SIGQUIT - 1));
    // Wait for the handlers or for the program to end; a program that never
    // catches them is stopped by the bound and fails the test.
    bool caught = false;
    for (int k = 0; k < 12000 && !caught && program.state() == QProcess::Running; ++k) {
        caught = (caughtSignals(program.processId()) & wanted) == wanted;
        if (!caught)
            program.waitForFinished(10);
    }
    // A program that ended by itself has no process id left (QProcess gives
    // 0), and a signal to 0 would go to this whole process group: the test
    // runner with it.
    ASSERT_EQ(program.state(), QProcess::Running)
        << "the program ended by itself: " << program.readAllStandardError().toStdString();
    const pid_t pid = static_cast<pid_t>(program.processId());
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(caught) << "the program does not catch SIGTERM, SIGHUP, SIGINT and SIGQUIT";
    // A pipe's reader that goes away makes a write fail, not the program end.
    EXPECT_TRUE(signalMask(pid, "SigIgn:") & (1ull << (SIGPIPE - 1)));
    ::kill(pid, SIGTERM);
    ASSERT_TRUE(program.waitForFinished(-1));
    EXPECT_EQ(program.exitStatus(), QProcess::CrashExit) << "ends as the signal ends it";
}
