#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "rulmek/zgeometry.h"
#include "test_print.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

ZSegment2 seg(float x0, float y0, float x1, float y1) {
    return ZSegment2(ZVector2(x0, y0), ZVector2(x1, y1));
}

// A segment of the given length leaving (x, y) at angle degrees.
ZSegment2 segAt(float x, float y, float degrees, float length) {
    const float a = degrees * kPi / 180.0f;
    return ZSegment2(ZVector2(x, y), ZVector2(x + length * std::cos(a), y + length * std::sin(a)));
}

TEST(ZSegment2Test, StoresFullLengthAndUnitDirection) {
    const ZSegment2 s = seg(1.0f, 1.0f, 4.0f, 5.0f);
    EXPECT_FLOAT_EQ(s.extent, 5.0f);
    EXPECT_FLOAT_EQ(s.direction.X(), 0.6f);
    const ZSegment2 point = seg(2.0f, 2.0f, 2.0f, 2.0f);
    EXPECT_EQ(point.extent, 0.0f);
    EXPECT_EQ(point.direction.SquaredLength(), 0.0f);
}

TEST(DistPoint2Segment2Test, RecordKeepsTheUnclampedParameter) {
    const ZSegment2 s = seg(0.0f, 0.0f, 10.0f, 0.0f);
    ZObj2DInPoint rec;
    EXPECT_FLOAT_EQ(DistPoint2Segment2(ZVector2(5.0f, 5.0f), s, &rec), 5.0f);
    EXPECT_FLOAT_EQ(rec.parameter, 0.5f);
    EXPECT_EQ(rec.closest, ZVector2(5.0f, 0.0f));
    EXPECT_EQ(rec.primitiveOrigin, ZVector2(0.0f, 0.0f));

    EXPECT_FLOAT_EQ(DistPoint2Segment2(ZVector2(-3.0f, 4.0f), s, &rec), 5.0f);
    EXPECT_FLOAT_EQ(rec.parameter, -0.3f);
    EXPECT_EQ(rec.closest, ZVector2(0.0f, 0.0f));

    EXPECT_FLOAT_EQ(DistPoint2Segment2(ZVector2(13.0f, 4.0f), s, &rec), 5.0f);
    EXPECT_FLOAT_EQ(rec.parameter, 1.3f);
    EXPECT_EQ(rec.closest, ZVector2(10.0f, 0.0f));

    EXPECT_FLOAT_EQ(DistPoint2Segment2(ZVector2(5.0f, -2.0f), s, nullptr), 2.0f);
}

TEST(DistPoint2Segment2Test, ZeroLengthSegmentMeasuresToItsPoint) {
    ZObj2DInPoint rec;
    EXPECT_FLOAT_EQ(DistPoint2Segment2(ZVector2(3.0f, 4.0f), seg(0, 0, 0, 0), &rec), 5.0f);
    EXPECT_EQ(rec.closest, ZVector2(0.0f, 0.0f));
    EXPECT_FALSE(std::isfinite(rec.parameter));
}

TEST(DistPointTest, LinesRaysAndPolylines) {
    const ZSegment2 s = seg(0.0f, 0.0f, 10.0f, 0.0f);
    ZObj2DInPoint rec;
    EXPECT_FLOAT_EQ(DistPoint2Line2(ZVector2(-3.0f, 4.0f), s, &rec), 4.0f);
    EXPECT_EQ(rec.closest, ZVector2(-3.0f, 0.0f));
    EXPECT_FLOAT_EQ(DistPoint2Ray2(ZVector2(-3.0f, 4.0f), s, &rec), 5.0f);
    EXPECT_FLOAT_EQ(DistPoint2Ray2(ZVector2(30.0f, 4.0f), s, &rec), 4.0f);

    const ZVector2 one[1] = {ZVector2(0.0f, 0.0f)};
    EXPECT_EQ(DistPoint2BreakLine2(ZVector2(1.0f, 1.0f), ZBreakLine2(one, 1), &rec), -1.0f);
    EXPECT_EQ(DistPoint2BreakLine2(ZVector2(1.0f, 1.0f), ZBreakLine2(), &rec), -1.0f);

    // (5, 5) is 5 away from both the first and the last segment: the first one wins.
    const ZVector2 u[4] = {ZVector2(0, 0), ZVector2(10, 0), ZVector2(10, 10), ZVector2(0, 10)};
    ZObj2DInPoint tie;
    EXPECT_FLOAT_EQ(DistPoint2BreakLine2(ZVector2(5.0f, 5.0f), ZBreakLine2(u, 4), &tie), 5.0f);
    EXPECT_EQ(tie.primitiveOrigin, ZVector2(0.0f, 0.0f));
    EXPECT_FLOAT_EQ(tie.parameter, 0.5f);
    ZObj2DInPoint near;
    EXPECT_FLOAT_EQ(DistPoint2BreakLine2(ZVector2(11.0f, 4.0f), ZBreakLine2(u, 4), &near), 1.0f);
    EXPECT_EQ(near.primitiveOrigin, ZVector2(10.0f, 0.0f));
    EXPECT_FLOAT_EQ(near.parameter, 0.4f);
}

