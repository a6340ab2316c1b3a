// Connector drawing read back from an off-screen frame.

#include "SceneFixture.h"

#include <sarvik/ZN_NLine.h>

#include <climits>
#include <vector>

namespace {

class LineRenderTest : public SceneFixture {
protected:
    ZN_NLine* addLine(const std::vector<ZVector2>& pts) {
        auto* line = new ZN_NLine();
        for (const ZVector2& p : pts) {
            line->pushPointBack(p);
        }
        page.addShape(line);
        return line;
    }
    // How many pixels of column x differ from white.
    int inkInColumn(int x) const {
        int count = 0;
        for (int y = 0; y < kHeight; ++y) {
            if (!near(px(x, y), kWhite, 60)) {
                ++count;
            }
        }
        return count;
    }
};

} // namespace

TEST_F(LineRenderTest, PlainLineAndHiddenLine) {
    ZN_NLine* line = addLine({{20, 60}, {140, 60}});
    line->setColor(ZVector3(0, 0, 1));
    drawFrame();
    EXPECT_TRUE(near(px(80, 60), kBlue, 40)) << px(80, 60);
    EXPECT_TRUE(near(px(80, 70), kWhite));
    EXPECT_TRUE(near(px(10, 60), kWhite));

    // Window position = canvas position - view offset.
    setScallPosition(ZVector2(-20, 30));
    drawFrame();
    EXPECT_TRUE(near(px(80, 30), kBlue, 40)) << px(80, 30);
    EXPECT_TRUE(near(px(80, 60), kWhite));

    line->setShow(false);
    drawFrame();
    EXPECT_TRUE(allPixels(kWhite));
}

TEST_F(LineRenderTest, TaperIsWiderAtTheStart) {
    ZN_NLine* line = addLine({{20, 60}, {140, 60}});
    line->setbGradualWide(1);
    line->setLineWide(2);
    line->setGradualWide(8);
    drawFrame();
    const int start = inkInColumn(25);
    const int middle = inkInColumn(80);
    const int end = inkInColumn(135);
    EXPECT_GE(start, 8) << start;
    EXPECT_LE(end, 4) << end;
    EXPECT_GT(start, middle);
    EXPECT_GT(middle, end);
}

TEST_F(LineRenderTest, CurvedTaperIsWiderAtTheStartToo) {
    ZN_NLine* line = addLine({{20, 60}, {80, 60}, {140, 60}});
    line->setStrightType(1);
    line->setbGradualWide(1);
    line->setGradualWide(8);
    drawFrame();
    EXPECT_GT(inkInColumn(25), inkInColumn(135) + 3);
    // The curve through collinear points stays on their line.
    EXPECT_TRUE(near(px(80, 60), kBlack, 60)) << px(80, 60);
}

TEST_F(LineRenderTest, CurveBendsOutsideItsPolylineAndPassesThroughItsPoints) {
    ZN_NLine* line = addLine({{20, 100}, {80, 20}, {140, 100}});
    line->setLineWide(3);
    drawFrame();
    // Straight: halfway along the first segment lies (46.25, 65).
    EXPECT_TRUE(near(px(46, 65), kBlack, 80)) << px(46, 65);
    EXPECT_TRUE(near(px(46, 55), kWhite, 30)) << px(46, 55);

    line->setStrightType(1);
    drawFrame();
    // The curve's midpoint of that span is (46.25, 55), ten pixels outside.
    EXPECT_TRUE(near(px(46, 55), kBlack, 80)) << px(46, 55);
    EXPECT_TRUE(near(px(46, 65), kWhite, 30)) << px(46, 65);
    EXPECT_TRUE(near(px(80, 21), kBlack, 80)) << px(80, 21);

    // Two points make a straight segment whatever the type.
    page.clear();
    line = addLine({{20, 100}, {140, 20}});
    line->setLineWide(3);
    line->setStrightType(1);
    drawFrame();
    EXPECT_TRUE(near(px(80, 60), kBlack, 80)) << px(80, 60);
}

