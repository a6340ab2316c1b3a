#include "CoreTestSupport.h"

#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZFile.h>

#include <cstring>
#include <iterator>
#include <vector>

using namespace coretest;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes pageBytes(ZN_ShapeManager& page, int version = 8) {
    auto out = ZFile::toMemory();
    EXPECT_TRUE(page.writeFile(out.get(), version));
    return out->bytes();
}

Bytes ints(std::initializer_list<std::int32_t> values) {
    Bytes out;
    for (std::int32_t v : values)
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
    return out;
}

bool endsWith(const Bytes& all, const Bytes& tail) {
    return all.size() >= tail.size() && std::equal(tail.begin(), tail.end(), all.end() - tail.size());
}

ZN_ShapeBase* at(ZN_ShapeManager& page, std::size_t k) {
    return *std::next(page.getShapeList().begin(), static_cast<std::ptrdiff_t>(k));
}

// L, A, B in list order: a connector from box A to box B laid beneath them.
struct LinePage {
    ZN_ShapeManager page;
    ZN_NRect* a = makeBox(0, 0, 100, 50);
    ZN_NRect* b = makeBox(300, 0, 400, 50);
    ZN_NLine* l = makeLine(a, b);
    LinePage() {
        page.addShape(a);
        page.addShape(b);
        page.addShapeFront(l);
    }
};

} // namespace

TEST(PageRecord, EmptyPageIsFourZeroBytes) {
    ZN_ShapeManager page;
    EXPECT_EQ(pageBytes(page), ints({0}));
    ZN_ShapeManager read;
    EXPECT_TRUE(read.readFile(ZFile::fromMemory(ints({0})).get(), 8));
    EXPECT_TRUE(read.getShapeList().empty());
}

TEST(PageRecord, RelationRecordsAreByteExactAndRenumberTheShapes) {
    LinePage t;
    t.a->setId(40);
    const Bytes bytes = pageBytes(t.page);
    EXPECT_EQ(t.l->getId(), 1);
    EXPECT_EQ(t.a->getId(), 2);
    EXPECT_EQ(t.b->getId(), 3);
    const Bytes relations = [] {
        Bytes r = ints({1, 2, 1, 3, 0});
        const Bytes ra = ints({0, 1, 1, 0});
        const Bytes rb = ints({1, 1, 0, 0});
        r.insert(r.end(), ra.begin(), ra.end());
        r.insert(r.end(), rb.begin(), rb.end());
        return r;
    }();
    EXPECT_TRUE(endsWith(bytes, relations));
    // Shape records: count, then the type codes in list order.
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 8), ints({3, 1}));

    ZN_ShapeManager read;
    ASSERT_TRUE(read.readFile(ZFile::fromMemory(bytes).get(), 8));
    ASSERT_EQ(read.getShapeList().size(), 3u);
    ZN_ShapeBase* rl = at(read, 0);
    ZN_ShapeBase* ra = at(read, 1);
    ZN_ShapeBase* rb = at(read, 2);
    EXPECT_EQ(rl->type(), 1);
    EXPECT_EQ(rl->getInputList(), (std::vector<ZN_ShapeBase*>{ra}));
    EXPECT_EQ(rl->getOutputList(), (std::vector<ZN_ShapeBase*>{rb}));
    EXPECT_EQ(ra->getOutputList(), (std::vector<ZN_ShapeBase*>{rl}));
    EXPECT_EQ(rb->getInputList(), (std::vector<ZN_ShapeBase*>{rl}));
    EXPECT_EQ(rb->getPoint2(), t.b->getPoint2());
}

