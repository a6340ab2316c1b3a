#include "SceneFixture.h"

#include <sarvik/ZN_SText.h>

#include <GL/gl.h>


namespace {

class TextRenderTest : public SceneFixture {
protected:
    // A blue text in a 100 x 40 rectangle at (20, 30), left aligned.
    ZN_SText* addText(const char* s) {
        auto* t = new ZN_SText();
        t->setRect(ZVector2(20.0f, 30.0f), ZVector2(120.0f, 70.0f));
        t->setTextAlignType(1);
        t->setText(s);
        t->setFontColor(ZVector3(0.0f, 0.0f, 1.0f));
        page.addShape(t);
        return t;
    }

    // Every pixel of the text's picture appears in the frame where the
    // picture's bottom row meets the rectangle's bottom edge: blue where the
    // picture has ink, background elsewhere.
    void expectPictureAt(const ZN_SText& t, int left, int bottom) {
        const auto& bm = t.getGLFont().getBitmap();
        ASSERT_TRUE(bm);
        int inked = 0;
        for (int y = 0; y < bm->height; ++y)
            for (int x = 0; x < bm->width; ++x) {
                const int wx = left + x, wy = bottom - bm->height + y;
                if (wx >= kWidth || wy < 0 || wy >= kHeight)
                    continue;
                const bool ink = bm->ink(x, y);
                inked += ink ? 1 : 0;
                ASSERT_TRUE(near(px(wx, wy), ink ? kBlue : kWhite, 1))
                    << "picture (" << x << ", " << y << ") at window (" << wx << ", " << wy << ")";
            }
        EXPECT_GT(inked, 30);
    }
};

TEST_F(TextRenderTest, PictureRisesFromTheBottomLeftCorner) {
    ZN_SText* t = addText("Tg 页");
    drawFrame();
    expectPictureAt(*t, 20, 70);
    // Nothing outside the rectangle.
    for (int x = 0; x < kWidth; ++x) {
        EXPECT_TRUE(near(px(x, 29), kWhite, 1)) << x;
        EXPECT_TRUE(near(px(x, 70), kWhite, 1)) << x;
    }
}

TEST_F(TextRenderTest, FollowsTheViewOffsetAndIgnoresUnpackState) {
    ZN_SText* t = addText("Offset");
    setScallPosition(ZVector2(10.0f, -5.0f));
    // Whatever another drawing left in the unpack state must not skew the text.
    scene.makeCurrent();
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_TRUE);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 7);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    scene.releaseCurrent();
    drawFrame();
    expectPictureAt(*t, 10, 75);
}

TEST_F(TextRenderTest, SelectionOutlineIsRedAndEmptyTextShowsOnlyIt) {
    ZN_SText* t = addText("");
    t->setSelected(true);
    drawFrame();
    EXPECT_TRUE(near(px(70, 30), kRed, 40)) << px(70, 30);
    EXPECT_TRUE(near(px(20, 50), kRed, 40)) << px(20, 50);
    EXPECT_TRUE(near(px(120, 50), kRed, 40)) << px(120, 50);
    EXPECT_TRUE(near(px(70, 70), kRed, 40)) << px(70, 70);
    for (int y = 34; y < 67; ++y)
        for (int x = 24; x < 117; ++x)
            ASSERT_TRUE(near(px(x, y), kWhite, 1)) << x << ", " << y;
}

TEST_F(TextRenderTest, HiddenTextDrawsNothing) {
    ZN_SText* t = addText("Hidden");
    t->setSelected(true);
    t->setShow(false);
    drawFrame();
    EXPECT_TRUE(allPixels(kWhite));
}

TEST_F(TextRenderTest, CornerOutsideTheWindowDropsTheWholeText) {
    ZN_SText* t = addText("Dropped text");
    // Most of the rectangle is in the window, but its bottom-left corner is not.
    t->setRect(ZVector2(-10.0f, 30.0f), ZVector2(150.0f, 70.0f));
    t->setText("Dropped text");
    drawFrame();
    EXPECT_TRUE(allPixels(kWhite));
}

} // namespace
