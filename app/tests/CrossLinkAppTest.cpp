// Cross links and tree text in the editor: an imported cross link saved and
// opened again is still one, and a document without any is written as
// before; 复制为文本 puts the chosen subtrees on the clipboard in both forms,
// and 粘贴为树 makes the same trees of either.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include <algorithm>

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZFile.h>

#include "CommandFixture.h"
#include "TestSupport.h"
#include "commands/CommandIds.h"
#include "commands/InterchangeCommands.h"
#include "document/TvxContainer.h"
#include "interchange/Interchange.h"
#include "interchange/MapPage.h"

namespace {

using ByteVector = std::vector<std::uint8_t>;

ByteVector save(ZN_ShapeManager& page) {
    auto file = ZFile::toMemory();
    EXPECT_TRUE(writeTvx(*file, {{"页1", 0, &page}}, {}));
    return file->bytes();
}

ZN_ShapeBase* withText(ZN_ShapeManager& page, const std::string& text) {
    for (ZN_ShapeBase* s : page.getShapeList())
        if (s->type() != 1 && s->getLabel() && text == s->getLabel()->getText())
            return s;
    return nullptr;
}

std::string outlineOf(const interchange::MapSheet& sheet) {
    std::string out;
    std::vector<std::pair<int, int>> todo;
    for (auto it = sheet.roots.rbegin(); it != sheet.roots.rend(); ++it)
        todo.emplace_back(*it, 0);
    while (!todo.empty()) {
        auto [i, d] = todo.back();
        todo.pop_back();
        const interchange::MapNode& n = sheet.nodes[static_cast<std::size_t>(i)];
        out += std::string(static_cast<std::size_t>(d), '.') + n.text + "|";
        for (auto it = n.children.rbegin(); it != n.children.rend(); ++it)
            todo.emplace_back(*it, d + 1);
    }
    return out;
}

} // namespace

TEST(CrossLinkDocument, ACrossLinkSavedAndOpenedAgainIsStillOneAndWrittenAlike) {
    interchange::MapSheet sheet;
    const int root = sheet.add(-1, "root");
    const int a = sheet.add(root, "a");
    const int b = sheet.add(root, "b");
    sheet.add(a, "a1");
    sheet.links.push_back({b, a, "see"});
    std::unique_ptr<ZN_ShapeManager> page = interchange::buildPage(sheet);
    const ByteVector bytes = save(*page);

    TvxDocument doc;
    ASSERT_EQ(readTvx(*ZFile::fromMemory(bytes), doc), TvxStatus::Ok);
    ZN_ShapeManager& back = *doc.pages.at(0).manager;
    ZN_NLine* link = nullptr;
    for (ZN_ShapeBase* s : back.getShapeList())
        if (s->isCrossLink())
            link = static_cast<ZN_NLine*>(s);
    ASSERT_NE(link, nullptr);
    ASSERT_EQ(link->inputs().size(), 1u);
    EXPECT_EQ(link->inputs()[0], withText(back, "b"));
    EXPECT_EQ(link->outputs()[0], withText(back, "a"));

    // Still passed by when the source's parent folds its subtree, still
    // written out as a link, and saved again to the same bytes.
    back.shapeShrink(withText(back, "b"));
    EXPECT_TRUE(withText(back, "a1")->getShow());
    interchange::Skipped skipped;
    const interchange::MapSheet out = interchange::pageTrees(back, "页1", skipped);
    EXPECT_TRUE(skipped.empty());
    EXPECT_EQ(outlineOf(out), "root|.a|..a1|.b|");
    ASSERT_EQ(out.links.size(), 1u);
    EXPECT_EQ(out.links[0].title, "see");
    back.shapeSpread(withText(back, "b"));
    EXPECT_EQ(save(back), bytes);
}

TEST(CrossLinkDocument, OnlyAMapWithCrossLinksGetsTheirRecord) {
    interchange::MapSheet sheet;
    sheet.add(sheet.add(-1, "root"), "child");
    const std::string tag = "XLNK";
    auto has = [&](const ByteVector& bytes) {
        return std::search(bytes.begin(), bytes.end(), tag.begin(), tag.end()) != bytes.end();
    };
    EXPECT_FALSE(has(save(*interchange::buildPage(sheet))));
    sheet.links.push_back({1, 0, {}});
    EXPECT_TRUE(has(save(*interchange::buildPage(sheet))));
}

TEST_F(CommandFixture, CopyAsTextPutsBothFormsOnTheClipboardAndPastesBackTheSameTree) {
    ASSERT_EQ(pasteTreeText(*view, "甲\n\t甲一\n\t\t甲一一\n\t甲二\n乙\n", ZVector2(100, 100)), 5);
    ZN_ShapeBase* jia = withText(*page, "甲");
    ZN_ShapeBase* yi = withText(*page, "乙");
    ASSERT_TRUE(jia && yi);
    select({jia, withText(*page, "甲一"), yi});
    EXPECT_EQ(frame->action(cmd::CopyAsText)->shortcut(), QKeySequence("Ctrl+Shift+C"));
    frame->runCommand(cmd::CopyAsText);
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    ASSERT_TRUE(data->hasText());
    ASSERT_TRUE(data->hasFormat("text/markdown"));
    const QString plain = data->text();
    const QString markdown = QString::fromUtf8(data->data("text/markdown"));
    EXPECT_TRUE(markdown.contains("甲一一"));

    // Each form pasted onto an empty page gives the same two trees.
    for (const QString& text : {plain, markdown}) {
        view->clearSelection();
        const int made = pasteTreeText(*view, text, ZVector2(900, 900));
        EXPECT_EQ(made, 5) << text.toStdString();
    }
    interchange::Skipped skipped;
    const interchange::MapSheet all = interchange::pageTrees(*page, "页1", skipped);
    EXPECT_EQ(outlineOf(all), "甲|.甲一|..甲一一|.甲二|乙|甲|.甲一|..甲一一|.甲二|乙|甲|.甲一|..甲一一|.甲二|乙|");

    // Nothing chosen: the clipboard is left alone.
    view->clearSelection();
    QApplication::clipboard()->setText("kept");
    frame->runCommand(cmd::CopyAsText);
    EXPECT_EQ(QApplication::clipboard()->text(), "kept");
}
