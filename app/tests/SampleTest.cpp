// The template maps: they load, convert to identical bytes, and the exported
// picture shows what the editor's view shows.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include <QImage>
#include <QScrollBar>
#include <QTest>

#include "TestSupport.h"
#include "cli/TavloCli.h"
#include "document/CTavloDoc.h"
#include "document/PageBounds.h"
#include "document/TvxContainer.h"
#include "folder/CFolderFrame.h"
#include "frames/CChildFrame.h"
#include "frames/CMainFrame.h"
#include "view/CTavloView.h"

namespace {

std::vector<std::string> samples() {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(TAVLO_SAMPLES_DIR)) {
        if (entry.path().extension() == ".tvx")
            files.push_back(entry.path().string());
    }
    return files;
}

int cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    return runCommandLine(args, out, err);
}

} // namespace

TEST(Samples, ConvertReproducesEveryByte) {
    const auto files = samples();
    ASSERT_GE(files.size(), 2u);
    const std::string dir = tempDir();
    for (const std::string& file : files) {
        TvxDocument doc;
        ASSERT_EQ(readTvxFile(file, doc), TvxStatus::Ok) << file;
        EXPECT_GE(doc.pages.size(), 2u) << file;
        ASSERT_EQ(cli({"--convert", file, dir + "/copy.tvx"}), 0) << file;
        EXPECT_EQ(readBytes(dir + "/copy.tvx"), readBytes(file)) << file;
    }
}

TEST(Samples, ExportedPageMatchesTheEditorView) {
    testApp();
    const std::string file = std::string(TAVLO_SAMPLES_DIR) + "/project-plan.tvx";
    const std::string png = tempDir() + "/page.png";
    ASSERT_EQ(cli({"--export-png", png, file}), 0);
    const QImage exported = QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(exported.isNull());

    CMainFrame frame;
    frame.resize(1200, 900);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    CChildFrame* child = frame.openDocumentFile(QString::fromStdString(file));
    ASSERT_NE(child, nullptr);
    QCoreApplication::processEvents();
    CTavloView* view = child->view();
    // Scroll so that the view's corner is where the exported picture starts.
    const CanvasBounds b = visibleBounds(*view->getCurrentPage());
    view->scrollTo(QPoint(static_cast<int>(std::floor(b.minX)) - 20,
                          static_cast<int>(std::floor(b.minY)) - 20));
    ASSERT_GE(view->width(), exported.width());
    ASSERT_GE(view->height(), exported.height());
    const QImage shown = view->grabFramebuffer().convertToFormat(QImage::Format_RGB32);

    int differing = 0;
    for (int y = 0; y < exported.height(); ++y) {
        for (int x = 0; x < exported.width(); ++x) {
            if (exported.pixel(x, y) != shown.pixel(x, y))
                ++differing;
        }
    }
    // The same scene code draws both; allow a few edge pixels of smoothing.
    EXPECT_LT(differing, exported.width() * exported.height() / 200) << differing;
    child->document()->SetModifiedFlag(false);
}
