// Nodes' fields wherever a node goes in the program: saved and opened again,
// damaged on disk, copied between documents, undone and redone, kept in a
// recovery copy, counted and converted on the command line, and drawn into
// exported pictures.

#include <QDir>
#include <QImage>

#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_NodeMarks.h>
#include <sarvik/platform/ZMessage.h>

#include "CommandFixture.h"
#include "RecoveryHelpers.h"
#include "commands/CommandIds.h"
#include "document/PageExport.h"
#include "frames/CTavloApp.h"
#include "frames/ZAutoSave.h"

namespace {

ZN_NodeFields richFields() {
    ZN_NodeFields f;
    f.note = "备注\n第二行";
    f.link = "https://example.org";
    f.markers = {"priority-1", "flag-green", "star"};
    f.attributes = {{"owner", "Ann"}};
    return f;
}

ZN_ShapeBase* onlyBox(ZN_ShapeManager& page) {
    for (ZN_ShapeBase* s : page.getShapeList())
        if (s->type() == 7)
            return s;
    return nullptr;
}

// Whether the image has a pixel of about this colour.
bool showsColour(const QImage& image, const QColor& colour, int tolerance = 24) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) <= tolerance &&
                std::abs(c.green() - colour.green()) <= tolerance &&
                std::abs(c.blue() - colour.blue()) <= tolerance)
                return true;
        }
    return false;
}

const QColor kNoteYellow(255, 237, 140);
const QColor kPriorityRed(219, 51, 46);

} // namespace

class NodeFieldsApp : public CommandFixture {};

TEST_F(NodeFieldsApp, SavedFieldsComeBackWhenTheFileIsOpened) {
    addRect(*page, 10, 10, 90, 50)->setFields(richFields());
    const std::string dir = tempDir();
    ASSERT_TRUE(child->document()->saveTo(QString::fromStdString(dir + "/fields.tvx")));
    // Opened under another name, so that the saved document is not the one shown.
    writeBytes(dir + "/again.tvx", readBytes(dir + "/fields.tvx"));

    CChildFrame* opened = frame->openDocumentFile(QString::fromStdString(dir + "/again.tvx"));
    ASSERT_NE(opened, child);
    ASSERT_NE(opened, nullptr);
    ZN_ShapeBase* box = onlyBox(*opened->view()->getCurrentPage());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->getFields(), richFields());
}

TEST_F(NodeFieldsApp, ADamagedBlockOpensTheMapWholeAndSaysWhatIsMissing) {
    addRect(*page, 10, 10, 90, 50)->setFields(richFields());
    const std::string dir = tempDir();
    ASSERT_TRUE(child->document()->saveTo(QString::fromStdString(dir + "/saved.tvx")));
    const std::string path = dir + "/damaged.tvx";
    std::vector<std::uint8_t> bytes = readBytes(dir + "/saved.tvx");
    bytes.back() ^= 0xFF; // the checksum
    writeBytes(path, bytes);

    ZShowMessage("", "");
    CChildFrame* opened = frame->openDocumentFile(QString::fromStdString(path));
    ASSERT_NE(opened, nullptr);
    ASSERT_NE(opened, child);
    EXPECT_EQ(ZLastMessageText(), "扩展数据已损坏，备注等未能读取");
    ZN_ShapeBase* box = onlyBox(*opened->view()->getCurrentPage());
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->hasFields());
    EXPECT_FLOAT_EQ(box->getPoint2().X(), 90.0f);
}

TEST_F(NodeFieldsApp, TheShapeClipboardCarriesFieldsToAnotherDocument) {
    ZN_ShapeBase* box = addRect(*page, 10, 10, 90, 50);
    box->setFields(richFields());
    select({box});
    run(cmd::Copy);

    CChildFrame* other = frame->newDocument();
    QCoreApplication::processEvents();
    ASSERT_TRUE(runViewCommand(*other->view(), cmd::Paste));
    ZN_ShapeBase* pasted = onlyBox(*other->view()->getCurrentPage());
    ASSERT_NE(pasted, nullptr);
    ASSERT_NE(pasted, box);
    EXPECT_EQ(pasted->getFields(), richFields());
    // Changing the copy leaves the original as it was.
    ZN_NodeFields changed = pasted->getFields();
    changed.note = "only the copy";
    pasted->setFields(changed);
    EXPECT_EQ(box->getFields(), richFields());
}

TEST_F(NodeFieldsApp, UndoAndRedoTakeFieldsBackAndForth) {
    ZN_ShapeBase* box = addRect(*page, 10, 10, 90, 50);
    page->getUndoRedo()->copyAllTooplist(true);
    box->setFields(richFields());
    run(cmd::Undo);
    ZN_ShapeBase* undone = onlyBox(*page);
    ASSERT_NE(undone, nullptr);
    EXPECT_FALSE(undone->hasFields());
    run(cmd::Redo);
    ZN_ShapeBase* redone = onlyBox(*page);
    ASSERT_NE(redone, nullptr);
    EXPECT_EQ(redone->getFields(), richFields());
}