TEST(PageRecord, VersionSixRelationRecordsHaveNoAnswerHosts) {
    LinePage t;
    // Box records at version 6 stop before the gradient (16 bytes each).
    {
        auto out = ZFile::toMemory();
        out->writeInt32(1);
        out->writeInt32(7);
        t.a->writeFile(out.get(), 8);
        Bytes one = out->bytes();
        one.resize(one.size() - 16);
        const Bytes rel = ints({0, 0});
        one.insert(one.end(), rel.begin(), rel.end());
        auto in = ZFile::fromMemory(one);
        ZN_ShapeManager read;
        ASSERT_TRUE(read.readFile(in.get(), 6));
        EXPECT_EQ(in->remaining(), 0u);
        ASSERT_EQ(read.getShapeList().size(), 1u);
        EXPECT_EQ(read.getShapeList().front()->getPoint2(), t.a->getPoint2());
    }

    // The connector's own relation record read alone at version 6 takes
    // exactly four integers.
    ZN_NRect a, b;
    a.setId(2);
    b.setId(3);
    std::list<ZN_ShapeBase*> shapes{&a, &b};
    ZN_NLine line;
    auto in = ZFile::fromMemory(ints({1, 2, 1, 3, 99}));
    line.loadRelatingList(in.get(), shapes, 6);
    EXPECT_EQ(in->remaining(), 4u);
    EXPECT_EQ(line.getInputList(), (std::vector<ZN_ShapeBase*>{&a}));
    EXPECT_EQ(line.getOutputList(), (std::vector<ZN_ShapeBase*>{&b}));
    // Unlink by hand: the stack objects are destroyed in any order.
    line.deleteInput(&a);
    line.deleteOutput(&b);
}

TEST(PageRecord, UnknownIdsAreSkipped) {
    ZN_NRect a;
    a.setId(1);
    std::list<ZN_ShapeBase*> shapes{&a};
    ZN_Node node;
    node.loadRelatingList(ZFile::fromMemory(ints({2, 7, 0, 0, 0})).get(), shapes, 8);
    EXPECT_TRUE(node.getInputList().empty());
}

TEST(PageRecord, LabelBlockCarriesTheLabelRecordAndItsHost) {
    ZN_ShapeManager page;
    ZN_NRect* box = makeBox(0, 0, 200, 100);
    ZN_SText* label = makeLabel(box, 20, 20, 80, 40);
    label->setText("Hello 你好");
    page.addShape(box);
    const Bytes bytes = pageBytes(page);
    // count, type 7, has-label 1, then the label's own has-label 0.
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 16), ints({1, 7, 1, 0}));

    ZN_ShapeManager read;
    ASSERT_TRUE(read.readFile(ZFile::fromMemory(bytes).get(), 8));
    ZN_ShapeBase* box2 = read.getShapeList().front();
    ASSERT_NE(box2->getLabel(), nullptr);
    EXPECT_EQ(box2->getLabel()->getHost(), box2);
    EXPECT_STREQ(box2->getLabel()->getText(), "Hello 你好");
    EXPECT_EQ(box2->getPoint2(), box->getPoint2());
}

TEST(PageRecord, MixedPageRoundTripsWithShapesRelationsAndVisibility) {
    ZN_ShapeManager page;
    ZN_NRect* root = makeBox(0, 0, 100, 50);
    makeLabel(root, 10, 10, 90, 40)->setText("根 root");
    auto* ellipse = static_cast<ZN_NRect*>(ZN_ShapeBase::createShape(8));
    ellipse->setPoint1(ZVector2(200, 0));
    ellipse->setPoint2(ZVector2(300, 60));
    auto* free = new ZN_SText();
    free->setRect(ZVector2(10, 200), ZVector2(120, 240));
    free->setText("自由文字 free text");
    auto* point = new ZN_NPoint();
    point->setCoord(ZVector2(150, 25));
    point->setStateType(2);
    ZN_NLine* l1 = makeLine(root, point);
    ZN_NLine* l2 = makeLine(point, ellipse);
    for (ZN_ShapeBase* s : std::initializer_list<ZN_ShapeBase*>{root, ellipse, free, point})
        page.addShape(s);
    page.addShapeFront(l2);
    page.addShapeFront(l1);
    page.shapeShrink(point);

    const Bytes bytes = pageBytes(page);
    ZN_ShapeManager read;
    ASSERT_TRUE(read.readFile(ZFile::fromMemory(bytes).get(), 8));
    ASSERT_EQ(read.getShapeList().size(), 6u);
    // What the collapsed point hides is hidden again after reading.
    int k = 1;
    auto shown = page.getShapeList().begin();
    for (ZN_ShapeBase* s : read.getShapeList()) {
        EXPECT_EQ(s->getShow(), (*shown++)->getShow());
        EXPECT_EQ(s->getId(), k++);
    }
    EXPECT_FALSE(ellipse->getShow());
    auto it = page.getShapeList().begin();
    for (ZN_ShapeBase* s : read.getShapeList()) {
        ZN_ShapeBase* original = *it++;
        EXPECT_EQ(s->type(), original->type());
        EXPECT_EQ(s->getPoint1(), original->getPoint1());
        EXPECT_EQ(s->getPoint2(), original->getPoint2());
        ASSERT_EQ(s->getInputList().size(), original->getInputList().size());
        ASSERT_EQ(s->getOutputList().size(), original->getOutputList().size());
        for (std::size_t i = 0; i < s->getOutputList().size(); ++i)
            EXPECT_EQ(s->getOutputList()[i]->getId(), original->getOutputList()[i]->getId());
    }
    EXPECT_STREQ(static_cast<ZN_SText*>(at(read, 4))->getText(), "自由文字 free text");
    EXPECT_EQ(static_cast<ZN_NPoint*>(at(read, 5))->getStateType(), 2);
    // Writing what was read gives the same bytes.
    EXPECT_EQ(pageBytes(read), bytes);
}

