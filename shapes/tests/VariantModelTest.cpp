// Hit tests, rubber-band tests and attachment points of the box variants.

#include <sarvik/ZN_NRectVariants.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

template <class T> std::unique_ptr<T> makeBox(float x0, float y0, float x1, float y1) {
    auto box = std::make_unique<T>();
    box->setPoint1(ZVector2(x0, y0));
    box->setPoint2(ZVector2(x1, y1));
    return box;
}

void expectNear(const ZVector2& got, float x, float y, float eps = 0.05f) {
    EXPECT_NEAR(got.X(), x, eps);
    EXPECT_NEAR(got.Y(), y, eps);
}

// The view offset is process-wide; every test leaves it at zero.
class VariantModel : public ::testing::Test {
protected:
    void SetUp() override { setScallPosition(ZVector2(0.0f, 0.0f)); }
    void TearDown() override { setScallPosition(ZVector2(0.0f, 0.0f)); }
    ZObj2DInPoint record;
};

} // namespace

TEST_F(VariantModel, EveryVariantClonesAsItsOwnClassWithTheBoxFields) {
    for (int code : {8, 9, 10, 13}) {
        std::unique_ptr<ZN_ShapeBase> shape(ZN_ShapeBase::createShape(code));
        ASSERT_NE(shape, nullptr);
        auto* box = dynamic_cast<ZN_NRect*>(shape.get());
        ASSERT_NE(box, nullptr);
        box->setPoint1(ZVector2(3.0f, 4.0f));
        box->setPoint2(ZVector2(30.0f, 40.0f));
        box->setGradualType(4);
        box->setSelected(true);
        std::unique_ptr<ZN_ShapeBase> copy(shape->clone());
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->type(), code);
        auto* copied = dynamic_cast<ZN_NRect*>(copy.get());
        ASSERT_NE(copied, nullptr);
        EXPECT_EQ(copied->getPoint2(), ZVector2(30.0f, 40.0f));
        EXPECT_EQ(copied->getGradualType(), 4);
        EXPECT_FALSE(copied->getSelected());
    }
}

TEST_F(VariantModel, RoundRectCutsCornersByFifteenPercentOfTheShorterSide) {
    EXPECT_FLOAT_EQ(ZN_NRoundRect::cornerCut(ZVector2(0, 0), ZVector2(100, 40)), 6.0f);
    EXPECT_FLOAT_EQ(ZN_NRoundRect::cornerCut(ZVector2(5, 5), ZVector2(15, 15)), 1.5f);
}

TEST_F(VariantModel, RhombusIgnoresTheCornersOfItsBoundingBox) {
    auto r = makeBox<ZN_NRhombus>(0, 0, 100, 60);
    // Unselected and queried with a record: no handles, only the diamond.
    EXPECT_EQ(r->InPoint(ZVector2(3, 3), &record, 10.0f), 0);
    EXPECT_EQ(r->InPoint(ZVector2(97, 57), &record, 10.0f), 0);
    EXPECT_EQ(r->InPoint(ZVector2(50, 30), &record, 10.0f), 9);
    // A point on a side counts as inside.
    EXPECT_EQ(r->InPoint(ZVector2(25, 15), &record, 10.0f), 9);
    EXPECT_EQ(r->InPoint(ZVector2(24, 14), &record, 10.0f), 0);
    // Connection-target queries (no record) find the bounding box's handles.
    EXPECT_EQ(r->InPoint(ZVector2(3, 3), nullptr, 10.0f), 1);
    EXPECT_EQ(r->InPoint(ZVector2(99, 31), nullptr, 10.0f), 6);
    r->setSelected(true);
    EXPECT_EQ(r->InPoint(ZVector2(52, 58), &record, 10.0f), 4);
}

TEST_F(VariantModel, RhombusHitTestWorksInWindowCoordinates) {
    auto r = makeBox<ZN_NRhombus>(200, 100, 300, 160);
    setScallPosition(ZVector2(200, 100));
    EXPECT_EQ(r->InPoint(ZVector2(50, 30), &record, 10.0f), 9);
    EXPECT_EQ(r->InPoint(ZVector2(250, 130), &record, 10.0f), 0);
    EXPECT_TRUE(r->IntersectRect(ZVector2(40, 20), ZVector2(60, 40)) == false);
    EXPECT_TRUE(r->IntersectRect(ZVector2(40, -5), ZVector2(60, 5)));
}

TEST_F(VariantModel, RhombusRubberBandNeedsATipOrACrossedSide) {
    auto r = makeBox<ZN_NRhombus>(0, 0, 100, 60);
    // The empty corner regions of the bounding box do not select it.
    EXPECT_FALSE(r->IntersectRect(ZVector2(-10, -10), ZVector2(20, 12)));
    EXPECT_FALSE(r->IntersectRect(ZVector2(80, 48), ZVector2(110, 70)));
    // A band holding the top tip, one crossing a side, one wholly inside.
    EXPECT_TRUE(r->IntersectRect(ZVector2(40, -5), ZVector2(60, 5)));
    EXPECT_TRUE(r->IntersectRect(ZVector2(20, 5), ZVector2(30, 40)));
    EXPECT_FALSE(r->IntersectRect(ZVector2(45, 25), ZVector2(55, 35)));
}

