// An import that runs out of memory fails with a message and first puts the
// other documents' recovery copies on the disk.

#include <new>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <sarvik/platform/ZMessage.h>

#include "RecoveryHelpers.h"
#include "TestSupport.h"
#include "WindowFixture.h"
#include "frames/CChildFrame.h"
#include "frames/CMainFrame.h"
#include "frames/ZAutoSave.h"
#include "interchange/Interchange.h"

TEST_F(MainWindowFixture, AnImportOutOfMemoryLeavesTheOtherDocumentsWithRecoveryCopies) {
    const QString folder = QString::fromStdString(tempDir());
    ZAutoSave saver(frame, folder);
    saver.setSeconds(0); // no timer: only the failed import writes copies
    CChildFrame* other = frame->newDocument();
    edit(other, 10);
    const QString map = QString::fromStdString(tempDir()) + "/big.mm";
    {
        QFile file(map);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<map version=\"1.0.1\"><node TEXT=\"a\"/></map>\n");
    }
    const auto before = frame->children().size();
    interchange::setReadProbe([] { throw std::bad_alloc(); });
    CChildFrame* opened = frame->openDocumentFile(map);
    interchange::setReadProbe(nullptr);
    EXPECT_EQ(opened, nullptr);
    EXPECT_EQ(frame->children().size(), before);
    EXPECT_TRUE(other->document()->isModified());
    EXPECT_TRUE(QString::fromStdString(ZLastMessageText()).contains(map));
    // The copy is on the disk when the import returns, waited for by it.
    EXPECT_EQ(QDir(folder).entryList({"*.tvx"}, QDir::Files).size(), 1);
}
