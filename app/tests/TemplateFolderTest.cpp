// Where "打开模板" starts, in a build tree and in installed trees.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "frames/TemplateFolder.h"

namespace {

class TemplateFolderTest : public ::testing::Test {
protected:
    QString path(const QString& relative) const { return QDir(root_.path()).filePath(relative); }
    void makeDir(const QString& relative) const { ASSERT_TRUE(QDir().mkpath(path(relative))); }

    QTemporaryDir root_;
};

TEST_F(TemplateFolderTest, BuildTreeUsesSamplesBesideTheProgram) {
    makeDir("bin/samples");
    makeDir("share/tavlo/samples");
    EXPECT_EQ(templateFolderFor(path("bin")), path("bin/samples") + '/');
}

TEST_F(TemplateFolderTest, InstalledTreeUsesShareUnderAnyPrefix) {
    makeDir("opt/x/bin");
    makeDir("opt/x/share/tavlo/samples");
    // The answer is a clean path, without the "../" that led to it.
    EXPECT_EQ(templateFolderFor(path("opt/x/bin")), path("opt/x/share/tavlo/samples") + '/');
}

TEST_F(TemplateFolderTest, NeitherPresentFallsBackBesideTheProgram) {
    makeDir("bin");
    EXPECT_EQ(templateFolderFor(path("bin")), path("bin/samples") + '/');
}

TEST_F(TemplateFolderTest, AFileNamedSamplesIsNotTheFolder) {
    makeDir("bin");
    makeDir("share/tavlo/samples");
    QFile file(path("bin/samples"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(templateFolderFor(path("bin")), path("share/tavlo/samples") + '/');
}

} // namespace
