// The find bar of a document window, driven through the keys a user presses.

#include <QApplication>
#include <QCheckBox>
#include <QInputMethodEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>

#include "WindowFixture.h"
#include "commands/CommandIds.h"
#include "commands/CommandTable.h"
#include "document/LabelText.h"
#include "folder/CFolderFrame.h"
#include "frames/CFindBar.h"
#include "view/UndoStep.h"

namespace {

class FindBar : public DocumentFixture {
protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        if (HasFatalFailure())
            return;
        bar = child->findBar();
        ASSERT_NE(bar, nullptr);
        // The keys go where a user's would: into the active window.
        QApplication::setActiveWindow(frame);
        view->setFocus();
        QCoreApplication::processEvents();
    }

    ZN_NRect* box(ZN_ShapeManager& on, float x, float y, const char* text) {
        ZN_NRect* rect = addRect(on, x, y, x + 120, y + 40);
        auto* label = static_cast<ZN_SText*>(ZN_ShapeBase::createShape(5));
        label->setHost(rect);
        rect->setLabel(label);
        setLabelText(*label, rect->getPoint1(), text);
        return rect;
    }

    void join(ZN_ShapeManager& on, ZN_ShapeBase* parent, ZN_ShapeBase* kid) {
        ZN_ShapeBase* line = ZN_ShapeBase::createShape(1);
        parent->pushToOutput(line);
        line->pushToInput(parent);
        line->pushToOutput(kid);
        kid->pushToInput(line);
        on.addShape(line);
    }

    // Ctrl+F (or Ctrl+H) and a query typed into the bar.
    void findByKeys(const QString& query, bool replace = false) {
        QTest::keyClick(view, replace ? Qt::Key_H : Qt::Key_F, Qt::ControlModifier);
        QCoreApplication::processEvents();
        ASSERT_TRUE(bar->isVisible());
        ASSERT_TRUE(bar->findField()->hasFocus());
        type(bar->findField(), query);
    }

    // Typed as a user would: Latin keys one by one, Chinese committed by the
    // input method.
    static void type(QWidget* field, const QString& text) {
        bool latin = true;
        for (QChar c : text)
            latin = latin && c.unicode() < 0x80;
        if (latin) {
            QTest::keyClicks(field, text);
            return;
        }
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(field, &commit);
    }

    QString position() const { return bar->positionLabel()->text(); }

    CFindBar* bar = nullptr;
};

} // namespace

TEST_F(FindBar, TheKeysAreFreeInTheCommandTable) {
    const QList<QKeySequence> ours = {QKeySequence("Ctrl+F"), QKeySequence("Ctrl+H"),
                                      QKeySequence("F3"), QKeySequence("Shift+F3")};
    for (const CommandDef& def : commandTable()) {
        if (def.id >= cmd::Find && def.id <= cmd::FindPrevious)
            continue;
        for (const QKeySequence& key : frame->action(def.id)->shortcuts())
            EXPECT_FALSE(ours.contains(key)) << def.text;
    }
}

