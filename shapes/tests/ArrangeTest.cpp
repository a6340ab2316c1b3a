#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_ShapeManager.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

namespace {

ZN_NRect* makeShape(int type, float x1, float y1, float x2, float y2) {
    auto* box = static_cast<ZN_NRect*>(ZN_ShapeBase::createShape(type));
    box->setPoint1(ZVector2(x1, y1));
    box->setPoint2(ZVector2(x2, y2));
    return box;
}

ZN_NRect* makeBox(float x1, float y1, float x2, float y2) { return makeShape(7, x1, y1, x2, y2); }

// A page of n boxes stacked in drawing order; boxes()[i] is the i-th from the bottom.
struct Page {
    ZN_ShapeManager manager;
    std::vector<ZN_ShapeBase*> boxes;
    explicit Page(int n) {
        for (int i = 0; i < n; ++i) {
            boxes.push_back(makeBox(i * 20.0f, 0, i * 20.0f + 10, 10));
            manager.addShape(boxes.back());
        }
    }
    // The drawing order as indices into boxes.
    std::vector<int> order() {
        std::vector<int> result;
        for (ZN_ShapeBase* s : manager.getShapeList())
            result.push_back(static_cast<int>(
                std::find(boxes.begin(), boxes.end(), s) - boxes.begin()));
        return result;
    }
    std::list<ZN_ShapeBase*> pick(std::initializer_list<int> indices) {
        std::list<ZN_ShapeBase*> result;
        for (int i : indices)
            result.push_back(boxes[static_cast<std::size_t>(i)]);
        return result;
    }
};

using Order = std::vector<int>;

} // namespace

TEST(ArrangeLayer, ToTopAndToBottomKeepTheListOrderOfTheMoved) {
    Page page(5);
    page.manager.TranslateLayer(3, page.pick({1, 0}));
    EXPECT_EQ(page.order(), (Order{2, 3, 4, 1, 0}));
    page.manager.TranslateLayer(0, page.pick({4, 1}));
    EXPECT_EQ(page.order(), (Order{4, 1, 2, 3, 0}));
}

TEST(ArrangeLayer, OneLayerStepsStopAtTheEnds) {
    Page page(4);
    page.manager.TranslateLayer(1, page.pick({0}));
    EXPECT_EQ(page.order(), (Order{0, 1, 2, 3}));
    page.manager.TranslateLayer(2, page.pick({3}));
    EXPECT_EQ(page.order(), (Order{0, 1, 2, 3}));

    page.manager.TranslateLayer(1, page.pick({2}));
    EXPECT_EQ(page.order(), (Order{0, 2, 1, 3}));
    page.manager.TranslateLayer(2, page.pick({0}));
    EXPECT_EQ(page.order(), (Order{2, 0, 1, 3}));
    // One below the top: there is nothing two places up, so it goes to the top.
    page.manager.TranslateLayer(2, page.pick({1}));
    EXPECT_EQ(page.order(), (Order{2, 0, 3, 1}));
    // One above the bottom: it becomes the bottom.
    page.manager.TranslateLayer(1, page.pick({0}));
    EXPECT_EQ(page.order(), (Order{0, 2, 3, 1}));
}

TEST(ArrangeLayer, SeveralShapesMoveAsAGroup) {
    Page page(6);
    // The frontmost listed shape's neighbour is the reference; the moved shapes
    // end just beneath it in reverse list order.
    page.manager.TranslateLayer(1, page.pick({3, 5}));
    EXPECT_EQ(page.order(), (Order{0, 1, 5, 3, 2, 4}));
    // Any listed shape at the very bottom sends them all to the front.
    page.manager.TranslateLayer(1, page.pick({4, 0}));
    EXPECT_EQ(page.order(), (Order{4, 0, 1, 5, 3, 2}));
    page.manager.TranslateLayer(2, page.pick({1, 4}));
    EXPECT_EQ(page.order(), (Order{0, 5, 4, 1, 3, 2}));
}

TEST(ArrangeLayer, ReferenceAmongTheMovedShapesLosesNothing) {
    // Down: D then C listed, neighbours; the walk picks C, which moves too, so
    // the shapes go beneath the nearest staying shape below it (B).
    Page down(5);
    down.manager.TranslateLayer(1, down.pick({3, 2}));
    EXPECT_EQ(down.order(), (Order{0, 2, 3, 1, 4}));

    // Up: the walk picks D, which moves too; the shapes go beneath the nearest
    // staying shape above it (E).
    Page up(5);
    up.manager.TranslateLayer(2, up.pick({1, 3}));
    EXPECT_EQ(up.order(), (Order{0, 2, 3, 1, 4}));

    // Nothing stays above: they go to the top.
    Page top(4);
    top.manager.TranslateLayer(2, top.pick({0, 2, 3}));
    const Order o = top.order();
    EXPECT_EQ(std::multiset<int>(o.begin(), o.end()), (std::multiset<int>{0, 1, 2, 3}));
    EXPECT_EQ(o.front(), 1);
}

