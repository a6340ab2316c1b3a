// Pixels of the box variants and the fill-in table drawn through the scene.

#include "SceneFixture.h"

#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_NRectVariants.h>
#include <sarvik/ZImageTexture.h>
#include <sarvik/platform/ZFile.h>

#include <cstring>
#include <memory>

namespace {

constexpr ZRGBA kYellow{255, 255, 0, 255};

class VariantRender : public SceneFixture {
protected:
    // Adds a shape of type T over (x0, y0)-(x1, y1): blue fill, red frame,
    // yellow gradient colour.
    template <class T> T* add(float x0, float y0, float x1, float y1) {
        auto* s = new T();
        s->setPoint1(ZVector2(x0, y0));
        s->setPoint2(ZVector2(x1, y1));
        s->setFillColor(ZVector3(0, 0, 1));
        s->setColor(ZVector3(1, 0, 0));
        s->setGradualColor(ZVector3(1, 1, 0));
        page.addShape(s);
        return s;
    }
    // The colour at (x, y) or at one of its eight neighbours: lines may
    // rasterise on either side of a pixel edge.
    bool seenNear(int x, int y, const ZRGBA& colour, int tolerance = 40) const {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (near(px(x + dx, y + dy), colour, tolerance))
                    return true;
        return false;
    }
};

} // namespace

TEST_F(VariantRender, RhombusFillsTheDiamondOnlyAndAlwaysDrawsItsOutline) {
    auto* r = add<ZN_NRhombus>(20, 20, 140, 100);
    r->setRectShowtype(1);
    drawFrame();
    EXPECT_TRUE(near(px(80, 60), kBlue));
    // Corners of the bounding box lie outside the diamond.
    EXPECT_TRUE(near(px(24, 24), kWhite));
    EXPECT_TRUE(near(px(135, 95), kWhite));
    // The upper-left side runs from (20, 60) to (80, 20); the underline mode
    // does not replace it.
    EXPECT_TRUE(seenNear(50, 40, kRed));
    EXPECT_FALSE(seenNear(30, 99, kRed)); // no bottom edge of the bounding box
}

TEST_F(VariantRender, RhombusGradientPutsTheDiagonalInTheGradientColour) {
    auto* r = add<ZN_NRhombus>(20, 20, 140, 100);
    r->setGradualType(3);
    drawFrame();
    // Vertical diagonal in the gradient colour, fading to the fill at the side tips.
    EXPECT_TRUE(near(px(80, 60), kYellow, 20)) << px(80, 60);
    EXPECT_TRUE(near(px(26, 60), kBlue, 40)) << px(26, 60);
}

TEST_F(VariantRender, ParallelogramLeansRightAndSelectsOnItsOwnHandles) {
    auto* p = add<ZN_NParal>(20, 20, 140, 80); // slant 30
    drawFrame();
    EXPECT_TRUE(near(px(80, 50), kBlue));
    EXPECT_TRUE(near(px(24, 24), kWhite));   // left of the slanted left side
    EXPECT_TRUE(near(px(136, 76), kWhite));  // right of the slanted right side
    EXPECT_TRUE(near(px(135, 24), kBlue));   // the top-right vertex is the box's corner

    p->setSelected(true);
    drawFrame();
    // Handle 1 sits on the top-left vertex (50, 20), not on the box's corner.
    EXPECT_TRUE(seenNear(46, 16, kGrey, 20));
    EXPECT_FALSE(seenNear(16, 16, kGrey, 20));

    p->setSnake(1);
    drawFrame();
    EXPECT_TRUE(near(px(48, 17), kGreen, 20)) << px(48, 17);
}

TEST_F(VariantRender, EllipseTreatsEveryGradientModeAsRadial) {
    auto* e = add<ZN_NEllipse>(20, 20, 140, 100);
    e->setGradualType(1);
    drawFrame();
    const std::vector<std::uint8_t> radial = image;
    EXPECT_TRUE(near(px(80, 60), kYellow, 20)) << px(80, 60);
    EXPECT_TRUE(near(px(24, 24), kWhite)); // outside the ellipse
    EXPECT_TRUE(seenNear(80, 20, kRed));   // top of the outline

    e->setGradualType(3);
    drawFrame();
    EXPECT_EQ(image, radial);

    e->setGradualType(0);
    e->setRectShowtype(1);
    drawFrame();
    EXPECT_TRUE(near(px(80, 60), kBlue));
    EXPECT_FALSE(seenNear(80, 21, kRed)); // underline only: no top arc
    EXPECT_TRUE(seenNear(80, 99, kRed));
}

