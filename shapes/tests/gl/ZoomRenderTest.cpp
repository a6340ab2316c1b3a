// Frames drawn at zooms other than 1: shapes scale about the window's
// top-left corner, handles keep their size on screen, texts are rasterised
// afresh at the zoomed size and shrink to a light bar when unreadable.

#include "SceneFixture.h"

#include <cmath>

#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>

namespace {

class ZoomRenderTest : public SceneFixture {
protected:
    void TearDown() override {
        setViewZoom(1.0f);
        SceneFixture::TearDown();
    }

    ZN_NRect* addBox(float x1, float y1, float x2, float y2) {
        auto* box = static_cast<ZN_NRect*>(ZN_ShapeBase::createShape(7));
        box->setPoint1(ZVector2(x1, y1));
        box->setPoint2(ZVector2(x2, y2));
        box->setLineWide(1);
        box->setFillColor(ZVector3(0.0f, 0.0f, 1.0f));
        box->setGradualColor(ZVector3(0.0f, 0.0f, 1.0f));
        page.addShape(box);
        return box;
    }
    ZN_SText* addText(const char* s, ZVector2 a, ZVector2 b) {
        auto* t = new ZN_SText();
        t->setRect(a, b);
        t->setTextAlignType(1);
        t->setText(s);
        t->setFontColor(ZVector3(0.0f, 0.0f, 1.0f));
        page.addShape(t);
        return t;
    }
    int count(const ZRGBA& colour, int tolerance = 1) const {
        int n = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                n += near(px(x, y), colour, tolerance) ? 1 : 0;
        return n;
    }
};

TEST_F(ZoomRenderTest, ShapesScaleFromTheOffsetAndHandlesKeepEightScreenPixels) {
    ZN_NRect* box = addBox(30.0f, 20.0f, 50.0f, 40.0f);
    box->setSelected(true);
    setScallPosition(ZVector2(10.0f, 10.0f));
    scene.setZoom(2.0f);
    drawFrame();
    // Canvas (30..50, 20..40) minus the offset, doubled: (40..80, 20..60).
    EXPECT_TRUE(near(px(60, 30), kBlue)) << px(60, 30);
    EXPECT_TRUE(near(px(70, 67), kWhite)) << px(70, 67);
    EXPECT_TRUE(near(px(36, 30), kWhite)) << px(36, 30);
    // The outline of handle 6, centred on (80, 40), runs four screen pixels
    // out at x = 84, not eight.
    EXPECT_LT(px(84, 40).r, 200) << px(84, 40);
    EXPECT_TRUE(near(px(88, 40), kWhite, 8)) << px(88, 40);

    box->setPoint2(ZVector2(130.0f, 120.0f));
    scene.setZoom(0.5f);
    drawFrame();
    // (10..70, 5..60) on screen; the handle still reaches 4 pixels out.
    EXPECT_TRUE(near(px(35, 30), kBlue)) << px(35, 30);
    EXPECT_LT(px(64, 30).r, 200) << px(64, 30);
    EXPECT_TRUE(near(px(62, 30), kWhite, 8)) << px(62, 30);
    EXPECT_FLOAT_EQ(getViewZoom(), 0.5f);
}

TEST_F(ZoomRenderTest, LineWidthsZoomWithThePageButKeepAPixel) {
    ZN_NRect* box = addBox(20.0f, 20.0f, 60.0f, 60.0f);
    box->setLineWide(4);
    scene.setZoom(2.0f);
    drawFrame();
    // The left edge at x = 40 is eight pixels wide.
    EXPECT_TRUE(near(px(43, 60), kBlack, 40)) << px(43, 60);
    EXPECT_TRUE(near(px(46, 60), kBlue, 8)) << px(46, 60);

    box->setPoint2(ZVector2(1000.0f, 1000.0f));
    scene.setZoom(0.1f);
    drawFrame();
    // At 10 % the edge at y = 2 still shows, one pixel wide.
    EXPECT_LT(px(50, 2).b, 200) << px(50, 2);
    EXPECT_TRUE(near(px(50, 5), kBlue, 8)) << px(50, 5);
}

TEST_F(ZoomRenderTest, ZoomedOutShapesBeyondTheUnzoomedWindowAreStillDrawn) {
    // Outside a 160 x 120 window at 1, inside it at 0.25.
    addBox(400.0f, 300.0f, 440.0f, 340.0f);
    scene.setZoom(0.25f);
    drawFrame();
    EXPECT_TRUE(near(px(105, 80), kBlue)) << px(105, 80);
}

TEST_F(ZoomRenderTest, TextIsDrawnFromItsZoomedPictureAtTheZoomedCorner) {
    ZN_SText* t = addText("Tg 页", ZVector2(10.0f, 10.0f), ZVector2(70.0f, 40.0f));
    scene.setZoom(2.0f);
    drawFrame();
    const auto picture = t->pictureAt(2.0f);
    ASSERT_TRUE(picture);
    // The picture rises from screen (20, 80), the zoomed bottom-left corner.
    int inked = 0;
    for (int y = 0; y < picture->height; ++y)
        for (int x = 0; x < std::min(picture->width, kWidth - 20); ++x) {
            const bool ink = picture->ink(x, y);
            inked += ink ? 1 : 0;
            ASSERT_TRUE(near(px(20 - picture->originX + x, 80 - picture->height + y),
                             ink ? kBlue : kWhite, 1))
                << x << ", " << y;
        }
    EXPECT_GT(inked, 4 * 30);
}

TEST_F(ZoomRenderTest, AZoomedOutLabelIsDrawnWholeWhereItOverhangsItsRectangle) {
    // Centred in a rectangle a little narrower than the line: zoomed out,
    // the picture reaches left of the corner and is drawn there too.
    auto inkLeftOfCorner = [](const std::shared_ptr<const ZTextBitmap>& p) {
        for (int x = 0; p && x < p->originX; ++x)
            for (int y = 0; y < p->height; ++y)
                if (p->ink(x, y))
                    return true;
        return false;
    };
    ZN_SText* t = nullptr;
    std::shared_ptr<const ZTextBitmap> picture;
    float zoom = 0.0f;
    for (const char* text : {"display-name", "Hyperlinking", "Servlet 4.0", "jiffy", "fjord"}) {
        for (float z : {0.5f, 0.67f, 0.75f, 0.25f}) {
            page.clear();
            t = addText(text, ZVector2(100.0f, 100.0f), ZVector2(100.0f, 100.0f));
            t->setTextAlignType(0);
            t->setFont(t->getFont());
            // A rectangle a little narrower than its text, as a file may hold.
            const ZVector2 a = t->getPoint1(), b = t->getPoint2();
            t->setRect(a, ZVector2(b.X() - 0.1f * (b.X() - a.X()), b.Y()));
            t->setText(text);
            picture = t->pictureAt(z);
            zoom = z;
            if (inkLeftOfCorner(picture))
                break;
        }
        if (inkLeftOfCorner(picture))
            break;
    }
    ASSERT_TRUE(inkLeftOfCorner(picture)) << "no line overhangs: nothing to test";
    scene.setZoom(zoom);
    drawFrame();
    // Every inked column of the picture is drawn, from the corner less originX.
    const int corner = static_cast<int>(std::lround(100.0f * zoom));
    const int bottom = static_cast<int>(std::lround(t->getPoint2().Y() * zoom));
    int drawnColumns = 0, pictureColumns = 0;
    bool leftOfCorner = false;
    for (int x = 0; x < picture->width && corner - picture->originX + x < kWidth; ++x) {
        bool inPicture = false, onScreen = false;
        for (int y = 0; y < picture->height; ++y) {
            inPicture = inPicture || picture->ink(x, y);
            onScreen = onScreen ||
                       near(px(corner - picture->originX + x, bottom - picture->height + y), kBlue, 1);
        }
        pictureColumns += inPicture ? 1 : 0;
        drawnColumns += inPicture && onScreen ? 1 : 0;
        leftOfCorner = leftOfCorner || (onScreen && x < picture->originX);
    }
    EXPECT_GT(pictureColumns, 10);
    EXPECT_EQ(drawnColumns, pictureColumns) << zoom;
    EXPECT_TRUE(leftOfCorner) << zoom;
}

TEST_F(ZoomRenderTest, UnreadablySmallTextBecomesALightBar) {
    // 32-pixel glyphs at 10 % are 3.2 pixels high.
    addText("A long label", ZVector2(100.0f, 100.0f), ZVector2(900.0f, 140.0f));
    scene.setZoom(0.1f);
    drawFrame();
    // The bar spans the rectangle's width, (10..90, 11..13) on screen, faint.
    const ZRGBA light{179, 179, 255, 202}; // 30 % blue over white
    EXPECT_TRUE(near(px(50, 12), light, 10)) << px(50, 12);
    EXPECT_TRUE(near(px(50, 8), kWhite, 1)) << px(50, 8);
    EXPECT_EQ(count(kBlue, 30), 0);

    // At 12.5 % the glyphs are 4 pixels high and drawn as glyphs again.
    scene.setZoom(0.125f);
    drawFrame();
    EXPECT_FALSE(near(px(50, 13), light, 10)) << px(50, 13);
}

} // namespace