TEST_F(VariantModel, RhombusAttachesOnItsSides) {
    auto r = makeBox<ZN_NRhombus>(0, 0, 100, 60);
    expectNear(r->getBoderPos(9, ZVector2(300, 30)), 100, 30);
    expectNear(r->getBoderPos(9, ZVector2(150, -70)), 68.75f, 11.25f);
    expectNear(r->getBoderPos(9, ZVector2(50, 200)), 50, 60);
    // Inside: no side is crossed.
    expectNear(r->getBoderPos(9, ZVector2(55, 32)), 55, 32);
    // The corner codes are the bounding box's and lie off the outline.
    expectNear(r->getBoderPos(1, ZVector2(500, 500)), 0, 0);
    expectNear(r->getBoderPos(8, ZVector2(500, 500)), 50, 0);
    expectNear(r->getBoderPos(0, ZVector2(7, 8)), 7, 8);
}

TEST_F(VariantModel, ParallelogramHandlesSitOnItsOwnOutline) {
    auto p = makeBox<ZN_NParal>(0, 0, 100, 60);
    // Slant 30: the top-left vertex is 30 to the right of point1.
    expectNear(p->getBoderPos(1, ZVector2(0, 0)), 30, 0);
    expectNear(p->getBoderPos(2, ZVector2(0, 0)), 15, 30);
    expectNear(p->getBoderPos(3, ZVector2(0, 0)), 0, 60);
    expectNear(p->getBoderPos(4, ZVector2(0, 0)), 35, 60);
    expectNear(p->getBoderPos(5, ZVector2(0, 0)), 70, 60);
    expectNear(p->getBoderPos(6, ZVector2(0, 0)), 85, 30);
    expectNear(p->getBoderPos(7, ZVector2(0, 0)), 100, 0);
    expectNear(p->getBoderPos(8, ZVector2(0, 0)), 65, 0);
    expectNear(p->getBoderPos(9, ZVector2(300, 30)), 85, 30);
    expectNear(p->getBoderPos(12, ZVector2(7, 8)), 7, 8);

    p->setSelected(true);
    EXPECT_EQ(p->InPoint(ZVector2(31, 2), &record, 10.0f), 1);
    EXPECT_EQ(p->InPoint(ZVector2(86, 29), &record, 10.0f), 6);
    // The bounding box's own top-left corner is neither a handle nor inside.
    EXPECT_EQ(p->InPoint(ZVector2(1, 1), &record, 10.0f), 0);

    // Its handles still resize the bounding box: handle 1 moves point1.
    p->change(ZVector2(5, 5), 1);
    EXPECT_EQ(p->getPoint1(), ZVector2(5, 5));
}

TEST_F(VariantModel, ParallelogramIgnoresTheCornersOfItsBoundingBox) {
    auto p = makeBox<ZN_NParal>(0, 0, 100, 60);
    EXPECT_EQ(p->InPoint(ZVector2(3, 3), &record, 10.0f), 0);
    EXPECT_EQ(p->InPoint(ZVector2(97, 57), &record, 10.0f), 0);
    EXPECT_EQ(p->InPoint(ZVector2(50, 30), &record, 10.0f), 9);
    EXPECT_EQ(p->InPoint(ZVector2(97, 3), &record, 10.0f), 9);

    EXPECT_FALSE(p->IntersectRect(ZVector2(-5, -5), ZVector2(10, 10)));
    EXPECT_FALSE(p->IntersectRect(ZVector2(85, 45), ZVector2(105, 65)));
    EXPECT_TRUE(p->IntersectRect(ZVector2(95, -5), ZVector2(110, 5)));
    EXPECT_TRUE(p->IntersectRect(ZVector2(-5, 40), ZVector2(20, 50)));
}

TEST_F(VariantModel, ShapesWithoutAreaCatchNoPointOfThePage) {
    // A rhombus or parallelogram of zero size (fresh from the factory, or from
    // a damaged file) must not answer for clicks everywhere.
    auto r = makeBox<ZN_NRhombus>(40, 40, 40, 40);
    auto p = makeBox<ZN_NParal>(0, 20, 100, 20);
    for (const ZVector2& q : {ZVector2(500, 500), ZVector2(-300, 20), ZVector2(40, 40)}) {
        EXPECT_EQ(r->InPoint(q, &record, 10.0f), 0);
        EXPECT_EQ(p->InPoint(q, &record, 10.0f), 0);
    }
}

TEST_F(VariantModel, EllipseAttachesAtTheParametricAngleOfTheDirection) {
    auto circle = makeBox<ZN_NEllipse>(0, 0, 100, 100);
    expectNear(circle->getBoderPos(9, ZVector2(50, -200)), 50, 0);
    expectNear(circle->getBoderPos(9, ZVector2(-10, 50)), 0, 50);

    auto e = makeBox<ZN_NEllipse>(0, 0, 200, 100);
    // 45 degrees up and to the right of the centre (100, 50).
    expectNear(e->getBoderPos(9, ZVector2(300, -150)), 100 + 70.71f, 50 - 35.36f);
    // Corner codes are the rectangle's.
    expectNear(e->getBoderPos(3, ZVector2(0, 0)), 0, 100);
    // Towards the centre itself: a point of the ellipse, never NaN.
    const ZVector2 same = e->getBoderPos(9, ZVector2(100, 50));
    EXPECT_TRUE(std::isfinite(same.X()) && std::isfinite(same.Y()));
    // Its hit test is the rectangle's, corners included.
    EXPECT_EQ(e->InPoint(ZVector2(2, 2), &record, 10.0f), 9);
}
