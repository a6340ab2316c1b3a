// Editing notes, attributes, links and markers in the editor: each change is
// one undo step, the note panel follows the selection and keeps what was
// typed, links are followed from their marks, and find reaches into notes.

#include <QApplication>
#include <QCheckBox>
#include <QDockWidget>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QToolBar>
#include <QToolTip>

#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_NodeMarks.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/platform/ZMessage.h>

#include "CommandFixture.h"
#include "commands/CommandIds.h"
#include "commands/NodeFieldCommands.h"
#include "dialogs/CDlgHyperlink.h"
#include "document/LabelText.h"
#include "folder/CFolderFrame.h"
#include "frames/CFindBar.h"
#include "frames/CNotesPanel.h"
#include "view/FindSession.h"
#include "view/NodeMarkInput.h"

namespace {

using Markers = std::vector<std::string>;

float widthOf(const ZN_ShapeBase* s) {
    return s->getPoint2().X() - s->getPoint1().X();
}

std::vector<ZN_ShapeBase*> boxes(const ZN_ShapeManager& page) {
    std::vector<ZN_ShapeBase*> out;
    for (ZN_ShapeBase* s : page.getShapeArray())
        if (s->type() == 7)
            out.push_back(s);
    return out;
}

ZN_NodeFields fieldsWith(const char* note, std::vector<ZN_Attribute> attributes = {}) {
    ZN_NodeFields f;
    f.note = note;
    f.attributes = std::move(attributes);
    return f;
}

ZN_Mark markOf(const ZN_ShapeBase& s, ZN_MarkKind kind) {
    for (const ZN_Mark& m : ZN_NodeMarks(s))
        if (m.kind == kind)
            return m;
    return {};
}

} // namespace

class NodeFieldEditing : public CommandFixture {
protected:
    void SetUp() override {
        CommandFixture::SetUp();
        if (HasFatalFailure())
            return;
        setLinkOpener([this](const QUrl& url) {
            opened.push_back(url);
            return true;
        });
        panel = frame->notesDock()->panel();
    }
    void TearDown() override {
        setLinkOpener({});
        CommandFixture::TearDown();
    }

    ZN_NRect* box(ZN_ShapeManager& on, float x, float y, const char* text) {
        ZN_NRect* rect = addRect(on, x, y, x + 100, y + 40);
        auto* label = static_cast<ZN_SText*>(ZN_ShapeBase::createShape(5));
        label->setHost(rect);
        rect->setLabel(label);
        setLabelText(*label, rect->getPoint1(), text);
        return rect;
    }
    // Answers the link dialog: `fill` sets it up, then OK is pressed.
    void answerLink(std::function<void(CDlgHyperlink&)> fill) {
        dialogAnswer = [fill](QDialog& d) {
            auto& dialog = dynamic_cast<CDlgHyperlink&>(d);
            fill(dialog);
            dialog.accept();
            return dialog.result() == QDialog::Accepted;
        };
    }
    // The widget point over the canvas point `at`.
    QPoint screenAt(ZVector2 at) const {
        return view->screenFromClient(at - view->viewOffset()).toPoint();
    }
    QPoint centreOf(const ZN_Mark& m) const { return screenAt((m.min + m.max) * 0.5f); }

    std::vector<QUrl> opened;
    CNotesPanel* panel = nullptr;
};

