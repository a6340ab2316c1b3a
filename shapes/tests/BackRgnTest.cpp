#include <sarvik/ZN_BackRgn.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_ShapeManager.h>

#include <gtest/gtest.h>

namespace {

void place(ZN_BackRgn& r, float x1, float y1, float x2, float y2) {
    r.setPoint1(ZVector2(x1, y1));
    r.setPoint2(ZVector2(x2, y2));
}

// The view offset is process-wide; every test leaves it at (0, 0).
struct ViewOffset {
    explicit ViewOffset(ZVector2 offset) { setScallPosition(offset); }
    ~ViewOffset() { setScallPosition(ZVector2(0, 0)); }
};

} // namespace

TEST(BackRgn, HandlesAnswerInOrderTheInteriorNever) {
    ZN_BackRgn r;
    place(r, 100, 100, 300, 200);
    EXPECT_EQ(r.InPoint(ZVector2(105, 95), nullptr, 10.0f), 1);
    EXPECT_EQ(r.InPoint(ZVector2(100, 150), nullptr, 10.0f), 2);
    EXPECT_EQ(r.InPoint(ZVector2(100, 200), nullptr, 10.0f), 3);
    EXPECT_EQ(r.InPoint(ZVector2(200, 200), nullptr, 10.0f), 4);
    EXPECT_EQ(r.InPoint(ZVector2(300, 200), nullptr, 10.0f), 5);
    EXPECT_EQ(r.InPoint(ZVector2(300, 150), nullptr, 10.0f), 6);
    EXPECT_EQ(r.InPoint(ZVector2(300, 100), nullptr, 10.0f), 7);
    EXPECT_EQ(r.InPoint(ZVector2(200, 100), nullptr, 10.0f), 8);
    // Inside, and on the outline away from the handles: nothing.
    EXPECT_EQ(r.InPoint(ZVector2(200, 150), nullptr, 10.0f), 0);
    EXPECT_EQ(r.InPoint(ZVector2(150, 100), nullptr, 10.0f), 0);
    // The tolerance is strict.
    EXPECT_EQ(r.InPoint(ZVector2(110, 100), nullptr, 10.0f), 0);
    EXPECT_EQ(r.InPoint(ZVector2(109.9f, 100), nullptr, 10.0f), 1);

    // On a small frame the first handle in order wins.
    ZN_BackRgn small;
    place(small, 0, 0, 12, 12);
    EXPECT_EQ(small.InPoint(ZVector2(1, 5), nullptr, 10.0f), 1);

    // Selected or not, with a hit record or not: the same answer.
    ZObj2DInPoint info;
    EXPECT_EQ(r.InPoint(ZVector2(300, 200), &info, 10.0f), 5);
    r.setSelected(true);
    EXPECT_EQ(r.InPoint(ZVector2(300, 200), &info, 10.0f), 5);
}

TEST(BackRgn, HitsIgnoreTheViewOffset) {
    ViewOffset scrolled(ZVector2(500, 300));
    ZN_BackRgn r;
    place(r, 100, 100, 300, 200);
    EXPECT_EQ(r.InPoint(ZVector2(300, 200), nullptr, 10.0f), 5);
    r.change(ZVector2(20, 10), 5);
    EXPECT_FLOAT_EQ(r.getPoint2().X(), 320.0f);
    EXPECT_FLOAT_EQ(r.getPoint2().Y(), 210.0f);
}

TEST(BackRgn, ChangeNormalisesAndKeepsTenUnits) {
    ZN_BackRgn r;
    place(r, 100, 100, 300, 200);
    // Handle 8 dragged below the bottom edge: y values swap.
    r.change(ZVector2(0, 150), 8);
    EXPECT_FLOAT_EQ(r.getPoint1().Y(), 200.0f);
    EXPECT_FLOAT_EQ(r.getPoint2().Y(), 250.0f);
    // Dragged to within 4 of the other edge: the height goes back to 10.
    r.change(ZVector2(0, 46), 8);
    EXPECT_FLOAT_EQ(r.getPoint1().Y(), 246.0f);
    EXPECT_FLOAT_EQ(r.getPoint2().Y(), 256.0f);

    // Handle 2 past the right edge: the dragged edge becomes the right one.
    r.change(ZVector2(250, 0), 2);
    EXPECT_FLOAT_EQ(r.getPoint1().X(), 300.0f);
    EXPECT_FLOAT_EQ(r.getPoint2().X(), 350.0f);
    // A resize by handle 6 leaving a width of 3 widens from the left corner.
    r.change(ZVector2(-47, 0), 6);
    EXPECT_FLOAT_EQ(r.getPoint1().X(), 300.0f);
    EXPECT_FLOAT_EQ(r.getPoint2().X(), 310.0f);

    // Any code other than a handle moves both corners.
    r.change(ZVector2(5, 7), 42);
    EXPECT_FLOAT_EQ(r.getPoint1().X(), 305.0f);
    EXPECT_FLOAT_EQ(r.getPoint2().Y(), 263.0f);
}

TEST(BackRgn, ManagerTestsTheShownFrameBeforeEveryShape) {
    ZN_ShapeManager page;
    ZN_BackRgn* r = page.getBackRgn();
    ASSERT_NE(r, nullptr);
    EXPECT_FALSE(r->getShow());
    auto* box = static_cast<ZN_NRect*>(ZN_ShapeBase::createShape(7));
    box->setPoint1(ZVector2(0, 0));
    box->setPoint2(ZVector2(400, 400));
    page.addShape(box);
    r->setPoint1(ZVector2(100, 100));
    r->setPoint2(ZVector2(200, 200));

    int code = -1;
    EXPECT_EQ(page.Change_Cursor(ZVector2(200, 200), nullptr, code), box);
    r->setShow(true);
    EXPECT_EQ(page.Change_Cursor(ZVector2(200, 200), nullptr, code), r);
    EXPECT_EQ(code, 5);
    EXPECT_EQ(ZLastCursor(), ZCursor::SizeNWSE);
    const struct {
        float x, y;
        int code;
        ZCursor cursor;
    } handles[] = {{100, 150, 2, ZCursor::SizeWE},
                   {100, 200, 3, ZCursor::SizeNESW},
                   {150, 100, 8, ZCursor::SizeNS}};
    for (const auto& h : handles) {
        EXPECT_EQ(page.Change_Cursor(ZVector2(h.x, h.y), nullptr, code), r);
        EXPECT_EQ(code, h.code);
        EXPECT_EQ(ZLastCursor(), h.cursor);
    }
    // Inside the frame away from its handles the box beneath answers.
    EXPECT_EQ(page.Change_Cursor(ZVector2(150, 150), nullptr, code), box);
    EXPECT_EQ(code, 9);
}
