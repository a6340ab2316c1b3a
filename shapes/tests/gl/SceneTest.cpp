#include "SceneFixture.h"

#include <sarvik/ZN_NRect.h>

#include <GL/gl.h>

#include <vector>

namespace {

ZN_NRect* addBox(ZN_ShapeManager& page, float x1, float y1, float x2, float y2,
                 const ZVector3& fill) {
    auto* box = new ZN_NRect();
    box->setPoint1(ZVector2(x1, y1));
    box->setPoint2(ZVector2(x2, y2));
    box->setFillColor(fill);
    box->setColor(fill);
    page.addShape(box);
    return box;
}

using SceneTest = SceneFixture;

TEST_F(SceneTest, ProjectionIsCapturedOnlyOnceBound) {
    ZN_Scene unbound;
    unbound.makeCurrent();    // nothing to make current: must not touch GL
    unbound.releaseCurrent();
    unbound.resize(300, 200);
    EXPECT_EQ(unbound.getWidth(), 300);
    EXPECT_EQ(unbound.getHeight(), 200);
    EXPECT_TRUE(unbound.getProjection() == ZMatrix4X4(true));

    // glOrtho(0, 160, 120, 0, -2000, 2000) in OpenGL's array order.
    const float* m = scene.getProjection();
    EXPECT_FLOAT_EQ(m[0], 2.0f / kWidth);
    EXPECT_FLOAT_EQ(m[5], -2.0f / kHeight);
    EXPECT_FLOAT_EQ(m[10], -2.0f / 4000.0f);
    EXPECT_FLOAT_EQ(m[12], -1.0f);
    EXPECT_FLOAT_EQ(m[13], 1.0f);
    EXPECT_FLOAT_EQ(m[15], 1.0f);
    EXPECT_FLOAT_EQ(m[1], 0.0f);
    EXPECT_FLOAT_EQ(m[4], 0.0f);

    // resize leaves both matrix stacks at identity for the shapes' code.
    scene.makeCurrent();
    GLfloat stack[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, stack);
    EXPECT_FLOAT_EQ(stack[0], 1.0f);
    EXPECT_FLOAT_EQ(stack[12], 0.0f);
    glGetFloatv(GL_PROJECTION_MATRIX, stack);
    EXPECT_FLOAT_EQ(stack[5], 1.0f);
    scene.releaseCurrent();
}

TEST_F(SceneTest, WithoutAProjectionAFrameIsOnlyTheClearColour) {
    ZN_Scene fresh;
    fresh.setShapeManager(&page);
    fresh.init(gl.get());
    addBox(page, 0, 0, 300, 300, ZVector3(1, 0, 0));
    page.setBackColor(ZVector4(0.0f, 0.0f, 1.0f, 1.0f));
    fresh.render();
    fresh.releaseCurrent();
    image = gl->readPixels();
    EXPECT_TRUE(allPixels(kBlue));
}

TEST_F(SceneTest, WindowOriginIsTopLeftAndYGrowsDown) {
    addBox(page, 0, 0, 10, 10, ZVector3(1, 0, 0));
    addBox(page, kWidth - 10, kHeight - 10, kWidth, kHeight, ZVector3(0, 0, 1));
    drawFrame();
    EXPECT_TRUE(near(px(4, 4), kRed));
    EXPECT_TRUE(near(px(kWidth - 5, kHeight - 5), kBlue));
    EXPECT_TRUE(near(px(kWidth - 5, 4), kWhite));
    EXPECT_TRUE(near(px(4, kHeight - 5), kWhite));
}

TEST_F(SceneTest, ClearsToThePageColourWithItsAlpha) {
    page.setBackColor(ZVector4(0.0f, 1.0f, 0.0f, 0.5f));
    drawFrame();
    EXPECT_TRUE(near(px(80, 60), ZRGBA{0, 255, 0, 128}, 1));
    EXPECT_TRUE(allPixels(px(0, 0)));
}

TEST_F(SceneTest, LaterShapesArePaintedOverEarlierOnes) {
    addBox(page, 20, 20, 80, 80, ZVector3(1, 0, 0));
    addBox(page, 50, 50, 120, 110, ZVector3(0, 0, 1));
    drawFrame();
    EXPECT_TRUE(near(px(35, 35), kRed));
    EXPECT_TRUE(near(px(65, 65), kBlue));
    EXPECT_TRUE(near(px(100, 100), kBlue));
}

TEST_F(SceneTest, SetsTheStateShapesStartFrom) {
    scene.makeCurrent();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glLineWidth(7.0f);
    scene.render();
    GLfloat width = 0, point = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    glGetFloatv(GL_POINT_SIZE, &point);
    EXPECT_EQ(width, 2.0f);
    EXPECT_EQ(point, 9.0f);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
    GLint src = 0, dst = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(src, GL_SRC_ALPHA);
    EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);
    scene.releaseCurrent();
}

// Boxes far off screen may be skipped, but a box just outside the window whose
// frame or handles reach into it must still be drawn.
TEST_F(SceneTest, SkippingOffScreenBoxesChangesNothingVisible) {
    for (int i = 0; i < 50; ++i)
        addBox(page, 1000.0f + i * 30, 1000.0f, 1020.0f + i * 30, 1020.0f, ZVector3(1, 0, 0));
    ZN_NRect* left = addBox(page, -40, 40, -3, 80, ZVector3(0, 0, 1));
    left->setSelected(true);
    ZN_NRect* below = addBox(page, 60, kHeight + 3, 100, kHeight + 30, ZVector3(0, 0, 1));
    below->setSnake(8);
    setScallPosition(ZVector2(0.0f, 0.0f));
    drawFrame();
    // Handle 6 of the left box spans x = -7..1 at y = 60.
    EXPECT_TRUE(near(px(0, 56), kGrey, 40)) << px(0, 56);
    // Handle 8 of the box below spans y = 119..127 and is filled green.
    EXPECT_TRUE(near(px(80, kHeight - 1), kGreen, 40)) << px(80, kHeight - 1);

    // Scrolling brings the far boxes in.
    setScallPosition(ZVector2(990.0f, 990.0f));
    drawFrame();
    EXPECT_TRUE(near(px(20, 20), kRed));
}

} // namespace
