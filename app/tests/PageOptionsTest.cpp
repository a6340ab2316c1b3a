// Page operations of the document options dialog.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <sarvik/ZN_ShapeManager.h>

#include "TestSupport.h"
#include "dialogs/CDlgDocOption.h"
#include "document/CTavloDoc.h"
#include "document/PageOperations.h"
#include "folder/CFolderFrame.h"
#include "folder/CFolderTabCtrl.h"
#include "frames/CChildFrame.h"
#include "view/CTavloView.h"

class PageOptions : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        child = new CChildFrame;
        doc = child->document();
        tabs = child->folderFrame()->tabCtrl();
    }
    void TearDown() override {
        doc->SetModifiedFlag(false);
        delete child;
    }
    std::vector<std::string> names() const {
        std::vector<std::string> v;
        for (int i = 0; i < tabs->itemCount(); ++i)
            v.push_back(tabs->itemName(i));
        return v;
    }
    using Names = std::vector<std::string>;
    CChildFrame* child = nullptr;
    CTavloDoc* doc = nullptr;
    CFolderTabCtrl* tabs = nullptr;
};

TEST_F(PageOptions, AddNumbersAutomatically) {
    EXPECT_EQ(names(), Names{"页1"});
    addNumberedPage(*doc);
    addNumberedPage(*doc);
    EXPECT_EQ(names(), (Names{"页1", "页2", "页3"}));
    EXPECT_EQ(tabs->currentTab(), 2);
    EXPECT_EQ(child->view()->getCurrentPage(), doc->shapeData().managers[2]);
    EXPECT_EQ(doc->shapeData().pageCount(), 3);
}

TEST_F(PageOptions, AddRenumbersAroundTypedNames) {
    addNumberedPage(*doc);
    addNumberedPage(*doc);
    renamePage(*doc, 1, "目标");
    addNumberedPage(*doc);
    EXPECT_EQ(names(), (Names{"页1", "目标", "页2", "页3"}));
    EXPECT_EQ(doc->shapeData().pageCustomName(1), 1);
}

TEST_F(PageOptions, DeleteKeepsOnePageAndShowsTheFollowingPage) {
    EXPECT_FALSE(deleteCurrentPage(*doc)) << "the only page stays";
    EXPECT_EQ(doc->shapeData().pageCount(), 1);

    addNumberedPage(*doc);
    addNumberedPage(*doc);
    ZN_ShapeManager* second = doc->shapeData().managers[1];
    tabs->selectTab(0);
    ASSERT_TRUE(deleteCurrentPage(*doc));
    EXPECT_EQ(names(), (Names{"页1", "页2"}));
    EXPECT_EQ(tabs->currentTab(), 0);
    EXPECT_EQ(child->view()->getCurrentPage(), second);

    tabs->selectTab(1);
    ASSERT_TRUE(deleteCurrentPage(*doc));
    EXPECT_EQ(tabs->currentTab(), 0) << "deleting the last page steps back";
    EXPECT_EQ(child->view()->getCurrentPage(), second);
}

TEST_F(PageOptions, MoveCarriesNameContentsAndFlag) {
    addNumberedPage(*doc);
    addNumberedPage(*doc);
    renamePage(*doc, 2, "结论");
    ZN_ShapeManager* typed = doc->shapeData().managers[2];
    EXPECT_FALSE(moveCurrentPage(*doc, 1)) << "already last";
    ASSERT_TRUE(moveCurrentPage(*doc, -1));
    ASSERT_TRUE(moveCurrentPage(*doc, -1));
    EXPECT_FALSE(moveCurrentPage(*doc, -1)) << "already first";
    EXPECT_EQ(names(), (Names{"结论", "页1", "页2"}));
    EXPECT_EQ(doc->shapeData().managers[0], typed);
    EXPECT_EQ(doc->shapeData().pageCustomName(0), 1);
    EXPECT_EQ(child->view()->getCurrentPage(), typed);
    addNumberedPage(*doc);
    EXPECT_EQ(names(), (Names{"结论", "页1", "页2", "页3"}));
}

