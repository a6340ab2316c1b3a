#pragma once
// A page drawn through a scene into an off-screen context, with the frame read
// back for pixel checks. The context is made in SetUp: no context, no test.

#include "ZHeadlessGL.h"

#include <sarvik/ZN_Scene.h>
#include <sarvik/ZN_ShapeManager.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

inline std::ostream& operator<<(std::ostream& out, const ZRGBA& p) {
    return out << "(" << int(p.r) << ", " << int(p.g) << ", " << int(p.b) << ", " << int(p.a)
               << ")";
}

// Colours compared per channel with a tolerance for blending and rounding.
inline ::testing::AssertionResult near(const ZRGBA& actual, const ZRGBA& expected, int tolerance = 6) {
    const int d[4] = {actual.r - expected.r, actual.g - expected.g, actual.b - expected.b,
                      actual.a - expected.a};
    for (int v : d)
        if (std::abs(v) > tolerance)
            return ::testing::AssertionFailure() << actual << " is not " << expected;
    return ::testing::AssertionSuccess();
}

constexpr ZRGBA kWhite{255, 255, 255, 255};
constexpr ZRGBA kBlack{0, 0, 0, 255};
constexpr ZRGBA kRed{255, 0, 0, 255};
constexpr ZRGBA kGreen{0, 255, 0, 255};
constexpr ZRGBA kBlue{0, 0, 255, 255};
constexpr ZRGBA kGrey{128, 128, 128, 255};

class SceneFixture : public ::testing::Test {
protected:
    static constexpr int kWidth = 160;
    static constexpr int kHeight = 120;

    void SetUp() override {
        std::string error;
        gl = ZHeadlessGL::create(kWidth, kHeight, &error);
        ASSERT_TRUE(gl) << "no headless GL context: " << error;
        setScallPosition(ZVector2(0.0f, 0.0f));
        scene.setShapeManager(&page);
        scene.init(gl.get());
        scene.resize(kWidth, kHeight);
        scene.releaseCurrent();
    }
    void TearDown() override { setScallPosition(ZVector2(0.0f, 0.0f)); }

    // Draws the page as the view's paint handler does and reads the frame back.
    void drawFrame() {
        scene.makeCurrent();
        scene.render();
        scene.releaseCurrent();
        image = gl->readPixels();
    }
    ZRGBA px(int x, int y) const { return ZHeadlessGL::pixelAt(image, kWidth, kHeight, x, y); }
    bool allPixels(const ZRGBA& colour) const {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (!near(px(x, y), colour, 1))
                    return false;
        return true;
    }

    std::unique_ptr<ZHeadlessGL> gl;
    ZN_ShapeManager page;
    ZN_Scene scene;
    std::vector<std::uint8_t> image;
};
