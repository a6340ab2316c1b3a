// Fill-in table: cell codes, placing and releasing shapes, layout, answer
// lists on both sides, copies and the table's records.

#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_NRectVariants.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZFile.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

std::unique_ptr<ZN_NJiuGongGe> makeTable(int rows, int columns, float x0, float y0, float x1,
                                         float y1) {
    auto table = std::make_unique<ZN_NJiuGongGe>();
    table->setSizeValue(rows, columns);
    table->setPoint1(ZVector2(x0, y0));
    table->setPoint2(ZVector2(x1, y1));
    return table;
}

std::unique_ptr<ZN_SText> makeText(float x0, float y0, float w, float h) {
    auto text = std::make_unique<ZN_SText>();
    text->setRect(ZVector2(x0, y0), ZVector2(x0 + w, y0 + h));
    return text;
}

void bindAnswer(ZN_NJiuGongGe& table, ZN_ShapeBase& shape) {
    table.addAnswerList(&shape);
    shape.addAnswerHostList(&table);
}

void appendInt(std::vector<std::uint8_t>& bytes, std::int32_t v) {
    std::uint8_t raw[4];
    std::memcpy(raw, &v, 4);
    bytes.insert(bytes.end(), raw, raw + 4);
}

class TableModel : public ::testing::Test {
protected:
    void SetUp() override { setScallPosition(ZVector2(0.0f, 0.0f)); }
    void TearDown() override { setScallPosition(ZVector2(0.0f, 0.0f)); }
    ZObj2DInPoint record;
};

} // namespace

TEST_F(TableModel, ClicksInsideYieldCellCodesAndGridLinesTheBoxCode) {
    auto table = makeTable(3, 3, 40, 20, 340, 170);
    setScallPosition(ZVector2(40, 20));
    // 300 x 150 in three rows and three columns: cells of 100 x 50.
    EXPECT_EQ(table->InPoint(ZVector2(150, 75), &record, 10.0f), 14);
    EXPECT_EQ(table->InPoint(ZVector2(1, 1), &record, 10.0f), 10);
    EXPECT_EQ(table->InPoint(ZVector2(299, 149), &record, 10.0f), 18);
    EXPECT_EQ(table->InPoint(ZVector2(100, 75), &record, 10.0f), 9);
    EXPECT_EQ(table->InPoint(ZVector2(150, 50), &record, 10.0f), 9);
    EXPECT_EQ(table->InPoint(ZVector2(-20, 75), &record, 10.0f), 0);

    table->setSelected(true);
    EXPECT_EQ(table->InPoint(ZVector2(100, 75), &record, 10.0f), 9);
    // Inside, a cell wins over a nearby handle; outside the outline the handle is found.
    EXPECT_EQ(table->InPoint(ZVector2(3, 3), &record, 10.0f), 10);
    EXPECT_EQ(table->InPoint(ZVector2(-3, -3), &record, 10.0f), 1);

    // Rows and columns are counted apart: two rows of four columns.
    auto wide = makeTable(2, 4, 0, 0, 400, 100);
    setScallPosition(ZVector2(0, 0));
    EXPECT_EQ(wide->getCol(), 2);
    EXPECT_EQ(wide->getRow(), 4);
    EXPECT_EQ(wide->getCells().size(), 8u);
    EXPECT_EQ(wide->InPoint(ZVector2(350, 75), &record, 10.0f), 17);
}

TEST_F(TableModel, PlacingCentresTheShapeAndRefusalsLeaveItAlone) {
    auto table = makeTable(3, 3, 0, 0, 300, 150);
    auto answer = makeText(500, 500, 60, 20);
    auto stranger = makeText(600, 600, 60, 20);
    auto second = makeText(700, 700, 60, 20);
    bindAnswer(*table, *answer);
    bindAnswer(*table, *second);

    EXPECT_EQ(table->setJiuGongPtr(0, stranger.get()), 0);
    EXPECT_EQ(stranger->getPoint1(), ZVector2(600, 600));
    EXPECT_EQ(stranger->getJiuGongHost(), nullptr);

    ASSERT_EQ(table->setJiuGongPtr(0, answer.get()), 1);
    EXPECT_EQ(answer->getPoint1(), ZVector2(20, 15));
    EXPECT_EQ(answer->getPoint2(), ZVector2(80, 35));
    EXPECT_EQ(answer->getJiuGongHost(), table.get());
    EXPECT_EQ(table->getCells()[0].shape, answer.get());

    EXPECT_EQ(table->setJiuGongPtr(0, second.get()), 0); // occupied
    EXPECT_EQ(table->setJiuGongPtr(9, second.get()), 0); // beyond the last cell
    EXPECT_EQ(table->setJiuGongPtr(-1, second.get()), 0);
    EXPECT_EQ(second->getPoint1(), ZVector2(700, 700));
    EXPECT_EQ(second->getJiuGongHost(), nullptr);

    // Resizing the table lays the placed shapes out again.
    table->change(ZVector2(30, 0), 6);
    EXPECT_EQ(answer->getPoint1(), ZVector2(25, 15));

    table->releaseJiuGong(answer.get());
    EXPECT_EQ(table->getCells()[0].shape, nullptr);
    EXPECT_EQ(answer->getJiuGongHost(), nullptr);
    EXPECT_EQ(table->setJiuGongPtr(0, second.get()), 1);
}

