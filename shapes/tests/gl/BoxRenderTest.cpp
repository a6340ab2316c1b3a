#include "SceneFixture.h"

#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_NRect.h>

#include <GL/gl.h>

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
    // A pixel of handle k's square away from the box's fill and frame: on
    // its outer edge (outline) or just inside that edge.
    ZRGBA handlePx(int k, bool outline) const {
        static const int pos[8][2] = {{40, 30}, {40, 50},  {40, 70},  {70, 70},
                                      {100, 70}, {100, 50}, {100, 30}, {70, 30}};
        const int x = pos[k - 1][0], y = pos[k - 1][1];
        const int d = outline ? 4 : 2;
        if (x == 70) // top and bottom middle: the outer edge is horizontal
            return px(x + 2, y == 30 ? y - d : y + d - (outline ? 1 : 0));
        return px(x == 40 ? x - d : x + d - (outline ? 1 : 0), y + (y <= 30 ? -2 : 2));
    }
};

TEST_F(BoxRenderTest, FillInsideFrameOnTheOutlineAndTheViewOffsetApplied) {
    addBox();
    drawFrame();
    EXPECT_TRUE(near(px(70, 50), kBlue));
    for (auto [x, y] : {std::pair{40, 50}, {99, 50}, {70, 30}, {70, 69}})
        EXPECT_TRUE(near(px(x, y), kRed, 30));
    EXPECT_TRUE(near(px(20, 50), kWhite));

    setScallPosition(ZVector2(30.0f, 20.0f));
    drawFrame();
    EXPECT_TRUE(near(px(15, 15), kBlue));
    EXPECT_TRUE(near(px(75, 50), kWhite));
}

TEST_F(BoxRenderTest, SurroundAndLeftToRightGradients) {
    ZN_NRect* b = addBox();
    b->setGradualColor(ZVector3(0, 1, 0));
    b->setGradualType(1);
    drawFrame();
    EXPECT_TRUE(near(px(70, 50), kGreen, 12));
    EXPECT_TRUE(near(px(42, 32), kBlue, 40)) << "fill colour at the corners";

    b->setGradualType(3);
    drawFrame();
    EXPECT_TRUE(near(px(42, 50), kBlue, 20));
    EXPECT_TRUE(near(px(97, 50), kGreen, 20));
    EXPECT_TRUE(near(px(70, 50), ZRGBA{0, 128, 128, 255}, 10));
    EXPECT_TRUE(near(px(70, 33), px(70, 50), 2)) << "no vertical change";
}

TEST_F(BoxRenderTest, UnknownFillModeAndUnderlineFrame) {
    ZN_NRect* b = addBox();
    b->setGradualType(7);
    b->setRectShowtype(1);
    drawFrame();
    EXPECT_TRUE(near(px(70, 50), kWhite, 2));
    EXPECT_TRUE(near(px(70, 69), kRed, 30));
    for (auto [x, y] : {std::pair{40, 50}, {99, 50}, {70, 30}})
        EXPECT_TRUE(near(px(x, y), kWhite, 2));
}

TEST_F(BoxRenderTest, SelectedBoxShowsEightGreyOutlinesAndNoneFilled) {
    ZN_NRect* b = addBox();
    b->setSelected(true);
    drawFrame();
    for (int k = 1; k <= 8; ++k) {
        EXPECT_TRUE(near(handlePx(k, true), kGrey, 40)) << "outline of handle " << k;
        EXPECT_TRUE(near(handlePx(k, false), kWhite, 40)) << "inside of handle " << k;
    }
}

TEST_F(BoxRenderTest, HighlightFillsItsHandleGreenAndWinsOverSelection) {
    ZN_NRect* b = addBox();
    b->setSelected(true);
    b->setSnake(6);
    drawFrame();
    for (int k = 1; k <= 8; ++k) {
        EXPECT_TRUE(near(handlePx(k, true), kGreen, 40)) << "outline of handle " << k;
        EXPECT_TRUE(near(handlePx(k, false), k == 6 ? kGreen : kWhite, 40)) << "handle " << k;
    }
    b->setSnake(9);
    drawFrame();
    EXPECT_TRUE(near(handlePx(6, true), kGreen, 40));
    EXPECT_TRUE(near(handlePx(6, false), kWhite, 40)) << "code 9 fills no handle";
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
    // A 1 x 2 picture: stored row 0 (the picture's bottom row) is `bottom`.
    void showPicture(ZN_NRect* box, const unsigned char (&bottom)[3],
                     const unsigned char (&top)[3], int fileType) {
        const unsigned char bytes[8] = {bottom[0], bottom[1], bottom[2], 0,
                                        top[0],    top[1],    top[2],    0};
        auto* data = new ZImageData();
        data->copyData(bytes, 1, 2, 8);
        data->setFileType(fileType);
        scene.makeCurrent();
        picture = std::make_unique<ZImageTexture>(data, "test.jpg");
        picture->resetTexture();
        scene.releaseCurrent();
        box->setImageData(picture.get());
    }
    void TearDown() override {
        scene.makeCurrent();
        picture.reset();
        scene.releaseCurrent();
    }
    std::unique_ptr<ZImageTexture> picture;
};

TEST_F(PictureBoxTest, PictureIsStretchedWithItsFirstRowAtTheBottom) {
    ZN_NRect* b = addBox();
    b->setGradualType(1); // ignored under a picture
    showPicture(b, {255, 0, 0}, {0, 0, 255}, 1);
    drawFrame();
    // Each texel row's centre lies a quarter of the way in from its edge.
    EXPECT_TRUE(near(px(70, 40), kBlue, 10));
    EXPECT_TRUE(near(px(70, 60), kRed, 10));
    EXPECT_TRUE(near(px(40, 50), kRed, 30)) << "framed in the frame colour";
}

TEST_F(PictureBoxTest, FileTypeChoosesTheByteOrder) {
    ZN_NRect* b = addBox();
    showPicture(b, {10, 20, 200}, {10, 20, 200}, 1);
    drawFrame();
    EXPECT_TRUE(near(px(70, 50), ZRGBA{10, 20, 200, 255}, 2));
    showPicture(b, {10, 20, 200}, {10, 20, 200}, 0);
    drawFrame();
    EXPECT_TRUE(near(px(70, 50), ZRGBA{200, 20, 10, 255}, 2));
}

TEST_F(PictureBoxTest, PaddedRowsAreReadWhateverAlignmentWasLeftSet) {
    ZN_NRect* b = addBox();
    scene.makeCurrent();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1); // as text drawing leaves it
    scene.releaseCurrent();
    showPicture(b, {255, 0, 0}, {0, 0, 255}, 1);
    drawFrame();
    EXPECT_TRUE(near(px(70, 40), kBlue, 10));
    EXPECT_TRUE(near(px(70, 60), kRed, 10));
}

} // namespace