TEST(IntrSegment2Segment2Test, CrossingParallelAndCollinear) {
    Z2DObjIntersect rec;
    EXPECT_EQ(IntrSegment2Segment2(seg(0, 0, 10, 0), seg(5, -5, 5, 5), &rec), 1);
    ASSERT_EQ(rec.count, 1);
    EXPECT_EQ(rec.firstPoints.at(0), ZVector2(5.0f, 0.0f));
    EXPECT_EQ(rec.secondPoints.at(0), ZVector2(5.0f, 0.0f));

    // The record is cleared even when nothing is found.
    EXPECT_EQ(IntrSegment2Segment2(seg(0, 0, 10, 0), seg(0, 1, 10, 1), &rec), 0);
    EXPECT_EQ(rec.count, 0);
    EXPECT_TRUE(rec.firstPoints.empty());
    EXPECT_TRUE(rec.secondPoints.empty());

    // On one line without overlap still counts as 2, with the first origin.
    EXPECT_EQ(IntrSegment2Segment2(seg(0, 0, 10, 0), seg(20, 0, 30, 0), &rec), 2);
    EXPECT_EQ(rec.count, 1);
    EXPECT_EQ(rec.firstPoints.at(0), ZVector2(0.0f, 0.0f));

    // Touching at an end point is a crossing.
    EXPECT_EQ(IntrSegment2Segment2(seg(0, 0, 10, 0), seg(10, -5, 10, 5), nullptr), 1);
    // Missing beyond either end.
    EXPECT_EQ(IntrSegment2Segment2(seg(0, 0, 10, 0), seg(11, -5, 11, 5), nullptr), 0);
    EXPECT_EQ(IntrSegment2Segment2(seg(0, 0, 10, 0), seg(5, 1, 5, 5), nullptr), 0);
}

TEST(IntrSegment2Segment2Test, OneDegreeDecidesParallel) {
    const ZSegment2 base = seg(0.0f, 0.0f, 100.0f, 0.0f);
    // Half a degree apart: parallel; the second starts off the line, so no point.
    EXPECT_EQ(IntrSegment2Segment2(base, segAt(50.0f, -1.0f, 0.5f, 100.0f), nullptr), 0);
    // Half a degree apart from a start on the line: one line.
    EXPECT_EQ(IntrSegment2Segment2(base, segAt(50.0f, 0.0f, 0.5f, 100.0f), nullptr), 2);
    // Two degrees apart: a real crossing.
    EXPECT_EQ(IntrSegment2Segment2(base, segAt(50.0f, -1.0f, 2.0f, 100.0f), nullptr), 1);
    // Within 0.0174 units of the line counts as on it.
    EXPECT_EQ(IntrSegment2Segment2(base, seg(200, 0.017f, 300, 0.017f), nullptr), 2);
    EXPECT_EQ(IntrSegment2Segment2(base, seg(200, 0.018f, 300, 0.018f), nullptr), 0);
    // A zero-length first segment always reports one line.
    EXPECT_EQ(IntrSegment2Segment2(seg(5, 5, 5, 5), base, nullptr), 2);
}

