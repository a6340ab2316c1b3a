#include "SceneFixture.h"

#include <sarvik/ZN_BackRgn.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NRect.h>

#include <climits>

namespace {

ZN_NRect* addBox(ZN_ShapeManager& page, float x1, float y1, float x2, float y2,
                 const ZVector3& fill) {
    auto* box = new ZN_NRect();
    box->setPoint1(ZVector2(x1, y1));
    box->setPoint2(ZVector2(x2, y2));
    box->setFillColor(fill);
    box->setColor(fill);
    page.addShape(box);
    return box;
}

using SceneTest = SceneFixture;

TEST_F(SceneTest, ProjectionIsCapturedOnlyOnceBound) {
    ZN_Scene fresh;
    fresh.makeCurrent(); // nothing to make current: must not touch GL
    fresh.releaseCurrent();
    fresh.resize(kWidth, kHeight);
    EXPECT_EQ(fresh.getWidth(), kWidth);
    EXPECT_TRUE(fresh.getProjection() == ZMatrix4X4(true));

    // Bound but never resized: the zero projection leaves only the clear colour.
    fresh.setShapeManager(&page);
    fresh.init(gl.get());
    addBox(page, 0, 0, 300, 300, ZVector3(1, 0, 0));
    page.setBackColor(ZVector4(0.0f, 0.0f, 1.0f, 1.0f));
    fresh.render();
    fresh.releaseCurrent();
    image = gl->readPixels();
    EXPECT_TRUE(allPixels(kBlue));

    // glOrtho(0, 160, 120, 0, -2000, 2000) in OpenGL's array order.
    const float* m = scene.getProjection();
    EXPECT_FLOAT_EQ(m[0], 2.0f / kWidth);
    EXPECT_FLOAT_EQ(m[5], -2.0f / kHeight);
    EXPECT_FLOAT_EQ(m[10], -2.0f / 4000.0f);
    EXPECT_FLOAT_EQ(m[12], -1.0f);
    EXPECT_FLOAT_EQ(m[13], 1.0f);
}

TEST_F(SceneTest, OriginTopLeftYDownAndLaterShapesOnTop) {
    addBox(page, 0, 0, 10, 10, ZVector3(1, 0, 0));
    addBox(page, kWidth - 10, kHeight - 10, kWidth, kHeight, ZVector3(0, 0, 1));
    addBox(page, 5, 5, 30, 30, ZVector3(0, 1, 0));
    drawFrame();
    EXPECT_TRUE(near(px(2, 2), kRed));
    EXPECT_TRUE(near(px(7, 7), kGreen));
    EXPECT_TRUE(near(px(kWidth - 5, kHeight - 5), kBlue));
    EXPECT_TRUE(near(px(kWidth - 5, 4), kWhite));
    EXPECT_TRUE(near(px(4, kHeight - 5), kWhite));
}

TEST_F(SceneTest, ClearsToThePageColourWithItsAlpha) {
    page.setBackColor(ZVector4(0.0f, 1.0f, 0.0f, 0.5f));
    drawFrame();
    EXPECT_TRUE(near(px(80, 60), ZRGBA{0, 255, 0, 128}, 1));
    EXPECT_TRUE(allPixels(px(0, 0)));
}

TEST_F(SceneTest, CaptureFrameIsDrawnOverEveryShapeInWindowCoordinates) {
    ZN_BackRgn* frame = page.getBackRgn();
    frame->setPoint1(ZVector2(20, 20));
    frame->setPoint2(ZVector2(60, 60));
    frame->setShow(true);
    addBox(page, 0, 0, kWidth, kHeight, ZVector3(1, 0, 0));
    setScallPosition(ZVector2(500.0f, 500.0f));
    addBox(page, 500, 500, 500 + kWidth, 500 + kHeight, ZVector3(0, 0, 1));
    drawFrame();
    // Drawn without blending, so the smoothed line's coverage lands in alpha.
    const ZRGBA edge = px(20, 40);
    EXPECT_TRUE(near(ZRGBA{edge.r, edge.g, edge.b, 255}, kGreen, 10)) << edge;
    EXPECT_TRUE(near(px(40, 40), kBlue));
}

// Boxes far off screen may be skipped, but a box just outside the window whose
// frame or handles reach into it must still be drawn.
TEST_F(SceneTest, SkippingOffScreenBoxesChangesNothingVisible) {
    for (int i = 0; i < 50; ++i)
        addBox(page, 1000.0f + i * 30, 1000.0f, 1020.0f + i * 30, 1020.0f, ZVector3(1, 0, 0));
    ZN_NRect* left = addBox(page, -40, 40, -3, 80, ZVector3(0, 0, 1));
    left->setSelected(true);
    ZN_NRect* below = addBox(page, 60, kHeight + 3, 100, kHeight + 30, ZVector3(0, 0, 1));
    below->setSnake(8);
    setScallPosition(ZVector2(0.0f, 0.0f));
    drawFrame();
    // Handle 6 of the left box spans x = -7..1 at y = 60.
    EXPECT_TRUE(near(px(0, 56), kGrey, 40)) << px(0, 56);
    // Handle 8 of the box below spans y = 119..127 and is filled green.
    EXPECT_TRUE(near(px(80, kHeight - 1), kGreen, 40)) << px(80, kHeight - 1);

    // Scrolling brings the far boxes in.
    setScallPosition(ZVector2(990.0f, 990.0f));
    drawFrame();
    EXPECT_TRUE(near(px(20, 20), kRed));
}

// A crafted width of INT_MIN (no absolute value in int) must not turn the
// margin negative and skip a box in plain view.
TEST_F(SceneTest, ABoxWithTheMostNegativeWidthIsStillDrawn) {
    addBox(page, 40, 30, 120, 90, ZVector3(0, 0, 1))->setLineWide(INT_MIN);
    drawFrame();
    EXPECT_TRUE(near(px(80, 60), kBlue)) << px(80, 60);
}

// Connectors far off screen may be skipped too, but not one whose curve bows
// into the window past all of its points, nor one whose horizontal tail runs
// in from beyond the left edge.
TEST_F(SceneTest, SkippingOffScreenConnectorsKeepsWhatReachesIn) {
    auto addLine = [&](std::initializer_list<ZVector2> points) {
        auto* line = new ZN_NLine();
        for (const ZVector2& p : points)
            line->pushPointBack(p);
        line->setLineWide(4);
        page.addShape(line);
        return line;
    };
    for (int i = 0; i < 50; ++i)
        addLine({ZVector2(1000.0f + i * 30, 1000.0f), ZVector2(1020.0f + i * 30, 1040.0f)});
    // Every point lies at least 60 pixels left of the window; the middle span
    // of the curve swings out to about x = 9 near y = 75.
    ZN_NLine* bow = addLine({ZVector2(-1000, 50), ZVector2(-60, 60), ZVector2(-60, 110)});
    bow->setStrightType(1);
    drawFrame();
    bool inked = false;
    for (int y = 60; y < 100; ++y)
        for (int x = 0; x < 8; ++x)
            inked = inked || near(px(x, y), kBlack, 60);
    EXPECT_TRUE(inked) << "the bowed curve was left out";

    page.deleteShape(bow);
    ZN_NLine* tailed = addLine({ZVector2(-300, 30), ZVector2(-50, 30)});
    tailed->setbOffsetH(1);
    tailed->setOffsetH(80);
    drawFrame();
    EXPECT_TRUE(near(px(10, 30), kBlack, 60)) << px(10, 30);
    EXPECT_TRUE(near(px(40, 30), kWhite)) << "the tail ends at x = 30";

    // Scrolling brings the far connectors in.
    setScallPosition(ZVector2(990.0f, 990.0f));
    drawFrame();
    EXPECT_FALSE(near(px(20, 30), kWhite)) << px(20, 30);
}

} // namespace

// The page's index of drawn bounds follows a box moved between frames, from
// far away into the window and out again.
TEST_F(SceneTest, ABoxMovedBetweenFramesIsDrawnWhereItNowIs) {
    for (int i = 0; i < 200; ++i)
        addBox(page, 1000.0f + i * 30, 1000.0f, 1020.0f + i * 30, 1020.0f, ZVector3(1, 0, 0));
    ZN_NRect* mover = addBox(page, 3000, 3000, 3040, 3040, ZVector3(0, 0, 1));
    drawFrame();
    EXPECT_TRUE(near(px(30, 30), kWhite)) << px(30, 30);

    mover->change(ZVector2(-2990.0f, -2990.0f), 9);
    drawFrame();
    EXPECT_TRUE(near(px(30, 30), kBlue)) << px(30, 30);

    mover->change(ZVector2(0.0f, 5000.0f), 9);
    drawFrame();
    EXPECT_TRUE(near(px(30, 30), kWhite)) << px(30, 30);
}
