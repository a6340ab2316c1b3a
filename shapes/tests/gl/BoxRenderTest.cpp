#include "SceneFixture.h"

#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_NRect.h>

#include <GL/gl.h>

#include <array>
#include <memory>

namespace {

class BoxRenderTest : public SceneFixture {
protected:
    // A 60 x 40 box at (40, 30)-(100, 70): blue inside, red frame.
    ZN_NRect* addBox() {
        auto* b = new ZN_NRect();
        b->setPoint1(ZVector2(40, 30));
        b->setPoint2(ZVector2(100, 70));
        b->setFillColor(ZVector3(0, 0, 1));
        b->setColor(ZVector3(1, 0, 0));
        page.addShape(b);
        return b;
    }
    // Window positions of handles 1..8 of that box.
    static std::array<std::array<int, 2>, 8> handles() {
        return {{{40, 30}, {40, 50}, {40, 70}, {70, 70}, {100, 70}, {100, 50}, {100, 30}, {70, 30}}};
    }
    // A point on each handle's outline (its outer vertical edge) and one
    // inside its square, both away from the box's own fill and frame.
    static std::array<int, 2> outlinePoint(int k) {
        const auto h = handles()[k - 1];
        const int dx = h[0] <= 40 ? -4 : 4;
        const int dy = h[1] <= 30 ? -2 : 2;
        return {h[0] + dx - (dx > 0 ? 1 : 0), h[1] + dy};
    }
    static std::array<int, 2> squarePoint(int k) {
        const auto h = handles()[k - 1];
        const int dx = h[0] <= 40 ? -2 : (h[0] >= 100 ? 2 : 0);
        const int dy = h[1] <= 30 ? -2 : 2;
        return {h[0] + dx, h[1] + dy};
    }
};

TEST_F(BoxRenderTest, FillInsideAndFrameOnTheOutline) {
    addBox();
    drawFrame();
    EXPECT_TRUE(near(px(70, 50), kBlue));
    EXPECT_TRUE(near(px(40, 50), kRed, 30)) << px(40, 50);
    EXPECT_TRUE(near(px(99, 50), kRed, 30)) << px(99, 50);
    EXPECT_TRUE(near(px(70, 30), kRed, 30)) << px(70, 30);
    EXPECT_TRUE(near(px(70, 69), kRed, 30)) << px(70, 69);
    EXPECT_TRUE(near(px(20, 50), kWhite));
    EXPECT_TRUE(near(px(120, 50), kWhite));
}

TEST_F(BoxRenderTest, FollowsTheViewOffset) {
    addBox();
    setScallPosition(ZVector2(30.0f, 20.0f));
    drawFrame();
    EXPECT_TRUE(near(px(15, 15), kBlue));
    EXPECT_TRUE(near(px(75, 50), kWhite));
}

TEST_F(BoxRenderTest, SurroundGradientHasItsColourAtTheCentre) {
    ZN_NRect* b = addBox();
    b->setGradualType(1);
    b->setGradualColor(ZVector3(0, 1, 0));
    drawFrame();
    EXPECT_TRUE(near(px(70, 50), kGreen, 12)) << px(70, 50);
    // Near a corner the fill colour dominates.
    const ZRGBA corner = px(43, 33);
    EXPECT_GT(corner.b, 200) << corner;
    EXPECT_LT(corner.g, 60) << corner;
}

TEST_F(BoxRenderTest, LeftToRightGradientRunsFromFillToGradient) {
    ZN_NRect* b = addBox();
    b->setGradualType(3);
    b->setGradualColor(ZVector3(0, 1, 0));
    drawFrame();
    const ZRGBA left = px(43, 50), middle = px(70, 50), right = px(97, 50);
    EXPECT_GT(left.b, 220) << left;
    EXPECT_LT(left.g, 30) << left;
    EXPECT_GT(right.g, 220) << right;
    EXPECT_LT(right.b, 30) << right;
    EXPECT_TRUE(near(middle, ZRGBA{0, 128, 128, 255}, 10)) << middle;
    // The gradient does not vary from top to bottom.
    EXPECT_TRUE(near(px(70, 34), middle, 2));
}

TEST_F(BoxRenderTest, CentreBandGradientsPutTheGradientColourOnTheCentreLine) {
    ZN_NRect* b = addBox();
    b->setGradualColor(ZVector3(0, 1, 0));
    b->setGradualType(2);
    drawFrame();
    EXPECT_TRUE(near(px(70, 50), kGreen, 12)) << px(70, 50);
    EXPECT_GT(px(43, 50).b, 220);
    EXPECT_GT(px(97, 50).b, 220);

    b->setGradualType(4);
    drawFrame();
    EXPECT_TRUE(near(px(70, 50), kGreen, 12)) << px(70, 50);
    EXPECT_GT(px(70, 31).b, 220);
    EXPECT_GT(px(70, 68).b, 220);

    b->setGradualType(5);
    drawFrame();
    EXPECT_GT(px(70, 31).b, 220);
    EXPECT_GT(px(70, 68).g, 220);
}

TEST_F(BoxRenderTest, UnknownFillModeLeavesTheCanvasButKeepsTheFrame) {
    ZN_NRect* b = addBox();
    b->setGradualType(7);
    drawFrame();
    EXPECT_TRUE(near(px(70, 50), kWhite));
    EXPECT_TRUE(near(px(40, 50), kRed, 30));
}

TEST_F(BoxRenderTest, UnderlineDrawsOnlyTheBottomEdge) {
    ZN_NRect* b = addBox();
    b->setRectShowtype(1);
    b->setFillColor(ZVector3(1, 1, 1));
    drawFrame();
    EXPECT_TRUE(near(px(70, 69), kRed, 30)) << px(70, 69);
    EXPECT_TRUE(near(px(40, 50), kWhite, 2)) << px(40, 50);
    EXPECT_TRUE(near(px(99, 50), kWhite, 2)) << px(99, 50);
    EXPECT_TRUE(near(px(70, 30), kWhite, 2)) << px(70, 30);
}

TEST_F(BoxRenderTest, SelectedBoxShowsEightGreyOutlinesAndNoneFilled) {
    ZN_NRect* b = addBox();
    b->setSelected(true);
    drawFrame();
    for (int k = 1; k <= 8; ++k) {
        const auto o = outlinePoint(k), s = squarePoint(k);
        EXPECT_TRUE(near(px(o[0], o[1]), kGrey, 40)) << "handle " << k << " " << px(o[0], o[1]);
        // The squares of the middle handles 4 and 8 sit on the frame.
        if (k != 4 && k != 8) {
            EXPECT_FALSE(near(px(s[0], s[1]), kGrey, 40)) << "handle " << k << " filled";
        }
    }
}

TEST_F(BoxRenderTest, HighlightFillsItsHandleGreenAndWinsOverSelection) {
    ZN_NRect* b = addBox();
    b->setSelected(true);
    b->setSnake(6);
    drawFrame();
    for (int k = 1; k <= 8; ++k) {
        const auto o = outlinePoint(k);
        EXPECT_TRUE(near(px(o[0], o[1]), kGreen, 40)) << "handle " << k << " " << px(o[0], o[1]);
    }
    EXPECT_TRUE(near(px(102, 52), kGreen, 10)) << px(102, 52);
    EXPECT_TRUE(near(px(102, 72), kWhite, 10)) << "handle 5 filled";

    b->setSnake(9);
    drawFrame();
    EXPECT_TRUE(near(px(outlinePoint(6)[0], outlinePoint(6)[1]), kGreen, 40));
    EXPECT_TRUE(near(px(102, 52), kWhite, 10)) << "code 9 fills no handle";
}

TEST_F(BoxRenderTest, HandleOutlinesTakeTheBoxLineWidth) {
    ZN_NRect* b = addBox();
    b->setSelected(true);
    b->setLineWide(5);
    drawFrame();
    // Handle 1's left edge at x = 36 is 5 pixels wide: 34..38.
    EXPECT_TRUE(near(px(34, 27), kGrey, 40)) << px(34, 27);
    EXPECT_TRUE(near(px(38, 27), kGrey, 40)) << px(38, 27);
    EXPECT_TRUE(near(px(32, 27), kWhite, 10)) << px(32, 27);
}

TEST_F(BoxRenderTest, HiddenBoxDrawsNothing) {
    ZN_NRect* b = addBox();
    b->setSelected(true);
    b->setSnake(3);
    b->setShow(false);
    drawFrame();
    EXPECT_TRUE(allPixels(kWhite));
}

class PictureBoxTest : public BoxRenderTest {
protected:
    // A picture of 1 x 2 pixels: stored row 0 (the picture's bottom row) in
    // `bottom`, row 1 in `top`; bytes in the order the file type says.
    ZImageTexture* makePicture(std::array<unsigned char, 3> bottom,
                               std::array<unsigned char, 3> top, int fileType) {
        const unsigned char bytes[8] = {bottom[0], bottom[1], bottom[2], 0,
                                        top[0],    top[1],    top[2],    0};
        auto* data = new ZImageData();
        data->copyData(bytes, 1, 2, 8);
        data->setFileType(fileType);
        picture = std::make_unique<ZImageTexture>(data, "test.jpg");
        scene.makeCurrent();
        picture->resetTexture();
        scene.releaseCurrent();
        return picture.get();
    }
    void TearDown() override {
        if (picture) {
            scene.makeCurrent();
            picture.reset();
            scene.releaseCurrent();
        }
        BoxRenderTest::TearDown();
    }
    std::unique_ptr<ZImageTexture> picture;
};

TEST_F(PictureBoxTest, PictureIsStretchedWithItsFirstRowAtTheBottom) {
    ZN_NRect* b = addBox();
    b->setGradualType(1); // ignored under a picture
    b->setImageData(makePicture({255, 0, 0}, {0, 0, 255}, 1));
    ASSERT_NE(picture->getTexture(), 0u);
    drawFrame();
    // Each texel row's centre lies a quarter of the way in from its edge.
    EXPECT_TRUE(near(px(70, 40), kBlue, 10)) << px(70, 40);
    EXPECT_TRUE(near(px(70, 60), kRed, 10)) << px(70, 60);
    EXPECT_TRUE(near(px(40, 50), kRed, 30)) << "framed in the frame colour";
    scene.makeCurrent();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    scene.releaseCurrent();
}

TEST_F(PictureBoxTest, FileTypeChoosesTheByteOrder) {
    ZN_NRect* b = addBox();
    b->setImageData(makePicture({10, 20, 200}, {10, 20, 200}, 1));
    drawFrame();
    EXPECT_TRUE(near(px(70, 50), ZRGBA{10, 20, 200, 255}, 2)) << px(70, 50);

    b->setImageData(makePicture({10, 20, 200}, {10, 20, 200}, 0));
    drawFrame();
    EXPECT_TRUE(near(px(70, 50), ZRGBA{200, 20, 10, 255}, 2)) << px(70, 50);
}

TEST_F(PictureBoxTest, PaddedRowsAreReadWhateverAlignmentWasLeftSet) {
    ZN_NRect* b = addBox();
    scene.makeCurrent();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1); // as text drawing leaves it
    scene.releaseCurrent();
    b->setImageData(makePicture({255, 0, 0}, {0, 0, 255}, 1));
    drawFrame();
    EXPECT_TRUE(near(px(70, 40), kBlue, 10)) << px(70, 40);
    EXPECT_TRUE(near(px(70, 60), kRed, 10)) << px(70, 60);
}

} // namespace
