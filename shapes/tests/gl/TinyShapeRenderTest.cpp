// A zoomed-out page: shapes a pixel or two across are drawn as patches of
// their outline colour, in list order with the shapes drawn in full, and
// boxes large enough to show their form keep their fill.

#include "SceneFixture.h"

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NRect.h>

namespace {

class TinyShapeRenderTest : public SceneFixture {
protected:
    void TearDown() override {
        setViewZoom(1.0f);
        SceneFixture::TearDown();
    }

    ZN_NRect* addBox(int kind, float x1, float y1, float x2, float y2, const ZVector3& fill,
                     const ZVector3& outline) {
        auto* box = static_cast<ZN_NRect*>(ZN_ShapeBase::createShape(kind));
        box->setPoint1(ZVector2(x1, y1));
        box->setPoint2(ZVector2(x2, y2));
        box->setLineWide(1);
        box->setFillColor(fill);
        box->setGradualColor(fill);
        box->setColor(outline);
        page.addShape(box);
        return box;
    }
};

const ZVector3 kRedColour(1.0f, 0.0f, 0.0f);
const ZVector3 kGreenColour(0.0f, 1.0f, 0.0f);
const ZVector3 kBlueColour(0.0f, 0.0f, 1.0f);
const ZVector3 kBlackColour(0.0f, 0.0f, 0.0f);

TEST_F(TinyShapeRenderTest, AtTenPercentEachBoxShowsItsColourWhereItIs) {
    // Boxes of every kind, 100 x 60 on the page: 10 x 6 pixels, so each
    // still shows its fill inside its outline.
    const int kinds[] = {7, 8, 9, 10, 13};
    const ZVector3 fills[] = {kRedColour, kGreenColour, kBlueColour, kRedColour, kGreenColour};
    const ZRGBA seen[] = {kRed, kGreen, kBlue, kRed, kGreen};
    for (int i = 0; i < 5; ++i) {
        const float x = 100.0f + 250.0f * static_cast<float>(i);
        addBox(kinds[i], x, 300.0f, x + 100.0f, 360.0f, fills[i], kBlackColour);
    }
    // And boxes of 10 x 10 on the page, one pixel each: their outline colour.
    addBox(7, 300.0f, 800.0f, 310.0f, 810.0f, kBlueColour, kRedColour);
    addBox(9, 800.0f, 800.0f, 810.0f, 810.0f, kRedColour, kBlueColour);
    scene.setZoom(0.1f);
    drawFrame();
    for (int i = 0; i < 5; ++i) {
        const int x = 15 + 25 * i;
        EXPECT_TRUE(near(px(x, 33), seen[i], 40)) << i << ": " << px(x, 33);
    }
    EXPECT_TRUE(near(px(30, 80), kRed, 60)) << px(30, 80);
    EXPECT_TRUE(near(px(80, 80), kBlue, 60)) << px(80, 80);
    // Nothing spills far beyond them.
    EXPECT_TRUE(near(px(30, 84), kWhite, 1)) << px(30, 84);
    EXPECT_TRUE(near(px(84, 80), kWhite, 1)) << px(84, 80);
}

TEST_F(TinyShapeRenderTest, PatchesKeepTheirPlaceInTheDrawingOrder) {
    // A tiny box under a large one is hidden by it; one listed after it
    // lies on top; a tiny connector shows its line colour.
    addBox(7, 40.0f, 40.0f, 50.0f, 50.0f, kRedColour, kRedColour);
    addBox(7, 0.0f, 0.0f, 1000.0f, 1000.0f, kBlueColour, kBlackColour);
    addBox(7, 600.0f, 600.0f, 610.0f, 610.0f, kRedColour, kGreenColour);
    auto* line = new ZN_NLine();
    line->pushPointBack(ZVector2(300.0f, 700.0f));
    line->pushPointBack(ZVector2(310.0f, 705.0f));
    line->setColor(kRedColour);
    page.addShape(line);
    scene.setZoom(0.1f);
    drawFrame();
    EXPECT_TRUE(near(px(4, 4), kBlue, 8)) << px(4, 4);
    EXPECT_TRUE(near(px(60, 60), kGreen, 60)) << px(60, 60);
    EXPECT_TRUE(near(px(30, 70), kRed, 60)) << px(30, 70);
    // Shapes drawn in full after the patches still get their own colours.
    EXPECT_TRUE(near(px(20, 20), kBlue, 8)) << px(20, 20);
}

TEST_F(TinyShapeRenderTest, ASelectedTinyBoxKeepsItsHandles) {
    ZN_NRect* box = addBox(7, 600.0f, 600.0f, 610.0f, 610.0f, kBlueColour, kBlueColour);
    box->setSelected(true);
    scene.setZoom(0.1f);
    drawFrame();
    // The handles, eight pixels across around the corners, reach four pixels
    // beyond the one-pixel box.
    EXPECT_FALSE(near(px(65, 60), kWhite, 8)) << px(65, 60);
    EXPECT_FALSE(near(px(56, 60), kWhite, 8)) << px(56, 60);
}

TEST_F(TinyShapeRenderTest, AShortCurveIsStrokedAlongItsPathInItsColour) {
    auto* line = new ZN_NLine();
    for (const ZVector2& p :
         {ZVector2(200.0f, 200.0f), ZVector2(280.0f, 260.0f), ZVector2(340.0f, 200.0f)})
        line->pushPointBack(p);
    line->setStrightType(1);
    line->setColor(kBlueColour);
    page.addShape(line);
    scene.setZoom(0.1f);
    drawFrame();
    // On screen it runs (20, 20) - (28, 26) - (34, 20), through its middle
    // point, in its colour at the strength of a smoothed one-pixel line
    // spread over two pixels, and leaves the space under its arch white.
    const auto tinted = [](const ZRGBA& p) { return p.b > 240 && p.r > 60 && p.r < 200; };
    EXPECT_TRUE(tinted(px(28, 25)) && tinted(px(28, 26))) << px(28, 25) << px(28, 26);
    EXPECT_TRUE(tinted(px(20, 20))) << px(20, 20);
    EXPECT_TRUE(near(px(28, 22), kWhite, 1)) << px(28, 22);
    EXPECT_TRUE(near(px(28, 29), kWhite, 1)) << px(28, 29);
}

} // namespace
