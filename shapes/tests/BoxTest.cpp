#include "CoreTestSupport.h"

#include <sarvik/platform/ZCursor.h>
#include <sarvik/platform/ZFile.h>

#include <cstring>
#include <memory>

using namespace coretest;

namespace {

// Restores the process-wide view offset whatever a test does with it.
struct OffsetGuard {
    ~OffsetGuard() { setScallPosition(ZVector2(0.0f, 0.0f)); }
};

std::vector<std::uint8_t> recordOf(ZN_ShapeBase& shape, int version = 8) {
    auto out = ZFile::toMemory();
    shape.writeFile(out.get(), version);
    return out->bytes();
}

} // namespace

TEST(BoxChange, InvertedDragIsNormalisedAndKeepsTheMinimumSize) {
    ZN_NRect box;
    box.setPoint1(ZVector2(0, 0));
    box.setPoint2(ZVector2(100, 50));
    // Handle 2 dragged past the right edge: the dragged edge becomes the right one.
    box.change(ZVector2(130, 0), 2);
    expectNear(box.getPoint1(), 100, 0);
    expectNear(box.getPoint2(), 130, 50);

    // Handle 6 to a width of 3: the right edge gives way to 10.
    box.setPoint1(ZVector2(0, 0));
    box.setPoint2(ZVector2(100, 50));
    box.change(ZVector2(-97, 0), 6);
    expectNear(box.getPoint1(), 0, 0);
    expectNear(box.getPoint2(), 10, 50);

    // Handle 2 to a width of 3: the left edge stays where it was dragged.
    box.setPoint2(ZVector2(100, 50));
    box.change(ZVector2(97, 0), 2);
    expectNear(box.getPoint1(), 97, 0);
    expectNear(box.getPoint2(), 107, 50);

    // Handle 4 collapsing the height; any unknown code moves the whole box.
    box.change(ZVector2(0, -60), 4);
    expectNear(box.getPoint1(), 97, -10);
    expectNear(box.getPoint2(), 107, 0);
    box.change(ZVector2(3, 4), 42);
    expectNear(box.getPoint1(), 100, -6);
    expectNear(box.getPoint2(), 110, 4);
}

TEST(BoxChange, MoveCarriesTheLabelAndResizeRecentresIt) {
    ZN_NRect box;
    box.setPoint1(ZVector2(0, 0));
    box.setPoint2(ZVector2(100, 50));
    ZN_SText* label = makeLabel(&box, 10, 10, 30, 20); // deliberately off centre
    box.change(ZVector2(5, 5), 9);
    expectNear(label->getPoint1(), 15, 15);
    expectNear(label->getPoint2(), 35, 25);
    box.change(ZVector2(20, 0), 6);
    // Centred on the box as dragged: (5..125) x (5..55).
    expectNear(label->getPoint1(), 55, 25);
    expectNear(label->getPoint2(), 75, 35);
}

TEST(BoxChange, ReGluesTheEndsOfItsConnectors) {
    auto* a = makeBox(0, 0, 100, 50);
    auto* b = makeBox(300, 0, 400, 50);
    ZN_NLine* line = makeLine(a, b);
    line->setOutNumber(6);
    line->setInNumber(2);
    a->change(ZVector2(0, 100), 9);
    expectNear(line->getPoints().front(), 100, 125);
    expectNear(line->getPoints().back(), 300, 25);

    // The horizontal tail pulls the stored end away from the border.
    line->setbOffsetH(1);
    line->setOffsetH(50);
    b->change(ZVector2(0, 10), 9);
    expectNear(line->getPoints().back(), 250, 35);
    delete line;
    delete a;
    delete b;
}

TEST(BoxChange, ResetLabelPositionGrowsTheBoxSymmetrically) {
    ZN_NRect box;
    box.setPoint1(ZVector2(100, 100));
    box.setPoint2(ZVector2(140, 120));
    makeLabel(&box, 0, 0, 80, 10);
    box.resetLabelPosition();
    expectNear(box.getPoint1(), 80, 100);
    expectNear(box.getPoint2(), 160, 120);
    expectNear(box.getLabel()->getPoint1(), 80, 105);
}

