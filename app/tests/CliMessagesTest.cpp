// What the command line and the editor say when an argument or a file is
// wrong: one English line on the command line, naming the file and the cause.

#include <gtest/gtest.h>

#include <algorithm>

#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZMessage.h>

#include "TestSupport.h"
#include "WindowFixture.h"
#include "cli/TavloCli.h"
#include "document/TvxContainer.h"

namespace {

std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

bool plainAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

TEST(CommandLineMessages, WrongArgumentsAreRefusedAlike) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> wrong = {
        {{"--bogus"}, "Tavlo: unknown option 'bogus'"},
        {{"--export-png", "a.png", "--page", "1", "--page", "2", "in.tvx"},
         "Tavlo: --page is given more than once"},
        {{"--help", "stray"}, "Tavlo: unexpected argument 'stray'"},
        {{"--version", "stray"}, "Tavlo: unexpected argument 'stray'"},
        {{"--export-png", "a.jpg", "in.tvx"}, "Tavlo: --export-png writes .png files, not 'a.jpg'"},
        {{"--export-svg", "a.PNG", "in.tvx"}, "Tavlo: --export-svg writes .svg files, not 'a.PNG'"},
        {{"--export-pdf", "a.svg", "in.tvx"}, "Tavlo: --export-pdf writes .pdf files, not 'a.svg'"},
        {{"--convert", "in.tvx", "out.png"},
         "Tavlo: --convert writes .tvx, .mm, .xmind, .opml, .md, .txt, .km, .mmd, .puml files, "
         "not 'out.png'"},
    };
    for (const auto& [args, message] : wrong) {
        const CliRun r = runCli(args);
        EXPECT_EQ(r.status, 2) << message;
        EXPECT_EQ(firstLine(r.err), message);
    }
    // Upper-case suffixes and names without one (devices, /dev/stdout) are fine.
    EXPECT_EQ(parseCommandLine({"--export-png", "A.PNG", "in.tvx"}).action,
              CommandLine::Action::ExportPng);
    EXPECT_EQ(parseCommandLine({"--export-svg", "/dev/stdout", "in.tvx"}).action,
              CommandLine::Action::ExportSvg);
}

TEST(CommandLineMessages, FileProblemsNameTheFileAndTheCauseInEnglish) {
    const std::string dir = tempDir();
    writeBytes(dir + "/bad.tvx", Bytes().i32(8).raw("tvx").i32(2).i32(0).data);
    writeBytes(dir + "/other.tvx", Bytes().i32(8).raw("zip").data);
    ZN_ShapeManager page;
    addRect(page, 0, 0, 40, 40);
    ASSERT_TRUE(writeTvxFile(dir + "/good.tvx", {{"页1", 0, &page}}));
    writeBytes(dir + "/file", {1});
    const std::vector<std::pair<std::vector<std::string>, std::string>> failing = {
        {{"--info", dir + "/missing.tvx"},
         "Tavlo: cannot open " + dir + "/missing.tvx: No such file or directory"},
        {{"--info", dir}, "Tavlo: cannot open " + dir + ": not a regular file"},
        {{"--convert", dir + "/bad.tvx", dir + "/out.tvx"},
         "Tavlo: " + dir + "/bad.tvx: the document is damaged"},
        {{"--convert", dir + "/other.tvx", dir + "/out.tvx"},
         "Tavlo: " + dir + "/other.tvx: not a Tavlo document"},
        {{"--convert", dir + "/good.tvx", dir + "/file/out.tvx"},
         "Tavlo: cannot write " + dir + "/file/out.tvx: Not a directory"},
        {{"--export-png", dir + "/file/out.png", dir + "/good.tvx"},
         "Tavlo: cannot write " + dir + "/file/out.png: Not a directory"},
        {{"--export-pdf", dir + "/file/out.pdf", dir + "/good.tvx"},
         "Tavlo: cannot write " + dir + "/file/out.pdf: Not a directory"},
    };
    for (const auto& [args, message] : failing) {
        const CliRun r = runCli(args);
        EXPECT_EQ(r.status, 2) << message;
        EXPECT_EQ(r.err, message + "\n");
        EXPECT_TRUE(plainAscii(r.err)) << r.err;
    }
}

TEST_F(MainWindowFixture, AFileThatCannotBeOpenedIsNamed) {
    EXPECT_EQ(frame->openDocumentFile("/no/such/file.tvx"), nullptr);
    EXPECT_NE(ZLastMessageText().find("/no/such/file.tvx"), std::string::npos)
        << ZLastMessageText();
    EXPECT_EQ(firstLine(ZLastMessageText()), "无法打开文件");
}
