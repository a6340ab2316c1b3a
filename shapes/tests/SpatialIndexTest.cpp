// The page answers hit tests, connection-target searches and rubber bands
// through an index of the shapes' bounds. Whatever the edits in between, each
// answer must be the one a walk of the whole list gives.

#include "CoreTestSupport.h"

#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_NRectVariants.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZFile.h>

#include <cmath>
#include <iterator>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "model/index/ShapeGrid.h"

using namespace coretest;

namespace {

// The list walks the index must agree with.
ZN_ShapeBase* walkHit(const ZN_ShapeManager& page, const ZVector2& pos, float tolerance,
                      int& code) {
    const auto& shapes = page.getShapeList();
    for (auto it = shapes.rbegin(); it != shapes.rend(); ++it) {
        if (!(*it)->getShow())
            continue;
        ZObj2DInPoint info;
        code = (*it)->InPoint(pos, &info, tolerance);
        if (code != 0)
            return *it;
    }
    code = 0;
    return nullptr;
}

ZN_ShapeBase* walkTarget(const ZN_ShapeManager& page, const ZVector2& pos, float tolerance,
                         const ZN_ShapeBase* except, int& code) {
    for (ZN_ShapeBase* shape : page.getShapeList()) {
        if (shape == except || shape->type() == 1 || !shape->getShow())
            continue;
        code = shape->InPoint(pos, nullptr, tolerance);
        if (code != 0)
            return shape;
    }
    code = 0;
    return nullptr;
}

std::vector<ZN_ShapeBase*> walkBand(const ZN_ShapeManager& page, const ZVector2& a,
                                    const ZVector2& b) {
    std::vector<ZN_ShapeBase*> caught;
    for (ZN_ShapeBase* shape : page.getShapeList())
        if (shape->getSelected() || (shape->getShow() && shape->IntersectRect(a, b)))
            caught.push_back(shape);
    return caught;
}

class RandomPage {
public:
    explicit RandomPage(unsigned seed) : rng(seed) {}

    ZN_ShapeManager page;
    std::mt19937 rng;

    float coord(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); }
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
    ZVector2 spot() { return ZVector2(coord(-200.0f, 2200.0f), coord(-200.0f, 1700.0f)); }

    ZN_ShapeBase* any() {
        auto& shapes = std::as_const(page).getShapeList();
        if (shapes.empty())
            return nullptr;
        return *std::next(shapes.begin(), pick(static_cast<int>(shapes.size())));
    }

    // A node of a random kind, or a text, somewhere on the page.
    ZN_ShapeBase* newNode() {
        static const int kinds[] = {7, 8, 9, 10, 13, 12, 2, 5};
        ZN_ShapeBase* shape = ZN_ShapeBase::createShape(kinds[pick(8)]);
        const ZVector2 p = spot();
        const ZVector2 size(coord(10.0f, 160.0f), coord(10.0f, 90.0f));
        if (auto* box = dynamic_cast<ZN_NRect*>(shape)) {
            box->setPoint1(p);
            box->setPoint2(p + size);
        } else if (auto* point = dynamic_cast<ZN_NPoint*>(shape)) {
            point->setCoord(p);
        } else if (auto* text = dynamic_cast<ZN_SText*>(shape)) {
            text->setRect(p, p + size);
        }
        return shape;
    }

    // Joins two nodes of the page with a connector beneath them.
    void connect() {
        ZN_ShapeBase* from = any();
        ZN_ShapeBase* to = any();
        if (!from || !to || from == to || from->type() == 1 || to->type() == 1 ||
            from->type() == 5 || to->type() == 5)
            return;
        auto* line = new ZN_NLine();
        line->pushPointBack(from->getPoint2());
        line->pushPointBack(to->getPoint1());
        link(from, line, to);
        line->setOutNumber(9);
        line->setInNumber(9);
        line->reglueEnds();
        page.addShapeFront(line);
    }

