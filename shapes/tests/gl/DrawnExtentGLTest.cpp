// The drawn extent against the pixels GL really inks: every shape kind, in the
// states that widen it, must leave no inked pixel outside its extent, and the
// extent may not stray far beyond the ink (exported pictures are sized by it).

#include "SceneFixture.h"

#include <sarvik/ZDrawnExtent.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_NRectVariants.h>
#include <sarvik/ZN_SText.h>

#include <climits>
#include <cmath>
#include <functional>

namespace {

struct Ink {
    int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
    bool any() const { return maxX >= minX; }
};

class DrawnExtentGL : public ::testing::Test {
protected:
    static constexpr int kSize = 400;

    void SetUp() override {
        std::string error;
        gl = ZHeadlessGL::create(kSize, kSize, &error);
        ASSERT_TRUE(gl) << "no headless GL context: " << error;
        scene.setShapeManager(&page);
        scene.init(gl.get());
        scene.resize(kSize, kSize);
        scene.releaseCurrent();
    }
    void TearDown() override { setScallPosition(ZVector2(0.0f, 0.0f)); }

    // Draws `shape` alone with the canvas origin at the window's centre and
    // returns the window box of every pixel that is not the white page.
    Ink inkOf(ZN_ShapeBase* shape) {
        page.addShape(shape);
        setScallPosition(ZVector2(-kSize / 2.0f, -kSize / 2.0f));
        scene.makeCurrent();
        scene.render();
        scene.releaseCurrent();
        const std::vector<std::uint8_t> rgba = gl->readPixels();
        Ink ink;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const ZRGBA p = ZHeadlessGL::pixelAt(rgba, kSize, kSize, x, y);
                if (p.r < 250 || p.g < 250 || p.b < 250) {
                    ink.minX = std::min(ink.minX, x);
                    ink.maxX = std::max(ink.maxX, x);
                    ink.minY = std::min(ink.minY, y);
                    ink.maxY = std::max(ink.maxY, y);
                }
            }
        return ink;
    }

    // The ink lies inside the extent, which is at most `slack` pixels wider on
    // any side (pixel x covers window x..x+1).
    void expectTight(ZN_ShapeBase* shape, float slack, const char* what) {
        const ZDrawnExtent e = drawnExtent(*shape);
        const Ink ink = inkOf(shape);
        ASSERT_TRUE(ink.any()) << what;
        ASSERT_TRUE(e.inks && e.finite) << what;
        const float left = e.min.X() + kSize / 2.0f, right = e.max.X() + kSize / 2.0f;
        const float top = e.min.Y() + kSize / 2.0f, bottom = e.max.Y() + kSize / 2.0f;
        EXPECT_LE(left, ink.minX) << what;
        EXPECT_GE(right, ink.maxX + 1) << what;
        EXPECT_LE(top, ink.minY) << what;
        EXPECT_GE(bottom, ink.maxY + 1) << what;
        EXPECT_GE(left + slack, ink.minX) << what;
        EXPECT_LE(right - slack, ink.maxX + 1) << what;
        EXPECT_GE(top + slack, ink.minY) << what;
        EXPECT_LE(bottom - slack, ink.maxY + 1) << what;
        page.deleteShape(shape);
    }

    std::unique_ptr<ZHeadlessGL> gl;
    ZN_ShapeManager page;
    ZN_Scene scene;
};

ZN_NLine* line(std::initializer_list<ZVector2> points) {
    auto* l = new ZN_NLine();
    for (const ZVector2& p : points)
        l->pushPointBack(p);
    return l;
}

TEST_F(DrawnExtentGL, BoxesWithWideFramesHandlesAndLabels) {
    auto* box = new ZN_NRect();
    box->setPoint1(ZVector2(-60, -40));
    box->setPoint2(ZVector2(60, 40));
    box->setLineWide(9);
    expectTight(box, 2.5f, "wide frame");

    auto* selected = new ZN_NEllipse();
    selected->setPoint1(ZVector2(-60, -40));
    selected->setPoint2(ZVector2(60, 40));
    selected->setSelected(true);
    expectTight(selected, 2.5f, "selected ellipse with its handles");

    auto* labelled = new ZN_NRect();
    labelled->setPoint1(ZVector2(-20, -10));
    labelled->setPoint2(ZVector2(20, 10));
    auto* label = new ZN_SText();
    label->setRect(ZVector2(-150, -20), ZVector2(150, 20));
    label->setText("WWWWWWWW");
    label->setFont(label->getFont());
    label->setHost(labelled);
    labelled->setLabel(label);
    const ZDrawnExtent e = drawnExtent(*labelled);
    EXPECT_LE(e.min.X(), label->getPoint1().X());
    EXPECT_GE(e.max.X(), label->getPoint2().X());
    expectTight(labelled, 20.0f, "box with a label wider than itself");
}

