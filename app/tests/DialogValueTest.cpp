// The value dialogs: what they show first, what they refuse and how a refusal
// keeps them open.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <sarvik/platform/ZMessage.h>

#include "TestSupport.h"
#include "dialogs/CValueDialogs.h"
#include "dialogs/CommandPrompts.h"

namespace {

// Types `text` into `edit` and reports whether the dialog took it.
bool take(CValueDlg& dialog, QLineEdit* edit, const char* text) {
    edit->setText(QString::fromUtf8(text));
    return dialog.saveControls();
}

} // namespace

TEST(DialogValue, TitlesAndFirstValues) {
    testApp();
    CDlgLineWide wide;
    CDlgPointSize point;
    CDlgLineArrow arrow;
    CDlgLineGradual gradual;
    CDlgLineOffsetH offset;
    EXPECT_EQ(wide.windowTitle(), "线宽");
    EXPECT_EQ(point.windowTitle(), "点大小");
    EXPECT_EQ(arrow.windowTitle(), "线箭头");
    EXPECT_EQ(gradual.windowTitle(), "线条渐变属性");
    EXPECT_EQ(offset.windowTitle(), "线条水平偏移");

    arrow.arrowType = 0;
    arrow.loadControls();
    EXPECT_EQ(arrow.sizeEdit->text(), "30");
    EXPECT_TRUE(arrow.noArrow->isChecked());
    EXPECT_EQ(arrow.withArrow->text(), "有箭头");
    EXPECT_NE(arrow.findChild<QPushButton*>("ok"), nullptr);
    EXPECT_EQ(arrow.findChild<QPushButton*>("ok")->text(), "OK");
    EXPECT_EQ(arrow.findChild<QPushButton*>("cancel")->text(), "Cancel");
    EXPECT_EQ(wide.findChild<QPushButton*>("ok")->text(), "确定");

    gradual.loadControls();
    EXPECT_TRUE(gradual.wideCheck->isChecked());
    EXPECT_TRUE(gradual.colorCheck->isChecked());
    EXPECT_EQ(gradual.valueEdit->text(), "8");
    EXPECT_FLOAT_EQ(gradual.color.Y(), 1.0f);
    offset.loadControls();
    EXPECT_TRUE(offset.offsetCheck->isChecked());
    EXPECT_EQ(offset.offsetEdit->text(), "50");
}

TEST(DialogValue, EachFieldTakesWholeNumbersInItsRangeOnly) {
    testApp();
    CDlgLineWide wide;
    wide.loadControls();
    EXPECT_FALSE(take(wide, wide.widthEdit, "11"));
    EXPECT_EQ(ZLastMessageText(), "请输入 1 和 10 之间的整数。");
    EXPECT_FALSE(take(wide, wide.widthEdit, "0"));
    EXPECT_FALSE(take(wide, wide.widthEdit, "2.5"));
    EXPECT_EQ(ZLastMessageText(), "请输入一个整数。");
    EXPECT_FALSE(take(wide, wide.widthEdit, ""));
    EXPECT_EQ(wide.width, 2) << "a refusal changes no value";
    EXPECT_TRUE(take(wide, wide.widthEdit, " 10 "));
    EXPECT_EQ(wide.width, 10);

    CDlgPointSize point;
    point.loadControls();
    EXPECT_TRUE(take(point, point.sizeEdit, "0"));
    EXPECT_FALSE(take(point, point.sizeEdit, "21"));
    EXPECT_TRUE(take(point, point.sizeEdit, "20"));
    EXPECT_EQ(point.size, 20);

    CDlgLineArrow arrow;
    arrow.loadControls();
    EXPECT_FALSE(take(arrow, arrow.sizeEdit, "101"));
    EXPECT_TRUE(take(arrow, arrow.sizeEdit, "1"));

    CDlgLineGradual gradual;
    gradual.loadControls();
    EXPECT_FALSE(take(gradual, gradual.valueEdit, "9"));
    gradual.wideCheck->setChecked(false);
    EXPECT_TRUE(take(gradual, gradual.valueEdit, "1"));
    EXPECT_EQ(gradual.gradualWide, 0);
    EXPECT_EQ(gradual.changeValue, 1);

    CDlgLineOffsetH offset;
    offset.loadControls();
    EXPECT_TRUE(take(offset, offset.offsetEdit, "-200"));
    EXPECT_FALSE(take(offset, offset.offsetEdit, "201"));
    EXPECT_FALSE(take(offset, offset.offsetEdit, "-201"));
    EXPECT_EQ(offset.offset, -200);
}

TEST(DialogValue, RefusedOkKeepsTheDialogOpenAndCancelKeepsTheValues) {
    testApp();
    CDlgPointSize dialog;
    dialog.show();
    dialog.sizeEdit->setText("99");
    dialog.findChild<QPushButton*>("ok")->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.sizeEdit->hasFocus() || !dialog.isActiveWindow());
    EXPECT_EQ(dialog.size, 0);
    dialog.findChild<QPushButton*>("cancel")->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.size, 0);

    CDlgLineWide wide;
    wide.show();
    wide.widthEdit->setText("4");
    wide.findChild<QPushButton*>("ok")->click();
    EXPECT_EQ(wide.result(), QDialog::Accepted);
    EXPECT_EQ(wide.width, 4);
}

TEST(DialogValue, GradientColourButtonAsksFromTheStartColourAndKeepsCancel) {
    testApp();
    QColor offered;
    QColor answer;
    commandPrompts().color = [&](QWidget*, QColor& c) {
        offered = c;
        if (!answer.isValid())
            return false;
        c = answer;
        return true;
    };
    CDlgLineGradual dialog;
    dialog.chooseColor();
    EXPECT_EQ(offered, QColor(255, 255, 100));
    EXPECT_FLOAT_EQ(dialog.color.X(), 0.0f);
    EXPECT_FLOAT_EQ(dialog.color.Y(), 1.0f);
    answer = QColor(255, 0, 0);
    dialog.colorButton->click();
    EXPECT_FLOAT_EQ(dialog.color.X(), 1.0f);
    EXPECT_FLOAT_EQ(dialog.color.Y(), 0.0f);
    resetCommandPrompts();
}
