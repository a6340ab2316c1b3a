// Laid-out trees in the editor: the layouts of 排列 > 自动布局, what lays a
// tree out again (folds, keyboard growth, deleting, a label that grows),
// folding from the keyboard and the 视图 commands, and what a click selects.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>

#include <sarvik/ZN_TreeLayout.h>

#include "ViewToolsFixture.h"
#include "commands/EditCommands.h"
#include "commands/LayoutCommands.h"
#include "document/AppNames.h"
#include "document/LabelText.h"
#include "view/EditKeys.h"
#include "view/TreeFolds.h"

namespace {

bool overlap(const ZN_ShapeBase* a, const ZN_ShapeBase* b) {
    return a->getPoint1().X() < b->getPoint2().X() && b->getPoint1().X() < a->getPoint2().X() &&
           a->getPoint1().Y() < b->getPoint2().Y() && b->getPoint1().Y() < a->getPoint2().Y();
}

float centreX(const ZN_ShapeBase* s) { return 0.5f * (s->getPoint1().X() + s->getPoint2().X()); }
float centreY(const ZN_ShapeBase* s) { return 0.5f * (s->getPoint1().Y() + s->getPoint2().Y()); }

std::vector<ZN_ShapeBase*> shownBoxes(const ZN_ShapeManager& page) {
    std::vector<ZN_ShapeBase*> boxes;
    for (ZN_ShapeBase* s : page.getShapeList())
        if (s->type() == 7 && s->getShow())
            boxes.push_back(s);
    return boxes;
}

void expectNoOverlap(const ZN_ShapeManager& page) {
    const std::vector<ZN_ShapeBase*> boxes = shownBoxes(page);
    for (std::size_t i = 0; i < boxes.size(); ++i)
        for (std::size_t j = i + 1; j < boxes.size(); ++j)
            EXPECT_FALSE(overlap(boxes[i], boxes[j])) << i << " " << j;
}

void typeText(const char* text) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QTest::keyClicks(target, text);
}

QMenu* submenu(QMenu* menu, const QString& title) {
    for (QAction* a : menu->actions())
        if (a->menu() && a->text() == title)
            return a->menu();
    return nullptr;
}

} // namespace

class LaidOutTrees : public ViewKeyboard {
protected:
    void SetUp() override {
        ViewKeyboard::SetUp();
        editkeys::setEnterCommits(true);
    }
    void TearDown() override {
        editkeys::setEnterCommits(false);
        ViewKeyboard::TearDown();
    }
    void run(int id) { ASSERT_TRUE(runViewCommand(*view, id)) << id; }
    ZN_NRect* box(ZN_ShapeBase* parent, float x = 0, float y = 0) {
        ZN_NRect* b = addRect(*page, x, y, x + 80, y + 30);
        if (parent)
            joinShapes(parent, b, *page);
        return b;
    }
    // A root with children a, b, c; a has two children of its own.
    void buildTree() {
        root = box(nullptr, 100, 300);
        a = box(root);
        b = box(root);
        c = box(root);
        a1 = box(a);
        a2 = box(a);
    }
    void layOut(ZN_Layout layout) {
        view->clearSelection();
        view->addToSelection(root);
        ASSERT_EQ(applyLayoutToSelection(*view, layout), 1);
    }
    ZN_NRect* root = nullptr;
    ZN_NRect* a = nullptr;
    ZN_NRect* b = nullptr;
    ZN_NRect* c = nullptr;
    ZN_NRect* a1 = nullptr;
    ZN_NRect* a2 = nullptr;
};