TEST_F(NodeFieldEditing, EachMarkerCommandIsOneUndoStepOnEverySelectedBox) {
    ZN_NRect* a = box(*page, 10, 10, "a");
    ZN_NRect* b = box(*page, 200, 10, "b");
    const float width = widthOf(a);
    select({a, b});
    const int before = snapshots();
    frame->runCommand(markerCommand("priority-2"));
    EXPECT_EQ(snapshots(), before + 1);
    EXPECT_TRUE(modified());
    EXPECT_EQ(a->getFields().markers, Markers{"priority-2"});
    EXPECT_EQ(b->getFields().markers, Markers{"priority-2"});
    EXPECT_GE(widthOf(a), width) << "the box grows as for a label";
    EXPECT_TRUE(frame->action(markerCommand("priority-2"))->isChecked());

    frame->runCommand(markerCommand("priority-5"));
    frame->runCommand(markerCommand("star"));
    EXPECT_EQ(a->getFields().markers, (Markers{"priority-5", "star"}));
    EXPECT_FALSE(frame->action(markerCommand("priority-2"))->isChecked());
    frame->runCommand(cmd::MarkerClear);
    EXPECT_FALSE(a->hasFields());
    EXPECT_EQ(snapshots(), before + 4);

    run(cmd::Undo);
    for (ZN_ShapeBase* s : boxes(*page))
        EXPECT_EQ(s->getFields().markers, (Markers{"priority-5", "star"}));

    // With nothing to put it on, no step is taken.
    view->clearSelection();
    const int now = snapshots();
    frame->runCommand(markerCommand("idea"));
    frame->runCommand(cmd::MarkerClear);
    EXPECT_EQ(snapshots(), now);
}

TEST_F(NodeFieldEditing, TheInsertMenuAndTheMarkerToolbarOfferTheMarkers) {
    QMenu* insert = nullptr;
    for (QAction* a : frame->menuBar()->actions())
        if (a->menu() && a->text() == "插入(&I)")
            insert = a->menu();
    ASSERT_NE(insert, nullptr);
    EXPECT_TRUE(insert->actions().contains(frame->action(cmd::InsertLink)));
    EXPECT_EQ(frame->action(cmd::InsertLink)->shortcut(), QKeySequence("Ctrl+K"));
    QMenu* markers = nullptr;
    for (QAction* a : insert->actions())
        if (a->menu())
            markers = a->menu();
    ASSERT_NE(markers, nullptr);
    EXPECT_EQ(markers->title(), "标记(&M)");
    int offered = 0;
    const std::function<void(QMenu*)> count = [&](QMenu* m) {
        for (QAction* a : m->actions()) {
            if (a->menu())
                count(a->menu());
            else if (markerOfCommand(a->data().toInt()))
                ++offered;
        }
    };
    count(markers);
    EXPECT_EQ(offered, 26);

    auto* bar = frame->findChild<QToolBar*>("toolbarMarkers");
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->actions().contains(frame->action(markerCommand("task-done"))));
    EXPECT_FALSE(frame->action(markerCommand("task-done"))->icon().isNull());
}

TEST_F(NodeFieldEditing, TheLinkDialogSetsRefusesAndRemovesLinks) {
    ZN_NRect* a = box(*page, 10, 10, "a");
    select({a});
    const int before = snapshots();
    answerLink([](CDlgHyperlink& d) { d.addressField()->setText("  www.example.org "); });
    frame->runCommand(cmd::InsertLink);
    EXPECT_EQ(a->getFields().link, "https://www.example.org");
    EXPECT_EQ(snapshots(), before + 1);

    // A scheme that is no link keeps the dialog open and the link as it was.
    bool problemShown = false;
    dialogAnswer = [&](QDialog& d) {
        auto& dialog = dynamic_cast<CDlgHyperlink&>(d);
        EXPECT_EQ(dialog.addressField()->text(), "https://www.example.org");
        EXPECT_TRUE(dialog.removeButton()->isEnabled());
        dialog.addressField()->setText("javascript:alert(1)");
        dialog.accept();
        problemShown = !dialog.problemLabel()->isHidden();
        return dialog.result() == QDialog::Accepted;
    };
    frame->runCommand(cmd::InsertLink);
    EXPECT_TRUE(problemShown);
    EXPECT_EQ(a->getFields().link, "https://www.example.org");
    EXPECT_EQ(snapshots(), before + 1);

    dialogAnswer = [](QDialog& d) {
        auto& dialog = dynamic_cast<CDlgHyperlink&>(d);
        dialog.removeButton()->click();
        return dialog.result() == QDialog::Accepted;
    };
    frame->runCommand(cmd::InsertLink);
    EXPECT_FALSE(a->hasFields());
    EXPECT_EQ(snapshots(), before + 2);
    run(cmd::Undo);
    EXPECT_EQ(boxes(*page).at(0)->getFields().link, "https://www.example.org");
}

