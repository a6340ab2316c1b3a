#include "ZHeadlessGL.h"

#include <sarvik/ZN_BackRgn.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

constexpr int W = 120;
constexpr int H = 90;
const ZRGBA white{255, 255, 255, 255};

bool isGreen(const ZRGBA& p) { return p.g > 200 && p.r < 60 && p.b < 60; }

class BackRgnGL : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        gl = ZHeadlessGL::create(W, H, &error);
        ASSERT_TRUE(gl) << "no headless GL context: " << error;
        ASSERT_TRUE(gl->makeCurrent());
        // The scene's projection: window pixels, y down.
        glViewport(0, 0, W, H);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, W, H, 0, -2000, 2000);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    void TearDown() override { setScallPosition(ZVector2(0, 0)); }

    std::vector<std::uint8_t> draw(const ZN_BackRgn& frame) {
        EXPECT_TRUE(gl->makeCurrent());
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        frame.render();
        gl->swapBuffers();
        return gl->readPixels();
    }
    // Green within one pixel of (x, y): line rasterisation may pick either
    // side of a pixel edge.
    static bool greenNear(const std::vector<std::uint8_t>& image, int x, int y) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (isGreen(ZHeadlessGL::pixelAt(image, W, H, x + dx, y + dy)))
                    return true;
        return false;
    }
    static int countGreen(const std::vector<std::uint8_t>& image) {
        int n = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                n += isGreen(ZHeadlessGL::pixelAt(image, W, H, x, y)) ? 1 : 0;
        return n;
    }

    std::unique_ptr<ZHeadlessGL> gl;
};

} // namespace

TEST_F(BackRgnGL, FrameStaysPutWhenTheViewScrolls) {
    ZN_BackRgn frame;
    frame.setPoint1(ZVector2(20.5f, 15.5f));
    frame.setPoint2(ZVector2(80.5f, 60.5f));
    frame.setShow(true);

    const auto before = draw(frame);
    EXPECT_TRUE(greenNear(before, 20, 40)) << "left edge";
    EXPECT_TRUE(greenNear(before, 80, 40)) << "right edge";
    EXPECT_TRUE(greenNear(before, 50, 15)) << "top edge";
    EXPECT_TRUE(greenNear(before, 50, 60)) << "bottom edge";
    EXPECT_EQ(ZHeadlessGL::pixelAt(before, W, H, 50, 40), white) << "the frame is not filled";
    EXPECT_EQ(ZHeadlessGL::pixelAt(before, W, H, 100, 80), white);

    setScallPosition(ZVector2(37, 23));
    const auto scrolled = draw(frame);
    EXPECT_EQ(scrolled, before);
}

TEST_F(BackRgnGL, HiddenDrawsNothingSelectedShowsSquareHandles) {
    ZN_BackRgn frame;
    frame.setPoint1(ZVector2(20.5f, 15.5f));
    frame.setPoint2(ZVector2(80.5f, 60.5f));
    frame.setShow(false);
    EXPECT_EQ(countGreen(draw(frame)), 0);

    frame.setShow(true);
    const int outline = countGreen(draw(frame));
    frame.setSelected(true);
    const auto image = draw(frame);
    EXPECT_GT(countGreen(image), outline);
    // An 8-pixel square around the top-left handle, away from the outline.
    EXPECT_TRUE(isGreen(ZHeadlessGL::pixelAt(image, W, H, 17, 12)));
    EXPECT_TRUE(isGreen(ZHeadlessGL::pixelAt(image, W, H, 23, 18)));
    // Bottom middle handle.
    EXPECT_TRUE(isGreen(ZHeadlessGL::pixelAt(image, W, H, 47, 63)));
    EXPECT_FALSE(isGreen(ZHeadlessGL::pixelAt(image, W, H, 50, 40)));
}

TEST_F(BackRgnGL, RestoresBlendingAndSmoothing) {
    ASSERT_TRUE(gl->makeCurrent());
    glDisable(GL_BLEND);
    glDisable(GL_POINT_SMOOTH);
    glDisable(GL_LINE_SMOOTH);
    glBlendFunc(GL_ONE, GL_ZERO);

    ZN_BackRgn frame;
    frame.setPoint2(ZVector2(30, 30));
    frame.setShow(true);
    frame.setSelected(true);
    frame.render();

    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_POINT_SMOOTH));
    EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
    GLint src = 0, dst = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(src, GL_SRC_ALPHA);
    EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
