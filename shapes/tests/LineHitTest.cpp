// Connector hit tests on long lines, far from the origin and scrolled: the
// answer and the hit record must be those of measuring every segment in turn.

#include <sarvik/ZN_NLine.h>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// What the hit test means, measured the slow way: a stored point within the
// tolerance on both axes, else the first segment nearer than the tolerance.
int referenceHit(const std::vector<ZVector2>& points, const ZVector2& offset, const ZVector2& pos,
                 float tolerance) {
    for (std::size_t i = 0; i < points.size(); ++i) {
        const ZVector2 p = points[i] - offset;
        if (std::fabs(p.X() - pos.X()) < tolerance && std::fabs(p.Y() - pos.Y()) < tolerance)
            return 10 + static_cast<int>(i);
    }
    for (std::size_t i = 1; i < points.size(); ++i) {
        const ZSegment2 s(points[i - 1] - offset, points[i] - offset);
        if (DistPoint2Segment2(pos, s, nullptr) < tolerance)
            return -static_cast<int>(i);
    }
    return 0;
}

// The record left by measuring segment i (ending at point i).
ZObj2DInPoint recordOf(const std::vector<ZVector2>& points, const ZVector2& offset,
                       const ZVector2& pos, std::size_t i) {
    ZObj2DInPoint record;
    DistPoint2Segment2(pos, ZSegment2(points[i - 1] - offset, points[i] - offset), &record);
    return record;
}

void expectSameRecord(const ZObj2DInPoint& actual, const ZObj2DInPoint& expected) {
    EXPECT_EQ(actual.parameter, expected.parameter);
    EXPECT_EQ(actual.closest, expected.closest);
    EXPECT_EQ(actual.primitiveOrigin, expected.primitiveOrigin);
}

class LineHit : public ::testing::Test {
protected:
    void TearDown() override { setScallPosition(ZVector2(0.0f, 0.0f)); }
};

} // namespace

TEST_F(LineHit, EveryPointAroundAZigzagAnswersAsMeasuredInFull) {
    // Near the origin, and a million units out where float spacing is coarse.
    for (const float base : {0.0f, 1.0e6f}) {
        ZN_NLine line;
        std::vector<ZVector2> points;
        // Shallow and steep segments in turn: beside a steep one, points
        // outside its bounds on one axis are still within the tolerance.
        float x = base;
        for (int i = 0; i < 8; ++i) {
            points.emplace_back(x,
                                base + (i % 2 == 0 ? 0.0f : 80.0f) + 3.0f * static_cast<float>(i));
            x += i % 2 == 0 ? 6.0f : 50.0f;
        }
        for (const ZVector2& p : points)
            line.pushPointBack(p);
        const ZVector2 offset(base - 30.0f, base - 20.0f);
        setScallPosition(offset);
        int hits = 0, misses = 0;
        // Fine steps land many probes right at the tolerance's edge.
        for (float y = -30.0f; y < 140.0f; y += 0.75f) {
            for (float x = -30.0f; x < 260.0f; x += 1.25f) {
                const ZVector2 pos(x, y);
                const int expected = referenceHit(points, offset, pos, 10.0f);
                ASSERT_EQ(line.InPoint(pos, nullptr, 10.0f), expected)
                    << "at (" << x << ", " << y << ") base " << base;
                (expected == 0 ? misses : hits) += 1;
            }
        }
        EXPECT_GT(hits, 1000);
        EXPECT_GT(misses, 1000);
    }
}

TEST_F(LineHit, RecordDescribesTheHitSegmentOrAfterAMissTheLastOne) {
    ZN_NLine line;
    const std::vector<ZVector2> points{{0, 0}, {100, 0}, {100, 100}, {200, 100}};
    for (const ZVector2& p : points)
        line.pushPointBack(p);
    const ZVector2 offset(5.0f, 5.0f);
    setScallPosition(offset);

    // A miss far from the last segment, and one beside the first segment only.
    for (const ZVector2 pos : {ZVector2(-400.0f, 900.0f), ZVector2(40.0f, -30.0f)}) {
        ZObj2DInPoint record;
        EXPECT_EQ(line.InPoint(pos, &record, 10.0f), 0);
        expectSameRecord(record, recordOf(points, offset, pos, 3));
    }

    // A hit on the middle of the second segment.
    const ZVector2 onSecond(97.0f, 45.0f);
    ZObj2DInPoint record;
    EXPECT_EQ(line.InPoint(onSecond, &record, 10.0f), -2);
    expectSameRecord(record, recordOf(points, offset, onSecond, 2));

    // A point hit leaves the record as it was.
    ZObj2DInPoint untouched;
    untouched.parameter = 42.0f;
    untouched.closest = ZVector2(7.0f, 8.0f);
    EXPECT_EQ(line.InPoint(ZVector2(96.0f, 95.0f), &untouched, 10.0f), 12);
    EXPECT_EQ(untouched.parameter, 42.0f);
    EXPECT_EQ(untouched.closest, ZVector2(7.0f, 8.0f));
}
