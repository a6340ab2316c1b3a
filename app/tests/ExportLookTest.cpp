// Exported pages look like the screen: bold made from a regular face stays
// bold at every scale, and texts in SVG and PDF span what the screen's do.

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>

#include "ScreenImage.h"
#include "TestSupport.h"
#include "document/PageExport.h"
#include "document/TvxContainer.h"

namespace {

// A free text of one line in the rectangle (20, 20)..(620, 80).
ZN_SText* addText(ZN_ShapeManager& page, const char* text, const char* family, int weight,
                  int align) {
    auto* t = new ZN_SText();
    t->setRect(ZVector2(20, 20), ZVector2(620, 80));
    t->setTextAlignType(align);
    t->setText(text);
    LOGFONTA font = t->getFont();
    font.lfHeight = -40;
    font.lfWeight = weight;
    std::memset(font.lfFaceName, 0, sizeof font.lfFaceName);
    std::strncpy(font.lfFaceName, family, LF_FACESIZE - 1);
    t->setFont(font);
    page.addShape(t);
    return t;
}

RecordedPage record(ZN_ShapeManager& page) {
    RecordedPage recorded;
    QString error;
    EXPECT_TRUE(recordPage(prepareExportPage(page, false), false, &recorded, &error))
        << error.toStdString();
    return recorded;
}

struct Columns {
    int left = INT_MAX, right = INT_MIN;
};
Columns inkColumns(const QImage& image) {
    Columns c;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                c.left = std::min(c.left, x);
                c.right = std::max(c.right, x);
            }
    return c;
}

} // namespace

// The bold of a face without one is made by thickening; the editor's image
// exports must thicken as much as the screen does at the same zoom, for the
// sample's free text and for a large line.
TEST(ExportLook, BoldMadeFromARegularFaceStaysBoldAtEveryScale) {
    testApp();
    TvxDocument sample;
    ASSERT_EQ(readTvxFile(TAVLO_SAMPLES_DIR "/shapes-and-tables.tvx", sample), TvxStatus::Ok);
    ZN_ShapeManager sampleRegular, sampleBold, largeRegular, largeBold;
    for (ZN_ShapeBase* shape : sample.pages.front().manager->getShapeList())
        if (shape->type() == 5) {
            auto* text = static_cast<ZN_SText*>(shape->clone());
            ASSERT_GE(text->getFont().lfWeight, FW_BOLD) << "the sample's free text is bold";
            sampleBold.addShape(text);
            text = static_cast<ZN_SText*>(shape->clone());
            LOGFONTA font = text->getFont();
            font.lfWeight = FW_NORMAL;
            text->setFont(font);
            sampleRegular.addShape(text);
        }
    addText(largeRegular, "粗体文字 Bold", "WenQuanYi Zen Hei", FW_NORMAL, 1);
    addText(largeBold, "粗体文字 Bold", "WenQuanYi Zen Hei", FW_BOLD, 1);

    const std::pair<ZN_ShapeManager*, ZN_ShapeManager*> pairs[] = {
        {&sampleRegular, &sampleBold}, {&largeRegular, &largeBold}};
    for (const auto& [regular, bold] : pairs) {
        const ExportPage plain = prepareExportPage(*regular, false);
        const ExportPage heavy = prepareExportPage(*bold, false);
        const RecordedPage plainRecord = record(*regular);
        const RecordedPage heavyRecord = record(*bold);
        for (const float zoom : {1.0f, 2.0f, 3.0f}) {
            const double screen =
                inkOf(screenImage(heavy, zoom)) - inkOf(screenImage(plain, zoom));
            const double exported =
                inkOf(pageImage(heavyRecord, zoom)) - inkOf(pageImage(plainRecord, zoom));
            ASSERT_GT(screen, 0.0);
            EXPECT_NEAR(exported, screen, screen * 0.3)
                << "ink the bold adds at " << zoom * 100 << " %, the screen's " << screen;
        }
    }
}

// The texts of SVG and PDF exports are set in the same font as the screen's,
// smoothed; their lines must start and end where the screen's do.
TEST(ExportLook, VectorTextsSpanWhatTheScreenShows) {
    testApp();
    const std::string dir = tempDir();
    for (const int align : {0, 1, 2}) {
        ZN_ShapeManager page;
        addText(page, "The quick brown fox jumps over the lazy dog", "DejaVu Sans", FW_NORMAL,
                align);
        const std::string file = dir + "/text.tvx";
        ASSERT_TRUE(writeTvxFile(file, {{"页1", 0, &page}}));
        ASSERT_EQ(runCli({"--export-png", dir + "/text.png", file}).status, 0);
        const QImage screen(QString::fromStdString(dir + "/text.png"));
        const RecordedPage recorded = record(page);

        QSvgRenderer svg(pageSvg(recorded));
        ASSERT_TRUE(svg.isValid());
        QImage drawn(screen.size(), QImage::Format_RGB32);
        drawn.fill(Qt::white);
        QPainter painter(&drawn);
        svg.render(&painter);
        painter.end();

        const Columns want = inkColumns(screen);
        const Columns gotSvg = inkColumns(drawn);
        const Columns gotPdf = inkColumns(pageImage(recorded, 1.0));
        ASSERT_LT(want.left, want.right);
        // Qt SVG ignores letter-spacing and textLength: only the start is
        // checked there, and the length asked for.
        EXPECT_NEAR(gotSvg.left, want.left, 3) << "SVG, alignment " << align;
        EXPECT_TRUE(QString::fromUtf8(pageSvg(recorded)).contains("textLength=\""))
            << "SVG, alignment " << align;
        EXPECT_NEAR(gotPdf.left, want.left, 3) << "PDF, alignment " << align;
        EXPECT_NEAR(gotPdf.right, want.right, 3) << "PDF, alignment " << align;
    }
}
