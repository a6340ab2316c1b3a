// The view on a screen with two device pixels per window pixel (a desktop
// scaled to 200 %): labels grow with the boxes around them. Qt reads the
// scale only when it starts, so the window is drawn in a second run of this
// program with QT_SCALE_FACTOR set.

#include <gtest/gtest.h>

#include <climits>

#include <QCoreApplication>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <rulmek/rulmek.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>

#include "TestSupport.h"
#include "frames/CChildFrame.h"
#include "frames/CMainFrame.h"
#include "document/CTavloDoc.h"
#include "view/CTavloView.h"

namespace {

constexpr char kChildVariable[] = "TAVLO_VIEW_SCALE_CHILD";

// In the second run: the height and width, in device pixels, of a blue
// label's ink as the view draws it.
void printLabelInk() {
    testApp();
    CMainFrame frame;
    frame.resize(900, 600);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    CChildFrame* child = frame.newDocument();
    QCoreApplication::processEvents();
    CTavloView* view = child->view();
    setScallPosition(ZVector2(0, 0));
    auto* text = new ZN_SText();
    text->setRect(ZVector2(20, 20), ZVector2(300, 80));
    text->setTextAlignType(1);
    text->setText("Tg 页");
    text->setFontColor(ZVector3(0.0f, 0.0f, 1.0f));
    view->getCurrentPage()->addShape(text);
    const QImage image = view->grabFramebuffer();
    int top = INT_MAX, bottom = INT_MIN, left = INT_MAX, right = INT_MIN;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qBlue(p) > 200 && qRed(p) < 80 && qGreen(p) < 80) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    std::printf("ink %d %d\n", bottom - top + 1, right - left + 1);
    std::fflush(stdout);
    child->document()->SetModifiedFlag(false);
}

// Runs this test again at `scale`; the label's ink height and width.
std::pair<int, int> inkAtScale(const char* scale) {
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(kChildVariable, "1");
    env.insert("QT_SCALE_FACTOR", scale);
    run.setProcessEnvironment(env);
    run.start(QCoreApplication::applicationFilePath(),
              {"--gtest_filter=ViewScale.LabelsGrowWithTheDesktopScale"});
    EXPECT_TRUE(run.waitForFinished(120000));
    const QString out = QString::fromUtf8(run.readAllStandardOutput());
    EXPECT_EQ(run.exitCode(), 0) << out.toStdString();
    const QRegularExpressionMatch m = QRegularExpression("ink (-?\\d+) (-?\\d+)").match(out);
    EXPECT_TRUE(m.hasMatch()) << out.toStdString();
    return {m.captured(1).toInt(), m.captured(2).toInt()};
}

} // namespace

TEST(ViewScale, LabelsGrowWithTheDesktopScale) {
    if (qEnvironmentVariableIsSet(kChildVariable)) {
        printLabelInk();
        return;
    }
    testApp(); // for applicationFilePath
    const auto [height1, width1] = inkAtScale("1");
    const auto [height2, width2] = inkAtScale("2");
    ASSERT_GT(height1, 8);
    EXPECT_NEAR(height2, 2 * height1, 3);
    EXPECT_NEAR(width2, 2 * width1, 4);
}
