// Frames drawn larger than the canvas: thick outlines magnified by the zoom
// keep closed corners, and a window on a screen with more device pixels than
// window pixels (a desktop scale of 200 %) shows labels at the same size as
// the boxes around them.

#include "SceneFixture.h"

#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_NRectVariants.h>
#include <sarvik/ZN_SText.h>

#include <climits>

namespace {

class ScaledFrameTest : public SceneFixture {
protected:
    void TearDown() override {
        setViewZoom(1.0f);
        SceneFixture::TearDown();
    }

    ZN_NRect* addBox(ZN_NRect* box, float x1, float y1, float x2, float y2, int wide) {
        box->setPoint1(ZVector2(x1, y1));
        box->setPoint2(ZVector2(x2, y2));
        box->setLineWide(wide);
        box->setGradualType(7); // no fill: only the outline inks
        page.addShape(box);
        return box;
    }
    bool dark(int x, int y) const {
        const ZRGBA p = px(x, y);
        return p.r < 100 && p.g < 100 && p.b < 100;
    }
};

TEST_F(ScaledFrameTest, ThickOutlinesKeepClosedCornersWhenZoomedIn) {
    for (const float zoom : {3.0f, 4.0f}) {
        page.clear();
        // A frame 9 wide at (10, 10)..(30, 25): 27 or 36 pixels wide on screen.
        addBox(new ZN_NRect(), 10.0f, 10.0f, 30.0f, 25.0f, 9);
        scene.setZoom(zoom);
        drawFrame();
        const int half = static_cast<int>(4.5f * zoom);
        const int x1 = static_cast<int>(10 * zoom), y1 = static_cast<int>(10 * zoom);
        const int x2 = static_cast<int>(30 * zoom), y2 = static_cast<int>(25 * zoom);
        // Just inside the outer corner of each of the four corners.
        const int in = half - 3;
        EXPECT_TRUE(dark(x1 - in, y1 - in)) << "top-left at " << zoom << ": " << px(x1 - in, y1 - in);
        EXPECT_TRUE(dark(x2 + in, y1 - in)) << "top-right at " << zoom;
        if (y2 + in < kHeight) {
            EXPECT_TRUE(dark(x1 - in, y2 + in)) << "bottom-left at " << zoom;
            EXPECT_TRUE(dark(x2 + in, y2 + in)) << "bottom-right at " << zoom;
        }
        // The joins stay within the stroke's reach: nothing beyond it.
        EXPECT_TRUE(near(px(x1 - half - 3, y1 - half - 3), kWhite, 8)) << zoom;
    }
}

TEST_F(ScaledFrameTest, SlantedOutlinesAreJoinedToo) {
    addBox(new ZN_NParal(), 10.0f, 6.0f, 40.0f, 26.0f, 7);
    scene.setZoom(3.0f);
    drawFrame();
    // The parallelogram's bottom-left corner, at (30, 78) on screen, is a
    // right angle opened by 45 degrees; the pixel just outside both strokes'
    // ends but within their width is ink once joined.
    EXPECT_TRUE(dark(30 - 6, 78 + 6)) << px(24, 84);
}

// With two device pixels per window pixel, the frame has four times the
// pixels; shapes and labels both double.
class DeviceRatioTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        gl = ZHeadlessGL::create(2 * kWidth, 2 * kHeight, &error);
        ASSERT_TRUE(gl) << "no headless GL context: " << error;
        setScallPosition(ZVector2(0.0f, 0.0f));
        scene.setShapeManager(&page);
        scene.init(gl.get());
        scene.releaseCurrent();
    }
    void TearDown() override {
        setViewZoom(1.0f);
        scene.setPixelRatio(1.0f);
    }

    struct Ink {
        int top = INT_MAX, bottom = INT_MIN, left = INT_MAX, right = INT_MIN;
        int height() const { return bottom - top + 1; }
        int width() const { return right - left + 1; }
    };
    // The box of every pixel of `colour` in a frame drawn at `ratio`.
    Ink inkAt(float ratio, const ZRGBA& colour) {
        scene.setPixelRatio(ratio);
        scene.makeCurrent();
        scene.resize(kWidth, kHeight);
        scene.render();
        scene.releaseCurrent();
        const std::vector<std::uint8_t> rgba = gl->readPixels();
        Ink ink;
        // At ratio 1 the frame fills the bottom-left quarter of the surface.
        const int offsetY = ratio == 1.0f ? kHeight : 0;
        for (int y = 0; y < 2 * kHeight; ++y)
            for (int x = 0; x < 2 * kWidth; ++x)
                if (near(ZHeadlessGL::pixelAt(rgba, 2 * kWidth, 2 * kHeight, x, y), colour, 60)) {
                    ink.top = std::min(ink.top, y - offsetY);
                    ink.bottom = std::max(ink.bottom, y - offsetY);
                    ink.left = std::min(ink.left, x);
                    ink.right = std::max(ink.right, x);
                }
        return ink;
    }

    static constexpr int kWidth = 160;
    static constexpr int kHeight = 120;
    std::unique_ptr<ZHeadlessGL> gl;
    ZN_ShapeManager page;
    ZN_Scene scene;
};

TEST_F(DeviceRatioTest, LabelsAndOutlinesDoubleWithTheBoxes) {
    auto* text = new ZN_SText();
    text->setRect(ZVector2(10.0f, 10.0f), ZVector2(150.0f, 50.0f));
    text->setTextAlignType(1);
    text->setText("Tg 页");
    text->setFontColor(ZVector3(0.0f, 0.0f, 1.0f));
    page.addShape(text);
    const Ink single = inkAt(1.0f, kBlue);
    const Ink twice = inkAt(2.0f, kBlue);
    ASSERT_GT(single.height(), 8);
    EXPECT_NEAR(twice.height(), 2 * single.height(), 3);
    EXPECT_NEAR(twice.width(), 2 * single.width(), 4);
    EXPECT_NEAR(twice.left, 2 * single.left, 2);
    EXPECT_FLOAT_EQ(getViewZoom(), 1.0f) << "the view zoom stays that of the canvas";
    page.deleteShape(text);

    // A frame 3 wide is 6 device pixels wide.
    auto* box = new ZN_NRect();
    box->setPoint1(ZVector2(40.0f, 40.0f));
    box->setPoint2(ZVector2(100.0f, 90.0f));
    box->setLineWide(3);
    box->setGradualType(7);
    page.addShape(box);
    const Ink frame = inkAt(2.0f, kBlack);
    EXPECT_NEAR(frame.left, 2 * 40 - 3, 1);
    EXPECT_NEAR(frame.right, 2 * 100 + 2, 1);
}

} // namespace