TEST_F(NodeFieldEditing, ALinkToANodeOnAnotherPageIsFollowedFromItsMark) {
    CTavloDoc* doc = child->document();
    doc->shapeData().addPage("页2");
    ZN_ShapeManager& second = *doc->shapeData().managers[1];
    ZN_NRect* target = box(second, 5000, 3000, "far away");
    ZN_NRect* a = box(*page, 10, 10, "a");
    select({a});
    const int secondBefore = second.getUndoRedo()->undoCount();
    answerLink([](CDlgHyperlink& d) {
        ASSERT_EQ(d.nodeList()->count(), 1) << "every other box, the linked one not";
        EXPECT_EQ(d.nodeList()->item(0)->text(), "页2: far away");
        d.nodeList()->setCurrentRow(0);
        d.nodeButton()->setChecked(true);
    });
    frame->runCommand(cmd::InsertLink);
    const std::string anchor = target->getFields().anchor;
    ASSERT_FALSE(anchor.empty());
    EXPECT_EQ(a->getFields().link, "#" + anchor);
    EXPECT_EQ(second.getUndoRedo()->undoCount(), secondBefore + 1) << "its own step there";

    // The dialog opens on the node linked.
    dialogAnswer = [](QDialog& d) {
        auto& dialog = dynamic_cast<CDlgHyperlink&>(d);
        EXPECT_TRUE(dialog.nodeButton()->isChecked());
        EXPECT_EQ(dialog.target(), 0);
        return false;
    };
    frame->runCommand(cmd::InsertLink);

    view->update();
    QCoreApplication::processEvents();
    const ZN_Mark link = markOf(*a, ZN_MarkKind::Link);
    ASSERT_EQ(link.kind, ZN_MarkKind::Link);
    QTest::mouseClick(view, Qt::LeftButton, {}, centreOf(link));
    EXPECT_EQ(view->getCurrentPage(), &second);
    EXPECT_EQ(child->folderFrame()->currentPage(), 1);
    EXPECT_EQ(view->getSelection(), std::list<ZN_ShapeBase*>{target});
    const ZVector2 seen = view->viewOffset();
    EXPECT_GT(target->getPoint1().X(), seen.X());
    EXPECT_LT(target->getPoint2().X(), seen.X() + view->width() / view->getZoom());
    EXPECT_TRUE(opened.empty());

    // A link whose node went says so and goes nowhere.
    second.deleteShape(target);
    view->forgetShapes();
    ZShowMessage("", "");
    EXPECT_FALSE(followLink(*view, *a));
    EXPECT_EQ(ZLastMessageText(), "链接的节点已不存在");
}

TEST_F(NodeFieldEditing, OtherLinksOpenOutsideFromTheMarkOrByCtrlAndAClick) {
    ZN_NRect* web = box(*page, 10, 10, "web");
    ZN_NRect* file = box(*page, 10, 200, "file");
    ZN_NRect* plain = box(*page, 300, 10, "plain");
    ZN_NodeFields f;
    f.link = "https://example.org/a?b=1";
    web->setFields(f);
    f.link = "docs/plan.txt";
    file->setFields(f);
    view->update();
    QCoreApplication::processEvents();

    QTest::mouseClick(view, Qt::LeftButton, {}, centreOf(markOf(*web, ZN_MarkKind::Link)));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl("https://example.org/a?b=1"));
    select({plain});
    const ZVector2 middle = (web->getPoint1() + web->getPoint2()) * 0.5f;
    QTest::mouseClick(view, Qt::LeftButton, Qt::ControlModifier, screenAt(middle));
    EXPECT_EQ(opened.size(), 2u);
    EXPECT_EQ(view->getSelection(), std::list<ZN_ShapeBase*>{plain}) << "the click only opened";
    // A plain click on the box selects it as it always has (away from the last
    // click, which would make it a double one).
    const QPoint aside = screenAt(middle) + QPoint(30, 0);
    QMouseEvent move(QEvent::MouseMove, aside, view->mapToGlobal(aside), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &move);
    QTest::mouseClick(view, Qt::LeftButton, {}, aside);
    EXPECT_EQ(opened.size(), 2u);
    EXPECT_TRUE(web->getSelected());

    // A relative path needs the document's folder.
    ZShowMessage("", "");
    EXPECT_FALSE(followLink(*view, *file));
    EXPECT_EQ(ZLastMessageText(), "无法打开链接：docs/plan.txt");
    const QString dir = QString::fromStdString(tempDir());
    ASSERT_TRUE(child->document()->saveTo(dir + "/map.tvx"));
    EXPECT_TRUE(followLink(*view, *file));
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened[2], QUrl::fromLocalFile(dir + "/docs/plan.txt"));
    // An opener that fails is said too.
    setLinkOpener([](const QUrl&) { return false; });
    EXPECT_FALSE(followLink(*view, *web));
    EXPECT_EQ(ZLastMessageText(), "无法打开链接：https://example.org/a?b=1");
}

