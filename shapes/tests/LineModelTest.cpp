// Connector line: editing, routing and hit tests.

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr float kEps = 1e-4f;

void expectPoint(const ZVector2& actual, float x, float y, float eps = kEps) {
    EXPECT_NEAR(actual.X(), x, eps);
    EXPECT_NEAR(actual.Y(), y, eps);
}

std::unique_ptr<ZN_NLine> lineThrough(const std::vector<ZVector2>& pts) {
    auto line = std::make_unique<ZN_NLine>();
    for (const ZVector2& p : pts) {
        line->pushPointBack(p);
    }
    return line;
}

// Makes the four links of a connector from `start` to `end`.
void connect(ZN_ShapeBase* start, ZN_NLine* line, ZN_ShapeBase* end) {
    start->pushToOutput(line);
    line->pushToInput(start);
    line->pushToOutput(end);
    end->pushToInput(line);
}

// Every test leaves the process-wide view offset where it found it.
class LineModel : public ::testing::Test {
protected:
    void TearDown() override { setScallPosition(ZVector2(0.0f, 0.0f)); }
};

} // namespace

TEST_F(LineModel, PointListEditing) {
    auto line = lineThrough({{0, 0}, {10, 0}});
    line->deletePoint(0);
    EXPECT_EQ(line->getPointSize(), 2) << "a line keeps its last two points";

    line->pushPoint(ZVector2(-10, 0), 0);
    line->pushPoint(ZVector2(20, 0), 3);
    line->pushPoint(ZVector2(5, 5), 2);
    ASSERT_EQ(line->getPointSize(), 5);
    expectPoint(line->getPoints()[0], -10, 0);
    expectPoint(line->getPoints()[2], 5, 5);
    expectPoint(line->getPoints()[4], 20, 0);

    // Indices outside the list insert at the nearest end instead of writing
    // outside the vector.
    line->pushPoint(ZVector2(99, 0), 42);
    line->pushPoint(ZVector2(-99, 0), -3);
    expectPoint(line->getPoints().back(), 99, 0);
    expectPoint(line->getPoints().front(), -99, 0);

    // Any index out of range removes the last point.
    line->deletePoint(17);
    expectPoint(line->getPoints().back(), 20, 0);
    line->deletePoint(1);
    expectPoint(line->getPoints()[1], 0, 0);

    // Appending one of the line's own points survives the vector growing.
    auto grow = lineThrough({{1, 2}});
    for (int i = 0; i < 40; ++i) {
        grow->pushPointBack(grow->getPoints().front());
    }
    for (const ZVector2& p : grow->getPoints()) {
        expectPoint(p, 1, 2);
    }
}

TEST_F(LineModel, AttachedEndsFollowTheirShapesNotTheMouse) {
    ZN_NPoint start;
    ZN_NPoint end;
    start.setCoord(ZVector2(0, 0));
    end.setCoord(ZVector2(200, 0));
    auto line = lineThrough({{8, 0}, {100, 50}, {192, 0}});

    line->setPoint(ZVector2(5, 5), 0);
    expectPoint(line->getPoints()[0], 5, 5); // an unattached end moves

    connect(&start, line.get(), &end);
    line->setPoint(ZVector2(-50, -50), 0);
    line->setPoint(ZVector2(-50, -50), 2);
    line->setPoint(ZVector2(100, 60), 1);
    line->setPoint(ZVector2(1, 1), 7); // out of range: nothing
    expectPoint(line->getPoints()[0], 5, 5);
    expectPoint(line->getPoints()[1], 100, 60);
    expectPoint(line->getPoints()[2], 192, 0);

    // Dragging the bend re-aims both neighbouring ends at it.
    line->setPoint(ZVector2(0, 100), 1);
    line->updatePoint(1, false);
    expectPoint(line->getPoints()[0], 0, 8);
    line->setPoint(ZVector2(200, 100), 1);
    line->updatePoint(1, false);
    expectPoint(line->getPoints()[0], 7.15542f, 3.57771f, 1e-3f);
    expectPoint(line->getPoints()[2], 200, 8, 1e-3f);

    // Without force an end index is the caller's business.
    end.setCoord(ZVector2(300, 100));
    line->updatePoint(2, false);
    expectPoint(line->getPoints()[2], 200, 8, 1e-3f);
    line->updatePoint(1, true);
    expectPoint(line->getPoints()[2], 292, 100, 1e-3f);

    // The horizontal tail keeps the stored end short of the border point.
    line->setbOffsetH(1);
    line->setOffsetH(-40);
    line->updatePoint(1, false);
    expectPoint(line->getPoints()[2], 332, 100, 1e-3f);
    line->setArrowType(1);
    line->updatePoint(1, false);
    expectPoint(line->getPoints()[2], 292, 100, 1e-3f); // an arrow replaces the tail
}

