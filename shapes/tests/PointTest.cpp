// Point node: hit tests, attachment, cursors, copying and its record.

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/platform/ZFile.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

class PointNode : public ::testing::Test {
protected:
    void TearDown() override { setScallPosition(ZVector2(0.0f, 0.0f)); }
};

void expectNear(const ZVector2& actual, float x, float y, float eps = 1e-4f) {
    EXPECT_NEAR(actual.X(), x, eps);
    EXPECT_NEAR(actual.Y(), y, eps);
}

} // namespace

TEST_F(PointNode, FactoryMakesARegionLikeNode) {
    std::unique_ptr<ZN_ShapeBase> shape(ZN_ShapeBase::createShape(2));
    ASSERT_NE(dynamic_cast<ZN_NPoint*>(shape.get()), nullptr);
    EXPECT_TRUE(shape->isRegion());
}

TEST_F(PointNode, HitWithinSizePlusTolerance) {
    ZN_NPoint point;
    point.setCoord(ZVector2(100, 100));
    EXPECT_EQ(point.InPoint(ZVector2(117.9f, 100), nullptr, 10.0f), 9);
    EXPECT_EQ(point.InPoint(ZVector2(118.0f, 100), nullptr, 10.0f), 0);
    EXPECT_EQ(point.InPoint(ZVector2(100 + 12.6f, 100 + 12.6f), nullptr, 10.0f), 9);
    EXPECT_EQ(point.InPoint(ZVector2(100 + 12.8f, 100 + 12.8f), nullptr, 10.0f), 0);

    // Selection does not add handles; the record gets the centre.
    point.setSelected(true);
    ZObj2DInPoint info;
    EXPECT_EQ(point.InPoint(ZVector2(105, 95), &info, 10.0f), 9);
    EXPECT_EQ(info.closest, ZVector2(100, 100));

    // In window coordinates.
    setScallPosition(ZVector2(50, -20));
    EXPECT_EQ(point.InPoint(ZVector2(100, 100), &info, 10.0f), 0);
    EXPECT_EQ(point.InPoint(ZVector2(50, 120), &info, 10.0f), 9);
    EXPECT_EQ(info.closest, ZVector2(50, 120));

    // A point of size zero is still hit within the tolerance.
    setScallPosition(ZVector2(0, 0));
    point.setPointSize(0);
    EXPECT_EQ(point.InPoint(ZVector2(109.9f, 100), nullptr, 10.0f), 9);
    EXPECT_EQ(point.InPoint(ZVector2(110.0f, 100), nullptr, 10.0f), 0);
}

TEST_F(PointNode, RubberBandNeedsTheCentreStrictlyInside) {
    ZN_NPoint point;
    point.setCoord(ZVector2(10, 10));
    EXPECT_TRUE(point.IntersectRect(ZVector2(0, 0), ZVector2(20, 20)));
    EXPECT_FALSE(point.IntersectRect(ZVector2(10, 0), ZVector2(20, 20)));
    EXPECT_FALSE(point.IntersectRect(ZVector2(12, 0), ZVector2(20, 20))) << "the ring alone does not count";
    setScallPosition(ZVector2(100, 100));
    EXPECT_TRUE(point.IntersectRect(ZVector2(-95, -95), ZVector2(-85, -85)));
}

TEST_F(PointNode, CursorByState) {
    ZN_NPoint point;
    point.loadCursor(ZCursor::None, 9);
    EXPECT_EQ(ZLastCursor(), ZCursor::SizeAll);
    for (int state : {1, 2, 3}) {
        point.setStateType(state);
        point.loadCursor(ZCursor::None, 9);
        EXPECT_EQ(ZLastCursor(), ZCursor::Arrow) << state;
    }
}

TEST_F(PointNode, BorderPointFacesTheNeighbour) {
    ZN_NPoint point;
    point.setCoord(ZVector2(50, 50));
    for (int code : {0, 5, 9, -3}) {
        expectNear(point.getBoderPos(code, ZVector2(-100, 50)), 42, 50);
    }
    expectNear(point.getBoderPos(9, ZVector2(50, 0)), 50, 42);
    expectNear(point.getBoderPos(9, ZVector2(50, 90)), 50, 58);
    expectNear(point.getBoderPos(9, ZVector2(80, 90)), 54.8f, 56.4f);
    expectNear(point.getBoderPos(9, ZVector2(80, 10)), 54.8f, 43.6f);

    // A point of size zero holds its connectors at the centre.
    point.setPointSize(0);
    expectNear(point.getBoderPos(9, ZVector2(80, 90)), 50, 50);
}

