#include <gtest/gtest.h>

#include <limits>

#include "rulmek/zview.h"
#include "test_print.h"

namespace {

// The offset is process-wide: every test puts it back so that test order never matters.
class ViewOffsetTest : public ::testing::Test {
protected:
    void TearDown() override { setScallPosition(ZVector2(0.0f, 0.0f)); }
};

TEST_F(ViewOffsetTest, StartsAtZeroAndTranslatesBothWays) {
    EXPECT_EQ(getScallPosition(), ZVector2(0.0f, 0.0f));
    setScallPosition(ZVector2(120.0f, 40.0f));
    const ZVector2 canvas(130.0f, 50.0f);
    EXPECT_EQ(canvas - getScallPosition(), ZVector2(10.0f, 10.0f));
    EXPECT_EQ(ZVector2(10.0f, 10.0f) + getScallPosition(), canvas);
    setCanvsSize(800.0f, 600.0f); // stored only; it must not disturb the offset
    EXPECT_EQ(getScallPosition(), ZVector2(120.0f, 40.0f));
}

TEST_F(ViewOffsetTest, ScrollingOneAxisKeepsTheOther) {
    setScallPosition(ZVector2(5.0f, 7.0f));
    ZVector2 offset = getScallPosition();
    offset.X() = 300.0f;
    setScallPosition(offset);
    EXPECT_EQ(getScallPosition(), ZVector2(300.0f, 7.0f));
}

TEST_F(ViewOffsetTest, ZoomStartsAtOneAndRefusesWhatNoSizeCanUse) {
    EXPECT_EQ(getViewZoom(), 1.0f);
    setViewZoom(0.25f);
    EXPECT_EQ(getViewZoom(), 0.25f);
    // Zero, negative, infinite and NaN zooms would make every derived size
    // meaningless: they leave the last good value.
    for (float bad : {0.0f, -2.0f, std::numeric_limits<float>::infinity(),
                      std::numeric_limits<float>::quiet_NaN()}) {
        setViewZoom(bad);
        EXPECT_EQ(getViewZoom(), 0.25f);
    }
    setViewZoom(1.0f);
}

TEST(Mrab1Test, FollowsTheCongruentialSequence) {
    int seed = 1;
    EXPECT_EQ(mrab1(1, 6, &seed), 2);
    EXPECT_EQ(seed, 5);
    // 25 -> 7 and 29 -> 8 are rejected, 17 -> 5 accepted.
    EXPECT_EQ(mrab1(1, 6, &seed), 5);
    EXPECT_EQ(seed, 17);
}

TEST(Mrab1Test, EdgeRangesAndSeeds) {
    int seed = 0;
    EXPECT_EQ(mrab1(3, 9, &seed), 3);
    EXPECT_EQ(seed, 0);

    // An empty range returns low instead of spinning forever; the seed is left alone.
    seed = 11;
    EXPECT_EQ(mrab1(10, 5, &seed), 10);
    EXPECT_EQ(seed, 11);

    seed = 3;
    EXPECT_EQ(mrab1(4, 4, &seed), 4);

    // Values stay in range, and from seed 7 the sequence reaches every one of them.
    seed = 7;
    bool seen[100] = {};
    for (int i = 0; i < 1000; ++i) {
        const int v = mrab1(0, 99, &seed);
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 99);
        seen[v] = true;
    }
    int distinct = 0;
    for (const bool s : seen) {
        distinct += s ? 1 : 0;
    }
    EXPECT_EQ(distinct, 100);
}

} // namespace
