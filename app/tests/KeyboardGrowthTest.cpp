// Growing a map from the keyboard: Tab, Insert and Enter make nodes, F2 and
// the edit box's keys type their labels, Alt and the arrows walk the tree.

#include <QAction>
#include <QInputMethodEvent>
#include <QSettings>

#include "ViewToolsFixture.h"
#include "document/AppNames.h"
#include "document/TvxContainer.h"
#include "view/EditKeys.h"

namespace {

int countOf(const ZN_ShapeManager& page, int type) {
    int n = 0;
    for (const ZN_ShapeBase* s : page.getShapeList())
        n += s->type() == type ? 1 : 0;
    return n;
}

std::string labelOf(const ZN_ShapeBase* node) {
    return node && node->getLabel() ? node->getLabel()->getText() : "";
}

// The nodes the connectors out of `node` lead to, in its order.
std::vector<ZN_ShapeBase*> kids(const ZN_ShapeBase* node) {
    std::vector<ZN_ShapeBase*> out;
    for (const ZN_ShapeBase* line : node->outputs())
        if (line->type() == 1 && !line->outputs().empty())
            out.push_back(line->outputs().front());
    return out;
}

ZN_ShapeBase* boxLabelled(const ZN_ShapeManager& page, const std::string& text) {
    for (ZN_ShapeBase* s : page.getShapeList())
        if (s->isRegion() && labelOf(s) == text)
            return s;
    return nullptr;
}

bool overlap(const ZN_ShapeBase* a, const ZN_ShapeBase* b) {
    return a->getPoint1().X() < b->getPoint2().X() && b->getPoint1().X() < a->getPoint2().X() &&
           a->getPoint1().Y() < b->getPoint2().Y() && b->getPoint1().Y() < a->getPoint2().Y();
}

void typeText(const char* text) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QTest::keyClicks(target, text);
}

} // namespace

class KeyboardGrowth : public ViewKeyboard {
protected:
    void SetUp() override {
        ViewKeyboard::SetUp();
        editkeys::setEnterCommits(false);
    }
    void TearDown() override {
        editkeys::setEnterCommits(false);
        ViewKeyboard::TearDown();
    }
    ZN_NRect* selectedRoot() {
        ZN_NRect* root = addRect(*page, 100, 100, 200, 150);
        view->addToSelection(root);
        return root;
    }
    // The page as a save and a load bring it back.
    TvxDocument saveAndLoad() {
        const QString path = QString::fromStdString(tempDir() + "/grown.tvx");
        EXPECT_TRUE(doc()->saveTo(path));
        TvxDocument loaded;
        EXPECT_EQ(readTvxFile(path.toStdString(), loaded), TvxStatus::Ok);
        return loaded;
    }
    void expectRootWithAB(const ZN_ShapeManager& saved) {
        EXPECT_EQ(countOf(saved, 7), 3);
        EXPECT_EQ(countOf(saved, 1), 2);
        ZN_ShapeBase* a = boxLabelled(saved, "A");
        ZN_ShapeBase* b = boxLabelled(saved, "B");
        ASSERT_NE(a, nullptr);
        ASSERT_NE(b, nullptr);
        ASSERT_EQ(a->inputs().size(), 1u);
        ZN_ShapeBase* root = a->inputs().front()->inputs().front();
        EXPECT_EQ(kids(root), (std::vector<ZN_ShapeBase*>{a, b}));
        EXPECT_TRUE(kids(a).empty());
        EXPECT_FALSE(overlap(a, b));
        EXPECT_FALSE(overlap(root, a));
    }
};