TEST_F(NodeFieldEditing, MarksExplainThemselvesInTooltips) {
    ZN_NRect* a = box(*page, 10, 10, "a");
    ZN_NodeFields f;
    f.note = "<b>not bold</b>\nsecond";
    f.markers = {"priority-1", "someone-elses-icon"};
    a->setFields(f);
    a->resetLabelPosition();
    view->update();
    QCoreApplication::processEvents();
    const ZN_Mark note = markOf(*a, ZN_MarkKind::Note);
    const MarkUnder hit = markUnder(*view, centreOf(note));
    ASSERT_EQ(hit.shape, a);
    ASSERT_EQ(hit.mark.kind, ZN_MarkKind::Note);
    const QString tip = markTooltip(*a, hit.mark);
    EXPECT_TRUE(tip.contains("&lt;b&gt;not bold&lt;/b&gt;\nsecond")) << tip.toStdString();

    const std::vector<ZN_Mark> marks = ZN_NodeMarks(*a);
    EXPECT_EQ(markTooltip(*a, marks.at(0)), "优先级 1");
    EXPECT_EQ(markTooltip(*a, marks.at(1)), "someone-elses-icon");
    EXPECT_EQ(markUnder(*view, screenAt(ZVector2(500, 500))).shape, nullptr);

    QHelpEvent help(QEvent::ToolTip, centreOf(marks.at(0)), view->mapToGlobal(centreOf(marks.at(0))));
    QCoreApplication::sendEvent(view, &help);
    EXPECT_EQ(QToolTip::text(), "优先级 1");
    QToolTip::hideText();
}

