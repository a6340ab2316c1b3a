// Recovery copies from a hostile or careless folder, documents that come and
// go at one address, and how recovered documents are shown.

#include <gtest/gtest.h>

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QHeaderView>
#include <QTreeWidget>

#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZFile.h>

#include "RecoveryHelpers.h"
#include "WindowFixture.h"
#include "frames/CWindowsDlg.h"
#include "frames/CDlgRecover.h"
#include "frames/ZAutoSave.h"


namespace {

int copiesIn(const QString& folder) {
    return static_cast<int>(QDir(folder).entryList({"*.tvx", "*.json"}, QDir::Files).size());
}

// A copy as a dead program left it, with the companion written by hand.
QString leaveCopy(const QString& folder, const QJsonObject& companion) {
    ZN_ShapeManager page;
    addRect(page, 0, 0, 10, 10);
    auto memory = ZFile::toMemory();
    writeTvx(*memory, {{"页1", 0, &page}});
    QString copy;
    {
        ZRecoveryStore dead(folder);
        const int slot = dead.newSlot();
        dead.write(slot, memory->bytes(), {});
        dead.waitForIdle();
        copy = dead.copyPath(slot);
    }
    QFile json(copy.chopped(4) + ".json");
    EXPECT_TRUE(json.open(QIODevice::WriteOnly | QIODevice::Truncate));
    json.write(QJsonDocument(companion).toJson());
    return copy;
}

} // namespace

TEST_F(MainWindowFixture, ACompanionNamesOnlyADocumentFileInFull) {
    const QString folder = QString::fromStdString(tempDir());
    const QString victim = QString::fromStdString(tempDir()) + "/victim.txt";
    writeBytes(victim.toStdString(), {'k', 'e', 'e', 'p'});
    const QString trusted = QString::fromStdString(tempDir()) + "/map.tvx";
    for (const QString& path : {victim, QString("../../victim.tvx"), QString("map.tvx"),
                                QString("/tmp/../etc/x.tvx"), trusted}) {
        leaveCopy(folder, {{"path", path}, {"title", "t"}});
        ZRecoveryStore store(folder);
        ZRecoveryScan scan = store.claimOrphans();
        ASSERT_EQ(scan.entries.size(), 1u) << path.toStdString();
        EXPECT_EQ(scan.entries[0].info.path, path == trusted ? trusted : QString())
            << path.toStdString();
        store.discard(scan.entries[0].copyPath);
    }

    // Without the file's time, saving the recovered document asks first.
    writeBytes(trusted.toStdString(), {'o', 'l', 'd'});
    leaveCopy(folder, {{"path", trusted}, {"title", "map.tvx"}});
    ZAutoSave saver(frame, folder);
    saver.setSeconds(0);
    ZRecoveryScan scan = saver.store().claimOrphans();
    ASSERT_EQ(scan.entries.size(), 1u);
    CChildFrame* recovered = saver.recover(scan.entries[0]);
    ASSERT_NE(recovered, nullptr);
    static int asked = 0;
    asked = 0;
    CChildFrame::setAskOverwrite([](QWidget*, const QString&) { return ++asked, false; });
    EXPECT_FALSE(recovered->save());
    CChildFrame::setAskOverwrite(nullptr);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(readBytes(trusted.toStdString()), std::vector<std::uint8_t>({'o', 'l', 'd'}));
    EXPECT_EQ(readBytes(victim.toStdString()), std::vector<std::uint8_t>({'k', 'e', 'e', 'p'}));
}

TEST(RecoveryStore, ADamagedFolderThatIsALinkLeadsNowhere) {
    testApp();
    const QString folder = QString::fromStdString(tempDir());
    const QString outside = QString::fromStdString(tempDir());
    ASSERT_TRUE(QFile::link(outside, folder + "/damaged"));
    const QString copy = leaveCopy(folder, {{"path", ""}});
    writeBytes(copy.toStdString(), {1, 2, 3}); // damaged
    ZRecoveryStore store(folder);
    EXPECT_EQ(store.claimOrphans().damaged.size(), 1);
    EXPECT_TRUE(QDir(outside).isEmpty()) << "nothing was carried out of the folder";
    EXPECT_TRUE(QFile::exists(copy));
}

// Documents are often made where a closed one was: each is tracked afresh.
TEST_F(MainWindowFixture, DocumentsMadeOneAfterAnotherKeepAndDropTheirCopies) {
    const QString folder = QString::fromStdString(tempDir());
    ZAutoSave saver(frame, folder);
    saver.setSeconds(0);
    auto copies = [&] {
        saver.store().waitForIdle();
        return copiesIn(folder);
    };
    for (int round = 0; round < 8; ++round) {
        CChildFrame* child = frame->newDocument();
        edit(child, 10);
        saver.tick();
        EXPECT_EQ(copies(), 2) << round;
        child->document()->SetModifiedFlag(false);
        EXPECT_EQ(copies(), 0) << round;
        child->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // Whether the allocator hands out the same address again is chance:
        // the entry of a gone document must be gone in any case.
        EXPECT_EQ(saver.trackedDocuments(), 0u) << round;
    }
}

TEST_F(DocumentFixture, ARecoveredUntitledDocumentReplacesTheUntouchedStartDocument) {
    const QString folder = QString::fromStdString(tempDir());
    for (int i = 0; i < 2; ++i)
        leaveCopy(folder, {{"path", ""}, {"title", "未命名"}});
    ZAutoSave saver(frame, folder);
    saver.setSeconds(0);
    ZRecoveryScan scan = saver.store().claimOrphans();
    ASSERT_EQ(scan.entries.size(), 2u);
    CChildFrame* first = saver.recover(scan.entries[0]);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(frame->children(), QList<CChildFrame*>{first}) << "the empty start document closed";

    // A second one stays beside the first, under one name everywhere.
    CChildFrame* second = saver.recover(scan.entries[1]);
    ASSERT_EQ(frame->children().size(), 2);
    EXPECT_EQ(first->windowTitle(), "未命名");
    EXPECT_EQ(second->windowTitle(), "未命名:2");
    EXPECT_EQ(distinctWindowLabels({first->document()->title(), second->document()->title()}),
              (QStringList{first->windowTitle(), second->windowTitle()}));
    second->document()->SetModifiedFlag(false);
    second->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(first->windowTitle(), "未命名");
}

TEST_F(MainWindowFixture, TheRecoveryListShowsEveryColumnAndOneLinePerCopy) {
    const QString folder = QString::fromStdString(tempDir());
    QString tall;
    for (int i = 0; i < 300; ++i)
        tall += QString("第 %1 行\n").arg(i);
    const QString deep = "/" + QString("很长的文件夹名称/").repeated(12) + "地图.tvx";
    leaveCopy(folder, {{"path", deep}, {"title", tall}});
    leaveCopy(folder, {{"path", ""}, {"title", "短"}});
    ZAutoSave saver(frame, folder);
    saver.setSeconds(0);
    ZRecoveryScan scan = saver.store().claimOrphans();
    ASSERT_EQ(scan.entries.size(), 2u);
    CDlgRecover dialog(saver, scan, frame);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTreeWidget* list = dialog.list();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        EXPECT_FALSE(item->text(0).contains('\n'));
        EXPECT_LE(item->text(0).size(), 121);
        const int timeWidth = list->fontMetrics().horizontalAdvance(item->text(2));
        EXPECT_GE(list->header()->sectionSize(2), timeWidth) << "the time is not cut";
    }
    EXPECT_LE(list->header()->length(), list->viewport()->width()) << "no column runs off";
    EXPECT_LT(dialog.height(), 600);
}