    // One edit of a random kind, through the paths the editor uses.
    void edit() {
        ZN_ShapeBase* s = any();
        switch (pick(20)) {
        case 0: page.addShape(newNode()); break;
        case 1: connect(); break;
        case 2:
            if (s)
                s->change(ZVector2(coord(-80, 80), coord(-80, 80)), 1 + pick(9));
            break;
        case 3:
            if (s)
                s->setSelected(!s->getSelected());
            page.change(ZVector2(0, 0), ZVector2(coord(-50, 50), coord(-50, 50)), 9, pick(2));
            break;
        case 4:
            if (auto* box = dynamic_cast<ZN_NRect*>(s))
                box->setPoint2(spot());
            else if (auto* line = dynamic_cast<ZN_NLine*>(s))
                line->pushPoint(spot(), pick(3));
            else if (auto* point = dynamic_cast<ZN_NPoint*>(s))
                point->setPointSize(coord(-5.0f, 40.0f));
            else if (auto* text = dynamic_cast<ZN_SText*>(s))
                text->setRect(spot(), spot());
            break;
        case 5:
            if (auto* line = dynamic_cast<ZN_NLine*>(s)) {
                line->setbOffsetH(1);
                line->setOffsetH(pick(400) - 200);
            }
            break;
        case 6:
            if (s)
                page.deleteShape(s);
            break;
        case 7:
            if (s)
                s->setSelected(true);
            page.deleteSelected();
            break;
        case 8:
            if (s && s->type() != 1)
                pick(2) ? page.shapeShrink(s) : page.shapeSpread(s);
            break;
        case 9:
            if (s)
                page.TranslateLayer(pick(4), {s});
            break;
        case 10: page.getUndoRedo()->copyAllTooplist(true); break;
        case 11: page.getUndoRedo()->unDo(); break;
        case 12: page.getUndoRedo()->reDo(); break;
        case 13: setScallPosition(ZVector2(coord(-300, 300), coord(-300, 300))); break;
        case 14:
            // The editor's own hands on the list: a pasted copy and a reorder.
            if (s) {
                ZN_ShapeBase* copy = s->clone();
                if (copy) {
                    copy->change(ZVector2(20, 20), 9);
                    page.getShapeList().push_back(copy);
                }
            }
            page.getShapeList().reverse();
            break;
        case 15: reload(); break;
        case 16:
            if (s)
                page.LittleMove(pick(4), {s}, 1 + pick(10));
            break;
        case 17:
            // A label drawn far from its box.
            if (auto* box = dynamic_cast<ZN_NRect*>(s)) {
                const ZVector2 p = spot();
                if (ZN_SText* label = box->getLabel())
                    label->setRect(p, p + ZVector2(60, 20));
                else
                    makeLabel(box, p.X(), p.Y(), p.X() + 60, p.Y() + 20);
            }
            break;
        case 18:
            // Fold points stop an expansion below them.
            if (auto* point = dynamic_cast<ZN_NPoint*>(s))
                point->setStateType(pick(3));
            break;
        case 19:
            // A connector cut away from one of its ends, as a delete leaves it.
            if (s && s->type() == 1 && !s->outputs().empty() && s->outputs().front()) {
                ZN_ShapeBase* end = s->outputs().front();
                end->deleteInput(s);
                s->deleteOutput(end);
            }
            break;
        }
    }

    // The page written out and read back into itself, as a load does.
    void reload() {
        auto out = ZFile::toMemory();
        ASSERT_TRUE(page.writeFile(out.get(), 8));
        const std::vector<std::uint8_t> bytes = out->bytes();
        page.clear();
        auto in = ZFile::fromMemory(bytes);
        ASSERT_TRUE(page.readFile(in.get(), 8));
    }

    // A point on or near a shape, where answers are interesting, or anywhere.
    ZVector2 probe() {
        ZN_ShapeBase* s = any();
        if (!s || pick(4) == 0)
            return spot();
        const ZVector2 offset = getScallPosition();
        const ZVector2 corner = pick(2) ? s->getPoint1() : s->getPoint2();
        return corner - offset + ZVector2(coord(-14, 14), coord(-14, 14));
    }
};