TEST_F(NodeFieldEditing, TheNotePanelFollowsTheSelectionAndAppliesAsOneStep) {
    frame->runCommand(cmd::ViewNotes);
    EXPECT_TRUE(frame->notesDock()->isVisible());
    EXPECT_TRUE(frame->action(cmd::ViewNotes)->isChecked());
    EXPECT_FALSE(panel->noteEdit()->isEnabled());

    ZN_NRect* a = box(*page, 10, 10, "a");
    ZN_NRect* b = box(*page, 200, 10, "b");
    a->setFields(fieldsWith("old", {{"owner", "Ann"}}));
    select({a});
    view->update();
    // The panel hears of the selection with the next frame.
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel->node() == a; }));
    EXPECT_TRUE(panel->noteEdit()->isEnabled());
    EXPECT_EQ(panel->noteEdit()->toPlainText(), "old");
    ASSERT_EQ(panel->attributeTable()->rowCount(), 1);
    EXPECT_EQ(panel->attributeTable()->item(0, 1)->text(), "Ann");

    const int before = snapshots();
    panel->noteEdit()->setPlainText("new\nnote");
    panel->addButton()->click();
    ASSERT_EQ(panel->attributeTable()->rowCount(), 2);
    panel->attributeTable()->item(1, 0)->setText("cost");
    panel->attributeTable()->item(1, 1)->setText("12");
    panel->addButton()->click(); // left empty: no attribute
    panel->applyButton()->click();
    EXPECT_EQ(snapshots(), before + 1);
    EXPECT_TRUE(modified());
    EXPECT_EQ(a->getFields(), fieldsWith("new\nnote", {{"owner", "Ann"}, {"cost", "12"}}));
    EXPECT_FALSE(markOf(*a, ZN_MarkKind::Note).kind == ZN_MarkKind::None);
    panel->applyButton()->click();
    EXPECT_EQ(snapshots(), before + 1) << "nothing new, no step";

    panel->attributeTable()->setCurrentCell(0, 0);
    panel->removeButton()->click();
    panel->commit();
    EXPECT_EQ(a->getFields().attributes, (std::vector<ZN_Attribute>{{"cost", "12"}}));

    select({a, b});
    panel->follow();
    EXPECT_EQ(panel->node(), nullptr);
    EXPECT_FALSE(panel->noteEdit()->isEnabled());
    EXPECT_TRUE(panel->noteEdit()->toPlainText().isEmpty());

    run(cmd::Undo);
    panel->follow();
    EXPECT_EQ(panel->node(), nullptr) << "undo leaves nothing selected";
    EXPECT_EQ(boxes(*page).at(0)->getFields().attributes.size(), 2u);

    frame->runCommand(cmd::ViewNotes);
    EXPECT_FALSE(frame->notesDock()->isVisible());
}

TEST_F(NodeFieldEditing, TypedTextGoesToItsOwnNodeWhenTheSelectionOrTheFocusMoves) {
    frame->runCommand(cmd::ViewNotes);
    ZN_NRect* a = box(*page, 10, 10, "a");
    ZN_NRect* b = box(*page, 200, 10, "b");
    select({a});
    panel->follow();
    panel->noteEdit()->setPlainText("for a");
    const int before = snapshots();
    select({b});
    panel->follow();
    EXPECT_EQ(a->getFields().note, "for a");
    EXPECT_EQ(panel->node(), b);
    EXPECT_EQ(snapshots(), before + 1);

    QApplication::setActiveWindow(frame);
    panel->noteEdit()->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel->noteEdit()->hasFocus(); }));
    QTest::keyClicks(panel->noteEdit(), "typed");
    EXPECT_FALSE(b->hasFields()) << "not before the panel is left";
    view->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->hasFocus(); }));
    EXPECT_EQ(b->getFields().note, "typed");

    // A node deleted while its text waits takes nothing with it.
    panel->noteEdit()->setPlainText("lost with b");
    ASSERT_TRUE(panel->isDirty());
    view->deleteSelection();
    const int afterDelete = snapshots();
    panel->follow();
    EXPECT_EQ(panel->node(), nullptr);
    EXPECT_EQ(snapshots(), afterDelete);
    EXPECT_EQ(a->getFields().note, "for a");
}

TEST_F(NodeFieldEditing, FindReachesIntoNotesAndShowsTheMatchInThePanel) {
    ZN_NRect* a = box(*page, 10, 10, "a");
    a->setFields(fieldsWith("call the plumber\nabout the LEAK today"));
    box(*page, 10, 300, "nothing here");
    frame->runCommand(cmd::Find);
    CFindBar* bar = child->findBar();
    ASSERT_TRUE(bar->isVisible());
    EXPECT_TRUE(bar->notesBox()->isChecked());
    EXPECT_EQ(bar->notesBox()->text(), "搜索备注");
    bar->findField()->setText("leak");
    EXPECT_EQ(bar->session().count(), 1);
    bar->step(false);
    EXPECT_EQ(view->getSelection(), std::list<ZN_ShapeBase*>{a});
    EXPECT_TRUE(frame->notesDock()->isVisible());
    EXPECT_EQ(panel->node(), a);
    EXPECT_EQ(panel->noteEdit()->textCursor().selectedText(), "LEAK");

    bar->notesBox()->setChecked(false);
    EXPECT_EQ(bar->session().count(), 0);
}
