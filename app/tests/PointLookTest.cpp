// Exported points look as the screen draws them: a ring one device pixel
// wide that smoothing leaves grey, at every zoom, with its fold sign.

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>

#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_ShapeManager.h>

#include "ScreenImage.h"
#include "TestSupport.h"

namespace {

// A PNG made by an outside tool (a viewer's renderer) from `input`.
QImage rendered(const QString& tool, const QStringList& args, const QString& png) {
    QProcess p;
    p.start(tool, args);
    EXPECT_TRUE(p.waitForFinished(60000)) << tool.toStdString();
    EXPECT_EQ(p.exitCode(), 0) << tool.toStdString() << ": "
                               << p.readAllStandardError().toStdString();
    QImage image(png);
    EXPECT_FALSE(image.isNull()) << png.toStdString();
    return image;
}

struct PointPage {
    ZN_ShapeManager source;
    ExportPage page;
    RecordedPage recorded;
    explicit PointPage(int state) {
        auto* point = new ZN_NPoint();
        point->setCoord(ZVector2(60.3f, 40.7f));
        point->setStateType(state);
        source.addShape(point);
        page = prepareExportPage(source, false);
        QString error;
        EXPECT_TRUE(recordPage(page, false, &recorded, &error)) << error.toStdString();
    }
};

// Within a quarter of the screen's ink: a black one-pixel ring has twice it.
void expectInkLike(double got, double want, const std::string& what) {
    EXPECT_NEAR(got, want, want * 0.25) << what << ": " << got << " against the screen's " << want;
}

} // namespace

// The screen's smoothed ring inks about half of a one-pixel line; SVG and PDF
// opened in a viewer at their own size show the same grey ring and signs.
TEST(PointLook, VectorExportsInkAsMuchAsTheScreen) {
    testApp();
    const QString dir = QString::fromStdString(tempDir());
    for (const int state : {0, 1, 2}) {
        const PointPage p(state);
        const std::string what = "state " + std::to_string(state);
        const double want = inkOf(screenImage(p.page, 1.0f));
        ASSERT_GT(want, 10.0) << what;

        const QString svg = dir + "/point.svg", svgPng = dir + "/svg.png";
        QFile out(svg);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(pageSvg(p.recorded));
        out.close();
        expectInkLike(inkOf(rendered("rsvg-convert", {"-b", "white", "-o", svgPng, svg}, svgPng)),
                      want, what + ", SVG");

        QByteArray bytes;
        QString error;
        ASSERT_TRUE(pdfDocument({p.recorded}, "points", &bytes, &error)) << error.toStdString();
        QFile pdf(dir + "/point.pdf");
        ASSERT_TRUE(pdf.open(QIODevice::WriteOnly));
        pdf.write(bytes);
        pdf.close();
        const QString stem = dir + "/pdf";
        const QImage page = rendered("pdftoppm", {"-png", "-singlefile", "-r", "72", pdf.fileName(), stem},
                                     stem + ".png");
        expectInkLike(inkOf(page), want, what + ", PDF");
    }
}

// The editor's image export at 200 % and 300 % keeps the ring and the sign
// one pixel wide, as the zoomed screen does.
TEST(PointLook, ScaledImageExportsKeepTheScreensLineWidth) {
    testApp();
    for (const int state : {0, 2}) {
        const PointPage p(state);
        for (const float zoom : {1.0f, 2.0f, 3.0f}) {
            const std::string what =
                "state " + std::to_string(state) + " at " + std::to_string(int(zoom * 100)) + " %";
            expectInkLike(inkOf(pageImage(p.recorded, zoom)), inkOf(screenImage(p.page, zoom)), what);
        }
    }
}