TEST_F(KeyboardGrowth, TabAndEnterGrowAChildAndASiblingInOneUndoStepEach) {
    ZN_NRect* root = selectedRoot();
    typeKey(Qt::Key_Tab);
    ASSERT_TRUE(view->isEditing());
    EXPECT_EQ(QApplication::focusWidget(), view->editBox());
    typeText("A");
    typeKey(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_FALSE(view->isEditing());
    typeKey(Qt::Key_Return);
    ASSERT_TRUE(view->isEditing());
    typeText("B");
    typeKey(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_FALSE(view->isEditing());
    EXPECT_TRUE(doc()->isModified());

    // The child sits right of its parent, the sibling below it, in one column.
    ZN_ShapeBase* a = boxLabelled(*page, "A");
    ZN_ShapeBase* b = boxLabelled(*page, "B");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_FLOAT_EQ(a->getPoint1().X(), root->getPoint2().X() + 60);
    EXPECT_FLOAT_EQ(b->getPoint1().X(), a->getPoint1().X());
    EXPECT_GE(b->getPoint1().Y(), a->getPoint2().Y() + 14);
    // The last one made is the selection.
    EXPECT_EQ(view->getSelection(), (std::list<ZN_ShapeBase*>{b}));
    {
        SCOPED_TRACE("saved and loaded");
        TvxDocument loaded = saveAndLoad();
        ASSERT_EQ(loaded.pages.size(), 1u);
        expectRootWithAB(*loaded.pages[0].manager);
    }

    // Making B, naming it included, is one step; Ctrl+Z takes box and
    // connector together.
    EXPECT_EQ(snapshots(), 2);
    typeKey(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(countOf(*page, 7), 2);
    EXPECT_EQ(countOf(*page, 1), 1);
    EXPECT_NE(boxLabelled(*page, "A"), nullptr);
    typeKey(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(page->getShapeList().size(), 1u);
}

TEST_F(KeyboardGrowth, WithTheSettingEnterCommitsShiftEnterBreaksAndTabAddsAChild) {
    // The menu command turns it on and the profile keeps it.
    frame->action(cmd::EnterCommitsEdit)->trigger();
    EXPECT_TRUE(editkeys::enterCommits());
    EXPECT_TRUE(QSettings(tavlo::kOrganisation, tavlo::kApplication)
                    .value(editkeys::kProfileKey)
                    .toBool());
    EXPECT_TRUE(frame->action(cmd::EnterCommitsEdit)->isCheckable());

    selectedRoot();
    typeKey(Qt::Key_Tab);
    typeText("A");
    typeKey(Qt::Key_Return);
    ASSERT_FALSE(view->isEditing());
    typeKey(Qt::Key_Return);
    ASSERT_TRUE(view->isEditing());
    typeText("B");
    typeKey(Qt::Key_Return);
    ASSERT_FALSE(view->isEditing());
    {
        SCOPED_TRACE("saved and loaded");
        TvxDocument loaded = saveAndLoad();
        ASSERT_EQ(loaded.pages.size(), 1u);
        expectRootWithAB(*loaded.pages[0].manager);
    }

    // Tab in the box puts the text there and goes one level down.
    typeKey(Qt::Key_Return);
    typeText("C");
    typeKey(Qt::Key_Return, Qt::ShiftModifier);
    typeText("D");
    typeKey(Qt::Key_Tab);
    ASSERT_TRUE(view->isEditing());
    typeText("E");
    typeKey(Qt::Key_Enter, Qt::KeypadModifier);
    ASSERT_FALSE(view->isEditing());
    ZN_ShapeBase* c = boxLabelled(*page, "C\r\nD");
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(kids(c).size(), 1u);
    EXPECT_EQ(labelOf(kids(c).front()), "E");

    // Turned off, Enter breaks the line again and Ctrl+Enter commits.
    frame->action(cmd::EnterCommitsEdit)->trigger();
    EXPECT_FALSE(editkeys::enterCommits());
    typeKey(Qt::Key_F2);
    ASSERT_TRUE(view->isEditing());
    typeText("F");
    typeKey(Qt::Key_Return);
    typeText("G");
    typeKey(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(labelOf(view->getSelection().front()), "F\r\nG");
}

TEST_F(KeyboardGrowth, AComposingInputMethodKeepsEnterTabAndEscape) {
    editkeys::setEnterCommits(true);
    selectedRoot();
    typeKey(Qt::Key_Tab);
    ASSERT_TRUE(view->isEditing());
    const std::size_t shapes = page->getShapeList().size();
    const int steps = snapshots();

    QInputMethodEvent preedit("ni", {});
    QApplication::sendEvent(view->editBox(), &preedit);
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Tab, Qt::Key_Escape}) {
        typeKey(key);
        EXPECT_TRUE(view->isEditing()) << key;
    }
    typeKey(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(view->isEditing());
    EXPECT_EQ(page->getShapeList().size(), shapes);
    EXPECT_EQ(snapshots(), steps);

    QInputMethodEvent commit;
    commit.setCommitString("你");
    QApplication::sendEvent(view->editBox(), &commit);
    typeKey(Qt::Key_Return);
    ASSERT_FALSE(view->isEditing());
    ZN_ShapeBase* grown = view->getSelection().front();
    EXPECT_EQ(labelOf(grown), "你");
}

TEST_F(KeyboardGrowth, AltAndTheArrowsWalkTheTreeAndPlainArrowsStillNudge) {
    ZN_NRect* root = addRect(*page, 100, 100, 200, 150);
    ZN_NRect* first = addRect(*page, 300, 50, 400, 100);
    ZN_NRect* second = addRect(*page, 300, 150, 400, 200);
    ZN_NRect* far = addRect(*page, 5000, 3000, 5100, 3050);
    joinShapes(root, first, *page);
    joinShapes(root, second, *page);
    joinShapes(first, far, *page);
    view->addToSelection(first);
    const auto selected = [this] { return view->getSelection(); };
    using L = std::list<ZN_ShapeBase*>;

    typeKey(Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(selected(), L{second});
    EXPECT_FALSE(first->getSelected());
    typeKey(Qt::Key_Down, Qt::AltModifier); // no sibling after the last
    EXPECT_EQ(selected(), L{second});
    typeKey(Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(selected(), L{first});
    typeKey(Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(selected(), L{first});
    typeKey(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(selected(), L{root});
    typeKey(Qt::Key_Left, Qt::AltModifier); // a root has no parent
    EXPECT_EQ(selected(), L{root});
    typeKey(Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(selected(), L{first});

    // A node out of sight is scrolled into the window.
    typeKey(Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(selected(), L{far});
    const QPoint at = view->scrollPosition();
    EXPECT_LE(at.x(), 5000);
    EXPECT_GE(at.x() + view->width(), 5100);
    EXPECT_LE(at.y(), 3000);
    EXPECT_GE(at.y() + view->height(), 3050);
    EXPECT_FLOAT_EQ(far->getPoint1().X(), 5000);

    // No walking moved anything; the plain arrow still nudges, Alt no more.
    typeKey(Qt::Key_Right);
    EXPECT_FLOAT_EQ(far->getPoint1().X(), 5001);
    EXPECT_FLOAT_EQ(root->getPoint1().X(), 100);
}

TEST_F(KeyboardGrowth, ANewNodeCopiesItsNeighboursLookAndTakesTheFirstFreePlace) {
    ZN_NRect* root = selectedRoot();
    auto* ellipse = static_cast<ZN_NRect*>(ZN_ShapeBase::createShape(8));
    ellipse->setPoint1(ZVector2(300, 100));
    ellipse->setPoint2(ZVector2(380, 130));
    ellipse->setFillColor(ZVector3(1, 0.5f, 0));
    ellipse->setLineWide(5);
    page->addShape(ellipse);
    joinShapes(root, ellipse, *page);
    // Something unrelated lies where the next child would go.
    ZN_NRect* obstacle = addRect(*page, 320, 150, 500, 200);

    typeKey(Qt::Key_Insert);
    ASSERT_TRUE(view->isEditing());
    ZN_ShapeBase* grown = view->getSelection().front();
    ASSERT_EQ(grown->type(), 8);
    auto* box = static_cast<ZN_NRect*>(grown);
    EXPECT_EQ(box->getLineWide(), 5);
    EXPECT_FLOAT_EQ(box->getFillColor().Y(), 0.5f);
    // Its place below the ellipse is taken: the tree is laid out to make room,
    // and the new node still covers nothing.
    EXPECT_FLOAT_EQ(box->getPoint2().X() - box->getPoint1().X(), 80);
    EXPECT_FLOAT_EQ(box->getPoint2().Y() - box->getPoint1().Y(), 30);
    EXPECT_GT(box->getPoint1().X(), root->getPoint2().X());
    EXPECT_GT(box->getPoint1().Y(), ellipse->getPoint2().Y());
    EXPECT_FALSE(overlap(box, obstacle));
    EXPECT_FALSE(overlap(box, ellipse));

    typeKey(Qt::Key_Escape);

    // A first child is centred beside a parent with none.
    ZN_NRect* single = addRect(*page, 100, 600, 200, 660);
    view->clearSelection();
    view->addToSelection(single);
    typeKey(Qt::Key_Tab);
    ZN_ShapeBase* lone = view->getSelection().front();
    expectAt(lone->getPoint1(), 260, 600);

    // A label longer than the box widens it, and the connector follows.
    typeText("a label much wider than its box");
    typeKey(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_GT(lone->getPoint2().X() - lone->getPoint1().X(), 100);
    ASSERT_EQ(lone->inputs().size(), 1u);
    auto* line = static_cast<ZN_NLine*>(lone->inputs().front());
    const auto& points = line->getPoints();
    const ZVector2 end = lone->getBoderPos(9, points[points.size() - 2]);
    EXPECT_NEAR(points.back().X(), end.X(), 0.01f);
    EXPECT_NEAR(points.back().Y(), end.Y(), 0.01f);
    EXPECT_TRUE(onOutline(single, points.front()));
    EXPECT_EQ(line->getInNumber(), 9);
    EXPECT_EQ(line->getOutNumber(), 9);
}

TEST_F(KeyboardGrowth, EnterPutsTheSiblingAfterTheSelectedOneInOrderAndInPlace) {
    ZN_NRect* root = addRect(*page, 100, 100, 200, 150);
    ZN_NRect* first = addRect(*page, 300, 100, 400, 150);
    ZN_NRect* second = addRect(*page, 300, 164, 400, 214);
    joinShapes(root, first, *page);
    joinShapes(root, second, *page);
    auto* firstLine = static_cast<ZN_NLine*>(first->inputs().front());
    firstLine->setLineWide(1);
    firstLine->setColor(ZVector3(0, 0, 1));
    view->addToSelection(first);
    typeKey(Qt::Key_Return);
    typeKey(Qt::Key_Escape);
    ZN_ShapeBase* middle = view->getSelection().front();
    EXPECT_EQ(kids(root), (std::vector<ZN_ShapeBase*>{first, middle, second}));
    // Its connector looks like its neighbour's.
    ASSERT_EQ(middle->inputs().size(), 1u);
    EXPECT_EQ(middle->inputs().front()->getLineWide(), 1);
    EXPECT_FLOAT_EQ(middle->inputs().front()->getColor().Z(), 1);
    EXPECT_FALSE(overlap(middle, second));
    EXPECT_FALSE(overlap(middle, first));
    // The column was taken below the first, so the tree made room in order.
    EXPECT_FLOAT_EQ(middle->getPoint1().X(), first->getPoint1().X());
    EXPECT_LT(first->getPoint1().Y(), middle->getPoint1().Y());
    EXPECT_LT(middle->getPoint1().Y(), second->getPoint1().Y());
}

TEST_F(KeyboardGrowth, F2EditsAndEscapeLeavesTheLabelAsItWas) {
    ZN_NRect* root = selectedRoot();
    auto* label = static_cast<ZN_SText*>(ZN_ShapeBase::createShape(5));
    label->setRect(ZVector2(130, 115), ZVector2(170, 135));
    label->setText("old");
    label->setHost(root);
    root->setLabel(label);

    typeKey(Qt::Key_F2);
    ASSERT_TRUE(view->isEditing());
    EXPECT_EQ(view->editBox()->textCursor().selectedText(), "old");
    typeText("new");
    typeKey(Qt::Key_Escape);
    EXPECT_FALSE(view->isEditing());
    EXPECT_EQ(labelOf(root), "old");
    EXPECT_TRUE(root->getLabel()->getShow());
    EXPECT_EQ(snapshots(), 0);
    EXPECT_EQ(view->getTool(), viewtool::Select);

    // Escape on a new node keeps the node and drops the empty label; one
    // Ctrl+Z still takes node and connector.
    typeKey(Qt::Key_Tab);
    typeKey(Qt::Key_Escape);
    ZN_ShapeBase* grown = view->getSelection().front();
    EXPECT_EQ(grown->getLabel(), nullptr);
    EXPECT_EQ(page->getShapeList().size(), 3u);
    typeKey(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(page->getShapeList().size(), 1u);
}

TEST_F(KeyboardGrowth, KeysThatHadAMeaningKeepIt) {
    // With nothing selected the growth keys make nothing.
    addRect(*page, 100, 100, 200, 150);
    for (Qt::Key key : {Qt::Key_Insert, Qt::Key_Return, Qt::Key_F2}) {
        view->setFocus();
        typeKey(key);
        EXPECT_FALSE(view->isEditing()) << key;
    }
    EXPECT_EQ(page->getShapeList().size(), 1u);

    // Insert with Shift or Ctrl is paste or copy, not a new child.
    ZN_NRect* root = selectedRoot();
    typeKey(Qt::Key_Insert, Qt::ControlModifier);
    typeKey(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(countOf(*page, 1), 0);
    EXPECT_FALSE(view->isEditing());

    // Without the setting Tab in the edit box is typed, and Delete still
    // deletes the selection.
    view->clearSelection();
    view->addToSelection(root);
    typeKey(Qt::Key_F2);
    typeText("x");
    typeKey(Qt::Key_Tab);
    ASSERT_TRUE(view->isEditing());
    EXPECT_EQ(view->editBox()->toPlainText(), "x\t");
    typeKey(Qt::Key_Escape);
    ASSERT_EQ(view->getSelection(), (std::list<ZN_ShapeBase*>{root}));
    const std::size_t before = page->getShapeList().size();
    typeKey(Qt::Key_Delete);
    EXPECT_EQ(page->getShapeList().size(), before - 1);
}

TEST_F(KeyboardGrowth, TwentyNodesGrownFromTheKeysKeepTheirTreeAndNeverOverlap) {
    editkeys::setEnterCommits(true);
    selectedRoot();
    // Tab makes the first child, Enter the siblings after it.
    const auto family = [](const std::string& stem) {
        typeKey(Qt::Key_Tab);
        for (int i = 1; i <= 3; ++i) {
            if (i > 1)
                typeKey(Qt::Key_Return);
            typeText((stem + std::to_string(i)).c_str());
            typeKey(Qt::Key_Return);
        }
    };
    const auto walk = [](Qt::Key key, int times) {
        for (int i = 0; i < times; ++i)
            typeKey(key, Qt::AltModifier);
    };
    typeKey(Qt::Key_Tab);
    for (const char* name : {"A", "B", "C", "D"}) {
        if (*name != 'A')
            typeKey(Qt::Key_Return);
        typeText(name);
        typeKey(Qt::Key_Return);
    }
    walk(Qt::Key_Up, 3);
    for (const char* stem : {"A", "B", "C", "D"}) {
        family(stem);
        walk(Qt::Key_Left, 1);
        walk(Qt::Key_Down, 1);
    }
    walk(Qt::Key_Up, 3);
    walk(Qt::Key_Right, 1);
    family("A1.");

    std::vector<ZN_ShapeBase*> boxes;
    for (ZN_ShapeBase* s : page->getShapeList())
        if (s->type() == 7)
            boxes.push_back(s);
    ASSERT_EQ(boxes.size(), 20u);
    EXPECT_EQ(countOf(*page, 1), 19);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        for (std::size_t j = i + 1; j < boxes.size(); ++j) {
            EXPECT_FALSE(overlap(boxes[i], boxes[j]))
                << labelOf(boxes[i]) << " " << labelOf(boxes[j]);
        }
    }
    ZN_ShapeBase* a1 = boxLabelled(*page, "A1");
    ASSERT_NE(a1, nullptr);
    std::vector<std::string> names;
    for (const ZN_ShapeBase* k : kids(a1))
        names.push_back(labelOf(k));
    EXPECT_EQ(names, (std::vector<std::string>{"A1.1", "A1.2", "A1.3"}));
    ZN_ShapeBase* d = boxLabelled(*page, "D");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(kids(d).size(), 3u);
    EXPECT_EQ(labelOf(kids(d).back()), "D3");
    // A tidy tree: children to the right of their parent, which sits beside
    // them, so no connector runs past a cousin.
    for (const ZN_ShapeBase* parent : boxes) {
        const std::vector<ZN_ShapeBase*> children = kids(parent);
        if (children.empty())
            continue;
        const float middle = (parent->getPoint1().Y() + parent->getPoint2().Y()) * 0.5f;
        EXPECT_GE(middle, children.front()->getPoint1().Y()) << labelOf(parent);
        EXPECT_LE(middle, children.back()->getPoint2().Y()) << labelOf(parent);
        for (const ZN_ShapeBase* child : children)
            EXPECT_GT(child->getPoint1().X(), parent->getPoint2().X()) << labelOf(child);
    }
}