TEST_F(PointNode, MovingRegluesConnectorsWhateverTheCode) {
    ZN_NPoint a;
    ZN_NPoint b;
    a.setCoord(ZVector2(0, 0));
    b.setCoord(ZVector2(100, 0));
    ZN_NLine line;
    line.pushPointBack(ZVector2(8, 0));
    line.pushPointBack(ZVector2(92, 0));
    a.pushToOutput(&line);
    line.pushToInput(&a);
    line.pushToOutput(&b);
    b.pushToInput(&line);

    b.change(ZVector2(0, 100), 5);
    expectNear(b.getCoord(), 100, 100);
    // The start aims at the old end, then the end at the new start.
    expectNear(line.getPoints()[0], 8, 0, 1e-3f);
    ZVector2 facing = ZVector2(8, 0) - b.getCoord();
    facing.Normalize();
    const ZVector2 end = b.getCoord() + facing * 8.0f;
    expectNear(line.getPoints()[1], end.X(), end.Y(), 1e-3f);

    a.change(ZVector2(0, 0), 9);
    facing = end - a.getCoord();
    facing.Normalize();
    expectNear(line.getPoints()[0], facing.X() * 8.0f, facing.Y() * 8.0f, 1e-3f);
    b.setPointSize(0);
    b.change(ZVector2(0, 0), 1);
    expectNear(line.getPoints()[1], 100, 100, 1e-3f);

    line.pushToInput(&a); // a second start shape is ignored
    a.change(ZVector2(10, 0), 9);
    expectNear(a.getCoord(), 10, 0);
}

TEST_F(PointNode, CloneAndRecord) {
    ZN_NPoint point;
    point.setCoord(ZVector2(12.5f, -3));
    point.setColor(ZVector3(0.1f, 0.2f, 0.3f));
    point.setFillColor(ZVector3(0.4f, 0.5f, 0.6f));
    point.setPointSize(11);
    point.setStateType(2);
    point.setSelected(true);
    point.setId(4);

    auto out = ZFile::toMemory();
    point.writeFile(out.get(), 8);
    ASSERT_TRUE(out->commit());
    const std::vector<std::uint8_t>& bytes = out->bytes();
    ASSERT_EQ(bytes.size(), 4u + 8u + 12u + 12u + 4u + 4u);
    float fill = 0;
    std::memcpy(&fill, bytes.data() + 12, 4);
    EXPECT_EQ(fill, 0.4f) << "the fill colour comes before the outline colour";
    std::int32_t state = 0;
    std::memcpy(&state, bytes.data() + 40, 4);
    EXPECT_EQ(state, 2);

    // No field depends on the version.
    for (int version : {2, 8}) {
        auto in = ZFile::fromMemory(bytes);
        ZN_NPoint back;
        back.readFile(in.get(), version);
        ASSERT_FALSE(in->failed());
        EXPECT_EQ(in->remaining(), 0u);
        auto again = ZFile::toMemory();
        back.writeFile(again.get(), 8);
        EXPECT_EQ(again->bytes(), bytes);
    }

    std::unique_ptr<ZN_ShapeBase> copy(point.clone());
    ASSERT_NE(dynamic_cast<ZN_NPoint*>(copy.get()), nullptr);
    EXPECT_FALSE(copy->getSelected());
    EXPECT_EQ(copy->getId(), 4);
    auto copied = ZFile::toMemory();
    copy->writeFile(copied.get(), 8);
    EXPECT_EQ(copied->bytes(), bytes);

    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        auto in = ZFile::fromMemory(bytes.data(), cut);
        ZN_NPoint back;
        back.readFile(in.get(), 8);
        EXPECT_TRUE(in->failed()) << cut;
        EXPECT_EQ(back.getPointSize(), 8.0f) << cut;
    }
}
