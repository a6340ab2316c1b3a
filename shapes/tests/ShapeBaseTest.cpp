#include "CoreTestSupport.h"

#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_NPoint.h>

#include <cstring>
#include <list>
#include <memory>

using namespace coretest;

namespace {

// A label that counts its destructions, to see that hosts free their labels.
struct CountedText : ZN_SText {
    static int destroyed;
    ~CountedText() override { ++destroyed; }
};
int CountedText::destroyed = 0;

} // namespace

TEST(ShapeFactory, MakesEveryCodeButTheCaptureFrameAndUnknownCodes) {
    for (int code : {0, -1, 11, 14, 1000})
        EXPECT_EQ(ZN_ShapeBase::createShape(code), nullptr) << code;
    for (int code = 1; code <= 13; ++code) {
        if (code == 11)
            continue;
        std::unique_ptr<ZN_ShapeBase> shape(ZN_ShapeBase::createShape(code));
        ASSERT_NE(shape, nullptr) << code;
        EXPECT_EQ(shape->type(), code);
        EXPECT_TRUE(shape->getShow());
        EXPECT_FALSE(shape->getSelected());
        EXPECT_EQ(shape->getLabel(), nullptr);
    }
}

TEST(ShapeFactory, VariantsStartWithTheRectangleDefaults) {
    std::unique_ptr<ZN_ShapeBase> ellipse(ZN_ShapeBase::createShape(8));
    ZN_NRect plain;
    auto* box = dynamic_cast<ZN_NRect*>(ellipse.get());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->getPoint1(), plain.getPoint1());
    EXPECT_EQ(box->getPoint2(), plain.getPoint2());
    EXPECT_EQ(box->getColor(), ZVector3(0, 0, 0));
    EXPECT_EQ(box->getFillColor(), ZVector3(1, 1, 1));
    EXPECT_EQ(box->getGradualColor(), ZVector3(1, 0, 0));
    EXPECT_EQ(box->getLineWide(), 2);
    EXPECT_TRUE(box->isRegion());
}

TEST(ShapeBase, BaseSlotsAnswerTheirDefaults) {
    ZN_Node node;
    EXPECT_FALSE(node.isRegion());
    EXPECT_EQ(node.getColor(), ZVector3(1, 1, 1));
    EXPECT_EQ(node.getFontColor(), ZVector3(1, 1, 1));
    EXPECT_EQ(node.getLineWide(), 0);
    EXPECT_EQ(node.InPoint(ZVector2(0, 0), nullptr, 10.0f), 0);
    EXPECT_FALSE(node.IntersectRect(ZVector2(-100, -100), ZVector2(100, 100)));
    EXPECT_EQ(node.clone(), nullptr);
    const LOGFONTA font = node.getFont();
    const LOGFONTA zero{};
    EXPECT_EQ(std::memcmp(&font, &zero, sizeof font), 0);
    // Font calls pass to the label when there is one.
    ZN_SText* label = makeLabel(&node, 0, 0, 10, 10);
    node.setFontColor(ZVector3(0, 0, 1));
    EXPECT_EQ(label->getFontColor(), ZVector3(0, 0, 1));
    EXPECT_EQ(node.getFontColor(), ZVector3(0, 0, 1));
}

TEST(ShapeBase, RelationPrimitivesTouchOneSideAndRemoveFirstOccurrence) {
    ZN_Node a, b, c;
    a.pushToOutput(&b);
    a.pushToOutput(&c);
    a.pushToOutput(&b);
    EXPECT_TRUE(b.getInputList().empty());
    a.deleteOutput(&b);
    EXPECT_EQ(a.getOutputList(), (std::vector<ZN_ShapeBase*>{&c, &b}));
    a.deleteOutput(&a); // absent: nothing
    EXPECT_EQ(a.getOutputList().size(), 2u);
    // The list returned is a copy.
    std::vector<ZN_ShapeBase*> copy = a.getOutputList();
    copy.clear();
    EXPECT_EQ(a.getOutputList().size(), 2u);
    // Unlink by hand so the destructors see a consistent graph.
    a.deleteOutput(&c);
    a.deleteOutput(&b);
}

TEST(ShapeBase, DestroyingAnEndNodeUnlinksItFromTheConnectorOnly) {
    auto* a = makeBox(0, 0, 10, 10);
    auto* b = makeBox(50, 0, 60, 10);
    ZN_NLine* line = makeLine(a, b);
    delete b;
    EXPECT_TRUE(line->getOutputList().empty());
    EXPECT_EQ(line->getInputList(), (std::vector<ZN_ShapeBase*>{a}));
    delete line;
    EXPECT_TRUE(a->getOutputList().empty());
    delete a;
}

TEST(ShapeBase, DestroyingAHostDestroysItsLabel) {
    CountedText::destroyed = 0;
    auto* box = makeBox(0, 0, 10, 10);
    auto* text = new CountedText();
    text->setHost(box);
    box->setLabel(text);
    delete box;
    EXPECT_EQ(CountedText::destroyed, 1);

    // deleteLabel frees the label and forgets it.
    ZN_NRect other;
    auto* second = new CountedText();
    second->setHost(&other);
    other.setLabel(second);
    other.deleteLabel();
    EXPECT_EQ(other.getLabel(), nullptr);
    EXPECT_EQ(CountedText::destroyed, 2);
}