TEST_F(LineModel, UpdatePointOnShortLinesStaysInside) {
    ZN_NPoint start;
    ZN_NPoint end;
    auto empty = std::make_unique<ZN_NLine>();
    connect(&start, empty.get(), &end);
    empty->updatePoint(-2, true);
    empty->updatePoint(1, true);
    empty->autoAlign(2);
    EXPECT_EQ(empty->getPointSize(), 0);

    auto single = lineThrough({{3, 4}});
    connect(&start, single.get(), &end);
    single->updatePoint(-1, true);
    single->updatePoint(1, true);
    EXPECT_EQ(single->getPointSize(), 1);
}

TEST_F(LineModel, CheckPolyLineRemovesOnlyFlatBends) {
    auto flat = lineThrough({{0, 0}, {50, 1}, {100, 0}});
    flat->checkPolyLine(160, 1);
    ASSERT_EQ(flat->getPointSize(), 2) << "177.7 degrees is flatter than 160";
    expectPoint(flat->getPoints()[1], 100, 0);

    auto sharp = lineThrough({{0, 0}, {50, 50}, {100, 0}});
    sharp->checkPolyLine(160, 1);
    EXPECT_EQ(sharp->getPointSize(), 3) << "90 degrees stays";

    // Ends and indices outside the inner points are left alone.
    flat = lineThrough({{0, 0}, {50, 0}, {100, 0}});
    flat->checkPolyLine(160, 0);
    flat->checkPolyLine(160, 2);
    flat->checkPolyLine(160, -1);
    EXPECT_EQ(flat->getPointSize(), 3);

    // A straight bend whose cosine rounds just below -1 is still 180 degrees.
    auto straight = lineThrough({{0, 0}, {1, 5}, {4, 20}});
    straight->checkPolyLine(160, 1);
    EXPECT_EQ(straight->getPointSize(), 2);
}

TEST_F(LineModel, AutoAlignElbow) {
    auto line = lineThrough({{0, 0}, {70, 80}, {200, 100}});
    line->setStrightType(1);
    line->setbOffsetH(1);
    line->autoAlign(1);
    ASSERT_EQ(line->getPointSize(), 4);
    expectPoint(line->getPoints()[0], 0, 0);
    expectPoint(line->getPoints()[1], 30, 0);
    expectPoint(line->getPoints()[2], 30, 100);
    expectPoint(line->getPoints()[3], 200, 100);
    EXPECT_EQ(line->getStrightType(), 0);
    EXPECT_EQ(line->getbOffsetH(), 0);

    auto left = lineThrough({{0, 0}, {-200, 100}});
    left->autoAlign(1);
    ASSERT_EQ(left->getPointSize(), 4);
    expectPoint(left->getPoints()[1], -30, 0);
    expectPoint(left->getPoints()[2], -30, 100);
}

