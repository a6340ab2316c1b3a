// Every writer on a disk that fills up part-way, on devices and FIFOs, and on
// devices that stop taking bytes: a failure is reported as one line naming
// the file and the cause, nothing new is left, and the old file stays whole.

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>

#include "TestSupport.h"
#include "commands/ExportCommands.h"
#include "dialogs/CDlgExport.h"
#include "document/PageExport.h"
#include "document/TvxContainer.h"
#include "document/ZRecoveryStore.h"

namespace {

// Labelled boxes enough for every output form to outgrow 16 KiB.
void fillPage(ZN_ShapeManager& page, int boxes) {
    for (int i = 0; i < boxes; ++i) {
        const float x = static_cast<float>((i % 20) * 130);
        const float y = static_cast<float>((i / 20) * 60);
        ZN_NRect* box = addRect(page, x, y, x + 120, y + 40);
        box->setFillColor(ZVector3(0.1f * static_cast<float>(i % 10), 0.5f, 0.9f));
        auto* label = new ZN_SText();
        label->setText(("Box " + std::to_string(i) + " 方框").c_str());
        label->setHost(box);
        box->setLabel(label);
        box->resetLabelPosition();
    }
}

struct ProgramRun {
    int status = -1;
    QString out;
    QStringList errLines;
};

ProgramRun runProgram(const QStringList& args) {
    QProcess p;
    p.start(TAVLO_BINARY, args);
    EXPECT_TRUE(p.waitForFinished(120000));
    ProgramRun r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.errLines = QString::fromUtf8(p.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    return r;
}

QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

const QString kFiller = "filler";

// A 16 KiB file system, so that writes fail part-way with "No space left on
// device". Mounting needs root (CI runs as root); elsewhere the cases skip.
class SmallDisk : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0)
            GTEST_SKIP() << "mounting a small file system needs root";
        source = QString::fromStdString(tempDir());
        ZN_ShapeManager page;
        fillPage(page, 400);
        document = source + "/big.tvx";
        ASSERT_TRUE(writeTvxFile(document.toStdString(), {{"页1", 0, &page}}));
        ASSERT_GT(QFile(document).size(), 32 * 1024);
        disk = QString::fromStdString(tempDir());
        ASSERT_EQ(::mount("tmpfs", disk.toLocal8Bit().constData(), "tmpfs", 0, "size=16k"), 0)
            << std::strerror(errno);
        mounted = true;
        // Leaves room for the old file and one more page: even a small PDF fails part-way.
        writeBytes((disk + "/" + kFiller).toStdString(), std::vector<std::uint8_t>(8192, 'f'));
    }
    void TearDown() override {
        if (mounted) {
            EXPECT_EQ(::umount2(disk.toLocal8Bit().constData(), MNT_DETACH), 0);
        }
    }

    // An old file the failed write must leave as it was.
    QString oldFile(const QString& name) {
        const QString path = disk + "/" + name;
        writeBytes(path.toStdString(), {'o', 'l', 'd'});
        return path;
    }
    void expectOldFileAlone(const QString& path) {
        EXPECT_EQ(readBytes(path.toStdString()), std::vector<std::uint8_t>({'o', 'l', 'd'}));
        EXPECT_EQ(entries(disk), (QStringList{kFiller, QFileInfo(path).fileName()}))
            << "nothing left beside it";
    }

    QString source, document, disk;
    bool mounted = false;
};

} // namespace

TEST_F(SmallDisk, CommandLineWritersFailWithOneLineAndKeepTheOldFile) {
    for (const QString& form :
         QStringList{"--export-pdf", "--export-svg", "--export-png", "--convert"}) {
        const QString suffix = form == "--convert" ? "tvx" : form.mid(9);
        const QString out = oldFile("out." + suffix);
        const ProgramRun r = form == "--convert" ? runProgram({form, document, out})
                                                 : runProgram({form, out, document});
        EXPECT_EQ(r.status, 2) << form.toStdString();
        ASSERT_EQ(r.errLines.size(), 1) << r.errLines.join('\n').toStdString();
        EXPECT_EQ(r.errLines[0], "Tavlo: cannot write " + out + ": No space left on device");
        expectOldFileAlone(out);
        QFile::remove(out);
        // Without an old file, nothing at all is left.
        const ProgramRun fresh = form == "--convert" ? runProgram({form, document, out})
                                                     : runProgram({form, out, document});
        EXPECT_EQ(fresh.status, 2);
        EXPECT_EQ(entries(disk), QStringList{kFiller});
    }
}