TEST(BoxHitTest, FirstHandleWinsAndToleranceIsStrict) {
    ZN_NRect box;
    box.setPoint1(ZVector2(0, 0));
    box.setPoint2(ZVector2(12, 12));
    ZObj2DInPoint record;
    box.setSelected(true);
    // Within 10 of both the top-left corner and the left middle (0, 6).
    EXPECT_EQ(box.InPoint(ZVector2(1, 3), &record, 10.0f), 1);
    // Exactly the tolerance away from every handle: not a handle.
    ZN_NRect big;
    big.setPoint1(ZVector2(0, 0));
    big.setPoint2(ZVector2(100, 100));
    EXPECT_EQ(big.InPoint(ZVector2(10, 10), nullptr, 10.0f), 9);
    EXPECT_EQ(big.InPoint(ZVector2(9.5f, 9.5f), nullptr, 10.0f), 1);
    EXPECT_EQ(big.InPoint(ZVector2(100, 45), nullptr, 10.0f), 6);
}

TEST(BoxHitTest, UnselectedBoxQueriedWithARecordFindsOnlyItsBody) {
    ZN_NRect box;
    box.setPoint1(ZVector2(0, 0));
    box.setPoint2(ZVector2(100, 100));
    ZObj2DInPoint record;
    EXPECT_EQ(box.InPoint(ZVector2(1, 1), &record, 10.0f), 9);
    EXPECT_EQ(box.InPoint(ZVector2(-1, -1), &record, 10.0f), 0);
    EXPECT_EQ(box.InPoint(ZVector2(-1, -1), nullptr, 10.0f), 1);
    // On the outline, far from every handle: neither inside nor a handle.
    EXPECT_EQ(box.InPoint(ZVector2(0, 25), nullptr, 10.0f), 0);
}

TEST(BoxHitTest, TestsAgainstTheViewOffset) {
    OffsetGuard guard;
    ZN_NRect box;
    box.setPoint1(ZVector2(200, 200));
    box.setPoint2(ZVector2(300, 300));
    setScallPosition(ZVector2(150, 150));
    EXPECT_EQ(box.InPoint(ZVector2(100, 100), nullptr, 5.0f), 9);
    EXPECT_EQ(box.InPoint(ZVector2(250, 250), nullptr, 5.0f), 0);
    EXPECT_TRUE(box.IntersectRect(ZVector2(40, 40), ZVector2(60, 60)));
}

TEST(BoxRubberBand, CornerOrCrossingSelectsButWhollyInsideDoesNot) {
    ZN_NRect box;
    box.setPoint1(ZVector2(0, 0));
    box.setPoint2(ZVector2(100, 100));
    EXPECT_FALSE(box.IntersectRect(ZVector2(20, 20), ZVector2(80, 80)));
    EXPECT_TRUE(box.IntersectRect(ZVector2(-10, -10), ZVector2(10, 10)));
    EXPECT_TRUE(box.IntersectRect(ZVector2(-10, -10), ZVector2(200, 200)));
    // A band crossing the left edge without containing a corner.
    EXPECT_TRUE(box.IntersectRect(ZVector2(-10, 40), ZVector2(10, 60)));
    EXPECT_FALSE(box.IntersectRect(ZVector2(120, 0), ZVector2(200, 100)));
}

TEST(BoxAttachment, HandlesCentreAndBorderCrossing) {
    ZN_NRect box;
    box.setPoint1(ZVector2(0, 0));
    box.setPoint2(ZVector2(100, 50));
    const ZVector2 expected[9] = {{0, 0},   {0, 25},  {0, 50},  {50, 50}, {100, 50},
                                  {100, 25}, {100, 0}, {50, 0},  {50, 25}};
    for (int code = 1; code <= 9; ++code) {
        EXPECT_EQ(box.getRegionPos(code), expected[code - 1]) << code;
        if (code <= 8) {
            EXPECT_EQ(box.getBoderPos(code, ZVector2(999, 999)), expected[code - 1]) << code;
        }
    }
    expectNear(box.getRegionPos(0), 0, 0);
    expectNear(box.getBoderPos(0, ZVector2(7, 8)), 7, 8);
    expectNear(box.getBoderPos(9, ZVector2(60, 30)), 60, 30);     // inside: itself
    expectNear(box.getBoderPos(9, ZVector2(1000, 25)), 100, 25);  // right-edge middle
    expectNear(box.getBoderPos(9, ZVector2(50, -500)), 50, 0);    // top edge
}

TEST(BoxCursor, HandlesChooseTheirResizeCursors) {
    ZN_NRect box;
    const ZCursor expected[10] = {ZCursor::SizeAll,  ZCursor::SizeNWSE, ZCursor::SizeWE,
                                  ZCursor::SizeNESW, ZCursor::SizeNS,   ZCursor::SizeNWSE,
                                  ZCursor::SizeWE,   ZCursor::SizeNESW, ZCursor::SizeNS,
                                  ZCursor::SizeAll};
    for (int code = 0; code <= 9; ++code) {
        box.loadCursor(ZCursor::None, code);
        EXPECT_EQ(ZLastCursor(), expected[code]) << code;
    }
}