TEST_F(TableModel, LayoutCentresTextsAndBoxKindsButNotOtherShapes) {
    auto table = makeTable(1, 3, 0, 0, 300, 100);
    auto rhombus = std::make_unique<ZN_NRhombus>();
    rhombus->setPoint1(ZVector2(0, 0));
    rhombus->setPoint2(ZVector2(40, 40));
    auto paral = std::make_unique<ZN_NParal>();
    paral->setPoint1(ZVector2(0, 0));
    paral->setPoint2(ZVector2(40, 40));
    bindAnswer(*table, *rhombus);
    bindAnswer(*table, *paral);
    ASSERT_EQ(table->setJiuGongPtr(1, rhombus.get()), 1);
    ASSERT_EQ(table->setJiuGongPtr(2, paral.get()), 1);
    EXPECT_EQ(rhombus->getPoint1(), ZVector2(130, 30));
    EXPECT_EQ(rhombus->getPoint2(), ZVector2(170, 70));
    EXPECT_EQ(paral->getPoint1(), ZVector2(0, 0)); // bound, but left where it is
    EXPECT_EQ(paral->getJiuGongHost(), table.get());
}

TEST_F(TableModel, ShrinkingKeepsEveryCellButLaysOutOnlyTheNewGrid) {
    auto table = makeTable(3, 3, 0, 0, 300, 150);
    auto inCell2 = makeText(0, 0, 60, 20);
    auto inCell5 = makeText(0, 0, 60, 20);
    bindAnswer(*table, *inCell2);
    bindAnswer(*table, *inCell5);
    ASSERT_EQ(table->setJiuGongPtr(2, inCell2.get()), 1);
    ASSERT_EQ(table->setJiuGongPtr(5, inCell5.get()), 1);
    const ZVector2 before5 = inCell5->getPoint1();

    table->setSizeValue(2, 2);
    table->change(ZVector2(0, 0), 9);
    ASSERT_EQ(table->getCells().size(), 9u);
    // Cell 2 is now row 1, column 0 of 150 x 75 cells.
    EXPECT_EQ(inCell2->getPoint1(), ZVector2(45, 102.5f));
    EXPECT_EQ(inCell5->getPoint1(), before5);
    EXPECT_EQ(inCell5->getJiuGongHost(), table.get());
    EXPECT_EQ(table->getCells()[5].shape, inCell5.get());
    EXPECT_EQ(table->InPoint(ZVector2(299, 149), &record, 10.0f), 13);
    auto late = makeText(0, 0, 10, 10);
    bindAnswer(*table, *late);
    EXPECT_EQ(table->setJiuGongPtr(6, late.get()), 0);

    // Growing again reuses the kept cells; counts no dialog gives are ignored.
    table->setSizeValue(3, 3);
    EXPECT_EQ(table->getCells().size(), 9u);
    table->setSizeValue(0, 5);
    table->setSizeValue(3, 1001);
    EXPECT_EQ(table->getCol(), 3);
    EXPECT_EQ(table->getRow(), 3);
}

TEST_F(TableModel, DestroyingEitherSideUnbindsTheOther) {
    auto table = makeTable(2, 2, 0, 0, 100, 100);
    auto other = makeTable(2, 2, 200, 0, 300, 100);
    auto text = makeText(0, 0, 10, 10);
    auto kept = makeText(0, 0, 10, 10);
    bindAnswer(*table, *text);
    bindAnswer(*other, *text);
    bindAnswer(*table, *kept);
    ASSERT_EQ(table->setJiuGongPtr(3, text.get()), 1);
    ASSERT_EQ(table->setJiuGongPtr(0, kept.get()), 1);

    text.reset();
    EXPECT_EQ(table->getCells()[3].shape, nullptr);
    EXPECT_EQ(table->getAnswerList().size(), 1u);
    EXPECT_TRUE(other->getAnswerList().empty());

    table.reset();
    EXPECT_EQ(kept->getJiuGongHost(), nullptr);
    EXPECT_TRUE(kept->answerHosts().empty());
}