TEST_F(SmallDisk, EditorExportSaveAndRecoveryCopyFailAndKeepTheOldFile) {
    ZN_ShapeManager page;
    fillPage(page, 400);
    for (int format : {ExportChoices::Png, ExportChoices::Svg, ExportChoices::Pdf}) {
        ExportChoices c;
        c.format = format;
        const QString path = oldFile("page." + exportSuffix(format));
        QString failure;
        EXPECT_FALSE(exportPage(page, c, path, [](int, int) { return true; }, &failure));
        EXPECT_TRUE(failure.startsWith("导出失败，未写入文件 " + path)) << failure.toStdString();
        EXPECT_TRUE(failure.contains("No space left on device")) << failure.toStdString();
        expectOldFileAlone(path);
        QFile::remove(path);
    }

    const QString saved = oldFile("map.tvx");
    std::string reason;
    EXPECT_FALSE(writeTvxFile(saved.toStdString(), {{"页1", 0, &page}}, &reason));
    EXPECT_NE(reason.find("No space left on device"), std::string::npos) << reason;
    expectOldFileAlone(saved);
    QFile::remove(saved);

    const std::vector<std::uint8_t> copy = readBytes(document.toStdString());
    {
        ZRecoveryStore store(disk + "/recovery");
        ASSERT_TRUE(store.isActive());
        store.write(store.newSlot(), copy, {});
        store.waitForIdle();
        EXPECT_EQ(store.takeFailures(), 1);
        for (const QString& name : entries(disk + "/recovery"))
            EXPECT_FALSE(name.endsWith(".tvx")) << name.toStdString();
    }
}

// A device that takes `room` bytes and then fails every write.
class FillingDevice : public QIODevice {
public:
    explicit FillingDevice(qint64 room) : room_(room) { open(QIODevice::WriteOnly); }
    qint64 taken = 0;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 n) override {
        if (taken >= room_)
            return -1;
        const qint64 done = std::min(n, room_ - taken);
        taken += done;
        return done;
    }

private:
    qint64 room_;
};

TEST(WriteFailure, APdfOntoADeviceThatFillsUpIsAFailure) {
    ZN_ShapeManager source;
    fillPage(source, 40);
    RecordedPage recorded;
    QString error;
    ASSERT_TRUE(recordPage(prepareExportPage(source, false), false, &recorded, &error))
        << error.toStdString();
    for (qint64 room : {0, 100, 1000}) {
        FillingDevice device(room);
        EXPECT_FALSE(writePdfPages({recorded}, &device, &error)) << room;
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(device.taken, room);
    }
    FillingDevice roomy(1 << 26);
    EXPECT_TRUE(writePdfPages({recorded}, &roomy, &error)) << error.toStdString();
}

TEST(WriteFailure, SpecialFilesAreWrittenIntoNeverReplaced) {
    const QString dir = QString::fromStdString(tempDir());
    ZN_ShapeManager page;
    fillPage(page, 4);
    const QString document = dir + "/small.tvx";
    ASSERT_TRUE(writeTvxFile(document.toStdString(), {{"页1", 0, &page}}));

    // As root, a twin of /dev/full in the test's folder: a writer that
    // renames over devices then replaces the twin, not the system's node.
    QString device = dir + "/full";
    if (::mknod(device.toLocal8Bit().constData(), S_IFCHR | 0666, makedev(1, 7)) != 0)
        device = "/dev/full";
    const ProgramRun full = runProgram({"--export-png", device, document});
    EXPECT_EQ(full.status, 2);
    EXPECT_EQ(full.errLines, QStringList{"Tavlo: cannot write " + device + ": No space left on device"});
    struct stat st {};
    ASSERT_EQ(::lstat(device.toLocal8Bit().constData(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode)) << "the device must stay a device";

    // /dev/stdout through a link of the test's own, which a faulty writer
    // would replace instead of the system's.
    ASSERT_TRUE(QFile::link("/dev/stdout", dir + "/stdout.svg"));
    const ProgramRun out = runProgram({"--export-svg", dir + "/stdout.svg", document});
    EXPECT_EQ(out.status, 0) << out.errLines.join('\n').toStdString();
    EXPECT_TRUE(out.out.startsWith("<?xml")) << out.out.left(80).toStdString();
    EXPECT_TRUE(out.out.trimmed().endsWith("</svg>"));

    const QString fifo = dir + "/pipe.pdf";
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    QByteArray received;
    std::thread reader([&] {
        QFile f(fifo);
        if (f.open(QIODevice::ReadOnly))
            received = f.readAll();
    });
    const ProgramRun piped = runProgram({"--export-pdf", fifo, document});
    // Should the program never have opened the FIFO, this lets the reader go.
    const int unblock = ::open(fifo.toLocal8Bit().constData(), O_WRONLY | O_NONBLOCK);
    if (unblock >= 0)
        ::close(unblock);
    reader.join();
    EXPECT_EQ(piped.status, 0) << piped.errLines.join('\n').toStdString();
    EXPECT_TRUE(received.startsWith("%PDF-"));
    ASSERT_EQ(::lstat(fifo.toLocal8Bit().constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    QDir().mkpath(dir + "/real");
    writeBytes((dir + "/real/page.png").toStdString(), {'o', 'l', 'd'});
    ASSERT_TRUE(QFile::link(dir + "/real/page.png", dir + "/link.png"));
    EXPECT_EQ(runProgram({"--export-png", dir + "/link.png", document}).status, 0);
    EXPECT_TRUE(QFileInfo(dir + "/link.png").isSymLink());
    EXPECT_TRUE(QImage(dir + "/real/page.png").width() > 0);
}