TEST(IntrLinearTest, LinesAndRays) {
    Z2DObjIntersect rec;
    EXPECT_EQ(IntrLine2Line2(seg(0, 0, 1, 0), seg(5, 5, 5, 6), &rec), 1);
    EXPECT_EQ(rec.firstPoints.at(0), ZVector2(5.0f, 0.0f));
    EXPECT_EQ(IntrLine2Line2(seg(0, 0, 1, 0), seg(0, 1, 1, 1), &rec), 0);
    EXPECT_EQ(IntrLine2Line2(seg(0, 0, 1, 0), seg(7, 0, 9, 0), &rec), -1);
    EXPECT_EQ(rec.count, 1);
    EXPECT_EQ(rec.firstPoints.at(0), ZVector2(0.0f, 0.0f));

    // A ray runs only forwards; a line both ways.
    EXPECT_EQ(IntrRay2Segment2(seg(0, 0, 1, 0), seg(-5, -1, -5, 1), &rec), 0);
    EXPECT_EQ(IntrLine2Segment2(seg(0, 0, 1, 0), seg(-5, -1, -5, 1), &rec), 1);
    EXPECT_EQ(IntrRay2Segment2(seg(0, 0, 1, 0), seg(50, -1, 50, 1), &rec), 1);
    EXPECT_FLOAT_EQ(rec.rayTerm, 50.0f);
    EXPECT_EQ(IntrRay2Ray2(seg(0, 0, 1, 1), seg(10, 0, 9, 1), &rec), 1);
    EXPECT_NEAR(rec.firstPoints.at(0).X(), 5.0f, 1e-5f);
    EXPECT_NEAR(rec.firstPoints.at(0).Y(), 5.0f, 1e-5f);
    EXPECT_EQ(IntrLine2Ray2(seg(0, 0, 1, 0), seg(3, 2, 3, 3), &rec), 0);
}

TEST(DistLinearTest, PairsOfLinesRaysAndSegments) {
    EXPECT_EQ(DistLine2Line2(seg(0, 0, 1, 0), seg(0, 3, 1, 4)), 0.0f);
    EXPECT_FLOAT_EQ(DistLine2Line2(seg(0, 0, 1, 0), seg(5, 3, 4, 3)), 3.0f);
    EXPECT_FLOAT_EQ(DistSegment2Segment2(seg(0, 0, 10, 0), seg(12, 0, 20, 0)), 2.0f);
    EXPECT_EQ(DistSegment2Segment2(seg(0, 0, 10, 10), seg(0, 10, 10, 0)), 0.0f);
    EXPECT_FLOAT_EQ(DistSegment2Segment2(seg(0, 0, 10, 0), seg(5, 3, 5, 8)), 3.0f);
    EXPECT_FLOAT_EQ(DistRay2Segment2(seg(0, 0, 1, 0), seg(-4, 3, -4, 8)), 5.0f);
    EXPECT_EQ(DistRay2Ray2(seg(0, 0, 1, 0), seg(5, 5, 5, 4)), 0.0f);
    EXPECT_FLOAT_EQ(DistLine2Ray2(seg(0, 0, 1, 0), seg(0, 2, 0, 3)), 2.0f);
    EXPECT_FLOAT_EQ(DistLine2Segment2(seg(0, 0, 1, 0), seg(3, -2, 4, -1)), 1.0f);
}

TEST(CircleTest, IntersectionsAndArcs) {
    const ZCircle2 c(ZVector2(0.0f, 0.0f), 5.0f);
    Z2DObjIntersect rec;
    EXPECT_EQ(IntrLine2Circle2(seg(-10, 3, 10, 3), c, &rec), 2);
    EXPECT_EQ(rec.firstPoints.at(0), ZVector2(-4.0f, 3.0f));
    EXPECT_EQ(rec.firstPoints.at(1), ZVector2(4.0f, 3.0f));
    EXPECT_EQ(IntrSegment2Circle2(seg(0, 3, 10, 3), c, &rec), 1);
    EXPECT_EQ(IntrRay2Circle2(seg(10, 3, 20, 3), c, &rec), 0);
    EXPECT_EQ(IntrLine2Circle2(seg(-10, 5, 10, 5), c, &rec), 1);
    EXPECT_EQ(IntrLine2Circle2(seg(-10, 6, 10, 6), c, &rec), 0);

    EXPECT_EQ(IntrCircle2Circle2(c, ZCircle2(ZVector2(8.0f, 0.0f), 5.0f), &rec), 2);
    EXPECT_EQ(rec.firstPoints.at(0).X(), 4.0f);
    EXPECT_EQ(IntrCircle2Circle2(c, ZCircle2(ZVector2(10.0f, 0.0f), 5.0f), &rec), 1);
    EXPECT_EQ(rec.firstPoints.at(0), ZVector2(5.0f, 0.0f));
    EXPECT_EQ(IntrCircle2Circle2(c, ZCircle2(ZVector2(0.0f, 0.0f), 2.0f), &rec), 0);
    EXPECT_EQ(IntrCircle2Circle2(c, c, &rec), 0);

    EXPECT_FLOAT_EQ(ZCircle2(ZVector2(1.0f, 1.0f), ZVector2(4.0f, 5.0f)).radius, 5.0f);
    // The upper half: points with (p - end0) x (end1 - end0) >= 0 for end0 = (5, 0), end1 = (-5,
    // 0).
    const ZArc2 arc(ZVector2(0.0f, 0.0f), 5.0f, ZVector2(5.0f, 0.0f), ZVector2(-5.0f, 0.0f));
    EXPECT_TRUE(arc.Contains(ZVector2(0.0f, 5.0f)));
    EXPECT_FALSE(arc.Contains(ZVector2(0.0f, -5.0f)));
    EXPECT_EQ(IntrLine2Arc2(seg(0, -10, 0, 10), arc, &rec), 1);
    EXPECT_EQ(rec.firstPoints.at(0), ZVector2(0.0f, 5.0f));
}