TEST_F(PageOptions, DialogRenamesAsYouTypeAndMarksTabsWithoutSwitchingTheView) {
    CDlgDocOption dialog(doc, child->folderFrame());
    dialog.button(1007)->click();
    dialog.button(1007)->click();
    EXPECT_TRUE(doc->isModified());
    EXPECT_EQ(dialog.pageList()->count(), 3);
    EXPECT_EQ(dialog.pageList()->currentRow(), 2);

    ZN_ShapeManager* shown = child->view()->getCurrentPage();
    dialog.pageList()->setCurrentRow(0);
    EXPECT_EQ(tabs->currentTab(), 0);
    EXPECT_EQ(child->view()->getCurrentPage(), shown) << "the view keeps its page";
    EXPECT_EQ(dialog.nameEdit()->text(), "页1");

    doc->SetModifiedFlag(false);
    dialog.nameEdit()->selectAll();
    QTest::keyClicks(dialog.nameEdit(), "AB");
    EXPECT_EQ(tabs->itemName(0), "AB");
    EXPECT_EQ(doc->shapeData().pageCustomName(0), 1);
    EXPECT_EQ(dialog.pageList()->item(0)->text(), "AB");
    EXPECT_TRUE(doc->isModified());

    dialog.button(1012)->click();
    EXPECT_EQ(names(), (Names{"页1", "页2"}));
}

TEST_F(PageOptions, ShowTabsCheckBoxHidesAndShowsTheTabs) {
    CDlgDocOption dialog(doc, child->folderFrame());
    EXPECT_EQ(dialog.showTabsBox()->isChecked(), child->folderFrame()->tabsShown());
    dialog.showTabsBox()->setChecked(true);
    dialog.showTabsBox()->click();
    EXPECT_FALSE(child->folderFrame()->tabsShown());
    EXPECT_FALSE(doc->isModified()) << "showing tabs is not a change of the document";
    dialog.button(1007)->click();
    EXPECT_TRUE(child->folderFrame()->tabsShown()) << "adding a page shows the tabs";
    EXPECT_TRUE(dialog.showTabsBox()->isChecked());
}

// The names belong to the document: a document with no window keeps them
// through every page operation, a replacement by a file read whole and a
// save, as a recovery copy or the command line writes it.
TEST(PageNames, ADocumentWithoutAWindowKeepsAndWritesItsNames) {
    testApp();
    CTavloDoc doc;
    ZShapeData& data = doc.shapeData();
    data.addPage("页1");
    EXPECT_EQ(addNumberedPage(doc), 1);
    renamePage(doc, 1, "目标");
    addNumberedPage(doc);
    ASSERT_EQ(data.pageCount(), 3);
    EXPECT_EQ(data.pageName(1), "目标");
    EXPECT_EQ(data.pageCustomName(1), 1);
    EXPECT_EQ(data.pageName(2), "页2");
    data.swapPages(0, 1);
    EXPECT_EQ(data.pageName(0), "目标");

    const std::string path = tempDir() + "/names.tvx";
    ASSERT_TRUE(doc.saveTo(QString::fromStdString(path)));
    TvxDocument read;
    ASSERT_EQ(readTvxFile(path, read), TvxStatus::Ok);
    ASSERT_EQ(read.pages.size(), 3u);
    EXPECT_EQ(read.pages[0].name, "目标");
    EXPECT_EQ(read.pages[0].customName, 1);
    EXPECT_EQ(read.pages[1].name, "页1");
    EXPECT_EQ(read.pages[2].name, "页2");

    // Replaced by what was read: the names come with the pages.
    CTavloDoc other;
    other.shapeData().addPage("旧");
    other.shapeData().replacePages(read);
    ASSERT_EQ(other.shapeData().pageCount(), 3);
    EXPECT_EQ(other.shapeData().pageName(0), "目标");
    EXPECT_EQ(other.shapeData().pageCustomName(0), 1);
    EXPECT_EQ(other.shapeData().pageRefs()[2].name, "页2");
    // Out of range there is no name, and no page is touched.
    EXPECT_EQ(other.shapeData().pageName(3), "");
    other.shapeData().removePage(7);
    EXPECT_EQ(other.shapeData().pageCount(), 3);
    doc.SetModifiedFlag(false);
    other.SetModifiedFlag(false);
}

TEST_F(PageOptions, TheTabsFollowTheDocumentsNames) {
    doc->shapeData().addPage("外来", 1);
    EXPECT_EQ(names(), (Names{"页1", "外来"}));
    doc->shapeData().setPageName(0, "首页", 1);
    doc->shapeData().swapPages(0, 1);
    EXPECT_EQ(names(), (Names{"外来", "首页"}));
    doc->shapeData().removePage(0);
    EXPECT_EQ(names(), Names{"首页"});
}