// In the find field Ctrl+Z takes back what was typed there, as in any text
// field; the map's own history is left alone.
TEST_F(FindBar, CtrlZInTheFieldUndoesTheFieldNotTheMap) {
    box(*page, 100, 100, "alpha");
    UndoStep(*view).change();
    const int steps = page->getUndoRedo()->undoCount();
    findByKeys("alp");
    QTest::keyClick(bar->findField(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_NE(bar->findField()->text(), "alp");
    EXPECT_EQ(page->getUndoRedo()->undoCount(), steps);
    QTest::keyClick(bar->findField(), Qt::Key_Escape);
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(page->getUndoRedo()->undoCount(), steps - 1);
}

TEST_F(FindBar, StepsThroughMatchesAndEscGivesTheKeysBack) {
    ZN_NRect* first = box(*page, 100, 100, "alpha one");
    box(*page, 100, 200, "beta");
    ZN_NRect* second = box(*page, 100, 300, "ALPHA two");
    findByKeys("alpha");
    EXPECT_EQ(position(), "0 / 2");

    QTest::keyClick(bar->findField(), Qt::Key_Return);
    EXPECT_EQ(position(), "1 / 2");
    EXPECT_EQ(view->getSelection(), std::list<ZN_ShapeBase*>{first});
    QTest::keyClick(bar->findField(), Qt::Key_Return);
    EXPECT_EQ(view->getSelection(), std::list<ZN_ShapeBase*>{second});
    QTest::keyClick(bar->findField(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(view->getSelection(), std::list<ZN_ShapeBase*>{first});
    // Case now matters: the upper-case one is no match.
    bar->caseBox()->setChecked(true);
    EXPECT_EQ(position(), "0 / 1");
    bar->caseBox()->setChecked(false);

    // Every match in sight is outlined while the bar is open.
    view->repaint();
    QTRY_COMPARE(view->outlinedCount(), 2);

    QTest::keyClick(bar->findField(), Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(view->hasFocus());
    view->repaint();
    QTRY_COMPARE(view->outlinedCount(), 0);
    // F3 goes on with the query the bar kept.
    QTest::keyClick(view, Qt::Key_F3);
    EXPECT_EQ(view->getSelection(), std::list<ZN_ShapeBase*>{second});
    QTest::keyClick(view, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(view->getSelection(), std::list<ZN_ShapeBase*>{first});
}

TEST_F(FindBar, ReachesABoxInACollapsedSubtreeAndUndoFoldsItAgain) {
    ZN_NRect* root = box(*page, 100, 100, "root");
    ZN_NRect* mid = box(*page, 300, 100, "middle");
    ZN_NRect* deep = box(*page, 500, 100, "深处的\r\n目标");
    join(*page, root, mid);
    join(*page, mid, deep);
    page->shapeShrink(root);
    ASSERT_FALSE(deep->getShow());
    view->setZoom(0.2f);
    const int undoBefore = page->getUndoRedo()->undoCount();

    findByKeys("处的目");
    QTest::keyClick(bar->findField(), Qt::Key_Return);
    EXPECT_TRUE(deep->getShow());
    EXPECT_TRUE(mid->getShow());
    EXPECT_EQ(view->getSelection(), std::list<ZN_ShapeBase*>{deep});
    EXPECT_EQ(page->getUndoRedo()->undoCount(), undoBefore + 1);
    // Read at half size at least, and in sight.
    EXPECT_FLOAT_EQ(view->getZoom(), 0.5f);
    const ZVector2 offset = view->viewOffset();
    EXPECT_GE(deep->getPoint1().X(), offset.X());
    EXPECT_LE(deep->getPoint2().X(), offset.X() + view->width() / view->getZoom());

    QTest::keyClick(bar->findField(), Qt::Key_Escape);
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    // The page is the snapshot's copies now: the deep box is folded away again.
    int hidden = 0;
    for (ZN_ShapeBase* s : page->getShapeList())
        hidden += s->getShow() ? 0 : 1;
    EXPECT_EQ(hidden, 4); // two connectors and two boxes
    EXPECT_EQ(page->getUndoRedo()->undoCount(), undoBefore);
}

// Stepping through many folded matches must not push the edits made before
// out of the history: the reveals in a row are one step, an edit ends it.
TEST_F(FindBar, RevealsInARowAreOneUndoStepThatAnEditEnds) {
    ZN_NRect* root = box(*page, 100, 100, "root");
    std::vector<ZN_NRect*> mids, leaves;
    for (int i = 0; i < ZNRedoUndo::maxSnapshots + 4; ++i) {
        ZN_NRect* mid = box(*page, 300, 100 + 60.0f * i, "branch");
        ZN_NRect* leaf = box(*page, 500, 100 + 60.0f * i, "needle");
        join(*page, root, mid);
        join(*page, mid, leaf);
        page->shapeShrink(mid);
        mids.push_back(mid);
        leaves.push_back(leaf);
    }
    // The edit that must stay undoable: the root renamed.
    UndoStep(*view).change();
    setLabelText(*root->getLabel(), root->getPoint1(), "renamed");
    ZNRedoUndo& history = *page->getUndoRedo();
    const int afterRename = history.undoCount();

    findByKeys("needle");
    for (std::size_t i = 0; i < leaves.size(); ++i)
        QTest::keyClick(bar->findField(), Qt::Key_Return);
    for (ZN_NRect* leaf : leaves)
        EXPECT_TRUE(leaf->getShow());
    EXPECT_EQ(history.undoCount(), afterRename + 1);

    // One undo folds every branch again, the next brings the old name back.
    QTest::keyClick(bar->findField(), Qt::Key_Escape);
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    // Read through the const list: the other one marks the list changed.
    const ZN_ShapeManager& shapes = *page;
    auto shownNeedles = [&] {
        int n = 0;
        for (ZN_ShapeBase* s : shapes.getShapeList())
            if (s->getLabel() && std::string(s->getLabel()->getText()) == "needle" && s->getShow())
                ++n;
        return n;
    };
    EXPECT_EQ(shownNeedles(), 0);
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    bool oldName = false;
    for (ZN_ShapeBase* s : page->getShapeList())
        oldName = oldName || (s->getLabel() && std::string(s->getLabel()->getText()) == "root");
    EXPECT_TRUE(oldName);

    // Redo both, fold two branches anew, and reveal with an edit in between:
    // two steps.
    QTest::keyClick(view, Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_Y, Qt::ControlModifier);
    ASSERT_EQ(shownNeedles(), static_cast<int>(leaves.size()));
    std::vector<ZN_ShapeBase*> folded;
    for (ZN_ShapeBase* s : page->getShapeList())
        if (s->getLabel() && std::string(s->getLabel()->getText()) == "branch" && folded.size() < 2)
            folded.push_back(s);
    UndoStep(*view).change();
    for (ZN_ShapeBase* s : folded)
        page->shapeShrink(s);
    view->forgetShapes();
    history.clearAll(); // room to count the steps
    const int beforeSteps = history.undoCount();
    ASSERT_EQ(shownNeedles(), static_cast<int>(leaves.size()) - 2);
    findByKeys("needle");
    for (std::size_t i = 0; i < leaves.size() && shownNeedles() < static_cast<int>(leaves.size()) - 1; ++i)
        QTest::keyClick(bar->findField(), Qt::Key_Return);
    EXPECT_EQ(history.undoCount(), beforeSteps + 1);
    UndoStep(*view).change(); // an edit
    for (std::size_t i = 0; i < leaves.size() && shownNeedles() < static_cast<int>(leaves.size()); ++i)
        QTest::keyClick(bar->findField(), Qt::Key_Return);
    EXPECT_EQ(shownNeedles(), static_cast<int>(leaves.size()));
    EXPECT_EQ(history.undoCount(), beforeSteps + 3);
}

TEST_F(FindBar, MatchesOnOtherPagesSwitchTheTab) {
    CTavloDoc* doc = child->document();
    doc->shapeData().addPage("页2");
    ZN_ShapeManager& second = *doc->shapeData().managers[1];
    ZN_NRect* there = box(second, 100, 100, "needle");
    box(*page, 100, 100, "hay");
    findByKeys("needle");
    EXPECT_EQ(position(), "0 / 0");
    bar->scopeBox()->setCurrentIndex(1);
    EXPECT_EQ(position(), "0 / 1");
    QTest::keyClick(bar->findField(), Qt::Key_Return);
    EXPECT_EQ(view->getCurrentPage(), &second);
    EXPECT_EQ(child->folderFrame()->currentPage(), 1);
    EXPECT_EQ(view->getSelection(), std::list<ZN_ShapeBase*>{there});
}

// The count follows edits however full the history is: once the stack
// holds its most, the counts of steps stay the same from edit to edit.
TEST_F(FindBar, TheCountFollowsEditsWithAFullHistory) {
    std::vector<ZN_NRect*> boxes;
    for (int i = 0; i < 3; ++i)
        boxes.push_back(box(*page, 100, 100 + 60.0f * i, "plain"));
    for (int i = 0; i < ZNRedoUndo::maxSnapshots + 2; ++i)
        UndoStep(*view).change();
    ASSERT_EQ(page->getUndoRedo()->undoCount(), ZNRedoUndo::maxSnapshots);
    findByKeys("mark");
    EXPECT_EQ(position(), "0 / 0");
    for (int i = 0; i < 3; ++i) {
        UndoStep(*view).change(); // as the label's edit box does
        setLabelText(*boxes[static_cast<std::size_t>(i)]->getLabel(),
                     boxes[static_cast<std::size_t>(i)]->getPoint1(), "marked");
        view->repaint();
        QTRY_COMPARE(position(), QString("0 / %1").arg(i + 1));
    }
}

TEST_F(FindBar, ReplaceAllIsOneUndoStepPerPage) {
    ZN_NRect* a = box(*page, 100, 100, "old plan");
    ZN_NRect* b = box(*page, 100, 200, "Old and OLD");
    const int undoBefore = page->getUndoRedo()->undoCount();
    findByKeys("old", true);
    ASSERT_TRUE(bar->replaceField()->isVisible());
    type(bar->replaceField(), "新");
    QTest::mouseClick(bar->replaceAllButton(), Qt::LeftButton);
    EXPECT_EQ(position(), "已替换 3 处");
    EXPECT_STREQ(a->getLabel()->getText(), "新 plan");
    EXPECT_STREQ(b->getLabel()->getText(), "新 and 新");
    EXPECT_EQ(page->getUndoRedo()->undoCount(), undoBefore + 1);
    EXPECT_TRUE(child->document()->isModified());

    QTest::keyClick(bar->replaceField(), Qt::Key_Escape);
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    std::vector<std::string> texts;
    for (ZN_ShapeBase* s : page->getShapeList())
        texts.emplace_back(s->getLabel()->getText());
    EXPECT_EQ(texts, (std::vector<std::string>{"old plan", "Old and OLD"}));
}

TEST_F(FindBar, ReplaceAllOverPagesSaysEachPageUndoesOnItsOwnAndEmptiesTexts) {
    CTavloDoc* doc = child->document();
    doc->shapeData().addPage("页2");
    ZN_ShapeManager& second = *doc->shapeData().managers[1];
    box(*page, 100, 100, "tmp one");
    box(second, 100, 100, "tmp two");
    // Free texts left empty leave the page; labels left empty leave their box.
    auto freeText = [](ZN_ShapeManager& on, float y, const char* s) {
        auto* t = new ZN_SText();
        setLabelText(*t, ZVector2(400.0f, y), s);
        on.addShape(t);
    };
    for (int i = 0; i < 50; ++i)
        freeText(second, 200.0f + 40.0f * i, i % 2 ? "tmp" : "keep");
    box(second, 100, 300, "tmp");
    const std::size_t before = second.getShapeList().size();

    findByKeys("tmp", true);
    bar->scopeBox()->setCurrentIndex(1);
    QTest::mouseClick(bar->replaceAllButton(), Qt::LeftButton);
    EXPECT_EQ(position(), "已替换 28 处（共 2 页，每页可分别撤销）");
    EXPECT_EQ(second.getShapeList().size(), before - 25);
    int labelled = 0;
    for (ZN_ShapeBase* s : second.getShapeList()) {
        if (s->type() == 5) {
            EXPECT_STREQ(static_cast<ZN_SText*>(s)->getText(), "keep");
        }
        labelled += s->getLabel() ? 1 : 0;
    }
    EXPECT_EQ(labelled, 1); // " two" kept, the empty label taken off
    // One page alone gives the short message.
    bar->scopeBox()->setCurrentIndex(0);
    bar->findField()->setText("one");
    QTest::mouseClick(bar->replaceAllButton(), Qt::LeftButton);
    EXPECT_EQ(position(), "已替换 1 处");

    // The other page's step brings its texts back.
    ASSERT_TRUE(second.getUndoRedo()->unDo());
    EXPECT_EQ(second.getShapeList().size(), before);
}

TEST_F(FindBar, ReplaceChangesTheCurrentMatchAndGoesOn) {
    ZN_NRect* a = box(*page, 100, 100, "cat");
    ZN_NRect* b = box(*page, 100, 200, "cat");
    findByKeys("cat");
    EXPECT_FALSE(bar->replaceField()->isVisible());
    // Ctrl+H from the find field adds the replace row and keeps the query.
    QTest::keyClick(bar->findField(), Qt::Key_H, Qt::ControlModifier);
    ASSERT_TRUE(bar->replaceField()->isVisible());
    EXPECT_EQ(bar->findField()->text(), "cat");
    QTest::keyClicks(bar->replaceField(), "dog");
    // The first press finds, the next ones replace.
    QTest::keyClick(bar->replaceField(), Qt::Key_Return);
    EXPECT_STREQ(a->getLabel()->getText(), "cat");
    EXPECT_EQ(view->getSelection(), std::list<ZN_ShapeBase*>{a});
    QTest::keyClick(bar->replaceField(), Qt::Key_Return);
    EXPECT_STREQ(a->getLabel()->getText(), "dog");
    EXPECT_EQ(view->getSelection(), std::list<ZN_ShapeBase*>{b});
    EXPECT_EQ(position(), "1 / 1");
}

// A label wider than the window: the words found come into sight, not only
// some part of the box.
TEST_F(FindBar, AMatchAtTheEndOfAVeryLongLabelIsScrolledIntoSight) {
    std::string text;
    for (int i = 0; i < 60; ++i)
        text += "filler words ";
    text += "needle";
    ZN_NRect* wide = box(*page, 100, 100, text.c_str());
    const float right = wide->getLabel()->getPoint2().X();
    ASSERT_GT(right - 100.0f, 3.0f * view->width());
    view->setZoom(1.0f);
    findByKeys("needle");
    QTest::keyClick(bar->findField(), Qt::Key_Return);
    ASSERT_EQ(view->getSelection(), std::list<ZN_ShapeBase*>{wide});
    // The last word ends the label: the window must show the label's end.
    const ZVector2 offset = view->viewOffset();
    const float seenRight = offset.X() + view->width() / view->getZoom();
    EXPECT_LE(right, seenRight);
    EXPECT_GE(right - 40.0f, offset.X());
}