TEST(BoxRecord, WritesNineFieldsAfterTheLabelBlockAndReadsByVersion) {
    ZN_NRect box;
    box.setPoint1(ZVector2(1, 2));
    box.setPoint2(ZVector2(30, 40));
    box.setFillColor(ZVector3(0.5f, 0.25f, 0.125f));
    box.setColor(ZVector3(0, 1, 0));
    box.setLineWide(5);
    box.setRectShowtype(1);
    box.setGradualType(3);
    box.setGradualColor(ZVector3(0, 0, 1));
    box.setImageId(12); // not written: without a picture the image number is 0
    const std::vector<std::uint8_t> bytes = recordOf(box);
    ASSERT_EQ(bytes.size(), 4u + 68u); // the nine fields: 8 + 8 + 12 + 12 + 4 + 4 + 4 + 4 + 12
    EXPECT_EQ(bytes[0], 0u);
    // Fill colour precedes the frame colour.
    float fillRed = 0;
    std::memcpy(&fillRed, &bytes[4 + 16], 4);
    EXPECT_FLOAT_EQ(fillRed, 0.5f);
    std::int32_t imageNumber = -1;
    std::memcpy(&imageNumber, &bytes[4 + 48], 4);
    EXPECT_EQ(imageNumber, 0);

    ZN_NRect full;
    full.readFile(ZFile::fromMemory(bytes).get(), 8);
    EXPECT_EQ(full.getPoint2(), box.getPoint2());
    EXPECT_EQ(full.getFillColor(), box.getFillColor());
    EXPECT_EQ(full.getColor(), box.getColor());
    EXPECT_EQ(full.getLineWide(), 5);
    EXPECT_EQ(full.getRectShowtype(), 1);
    EXPECT_EQ(full.getGradualType(), 3);
    EXPECT_EQ(full.getGradualColor(), ZVector3(0, 0, 1));

    // Older versions stop earlier and leave the rest at the defaults.
    std::vector<std::uint8_t> v5(bytes.begin(), bytes.end() - 16);
    v5[4 + 48] = 4; // image number 4
    ZN_NRect fifth;
    auto in5 = ZFile::fromMemory(v5);
    fifth.readFile(in5.get(), 5);
    EXPECT_FALSE(in5->failed());
    EXPECT_EQ(in5->remaining(), 0u);
    EXPECT_EQ(fifth.getImageId(), 4);
    EXPECT_EQ(fifth.getGradualType(), 0);
    EXPECT_EQ(fifth.getGradualColor(), ZVector3(1, 0, 0));

    std::vector<std::uint8_t> v2(bytes.begin(), bytes.begin() + 4 + 44);
    ZN_NRect second;
    auto in2 = ZFile::fromMemory(v2);
    second.readFile(in2.get(), 2);
    EXPECT_EQ(in2->remaining(), 0u);
    EXPECT_EQ(second.getLineWide(), 5);
    EXPECT_EQ(second.getRectShowtype(), 0);
    EXPECT_EQ(second.getImageId(), 0);
}

TEST(BoxCopy, CloneKeepsEveryVisibleFieldAndTheVariantClass) {
    std::unique_ptr<ZN_ShapeBase> source(ZN_ShapeBase::createShape(10));
    auto* box = static_cast<ZN_NRect*>(source.get());
    box->setPoint1(ZVector2(3, 4));
    box->setPoint2(ZVector2(50, 60));
    box->setFillColor(ZVector3(0.1f, 0.2f, 0.3f));
    box->setRectShowtype(2);
    box->setGradualType(4);
    box->setImageId(9);
    std::unique_ptr<ZN_ShapeBase> copy(box->clone());
    auto* copied = dynamic_cast<ZN_NRect*>(copy.get());
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->type(), 10);
    EXPECT_EQ(copied->getPoint1(), box->getPoint1());
    EXPECT_EQ(copied->getPoint2(), box->getPoint2());
    EXPECT_EQ(copied->getFillColor(), box->getFillColor());
    EXPECT_EQ(copied->getRectShowtype(), 2);
    EXPECT_EQ(copied->getGradualType(), 4);
    EXPECT_EQ(copied->getImageId(), 0);
}