TEST_F(LineModel, AutoAlignBranchCurve) {
    auto line = lineThrough({{0, 0}, {200, 100}});
    line->autoAlign(2);
    ASSERT_EQ(line->getPointSize(), 4);
    expectPoint(line->getPoints()[0], 0, 0);
    expectPoint(line->getPoints()[1], 29.7f, 11.5f);
    expectPoint(line->getPoints()[2], 33, 88.5f);
    expectPoint(line->getPoints()[3], 59.7f, 100);
    EXPECT_NEAR(line->getOffsetH(), 140.3f, kEps);
    EXPECT_EQ(line->getbOffsetH(), 1);
    EXPECT_EQ(line->getStrightType(), 1);

    // Running it again restores the end from the tail first: same result.
    line->autoAlign(2);
    ASSERT_EQ(line->getPointSize(), 4);
    expectPoint(line->getPoints()[3], 59.7f, 100);
    EXPECT_NEAR(line->getOffsetH(), 140.3f, kEps);

    // Upwards the bends mirror.
    auto up = lineThrough({{0, 100}, {200, 0}});
    up->autoAlign(2);
    ASSERT_EQ(up->getPointSize(), 4);
    expectPoint(up->getPoints()[1], 29.7f, 88.5f);
    expectPoint(up->getPoints()[2], 33, 11.5f);

    auto level = lineThrough({{0, 0}, {100, 50}, {200, 5}});
    level->setbOffsetH(1);
    level->setOffsetH(20);
    level->autoAlign(2);
    ASSERT_EQ(level->getPointSize(), 2);
    expectPoint(level->getPoints()[1], 220, 5);
    EXPECT_EQ(level->getbOffsetH(), 0);
}

TEST_F(LineModel, AutoAlignPalmStraightAndUnknown) {
    auto palm = lineThrough({{0, 0}, {200, 100}});
    palm->autoAlign(3);
    ASSERT_EQ(palm->getPointSize(), 3);
    expectPoint(palm->getPoints()[1], 50, 90);
    expectPoint(palm->getPoints()[2], 200, 100);
    EXPECT_EQ(palm->getStrightType(), 1);

    auto straight = lineThrough({{0, 0}, {5, 5}, {9, 9}, {200, 100}});
    straight->setbOffsetH(1);
    straight->setStrightType(1);
    straight->autoAlign(4);
    ASSERT_EQ(straight->getPointSize(), 2);
    expectPoint(straight->getPoints()[1], 200, 100);
    EXPECT_EQ(straight->getbOffsetH(), 1);
    EXPECT_EQ(straight->getStrightType(), 1);

    auto two = lineThrough({{0, 0}, {200, 100}});
    two->autoAlign(4);
    two->autoAlign(7);
    EXPECT_EQ(two->getPointSize(), 2);
}

TEST_F(LineModel, AutoAlignRegluesTheEndToItsShape) {
    ZN_NPoint start;
    ZN_NPoint end;
    start.setCoord(ZVector2(0, 0));
    end.setCoord(ZVector2(208, 100));
    auto line = lineThrough({{0, 0}, {200, 100}});
    connect(&start, line.get(), &end);
    line->autoAlign(1);
    ASSERT_EQ(line->getPointSize(), 4);
    // The builder glued the end towards the start; afterwards it is glued
    // again, now towards the last bend.
    const ZVector2 bend = line->getPoints()[2];
    EXPECT_NEAR(bend.X(), 30.0f, kEps);
    ZVector2 facing = bend - end.getCoord();
    facing.Normalize();
    const ZVector2 expected = end.getCoord() + facing * 8.0f;
    expectPoint(line->getPoints()[3], expected.X(), expected.Y(), 1e-3f);
    EXPECT_NEAR(bend.Y(), 100.0f - 800.0f / std::sqrt(208.0f * 208.0f + 100.0f * 100.0f), 1e-3f);
}

TEST_F(LineModel, ChangeMovesOnlyForTheBody) {
    auto line = lineThrough({{0, 0}, {10, 10}});
    line->change(ZVector2(5, -5), 10);
    expectPoint(line->getPoints()[0], 0, 0);
    line->change(ZVector2(5, -5), 9);
    expectPoint(line->getPoints()[0], 5, -5);
    expectPoint(line->getPoints()[1], 15, 5);
}

