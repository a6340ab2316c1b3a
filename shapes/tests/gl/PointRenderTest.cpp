// Point drawing read back from an off-screen frame.

#include "SceneFixture.h"

#include <sarvik/ZN_NPoint.h>

#include <algorithm>

namespace {

class PointRenderTest : public SceneFixture {
protected:
    // The smooth one-pixel ring covers its pixels only partly; the darkest
    // pixel around a spot tells whether the ring passes there.
    int darkest(int x, int y) const {
        int best = 255;
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const ZRGBA p = px(x + dx, y + dy);
                best = std::min(best, std::max({int(p.r), int(p.g), int(p.b)}));
            }
        }
        return best;
    }
    ZN_NPoint* addPoint() {
        auto* point = new ZN_NPoint();
        // Pixel centres, so that the one-pixel sign falls on whole pixels.
        point->setCoord(ZVector2(80.5f, 60.5f));
        page.addShape(point);
        return point;
    }
};

} // namespace

TEST_F(PointRenderTest, RingWithoutHaloOrFill) {
    addPoint();
    drawFrame();
    EXPECT_LT(darkest(88, 60), 160);
    EXPECT_LT(darkest(80, 52), 160);
    EXPECT_TRUE(near(px(80, 60), kWhite, 10)) << "no fill: " << px(80, 60);
    EXPECT_TRUE(near(px(91, 60), kWhite, 10)) << px(91, 60);
}

TEST_F(PointRenderTest, SelectedPointHasARedHaloUnderItsRing) {
    ZN_NPoint* point = addPoint();
    point->setSelected(true);
    drawFrame();
    EXPECT_TRUE(near(px(80, 60), kRed, 10)) << px(80, 60);
    EXPECT_TRUE(near(px(91, 60), kRed, 30)) << "halo reaches radius 13: " << px(91, 60);
    EXPECT_TRUE(near(px(80, 71), kRed, 30)) << px(80, 71);
    EXPECT_TRUE(near(px(95, 60), kWhite, 10)) << px(95, 60);
    int ringRed = 255;
    for (int x = 87; x <= 90; ++x) {
        ringRed = std::min(ringRed, int(px(x, 60).r));
    }
    EXPECT_LT(ringRed, 160) << "the ring is drawn over the halo";

    // The snap highlight wins over the selection.
    point->setSnake(9);
    drawFrame();
    EXPECT_TRUE(near(px(80, 60), kGreen, 10)) << px(80, 60);
}

TEST_F(PointRenderTest, FoldSigns) {
    ZN_NPoint* point = addPoint();
    point->setStateType(1);
    drawFrame();
    EXPECT_TRUE(near(px(84, 60), kBlack, 40)) << "minus: " << px(84, 60);
    EXPECT_TRUE(near(px(80, 56), kWhite, 10)) << px(80, 56);

    point->setStateType(2);
    drawFrame();
    EXPECT_TRUE(near(px(84, 60), kBlack, 40)) << "plus: " << px(84, 60);
    EXPECT_TRUE(near(px(80, 56), kBlack, 40)) << px(80, 56);

    point->setStateType(3);
    drawFrame();
    EXPECT_TRUE(near(px(84, 60), kWhite, 10)) << px(84, 60);
    EXPECT_LT(darkest(88, 60), 160);
}

TEST_F(PointRenderTest, SizeZeroShowsOnlyItsHalo) {
    ZN_NPoint* point = addPoint();
    point->setPointSize(0);
    point->setStateType(2);
    drawFrame();
    EXPECT_TRUE(allPixels(kWhite));

    point->setSelected(true);
    drawFrame();
    EXPECT_TRUE(near(px(80, 60), kRed, 10)) << px(80, 60);
    EXPECT_TRUE(near(px(83, 60), kRed, 40)) << px(83, 60);
    EXPECT_TRUE(near(px(87, 60), kWhite, 10)) << px(87, 60);
}