TEST(ShapeBase, DestroyingAShapeReleasesItsCellAndItsAnswerBindings) {
    ZN_NJiuGongGe first, second;
    first.setSizeValue(3, 3);
    auto* text = new ZN_SText();
    for (ZN_NJiuGongGe* table : {&first, &second}) {
        table->addAnswerList(text);
        text->addAnswerHostList(table);
    }
    ASSERT_EQ(first.setJiuGongPtr(0, text), 1);
    ASSERT_EQ(text->getJiuGongHost(), &first);
    delete text;
    EXPECT_EQ(first.getCells().front().shape, nullptr);
    EXPECT_TRUE(first.getAnswerList().empty());
    EXPECT_TRUE(second.getAnswerList().empty());
}

TEST(ShapeBase, CloneCopiesShowIdAndLabelButNoStateOrRelations) {
    auto* source = makeBox(0, 0, 40, 20);
    ZN_NRect neighbour;
    source->pushToOutput(&neighbour);
    neighbour.pushToInput(source);
    source->setSelected(true);
    source->setSnake(3);
    source->setShow(false);
    source->setId(7);
    ZN_SText* label = makeLabel(source, 5, 5, 15, 15);

    std::unique_ptr<ZN_ShapeBase> copy(source->clone());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->type(), 7);
    EXPECT_FALSE(copy->getSelected());
    EXPECT_EQ(copy->getSnake(), 0);
    EXPECT_FALSE(copy->getShow());
    EXPECT_EQ(copy->getId(), 7);
    EXPECT_TRUE(copy->getInputList().empty());
    EXPECT_TRUE(copy->getOutputList().empty());
    ASSERT_NE(copy->getLabel(), nullptr);
    EXPECT_NE(copy->getLabel(), label);
    EXPECT_EQ(copy->getLabel()->getHost(), copy.get());
    EXPECT_EQ(copy->getLabel()->getPoint2(), label->getPoint2());
    delete source;
    EXPECT_TRUE(neighbour.getInputList().empty());
}

TEST(ShapeBase, SetRelatingRebuildsLinksAmongCopiesAndSkipsMissingIds) {
    auto* a = makeBox(0, 0, 10, 10);
    auto* b = makeBox(50, 0, 60, 10);
    auto* outsider = makeBox(90, 0, 99, 10);
    ZN_NLine* line = makeLine(a, b);
    ZN_NLine* dangling = makeLine(b, outsider);
    std::list<ZN_ShapeBase*> sources{line, a, b, dangling};
    int id = 1;
    for (ZN_ShapeBase* s : sources)
        s->setId(id++);
    outsider->setId(99);

    std::list<ZN_ShapeBase*> copies;
    for (ZN_ShapeBase* s : sources)
        copies.push_back(s->clone());
    const ZN_ShapeIndex index(copies);
    for (ZN_ShapeBase* s : sources)
        EXPECT_NE(s->setRelating(index), nullptr);

    auto it = copies.begin();
    ZN_ShapeBase* cl = *it++;
    ZN_ShapeBase* ca = *it++;
    ZN_ShapeBase* cb = *it++;
    ZN_ShapeBase* cd = *it++;
    EXPECT_EQ(ca->getOutputList(), (std::vector<ZN_ShapeBase*>{cl}));
    EXPECT_EQ(cl->getInputList(), (std::vector<ZN_ShapeBase*>{ca}));
    EXPECT_EQ(cl->getOutputList(), (std::vector<ZN_ShapeBase*>{cb}));
    EXPECT_EQ(cb->getInputList(), (std::vector<ZN_ShapeBase*>{cl}));
    EXPECT_EQ(cb->getOutputList(), (std::vector<ZN_ShapeBase*>{cd}));
    EXPECT_TRUE(cd->getOutputList().empty()); // the outsider had no copy

    // A shape whose id has no copy links nothing.
    EXPECT_EQ(outsider->setRelatingList(copies), nullptr);

    for (ZN_ShapeBase* s : copies)
        delete s;
    for (ZN_ShapeBase* s : sources)
        delete s;
    delete outsider;
}

TEST(ShapeBase, FindShapeAndTheIndexReturnTheFrontmostOfEqualIds) {
    ZN_Node a, b, c, far;
    a.setId(2);
    b.setId(2);
    c.setId(1);
    far.setId(500);
    std::list<ZN_ShapeBase*> shapes{&c, &a, &b, &far};
    EXPECT_EQ(a.findShape(2, shapes), &a);
    EXPECT_EQ(a.findShape(3, shapes), nullptr);
    const ZN_ShapeIndex index(shapes);
    EXPECT_EQ(index.find(2), &a);
    EXPECT_EQ(index.find(1), &c);
    EXPECT_EQ(index.find(500), &far);
    EXPECT_EQ(index.find(3), nullptr);
    EXPECT_EQ(index.find(-4), nullptr);
}

TEST(ShapeBase, ClearAnswerHostListLeavesEveryTableWithoutTheShape) {
    ZN_NJiuGongGe table;
    ZN_NPoint point;
    table.addAnswerList(&point);
    point.addAnswerHostList(&table);
    point.clearAnswerHostList();
    EXPECT_TRUE(table.getAnswerList().empty());
    EXPECT_TRUE(point.answerHosts().empty());
}
