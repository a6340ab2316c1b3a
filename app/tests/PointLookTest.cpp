// Exported points look as the screen draws them: a ring one device pixel
// wide that smoothing leaves grey, at every zoom, with its fold sign.

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>

#include <ZHeadlessGL.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_Scene.h>
#include <sarvik/ZN_ShapeManager.h>

#include "TestSupport.h"
#include "document/PageExport.h"

namespace {

// How much ink the page holds, in fully black pixels.
double ink(const QImage& image) {
    double sum = 0.0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += (255 - qGray(image.pixel(x, y))) / 255.0;
    return sum;
}

// The page as the editor's view draws it at `zoom`.
QImage screen(const ExportPage& page, float zoom) {
    std::string error;
    const int w = static_cast<int>(page.size.width() * zoom);
    const int h = static_cast<int>(page.size.height() * zoom);
    auto gl = ZHeadlessGL::create(w, h, &error);
    EXPECT_TRUE(gl) << error;
    if (!gl)
        return {};
    const ZVector2 old = getScallPosition();
    setScallPosition(ZVector2(page.left, page.top));
    ZN_Scene scene;
    scene.setShapeManager(page.page.get());
    scene.init(gl.get());
    scene.setZoom(zoom);
    scene.resize(w, h);
    scene.makeCurrent();
    scene.render();
    scene.releaseCurrent();
    setScallPosition(old);
    const std::vector<std::uint8_t> rgba = gl->readPixels();
    return QImage(rgba.data(), w, h, w * 4, QImage::Format_RGBA8888).copy();
}

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
        const double want = ink(screen(p.page, 1.0f));
        ASSERT_GT(want, 10.0) << what;

        const QString svg = dir + "/point.svg", svgPng = dir + "/svg.png";
        QFile out(svg);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(pageSvg(p.recorded));
        out.close();
        expectInkLike(ink(rendered("rsvg-convert", {"-b", "white", "-o", svgPng, svg}, svgPng)),
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
        expectInkLike(ink(page), want, what + ", PDF");
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
            expectInkLike(ink(pageImage(p.recorded, zoom)), ink(screen(p.page, zoom)), what);
        }
    }
}
