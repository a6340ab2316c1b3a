// The headless command line: information, conversion, drawing a page, and
// failures that write nothing.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include <QFile>
#include <QImage>

#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>

#include "TestSupport.h"
#include "cli/TavloCli.h"
#include "frames/TvxContainer.h"

namespace {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

CliRun run(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = runCommandLine(args, out, err);
    return {status, out.str(), err.str()};
}

bool exists(const std::string& path) { return QFile::exists(QString::fromStdString(path)); }

// A second page with a red box at canvas (200, 100)-(300, 160) and a small one
// that makes the picture reach (320, 180).
std::string redBoxFile(const std::string& dir) {
    ZN_ShapeManager first, second;
    ZN_NRect* box = addRect(second, 200, 100, 300, 160);
    box->setFillColor(ZVector3(1.0f, 0.0f, 0.0f));
    addRect(second, 310, 170, 320, 180);
    const std::string path = dir + "/red.tvx";
    EXPECT_TRUE(writeTvxFile(path, {{"页1", 0, &first}, {"红框", 1, &second}}));
    return path;
}

} // namespace

TEST(Cli, RecognisesOnlyItsOptions) {
    EXPECT_TRUE(isCommandLineRequest({"--info", "x"}));
    EXPECT_TRUE(isCommandLineRequest({"--export-png", "a", "b"}));
    EXPECT_FALSE(isCommandLineRequest({}));
    EXPECT_FALSE(isCommandLineRequest({"map.tvx"}));
}

TEST(Cli, InfoListsPagesAndCounts) {
    const std::string file = redBoxFile(tempDir());
    const CliRun r = run({"--info", file});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("version 8"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("page 2 \"红框\" (typed name): 2 shapes, type 7 x2"), std::string::npos)
        << r.out;
}

TEST(Cli, ConvertReproducesCurrentFilesAndUpgradesOldOnes) {
    const std::string dir = tempDir();
    const std::string file = redBoxFile(dir);
    ASSERT_EQ(run({"--convert", file, dir + "/copy.tvx"}).status, 0);
    EXPECT_EQ(readBytes(dir + "/copy.tvx"), readBytes(file));

    writeBytes(dir + "/old.tvx", Bytes().i32(3).i32(0).data);
    ASSERT_EQ(run({"--convert", dir + "/old.tvx", dir + "/new.tvx"}).status, 0);
    EXPECT_EQ(readBytes(dir + "/new.tvx"),
              Bytes().i32(8).raw("tvx").i32(1).i32(0).i32(3).raw("\xD2\xB3\x31").i32(0).i32(0).data);
}

TEST(Cli, ConvertKeepsTheEuroSignOfCodePage936) {
    const std::string dir = tempDir();
    ZN_ShapeManager page;
    auto* text = static_cast<ZN_SText*>(ZN_ShapeBase::createShape(5));
    text->setText("price 5? each");
    page.addShape(text);
    ASSERT_TRUE(writeTvxFile(dir + "/euro.tvx", {{"页1", 0, &page}}));
    // The text record as another editor wrote it: the euro sign as 0x80.
    std::vector<std::uint8_t> bytes = readBytes(dir + "/euro.tvx");
    const std::string marker = "5?";
    const auto at = std::search(bytes.begin(), bytes.end(), marker.begin(), marker.end());
    ASSERT_NE(at, bytes.end());
    *(at + 1) = 0x80;
    writeBytes(dir + "/euro.tvx", bytes);

    ASSERT_EQ(run({"--convert", dir + "/euro.tvx", dir + "/copy.tvx"}).status, 0);
    EXPECT_EQ(readBytes(dir + "/copy.tvx"), bytes);
}

TEST(Cli, FailuresSayOneLineAndWriteNothing) {
    const std::string dir = tempDir();
    writeBytes(dir + "/bad.tvx", Bytes().i32(8).raw("tvx").i32(2).i32(0).data);
    const std::string good = redBoxFile(dir);
    const std::vector<std::vector<std::string>> failing = {
        {"--info", dir + "/bad.tvx"},
        {"--convert", dir + "/bad.tvx", dir + "/out.tvx"},
        {"--export-png", dir + "/out.png", dir + "/bad.tvx"},
        {"--export-png", dir + "/out.png", "--page", "3", good},
        {"--export-png", dir + "/out.png", "--page", "x", good},
        {"--convert", dir + "/missing.tvx", dir + "/out.tvx"},
        {"--info"},
    };
    for (const auto& args : failing) {
        const CliRun r = run(args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_TRUE(r.out.empty());
        EXPECT_FALSE(exists(dir + "/out.tvx"));
        EXPECT_FALSE(exists(dir + "/out.png"));
    }
}

TEST(Cli, ExportDrawsThePageWithAMargin) {
    const std::string dir = tempDir();
    const std::string file = redBoxFile(dir);
    const CliRun r = run({"--export-png", dir + "/page.png", "--page", "2", file});
    ASSERT_EQ(r.status, 0) << r.err;
    QImage image(QString::fromStdString(dir + "/page.png"));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 120 + 40);
    EXPECT_EQ(image.height(), 80 + 40);
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::white)) << "margin";
    EXPECT_EQ(image.pixelColor(70, 50), QColor(Qt::red)) << "inside the box";
}

TEST(Cli, HiddenShapesDoNotWidenThePicture) {
    ZN_ShapeManager page;
    addRect(page, 10, 20, 30, 40);
    addRect(page, 5000, 5000, 5100, 5100)->setShow(false);
    const CanvasBounds b = visibleBounds(page);
    EXPECT_FALSE(b.empty);
    EXPECT_EQ(b.minX, 10.0f);
    EXPECT_EQ(b.maxY, 40.0f);
    ZN_ShapeManager empty;
    EXPECT_TRUE(visibleBounds(empty).empty);
}
