// The capture frame and what it copies.

#include "ViewToolsFixture.h"

TEST_F(ViewTools, CaptureFrameCopiesTheInsideAndStaysUntilAMissedPress) {
    QApplication::clipboard()->clear();
    addRect(*page, 120, 120, 160, 160);
    view->setTool(viewtool::Capture);
    drag(200, 180, 100, 100);
    EXPECT_EQ(view->getTool(), viewtool::Select);
    ZN_BackRgn* region = page->getBackRgn();
    EXPECT_TRUE(region->getShow());
    EXPECT_TRUE(region->getSelected());
    expectAt(region->getPoint1(), 100, 100);
    expectAt(region->getPoint2(), 200, 180);
    QImage picture = QApplication::clipboard()->image();
    EXPECT_EQ(picture.size(), QSize(98, 78));
    // The box's black frame is in the picture; the green frame is not.
    EXPECT_EQ(QColor(picture.pixel(19, 30)).rgb() & 0xffffff, 0u);
    EXPECT_EQ(QColor(picture.pixel(0, 0)).rgb() & 0xffffff, 0xffffffu);

    // Its bottom-right handle resizes it and copies again.
    drag(200, 180, 220, 200);
    EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(118, 98));
    EXPECT_TRUE(region->getShow());

    // A press on the page, even on a shape, puts it away.
    click(140, 140);
    EXPECT_FALSE(region->getShow());
    expectAt(region->getPoint2(), 220, 200);
}

TEST_F(ViewTools, CaptureFrameAtScaleTwoCopiesTheInsideAtDeviceResolution) {
    if (qEnvironmentVariable("QT_SCALE_FACTOR") != "2") {
        // The scale is fixed when the application starts: run this test again
        // in a process of its own.
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_SCALE_FACTOR", "2");
        run.setProcessEnvironment(env);
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.start(QCoreApplication::applicationFilePath(),
                  {QString("--gtest_filter=%1.%2").arg(info->test_suite_name(), info->name())});
        ASSERT_TRUE(run.waitForFinished(240000));
        EXPECT_EQ(run.exitCode(), 0) << run.readAll().toStdString();
        return;
    }
    ASSERT_EQ(view->devicePixelRatio(), 2.0);
    QApplication::clipboard()->clear();
    addRect(*page, 120, 120, 160, 160);
    view->setTool(viewtool::Capture);
    drag(200, 180, 100, 100);
    const QImage picture = QApplication::clipboard()->image();
    ASSERT_EQ(picture.size(), QSize(196, 156));
    // The box's left frame at x = 120 and its top at y = 120, as on screen;
    // the window corner outside the frame is white.
    EXPECT_EQ(QColor(picture.pixel(38, 60)).rgb() & 0xffffff, 0u);
    EXPECT_EQ(QColor(picture.pixel(60, 38)).rgb() & 0xffffff, 0u);
    EXPECT_EQ(QColor(picture.pixel(2, 2)).rgb() & 0xffffff, 0xffffffu);
    EXPECT_EQ(QColor(picture.pixel(120, 120)).rgb() & 0xffffff, 0xffffffu);
}
