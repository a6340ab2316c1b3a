#include "ZHeadlessGL.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

class HeadlessGLTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        gl = ZHeadlessGL::create(64, 32, &error);
        ASSERT_TRUE(gl) << "no headless GL context: " << error;
    }
    std::unique_ptr<ZHeadlessGL> gl;
};

TEST_F(HeadlessGLTest, ClearsAndReadsBackWithRowZeroAtTheTop) {
    ASSERT_TRUE(gl->makeCurrent());
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    // GL's scissor box counts from the bottom: this is the window's top-left corner.
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 32 - 4, 8, 4);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    gl->swapBuffers();
    gl->releaseCurrent();

    const auto image = gl->readPixels();
    ASSERT_EQ(image.size(), 64u * 32u * 4u);
    EXPECT_EQ(ZHeadlessGL::pixelAt(image, 64, 32, 0, 0), (ZRGBA{255, 0, 0, 255}));
    EXPECT_EQ(ZHeadlessGL::pixelAt(image, 64, 32, 7, 3), (ZRGBA{255, 0, 0, 255}));
    EXPECT_EQ(ZHeadlessGL::pixelAt(image, 64, 32, 8, 3), (ZRGBA{0, 0, 255, 255}));
    EXPECT_EQ(ZHeadlessGL::pixelAt(image, 64, 32, 0, 31), (ZRGBA{0, 0, 255, 255}));
    EXPECT_EQ(ZHeadlessGL::pixelAt(image, 64, 32, 64, 0), ZRGBA{});
}

TEST_F(HeadlessGLTest, ImmediateModeIsAvailable) {
    ASSERT_TRUE(gl->makeCurrent());
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 64, 32, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor4f(0, 1, 0, 1);
    glBegin(GL_QUADS);
    glVertex2f(10, 10);
    glVertex2f(10, 20);
    glVertex2f(30, 20);
    glVertex2f(30, 10);
    glEnd();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(gl->pixel(20, 15), (ZRGBA{0, 255, 0, 255}));
    EXPECT_EQ(gl->pixel(5, 15), (ZRGBA{0, 0, 0, 255}));
}

TEST_F(HeadlessGLTest, TwoContextsKeepTheirOwnPixels) {
    auto other = ZHeadlessGL::create(16, 16);
    ASSERT_TRUE(other);
    ASSERT_TRUE(gl->makeCurrent());
    glClearColor(1, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    ASSERT_TRUE(other->makeCurrent());
    glClearColor(0, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    other->releaseCurrent();
    EXPECT_EQ(gl->pixel(1, 1), (ZRGBA{255, 255, 0, 255}));
    EXPECT_EQ(other->pixel(1, 1), (ZRGBA{0, 255, 255, 255}));
}

TEST_F(HeadlessGLTest, ResizeAndBadSizes) {
    EXPECT_TRUE(gl->resize(40, 50));
    EXPECT_EQ(gl->width(), 40);
    EXPECT_EQ(gl->height(), 50);
    EXPECT_EQ(gl->readPixels().size(), 40u * 50u * 4u);
    EXPECT_FALSE(gl->resize(0, 10));
    EXPECT_FALSE(gl->resize(gl->maxSize() + 1, 10));
    EXPECT_EQ(gl->width(), 40);

    std::string error;
    EXPECT_FALSE(ZHeadlessGL::create(-1, 10, &error));
    EXPECT_FALSE(error.empty());
}

} // namespace