// Compares every kind of query; counts the hits so the test can tell that it
// met shapes and not only empty canvas.
void expectSameAnswers(RandomPage& r, int step, int& hits) {
    for (int q = 0; q < 12; ++q) {
        const ZVector2 pos = r.probe();
        int code = -1, walkCode = -1;
        ZObj2DInPoint info;
        // The tolerance of views zoomed to 400 %, 100 % and 25 %.
        const float tolerance = 2.5f * static_cast<float>(1 << (2 * r.pick(3)));
        ZN_ShapeBase* got = r.page.Change_Cursor(pos, &info, code, tolerance);
        ZN_ShapeBase* want = walkHit(r.page, pos, tolerance, walkCode);
        ASSERT_EQ(got, want) << "hit test at step " << step;
        ASSERT_EQ(code, walkCode) << "hit code at step " << step;
        hits += got != nullptr;

        ZN_ShapeBase* except = r.any();
        got = r.page.findConnectTarget(pos, tolerance, except, code);
        want = walkTarget(r.page, pos, tolerance, except, walkCode);
        ASSERT_EQ(got, want) << "connection target at step " << step;
        ASSERT_EQ(code, walkCode) << "target code at step " << step;
    }
    const ZVector2 a = r.probe();
    const ZVector2 b = a + ZVector2(r.coord(0, 900), r.coord(0, 600));
    const std::vector<ZN_ShapeBase*> want = walkBand(r.page, a, b);
    r.page.selectWithinRect(a, b);
    std::vector<ZN_ShapeBase*> got;
    for (ZN_ShapeBase* shape : std::as_const(r.page).getShapeList())
        if (shape->getSelected())
            got.push_back(shape);
    ASSERT_EQ(got, want) << "rubber band at step " << step;
    r.page.clearSelect();

    // Drawing may leave out only shapes whose drawn bounds miss the window.
    const ZVector2 lo = r.spot();
    const ZVector2 hi = lo + ZVector2(r.coord(0, 800), r.coord(0, 500));
    std::vector<const ZN_ShapeBase*> drawn;
    r.page.shapesToDraw(lo, hi, drawn);
    auto next = drawn.begin();
    for (const ZN_ShapeBase* shape : std::as_const(r.page).getShapeList()) {
        detail::ShapeBounds b;
        const bool needed =
            !detail::drawBounds(*shape, b) ||
            !(b.maxX < lo.X() || b.minX > hi.X() || b.maxY < lo.Y() || b.minY > hi.Y());
        const bool listed = next != drawn.end() && *next == shape;
        if (listed)
            ++next;
        ASSERT_TRUE(listed || !needed) << "drawing left out a shape in view at step " << step;
    }
    ASSERT_EQ(next, drawn.end()) << "drawing order differs from the list at step " << step;
}

struct IndexCheckOn {
    IndexCheckOn() { detail::setIndexSelfCheck(true); }
    ~IndexCheckOn() {
        detail::setIndexSelfCheck(false);
        setScallPosition(ZVector2(0.0f, 0.0f));
    }
};

} // namespace

TEST(SpatialIndex, AnswersEqualTheListWalkThroughRandomEdits) {
    // The library's own cross-check runs too: a disagreement stops the test.
    IndexCheckOn check;
    int hits = 0;
    for (unsigned seed = 1; seed <= 10; ++seed) {
        RandomPage r(seed);
        for (int i = 0; i < 60; ++i)
            r.page.addShape(r.newNode());
        for (int i = 0; i < 40; ++i)
            r.connect();
        for (int step = 0; step < 400; ++step) {
            r.edit();
            if (step % 3 == 0)
                expectSameAnswers(r, step, hits);
            if (HasFatalFailure())
                return;
        }
    }
    EXPECT_GT(hits, 1000);
}