TEST_F(LineRenderTest, ColourRampRunsFromGradualColourToLineColour) {
    for (int tapered : {0, 1}) {
        for (int curved : {0, 1}) {
            SCOPED_TRACE(::testing::Message() << "tapered " << tapered << " curved " << curved);
            page.clear();
            ZN_NLine* line = addLine({{10, 60}, {80, 60}, {150, 60}});
            line->setColor(ZVector3(0, 0, 1));
            line->setGradualColor(ZVector3(0, 1, 0));
            line->setbGradualColor(1);
            line->setbGradualWide(tapered);
            line->setStrightType(curved);
            line->setLineWide(4);
            line->setSelected(true); // the body keeps its ramp when selected
            drawFrame();
            const ZRGBA start = px(20, 60);
            const ZRGBA end = px(140, 60);
            // Tiny smoothed slices let some white through; the hue is what counts.
            EXPECT_GT(start.g, 170) << start;
            EXPECT_GT(start.g, start.b + 100) << start;
            EXPECT_GT(end.b, 150) << end;
            // The plain segment ramp ends one third short of the line colour.
            EXPECT_GT(end.b, end.g + 40) << end;
            EXPECT_TRUE(near(px(80, 56), kRed, 30)) << "selection square " << px(80, 56);
        }
    }
}

TEST_F(LineRenderTest, ArrowHeadAtTheEndOnly) {
    ZN_NLine* line = addLine({{20, 60}, {140, 60}});
    line->setArrowType(1);
    line->setArrowSize(30);
    drawFrame();
    // Back corners lie 29 behind the tip and 7.8 to either side.
    EXPECT_TRUE(near(px(118, 63), kBlack, 60)) << px(118, 63);
    EXPECT_TRUE(near(px(118, 56), kBlack, 60)) << px(118, 56);
    EXPECT_TRUE(near(px(113, 65), kBlack, 80)) << px(113, 65);
    EXPECT_TRUE(near(px(106, 64), kWhite, 30)) << px(106, 64);
    EXPECT_TRUE(near(px(118, 68), kWhite, 30)) << px(118, 68);
    EXPECT_TRUE(near(px(35, 64), kWhite, 30)) << "no head at the start";
}

TEST_F(LineRenderTest, CurvedArrowPointsAlongTheLastSpan) {
    ZN_NLine* line = addLine({{20, 100}, {80, 60}, {140, 60}});
    line->setStrightType(1);
    line->setArrowType(1);
    line->setArrowSize(30);
    drawFrame();
    EXPECT_TRUE(near(px(122, 62), kBlack, 60)) << px(122, 62);
    EXPECT_TRUE(near(px(122, 57), kBlack, 60)) << px(122, 57);
    EXPECT_TRUE(near(px(122, 67), kWhite, 30)) << px(122, 67);
}

TEST_F(LineRenderTest, HorizontalTailRunsOffsetHToTheRight) {
    ZN_NLine* line = addLine({{20, 20}, {60, 60}});
    line->setbOffsetH(1);
    line->setOffsetH(70);
    drawFrame();
    EXPECT_TRUE(near(px(100, 60), kBlack, 60)) << px(100, 60);
    EXPECT_TRUE(near(px(128, 60), kBlack, 60)) << px(128, 60);
    EXPECT_TRUE(near(px(136, 60), kWhite, 30)) << px(136, 60);

    // With an arrow the tail is not drawn.
    line->setArrowType(1);
    drawFrame();
    EXPECT_TRUE(near(px(100, 60), kWhite, 30)) << px(100, 60);
}

TEST_F(LineRenderTest, SelectionSquaresFollowTheTaper) {
    ZN_NLine* line = addLine({{40, 60}, {120, 60}});
    line->setSelected(true);
    drawFrame();
    // Half size line wide + 2 = 4.
    EXPECT_TRUE(near(px(40, 57), kRed, 30)) << px(40, 57);
    EXPECT_TRUE(near(px(40, 66), kWhite, 30)) << px(40, 66);

    line->setbGradualWide(1);
    drawFrame();
    // Half size (int)(8 * 0.5 + 2) = 6.
    EXPECT_TRUE(near(px(120, 65), kRed, 30)) << px(120, 65);
    EXPECT_TRUE(near(px(127, 60), kWhite, 30)) << px(127, 60);
    EXPECT_TRUE(near(px(125, 60), kRed, 30)) << px(125, 60);
}

// Widths read from a damaged file: the squares' size is reckoned without
// integer overflow and they still cover the points.
TEST_F(LineRenderTest, SelectionSquaresOfTheWidestLineStillCoverItsPoints) {
    ZN_NLine* line = addLine({{40, 60}, {120, 60}});
    line->setLineWide(INT_MAX);
    line->setSelected(true);
    drawFrame();
    EXPECT_TRUE(near(px(40, 60), kRed, 30)) << px(40, 60);
}
