// The label editor against what happens around it while a label is typed:
// pages that go or change, scrolling, undo and redo from the menu, and the
// box's own size over the label it covers.

#include <functional>

#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include "ViewToolsFixture.h"

namespace {

ZN_SText* labelledBox(ZN_ShapeManager& page, ZN_NRect*& box, const char* text) {
    box = addRect(page, 100, 100, 300, 200);
    auto* label = static_cast<ZN_SText*>(ZN_ShapeBase::createShape(5));
    label->setRect(ZVector2(180, 140), ZVector2(220, 160));
    label->setText(text);
    label->setHost(box);
    box->setLabel(label);
    return label;
}

// Runs `step` on the modal dialog the next command opens, then closes it.
void onNextDialog(std::function<void(QDialog&)> step) {
    QTimer::singleShot(0, [step] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        step(*dialog);
        dialog->accept();
    });
}

QPushButton* buttonNamed(QDialog& dialog, const QString& text) {
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

} // namespace

class LabelEditing : public ViewKeyboard {
protected:
    // Scrolls as the bars do, by screen pixels.
    void scrollBy(int dx, int dy) {
        QScrollBar* h = view->scrollBarCtrl(Qt::Horizontal);
        QScrollBar* v = view->scrollBarCtrl(Qt::Vertical);
        view->updateScrollRanges();
        h->setValue(h->value() + dx);
        v->setValue(v->value() + dy);
    }
    void clickTab(int index) {
        CFolderTabCtrl* tabs = child->folderFrame()->tabCtrl();
        const QPoint at(tabs->buttonsWidth() + tabs->item(index).bounds.center().x(), 5);
        QTest::mouseClick(tabs, Qt::LeftButton, {}, at);
    }
};

TEST_F(LabelEditing, APageDeletedWhileItsLabelIsTypedTakesTheEditWithIt) {
    addNumberedPage(*doc());
    child->folderFrame()->showPage(0);
    ZN_NRect* box = nullptr;
    labelledBox(*page, box, "old");
    view->addToSelection(box);
    view->setFocus();
    typeKey(Qt::Key_F2);
    ASSERT_TRUE(view->isEditing());
    QTest::keyClicks(view->editBox(), "hello");

    // Paste from the menu with nothing copied ends the edit first: the
    // text is on its label and the step holds the page before it.
    QApplication::clipboard()->clear();
    frame->action(cmd::Paste)->trigger();
    EXPECT_FALSE(view->isEditing());
    EXPECT_STREQ(box->getLabel()->getText(), "hello");
    EXPECT_TRUE(box->getLabel()->getShow());

    // Typing again, then the page goes from the document options.
    view->addToSelection(box);
    view->setFocus();
    typeKey(Qt::Key_F2);
    ASSERT_TRUE(view->isEditing());
    QTest::keyClicks(view->editBox(), "again");
    onNextDialog([](QDialog& dialog) {
        QPushButton* remove = buttonNamed(dialog, "删除页");
        ASSERT_NE(remove, nullptr);
        remove->click();
    });
    frame->action(cmd::DocOption)->trigger();
    ASSERT_EQ(doc()->shapeData().pageCount(), 1);
    EXPECT_FALSE(view->isEditing());
    EXPECT_EQ(view->getEditLabel(), nullptr);
    // The next press on the canvas touches only the page now shown.
    ZN_ShapeManager* left = view->getCurrentPage();
    mouseClick(QPoint(600, 500));
    EXPECT_EQ(left->getShapeList().size(), 0u);
    EXPECT_EQ(left->getUndoRedo()->undoCount(), 0);

    // The same without the paste: the dialog itself finishes the edit on a
    // page that is still there before it deletes any.
    addNumberedPage(*doc());
    child->folderFrame()->showPage(0);
    page = view->getCurrentPage();
    labelledBox(*page, box, "x");
    view->addToSelection(box);
    view->setFocus();
    typeKey(Qt::Key_F2);
    ASSERT_TRUE(view->isEditing());
    onNextDialog([](QDialog& dialog) { buttonNamed(dialog, "删除页")->click(); });
    frame->action(cmd::DocOption)->trigger();
    EXPECT_FALSE(view->isEditing());
    mouseClick(QPoint(600, 500));
    EXPECT_EQ(doc()->shapeData().pageCount(), 1);
}

TEST_F(LabelEditing, AnEditIsRecordedOnItsOwnPage) {
    addNumberedPage(*doc());
    child->folderFrame()->showPage(0);
    ZN_ShapeManager* first = doc()->shapeData().managers[0];
    ZN_ShapeManager* second = doc()->shapeData().managers[1];
    ASSERT_EQ(view->getCurrentPage(), first);
    ZN_NRect* box = nullptr;
    labelledBox(*first, box, "abc");
    QTest::mouseMove(view, QPoint(200, 150));
    QTest::mouseDClick(view, Qt::LeftButton, {}, QPoint(200, 150));
    ASSERT_TRUE(view->isEditing());
    QTest::keyClicks(view->editBox(), "hello");

    clickTab(1);
    ASSERT_EQ(view->getCurrentPage(), second);
    EXPECT_FALSE(view->isEditing());
    mouseClick(QPoint(600, 500));
    EXPECT_STREQ(box->getLabel()->getText(), "hello");
    EXPECT_TRUE(box->getLabel()->getShow());
    EXPECT_EQ(first->getUndoRedo()->undoCount(), 1);
    EXPECT_EQ(second->getUndoRedo()->undoCount(), 0);
    // Undo on the first page takes the typing back.
    clickTab(0);
    frame->action(cmd::Undo)->trigger();
    ZN_ShapeBase* back = first->getShapeList().front();
    ASSERT_NE(back->getLabel(), nullptr);
    EXPECT_STREQ(back->getLabel()->getText(), "abc");
}