TEST_F(VariantRender, RoundRectCutsItsCornersAndFillsInBands) {
    auto* r = add<ZN_NRoundRect>(20, 20, 140, 60); // cut 6
    drawFrame();
    EXPECT_TRUE(near(px(21, 21), kWhite));
    EXPECT_TRUE(near(px(80, 40), kBlue));
    EXPECT_TRUE(seenNear(23, 23, kRed)); // on the diagonal cut

    r->setGradualType(3);
    drawFrame();
    EXPECT_TRUE(near(px(24, 40), kBlue, 40)) << px(24, 40);
    EXPECT_TRUE(near(px(136, 40), kYellow, 40)) << px(136, 40);

    r->setGradualType(2);
    drawFrame();
    EXPECT_TRUE(near(px(80, 40), kYellow, 20)) << px(80, 40);
    EXPECT_TRUE(near(px(24, 40), kBlue, 40)) << px(24, 40);

    r->setGradualType(7);
    drawFrame();
    EXPECT_TRUE(near(px(80, 40), kWhite));
    EXPECT_TRUE(seenNear(80, 20, kRed));
}

TEST_F(VariantRender, OnlyTheRoundRectDrawsItsPicture) {
    const unsigned char green[8] = {0, 255, 0, 0, 0, 255, 0, 0};
    auto* data = new ZImageData();
    data->copyData(green, 1, 2, 8);
    data->setFileType(1);
    data->setId(5);
    scene.makeCurrent();
    auto picture = std::make_unique<ZImageTexture>(data, "green.jpg");
    picture->resetTexture();
    scene.releaseCurrent();

    ZN_NRect* shapes[] = {add<ZN_NRoundRect>(10, 10, 70, 50), add<ZN_NEllipse>(90, 10, 150, 50),
                          add<ZN_NRhombus>(10, 60, 70, 110), add<ZN_NParal>(90, 60, 150, 110)};
    for (ZN_NRect* s : shapes)
        s->setImageData(picture.get());
    drawFrame();
    EXPECT_TRUE(near(px(40, 30), kGreen, 10)) << px(40, 30);
    EXPECT_TRUE(near(px(120, 30), kBlue)) << px(120, 30);
    EXPECT_TRUE(near(px(40, 85), kBlue)) << px(40, 85);
    EXPECT_TRUE(near(px(120, 85), kBlue)) << px(120, 85);

    // The picture is not drawn, but the record still names it.
    for (ZN_NRect* s : shapes) {
        auto out = ZFile::toMemory();
        s->writeFile(out.get(), 8);
        std::int32_t imageNumber = 0;
        std::memcpy(&imageNumber, out->bytes().data() + 4 + 40 + 8, 4);
        EXPECT_EQ(imageNumber, 5) << s->type();
        s->setImageData(nullptr);
    }
    scene.makeCurrent();
    picture.reset();
    scene.releaseCurrent();
}

TEST_F(VariantRender, HiddenVariantsDrawNothing) {
    for (ZN_NRect* s : {static_cast<ZN_NRect*>(add<ZN_NRoundRect>(10, 10, 60, 50)),
                        static_cast<ZN_NRect*>(add<ZN_NEllipse>(70, 10, 150, 50)),
                        static_cast<ZN_NRect*>(add<ZN_NRhombus>(10, 60, 60, 110)),
                        static_cast<ZN_NRect*>(add<ZN_NParal>(70, 60, 150, 110))}) {
        s->setSelected(true);
        s->setShow(false);
    }
    drawFrame();
    EXPECT_TRUE(allPixels(kWhite));
}

TEST_F(VariantRender, TableDrawsItsGridOrOnlyTheUnderline) {
    auto* t = add<ZN_NJiuGongGe>(10, 10, 130, 100);
    t->setSizeValue(3, 4); // three rows of four columns: cells 30 x 30
    drawFrame();
    EXPECT_TRUE(near(px(25, 25), kBlue));
    EXPECT_TRUE(seenNear(40, 25, kRed)); // first inner vertical line
    EXPECT_TRUE(seenNear(100, 85, kRed));
    EXPECT_TRUE(seenNear(25, 40, kRed)); // first inner horizontal line
    EXPECT_TRUE(seenNear(25, 70, kRed));
    EXPECT_FALSE(seenNear(55, 55, kRed));

    t->setRectShowtype(1);
    drawFrame();
    EXPECT_FALSE(seenNear(40, 25, kRed));
    EXPECT_FALSE(seenNear(10, 55, kRed));
    EXPECT_TRUE(seenNear(70, 100, kRed));

    t->setRectShowtype(0);
    t->setSelected(true);
    drawFrame();
    EXPECT_TRUE(seenNear(6, 6, kGrey, 20)); // handle 1 outline
}
