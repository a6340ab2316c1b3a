// The view's selection list: the order shapes were selected in, each shape
// once, kept by select all, rubber bands and clicks alike.

#include <gtest/gtest.h>

#include <list>

#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_ShapeManager.h>

#include "TestSupport.h"
#include "WindowFixture.h"
#include "commands/CommandIds.h"
#include "commands/EditCommands.h"
#include "view/CTavloView.h"
#include "view/ClickSelect.h"
#include "view/SelectionList.h"

using Shapes = std::list<ZN_ShapeBase*>;

TEST(SelectionList, KeepsTheOrderOfSelectingAndListsEachShapeOnce) {
    ZN_ShapeManager page;
    ZN_ShapeBase* a = addRect(page, 0, 0, 10, 10);
    ZN_ShapeBase* b = addRect(page, 20, 0, 30, 10);
    ZN_ShapeBase* c = addRect(page, 40, 0, 50, 10);
    SelectionList list;
    EXPECT_TRUE(list.add(b));
    EXPECT_TRUE(list.add(a));
    EXPECT_FALSE(list.add(b));
    EXPECT_FALSE(list.add(nullptr));
    EXPECT_TRUE(list.add(c));
    EXPECT_EQ(list.shapes(), (Shapes{b, a, c}));
    EXPECT_TRUE(list.remove(a));
    EXPECT_FALSE(list.remove(a));
    EXPECT_FALSE(list.contains(a));
    // Selected again, it goes to the end.
    list.add(a);
    EXPECT_EQ(list.shapes(), (Shapes{b, c, a}));
    list.clear();
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(list.contains(b));
    EXPECT_TRUE(list.add(b));

    // Select all replaces the list by the page in drawing order, and the
    // shapes in it are known as listed afterwards.
    list.selectAll(page);
    EXPECT_EQ(list.shapes(), (Shapes{a, b, c}));
    EXPECT_TRUE(c->getSelected());
    EXPECT_FALSE(list.add(c));
    EXPECT_TRUE(list.remove(b));
    EXPECT_EQ(list.shapes(), (Shapes{a, c}));
}

class Selection : public DocumentFixture {
protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        // These tests click as the select tool did before 单击只选中一个.
        clickselect::setSelectsOne(false);
    }
};

TEST_F(Selection, SelectAllListsEveryShapeInDrawingOrderHiddenOnesIncluded) {
    ZN_ShapeBase* a = addRect(*page, 100, 100, 150, 150);
    ZN_ShapeBase* b = addRect(*page, 200, 100, 250, 150);
    ZN_ShapeBase* c = addRect(*page, 300, 100, 350, 150);
    b->setShow(false);
    view->addToSelection(c);
    ASSERT_TRUE(runViewCommand(*view, cmd::SelectAll));
    EXPECT_EQ(view->getSelection(), (Shapes{a, b, c}));
    for (ZN_ShapeBase* s : {a, b, c})
        EXPECT_TRUE(s->getSelected());

    // A click on a selected shape takes it out; a second one puts it last.
    view->onMouseMove({}, QPoint(125, 125));
    view->onLButtonDown({}, QPoint(125, 125));
    view->onLButtonUp({}, QPoint(125, 125));
    EXPECT_EQ(view->getSelection(), (Shapes{b, c}));
    EXPECT_FALSE(a->getSelected());
    view->onMouseMove({}, QPoint(125, 125));
    view->onLButtonDown({}, QPoint(125, 125));
    view->onLButtonUp({}, QPoint(125, 125));
    EXPECT_EQ(view->getSelection(), (Shapes{b, c, a}));

    // An adding rubber band over shapes already selected lists none twice.
    view->onKeyDown(Qt::Key_Control, {});
    view->onMouseMove({}, QPoint(50, 50));
    view->onLButtonDown({}, QPoint(50, 50));
    view->onMouseMove({}, QPoint(300, 300));
    view->onLButtonUp({}, QPoint(400, 300));
    EXPECT_EQ(view->getSelection(), (Shapes{b, c, a}));

    // Deleting everything leaves nothing listed.
    ASSERT_TRUE(runViewCommand(*view, cmd::SelectAll));
    ASSERT_TRUE(runViewCommand(*view, cmd::Clear));
    EXPECT_TRUE(view->getSelection().empty());
    EXPECT_TRUE(page->getShapeList().empty());
}
