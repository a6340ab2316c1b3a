// Cross links: connectors between two nodes of the map that are no branch of
// a tree. They stay glued to both boxes, follow their boxes' folding and are
// passed by every walk down a tree.

#include "CoreTestSupport.h"

#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/ZN_TreeLayout.h>

#include <cmath>

using namespace coretest;

namespace {

struct Page : ZN_ShapeManager {
    template <class T> T* add(T* shape) {
        addShape(shape);
        return shape;
    }
};

ZN_NLine* crossLink(Page& page, ZN_ShapeBase* from, ZN_ShapeBase* to) {
    ZN_NLine* line = makeLine(from, to);
    ZN_NodeFields fields;
    fields.crossLink = true;
    line->setFields(std::move(fields));
    line->setOutNumber(9);
    line->setInNumber(9);
    line->pushPoint(ZVector2(500.0f, 500.0f), 1); // a bend well away from both
    line->reglueEnds();
    return page.add(line);
}

bool onOutline(const ZN_NRect* box, const ZVector2& p) {
    const ZVector2 a = box->getPoint1(), b = box->getPoint2();
    const bool inX = p.X() >= a.X() - 0.01f && p.X() <= b.X() + 0.01f;
    const bool inY = p.Y() >= a.Y() - 0.01f && p.Y() <= b.Y() + 0.01f;
    const bool onX = std::abs(p.X() - a.X()) < 0.01f || std::abs(p.X() - b.X()) < 0.01f;
    const bool onY = std::abs(p.Y() - a.Y()) < 0.01f || std::abs(p.Y() - b.Y()) < 0.01f;
    return inX && inY && (onX || onY);
}

// R with two folds: R -> P -> A and R -> Q -> B, and a cross link A -> B.
struct TwoBranches {
    Page page;
    ZN_NRect* r = page.add(makeBox(0, 0, 40, 20));
    ZN_NPoint* p = page.add(new ZN_NPoint());
    ZN_NPoint* q = page.add(new ZN_NPoint());
    ZN_NRect* a = page.add(makeBox(100, 0, 140, 20));
    ZN_NRect* b = page.add(makeBox(100, 100, 160, 130));
    ZN_NLine* rp = page.add(makeLine(r, p));
    ZN_NLine* rq = page.add(makeLine(r, q));
    ZN_NLine* pa = page.add(makeLine(p, a));
    ZN_NLine* qb = page.add(makeLine(q, b));
    ZN_NLine* ab = crossLink(page, a, b);
    TwoBranches() {
        p->setStateType(1);
        q->setStateType(1);
    }
};

} // namespace

TEST(CrossLink, BothEndsFollowTheirBoxesThroughMovesAndResizes) {
    TwoBranches t;
    EXPECT_TRUE(onOutline(t.a, t.ab->getPoints().front()));
    EXPECT_TRUE(onOutline(t.b, t.ab->getPoints().back()));

    t.b->change(ZVector2(300.0f, 40.0f), 9);
    EXPECT_TRUE(onOutline(t.b, t.ab->getPoints().back()));
    t.a->change(ZVector2(80.0f, 60.0f), 3); // a corner dragged: a resize
    EXPECT_TRUE(onOutline(t.a, t.ab->getPoints().front()));
    // The bend is the user's and stays.
    EXPECT_FLOAT_EQ(t.ab->getPoints()[1].X(), 500.0f);
}

TEST(CrossLink, FoldingHidesTheLinkWithEitherBoxButNeverTheBoxAtTheOtherEnd) {
    TwoBranches t;
    t.page.shapeShrink(t.p);
    EXPECT_FALSE(t.a->getShow());
    EXPECT_FALSE(t.ab->getShow());
    EXPECT_TRUE(t.b->getShow()) << "reached only by the cross link from the folded branch";
    EXPECT_TRUE(t.qb->getShow());

    t.page.shapeSpread(t.p);
    t.p->setStateType(1); // as the click that opens it leaves it
    EXPECT_TRUE(t.a->getShow());
    EXPECT_TRUE(t.ab->getShow());

    // The other end folded, as a file read back folds it.
    t.q->setStateType(2);
    t.page.collapseFoldedPoints();
    EXPECT_TRUE(t.a->getShow());
    EXPECT_FALSE(t.b->getShow());
    EXPECT_FALSE(t.ab->getShow());

    // Folding the whole map by its selected root and opening it again.
    t.q->setStateType(1);
    t.page.shapeSpread(t.q);
    t.r->setSelected(true);
    t.page.selectShrink();
    EXPECT_FALSE(t.a->getShow());
    EXPECT_FALSE(t.ab->getShow());
    t.page.selectSpreadAll();
    EXPECT_TRUE(t.ab->getShow());
}

TEST(CrossLink, ATreeElsewhereReachedOnlyByACrossLinkIsNeitherFoldedNorMoved) {
    Page page;
    ZN_NRect* r = page.add(makeBox(0, 0, 40, 20));
    ZN_NRect* a = page.add(makeBox(100, 0, 140, 20));
    ZN_NRect* other = page.add(makeBox(0, 400, 40, 420));
    ZN_NRect* below = page.add(makeBox(100, 400, 140, 420));
    page.add(makeLine(r, a));
    page.add(makeLine(other, below));
    ZN_NLine* link = crossLink(page, a, other);

    r->setSelected(true);
    page.selectShrink();
    EXPECT_FALSE(a->getShow());
    EXPECT_FALSE(link->getShow());
    EXPECT_TRUE(other->getShow());
    EXPECT_TRUE(below->getShow());
    page.selectSpreadAll();
    r->setSelected(false);

    // Laid out, the tree does not take the linked tree as a branch of a.
    const ZVector2 otherAt = other->getPoint1();
    const ZVector2 belowAt = below->getPoint1();
    ZN_TreeLayout layout;
    layout.apply(r, ZN_Layout::LogicRight, ZN_LayoutSides::Balance);
    EXPECT_EQ(other->getPoint1(), otherAt);
    EXPECT_EQ(below->getPoint1(), belowAt);
    EXPECT_TRUE(onOutline(a, link->getPoints().front()));
    EXPECT_TRUE(onOutline(other, link->getPoints().back()));
}

TEST(CrossLink, TurningALinkedConnectorIntoACrossLinkChangesWhatFoldingReaches) {
    // The page's packed relations must notice the change of kind.
    Page page;
    ZN_NRect* r = page.add(makeBox(0, 0, 40, 20));
    ZN_NRect* a = page.add(makeBox(100, 0, 140, 20));
    ZN_NLine* line = page.add(makeLine(r, a));
    page.shapeShrink(r);
    EXPECT_FALSE(a->getShow());
    page.shapeSpread(r);

    ZN_NodeFields fields;
    fields.crossLink = true;
    line->setFields(std::move(fields));
    page.shapeShrink(r);
    EXPECT_TRUE(a->getShow());
    EXPECT_TRUE(line->getShow());
}
