// Collapsed fold points fold their subtrees again when a page is read back.

#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZFile.h>

#include "CoreTestSupport.h"

namespace {

using coretest::makeBox;
using coretest::makeLine;

ZN_NPoint* addFold(ZN_ShapeManager& page, ZN_ShapeBase* above) {
    auto* point = new ZN_NPoint();
    point->setStateType(1);
    page.addShape(point);
    page.addShape(makeLine(above, point));
    return point;
}

ZN_ShapeBase* addBox(ZN_ShapeManager& page, ZN_ShapeBase* above) {
    ZN_ShapeBase* box = makeBox(0, 0, 20, 20);
    page.addShape(box);
    if (above)
        page.addShape(makeLine(above, box));
    return box;
}

std::vector<bool> shownAfterReload(ZN_ShapeManager& page) {
    auto out = ZFile::toMemory();
    EXPECT_TRUE(page.writeFile(out.get(), 8));
    ZN_ShapeManager read;
    EXPECT_TRUE(read.readFile(ZFile::fromMemory(out->bytes()).get(), 8));
    std::vector<bool> shown;
    for (const ZN_ShapeBase* s : read.getShapeList())
        shown.push_back(s->getShow());
    return shown;
}

std::vector<bool> shownNow(const ZN_ShapeManager& page) {
    std::vector<bool> shown;
    for (const ZN_ShapeBase* s : page.getShapeList())
        shown.push_back(s->getShow());
    return shown;
}

} // namespace

// Root R, fold point P below it with A and B, A with fold point Q over D.
TEST(FoldReload, WhatTheClicksFoldedStaysFoldedAfterReading) {
    ZN_ShapeManager page;
    ZN_ShapeBase* root = addBox(page, nullptr);
    ZN_NPoint* p = addFold(page, root);
    ZN_ShapeBase* a = addBox(page, p);
    addBox(page, p);
    ZN_NPoint* q = addFold(page, a);
    addBox(page, q);

    // Inner first, then outer: everything below P is hidden, P and Q are 2.
    page.shapeShrink(q);
    page.shapeShrink(p);
    EXPECT_EQ(shownAfterReload(page), shownNow(page));

    // Opening P again leaves Q folded.
    page.shapeSpread(p);
    p->setStateType(1);
    EXPECT_EQ(shownAfterReload(page), shownNow(page));

    // A page with nothing folded shows everything.
    page.shapeSpread(q);
    q->setStateType(1);
    const std::vector<bool> all = shownAfterReload(page);
    EXPECT_EQ(std::count(all.begin(), all.end(), false), 0);
}

TEST(FoldReload, TheOrderOfTheListDoesNotMatter) {
    // The inner fold point comes first in the list this time.
    ZN_ShapeManager page;
    auto* inner = new ZN_NPoint();
    inner->setStateType(2);
    page.addShape(inner);
    ZN_ShapeBase* root = addBox(page, nullptr);
    ZN_NPoint* outer = addFold(page, root);
    outer->setStateType(2);
    ZN_ShapeBase* mid = addBox(page, outer);
    page.addShape(makeLine(mid, inner));
    ZN_ShapeBase* leaf = addBox(page, inner);

    page.collapseFoldedPoints();
    EXPECT_TRUE(root->getShow());
    EXPECT_TRUE(outer->getShow());
    EXPECT_FALSE(mid->getShow());
    EXPECT_FALSE(inner->getShow());
    EXPECT_FALSE(leaf->getShow());
    EXPECT_EQ(shownAfterReload(page), shownNow(page));
}
