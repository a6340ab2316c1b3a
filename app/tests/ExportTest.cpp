// Export as SVG, PDF and PNG from the command line and from 文件 > 导出...:
// real text, the same drawing as the PNG export, one PDF page per page, and
// nothing written when an export fails or is cancelled.

#include <gtest/gtest.h>

#include <sstream>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QSvgRenderer>
#include <QXmlStreamReader>

#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_NRectVariants.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>

#include "CommandFixture.h"
#include "TestSupport.h"
#include "cli/TavloCli.h"
#include "commands/CommandIds.h"
#include "commands/ExportCommands.h"
#include "dialogs/CDlgExport.h"
#include "document/PageExport.h"
#include "document/TvxContainer.h"
#include "frames/CTavloApp.h"

namespace {

CliRun run(const std::vector<std::string>& args) {
    return runCli(args);
}

bool exists(const QString& path) {
    return QFile::exists(path);
}

void label(ZN_NRect* box, const char* text, int align = 0) {
    auto* l = new ZN_SText();
    l->setTextAlignType(align);
    l->setText(text);
    l->setFont(l->getFont());
    l->setHost(box);
    box->setLabel(l);
    box->resetLabelPosition();
}

// Page 1: labelled boxes (a gradient, an ellipse, a two-line label), a
// connector with an arrow and a tail, and a tree point. Page 2: one box.
std::string sampleFile(const std::string& dir) {
    ZN_ShapeManager first, second;
    ZN_NRect* a = addRect(first, 40, 40, 200, 100);
    a->setFillColor(ZVector3(1.0f, 0.9f, 0.6f));
    a->setGradualColor(ZVector3(0.2f, 0.5f, 1.0f));
    a->setGradualType(3);
    label(a, "Alpha 甲乙");
    auto* b = new ZN_NEllipse();
    b->setPoint1(ZVector2(320, 160));
    b->setPoint2(ZVector2(480, 240));
    b->setFillColor(ZVector3(0.8f, 1.0f, 0.8f));
    b->setLineWide(3);
    first.addShape(b);
    label(b, "Beta\n第二行", 1);
    auto* line = new ZN_NLine();
    line->pushPointBack(ZVector2(200, 70));
    line->pushPointBack(ZVector2(260, 200));
    line->pushPointBack(ZVector2(320, 200));
    line->setStrightType(1);
    line->setLineWide(3);
    line->setArrowType(1);
    line->setArrowSize(20);
    first.addShape(line);
    auto* point = new ZN_NPoint();
    point->setCoord(ZVector2(120, 200));
    point->setPointSize(12);
    point->setStateType(2);
    first.addShape(point);
    label(addRect(second, 0, 0, 300, 60), "第二页 Gamma");
    const std::string path = dir + "/sample.tvx";
    EXPECT_TRUE(writeTvxFile(path, {{"页1", 0, &first}, {"页2", 0, &second}}));
    return path;
}

QString readAll(const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

// Runs one of poppler's tools; its standard output.
QString poppler(const QString& tool, const QStringList& args) {
    QProcess p;
    p.start(tool, args);
    EXPECT_TRUE(p.waitForFinished(60000)) << tool.toStdString();
    EXPECT_EQ(p.exitCode(), 0) << tool.toStdString() << ": "
                               << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

TEST(CommandLine, HelpVersionAndWrongArguments) {
    const CliRun help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--info", "--convert", "--export-png", "--export-svg",
                               "--export-pdf", "--page", "--version"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    EXPECT_EQ(run({"-h"}).out, help.out);

    const CliRun version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("Tavlo ") + TAVLO_VERSION + "\n");

    // Each names what is wrong, then points to --help.
    const std::vector<std::pair<std::vector<std::string>, std::string>> wrong = {
        {{"--frobnicate"}, "frobnicate"},
        {{"--export-svg"}, "export-svg"},
        {{"--export-pdf", "out.pdf"}, "input file"},
        {{"--export-svg", "a.svg", "--page", "0", "in.tvx"}, "--page"},
        {{"--info", "a.tvx", "--export-png", "b.png"}, "one operation"},
        {{"--page", "2", "map.tvx"}, "--page"},
        {{"a.tvx", "b.tvx"}, "one file"},
    };
    for (const auto& [args, named] : wrong) {
        const CliRun r = run(args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_NE(r.err.find(named), std::string::npos) << r.err;
    }

    EXPECT_EQ(parseCommandLine({}).action, CommandLine::Action::Editor);
    const CommandLine editor = parseCommandLine({"-platform", "offscreen", "map.tvx"});
    EXPECT_EQ(editor.action, CommandLine::Action::Editor);
    EXPECT_EQ(editor.input, "map.tvx");
    EXPECT_EQ(editor.platform, "offscreen");
}

// The program itself: no abort in Qt's platform plugin without a display.
TEST(CommandLine, TheProgramWithoutADisplay) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    auto launch = [&](const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(TAVLO_BINARY, args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return std::make_tuple(p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                               QString::fromUtf8(p.readAllStandardOutput()),
                               QString::fromUtf8(p.readAllStandardError()));
    };
    const auto [helpStatus, helpOut, helpErr] = launch({"--help"});
    EXPECT_EQ(helpStatus, 0) << helpErr.toStdString();
    EXPECT_TRUE(helpOut.contains("--export-pdf"));

    const auto [status, out, err] = launch({});
    EXPECT_EQ(status, 2) << "crashed or aborted instead of saying so";
    EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
    EXPECT_TRUE(err.contains("display")) << err.toStdString();

    // Export needs no display either, and says nothing when it succeeds.
    const std::string dir = tempDir();
    const QString pdf = QString::fromStdString(dir + "/nodisplay.pdf");
    const auto [pdfStatus, pdfOut, pdfErr] =
        launch({"--export-pdf", pdf, QString::fromStdString(sampleFile(dir))});
    EXPECT_EQ(pdfStatus, 0) << pdfErr.toStdString();
    EXPECT_TRUE(pdfErr.isEmpty()) << pdfErr.toStdString();
    EXPECT_TRUE(poppler("pdftotext", {pdf, "-"}).contains("Alpha 甲乙"));

    std::string why;
    EXPECT_TRUE(displayAvailable("offscreen", &why));
}

TEST(VectorExport, SvgHoldsRealTextAndMatchesThePngExport) {
    testApp(); // Qt SVG lays out the texts it draws through Qt's fonts
    const std::string dir = tempDir();
    const std::string file = sampleFile(dir);
    ASSERT_EQ(run({"--export-svg", dir + "/page.svg", file}).status, 0);
    ASSERT_EQ(run({"--export-png", dir + "/page.png", file}).status, 0);

    const QString svg = readAll(dir + "/page.svg");
    QXmlStreamReader xml(svg);
    QStringList texts;
    int paths = 0, gradients = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"text")
            texts << xml.readElementText();
        if (xml.isStartElement() && xml.name() == u"path")
            ++paths;
        if (xml.isStartElement() && xml.name() == u"linearGradient")
            ++gradients;
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(texts, QStringList({"Alpha 甲乙", "Beta", "第二行"}));
    EXPECT_GT(paths, 4) << "shapes are vector paths";
    EXPECT_GE(gradients, 1) << "the gradient stays a gradient";
    EXPECT_FALSE(svg.contains("<image")) << "no picture on this page";

    // Drawn by Qt SVG, the page differs from the PNG export only along edges
    // and in the glyphs (smoothed outlines against one-bit bitmaps).
    const QImage png(QString::fromStdString(dir + "/page.png"));
    QSvgRenderer renderer(svg.toUtf8());
    ASSERT_TRUE(renderer.isValid());
    QImage drawn(renderer.defaultSize(), QImage::Format_RGB888);
    drawn.fill(Qt::black);
    QPainter painter(&drawn);
    renderer.render(&painter);
    painter.end();
    ASSERT_EQ(drawn.size(), png.size());
    const QImage reference = png.convertToFormat(QImage::Format_RGB888);
    int differing = 0;
    for (int y = 0; y < png.height(); ++y)
        for (int x = 0; x < png.width(); ++x) {
            const QColor p = reference.pixelColor(x, y), q = drawn.pixelColor(x, y);
            if (std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) +
                    std::abs(p.blue() - q.blue()) >
                96)
                ++differing;
        }
    const double fraction = static_cast<double>(differing) / (png.width() * png.height());
    EXPECT_LT(fraction, 0.05) << differing << " of " << png.width() * png.height();
}

TEST(VectorExport, PdfHasOnePagePerPageWithSearchableText) {
    const std::string dir = tempDir();
    const std::string file = sampleFile(dir);
    const QString pdf = QString::fromStdString(dir + "/map.pdf");
    ASSERT_EQ(run({"--export-pdf", pdf.toStdString(), file}).status, 0);

    const QString info = poppler("pdfinfo", {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+2\\n"))) << info.toStdString();
    const QString text = poppler("pdftotext", {"-layout", pdf, "-"});
    for (const char* label : {"Alpha 甲乙", "Beta", "第二行", "第二页 Gamma"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(label)))
            << label << " in " << text.toStdString();

    // Page sizes: the shapes and their margins, one pixel a point.
    const QString sizes = poppler("pdfinfo", {"-f", "1", "-l", "2", pdf});
    ZN_ShapeManager probe;
    addRect(probe, 0, 0, 300, 60);
    const QSize second = prepareExportPage(probe, false).size;
    EXPECT_TRUE(sizes.contains(QRegularExpression(
        QString("Page +2 size: +%1 x %2 pts").arg(second.width()).arg(second.height()))))
        << sizes.toStdString();

    ASSERT_EQ(run({"--export-pdf", dir + "/one.pdf", "--page", "2", file}).status, 0);
    EXPECT_TRUE(poppler("pdfinfo", {QString::fromStdString(dir + "/one.pdf")})
                    .contains(QRegularExpression("Pages:\\s+1\\n")));
    const CliRun missing = run({"--export-pdf", dir + "/three.pdf", "--page", "3", file});
    EXPECT_EQ(missing.status, 2);
    EXPECT_FALSE(exists(QString::fromStdString(dir + "/three.pdf")));
}

TEST(VectorExport, ScaledAndTransparentPngs) {
    ZN_ShapeManager page;
    ZN_NRect* box = addRect(page, 0, 0, 100, 50);
    box->setFillColor(ZVector3(1, 0, 0));
    page.setBackColor(ZVector4(0, 0, 1, 1));
    const std::string dir = tempDir();
    const QString path = QString::fromStdString(dir + "/big.png");
    QString failure;
    ExportChoices c;
    c.scale = 300;
    c.transparent = true;
    ASSERT_TRUE(exportPage(
        page, c, path, [](int, int) { return true; }, &failure))
        << failure.toStdString();
    const QImage big(path);
    EXPECT_EQ(big.size(), prepareExportPage(page, false).size * 3);
    EXPECT_EQ(big.pixelColor(5, 5).alpha(), 0) << "no background";
    EXPECT_EQ(big.pixelColor(big.width() / 2, big.height() / 2), QColor(Qt::red));
}

TEST(VectorExport, SelectionOnlyAndPictures) {
    ZN_ShapeManager page;
    ZN_NRect* kept = addRect(page, 0, 0, 40, 40);
    const std::unique_ptr<ZImageTexture> picture(makePicture(200));
    kept->setImageData(picture.get());
    kept->setSelected(true);
    addRect(page, 500, 500, 600, 600);
    const ExportPage selection = prepareExportPage(page, true);
    EXPECT_EQ(selection.size, QSize(44 + 40, 44 + 40)) << "the far box is left out";
    RecordedPage recorded;
    QString error;
    ASSERT_TRUE(recordPage(selection, false, &recorded, &error)) << error.toStdString();
    const QByteArray svg = pageSvg(recorded);
    EXPECT_TRUE(svg.contains("<image")) << "the picture is embedded";
    EXPECT_FALSE(svg.contains("#808080")) << "no selection handles";
}

TEST(VectorExport, FailuresAndCancelLeaveNoFile) {
    ZN_ShapeManager page;
    addRect(page, 0, 0, 40, 40);
    const std::string dir = tempDir();
    QString failure;
    for (int format : {ExportChoices::Png, ExportChoices::Svg, ExportChoices::Pdf}) {
        ExportChoices c;
        c.format = format;
        const QString path = QString::fromStdString(dir) + "/cancel." + exportSuffix(format);
        for (int cancelAt = 1; cancelAt <= 3; ++cancelAt) {
            EXPECT_FALSE(exportPage(
                page, c, path, [&](int step, int) { return step < cancelAt; }, &failure));
            EXPECT_TRUE(failure.isEmpty()) << "a cancel is no failure";
            EXPECT_FALSE(exists(path)) << format << " cancelled at " << cancelAt;
        }
        // A "folder" that is a file cannot be written into, not even by root.
        const QString blocked = QString::fromStdString(dir) + "/blocked";
        writeBytes(blocked.toStdString(), {1, 2, 3});
        const QString inside = blocked + "/page." + exportSuffix(format);
        EXPECT_FALSE(exportPage(
            page, c, inside, [](int, int) { return true; }, &failure));
        EXPECT_TRUE(failure.startsWith("导出失败")) << failure.toStdString();
        EXPECT_EQ(readBytes(blocked.toStdString()), std::vector<std::uint8_t>({1, 2, 3}));
    }
}

namespace {

class ExportCommand : public CommandFixture {};

} // namespace

// The dialog remembers its choices and the folder; the chosen format is
// written where the save dialog said.
TEST_F(ExportCommand, DialogChoicesAndFolderAreKept) {
    storeExportChoices(ExportChoices());
    addRect(*page, 10, 10, 60, 40)->setSelected(true);
    view->addToSelection(page->getShapeList().back());
    const std::string dir = tempDir();
    const QString target = QString::fromStdString(dir) + "/chosen";
    QString started, warned;
    commandPrompts().warning = [&](QWidget*, const QString& message) { warned = message; };
    commandPrompts().exportPath = [&](QWidget*, const QString& start, const QString& filter) {
        started = start;
        EXPECT_TRUE(filter.contains("*.pdf"));
        return target;
    };
    dialogAnswer = [](QDialog& d) {
        auto& dialog = dynamic_cast<CDlgExport&>(d);
        dialog.loadControls();
        EXPECT_TRUE(dialog.extentGroup()->button(1)->isEnabled()) << "something is selected";
        dialog.formatGroup()->button(ExportChoices::Pdf)->click();
        EXPECT_FALSE(dialog.scaleBox()->isEnabled()) << "the scale is for PNG";
        dialog.extentGroup()->button(1)->click();
        dialog.scaleBox()->setCurrentIndex(2);
        dialog.accept();
        return true;
    };
    handlers::fileExport(*frame, cmd::Export);
    EXPECT_TRUE(warned.isEmpty()) << warned.toStdString();
    EXPECT_TRUE(QFile::exists(target + ".pdf")) << "the suffix is added";
    const ExportChoices kept = loadExportChoices();
    EXPECT_EQ(kept.format, ExportChoices::Pdf);
    EXPECT_TRUE(kept.selectionOnly);
    EXPECT_EQ(kept.scale, 300);
    EXPECT_EQ(loadExportFolder(), QString::fromStdString(dir));

    // The next export starts in that folder with those choices.
    dialogAnswer = [](QDialog& d) {
        auto& dialog = dynamic_cast<CDlgExport&>(d);
        dialog.loadControls();
        EXPECT_TRUE(dialog.formatGroup()->button(ExportChoices::Pdf)->isChecked());
        EXPECT_EQ(dialog.scaleBox()->currentData().toInt(), 300);
        return true;
    };
    commandPrompts().exportPath = [&](QWidget*, const QString& start, const QString&) {
        started = start;
        return QString(); // cancelled
    };
    handlers::fileExport(*frame, cmd::Export);
    EXPECT_TRUE(started.startsWith(QString::fromStdString(dir) + "/")) << started.toStdString();

    // A folder that cannot be written: the message, and nothing written.
    writeBytes(dir + "/blocked", {7});
    commandPrompts().exportPath = [&](QWidget*, const QString&, const QString&) {
        return QString::fromStdString(dir) + "/blocked/page.pdf";
    };
    dialogAnswer = [](QDialog& d) {
        dynamic_cast<CDlgExport&>(d).loadControls();
        d.accept();
        return true;
    };
    handlers::fileExport(*frame, cmd::Export);
    EXPECT_TRUE(warned.startsWith("导出失败")) << warned.toStdString();
    EXPECT_EQ(readBytes(dir + "/blocked"), std::vector<std::uint8_t>({7}));
    storeExportChoices(ExportChoices());
}

// A page taller than GL's largest viewport: SVG has no pixel limit, and a PDF
// page beyond what viewers take is scaled down to fit.
TEST(VectorExport, TallPagesAreWrittenWholeAndFitPdfViewers) {
    const std::string dir = tempDir();
    ZN_ShapeManager page;
    addRect(page, 0, 0, 100, 40)->setFillColor(ZVector3(1, 0, 0));
    addRect(page, 0, 60000, 100, 60040)->setFillColor(ZVector3(0, 0, 1));
    const std::string tall = dir + "/tall.tvx";
    ASSERT_TRUE(writeTvxFile(tall, {{"页1", 0, &page}}));

    const CliRun svgRun = run({"--export-svg", dir + "/tall.svg", tall});
    ASSERT_EQ(svgRun.status, 0) << svgRun.err;
    QXmlStreamReader xml(readAll(dir + "/tall.svg"));
    double height = 0, minY = 1e9, maxY = -1e9;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QString("svg"))
            height = xml.attributes().value("height").toDouble();
        if (xml.name() != QString("path"))
            continue;
        const QStringList values = xml.attributes().value("d").toString().split(
            QRegularExpression("[MLZ ]"), Qt::SkipEmptyParts);
        for (qsizetype k = 1; k < values.size(); k += 2) {
            minY = std::min(minY, values[k].toDouble());
            maxY = std::max(maxY, values[k].toDouble());
        }
    }
    EXPECT_GE(height, 60080);
    // Both boxes, where they are on the page (within a stroke's width).
    EXPECT_NEAR(minY, 20, 3);
    EXPECT_NEAR(maxY, height - 20, 3);

    ASSERT_EQ(run({"--export-pdf", dir + "/tall.pdf", tall}).status, 0);
    const QString info = poppler("pdfinfo", {QString::fromStdString(dir + "/tall.pdf")});
    const QRegularExpression size("Page size:\\s+([0-9.]+) x ([0-9.]+) pts");
    const auto match = size.match(info);
    ASSERT_TRUE(match.hasMatch()) << info.toStdString();
    EXPECT_NEAR(match.captured(2).toDouble(), 14400, 1);
    EXPECT_NEAR(match.captured(1).toDouble() / match.captured(2).toDouble(), 140.0 / height, 0.002);
    EXPECT_TRUE(info.contains(QRegularExpression("Title:\\s+tall.tvx"))) << info.toStdString();
}

// The first export starts in the document's folder; a PDF may hold every
// page and carries the document's title.
TEST_F(ExportCommand, APdfOfEveryPageTitledAndStartedBesideTheDocument) {
    storeExportChoices(ExportChoices());
    QSettings(CTavloApp::kOrganisation, CTavloApp::kApplication).remove("Export/Folder");
    const QString dir = QString::fromStdString(tempDir());
    child->document()->shapeData().addPage("页2");
    child->document()->shapeData().addPage("页3");
    ASSERT_TRUE(child->document()->saveTo(dir + "/计划.tvx"));
    QString started, warned;
    commandPrompts().warning = [&](QWidget*, const QString& message) { warned = message; };
    commandPrompts().exportPath = [&](QWidget*, const QString& start, const QString&) {
        started = start;
        return dir + "/all.pdf";
    };
    dialogAnswer = [](QDialog& d) {
        auto& dialog = dynamic_cast<CDlgExport&>(d);
        dialog.loadControls();
        EXPECT_FALSE(dialog.extentGroup()->button(2)->isEnabled()) << "PNG holds one page";
        dialog.formatGroup()->button(ExportChoices::Pdf)->click();
        EXPECT_TRUE(dialog.extentGroup()->button(2)->isEnabled());
        dialog.extentGroup()->button(2)->click();
        dialog.accept();
        return true;
    };
    handlers::fileExport(*frame, cmd::Export);
    EXPECT_EQ(started, dir + "/计划.pdf");
    EXPECT_TRUE(warned.isEmpty()) << warned.toStdString();
    const QString info = poppler("pdfinfo", {dir + "/all.pdf"});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+3\\n"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Title:\\s+计划.tvx"))) << info.toStdString();
    EXPECT_TRUE(loadExportChoices().allPages);
    storeExportChoices(ExportChoices());
}