TEST(SpatialIndex, SubtreeWalksFollowRelationsThatLeaveThePage) {
    // A connector may point at a shape that is not on the page (a copy on
    // the clipboard, a shape of an undo state). Walks must still meet it, and
    // they must see relations added after an earlier walk.
    IndexCheckOn check;
    ZN_ShapeManager page;
    ZN_NRect* root = makeBox(0, 0, 100, 50);
    ZN_NRect* child = makeBox(200, 0, 300, 50);
    auto* line = new ZN_NLine();
    link(root, line, child);
    page.addShape(root);
    page.addShape(line);
    page.addShape(child);
    page.shapeShrink(root);
    EXPECT_FALSE(child->getShow());
    page.shapeSpread(root);
    EXPECT_TRUE(child->getShow());

    ZN_NRect* outside = makeBox(400, 0, 500, 50);
    auto* further = new ZN_NLine();
    link(child, further, outside);
    page.addShape(further);
    page.shapeShrink(root);
    EXPECT_FALSE(outside->getShow());
    EXPECT_FALSE(further->getShow());
    page.shapeSpread(root);
    EXPECT_TRUE(outside->getShow());

    // Relations changed without any change to the list are seen too.
    auto* late = new ZN_NLine();
    ZN_NRect* leaf = makeBox(600, 0, 700, 50);
    page.addShape(leaf);
    page.addShape(late);
    page.shapeShrink(root);
    EXPECT_TRUE(leaf->getShow());
    page.shapeSpread(root);
    link(child, late, leaf);
    page.shapeShrink(root);
    EXPECT_FALSE(leaf->getShow());
    page.shapeSpread(root);

    page.clearSelect();
    root->setSelected(true);
    page.change(ZVector2(0, 0), ZVector2(10, 0), 9, 1);
    EXPECT_EQ(leaf->getPoint1().X(), 610.0f);
    EXPECT_EQ(outside->getPoint1().X(), 410.0f);
    delete outside;
}

TEST(SpatialIndex, ShapesFarApartOrWithoutFiniteBoundsAreStillFound) {
    IndexCheckOn check;
    ZN_ShapeManager page;
    ZN_NRect* near = makeBox(0, 0, 100, 50);
    ZN_NRect* far = makeBox(3.0e6f, 2.0e6f, 3.0e6f + 80, 2.0e6f + 40);
    ZN_NRect* broken = makeBox(std::nanf(""), 0, 40, 40);
    auto* line = new ZN_NLine(); // no points yet: nothing to hit
    page.addShape(near);
    page.addShape(far);
    page.addShape(broken);
    page.addShape(line);

    int code = 0;
    EXPECT_EQ(page.Change_Cursor(ZVector2(50, 25), nullptr, code), near);
    EXPECT_EQ(page.Change_Cursor(ZVector2(3.0e6f + 40, 2.0e6f + 20), nullptr, code), far);
    // Moving the far box next to the near one and on top of it in the list is
    // seen by the next query without any rebuild being asked for.
    far->change(ZVector2(-3.0e6f + 20, -2.0e6f), 9);
    EXPECT_EQ(page.Change_Cursor(ZVector2(50, 25), nullptr, code), far);
    line->pushPointBack(ZVector2(-500, -500));
    line->pushPointBack(ZVector2(-400, -500));
    EXPECT_EQ(page.Change_Cursor(ZVector2(-450, -497), nullptr, code), line);
    EXPECT_EQ(code, -1);
    // A view offset moves every answer with it.
    setScallPosition(ZVector2(1000, 1000));
    EXPECT_EQ(page.Change_Cursor(ZVector2(50, 25), nullptr, code), nullptr);
    EXPECT_EQ(page.Change_Cursor(ZVector2(-950, -975), nullptr, code), far);
}

TEST(SpatialIndex, GridProposesEachNearbySlotOnceInListOrder) {
    std::list<ZN_ShapeBase*> shapes;
    for (int i = 0; i < 50; ++i)
        shapes.push_back(makeBox(i * 40.0f, 0, i * 40.0f + 600, 30)); // each spans many cells
    detail::ShapeGrid grid(detail::hitBounds);
    grid.build(shapes, 1);
    std::vector<std::uint32_t> slots;
    grid.query(1000, 10, 1000, 10, 0, slots);
    // Boxes 10..25 reach x = 1000.
    std::vector<std::uint32_t> want;
    for (std::uint32_t i = 10; i <= 25; ++i)
        want.push_back(i);
    EXPECT_EQ(slots, want);
    for (ZN_ShapeBase* s : shapes)
        delete s;
}

