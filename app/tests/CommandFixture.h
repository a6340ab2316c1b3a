#pragma once
// A main window with one document for the command tests, with the modal
// prompts answered by the test instead of a person.

#include <gtest/gtest.h>

#include <QColor>
#include <QCoreApplication>
#include <QDialog>
#include <QTest>

#include <rulmek/rulmek.h>
#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_ShapeManager.h>

#include "TestSupport.h"
#include "commands/CommandPrompts.h"
#include "commands/EditCommands.h"
#include "frames/CChildFrame.h"
#include "frames/CMainFrame.h"
#include "frames/CTavloDoc.h"
#include "view/CTavloView.h"

class CommandFixture : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        frame = new CMainFrame;
        frame->resize(1000, 700);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
        child = frame->newDocument();
        QCoreApplication::processEvents();
        view = child->view();
        page = view->getCurrentPage();
        ASSERT_NE(page, nullptr);
        setScallPosition(ZVector2(0, 0));
        child->document()->SetModifiedFlag(false);
        // Nothing modal may open: a prompt the test did not answer cancels.
        commandPrompts().color = [this](QWidget*, QColor& c) {
            ++colorAsked;
            startColor = c;
            if (!nextColor.isValid())
                return false;
            c = nextColor;
            return true;
        };
        commandPrompts().font = [](QWidget*, LOGFONTA&) { return false; };
        commandPrompts().picturePath = [this](QWidget*) { return nextPicture; };
        commandPrompts().runDialog = [this](QDialog& d) {
            return dialogAnswer ? dialogAnswer(d) : false;
        };
    }
    void TearDown() override {
        resetCommandPrompts();
        for (CChildFrame* c : frame->children())
            c->document()->SetModifiedFlag(false);
        delete frame;
    }

    bool modified() const { return child->document()->isModified(); }
    int snapshots() const { return page->getUndoRedo()->undoCount(); }
    void run(int id) { ASSERT_TRUE(runViewCommand(*view, id)) << id; }
    void select(std::initializer_list<ZN_ShapeBase*> shapes) {
        view->clearSelection();
        for (ZN_ShapeBase* s : shapes)
            view->addToSelection(s);
    }
    // Joins parent to child with a new connector at the front of the page.
    ZN_NLine* join(ZN_ShapeBase* parent, ZN_ShapeBase* to) {
        auto* line = static_cast<ZN_NLine*>(ZN_ShapeBase::createShape(1));
        line->pushPointBack(parent->getPoint2());
        line->pushPointBack(to->getPoint1());
        line->pushToInput(parent);
        parent->pushToOutput(line);
        line->pushToOutput(to);
        to->pushToInput(line);
        page->addShapeFront(line);
        return line;
    }

    CMainFrame* frame = nullptr;
    CChildFrame* child = nullptr;
    CTavloView* view = nullptr;
    ZN_ShapeManager* page = nullptr;
    QColor nextColor;
    QColor startColor;
    int colorAsked = 0;
    QString nextPicture;
    std::function<bool(QDialog&)> dialogAnswer;
};
