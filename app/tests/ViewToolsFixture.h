#pragma once
// The editing view driven through its handlers, as the mouse and the keyboard
// would, for the tests of each tool.

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>

#include <rulmek/rulmek.h>
#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_BackRgn.h>
#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZCursor.h>

#include "TestSupport.h"
#include "WindowFixture.h"
#include "commands/CommandIds.h"
#include "dialogs/CDlgJiuGongGe.h"
#include "dialogs/CommandPrompts.h"
#include "document/CTavloDoc.h"
#include "document/PageOperations.h"
#include "folder/CFolderFrame.h"
#include "folder/CFolderTabCtrl.h"
#include "frames/CChildFrame.h"
#include "frames/CMainFrame.h"
#include "view/CTavloView.h"
#include "view/ClickSelect.h"

inline constexpr Qt::KeyboardModifiers kNone{};

inline ZN_NLine* joinShapes(ZN_ShapeBase* parent, ZN_ShapeBase* child, ZN_ShapeManager& page) {
    auto* line = static_cast<ZN_NLine*>(ZN_ShapeBase::createShape(1));
    line->pushPointBack((parent->getPoint1() + parent->getPoint2()) * 0.5f);
    line->pushPointBack((child->getPoint1() + child->getPoint2()) * 0.5f);
    line->pushToInput(parent);
    parent->pushToOutput(line);
    line->pushToOutput(child);
    child->pushToInput(line);
    page.addShapeFront(line);
    return line;
}

inline ZN_SText* addText(ZN_ShapeManager& page, float x, float y, const char* text) {
    auto* label = static_cast<ZN_SText*>(ZN_ShapeBase::createShape(5));
    label->setRect(ZVector2(x, y), ZVector2(x + 40, y + 30));
    label->setText(text);
    page.addShape(label);
    return label;
}

inline void expectAt(const ZVector2& v, float x, float y) {
    EXPECT_FLOAT_EQ(v.X(), x);
    EXPECT_FLOAT_EQ(v.Y(), y);
}

inline bool onOutline(const ZN_ShapeBase* box, const ZVector2& p) {
    const ZVector2 a = box->getPoint1();
    const ZVector2 b = box->getPoint2();
    const bool inX = p.X() >= a.X() - 1 && p.X() <= b.X() + 1;
    const bool inY = p.Y() >= a.Y() - 1 && p.Y() <= b.Y() + 1;
    const bool onSide = std::abs(p.X() - a.X()) < 1 || std::abs(p.X() - b.X()) < 1;
    const bool onTop = std::abs(p.Y() - a.Y()) < 1 || std::abs(p.Y() - b.Y()) < 1;
    return inX && inY && (onSide || onTop);
}

class ViewTools : public DocumentFixture {
protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        if (HasFatalFailure())
            return;
        commandPrompts().information = [this](QWidget*, const QString& text) { messages << text; };
        doc()->SetModifiedFlag(false);
        // These tests click as the select tool did before 单击只选中一个.
        clickselect::setSelectsOne(false);
    }

    void TearDown() override {
        resetCommandPrompts();
        DocumentFixture::TearDown();
    }

    CTavloDoc* doc() const { return child->document(); }
    int snapshots() const { return page->getUndoRedo()->undoCount(); }

    void move(int x, int y) { view->onMouseMove(kNone, QPoint(x, y)); }
    void down(int x, int y) { view->onLButtonDown(kNone, QPoint(x, y)); }
    void up(int x, int y) { view->onLButtonUp(kNone, QPoint(x, y)); }
    // Hover, press, then release where pressed.
    void click(int x, int y) {
        move(x, y);
        down(x, y);
        up(x, y);
    }
    // Hover, press, move in steps of about 10 pixels, release.
    void drag(int x1, int y1, int x2, int y2) {
        move(x1, y1);
        down(x1, y1);
        const int steps = std::max(1, std::max(std::abs(x2 - x1), std::abs(y2 - y1)) / 10);
        for (int i = 1; i <= steps; ++i)
            move(x1 + (x2 - x1) * i / steps, y1 + (y2 - y1) * i / steps);
        up(x2, y2);
    }

    // A point of the given state at (100, 100) joined to a box below it.
    std::pair<ZN_NPoint*, ZN_NRect*> pointWithChild(int state) {
        auto* point = static_cast<ZN_NPoint*>(ZN_ShapeBase::createShape(2));
        point->setCoord(ZVector2(100, 100));
        point->setStateType(state);
        page->addShape(point);
        ZN_NRect* kid = addRect(*page, 200, 200, 300, 260);
        joinShapes(point, kid, *page);
        return std::make_pair(point, kid);
    }

    QStringList messages;
};

// The keys go wherever the keyboard focus is, as they would from the user.
inline void typeKey(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, key, modifiers);
}

class ViewKeyboard : public ViewTools {
protected:
    void SetUp() override {
        ViewTools::SetUp();
        if (HasFatalFailure())
            return;
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
        view->setFocus();
    }
    void mouseClick(QPoint p) {
        QTest::mouseMove(view, p);
        QTest::mouseClick(view, Qt::LeftButton, {}, p);
    }
    // After a commit the arrows move the box just clicked, and Ctrl+Z
    // reaches the page: it takes back the last step, the text just put on it
    // (the click changed nothing and is none), and the box returns with it.
    void expectKeysMoveAndUndo(ZN_ShapeBase* box) {
        ASSERT_TRUE(box->getSelected());
        EXPECT_FALSE(view->isEditing());
        const ZVector2 start = box->getPoint1();
        const auto& shapes = page->getShapeList();
        const auto at = std::distance(shapes.begin(), std::find(shapes.begin(), shapes.end(), box));
        const int steps = page->getUndoRedo()->undoCount();
        typeKey(Qt::Key_Right);
        EXPECT_FLOAT_EQ(box->getPoint1().X(), start.X() + 1);
        // The undo step brings back new copies of the shapes.
        typeKey(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(page->getUndoRedo()->undoCount(), steps - 1);
        ASSERT_GT(static_cast<long>(shapes.size()), at);
        EXPECT_FLOAT_EQ((*std::next(shapes.begin(), at))->getPoint1().X(), start.X());
    }
};
