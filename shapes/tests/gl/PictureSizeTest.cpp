// Pictures become textures no larger than they are drawn: a photo of many
// megapixels in a small box costs a small texture, and zooming in sharpens it.

#include "SceneFixture.h"

#include <sarvik/ZImageData.h>
#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_NRect.h>

#include <GL/gl.h>

namespace {

class PictureSizeTest : public SceneFixture {
protected:
    void TearDown() override {
        scene.makeCurrent();
        picture.reset();
        scene.releaseCurrent();
        setViewZoom(1.0f);
        SceneFixture::TearDown();
    }

    // A picture whose left half is red and right half blue, in a box
    // (10, 10)..(90, 70).
    ZN_NRect* showPicture(int width, int height) {
        const std::int64_t stride = ZImageData::rowStride(width);
        std::vector<unsigned char> bytes(static_cast<std::size_t>(stride * height), 0);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                bytes[static_cast<std::size_t>(y * stride + x * 3 + (x < width / 2 ? 0 : 2))] = 255;
        auto* data = new ZImageData();
        data->copyData(bytes.data(), width, height, static_cast<int>(bytes.size()));
        data->setFileType(1);
        scene.makeCurrent();
        picture = std::make_unique<ZImageTexture>(data, "big.jpg");
        picture->resetTexture();
        scene.releaseCurrent();
        auto* box = static_cast<ZN_NRect*>(ZN_ShapeBase::createShape(7));
        box->setPoint1(ZVector2(10.0f, 10.0f));
        box->setPoint2(ZVector2(90.0f, 70.0f));
        box->setImageData(picture.get());
        page.addShape(box);
        return box;
    }
    // The size of the texture as GL holds it.
    std::pair<int, int> textureSize() {
        scene.makeCurrent();
        glBindTexture(GL_TEXTURE_2D, picture->getTexture());
        GLint w = 0, h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        scene.releaseCurrent();
        return {w, h};
    }

    std::unique_ptr<ZImageTexture> picture;
};

TEST_F(PictureSizeTest, ALargePictureInASmallBoxGetsASmallTexture) {
    showPicture(3000, 2200);
    drawFrame();
    // 80 x 60 pixels on screen: the texture need not be larger than 128 x 64.
    const auto [w, h] = textureSize();
    EXPECT_LE(w, 128);
    EXPECT_LE(h, 64);
    EXPECT_GE(w, 80);
    EXPECT_GE(h, 32);
    // The halves keep their colours, averaged rather than sampled.
    EXPECT_TRUE(near(px(30, 40), kRed, 10)) << px(30, 40);
    EXPECT_TRUE(near(px(70, 40), kBlue, 10)) << px(70, 40);

    // Zoomed in fourfold, it is made again for 320 x 240 pixels.
    scene.setZoom(4.0f);
    setScallPosition(ZVector2(20.0f, 20.0f));
    drawFrame();
    const auto [w4, h4] = textureSize();
    EXPECT_GE(w4, 320);
    EXPECT_GE(h4, 240);
    EXPECT_LE(w4, 512);
    EXPECT_LE(h4, 256);
    EXPECT_TRUE(near(px(40, 40), kRed, 10)) << px(40, 40);

    // Zoomed out again, it is kept rather than made again.
    scene.setZoom(1.0f);
    setScallPosition(ZVector2(0.0f, 0.0f));
    drawFrame();
    EXPECT_EQ(textureSize(), std::make_pair(w4, h4));
}

TEST_F(PictureSizeTest, APictureDrawnSmallerThanItsTextureIsReadFromItsSmallerLevels) {
    // Columns one pixel wide, black and white by turns.
    const int width = 512, height = 32;
    const std::int64_t stride = ZImageData::rowStride(width);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(stride * height), 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; x += 2)
            for (int c = 0; c < 3; ++c)
                bytes[static_cast<std::size_t>(y * stride + x * 3 + c)] = 255;
    auto* data = new ZImageData();
    data->copyData(bytes.data(), width, height, static_cast<int>(bytes.size()));
    data->setFileType(1);
    scene.makeCurrent();
    picture = std::make_unique<ZImageTexture>(data, "stripes.jpg");
    picture->resetTexture();
    scene.releaseCurrent();
    auto* box = static_cast<ZN_NRect*>(ZN_ShapeBase::createShape(7));
    box->setPoint1(ZVector2(10.0f, 10.0f));
    box->setPoint2(ZVector2(90.0f, 70.0f));
    box->setImageData(picture.get());
    page.addShape(box);
    // Zoomed in, the whole picture becomes the texture; zoomed out again, it
    // is kept and drawn over 80 pixels.
    scene.setZoom(4.0f);
    drawFrame();
    scene.setZoom(1.0f);
    drawFrame();
    ASSERT_EQ(textureSize().first, 512);
    // Six texels a pixel average to grey; sampling two of them would give
    // pixels anywhere from black to white.
    for (int x = 15; x < 85; ++x)
        EXPECT_NEAR(px(x, 40).r, 128, 40) << x;
}

TEST_F(PictureSizeTest, APictureSmallerThanItsBoxIsUploadedWhole) {
    showPicture(20, 12);
    drawFrame();
    // GLU's powers of two for the whole picture, as before.
    EXPECT_EQ(textureSize(), std::make_pair(16, 16));
    EXPECT_TRUE(near(px(20, 40), kRed, 10)) << px(20, 40);
    EXPECT_TRUE(near(px(80, 40), kBlue, 10)) << px(80, 40);
}

} // namespace
