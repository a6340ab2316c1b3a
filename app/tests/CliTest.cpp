// The headless command line: information, conversion, drawing a page, and
// failures that write nothing.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include <QFile>
#include <QImage>

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>

#include "TestSupport.h"
#include "cli/TavloCli.h"
#include "document/PageBounds.h"
#include "document/TvxContainer.h"

namespace {

CliRun run(const std::vector<std::string>& args) {
    return runCli(args);
}

bool exists(const std::string& path) {
    return QFile::exists(QString::fromStdString(path));
}

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
    EXPECT_EQ(
        readBytes(dir + "/new.tvx"),
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
        {"--convert", dir + "/missing.tvx", dir + "/out.tvx"},
        {"--export-svg", dir + "/out.svg", dir + "/bad.tvx"},
        {"--export-pdf", dir + "/out.pdf", "--page", "3", good},
    };
    for (const auto& args : failing) {
        const CliRun r = run(args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_TRUE(r.out.empty());
        EXPECT_FALSE(exists(dir + "/out.tvx"));
        EXPECT_FALSE(exists(dir + "/out.png"));
        EXPECT_FALSE(exists(dir + "/out.svg"));
        EXPECT_FALSE(exists(dir + "/out.pdf"));
    }
}

TEST(Cli, ExportDrawsThePageWithAMargin) {
    const std::string dir = tempDir();
    const std::string file = redBoxFile(dir);
    const CliRun r = run({"--export-png", dir + "/page.png", "--page", "2", file});
    ASSERT_EQ(r.status, 0) << r.err;
    QImage image(QString::fromStdString(dir + "/page.png"));
    ASSERT_FALSE(image.isNull());
    // The boxes span 120 x 80; their 2-pixel frames reach 2 pixels further.
    EXPECT_EQ(image.width(), 124 + 40);
    EXPECT_EQ(image.height(), 84 + 40);
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::white)) << "margin";
    EXPECT_EQ(image.pixelColor(72, 52), QColor(Qt::red)) << "inside the box";
}

// Everything drawn counts, not only corners and points: a ring around a point
// and a connector's horizontal tail reach past them, and the picture keeps 20
// white pixels beyond the outermost inked pixel on every side (a few more
// where a wide stroke ends square, as the extent allows for round ends).
TEST(Cli, ExportCoversEverythingDrawnWithTheMargin) {
    const std::string dir = tempDir();
    ZN_ShapeManager page;
    auto* point = new ZN_NPoint();
    point->setCoord(ZVector2(30, 30));
    point->setPointSize(40);
    page.addShape(point);
    auto* line = new ZN_NLine();
    line->pushPointBack(ZVector2(60, 60));
    line->pushPointBack(ZVector2(200, 140));
    line->setbOffsetH(1);
    line->setOffsetH(80);
    line->setLineWide(4);
    page.addShape(line);
    const std::string file = dir + "/edge.tvx";
    ASSERT_TRUE(writeTvxFile(file, {{"页1", 0, &page}}));
    const CliRun r = run({"--export-png", dir + "/edge.png", file});
    ASSERT_EQ(r.status, 0) << r.err;
    const QImage image(QString::fromStdString(dir + "/edge.png"));
    ASSERT_FALSE(image.isNull());

    int minX = image.width(), minY = image.height(), maxX = -1, maxY = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != QColor(Qt::white)) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    // Ring from -10 to 70, tail to 280: about 292 x 152 inked pixels.
    EXPECT_GT(maxX - minX, 285);
    EXPECT_GT(maxY - minY, 145);
    for (const int margin : {minX, minY, image.width() - 1 - maxX, image.height() - 1 - maxY}) {
        EXPECT_GE(margin, 20);
        EXPECT_LE(margin, 23);
    }
}

TEST(Cli, HiddenShapesDoNotWidenThePicture) {
    ZN_ShapeManager page;
    addRect(page, 10, 20, 30, 40);
    addRect(page, 5000, 5000, 5100, 5100)->setShow(false);
    const CanvasBounds b = visibleBounds(page);
    EXPECT_FALSE(b.empty);
    EXPECT_EQ(b.minX, 8.0f) << "half the 2-pixel frame and a pixel of smoothing";
    EXPECT_EQ(b.maxY, 42.0f);
    ZN_ShapeManager empty;
    EXPECT_TRUE(visibleBounds(empty).empty);
}