TEST(PageRecord, TruncatedRecordsAreRefusedWithoutKeepingAnything) {
    LinePage t;
    makeLabel(t.a, 0, 0, 10, 10)->setText("label");
    const Bytes bytes = pageBytes(t.page);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        ZN_ShapeManager read;
        auto in = ZFile::fromMemory(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n)));
        EXPECT_FALSE(read.readFile(in.get(), 8)) << n;
        EXPECT_TRUE(in->failed()) << n;
        EXPECT_TRUE(read.getShapeList().empty()) << n;
    }
}

TEST(PageRecord, UnknownTypeCodesAndAbsurdCountsAreRefused) {
    for (std::int32_t code : {0, 11, 14, -3}) {
        ZN_ShapeManager read;
        Bytes bytes = ints({2, 3, 0, code, 0, 0, 0, 0, 0, 0, 0, 0, 0});
        EXPECT_FALSE(read.readFile(ZFile::fromMemory(bytes).get(), 8)) << code;
        EXPECT_TRUE(read.getShapeList().empty());
    }
    ZN_ShapeManager read;
    EXPECT_FALSE(read.readFile(ZFile::fromMemory(ints({0x7fffffff, 3, 0})).get(), 8));
    EXPECT_FALSE(read.readFile(ZFile::fromMemory(ints({-1})).get(), 8));
    // A relation count larger than the rest of the file.
    EXPECT_FALSE(read.readFile(ZFile::fromMemory(ints({1, 3, 0, 0x10000000, 1})).get(), 8));
    // A label inside a label.
    EXPECT_FALSE(read.readFile(ZFile::fromMemory(ints({1, 3, 1, 1, 1, 1, 0, 0, 0})).get(), 8));
    EXPECT_TRUE(read.getShapeList().empty());
}

TEST(PageRecord, LinksRecordedOnOneSideOnlyAreRefused) {
    // Two bare nodes: the second lists the first as an output, the first does
    // not list the second as an input. Refusing must not leave the second
    // pointing at the first once that is destroyed.
    const Bytes bytes = ints({2, 3, 0, 3, 0, /*1:*/ 0, 0, 0, /*2:*/ 0, 1, 1, 0});
    ZN_ShapeManager read;
    EXPECT_FALSE(read.readFile(ZFile::fromMemory(bytes).get(), 8));
    EXPECT_TRUE(read.getShapeList().empty());
    // With both sides it loads.
    const Bytes both = ints({2, 3, 0, 3, 0, 0, 1, 2, 0, 1, 1, 0, 0});
    EXPECT_TRUE(read.readFile(ZFile::fromMemory(both).get(), 8));
    EXPECT_EQ(read.getShapeList().size(), 2u);
}

TEST(PageRecord, LinksMustBeRecordedAsOftenOnBothSides) {
    // Node 1 lists node 2 twice as an input; node 2 lists node 1 once, then
    // twice, as an output.
    const Bytes once = ints({2, 3, 0, 3, 0, /*1:*/ 2, 2, 2, 0, 0, /*2:*/ 0, 1, 1, 0});
    ZN_ShapeManager read;
    EXPECT_FALSE(read.readFile(ZFile::fromMemory(once).get(), 8));
    EXPECT_TRUE(read.getShapeList().empty());
    const Bytes twice = ints({2, 3, 0, 3, 0, 2, 2, 2, 0, 0, 0, 2, 1, 1, 0});
    EXPECT_TRUE(read.readFile(ZFile::fromMemory(twice).get(), 8));
    EXPECT_EQ(read.getShapeList().front()->inputs().size(), 2u);
}