// A parallelogram slants by half its height; tall and narrow, the slant
// reaches past both of its sides.
TEST_F(DrawnExtentGL, TallNarrowParallelogramsReachPastTheirCorners) {
    auto* tall = new ZN_NParal();
    tall->setPoint1(ZVector2(-10, -190));
    tall->setPoint2(ZVector2(10, 190));
    tall->setLineWide(3);
    expectTight(tall, 2.5f, "slant of 190 on a box 20 wide");

    // Just right of a 400-pixel window, its slant reaches back into it: the
    // page must not skip it as lying outside.
    auto* edge = new ZN_NParal();
    edge->setPoint1(ZVector2(410, 0));
    edge->setPoint2(ZVector2(430, 380));
    page.addShape(edge);
    setScallPosition(ZVector2(0.0f, 0.0f));
    scene.makeCurrent();
    scene.render();
    scene.releaseCurrent();
    const std::vector<std::uint8_t> rgba = gl->readPixels();
    int inked = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const ZRGBA p = ZHeadlessGL::pixelAt(rgba, kSize, kSize, x, y);
            inked += p.r < 250 || p.g < 250 || p.b < 250;
        }
    EXPECT_GT(inked, 100) << "the part of the outline inside the window is drawn";
}

TEST_F(DrawnExtentGL, PointsRingsAndHalos) {
    auto* point = new ZN_NPoint();
    point->setPointSize(40);
    point->setStateType(2);
    expectTight(point, 2.5f, "ring of 40");

    auto* halo = new ZN_NPoint();
    halo->setPointSize(40);
    halo->setSelected(true);
    expectTight(halo, 2.5f, "halo of 45");

    auto* zero = new ZN_NPoint();
    zero->setPointSize(0);
    EXPECT_FALSE(drawnExtent(*zero).inks) << "a point of size 0 draws nothing unselected";
    delete zero;
}

TEST_F(DrawnExtentGL, ConnectorsWithTailsArrowsCurvesAndRamps) {
    ZN_NLine* tailed = line({ZVector2(-150, -50), ZVector2(0, 50)});
    tailed->setbOffsetH(1);
    tailed->setOffsetH(80);
    expectTight(tailed, 2.5f, "80-pixel tail");

    ZN_NLine* leftTail = line({ZVector2(100, -50), ZVector2(0, 50)});
    leftTail->setbOffsetH(1);
    leftTail->setOffsetH(-120);
    expectTight(leftTail, 2.5f, "tail to the left");

    ZN_NLine* arrow = line({ZVector2(-100, 0), ZVector2(100, 0)});
    arrow->setArrowType(1);
    arrow->setArrowSize(60);
    expectTight(arrow, 2.5f, "arrow head 60 wide");

    // The curve's middle span swings well past its points.
    ZN_NLine* curve =
        line({ZVector2(-150, 0), ZVector2(0, -100), ZVector2(0, 100), ZVector2(150, 0)});
    curve->setStrightType(1);
    curve->setbGradualWide(1);
    curve->setGradualWide(12);
    curve->setLineWide(3);
    curve->setArrowType(1);
    curve->setArrowSize(30);
    expectTight(curve, 25.0f, "tapered curve with an arrow");

    ZN_NLine* selected = line({ZVector2(-100, -100), ZVector2(100, 100)});
    selected->setSelected(true);
    expectTight(selected, 2.5f, "selection squares");
}

TEST_F(DrawnExtentGL, FreeTextsAndOddValues) {
    auto* text = new ZN_SText();
    text->setRect(ZVector2(-100, -20), ZVector2(100, 20));
    text->setText("中文 text");
    text->setFont(text->getFont());
    // The rectangle holds the text's cells; the glyphs sit inside them.
    expectTight(text, 12.0f, "free text");

    // A width GL refuses keeps the previous width: the extent allows for the
    // widest stroke rather than none, in floating point.
    auto* crafted = new ZN_NRect();
    crafted->setPoint1(ZVector2(-10, -10));
    crafted->setPoint2(ZVector2(10, 10));
    crafted->setLineWide(INT_MIN);
    const ZDrawnExtent e = drawnExtent(*crafted);
    EXPECT_TRUE(e.inks && e.finite);
    EXPECT_LE(e.min.X(), -10.0f - kWidestStroke / 2);
    EXPECT_FALSE(extentOutsideWindow(e, ZVector2(0, 0), 100, 100));
    delete crafted;

    ZN_NLine* lost = line({ZVector2(0, 0), ZVector2(NAN, 5)});
    EXPECT_FALSE(drawnExtent(*lost).finite);
    EXPECT_FALSE(extentOutsideWindow(drawnExtent(*lost), ZVector2(0, 0), 100, 100));
    delete lost;

    auto* hidden = new ZN_NRect();
    hidden->setShow(false);
    EXPECT_TRUE(extentOutsideWindow(drawnExtent(*hidden), ZVector2(0, 0), 100, 100));
    delete hidden;
}

} // namespace
