// --convert between .tvx and other programs' maps.

#include <gtest/gtest.h>

#include <QFile>

#include "TestSupport.h"
#include "document/TvxContainer.h"
#include "interchange/Interchange.h"

namespace {

std::string data(const std::string& name) {
    return std::string(TAVLO_INTERCHANGE_DATA) + "/" + name;
}

bool exists(const std::string& path) { return QFile::exists(QString::fromStdString(path)); }

interchange::MapDocument readBack(const std::string& path) {
    QFile file(QString::fromStdString(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    interchange::MapDocument doc;
    interchange::ReadError error;
    EXPECT_TRUE(interchange::readMap(file.readAll(), interchange::formatOfPath(path), doc, error))
        << error.reason;
    return doc;
}

} // namespace

TEST(MapConvert, FreeMindToTvxAndBackSaysWhatWasLeftOut) {
    const std::string dir = tempDir();
    const CliRun in = runCli({"--convert", data("freemind08-html.mm"), dir + "/map.tvx"});
    ASSERT_EQ(in.status, 0) << in.err;
    EXPECT_EQ(in.out, "已导入 6 个节点；未导入：1 个链接\n"); // an arrow to no node
    TvxDocument doc;
    ASSERT_EQ(readTvxFile(dir + "/map.tvx", doc), TvxStatus::Ok);
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_EQ(doc.pages[0].name, "页1");

    const CliRun out = runCli({"--convert", dir + "/map.tvx", dir + "/again.mm"});
    ASSERT_EQ(out.status, 0) << out.err;
    EXPECT_EQ(out.out, "已导出 6 个节点\n");
    const interchange::MapDocument back = readBack(dir + "/again.mm");
    EXPECT_EQ(back.nodeCount(), 6);
    EXPECT_EQ(back.sheets.at(0).links.size(), 1u);
}

TEST(MapConvert, PagesOfAWorkbookAndEveryWritableKind) {
    const std::string dir = tempDir();
    ASSERT_EQ(runCli({"--convert", data("two-sheets.xmind"), dir + "/book.tvx"}).status, 0);
    TvxDocument doc;
    ASSERT_EQ(readTvxFile(dir + "/book.tvx", doc), TvxStatus::Ok);
    ASSERT_EQ(doc.pages.size(), 2u);
    EXPECT_EQ(doc.pages[1].name, "Second sheet");
    EXPECT_EQ(doc.pages[1].customName, 1);
    for (const char* ext : {".opml", ".md", ".txt", ".mm"}) {
        const std::string out = dir + "/second" + ext;
        const CliRun r = runCli({"--convert", dir + "/book.tvx", out, "--page", "2"});
        ASSERT_EQ(r.status, 0) << r.err;
        const interchange::MapDocument back = readBack(out);
        EXPECT_EQ(back.nodeCount(), 3) << ext;
    }
}

TEST(MapConvert, FailuresSayOneLineAndWriteNothing) {
    const std::string dir = tempDir();
    const std::vector<std::vector<std::string>> bad = {
        {"--convert", data("broken.mm"), dir + "/out.tvx"},
        {"--convert", data("inflation-bomb.xmind"), dir + "/out.tvx"},
        {"--convert", data("map.md"), dir + "/out.png"},
        {"--convert", data("map.md"), dir + "/out.tvx", "--page", "1"},
        {"--convert", dir + "/missing.mm", dir + "/out.opml"},
        {"--convert", data("map.md"), dir + "/out.opml", "--page", "2"},
    };
    for (const auto& args : bad) {
        const CliRun r = runCli(args);
        EXPECT_EQ(r.status, 2) << args[1];
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_FALSE(exists(dir + "/out.tvx") || exists(dir + "/out.opml") ||
                     exists(dir + "/out.xmind"));
    }
    const CliRun broken = runCli({"--convert", data("broken.mm"), dir + "/out.tvx"});
    EXPECT_NE(broken.err.find("broken.mm: line 5: "), std::string::npos) << broken.err;
}
