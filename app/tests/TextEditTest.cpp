// The text tool and in-place editing of labels, with the keyboard after them.

#include "ViewToolsFixture.h"

TEST_F(ViewTools, LabelTypedIntoABoxThenErased) {
    ZN_NRect* box = addRect(*page, 100, 100, 300, 200);
    move(200, 150);
    view->onLButtonDblClk(kNone, QPoint(200, 150));
    ASSERT_TRUE(view->isEditing());
    ASSERT_NE(box->getLabel(), nullptr);
    EXPECT_EQ(view->getEditLabel(), box->getLabel());
    EXPECT_FALSE(box->getLabel()->getShow());

    const int before = view->editBox()->width();
    QTest::keyClicks(view->editBox(), "hello world");
    EXPECT_GT(view->editBox()->width(), before);

    click(600, 500);
    EXPECT_FALSE(view->isEditing());
    ASSERT_NE(box->getLabel(), nullptr);
    EXPECT_STREQ(box->getLabel()->getText(), "hello world");
    EXPECT_TRUE(box->getLabel()->getShow());
    EXPECT_EQ(snapshots(), 1);
    // The box centres its label.
    const ZVector2 lc = (box->getLabel()->getPoint1() + box->getLabel()->getPoint2()) * 0.5f;
    const ZVector2 bc = (box->getPoint1() + box->getPoint2()) * 0.5f;
    EXPECT_NEAR(lc.X(), bc.X(), 1.0f);
    EXPECT_NEAR(lc.Y(), bc.Y(), 1.0f);

    move(200, 150);
    view->onLButtonDblClk(kNone, QPoint(200, 150));
    EXPECT_EQ(view->editBox()->textCursor().selectedText(), "hello world");
    view->editBox()->clear();
    click(600, 500);
    EXPECT_EQ(box->getLabel(), nullptr);
    EXPECT_EQ(page->getShapeList().size(), 1u);

    // The text tool types a new free text, committed by the next press.
    view->setTool(viewtool::Text);
    down(500, 400);
    up(500, 400);
    EXPECT_EQ(view->getTool(), viewtool::Select);
    QTest::keyClicks(view->editBox(), "abc");
    click(50, 600);
    auto* text = dynamic_cast<ZN_SText*>(page->getShapeList().back());
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text->getText(), "abc");
    expectAt(text->getPoint1(), 500, 400);

    // An empty new text creates nothing.
    view->setTool(viewtool::Text);
    click(500, 300);
    click(50, 600);
    EXPECT_EQ(page->getShapeList().size(), 2u);
}

TEST_F(ViewKeyboard, ArrowsAndUndoReachThePageAfterALabelIsTyped) {
    addRect(*page, 100, 100, 300, 200);
    ZN_NRect* b = addRect(*page, 500, 100, 600, 200);
    QTest::mouseMove(view, QPoint(200, 150));
    QTest::mouseDClick(view, Qt::LeftButton, {}, QPoint(200, 150));
    ASSERT_TRUE(view->isEditing());
    EXPECT_EQ(QApplication::focusWidget(), view->editBox());
    QTest::keyClicks(QApplication::focusWidget(), "Lbl");
    mouseClick(QPoint(550, 150));
    EXPECT_EQ(QApplication::focusWidget(), view);
    expectKeysMoveAndUndo(b);
    // The typing went back with the step (a label made for it may stay, blank).
    const ZN_SText* undone = page->getShapeList().front()->getLabel();
    if (undone) {
        EXPECT_STRNE(undone->getText(), "Lbl");
    }
}

TEST_F(ViewKeyboard, ArrowsAndUndoReachThePageAfterAFreeTextOrADroppedEdit) {
    ZN_NRect* b = addRect(*page, 500, 100, 600, 200);
    frame->action(cmd::ToolText)->trigger();
    mouseClick(QPoint(100, 400));
    ASSERT_TRUE(view->isEditing());
    QTest::keyClicks(QApplication::focusWidget(), "abc");
    mouseClick(QPoint(550, 150));
    EXPECT_EQ(QApplication::focusWidget(), view);
    auto* text = dynamic_cast<ZN_SText*>(page->getShapeList().back());
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text->getText(), "abc");
    expectKeysMoveAndUndo(b);

    // An edit dropped by a command hands the keyboard back too.
    frame->action(cmd::ToolText)->trigger();
    mouseClick(QPoint(100, 500));
    ASSERT_TRUE(view->isEditing());
    frame->action(cmd::Clear)->trigger();
    EXPECT_FALSE(view->isEditing());
    EXPECT_EQ(QApplication::focusWidget(), view);
}

TEST_F(ViewTools, UndoingALabelEditShowsTheOldLabel) {
    addRect(*page, 100, 100, 300, 200);
    move(200, 150);
    view->onLButtonDblClk(kNone, QPoint(200, 150));
    QTest::keyClicks(view->editBox(), "Lbl");
    click(600, 500);
    move(200, 150);
    view->onLButtonDblClk(kNone, QPoint(200, 150));
    QTest::keyClicks(view->editBox(), "New");
    click(600, 500);
    frame->action(cmd::Undo)->trigger();

    ZN_SText* label = page->getShapeList().front()->getLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_STREQ(label->getText(), "Lbl");
    EXPECT_TRUE(label->getShow());
    // And it is drawn: ink inside the label's corners.
    const QImage shown = view->grabFramebuffer();
    const qreal ratio = shown.devicePixelRatio();
    int ink = 0;
    for (int y = static_cast<int>(label->getPoint1().Y()); y < label->getPoint2().Y(); ++y)
        for (int x = static_cast<int>(label->getPoint1().X()); x < label->getPoint2().X(); ++x)
            if (qGray(shown.pixel(static_cast<int>(x * ratio), static_cast<int>(y * ratio))) < 128)
                ++ink;
    EXPECT_GT(ink, 0);
}

TEST_F(ViewTools, TheEditBoxShowsAChineseFaceByItsName) {
    ZN_SText* text = addText(*page, 100, 100, "字");
    LOGFONTA font = text->getFont();
    std::memset(font.lfFaceName, 0, sizeof font.lfFaceName);
    std::memcpy(font.lfFaceName, "\xCB\xCE\xCC\xE5", 4); // the face name as the file holds it
    text->setFont(font);
    move(110, 110);
    view->onLButtonDblClk(kNone, QPoint(110, 110));
    ASSERT_TRUE(view->isEditing());
    EXPECT_EQ(view->editBox()->font().family(), QString::fromUtf8("宋体"));
}