TEST_F(LaidOutTrees, TheLayoutSubmenuLaysOutTheSelectedTreeInOneStepAndTheTreeKeepsIt) {
    QMenu* arrange = nullptr;
    for (QAction* a : frame->menuBar()->actions())
        if (a->menu() && a->text() == "排列")
            arrange = a->menu();
    ASSERT_NE(arrange, nullptr);
    QMenu* layouts = submenu(arrange, "自动布局");
    ASSERT_NE(layouts, nullptr);
    QStringList names;
    for (QAction* a : layouts->actions())
        names << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(names, (QStringList{"思维导图", "向右逻辑图", "向左逻辑图", "组织结构图", "目录树", "-",
                                  "整理选中的子树"}));

    buildTree();
    // A child selected is enough: the layout is its tree's.
    view->addToSelection(a1);
    const int before = snapshots();
    frame->runCommand(cmd::LayoutOrgChart);
    EXPECT_EQ(snapshots(), before + 1);
    EXPECT_EQ(ZN_StoredLayout(root), ZN_Layout::OrgChart);
    EXPECT_TRUE(frame->action(cmd::LayoutOrgChart)->isChecked());
    for (const ZN_ShapeBase* kid : {a, b, c})
        EXPECT_GT(kid->getPoint1().Y(), root->getPoint2().Y());
    EXPECT_LT(centreX(a), centreX(b));
    EXPECT_LT(centreX(b), centreX(c));
    expectNoOverlap(*page);
    // The root stays where it is.
    EXPECT_FLOAT_EQ(root->getPoint1().X(), 100);

    frame->runCommand(cmd::LayoutLogicLeft);
    EXPECT_EQ(ZN_StoredLayout(root), ZN_Layout::LogicLeft);
    for (const ZN_ShapeBase* kid : {a, b, c})
        EXPECT_LT(kid->getPoint2().X(), root->getPoint1().X());
    EXPECT_LT(a1->getPoint2().X(), a->getPoint1().X());

    // Undo brings back the org chart; nothing selected lays out nothing.
    run(cmd::Undo);
    ZN_ShapeBase* back = nullptr;
    for (ZN_ShapeBase* s : page->getShapeList())
        if (s->type() == 7 && !ZN_TreeParent(s))
            back = s;
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(ZN_StoredLayout(back), ZN_Layout::OrgChart);
    view->clearSelection();
    const int now = snapshots();
    EXPECT_EQ(applyLayoutToSelection(*view, ZN_Layout::MindMap), 0);
    EXPECT_EQ(snapshots(), now);
}

TEST_F(LaidOutTrees, FoldingAndUnfoldingLayTheTreeOutAgain) {
    buildTree();
    layOut(ZN_Layout::LogicRight);
    const float bOpen = b->getPoint1().Y();

    // Space on a node whose children hang from it makes it a fold point and
    // folds: the tree closes up.
    view->clearSelection();
    view->addToSelection(a);
    const int before = snapshots();
    typeKey(Qt::Key_Space);
    EXPECT_EQ(snapshots(), before + 1);
    ZN_NPoint* fold = treefolds::foldPointOf(a);
    ASSERT_NE(fold, nullptr);
    EXPECT_EQ(fold->getStateType(), 2);
    EXPECT_FALSE(a1->getShow());
    EXPECT_FALSE(a2->getShow());
    EXPECT_EQ(treefolds::childrenOf(a), (std::vector<ZN_ShapeBase*>{a1, a2}));
    EXPECT_LT(b->getPoint1().Y(), bOpen);
    // The fold point sits beside its node, on the side its children grow.
    EXPECT_GT(fold->getCoord().X(), a->getPoint2().X());
    EXPECT_LT(fold->getCoord().X(), a->getPoint2().X() + 30);
    expectNoOverlap(*page);

    // Unfolding by a click on the fold point opens the room again.
    const QPoint at(static_cast<int>(fold->getCoord().X()), static_cast<int>(fold->getCoord().Y()));
    click(at.x(), at.y());
    EXPECT_EQ(fold->getStateType(), 1);
    EXPECT_TRUE(a1->getShow());
    EXPECT_NEAR(b->getPoint1().Y(), bOpen, 0.5f);
    expectNoOverlap(*page);

    // `/` folds too, and 收缩子对象 lays the tree out after hiding.
    typeKey(Qt::Key_Slash);
    EXPECT_EQ(fold->getStateType(), 2);
    typeKey(Qt::Key_Slash);
    EXPECT_EQ(fold->getStateType(), 1);
    view->clearSelection();
    view->addToSelection(a);
    run(cmd::Shrink);
    EXPECT_FALSE(a1->getShow());
    EXPECT_LT(b->getPoint1().Y(), bOpen);

    // A leaf has nothing to fold: no undo step.
    view->clearSelection();
    view->addToSelection(c);
    const int leaf = snapshots();
    EXPECT_FALSE(view->foldSelectedNode());
    EXPECT_EQ(snapshots(), leaf);
}

