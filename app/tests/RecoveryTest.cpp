// Recovery copies: what a killed program leaves behind comes back whole, what
// a live program keeps is left alone, and nothing lingers once a document is
// saved or closed.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QSysInfo>
#include <QTreeWidget>

#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZFile.h>

#include "RecoveryHelpers.h"
#include "WindowFixture.h"
#include "frames/CDlgRecover.h"
#include "frames/ZAutoSave.h"

#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

namespace {

std::vector<std::uint8_t> serialise(const std::vector<TvxPageRef>& pages) {
    auto memory = ZFile::toMemory();
    writeTvx(*memory, pages);
    return memory->bytes();
}

QStringList filesIn(const QString& folder, const QString& pattern) {
    return QDir(folder).entryList({pattern}, QDir::Files | QDir::Hidden);
}

// A copy written by a store that is then dropped, as a dead program leaves it.
QString leaveCopy(const QString& folder, const std::vector<std::uint8_t>& bytes,
                  const QString& path) {
    ZRecoveryStore dead(folder);
    const int slot = dead.newSlot();
    dead.write(slot, bytes, {path, QFileInfo(path).fileName(), QDateTime::currentDateTime(), {}});
    dead.waitForIdle();
    return dead.copyPath(slot);
}

const char* kChildFolder = "TAVLO_RECOVERY_CHILD_FOLDER";
const char* kChildDocument = "TAVLO_RECOVERY_CHILD_DOCUMENT";

} // namespace

// Run in a process of its own by the test below, which kills it: it opens a
// saved map, edits it, takes a recovery copy and waits.
TEST(RecoveryChild, EditsTakesACopyAndWaitsToBeKilled) {
    const char* folder = std::getenv(kChildFolder);
    const char* document = std::getenv(kChildDocument);
    if (!folder || !document)
        return;
    testApp();
    CMainFrame frame;
    CChildFrame* child = frame.openDocumentFile(document);
    ASSERT_NE(child, nullptr);
    ZAutoSave saver(&frame, folder);
    edit(child, 300);
    saver.tick();
    saver.store().waitForIdle();
    writeBytes(std::string(folder) + "/expected.bin", serialise(child->document()));
    writeBytes(std::string(folder) + "/ready", {});
    // Should the killer die first, this process still ends.
    ::alarm(120);
    for (;;)
        ::pause();
}

TEST_F(DocumentFixture, AKilledProgramsCopyIsOfferedWholeAndSavesToItsOriginalFile) {
    const QString folder = QString::fromStdString(tempDir());
    const QString original = QString::fromStdString(tempDir()) + "/地图.tvx";
    addRect(*page, 10, 10, 90, 50);
    ASSERT_TRUE(child->document()->saveTo(original));
    const std::vector<std::uint8_t> before = readBytes(original.toStdString());

    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // A fresh process: nothing of this one's windows or threads.
        ::setenv(kChildFolder, folder.toUtf8().constData(), 1);
        ::setenv(kChildDocument, original.toUtf8().constData(), 1);
        ::execl("/proc/self/exe", "tavlo_tests",
                "--gtest_filter=RecoveryChild.EditsTakesACopyAndWaitsToBeKilled", nullptr);
        ::_exit(127);
    }
    bool ready = false;
    for (int i = 0; i < 6000 && !ready; ++i) {
        ready = QFile::exists(folder + "/ready");
        if (!ready && ::waitpid(pid, nullptr, WNOHANG) == pid)
            break;
        ::usleep(10000);
    }
    if (ready) {
        // While the other program lives, its copy is not this one's to offer.
        ZRecoveryStore probe(folder);
        EXPECT_TRUE(probe.claimOrphans().entries.empty());
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    ASSERT_TRUE(ready) << "the child never took its copy";
    const std::vector<std::uint8_t> atTick = readBytes((folder + "/expected.bin").toStdString());
    ASSERT_NE(atTick, before);

    ZAutoSave saver(frame, folder);
    ZRecoveryScan scan = saver.store().claimOrphans();
    ASSERT_EQ(scan.entries.size(), 1u);
    EXPECT_TRUE(scan.damaged.isEmpty());
    const ZRecoveryEntry& entry = scan.entries[0];
    EXPECT_EQ(readBytes(entry.copyPath.toStdString()), atTick);
    EXPECT_EQ(entry.info.path, original);
    EXPECT_EQ(entry.info.title, "地图.tvx");
    const QString oldCopy = entry.copyPath;

    CDlgRecover dialog(saver, scan);
    ASSERT_EQ(dialog.list()->topLevelItemCount(), 1);
    EXPECT_EQ(dialog.list()->topLevelItem(0)->text(1), original);
    dialog.recoverSelected();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    CChildFrame* recovered = frame->activeChild();
    ASSERT_NE(recovered, child);
    EXPECT_TRUE(recovered->document()->isModified());
    EXPECT_EQ(recovered->document()->pathName(), original);
    EXPECT_EQ(serialise(recovered->document()), atTick);
    // The old copy goes only once this program keeps one of its own.
    saver.store().waitForIdle();
    EXPECT_FALSE(QFile::exists(oldCopy));
    EXPECT_EQ(filesIn(folder, "*.tvx").size(), 1);
    // Unchanged until the user saves.
    EXPECT_EQ(readBytes(original.toStdString()), before);

    // Someone else wrote the file after the lost program read it: saving asks first.
    const time_t later = ::time(nullptr) + 5;
    const utimbuf times{later, later};
    ASSERT_EQ(::utime(QFile::encodeName(original).constData(), &times), 0);
    static int asked = 0;
    CChildFrame::setAskOverwrite([](QWidget*, const QString&) { return ++asked > 1; });
    EXPECT_FALSE(recovered->save());
    EXPECT_EQ(readBytes(original.toStdString()), before);
    ASSERT_TRUE(recovered->save());
    CChildFrame::setAskOverwrite(nullptr);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(readBytes(original.toStdString()), atTick);
    EXPECT_FALSE(recovered->document()->isModified());
    saver.store().waitForIdle();
    EXPECT_TRUE(filesIn(folder, "*.tvx").isEmpty());
    saver.store().releaseClaims();
    EXPECT_EQ(filesIn(folder, "*.lock").size(), 1) << "only this program's own lock remains";
}