TEST(PointinTriangle2Test, BarycentricBoundsAndDegenerate) {
    const ZVector2 a(0.0f, 0.0f);
    const ZVector2 b(10.0f, 0.0f);
    const ZVector2 c(0.0f, 10.0f);
    EXPECT_TRUE(PointinTriangle2(a, b, c, ZVector2(2.0f, 2.0f)));
    EXPECT_TRUE(PointinTriangle2(a, b, c, ZVector2(5.0f, 5.0f))); // on the edge
    EXPECT_FALSE(PointinTriangle2(a, b, c, ZVector2(6.0f, 6.0f)));
    EXPECT_FALSE(PointinTriangle2(a, b, c, ZVector2(-1.0f, 1.0f)));
    EXPECT_FALSE(PointinTriangle2(a, b, ZVector2(20.0f, 0.0f), ZVector2(5.0f, 0.0f)));
}

TEST(DistAreaTest, TrianglesAndBoxesAreSolid) {
    const ZTriangle2 t(ZVector2(0, 0), ZVector2(10, 0), ZVector2(0, 10));
    EXPECT_EQ(DistPoint2Triangle2(ZVector2(1.0f, 1.0f), t), 0.0f);
    EXPECT_FLOAT_EQ(DistPoint2Triangle2(ZVector2(5.0f, -3.0f), t), 3.0f);

    const ZRectangle2 r(ZVector2(0, 0), ZVector2(1, 0), ZVector2(0, 1), 4.0f, 2.0f);
    ZVector2 closest;
    EXPECT_FLOAT_EQ(DistPoint2Rectangle2(ZVector2(7.0f, 6.0f), r, &closest), 5.0f);
    EXPECT_EQ(closest, ZVector2(4.0f, 2.0f));
    EXPECT_EQ(DistPoint2Rectangle2(ZVector2(1.0f, 1.0f), r, nullptr), 0.0f);
}

// Smallest distance from p to the sampled curve f(angle).
template <typename F> float sampledDistance(const ZVector2& p, F curve) {
    float best = 1e30f;
    for (int i = 0; i < 200000; ++i) {
        const float angle = 2.0f * kPi * static_cast<float>(i) / 200000.0f;
        best = std::min(best, (curve(angle) - p).Length());
    }
    return best;
}

TEST(DistAreaTest, EllipseDistanceMatchesSampling) {
    const ZVector2 ax0(std::cos(0.3f), std::sin(0.3f));
    const ZEllipse2 e(ZVector2(2.0f, -1.0f), ax0, ax0.Perp() * -1.0f, 3.0f, 5.0f);
    const auto curve = [&](float a) {
        return e.centre + e.axis0 * (3.0f * std::cos(a)) + e.axis1 * (5.0f * std::sin(a));
    };
    const ZVector2 points[] = {ZVector2(9.0f, 4.0f), ZVector2(2.5f, -1.2f), ZVector2(-8.0f, 0.0f),
                               ZVector2(2.0f, -1.0f)};
    for (const ZVector2& p : points) {
        ZVector2 closest;
        const float d = DistPoint2Ellipse2(p, e, &closest);
        EXPECT_NEAR(d, sampledDistance(p, curve), 1e-3f);
        EXPECT_NEAR((closest - p).Length(), d, 1e-3f);
    }
}

