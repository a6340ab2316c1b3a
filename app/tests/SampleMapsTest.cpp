// The template maps through every map format: each page's trees written and
// read back are the same trees, as far as the format holds them, and become
// pages whose trees are those again; a workbook holds every page.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include <sarvik/ZN_ShapeManager.h>

#include "TestSupport.h"
#include "cli/TavloCli.h"
#include "document/TvxContainer.h"
#include "interchange/MapPage.h"
#include "interchange/RoundTripSupport.h"

using namespace interchange;

namespace {

std::vector<std::string> sampleFiles() {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(TAVLO_SAMPLES_DIR))
        if (entry.path().extension() == ".tvx")
            files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

TEST(SampleMaps, EveryPageThroughEveryFormatReadsBackAsTheSameTrees) {
    const auto files = sampleFiles();
    ASSERT_GE(files.size(), 2u);
    for (const std::string& file : files) {
        TvxDocument doc;
        ASSERT_EQ(readTvxFile(file, doc), TvxStatus::Ok) << file;
        for (const TvxPage& page : doc.pages) {
            Skipped skipped;
            const MapSheet trees = pageTrees(*page.manager, page.name, skipped);
            for (Format format : ictest::writableFormats()) {
                const std::string where = file + " " + page.name + " " + ictest::formatName(format);
                MapDocument back;
                ReadError error;
                ASSERT_TRUE(readMap(writeMap(trees, format), format, back, error))
                    << where << ": " << error.reason;
                ASSERT_EQ(back.sheets.size(), 1u) << where;
                EXPECT_EQ(ictest::describe(back.sheets[0], format), ictest::describe(trees, format))
                    << where;
                // And as a page again: the same trees once more.
                const Imported imported = pagesOf(back);
                Skipped again;
                const MapSheet reread = pageTrees(*imported.pages.at(0).page, page.name, again);
                EXPECT_EQ(ictest::describe(reread, Format::Text), ictest::describe(back.sheets[0], Format::Text))
                    << where;
            }
        }
    }
}

TEST(SampleMaps, AWorkbookHoldsEveryPageAsASheetNamedAfterIt) {
    const std::string file = sampleFiles().front();
    TvxDocument doc;
    ASSERT_EQ(readTvxFile(file, doc), TvxStatus::Ok);
    const std::string dir = tempDir();
    std::ostringstream out, err;
    ASSERT_EQ(runCommandLine({"--convert", file, dir + "/all.xmind"}, out, err), 0) << err.str();
    ASSERT_EQ(runCommandLine({"--convert", dir + "/all.xmind", dir + "/back.tvx"}, out, err), 0)
        << err.str();
    TvxDocument back;
    ASSERT_EQ(readTvxFile(dir + "/back.tvx", back), TvxStatus::Ok);
    ASSERT_EQ(back.pages.size(), doc.pages.size());
    for (std::size_t i = 0; i < doc.pages.size(); ++i) {
        EXPECT_EQ(back.pages[i].name, doc.pages[i].name);
        Skipped a, b;
        EXPECT_EQ(ictest::describe(pageTrees(*back.pages[i].manager, "", b), Format::XMind),
                  ictest::describe(pageTrees(*doc.pages[i].manager, "", a), Format::XMind));
    }
    // With --page, the one page alone.
    ASSERT_EQ(runCommandLine({"--convert", file, dir + "/one.xmind", "--page", "2"}, out, err), 0);
    MapDocument one;
    ReadError error;
    ASSERT_TRUE(readMap(QByteArray::fromStdString([&] {
                            const auto bytes = readBytes(dir + "/one.xmind");
                            return std::string(bytes.begin(), bytes.end());
                        }()),
                        Format::XMind, one, error));
    ASSERT_EQ(one.sheets.size(), 1u);
    EXPECT_EQ(one.sheets[0].title, doc.pages[1].name);
}