TEST(ArrangeLayer, ShapesOutsideThePageAreNeverTakenIn) {
    Page page(3);
    ZN_NRect foreign;
    std::list<ZN_ShapeBase*> shapes{&foreign};
    for (int mode = 0; mode < 4; ++mode)
        page.manager.TranslateLayer(mode, shapes);
    EXPECT_EQ(page.order(), (Order{0, 1, 2}));
    shapes.push_back(page.boxes[0]);
    page.manager.TranslateLayer(3, shapes);
    EXPECT_EQ(page.order(), (Order{1, 2, 0}));
}

TEST(ArrangeAlign, NeedsTwoRegionsAndAlignsOnTheLastOne) {
    ZN_ShapeManager page;
    ZN_NRect* box = makeBox(10, 10, 60, 40);
    auto* line = static_cast<ZN_NLine*>(ZN_ShapeBase::createShape(1));
    line->pushPointBack(ZVector2(0, 0));
    line->pushPointBack(ZVector2(100, 100));
    page.addShape(box);
    page.addShape(line);
    EXPECT_EQ(page.TranslateAlign(1, {box, line}), 0);
    EXPECT_FLOAT_EQ(box->getPoint1().X(), 10.0f);

    ZN_NRect* b = makeBox(30, 100, 50, 120);
    ZN_NRect* c = makeBox(-5, 200, 25, 230);
    page.addShape(b);
    page.addShape(c);
    ASSERT_EQ(page.TranslateAlign(1, {box, line, b, c}), 1);
    for (ZN_NRect* r : {box, b, c})
        EXPECT_FLOAT_EQ(r->getPoint1().X(), -5.0f);
    EXPECT_FLOAT_EQ(box->getPoint2().X(), 45.0f) << "a move keeps the width";
    EXPECT_FLOAT_EQ(b->getPoint1().Y(), 100.0f);
    EXPECT_FLOAT_EQ(line->getPoints().back().X(), 100.0f) << "lines are not aligned";
}

TEST(ArrangeAlign, EdgesAndCentres) {
    ZN_ShapeManager page;
    ZN_NRect* narrow = makeBox(0, 0, 40, 20);
    ZN_NRect* wide = makeBox(100, 50, 200, 90);
    page.addShape(narrow);
    page.addShape(wide);

    page.TranslateAlign(4, {narrow, wide});
    EXPECT_FLOAT_EQ(narrow->getPoint1().X(), 130.0f);
    EXPECT_FLOAT_EQ(narrow->getPoint2().X(), 170.0f);
    page.TranslateAlign(5, {narrow, wide});
    EXPECT_FLOAT_EQ(narrow->getPoint1().Y(), 60.0f);
    page.TranslateAlign(2, {narrow, wide});
    EXPECT_FLOAT_EQ(narrow->getPoint2().X(), 200.0f);
    page.TranslateAlign(3, {narrow, wide});
    EXPECT_FLOAT_EQ(narrow->getPoint2().Y(), 90.0f);
    page.TranslateAlign(0, {narrow, wide});
    EXPECT_FLOAT_EQ(narrow->getPoint1().Y(), 50.0f);
    EXPECT_EQ(page.TranslateAlign(9, {narrow, wide}), 1);
    EXPECT_FLOAT_EQ(narrow->getPoint1().Y(), 50.0f);
    EXPECT_FLOAT_EQ(wide->getPoint1().X(), 100.0f) << "the reference never moves";
}

TEST(ArrangeDistribute, SpacesEvenlyWhateverTheListOrder) {
    ZN_ShapeManager page;
    ZN_NRect* a = makeBox(0, 0, 10, 10);
    ZN_NRect* b = makeBox(50, 0, 60, 10);
    ZN_NRect* c = makeBox(100, 0, 110, 10);
    page.addShape(a);
    page.addShape(b);
    page.addShape(c);
    ASSERT_EQ(page.TranslateAlignAvg(0, {c, a, b}), 1);
    EXPECT_FLOAT_EQ(a->getPoint1().X(), 0.0f);
    EXPECT_FLOAT_EQ(b->getPoint1().X(), 50.0f);
    EXPECT_FLOAT_EQ(c->getPoint1().X(), 100.0f);

    b->setPoint1(ZVector2(15, 0));
    b->setPoint2(ZVector2(25, 10));
    page.TranslateAlignAvg(0, {b, c, a});
    EXPECT_FLOAT_EQ(a->getPoint1().X(), 0.0f);
    EXPECT_FLOAT_EQ(b->getPoint1().X(), 50.0f);
    EXPECT_FLOAT_EQ(c->getPoint1().X(), 100.0f);
}

TEST(ArrangeDistribute, VerticalTruncatesToWholeUnits) {
    ZN_ShapeManager page;
    ZN_NRect* a = makeBox(0, 0.5f, 10, 10.5f);
    ZN_NRect* b = makeBox(0, 20, 10, 30);
    ZN_NRect* c = makeBox(0, 101, 10, 111);
    page.addShape(a);
    page.addShape(b);
    page.addShape(c);
    page.TranslateAlignAvg(1, {a, b, c});
    // minY = 0 (0.5 truncated), total 30, gap (111 - 30 - 0) / 2 = 40.
    EXPECT_FLOAT_EQ(a->getPoint1().Y(), 0.0f);
    EXPECT_FLOAT_EQ(b->getPoint1().Y(), 50.0f);
    EXPECT_FLOAT_EQ(c->getPoint1().Y(), 100.0f);
}

