// Fill-in tables: texts dropped on their cells and the table size dialog.

#include "ViewToolsFixture.h"

TEST_F(ViewTools, TextDroppedOnAFillInTableRefusedOrPlaced) {
    auto* table = static_cast<ZN_NJiuGongGe*>(ZN_ShapeBase::createShape(12));
    table->setPoint1(ZVector2(100, 100));
    table->setPoint2(ZVector2(400, 400));
    table->setSizeValue(3, 3);
    page->addShape(table);
    ZN_SText* answer = addText(*page, 500, 100, "A");
    ZN_SText* stranger = addText(*page, 500, 300, "B");
    table->addAnswerList(answer);
    answer->addAnswerHostList(table);

    drag(520, 315, 150, 150);
    EXPECT_EQ(messages, QStringList{"不正确"});
    expectAt(stranger->getPoint1(), 500, 300);
    EXPECT_EQ(table->getCells()[0].shape, nullptr);

    drag(520, 115, 250, 250);
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(table->getCells()[4].shape, answer);
    EXPECT_EQ(answer->getJiuGongHost(), table);
    // Centred in its cell.
    const ZVector2 c = (answer->getPoint1() + answer->getPoint2()) * 0.5f;
    EXPECT_NEAR(c.X(), 250, 1);
    EXPECT_NEAR(c.Y(), 250, 1);

    // Dragged out again, it leaves the table.
    drag(250, 250, 600, 600);
    EXPECT_EQ(table->getCells()[4].shape, nullptr);
    EXPECT_EQ(answer->getJiuGongHost(), nullptr);

    // A double click on the table asks for its size.
    commandPrompts().runDialog = [](QDialog& dialog) {
        auto* sizes = dynamic_cast<CDlgJiuGongGe*>(&dialog);
        EXPECT_NE(sizes, nullptr);
        if (!sizes)
            return false;
        EXPECT_EQ(sizes->rows, 3);
        EXPECT_EQ(sizes->columns, 3);
        sizes->rows = 4;
        sizes->columns = 5;
        return true;
    };
    move(110, 390);
    view->onLButtonDblClk(kNone, QPoint(110, 390));
    EXPECT_EQ(table->getCol(), 4);
    EXPECT_EQ(table->getRow(), 5);
}

TEST(TableSizeDialog, StartsAtThreeByThreeAndTakesOnlyCountsUpToAThousand) {
    testApp();
    CDlgJiuGongGe dialog;
    EXPECT_EQ(dialog.windowTitle(), "表格属性");
    EXPECT_EQ(dialog.rowsEdit()->text(), "3");
    EXPECT_EQ(dialog.columnsEdit()->text(), "3");
    const char* refused[] = {"0", "1001", "-2", "x", ""};
    for (const char* text : refused) {
        dialog.rowsEdit()->setText(text);
        EXPECT_FALSE(dialog.readFields()) << text;
        EXPECT_EQ(dialog.rows, 3);
    }
    dialog.rowsEdit()->setText("1000");
    dialog.columnsEdit()->setText(" 7 ");
    EXPECT_TRUE(dialog.readFields());
    EXPECT_EQ(dialog.rows, 1000);
    EXPECT_EQ(dialog.columns, 7);
}