TEST_F(DocumentFixture, CopiesFollowTheModifiedDocumentsAndLeaveNothingBehind) {
    const QString folder = QString::fromStdString(tempDir());
    ZAutoSave saver(frame, folder);
    // Only the ticks below take copies, never the timer.
    saver.setSeconds(0);
    auto copies = [&] {
        saver.store().waitForIdle();
        return filesIn(folder, "*.tvx").size() + filesIn(folder, "*.json").size();
    };

    saver.tick();
    EXPECT_EQ(copies(), 0) << "an unmodified document needs no copy";

    edit(child, 10);
    ZN_ShapeManager* current = child->view()->getCurrentPage();
    const int depth = current->getUndoRedo()->undoCount();
    const std::vector<std::uint8_t> bytes = serialise(child->document());
    const std::uint64_t listVersion = current->getListVersion();
    saver.tick();
    EXPECT_EQ(copies(), 2) << "a copy and its companion";
    EXPECT_TRUE(child->document()->isModified());
    EXPECT_EQ(current->getUndoRedo()->undoCount(), depth);
    EXPECT_EQ(current->getListVersion(), listVersion) << "a tick must not cost a rebuild of the index";
    EXPECT_FALSE(current->getUndoRedo()->canRedo());
    const QStringList tvx = filesIn(folder, "*.tvx");
    ASSERT_EQ(tvx.size(), 1);
    EXPECT_EQ(readBytes((folder + "/" + tvx[0]).toStdString()), bytes);

    // Save removes it.
    const QString path = QString::fromStdString(tempDir()) + "/a.tvx";
    ASSERT_TRUE(child->document()->saveTo(path));
    EXPECT_EQ(copies(), 0);

    // Close with Discard removes it.
    edit(child, 200);
    saver.tick();
    EXPECT_EQ(copies(), 2);
    CChildFrame::setAskToSave([](QWidget*, const QString&) { return int(QMessageBox::Discard); });
    child->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    CChildFrame::setAskToSave(nullptr);
    EXPECT_EQ(copies(), 0);

    // A document that stops being modified (and is then closed) keeps none either.
    CChildFrame* other = frame->newDocument();
    edit(other, 10);
    saver.tick();
    EXPECT_EQ(copies(), 2);
    other->document()->SetModifiedFlag(false);
    EXPECT_EQ(copies(), 0);
    edit(other, 100);
    saver.tick();
    other->document()->SetModifiedFlag(false);
    other->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(copies(), 0);
}

TEST(RecoveryStore, ASecondProgramLeavesTheFirstsLiveCopiesAlone) {
    testApp();
    const QString folder = QString::fromStdString(tempDir());
    ZN_ShapeManager page;
    addRect(page, 0, 0, 10, 10);
    const auto bytes = serialise({{"页1", 0, &page}});

    auto first = std::make_unique<ZRecoveryStore>(folder);
    ASSERT_TRUE(first->isActive());
    const int slot = first->newSlot();
    first->write(slot, bytes, {"", "未命名", QDateTime::currentDateTime(), {}});
    first->waitForIdle();

    ZRecoveryStore second(folder);
    ASSERT_TRUE(second.isActive());
    EXPECT_TRUE(second.claimOrphans().entries.empty());

    // Once the first is gone its copy is offered, and to one program only.
    first.reset();
    ZRecoveryScan scan = second.claimOrphans();
    ASSERT_EQ(scan.entries.size(), 1u);
    EXPECT_EQ(scan.entries[0].info.title, "未命名");
    EXPECT_TRUE(scan.entries[0].info.path.isEmpty());
    ZRecoveryStore third(folder);
    EXPECT_TRUE(third.claimOrphans().entries.empty());

    // Copies neither recovered nor discarded are offered again later.
    second.releaseClaims();
    EXPECT_EQ(third.claimOrphans().entries.size(), 1u);
}