TEST_F(TableModel, MovingAShapeToAnotherTableReleasesItFromTheFirst) {
    auto first = makeTable(2, 2, 0, 0, 100, 100);
    auto second = makeTable(2, 2, 200, 0, 300, 100);
    auto text = makeText(0, 0, 10, 10);
    bindAnswer(*first, *text);
    bindAnswer(*second, *text);
    ASSERT_EQ(first->setJiuGongPtr(1, text.get()), 1);
    ASSERT_EQ(second->setJiuGongPtr(2, text.get()), 1);
    EXPECT_EQ(first->getCells()[1].shape, nullptr);
    EXPECT_EQ(text->getJiuGongHost(), second.get());
    // Destroying the text must leave no table pointing at it (ASan watches).
    text.reset();
    EXPECT_EQ(second->getCells()[2].shape, nullptr);
}

TEST_F(TableModel, AnswerListsRemoveFirstOccurrencesAndClearBothSides) {
    auto table = makeTable(1, 1, 0, 0, 10, 10);
    auto a = makeText(0, 0, 1, 1);
    auto b = makeText(0, 0, 1, 1);
    table->addAnswerList(a.get());
    table->addAnswerList(b.get());
    table->addAnswerList(a.get());
    table->deleteAnswerList(a.get());
    EXPECT_EQ(table->getAnswerList(), (std::list<ZN_ShapeBase*>{b.get(), a.get()}));
    table->deleteAnswerList(a.get());
    table->deleteAnswerList(a.get());
    EXPECT_EQ(table->getAnswerList(), (std::list<ZN_ShapeBase*>{b.get()}));

    a->addAnswerHostList(table.get());
    b->addAnswerHostList(table.get());
    table->addAnswerList(a.get());
    table->clearAnswerList();
    EXPECT_TRUE(table->getAnswerList().empty());
    EXPECT_TRUE(a->answerHosts().empty());
    EXPECT_TRUE(b->answerHosts().empty());
    EXPECT_FALSE(table->isAnswer(a.get()));
}

TEST_F(TableModel, CopiesRebuildCellsAndAnswersAmongThemselves) {
    auto table = makeTable(2, 2, 0, 0, 100, 100);
    auto text = makeText(0, 0, 10, 10);
    auto answerOnly = makeText(0, 0, 10, 10);
    bindAnswer(*table, *text);
    bindAnswer(*table, *answerOnly);
    ASSERT_EQ(table->setJiuGongPtr(3, text.get()), 1);
    table->setId(1);
    text->setId(2);
    answerOnly->setId(3);

    std::unique_ptr<ZN_ShapeBase> tableCopy(table->clone());
    std::unique_ptr<ZN_ShapeBase> textCopy(text->clone());
    auto* copy = dynamic_cast<ZN_NJiuGongGe*>(tableCopy.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->getCells().empty()); // cells come with the relations
    EXPECT_EQ(copy->getCol(), 2);

    // answerOnly has no copy: it is left out of the copy's answers.
    std::list<ZN_ShapeBase*> copies{tableCopy.get(), textCopy.get()};
    const ZN_ShapeIndex index(copies);
    EXPECT_EQ(table->setRelating(index), tableCopy.get());
    text->setRelating(index);
    ASSERT_EQ(copy->getCells().size(), 4u);
    EXPECT_EQ(copy->getCells()[3].shape, textCopy.get());
    EXPECT_EQ(copy->getCells()[3].index, 3);
    EXPECT_EQ(textCopy->getJiuGongHost(), copy);
    EXPECT_EQ(copy->getAnswerList(), (std::list<ZN_ShapeBase*>{textCopy.get()}));
    EXPECT_EQ(textCopy->answerHosts(), (std::vector<ZN_NJiuGongGe*>{copy}));
    // The source is untouched.
    EXPECT_EQ(text->getJiuGongHost(), table.get());
}