TEST_F(NodeFieldsApp, RecoveryCopiesKeepTheFields) {
    const QString folder = QString::fromStdString(tempDir());
    ZAutoSave saver(frame, folder);
    saver.setSeconds(0);
    edit(child, 10);
    onlyBox(*page)->setFields(richFields());
    saver.tick();
    saver.store().waitForIdle();
    const QStringList copies = QDir(folder).entryList({"*.tvx"}, QDir::Files | QDir::Hidden);
    ASSERT_EQ(copies.size(), 1);
    EXPECT_EQ(readBytes((folder + "/" + copies[0]).toStdString()), serialise(child->document()));
    TvxDocument copy;
    ASSERT_EQ(readTvxFile((folder + "/" + copies[0]).toStdString(), copy), TvxStatus::Ok);
    EXPECT_EQ(onlyBox(*copy.pages[0].manager)->getFields(), richFields());
}

TEST(NodeFieldsCli, InfoCountsTheFieldsAndConvertKeepsThem) {
    testApp();
    ZN_ShapeManager first, second;
    addRect(first, 0, 0, 80, 40)->setFields(richFields());
    ZN_NodeFields two;
    two.note = "n";
    two.markers = {"idea", "warning"};
    addRect(first, 100, 0, 180, 40)->setFields(two);
    addRect(second, 0, 0, 80, 40);
    const std::string dir = tempDir();
    const std::string file = dir + "/rich.tvx";
    ASSERT_TRUE(writeTvxFile(file, {{"页1", 0, &first}, {"页2", 0, &second}}));

    const CliRun info = runCli({"--info", file});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("type 7 x2; notes 2, links 1, markers 5, attributes 1\n"),
              std::string::npos)
        << info.out;
    EXPECT_NE(info.out.find("type 7 x1; notes 0, links 0, markers 0, attributes 0\n"),
              std::string::npos);

    const CliRun convert = runCli({"--convert", file, dir + "/copy.tvx"});
    ASSERT_EQ(convert.status, 0) << convert.err;
    EXPECT_TRUE(convert.err.empty());
    EXPECT_EQ(readBytes(dir + "/copy.tvx"), readBytes(file));

    // A damaged block is said once, and what is written has no fields.
    std::vector<std::uint8_t> bytes = readBytes(file);
    bytes[bytes.size() - 10] ^= 0x40;
    writeBytes(file, bytes);
    const CliRun damaged = runCli({"--convert", file, dir + "/lost.tvx"});
    ASSERT_EQ(damaged.status, 0);
    EXPECT_NE(damaged.err.find("扩展数据已损坏，备注等未能读取"), std::string::npos);
    TvxDocument lost;
    ASSERT_EQ(readTvxFile(dir + "/lost.tvx", lost), TvxStatus::Ok);
    EXPECT_FALSE(onlyBox(*lost.pages[0].manager)->hasFields());
}

TEST(NodeFieldsExport, MarksAppearInThePngOfTheCommandLineAndInVectorExports) {
    testApp();
    ZN_ShapeManager page;
    ZN_NRect* box = addRect(page, 0, 0, 120, 40);
    box->setFields(richFields());
    const std::string dir = tempDir();
    ASSERT_TRUE(writeTvxFile(dir + "/marks.tvx", {{"页1", 0, &page}}));
    const CliRun r = runCli({"--export-png", dir + "/marks.png", dir + "/marks.tvx"});
    ASSERT_EQ(r.status, 0) << r.err;
    const QImage png(QString::fromStdString(dir + "/marks.png"));
    ASSERT_FALSE(png.isNull());
    EXPECT_TRUE(showsColour(png, kNoteYellow));
    EXPECT_TRUE(showsColour(png, kPriorityRed));

    // The picture reaches up to the note mark above the box's top edge.
    const ExportPage prepared = prepareExportPage(page, false);
    EXPECT_LE(prepared.top, -kZN_CornerMarkSize * 0.5f - 20.0f);
    RecordedPage recorded;
    QString error;
    ASSERT_TRUE(recordPage(prepared, false, &recorded, &error)) << error.toStdString();
    const QImage drawn = pageImage(recorded, 1.0);
    EXPECT_TRUE(showsColour(drawn, kNoteYellow));
    EXPECT_TRUE(showsColour(drawn, kPriorityRed));
    const QByteArray svg = pageSvg(recorded);
    EXPECT_TRUE(svg.contains("#db332")) << "the priority marker as a filled path";
}