TEST_F(LabelEditing, AFreeTextStaysWhereItWasPressedWhateverTheViewDoesMeanwhile) {
    frame->action(cmd::ToolText)->trigger();
    mouseClick(QPoint(300, 200));
    ASSERT_TRUE(view->isEditing());
    const ZVector2 pressed = view->canvasFromScreen(QPointF(300, 200));
    QTest::keyClicks(view->editBox(), "abc");

    // Scrolled and zoomed while typing: the box goes with its canvas point.
    scrollBy(120, 80);
    view->setZoom(2.0f);
    const QPointF shown = view->editBox()->geometry().topLeft();
    const ZVector2 under = view->canvasFromScreen(shown);
    EXPECT_NEAR(under.X(), pressed.X(), 1.0f);
    EXPECT_NEAR(under.Y(), pressed.Y(), 1.0f);

    mouseClick(QPoint(20, 20));
    auto* text = dynamic_cast<ZN_SText*>(page->getShapeList().back());
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text->getText(), "abc");
    expectAt(text->getPoint1(), pressed.X(), pressed.Y());
}

TEST_F(LabelEditing, UndoAndRedoFromTheMenuWhileTypingKeepTheLabelShown) {
    ZN_NRect* box = nullptr;
    labelledBox(*page, box, "abc");
    view->addToSelection(box);
    view->setFocus();
    typeKey(Qt::Key_F2);
    ASSERT_TRUE(view->isEditing());

    // Nothing typed: undo ends the edit and leaves no step of its own.
    const int before = page->getUndoRedo()->undoCount();
    frame->action(cmd::Undo)->trigger();
    frame->action(cmd::Redo)->trigger();
    EXPECT_FALSE(view->isEditing());
    ZN_SText* label = page->getShapeList().front()->getLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_STREQ(label->getText(), "abc");
    EXPECT_TRUE(label->getShow());
    EXPECT_LE(page->getUndoRedo()->undoCount(), before);

    // Typed: undo takes the typing back, redo brings it again, shown both ways.
    view->clearSelection();
    view->addToSelection(page->getShapeList().front());
    view->setFocus();
    typeKey(Qt::Key_F2);
    ASSERT_TRUE(view->isEditing());
    QTest::keyClicks(view->editBox(), "xyz");
    frame->action(cmd::Undo)->trigger();
    label = page->getShapeList().front()->getLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_STREQ(label->getText(), "abc");
    EXPECT_TRUE(label->getShow());
    frame->action(cmd::Redo)->trigger();
    label = page->getShapeList().front()->getLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_STREQ(label->getText(), "xyz");
    EXPECT_TRUE(label->getShow());
    frame->action(cmd::Undo)->trigger();
    for (const ZN_ShapeBase* s : page->getShapeList()) {
        if (s->getLabel()) {
            EXPECT_TRUE(s->getLabel()->getShow());
        }
    }
}

TEST_F(LabelEditing, TheBoxHoldsAWholeBoldLabelAndOpensOverANodeWithoutOne) {
    ZN_NRect* box = nullptr;
    ZN_SText* label = labelledBox(*page, box, "项目计划 Bold");
    LOGFONTA font = label->getFont();
    font.lfHeight = -24;
    font.lfWeight = 700;
    label->setFont(font);
    // Each line of the box's text lies inside what the box shows, at the
    // zooms the page is read at.
    for (float zoom : {1.0f, 2.0f}) {
        view->setZoom(zoom);
        view->scrollTo(QPoint(0, 0));
        const QPoint on = view->screenFromClient(ZVector2(200, 150)).toPoint();
        QTest::mouseMove(view, on);
        QTest::mouseDClick(view, Qt::LeftButton, {}, on);
        ASSERT_TRUE(view->isEditing()) << zoom;
        QPlainTextEdit* edit = view->editBox();
        EXPECT_TRUE(edit->font().bold());
        QTextCursor end = edit->textCursor();
        end.movePosition(QTextCursor::End);
        const QRect last = edit->cursorRect(end);
        EXPECT_LE(last.bottom(), edit->viewport()->height()) << zoom;
        EXPECT_LE(last.right(), edit->viewport()->width()) << zoom;
        EXPECT_GE(edit->cursorRect(QTextCursor(edit->document())).top(), 0) << zoom;
        typeKey(Qt::Key_Escape);
        EXPECT_FALSE(view->isEditing());
        EXPECT_TRUE(label->getShow());
    }

    // A box made without a label (its new label holds a blank): F2 opens
    // the box over the middle of the node, and typing lands there.
    view->setZoom(1.0f);
    view->scrollTo(QPoint(0, 0));
    auto* bare = static_cast<ZN_NRect*>(ZN_ShapeBase::createShape(7));
    bare->setPoint1(ZVector2(500, 300));
    bare->setPoint2(ZVector2(700, 400));
    page->addShape(bare);
    view->clearSelection();
    view->addToSelection(bare);
    view->setFocus();
    typeKey(Qt::Key_F2);
    ASSERT_TRUE(view->isEditing());
    const QRect shown = view->editBox()->geometry();
    EXPECT_TRUE(QRect(500, 300, 200, 100).contains(shown.topLeft())) << shown.x() << "," << shown.y();
    QTest::keyClicks(view->editBox(), "abc");
    typeKey(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_NE(bare->getLabel(), nullptr);
    EXPECT_STREQ(bare->getLabel()->getText(), "abc");
    const ZVector2 lc = (bare->getLabel()->getPoint1() + bare->getLabel()->getPoint2()) * 0.5f;
    EXPECT_NEAR(lc.X(), 600, 2);
    EXPECT_NEAR(lc.Y(), 350, 2);
}