TEST_F(TableModel, PageRoundTripKeepsCellsAnswersAndBothSidesOfEveryLink) {
    ZN_ShapeManager page;
    auto* table = new ZN_NJiuGongGe();
    table->setSizeValue(3, 3);
    table->setPoint1(ZVector2(0, 0));
    table->setPoint2(ZVector2(300, 150));
    auto* unsized = new ZN_NJiuGongGe();
    auto* placed = new ZN_SText();
    placed->setRect(ZVector2(0, 0), ZVector2(60, 20));
    auto* spare = new ZN_SText();
    page.addShape(placed);
    page.addShape(table);
    page.addShape(spare);
    page.addShape(unsized);
    bindAnswer(*table, *placed);
    bindAnswer(*table, *spare);
    ASSERT_EQ(table->setJiuGongPtr(4, placed), 1);

    auto out = ZFile::toMemory();
    ASSERT_TRUE(page.writeFile(out.get(), 8));

    ZN_ShapeManager loaded;
    auto in = ZFile::fromMemory(out->bytes());
    ASSERT_TRUE(loaded.readFile(in.get(), 8));
    EXPECT_EQ(in->remaining(), 0u);
    ASSERT_EQ(loaded.getShapeList().size(), 4u);
    auto it = loaded.getShapeList().begin();
    ZN_ShapeBase* placedBack = *it++;
    auto* tableBack = dynamic_cast<ZN_NJiuGongGe*>(*it++);
    ZN_ShapeBase* spareBack = *it++;
    auto* unsizedBack = dynamic_cast<ZN_NJiuGongGe*>(*it++);
    ASSERT_NE(tableBack, nullptr);
    ASSERT_NE(unsizedBack, nullptr);

    EXPECT_EQ(tableBack->getCol(), 3);
    EXPECT_EQ(tableBack->getRow(), 3);
    ASSERT_EQ(tableBack->getCells().size(), 9u);
    for (int k = 0; k < 9; ++k) {
        EXPECT_EQ(tableBack->getCells()[k].index, k);
        EXPECT_EQ(tableBack->getCells()[k].shape, k == 4 ? placedBack : nullptr);
    }
    EXPECT_EQ(placedBack->getJiuGongHost(), tableBack);
    EXPECT_EQ(tableBack->getAnswerList(), (std::list<ZN_ShapeBase*>{placedBack, spareBack}));
    EXPECT_EQ(spareBack->answerHosts(), (std::vector<ZN_NJiuGongGe*>{tableBack}));
    EXPECT_TRUE(unsizedBack->getCells().empty());
    EXPECT_EQ(unsizedBack->getCol(), 2);
    EXPECT_EQ(unsizedBack->getRow(), 3);

    // Deleting the placed text afterwards empties its cell.
    loaded.deleteShape(placedBack);
    EXPECT_EQ(tableBack->getCells()[4].shape, nullptr);
}

TEST_F(TableModel, RelationExtensionIsCountedIdsAfterTheBaseBlock) {
    auto table = makeTable(1, 2, 0, 0, 100, 50);
    auto text = makeText(0, 0, 10, 10);
    bindAnswer(*table, *text);
    ASSERT_EQ(table->setJiuGongPtr(1, text.get()), 1);
    table->setId(1);
    text->setId(7);
    auto out = ZFile::toMemory();
    table->saveRelating(out.get(), 8);
    std::vector<std::uint8_t> expected;
    for (std::int32_t v : {0, 0, 0, 2, 0, 7, 1, 7})
        appendInt(expected, v);
    EXPECT_EQ(out->bytes(), expected);

    // An empty 3 x 3 table still writes nine cells.
    auto empty = makeTable(3, 3, 0, 0, 30, 30);
    auto out2 = ZFile::toMemory();
    empty->saveRelating(out2.get(), 8);
    ASSERT_EQ(out2->bytes().size(), 4u * (3 + 1 + 9 + 1));
}

TEST_F(TableModel, DamagedRecordsAreRefusedBeforeAnythingIsAllocated) {
    std::list<ZN_ShapeBase*> none;
    const ZN_ShapeIndex index(none);
    auto relations = [](std::initializer_list<std::int32_t> values) {
        std::vector<std::uint8_t> bytes;
        for (std::int32_t v : values)
            appendInt(bytes, v);
        return bytes;
    };

    // Absurd or negative cell counts, and a count the rest cannot hold.
    for (const auto& bytes : {relations({0, 0, 0, 0x7fffffff, 0, 0}),
                              relations({0, 0, 0, -1, 0}),
                              relations({0, 0, 0, 3, 0, 0}),
                              relations({0, 0, 0, 1, 0, 0x40000000}),
                              relations({0, 0, 0, 1, 0})}) {
        ZN_NJiuGongGe table;
        auto in = ZFile::fromMemory(bytes);
        table.loadRelating(in.get(), index, 8);
        EXPECT_TRUE(in->failed());
        EXPECT_LE(table.getCells().size(), 1u);
        EXPECT_TRUE(table.getAnswerList().empty());
    }

    // Row and column counts outside what the table dialog allows.
    ZN_NJiuGongGe good;
    good.setSizeValue(2, 2);
    auto out = ZFile::toMemory();
    good.writeFile(out.get(), 8);
    std::vector<std::uint8_t> record = out->bytes();
    for (std::int32_t bad : {0, -3, 1001, 0x7fffffff}) {
        std::vector<std::uint8_t> damaged = record;
        std::memcpy(damaged.data() + damaged.size() - 4, &bad, 4);
        ZN_NJiuGongGe table;
        auto in = ZFile::fromMemory(damaged);
        table.readFile(in.get(), 8);
        EXPECT_TRUE(in->failed()) << bad;
        EXPECT_EQ(table.getRow(), 3);
    }
    // Cut short inside the counts.
    record.resize(record.size() - 2);
    ZN_NJiuGongGe cut;
    auto in = ZFile::fromMemory(record);
    cut.readFile(in.get(), 8);
    EXPECT_TRUE(in->failed());
}