TEST(PageRecord, ANodeWithManyLinksIsCheckedAsCarefully) {
    // A hub with 70 children, so that its lists are long. `drop` leaves out
    // the hub's side of one link.
    auto hubPage = [](bool drop) {
        const int children = 70;
        std::vector<std::int32_t> v{children + 1};
        for (int i = 0; i <= children; ++i)
            v.insert(v.end(), {3, 0});
        v.push_back(0); // the hub has no inputs
        v.push_back(drop ? children - 1 : children);
        for (int i = 0; i < (drop ? children - 1 : children); ++i)
            v.push_back(i + 2);
        v.push_back(0);
        for (int i = 0; i < children; ++i)
            v.insert(v.end(), {1, 1, 0, 0});
        Bytes out;
        for (std::int32_t x : v)
            for (int b = 0; b < 4; ++b)
                out.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(x) >> (8 * b)));
        return out;
    };
    ZN_ShapeManager read;
    EXPECT_FALSE(read.readFile(ZFile::fromMemory(hubPage(true)).get(), 8));
    EXPECT_TRUE(read.getShapeList().empty());
    EXPECT_TRUE(read.readFile(ZFile::fromMemory(hubPage(false)).get(), 8));
    EXPECT_EQ(read.getShapeList().front()->outputs().size(), 70u);
}

TEST(PageRecord, OldFilesGetBothSidesOfTheirAnswerBindings) {
    ZN_ShapeManager page;
    auto* table = new ZN_NJiuGongGe();
    table->setPoint1(ZVector2(0, 0));
    table->setPoint2(ZVector2(300, 150));
    table->setSizeValue(3, 3);
    auto* text = new ZN_SText();
    text->setRect(ZVector2(0, 0), ZVector2(60, 20));
    page.addShape(table);
    page.addShape(text);
    table->addAnswerList(text);
    text->addAnswerHostList(table);
    ASSERT_EQ(table->setJiuGongPtr(4, text), 1);
    const Bytes bytes = pageBytes(page);

    ZN_ShapeManager read;
    ASSERT_TRUE(read.readFile(ZFile::fromMemory(bytes).get(), 8));
    auto* table2 = dynamic_cast<ZN_NJiuGongGe*>(at(read, 0));
    ZN_ShapeBase* text2 = at(read, 1);
    ASSERT_NE(table2, nullptr);
    EXPECT_EQ(text2->getJiuGongHost(), table2);
    ASSERT_EQ(text2->answerHosts().size(), 1u);
    EXPECT_EQ(text2->answerHosts().front(), table2);

    // The same page as an older version wrote it: no answer-host fields.
    ZN_ShapeManager old;
    {
        auto out = ZFile::toMemory();
        out->writeInt32(2);
        out->writeInt32(12);
        // Older records lack the box's gradient and the text's alignment.
        auto tableRecord = ZFile::toMemory();
        table->writeFile(tableRecord.get(), 8);
        Bytes tableBytes = tableRecord->bytes();
        tableBytes.erase(tableBytes.begin() + 4 + 52, tableBytes.begin() + 4 + 68);
        out->write(tableBytes.data(), tableBytes.size());
        out->writeInt32(5);
        auto textRecord = ZFile::toMemory();
        text->writeFile(textRecord.get(), 8);
        Bytes textBytes = textRecord->bytes();
        textBytes.resize(textBytes.size() - 4);
        out->write(textBytes.data(), textBytes.size());
        Bytes rel = ints({0, 0, /*cells*/ 9, 0, 0, 0, 0, 2, 0, 0, 0, 0, /*answers*/ 1, 2, 0, 0});
        out->write(rel.data(), rel.size());
        auto in = ZFile::fromMemory(out->bytes());
        ASSERT_TRUE(old.readFile(in.get(), 6));
        EXPECT_EQ(in->remaining(), 0u);
    }
    auto* oldTable = dynamic_cast<ZN_NJiuGongGe*>(at(old, 0));
    ZN_ShapeBase* oldText = at(old, 1);
    ASSERT_NE(oldTable, nullptr);
    ASSERT_EQ(oldText->answerHosts().size(), 1u);
    // Destroying the answer first must leave the table without it.
    old.deleteShape(oldText);
    EXPECT_TRUE(oldTable->getAnswerList().empty());
}