TEST_F(LaidOutTrees, LevelsShowAndFoldWholeTreesInOneStepEach) {
    buildTree();
    ZN_NRect* deep = box(a1);
    layOut(ZN_Layout::LogicRight);

    view->clearSelection();
    const int before = snapshots();
    // Two levels: the root and its branches; a's children fold away.
    EXPECT_EQ(showTreeLevels(*view, 2, false), 1);
    EXPECT_EQ(snapshots(), before + 1);
    for (const ZN_ShapeBase* s : {root, a, b, c})
        EXPECT_TRUE(s->getShow());
    for (const ZN_ShapeBase* s : {a1, a2, deep})
        EXPECT_FALSE(s->getShow());
    ASSERT_NE(treefolds::foldPointOf(a), nullptr);
    EXPECT_EQ(treefolds::foldPointOf(a)->getStateType(), 2);
    EXPECT_EQ(treefolds::foldPointOf(b), nullptr); // a leaf gets no fold point
    expectNoOverlap(*page);
    // Asked again, nothing changes and there is no undo step.
    EXPECT_EQ(showTreeLevels(*view, 2, false), 0);
    EXPECT_EQ(snapshots(), before + 1);

    // Three levels open a, and fold a1 (which has a child) in turn.
    EXPECT_EQ(showTreeLevels(*view, 3, false), 1);
    EXPECT_TRUE(a1->getShow());
    EXPECT_FALSE(deep->getShow());
    ASSERT_NE(treefolds::foldPointOf(a1), nullptr);

    // 全部展开 shows every level; 全部折叠 folds every branch, deep ones too.
    frame->runCommand(cmd::ExpandAll);
    EXPECT_TRUE(deep->getShow());
    EXPECT_EQ(treefolds::foldPointOf(a1)->getStateType(), 1);
    expectNoOverlap(*page);
    frame->runCommand(cmd::CollapseAll);
    EXPECT_FALSE(a1->getShow());
    EXPECT_EQ(treefolds::foldPointOf(a)->getStateType(), 2);
    EXPECT_EQ(treefolds::foldPointOf(a1)->getStateType(), 2);
    EXPECT_TRUE(b->getShow());

    run(cmd::Undo);
    bool anyHidden = false;
    for (const ZN_ShapeBase* s : page->getShapeList())
        anyHidden = anyHidden || (s->type() == 7 && !s->getShow());
    EXPECT_FALSE(anyHidden);
}

TEST_F(LaidOutTrees, KeyboardGrowthPutsTheNodeWhereTheLayoutDoes) {
    root = box(nullptr, 500, 300);
    std::vector<ZN_NRect*> kids;
    for (int i = 0; i < 5; ++i)
        kids.push_back(box(root));
    layOut(ZN_Layout::MindMap);
    int left = 0, right = 0;
    for (const ZN_NRect* k : kids)
        (centreX(k) < centreX(root) ? left : right) += 1;
    ASSERT_EQ(left + right, 5);

    // Tab on the root: the new child goes to the lighter side.
    view->clearSelection();
    view->addToSelection(root);
    const int before = snapshots();
    typeKey(Qt::Key_Tab);
    typeText("new");
    typeKey(Qt::Key_Return);
    EXPECT_EQ(snapshots(), before + 1);
    ZN_ShapeBase* grown = view->getSelection().front();
    EXPECT_EQ(ZN_TreeParent(grown), root);
    EXPECT_EQ(centreX(grown) < centreX(root), left < right);
    expectNoOverlap(*page);

    // Its connector leaves the root as its brothers' on that side do: from
    // the same side of the root, at the same column.
    const auto start = [](const ZN_ShapeBase* node) {
        return static_cast<const ZN_NLine*>(node->inputs().front())->getPoints().front();
    };
    const ZN_NRect* brother = nullptr;
    for (const ZN_NRect* k : kids)
        if ((centreX(k) < centreX(root)) == (centreX(grown) < centreX(root)))
            brother = k;
    ASSERT_NE(brother, nullptr);
    EXPECT_NEAR(start(grown).X(), start(brother).X(), 1.0f);
    EXPECT_NEAR(grown->getPoint1().X(), brother->getPoint1().X(), 1.0f);

    // Enter on a branch adds the next one below it, in order, pushing the
    // later ones down.
    view->clearSelection();
    view->addToSelection(kids[0]);
    typeKey(Qt::Key_Return);
    typeText("after");
    typeKey(Qt::Key_Return);
    ZN_ShapeBase* after = view->getSelection().front();
    EXPECT_EQ(ZN_TreeParent(after), root);
    EXPECT_GT(centreY(after), centreY(kids[0]));
    EXPECT_EQ(centreX(after) < centreX(root), centreX(kids[0]) < centreX(root));
    expectNoOverlap(*page);

    // A child of a folded node unfolds it and joins its brothers.
    ZN_NRect* inner = box(kids[1]);
    layOut(ZN_Layout::MindMap);
    view->clearSelection();
    view->addToSelection(kids[1]);
    typeKey(Qt::Key_Space);
    ASSERT_FALSE(inner->getShow());
    typeKey(Qt::Key_Tab);
    typeText("x");
    typeKey(Qt::Key_Return);
    EXPECT_TRUE(inner->getShow());
    EXPECT_EQ(treefolds::childrenOf(kids[1]).size(), 2u);
    expectNoOverlap(*page);
}

