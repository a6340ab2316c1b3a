#pragma once
// Fixtures for the tests that drive the program's windows: a shown main
// window, and a main window with one new document open.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>

#include <rulmek/rulmek.h>
#include <sarvik/ZN_ShapeManager.h>

#include "TestSupport.h"
#include "document/CTavloDoc.h"
#include "frames/CChildFrame.h"
#include "frames/CMainFrame.h"
#include "view/CTavloView.h"

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        frame = new CMainFrame;
        frame->resize(1000, 700);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    }
    // Documents are marked unmodified first, so closing asks nothing.
    void TearDown() override {
        for (CChildFrame* c : frame->children())
            c->document()->SetModifiedFlag(false);
        delete frame;
    }

    CMainFrame* frame = nullptr;
};

class DocumentFixture : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        if (HasFatalFailure())
            return;
        child = frame->newDocument();
        QCoreApplication::processEvents();
        view = child->view();
        page = view->getCurrentPage();
        ASSERT_NE(page, nullptr);
        setScallPosition(ZVector2(0, 0));
    }

    CChildFrame* child = nullptr;
    CTavloView* view = nullptr;
    ZN_ShapeManager* page = nullptr;
};