// The page's shown extent, kept between frames for the scroll range, must hold
// everything drawn whatever happened since it was last asked for, and must be
// the exact union again once measured afresh.
namespace {

// The union of the shapes' extents as they stand, the way pictures are sized.
ZDrawnExtent walkExtent(const ZN_ShapeManager& page) {
    ZDrawnExtent all;
    for (const ZN_ShapeBase* shape : page.getShapeList()) {
        const ZDrawnExtent e = drawnExtent(*shape);
        if (e.inks && e.finite)
            all.include(e);
    }
    return all;
}

::testing::AssertionResult covers(const ZDrawnExtent& outer, const ZDrawnExtent& inner) {
    if (!inner.inks ||
        (outer.inks && outer.min.X() <= inner.min.X() && outer.min.Y() <= inner.min.Y() &&
         outer.max.X() >= inner.max.X() && outer.max.Y() >= inner.max.Y()))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << outer.min.X() << ", " << outer.min.Y() << ")-(" << outer.max.X() << ", "
           << outer.max.Y() << ") does not hold (" << inner.min.X() << ", " << inner.min.Y()
           << ")-(" << inner.max.X() << ", " << inner.max.Y() << ")";
}

::testing::AssertionResult same(const ZDrawnExtent& a, const ZDrawnExtent& b) {
    if (a.inks != b.inks)
        return ::testing::AssertionFailure() << "one of the two is empty";
    if (a.inks && (a.min.X() != b.min.X() || a.min.Y() != b.min.Y() || a.max.X() != b.max.X() ||
                   a.max.Y() != b.max.Y()))
        return ::testing::AssertionFailure()
               << "(" << a.min.X() << ", " << a.min.Y() << ")-(" << a.max.X() << ", " << a.max.Y()
               << ") is not (" << b.min.X() << ", " << b.min.Y() << ")-(" << b.max.X() << ", "
               << b.max.Y() << ")";
    return ::testing::AssertionSuccess();
}

// Edits the spatial index's random ones leave out: flags and styles that
// change what is drawn without moving any point.
void styleEdit(RandomPage& r) {
    ZN_ShapeBase* s = r.any();
    if (!s)
        return;
    switch (r.pick(5)) {
    case 0:
        if (ZN_SText* label = s->getLabel()) {
            label->setText(r.pick(2) ? "" : "a label");
            label->setSelected(r.pick(2));
        }
        break;
    case 1:
        if (auto* line = dynamic_cast<ZN_NLine*>(s)) {
            line->setStrightType(r.pick(2));
            line->setArrowSize(r.pick(120));
            line->setArrowType(r.pick(2));
        }
        break;
    case 2:
        s->setShow(!s->getShow());
        break;
    case 3:
        s->setSelected(!s->getSelected());
        break;
    case 4:
        s->setSnake(r.pick(2));
        break;
    }
}

} // namespace

TEST(ShownExtent, HoldsWhatIsDrawnThroughRandomEditsAndIsExactOnceMeasuredAgain) {
    for (unsigned seed = 1; seed <= 8; ++seed) {
        RandomPage r(seed);
        for (int i = 0; i < 60; ++i)
            r.page.addShape(r.newNode());
        for (int i = 0; i < 40; ++i)
            r.connect();
        for (int step = 0; step < 400; ++step) {
            if (r.pick(3) == 0)
                styleEdit(r);
            else
                r.edit();
            ASSERT_TRUE(covers(r.page.shownExtent(), walkExtent(r.page))) << "step " << step;
            if (step % 10 == 0) {
                // A hand on the list has it measured again.
                r.page.getShapeList();
                ASSERT_TRUE(same(r.page.shownExtent(), walkExtent(r.page))) << "step " << step;
            }
        }
        setScallPosition(ZVector2(0.0f, 0.0f));
    }
}