TEST_F(LaidOutTrees, DeletingAndRelabellingCloseUpOrMakeRoom) {
    buildTree();
    layOut(ZN_Layout::LogicRight);
    const float cTop = c->getPoint1().Y();

    // A label that wraps to more lines makes its box taller; its neighbours move.
    view->clearSelection();
    view->addToSelection(b);
    typeKey(Qt::Key_F2);
    ASSERT_TRUE(view->isEditing());
    typeText("one");
    typeKey(Qt::Key_Return, Qt::ShiftModifier);
    typeText("two");
    typeKey(Qt::Key_Return, Qt::ShiftModifier);
    typeText("three");
    typeKey(Qt::Key_Return);
    ASSERT_FALSE(view->isEditing());
    ASSERT_GT(b->getPoint2().Y() - b->getPoint1().Y(), 30.5f);
    EXPECT_GT(c->getPoint1().Y(), cTop);
    expectNoOverlap(*page);

    // Deleting a branch lets the rest close up.
    const float cBefore = c->getPoint1().Y();
    view->clearSelection();
    view->addToSelection(a);
    view->addToSelection(a1);
    view->addToSelection(a2);
    view->deleteSelection();
    EXPECT_LT(c->getPoint1().Y(), cBefore);
    expectNoOverlap(*page);
}

TEST_F(LaidOutTrees, APlainClickSelectsOneAndCtrlOrShiftAddAndTakeOut) {
    ZN_NRect* p = addRect(*page, 100, 100, 180, 140);
    ZN_NRect* q = addRect(*page, 300, 100, 380, 140);
    ZN_NRect* r = addRect(*page, 500, 100, 580, 140);
    frame->action(cmd::ClickSelectsOne)->trigger();
    ASSERT_TRUE(frame->action(cmd::ClickSelectsOne)->isChecked());
    EXPECT_TRUE(QSettings(tavlo::kOrganisation, tavlo::kApplication)
                    .value(clickselect::kProfileKey)
                    .toBool());
    const auto clickWith = [this](Qt::KeyboardModifiers flags, int x, int y) {
        move(x, y);
        view->onLButtonDown(flags, QPoint(x, y));
        view->onLButtonUp(flags, QPoint(x, y));
    };
    clickWith(kNone, 120, 120);
    clickWith(kNone, 320, 120);
    EXPECT_EQ(view->getSelection(), (std::list<ZN_ShapeBase*>{q}));
    EXPECT_FALSE(p->getSelected());
    clickWith(Qt::ControlModifier, 120, 120);
    clickWith(Qt::ShiftModifier, 520, 120);
    EXPECT_EQ(view->getSelection().size(), 3u);
    // A plain click on a selected box keeps the selection, to drag it whole.
    clickWith(kNone, 320, 120);
    EXPECT_EQ(view->getSelection().size(), 3u);
    drag(320, 120, 320, 220);
    EXPECT_FLOAT_EQ(p->getPoint1().Y(), 200);
    EXPECT_FLOAT_EQ(r->getPoint1().Y(), 200);
    // Ctrl+click takes a selected box out again.
    clickWith(Qt::ControlModifier, 520, 220);
    EXPECT_FALSE(r->getSelected());
    EXPECT_EQ(view->getSelection().size(), 2u);

    // Off, a plain click adds, as it always did.
    frame->action(cmd::ClickSelectsOne)->trigger();
    EXPECT_FALSE(clickselect::selectsOne());
    clickWith(kNone, 520, 220);
    EXPECT_EQ(view->getSelection().size(), 3u);
}
