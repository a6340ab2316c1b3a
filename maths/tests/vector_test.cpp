#include <cstring>
#include <limits>

#include <gtest/gtest.h>

#include "rulmek/zvector.h"
#include "test_print.h"

namespace {

constexpr float kMax = 3.4028235e38f;

TEST(ZVectorTest, NormalizeReturnsLengthAndZeroesTinyVectors) {
    ZVector2 v(3.0f, 4.0f);
    EXPECT_FLOAT_EQ(v.Normalize(), 5.0f);
    EXPECT_FLOAT_EQ(v.X(), 0.6f);
    EXPECT_FLOAT_EQ(v.Y(), 0.8f);

    ZVector2 tiny(1e-7f, 0.0f);
    EXPECT_EQ(tiny.Normalize(), 0.0f);
    EXPECT_EQ(tiny, ZVector2(0.0f, 0.0f));

    ZVector4 tiny4(1e-7f, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(tiny4.Normalize(), 0.0f);
    EXPECT_EQ(tiny4.X(), 0.0f);

    // The length of a vector just above the threshold still normalises.
    ZVector3 small(2e-6f, 0.0f, 0.0f);
    EXPECT_GT(small.Normalize(), 0.0f);
    EXPECT_FLOAT_EQ(small.X(), 1.0f);
}

TEST(ZVectorTest, DivisionByZeroGivesLargestFloatInEveryForm) {
    const ZVector2 q2 = ZVector2(1.0f, 2.0f) / 0.0f;
    EXPECT_EQ(q2, ZVector2(kMax, kMax));
    ZVector2 c2(-1.0f, 0.0f);
    c2 /= 0.0f;
    EXPECT_EQ(c2, ZVector2(kMax, kMax));

    const ZVector3 q3 = ZVector3(-1.0f, 0.0f, 5.0f) / 0.0f;
    EXPECT_EQ(q3, ZVector3(kMax, kMax, kMax));
    ZVector3 c3(1.0f, 1.0f, 1.0f);
    c3 /= 0.0f;
    EXPECT_EQ(c3, ZVector3(kMax, kMax, kMax));

    const ZVector4 q4 = ZVector4(1.0f) / 0.0f;
    EXPECT_EQ(q4, ZVector4(kMax));
    ZVector4 c4(0.0f);
    c4 /= 0.0f;
    EXPECT_EQ(c4, ZVector4(kMax));

    // -0.0 is a zero divisor too.
    EXPECT_EQ(ZVector2(1.0f, 1.0f) / -0.0f, ZVector2(kMax, kMax));
    EXPECT_EQ(ZVector2(2.0f, 4.0f) / 2.0f, ZVector2(1.0f, 2.0f));
}

TEST(ZVectorTest, PerpAndDotPerp) {
    EXPECT_EQ(ZVector2(1.0f, 0.0f).Perp(), ZVector2(0.0f, -1.0f));
    EXPECT_EQ(ZVector2(1.0f, 0.0f).DotPerp(ZVector2(0.0f, 1.0f)), 1.0f);
    EXPECT_EQ(ZVector2(0.0f, 1.0f).DotPerp(ZVector2(1.0f, 0.0f)), -1.0f);
    const ZVector2 unit = ZVector2(0.0f, 3.0f).UnitPerp();
    EXPECT_FLOAT_EQ(unit.X(), 1.0f);
    EXPECT_FLOAT_EQ(unit.Y(), 0.0f);
    EXPECT_EQ(ZVector2(0.0f, 0.0f).UnitPerp().SquaredLength(), 0.0f);
}

TEST(ZVectorTest, CrossAndArithmetic) {
    EXPECT_EQ(ZVector3::UNIT_X.Cross(ZVector3::UNIT_Y), ZVector3::UNIT_Z);
    EXPECT_EQ(ZVector3(2.0f, 0.0f, 0.0f).UnitCross(ZVector3(0.0f, 0.0f, 5.0f)),
              ZVector3(0.0f, -1.0f, 0.0f));
    ZVector4 v(1.0f, 2.0f, 3.0f, 4.0f);
    v *= ZVector4(2.0f, 3.0f, 4.0f, 5.0f);
    EXPECT_EQ(v, ZVector4(2.0f, 6.0f, 12.0f, 20.0f));
    EXPECT_EQ(-ZVector2(1.0f, -2.0f) + ZVector2::ONE * 2.0f, ZVector2(1.0f, 4.0f));
    EXPECT_FLOAT_EQ(ZVector3(1.0f, 2.0f, 2.0f).Length(), 3.0f);
    EXPECT_FLOAT_EQ(ZVector4::ONE.Dot(ZVector4(1.0f, 2.0f, 3.0f, 4.0f)), 10.0f);
}

TEST(ZVectorTest, ComparisonsOrderBytesNotNumbers) {
    // -1 is stored as 00 00 80 BF and 1 as 00 00 80 3F: the fourth byte decides.
    EXPECT_FALSE(ZVector2(-1.0f, 0.0f) < ZVector2(1.0f, 0.0f));
    EXPECT_TRUE(ZVector2(-1.0f, 0.0f) > ZVector2(1.0f, 0.0f));
    EXPECT_TRUE(ZVector2(-1.0f, 0.0f) >= ZVector2(1.0f, 0.0f));
    EXPECT_TRUE(ZVector2(1.0f, 0.0f) <= ZVector2(-1.0f, 0.0f));

    // 0.0 and -0.0 differ, and NaN equals itself when the bits match.
    EXPECT_NE(ZVector2(0.0f, 0.0f), ZVector2(-0.0f, 0.0f));
    EXPECT_LT(ZVector2(0.0f, 0.0f), ZVector2(-0.0f, 0.0f));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(ZVector2(nan, 1.0f), ZVector2(nan, 1.0f));

    // The first byte in memory order outranks later ones: y's bytes lose to x's.
    EXPECT_TRUE(ZVector4(0.0f, 0.0f, 0.0f, 2.0f) < ZVector4(0.0f, 0.0f, 0.0f, 4.0f));
    EXPECT_TRUE(ZVector2(1.0f, 100.0f) > ZVector2(1.0f, 2.0f) ||
                ZVector2(1.0f, 100.0f) < ZVector2(1.0f, 2.0f));
    EXPECT_FALSE(ZVector2(1.0f, 2.0f) < ZVector2(1.0f, 2.0f));
    EXPECT_TRUE(ZVector2(1.0f, 2.0f) <= ZVector2(1.0f, 2.0f));
}

TEST(ZVectorTest, Vector3LessAndGreaterAreComponentWise) {
    const ZVector3 a(1.0f, 2.0f, 3.0f);
    EXPECT_TRUE(a < ZVector3(2.0f, 3.0f, 4.0f));
    EXPECT_FALSE(a < ZVector3(2.0f, 2.0f, 4.0f)); // one component only equal
    EXPECT_TRUE(a > ZVector3(0.0f, 5.0f, 5.0f));  // any component greater
    EXPECT_FALSE(a > a);
    // <= and >= still use the byte order: -1 has the larger last byte.
    EXPECT_TRUE(ZVector3(-1.0f, 0.0f, 0.0f) >= ZVector3(1.0f, 0.0f, 0.0f));
    EXPECT_FALSE(ZVector3(-1.0f, 0.0f, 0.0f) <= ZVector3(1.0f, 0.0f, 0.0f));
}

TEST(ZVectorTest, ConstantsAndLayout) {
    EXPECT_EQ(ZVector2::UNIT_Y, ZVector2(0.0f, 1.0f));
    EXPECT_EQ(ZVector3::ONE, ZVector3(1.0f, 1.0f, 1.0f));
    EXPECT_EQ(ZVector4::ONE, ZVector4(1.0f, 1.0f, 1.0f, 1.0f));
    EXPECT_EQ(sizeof(ZVector3), 3 * sizeof(float));
    const float raw[4] = {1.0f, 2.0f, 3.0f, 4.0f};
    const ZVector4 v(raw);
    EXPECT_EQ(std::memcmp(static_cast<const float*>(v), raw, sizeof(raw)), 0);
    ZVector4 s;
    s.Set(7.0f);
    EXPECT_EQ(s.W(), 7.0f);
}

} // namespace