TEST(ArrangeDistribute, StartValueHoldsShapesBeyondIt) {
    ZN_ShapeManager page;
    ZN_NRect* a = makeBox(70000, 0, 70010, 10);
    ZN_NRect* b = makeBox(70100, 0, 70110, 10);
    page.addShape(a);
    page.addShape(b);
    page.TranslateAlignAvg(0, {a, b});
    EXPECT_FLOAT_EQ(a->getPoint1().X(), 66555.0f);
    EXPECT_FLOAT_EQ(b->getPoint1().X(), 70100.0f);
}

TEST(ArrangeDistribute, FewerThanTwoRegionsOrOtherModes) {
    ZN_ShapeManager page;
    ZN_NRect* a = makeBox(0, 0, 10, 10);
    ZN_NRect* b = makeBox(15, 0, 25, 10);
    ZN_NRect* c = makeBox(100, 0, 110, 10);
    page.addShape(a);
    page.addShape(b);
    page.addShape(c);
    EXPECT_EQ(page.TranslateAlignAvg(0, {a}), 0);
    EXPECT_EQ(page.TranslateAlignAvg(2, {a, b, c}), 1);
    EXPECT_FLOAT_EQ(b->getPoint1().X(), 15.0f);
}

TEST(ArrangeSameSize, TakesTheLastBoxesSizeAndSkipsOtherKinds) {
    ZN_ShapeManager page;
    ZN_NRect* ellipse = makeShape(8, 10, 10, 60, 40);
    auto* table = static_cast<ZN_NJiuGongGe*>(makeShape(12, 0, 100, 90, 130));
    ZN_NRect* paral = makeShape(13, 0, 200, 30, 220);
    ZN_NRect* rect = makeBox(300, 300, 500, 380);
    for (ZN_ShapeBase* s : std::initializer_list<ZN_ShapeBase*>{ellipse, table, paral, rect})
        page.addShape(s);

    ASSERT_EQ(page.SameSize(1, {ellipse, table, paral, rect}), 1);
    EXPECT_FLOAT_EQ(ellipse->getPoint1().X(), 10.0f);
    EXPECT_FLOAT_EQ(ellipse->getPoint2().X(), 210.0f);
    EXPECT_FLOAT_EQ(ellipse->getPoint2().Y(), 40.0f);
    EXPECT_FLOAT_EQ(table->getPoint2().X(), 90.0f);
    EXPECT_FLOAT_EQ(paral->getPoint2().X(), 30.0f);

    page.SameSize(2, {ellipse, rect});
    EXPECT_FLOAT_EQ(ellipse->getPoint2().Y(), 90.0f);
    EXPECT_FLOAT_EQ(ellipse->getPoint1().Y(), 10.0f);

    ZN_NRect* small = makeShape(9, 0, 0, 5, 5);
    page.addShape(small);
    small->setPoint2(ZVector2(5, 5));
    page.SameSize(0, {rect, small});
    // The last one is tiny: the box's minimum size holds.
    EXPECT_FLOAT_EQ(rect->getPoint2().X(), 310.0f);
    EXPECT_FLOAT_EQ(rect->getPoint2().Y(), 310.0f);

    EXPECT_EQ(page.SameSize(0, {table, paral, rect}), 0);
}

TEST(ArrangeLittleMove, MovesEveryListedShapeLinesIncluded) {
    ZN_ShapeManager page;
    ZN_NRect* box = makeBox(10, 10, 20, 20);
    auto* line = static_cast<ZN_NLine*>(ZN_ShapeBase::createShape(1));
    line->pushPointBack(ZVector2(100, 100));
    line->pushPointBack(ZVector2(200, 150));
    page.addShape(box);
    page.addShape(line);
    EXPECT_EQ(page.LittleMove(2, {box, line}, 1), 1);
    EXPECT_FLOAT_EQ(box->getPoint1().Y(), 9.0f);
    EXPECT_FLOAT_EQ(line->getPoints()[0].Y(), 99.0f);
    EXPECT_FLOAT_EQ(line->getPoints()[1].Y(), 149.0f);
    page.LittleMove(0, {box}, 3);
    EXPECT_FLOAT_EQ(box->getPoint1().X(), 7.0f);
    page.LittleMove(1, {box}, 1);
    page.LittleMove(3, {box}, 2);
    EXPECT_FLOAT_EQ(box->getPoint1().X(), 8.0f);
    EXPECT_FLOAT_EQ(box->getPoint1().Y(), 11.0f);
    EXPECT_EQ(page.LittleMove(7, {box}, 1), 1);
    EXPECT_FLOAT_EQ(box->getPoint1().X(), 8.0f);
}