TEST(ShownExtent, MovesGrowItOnlyForItsOwnPageUntilItIsTightened) {
    ZN_ShapeManager page;
    ZN_ShapeManager other;
    page.addShape(makeBox(0, 0, 100, 50));
    ZN_NRect* moved = makeBox(200, 100, 300, 150);
    page.addShape(moved);
    ZN_NRect* elsewhere = makeBox(0, 0, 10, 10);
    other.addShape(elsewhere);
    other.shownExtent();
    const ZDrawnExtent fitted = page.shownExtent();
    EXPECT_TRUE(same(fitted, walkExtent(page)));

    // Dragged far out and back: the range keeps room for where it was.
    moved->change(ZVector2(5000, 0), 9);
    EXPECT_TRUE(covers(page.shownExtent(), walkExtent(page)));
    moved->change(ZVector2(-5000, 0), 9);
    EXPECT_GT(page.shownExtent().max.X(), 5000.0f);
    // A shape of another page moving says nothing about this one.
    elsewhere->change(ZVector2(0, 90000), 9);
    EXPECT_LT(page.shownExtent().max.Y(), 1000.0f);
    page.tightenShownExtent();
    EXPECT_TRUE(same(page.shownExtent(), fitted));

    // Selected at the edge, its handles are in; tightening after no move
    // costs no new measure, and keeps them.
    moved->setSelected(true);
    const ZDrawnExtent selected = page.shownExtent();
    EXPECT_TRUE(same(selected, walkExtent(page)));
    EXPECT_GT(selected.max.X(), fitted.max.X());
    moved->setSelected(false);
    page.tightenShownExtent();
    EXPECT_TRUE(same(page.shownExtent(), selected));

    // More moves than the change log keeps between two frames.
    for (int i = 0; i < 5000; ++i)
        moved->change(ZVector2(1, 1), 9);
    EXPECT_TRUE(same(page.shownExtent(), walkExtent(page)));
}

TEST(ShownExtent, CollapseShrinksItAndExpandGrowsIt) {
    ZN_ShapeManager page;
    ZN_NRect* root = makeBox(0, 0, 100, 50);
    ZN_NRect* child = makeBox(4000, 3000, 4100, 3050);
    ZN_NLine* line = makeLine(root, child);
    line->setPoint(root->getPoint2(), 0);
    line->setPoint(child->getPoint1(), 1);
    page.addShape(line);
    page.addShape(root);
    page.addShape(child);
    const ZDrawnExtent open = page.shownExtent();
    EXPECT_GT(open.max.X(), 4100.0f);
    ASSERT_TRUE(page.shapeShrink(root));
    EXPECT_TRUE(same(page.shownExtent(), walkExtent(page)));
    EXPECT_LT(page.shownExtent().max.X(), 200.0f);
    ASSERT_TRUE(page.shapeSpread(root));
    EXPECT_TRUE(same(page.shownExtent(), open));
}

TEST(ShownExtent, LabelsAndLineStylesReachingFurtherGrowIt) {
    ZN_ShapeManager page;
    ZN_NRect* box = makeBox(0, 0, 50, 50);
    ZN_SText* label = makeLabel(box, 5, 5, 45, 25);
    label->setText("a label");
    page.addShape(box);
    auto* line = new ZN_NLine();
    for (const ZVector2& p : {ZVector2(1000, 200), ZVector2(1100, 200), ZVector2(1100, 300)})
        line->pushPointBack(p);
    line->setLineWide(2);
    page.addShape(line);
    page.shownExtent();

    // A curve bows past its corner, and an arrow head spreads beside its tip.
    line->setStrightType(1);
    EXPECT_TRUE(covers(page.shownExtent(), walkExtent(page)));
    line->setArrowSize(200);
    page.shownExtent();
    line->setArrowType(1);
    EXPECT_TRUE(covers(page.shownExtent(), walkExtent(page)));
    // A label moved or selected on its own is drawn with its box.
    label->setRect(ZVector2(900, 900), ZVector2(960, 920));
    EXPECT_TRUE(covers(page.shownExtent(), walkExtent(page)));
    label->setSelected(true);
    EXPECT_TRUE(covers(page.shownExtent(), walkExtent(page)));
    EXPECT_GT(page.shownExtent().max.Y(), 1000.0f);
}