TEST(DistAreaTest, ConicDistanceMatchesSampling) {
    // The circle (x - 1)^2 + (y - 2)^2 = 9, also from its centre where every point is nearest.
    const ZQuadratic2 circle(1.0f, 0.0f, 1.0f, -2.0f, -4.0f, -4.0f);
    ZVector2 closest;
    EXPECT_NEAR(DistPoint2Quadratic2(ZVector2(1.0f, 2.0f), circle, &closest), 3.0f, 1e-4f);
    EXPECT_NEAR(circle(closest), 0.0f, 1e-3f);
    EXPECT_NEAR(DistPoint2Quadratic2(ZVector2(7.0f, 10.0f), circle, &closest), 7.0f, 1e-4f);

    // A turned ellipse 2x^2 + xy + 3y^2 = 6.
    const ZQuadratic2 turned(2.0f, 1.0f, 3.0f, 0.0f, 0.0f, -6.0f);
    for (const ZVector2 p : {ZVector2(4.0f, 1.0f), ZVector2(0.3f, 0.2f), ZVector2(-1.0f, 3.0f)}) {
        const float d = DistPoint2Quadratic2(p, turned, &closest);
        float best = 1e30f;
        for (int i = 0; i < 200000; ++i) {
            const float a = 2.0f * kPi * static_cast<float>(i) / 200000.0f;
            const ZVector2 dir(std::cos(a), std::sin(a));
            const float rho = std::sqrt(6.0f / (turned(dir) + 6.0f));
            best = std::min(best, (dir * rho - p).Length());
        }
        EXPECT_NEAR(d, best, 1e-3f);
        EXPECT_NEAR(turned(closest), 0.0f, 1e-3f);
    }

    // The parabola y = x^2, and an empty conic.
    const ZQuadratic2 parabola(1.0f, 0.0f, 0.0f, 0.0f, -1.0f, 0.0f);
    EXPECT_NEAR(DistPoint2Quadratic2(ZVector2(0.0f, -2.0f), parabola, nullptr), 2.0f, 1e-4f);
    EXPECT_NEAR(DistPoint2Quadratic2(ZVector2(0.0f, 2.0f), parabola, &closest),
                std::sqrt(1.5f + 0.25f), 1e-4f);
    const ZQuadratic2 empty(1.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_EQ(DistPoint2Quadratic2(ZVector2(0.0f, 0.0f), empty, nullptr), 3.4028235e38f);
}

TEST(ZQuadratic2Test, TranslateRotateScaleMoveTheCurve) {
    ZQuadratic2 q(1.0f, 0.0f, 4.0f, 0.0f, 0.0f, -4.0f); // x^2 + 4y^2 = 4
    q.Translate(ZVector2(3.0f, 1.0f));
    EXPECT_NEAR(q(ZVector2(5.0f, 1.0f)), 0.0f, 1e-5f);
    EXPECT_NEAR(q(ZVector2(3.0f, 2.0f)), 0.0f, 1e-5f);

    ZQuadratic2 r(1.0f, 0.0f, 4.0f, 0.0f, 0.0f, -4.0f);
    r.Rotate(ZMatrix2X2(kPi / 2.0f));
    EXPECT_NEAR(r(ZVector2(0.0f, 2.0f)), 0.0f, 1e-5f);
    EXPECT_NEAR(r(ZVector2(1.0f, 0.0f)), 0.0f, 1e-5f);

    ZQuadratic2 s(1.0f, 0.0f, 1.0f, 0.0f, 0.0f, -1.0f);
    s.Scale(ZVector2(2.0f, 3.0f));
    EXPECT_NEAR(s(ZVector2(2.0f, 0.0f)), 0.0f, 1e-6f);
    EXPECT_NEAR(s(ZVector2(0.0f, 3.0f)), 0.0f, 1e-6f);
    EXPECT_EQ(s.Get(0, 0), -1.0f);
    s.Set(1, 1, 7.0f);
    EXPECT_EQ(s.XY(), 7.0f);
    EXPECT_EQ(s.Get(2, 2), 0.0f);
}

} // namespace
