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
#include "WindowFixture.h"
#include "commands/EditCommands.h"
#include "dialogs/CommandPrompts.h"
#include "document/CTavloDoc.h"
#include "frames/CChildFrame.h"
#include "frames/CMainFrame.h"
#include "view/CTavloView.h"

class CommandFixture : public DocumentFixture {
protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        if (HasFatalFailure())
            return;
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
        DocumentFixture::TearDown();
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

    QColor nextColor;
    QColor startColor;
    int colorAsked = 0;
    QString nextPicture;
    std::function<bool(QDialog&)> dialogAnswer;
};