TEST_F(LineModel, HitTestPointsBeforeSegments) {
    auto line = lineThrough({{0, 0}, {100, 0}, {100, 100}});
    ZObj2DInPoint info;
    info.parameter = -7.0f;
    EXPECT_EQ(line->InPoint(ZVector2(5, 3), &info, 10.0f), 10);
    EXPECT_EQ(info.parameter, -7.0f) << "a point hit leaves the record alone";
    EXPECT_EQ(line->InPoint(ZVector2(100, 95), &info, 10.0f), 12);
    EXPECT_EQ(line->InPoint(ZVector2(103, 50), &info, 10.0f), -2);
    EXPECT_NEAR(info.parameter, 0.5f, kEps);
    expectPoint(info.closest, 100, 50);
    EXPECT_EQ(line->InPoint(ZVector2(50, 20), &info, 10.0f), 0);
    // After a miss the record describes the last segment.
    expectPoint(info.primitiveOrigin, 100, 0);
    EXPECT_EQ(line->InPoint(ZVector2(50, 9.9f), nullptr, 10.0f), -1);
    EXPECT_EQ(line->InPoint(ZVector2(50, 10.0f), nullptr, 10.0f), 0);

    // Hit tests take window coordinates.
    setScallPosition(ZVector2(1000, 500));
    EXPECT_EQ(line->InPoint(ZVector2(5, 3), nullptr, 10.0f), 0);
    EXPECT_EQ(line->InPoint(ZVector2(-1000, -500), nullptr, 10.0f), 10);
}

TEST_F(LineModel, RubberBand) {
    auto line = lineThrough({{0, 0}, {100, 0}});
    EXPECT_TRUE(line->IntersectRect(ZVector2(-5, -5), ZVector2(5, 5))) << "holds a point";
    EXPECT_TRUE(line->IntersectRect(ZVector2(40, -5), ZVector2(60, 5))) << "crosses two edges";
    EXPECT_FALSE(line->IntersectRect(ZVector2(40, 5), ZVector2(60, 15)));
    EXPECT_TRUE(line->IntersectRect(ZVector2(0, 0), ZVector2(100, 10)))
        << "a line lying along an edge is caught although no point is strictly inside";

    // On the line of an edge but beyond its end is not a catch.
    EXPECT_FALSE(line->IntersectRect(ZVector2(200, 0), ZVector2(300, 50)));
    // A line overlapping an edge along part of it is.
    EXPECT_TRUE(line->IntersectRect(ZVector2(50, 0), ZVector2(300, 50)));
    // A fresh line whose two points coincide is caught only where it is.
    auto dot = lineThrough({{500, 500}, {500, 500}});
    EXPECT_FALSE(dot->IntersectRect(ZVector2(0, 0), ZVector2(10, 10)));
    EXPECT_TRUE(dot->IntersectRect(ZVector2(490, 490), ZVector2(510, 510)));
    EXPECT_FALSE(std::make_unique<ZN_NLine>()->IntersectRect(ZVector2(-1, -1), ZVector2(1, 1)));

    // The tail counts whatever the arrow type.
    line->setbOffsetH(1);
    line->setOffsetH(100);
    line->setArrowType(2);
    EXPECT_TRUE(line->IntersectRect(ZVector2(190, -5), ZVector2(210, 5)));
    EXPECT_TRUE(line->IntersectRect(ZVector2(150, -5), ZVector2(160, 5)));
    line->setOffsetH(-50);
    EXPECT_FALSE(line->IntersectRect(ZVector2(150, -5), ZVector2(160, 5)));

    setScallPosition(ZVector2(100, 0));
    EXPECT_TRUE(line->IntersectRect(ZVector2(-105, -5), ZVector2(-95, 5)));
}