TEST(RecoveryStore, ALockLeftByADeadProgramWithNothingToRecoverIsCleared) {
    testApp();
    const QString folder = QString::fromStdString(tempDir());
    auto live = std::make_unique<ZRecoveryStore>(folder);
    ASSERT_TRUE(live->isActive());
    // The lock of a program killed before it wrote any copy: a process id
    // that is not running, on this machine.
    QFile dead(QDir(folder).filePath("2147483646-0badc0de.lock"));
    ASSERT_TRUE(dead.open(QIODevice::WriteOnly));
    dead.write(QString("2147483646\n%1\n%2\n")
                   .arg(QCoreApplication::applicationName(), QSysInfo::machineHostName())
                   .toUtf8());
    dead.close();

    ZRecoveryStore next(folder);
    EXPECT_TRUE(next.claimOrphans().entries.empty());
    EXPECT_FALSE(dead.exists());
    EXPECT_EQ(filesIn(folder, "*.lock").size(), 2) << "the two live programs' locks stay";
}

TEST_F(MainWindowFixture, ADamagedCopyIsMovedAsideAndTheOthersAreStillOffered) {
    const QString folder = QString::fromStdString(tempDir());
    ZN_ShapeManager page;
    addRect(page, 0, 0, 10, 10);
    const auto good = serialise({{"页1", 0, &page}});
    std::vector<std::uint8_t> bad = good;
    bad.resize(bad.size() / 2);
    leaveCopy(folder, good, "/maps/good.tvx");
    const QString damagedCopy = leaveCopy(folder, good, "/maps/bad.tvx");
    writeBytes(damagedCopy.toStdString(), bad);

    ZAutoSave saver(frame, folder);
    ZRecoveryScan scan = saver.store().claimOrphans();
    ASSERT_EQ(scan.entries.size(), 1u);
    EXPECT_EQ(scan.entries[0].info.path, "/maps/good.tvx");
    EXPECT_EQ(scan.damaged, QStringList{"bad.tvx"});
    const QString aside = folder + "/damaged/" + QFileInfo(damagedCopy).fileName();
    EXPECT_EQ(readBytes(aside.toStdString()), bad) << "moved, byte for byte";
    EXPECT_FALSE(QFile::exists(damagedCopy));

    CDlgRecover dialog(saver, scan, frame);
    auto* label = dialog.findChild<QLabel*>("damagedLabel");
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->text().contains("bad.tvx"));
    EXPECT_TRUE(label->text().contains("damaged"));
    dialog.discardSelected();
    EXPECT_TRUE(filesIn(folder, "*.tvx").isEmpty());
    EXPECT_EQ(filesIn(folder + "/damaged", "*.tvx").size(), 1);

    // A second damaged copy of the same name does not overwrite the first.
    const QString again = leaveCopy(folder, bad, "/maps/bad.tvx");
    QFile::rename(again, damagedCopy);
    EXPECT_EQ(saver.store().claimOrphans().damaged.size(), 1);
    EXPECT_EQ(filesIn(folder + "/damaged", "*.tvx").size(), 2);
}

TEST_F(DocumentFixture, SavingClearsLeftoversOfInterruptedSavesThatNoSaveHolds) {
    const QString dir = QString::fromStdString(tempDir());
    const QString old = dir + "/.tavlo-save-Ab12Cd";
    const QString fresh = dir + "/.tavlo-save-Ef34Gh";
    const QString other = dir + "/.tavlo-save-notours";
    for (const QString& f : {old, fresh, other})
        writeBytes(f.toStdString(), {1, 2, 3});
    const time_t elevenMinutesAgo = ::time(nullptr) - 11 * 60;
    const utimbuf times{elevenMinutesAgo, elevenMinutesAgo};
    ASSERT_EQ(::utime(QFile::encodeName(old).constData(), &times), 0);
    ASSERT_EQ(::utime(QFile::encodeName(other).constData(), &times), 0);

    // A save still running holds its file; one whose process is gone does not.
    const QString abandoned = dir + "/.tavlo-save-Ij56Kl";
    writeBytes(abandoned.toStdString(), {1, 2, 3});
    const int held = ::open(QFile::encodeName(fresh).constData(), O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    ASSERT_TRUE(child->document()->saveTo(dir + "/map.tvx"));
    ::close(held);
    EXPECT_FALSE(QFile::exists(old));
    EXPECT_TRUE(QFile::exists(fresh)) << "belongs to a save still running";
    EXPECT_FALSE(QFile::exists(abandoned)) << "no process holds it";
    EXPECT_TRUE(QFile::exists(other));
}
