// Maps of other programs in the editor: importing one as a new document that
// never writes over its source, exporting a page's trees, pasting text as a
// tree and laying out subtrees, each edit one undo step.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QApplication>

#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZMessage.h>

#include "CommandFixture.h"
#include "TestSupport.h"
#include "commands/CommandIds.h"
#include "commands/ExportCommands.h"
#include "commands/InterchangeCommands.h"
#include "dialogs/CDlgExport.h"
#include "dialogs/FileDialogs.h"
#include "frames/CChildFrame.h"
#include "frames/CMainFrame.h"
#include "view/CTavloView.h"
#include "document/TvxContainer.h"
#include "interchange/Interchange.h"

namespace {

const char* const kMap = "<map version=\"1.0.1\">\n"
                         "<node TEXT=\"根\">\n"
                         "<node TEXT=\"甲\"><icon BUILTIN=\"idea\"/></node>\n"
                         "<node TEXT=\"乙\" FOLDED=\"true\"><node TEXT=\"丙\"/></node>\n"
                         "</node>\n"
                         "</map>\n";

QString writeText(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

std::vector<ZN_ShapeBase*> ofType(const ZN_ShapeManager& page, int type) {
    std::vector<ZN_ShapeBase*> out;
    for (ZN_ShapeBase* s : page.getShapeList())
        if (s->type() == type)
            out.push_back(s);
    return out;
}

std::string labelOf(const ZN_ShapeBase* s) {
    const auto* box = dynamic_cast<const ZN_NRect*>(s);
    return box && box->getLabel() ? std::string(box->getLabel()->getText()) : std::string();
}

// The boxes below `parent` through its connectors, in output order.
std::vector<ZN_ShapeBase*> childrenOf(const ZN_ShapeBase* parent) {
    std::vector<ZN_ShapeBase*> out;
    for (const ZN_ShapeBase* line : parent->outputs())
        for (ZN_ShapeBase* child : line->outputs())
            out.push_back(child);
    return out;
}

void label(ZN_NRect* box, const char* text) {
    auto* l = new ZN_SText();
    l->setText(text);
    l->setHost(box);
    box->setLabel(l);
}

bool overlap(const ZN_ShapeBase* a, const ZN_ShapeBase* b) {
    return a->getPoint1().X() < b->getPoint2().X() && b->getPoint1().X() < a->getPoint2().X() &&
           a->getPoint1().Y() < b->getPoint2().Y() && b->getPoint1().Y() < a->getPoint2().Y();
}

QString g_suggested;
QString g_answer;
QString answerFileName(QWidget*, const QString& suggestion) {
    g_suggested = suggestion;
    return g_answer;
}

} // namespace

TEST_F(MainWindowFixture, AnImportedMapIsANewUntitledDocumentThatNeverWritesOverItsSource) {
    const QString dir = QString::fromStdString(tempDir());
    const QString source = writeText(dir + "/plan.v2.mm", kMap);
    const int before = static_cast<int>(frame->children().size());
    CChildFrame* child = frame->openDocumentFile(source);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(static_cast<int>(frame->children().size()), before + 1);
    CTavloDoc* doc = child->document();
    EXPECT_TRUE(doc->pathName().isEmpty());
    EXPECT_EQ(doc->title(), "plan.v2");
    EXPECT_EQ(frame->statusBar()->currentMessage(), "已导入 4 个节点"); // the icon is a marker
    ASSERT_EQ(doc->shapeData().pageCount(), 1);
    EXPECT_EQ(ofType(*doc->shapeData().managers[0], 7).size(), 4u);
    // Opening it again imports it again rather than finding a document of that name.
    CChildFrame* again = frame->openDocumentFile(source);
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, child);

    // Saving asks for a .tvx name beside the source; a name of a map kind gets .tvx added.
    CChildFrame::setAskFileName(answerFileName);
    g_answer = dir + "/plan.v2.mm";
    EXPECT_TRUE(child->save());
    CChildFrame::setAskFileName(nullptr);
    EXPECT_EQ(g_suggested, QDir(dir).filePath("plan.v2.tvx"));
    EXPECT_EQ(doc->pathName(), dir + "/plan.v2.mm.tvx");
    QFile kept(source);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray(kMap));
    EXPECT_EQ(doc->title(), "plan.v2.mm.tvx");
    TvxDocument reread;
    EXPECT_EQ(readTvxFile((dir + "/plan.v2.mm.tvx").toStdString(), reread), TvxStatus::Ok);
}

TEST_F(MainWindowFixture, TheImportNoteOutlivesButtonTipsAndGoesWithSaveOrTheNextFile) {
    const QString dir = QString::fromStdString(tempDir());
    const QString source = writeText(dir + "/notes.mm", kMap);
    ASSERT_NE(frame->openDocumentFile(source), nullptr);
    QStatusBar* bar = frame->statusBar();
    const QString note = bar->currentMessage();
    EXPECT_TRUE(note.startsWith("已导入")) << note.toStdString();

    // The pointer over a toolbar button shows its tip; leaving it, the note
    // is back.
    QStatusTipEvent tip("新建文档");
    QApplication::sendEvent(frame->toolbar(0), &tip);
    EXPECT_EQ(bar->currentMessage(), "新建文档");
    QStatusTipEvent gone{QString()};
    QApplication::sendEvent(frame->toolbar(0), &gone);
    EXPECT_EQ(bar->currentMessage(), note);

    // Saved, the document is no longer the import the note speaks of.
    CChildFrame::setAskFileName(answerFileName);
    g_answer = dir + "/notes.tvx";
    frame->saveActiveDocument();
    CChildFrame::setAskFileName(nullptr);
    EXPECT_TRUE(frame->fileNote().isEmpty());
    EXPECT_EQ(bar->currentMessage(), "就绪");
    QApplication::sendEvent(frame->toolbar(0), &gone);
    EXPECT_TRUE(bar->currentMessage().isEmpty());

    // Imported again, then another file opened: the note goes as well.
    ASSERT_NE(frame->openDocumentFile(source), nullptr);
    EXPECT_EQ(bar->currentMessage(), note);
    ASSERT_NE(frame->openDocumentFile(dir + "/notes.tvx"), nullptr);
    EXPECT_TRUE(frame->fileNote().isEmpty());
    EXPECT_NE(bar->currentMessage(), note);
}

TEST_F(MainWindowFixture, AnImportedMapOpensFittedOrAtFullSizeAroundItsRoot) {
    const QString dir = QString::fromStdString(tempDir());
    // Small: fitted, never above 100 %, in the middle of the window.
    CChildFrame* small = frame->openDocumentFile(writeText(dir + "/small.mm", kMap));
    ASSERT_NE(small, nullptr);
    CTavloView* view = small->view();
    view->repaint();
    QTRY_VERIFY(view->getZoom() == 1.0f && view->scrollPosition() != QPoint(0, 0));
    const ZN_ShapeManager& page = *view->getCurrentPage();
    auto onScreenIn = [](const CTavloView* view, const ZN_ShapeBase* s) {
        const ZVector2 offset = view->viewOffset();
        const float z = view->getZoom();
        return QRectF((s->getPoint1().X() - offset.X()) * z, (s->getPoint1().Y() - offset.Y()) * z,
                      (s->getPoint2().X() - s->getPoint1().X()) * z,
                      (s->getPoint2().Y() - s->getPoint1().Y()) * z);
    };
    auto onScreen = [&](const ZN_ShapeBase* s) { return onScreenIn(view, s); };
    for (ZN_ShapeBase* box : ofType(page, 7)) {
        if (box->getShow()) {
            EXPECT_TRUE(QRectF(view->rect()).contains(onScreen(box))) << labelOf(box);
        }
    }

    // Too big to read fitted: at 100 %, its root in the middle of the window
    // as the window finally stands, not as it stood at the first frame.
    QByteArray outline = "<opml version=\"2.0\"><head/><body><outline text=\"根\">\n";
    for (int i = 0; i < 300; ++i)
        outline += "<outline text=\"子" + QByteArray::number(i) + "\"/>\n";
    outline += "</outline></body></opml>\n";
    CChildFrame* big = frame->openDocumentFile(writeText(dir + "/big.opml", outline));
    ASSERT_NE(big, nullptr);
    CTavloView* bigView = big->view();
    const ZN_ShapeBase* root = nullptr;
    for (ZN_ShapeBase* box : ofType(*bigView->getCurrentPage(), 7))
        if (labelOf(box) == "根")
            root = box;
    ASSERT_NE(root, nullptr);
    QTRY_VERIFY(bigView->isVisible() && bigView->getZoom() == 1.0f &&
                bigView->scrollPosition() != QPoint(0, 0));
    auto expectRootInTheMiddle = [&](const char* when) {
        const QPointF middle = QRectF(bigView->rect()).center();
        const QPointF rootMiddle = onScreenIn(bigView, root).center();
        EXPECT_LE(std::abs(rootMiddle.x() - middle.x()), 2.0) << when << rootMiddle.x();
        EXPECT_LE(std::abs(rootMiddle.y() - middle.y()), 2.0) << when << rootMiddle.y();
    };
    expectRootInTheMiddle("opened: ");
    // A window given its size after the first frame (maximised by the window
    // manager, say) keeps the root in the middle.
    const QSize before = bigView->size();
    frame->resize(1400, 1000);
    QTRY_VERIFY(bigView->size() != before);
    QCoreApplication::processEvents();
    expectRootInTheMiddle("resized: ");
}

TEST_F(MainWindowFixture, AMapThatCannotBeReadOpensNothingAndNamesFileAndLine) {
    const QString dir = QString::fromStdString(tempDir());
    const struct {
        QString path;
        const char* where;
    } cases[] = {
        {writeText(dir + "/broken.mm", "<map version=\"1.0.1\">\n<node TEXT=\"a\">\n</map>\n"),
         "第 3 行"},
        {writeText(dir + "/bad.opml", "<opml>\n<body><outline text=\"a\"></body>\n</opml>"),
         "第 2 行"},
        {dir + "/missing.md", ""},
    };
    for (const auto& c : cases) {
        const int before = static_cast<int>(frame->children().size());
        EXPECT_EQ(frame->openDocumentFile(c.path), nullptr) << c.path.toStdString();
        EXPECT_EQ(static_cast<int>(frame->children().size()), before);
        const QString message = QString::fromStdString(ZLastMessageText());
        EXPECT_TRUE(message.startsWith("无法导入文件\n")) << message.toStdString();
        EXPECT_TRUE(message.contains(c.path)) << message.toStdString();
        EXPECT_TRUE(message.contains(c.where)) << message.toStdString();
    }
}

TEST(InterchangeUi, OpenOffersEverySupportedKindFirstAndSaveAsOnlyDocuments) {
    testApp();
    const auto open = makeFileDialog(nullptr, "打开", QString(), openFileTypes(), false);
    const auto* types = open->findChild<QComboBox*>("fileTypeCombo");
    ASSERT_NE(types, nullptr);
    EXPECT_EQ(types->itemText(0), "所有支持的文件");
    for (const char* kind : {"*.tvx", "*.mm", "*.xmind", "*.opml", "*.md", "*.txt"})
        EXPECT_TRUE(open->nameFilters().at(0).contains(kind)) << kind;
    EXPECT_EQ(types->itemText(types->count() - 1), "所有文件 (*.*)");
    for (const FileType& type : documentFileTypes())
        EXPECT_EQ(QString(type.pattern).contains(".mm"), false);
    for (const FileType& type : importFileTypes())
        EXPECT_FALSE(QString(type.pattern).contains(".tvx"));
}

TEST_F(CommandFixture, APagesTreesExportAsAMapAndAFailedWriteLeavesNoFile) {
    ZN_NRect* root = addRect(*page, 0, 0, 80, 30);
    ZN_NRect* leaf = addRect(*page, 200, 0, 280, 30);
    join(root, leaf);
    label(root, "根");
    label(leaf, "叶");
    auto* free = new ZN_SText();
    free->setText("自由");
    page->addShape(free);
    const QString dir = QString::fromStdString(tempDir());
    for (int format :
         {ExportChoices::Mm, ExportChoices::Opml, ExportChoices::Markdown, ExportChoices::Text}) {
        const QString path = dir + "/out." + exportSuffix(format);
        QString summary, failure;
        ASSERT_TRUE(exportMapPage(*page, "页1", format, path, summary, failure)) << format;
        EXPECT_EQ(summary, "已导出 2 个节点；未导出：1 个自由文本");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        interchange::MapDocument map;
        interchange::ReadError error;
        ASSERT_TRUE(interchange::readMap(file.readAll(),
                                         interchange::formatOfPath(path.toStdString()), map, error))
            << path.toStdString() << ": " << error.reason;
        EXPECT_EQ(map.nodeCount(), 2) << format;
    }
    const QString nowhere = dir + "/no/such/folder/out.mm";
    QString summary, failure;
    EXPECT_FALSE(exportMapPage(*page, "页1", ExportChoices::Mm, nowhere, summary, failure));
    EXPECT_TRUE(failure.startsWith("导出失败，未写入文件")) << failure.toStdString();
    EXPECT_FALSE(QFile::exists(nowhere));
}

TEST(InterchangeUi, TheExportDialogKeepsMapsToTheWholePage) {
    testApp();
    CDlgExport dialog;
    dialog.selectionAvailable = true;
    dialog.choices.format = ExportChoices::Opml;
    dialog.choices.selectionOnly = true;
    dialog.loadControls();
    EXPECT_EQ(dialog.formatGroup()->checkedId(), ExportChoices::Opml);
    EXPECT_EQ(dialog.extentGroup()->checkedId(), 0);
    EXPECT_FALSE(dialog.extentGroup()->button(1)->isEnabled());
    EXPECT_FALSE(dialog.scaleBox()->isEnabled());
    dialog.formatGroup()->button(ExportChoices::Png)->click();
    EXPECT_TRUE(dialog.extentGroup()->button(1)->isEnabled());
}

TEST_F(CommandFixture, TextPastedAsATreeHangsBelowTheSelectedBoxInOneUndoStep) {
    ZN_NRect* top = addRect(*page, 100, 100, 180, 130);
    select({top});
    const int undoBefore = snapshots();
    EXPECT_EQ(pasteTreeText(*view, "甲\n\t甲一\n\t甲二\n乙\n", ZVector2(0, 0)), 4);
    EXPECT_EQ(snapshots(), undoBefore + 1);
    EXPECT_TRUE(modified());
    const std::vector<ZN_ShapeBase*> kids = childrenOf(top);
    ASSERT_EQ(kids.size(), 2u);
    EXPECT_EQ(labelOf(kids[0]), "甲");
    EXPECT_EQ(labelOf(kids[1]), "乙");
    EXPECT_EQ(childrenOf(kids[0]).size(), 2u);
    // Laid out to the right of the parent, none over another.
    const std::vector<ZN_ShapeBase*> boxes = ofType(*page, 7);
    ASSERT_EQ(boxes.size(), 5u);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (boxes[i] != top) {
            EXPECT_GT(boxes[i]->getPoint1().X(), top->getPoint2().X());
        }
        for (std::size_t j = i + 1; j < boxes.size(); ++j)
            EXPECT_FALSE(overlap(boxes[i], boxes[j])) << i << " " << j;
    }
    // The new branches are the selection.
    EXPECT_EQ(view->getSelection().size(), 2u);

    run(cmd::Undo);
    EXPECT_EQ(page->getShapeList().size(), 1u);
}

TEST_F(CommandFixture, AMarkdownListPastedWithNothingSelectedStartsAtThePoint) {
    EXPECT_EQ(pasteTreeText(*view, "- one\n  - two\n- three\n", ZVector2(500, 300)), 3);
    const std::vector<ZN_ShapeBase*> boxes = ofType(*page, 7);
    ASSERT_EQ(boxes.size(), 3u);
    float minX = 1e9f, minY = 1e9f;
    for (const ZN_ShapeBase* b : boxes) {
        minX = std::min(minX, b->getPoint1().X());
        minY = std::min(minY, b->getPoint1().Y());
    }
    EXPECT_NEAR(minX, 500.0f, 0.5f);
    EXPECT_NEAR(minY, 300.0f, 0.5f);
    ASSERT_EQ(labelOf(boxes[0]), "one");
    ASSERT_EQ(childrenOf(boxes[0]).size(), 1u);
    EXPECT_EQ(labelOf(childrenOf(boxes[0])[0]), "two");

    // Nothing to paste changes nothing and takes no undo step.
    const int undoBefore = snapshots();
    const std::size_t shapes = page->getShapeList().size();
    for (const char* text : {"", "  \n\n", "\t"})
        EXPECT_EQ(pasteTreeText(*view, text, ZVector2(0, 0)), 0) << text;
    EXPECT_EQ(snapshots(), undoBefore);
    EXPECT_EQ(page->getShapeList().size(), shapes);
}

TEST_F(CommandFixture, AutoLayoutTidiesTheSelectedSubtreesInOneUndoStep) {
    // A root with four children heaped on one another and a grandchild left of its parent.
    ZN_NRect* root = addRect(*page, 300, 300, 380, 330);
    std::vector<ZN_NRect*> kids;
    for (int i = 0; i < 4; ++i) {
        kids.push_back(
            addRect(*page, 420.0f + i * 5, 310.0f + i * 3, 500.0f + i * 5, 340.0f + i * 3));
        join(root, kids.back());
    }
    ZN_NRect* grand = addRect(*page, 200, 500, 280, 530);
    join(kids[1], grand);
    ZN_NRect* stranger = addRect(*page, 900, 900, 980, 930);

    const int undoBefore = snapshots();
    view->clearSelection();
    EXPECT_EQ(autoLayoutSelection(*view), 0);
    EXPECT_EQ(snapshots(), undoBefore);

    select({root, kids[1]});
    EXPECT_EQ(autoLayoutSelection(*view), 1);
    EXPECT_EQ(snapshots(), undoBefore + 1);
    const std::vector<ZN_ShapeBase*> boxes = ofType(*page, 7);
    for (std::size_t i = 0; i < boxes.size(); ++i)
        for (std::size_t j = i + 1; j < boxes.size(); ++j)
            EXPECT_FALSE(overlap(boxes[i], boxes[j])) << i << " " << j;
    EXPECT_FLOAT_EQ(root->getPoint1().X(), 300.0f);
    EXPECT_GT(grand->getPoint1().X(), kids[1]->getPoint2().X());
    for (int i = 1; i < 4; ++i)
        EXPECT_GT(kids[i]->getPoint1().Y(), kids[i - 1]->getPoint1().Y());
    EXPECT_FLOAT_EQ(stranger->getPoint1().X(), 900.0f);

    run(cmd::Undo);
    EXPECT_FLOAT_EQ(ofType(*page, 7)[1]->getPoint1().X(), 420.0f);
}

TEST_F(CommandFixture, TheTreeCommandsRunFromTheirMenuItems) {
    ZN_NRect* root = addRect(*page, 300, 300, 380, 330);
    join(root, addRect(*page, 310, 310, 390, 340));
    select({root});
    frame->runCommand(cmd::AutoLayout);
    EXPECT_EQ(snapshots(), 1);
    EXPECT_EQ(frame->action(cmd::PasteAsTree)->shortcut(), QKeySequence("Ctrl+Shift+V"));
}

// An export never replaces the file its document was imported from, says
// what replacing another map would lose, and first offers a free name
// beside the source.
TEST_F(MainWindowFixture, AnExportNeverReplacesItsSourceAndSaysWhatReplacingLoses) {
    const QString dir = QString::fromStdString(tempDir());
    const QByteArray noted = "<map><node TEXT=\"根\"><richcontent TYPE=\"NOTE\"><html><body><p>备注</p>"
                             "</body></html></richcontent><node TEXT=\"甲\"/></node></map>";
    const QString source = writeText(dir + "/notes.mm", noted);
    writeText(dir + "/notes (2).mm", "taken");
    ASSERT_NE(frame->openDocumentFile(source), nullptr);
    QString started, warned, asked, answer;
    bool replace = false;
    commandPrompts().warning = [&](QWidget*, const QString& message) { warned = message; };
    commandPrompts().confirm = [&](QWidget*, const QString& question) {
        asked = question;
        return replace;
    };
    commandPrompts().exportPath = [&](QWidget*, const QString& start, const QString&) {
        started = start;
        return answer;
    };
    commandPrompts().runDialog = [](QDialog& d) {
        auto& dialog = dynamic_cast<CDlgExport&>(d);
        dialog.loadControls();
        dialog.formatGroup()->button(ExportChoices::Mm)->click();
        dialog.accept();
        return true;
    };
    storeExportFolder(QDir::homePath());
    answer = source;
    handlers::fileExport(*frame, cmd::Export);
    resetCommandPrompts();
    EXPECT_EQ(started, dir + "/notes (3).mm") << "beside the source, under a free name";
    EXPECT_TRUE(warned.contains("导入")) << warned.toStdString();
    EXPECT_TRUE(warned.contains("notes (3).mm")) << "another name is offered: " << warned.toStdString();
    QFile kept(source);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), noted);

    // Another map that holds what the export will not: asked first, with the
    // loss named, and kept when the answer is no.
    const QString other = writeText(dir + "/other.txt", "根\n\t甲\n\t乙\n\t丙\n");
    commandPrompts().warning = [&](QWidget*, const QString& message) { warned = message; };
    commandPrompts().confirm = [&](QWidget*, const QString& question) {
        asked = question;
        return replace;
    };
    commandPrompts().exportPath = [&](QWidget*, const QString&, const QString&) { return other; };
    commandPrompts().runDialog = [](QDialog& d) {
        auto& dialog = dynamic_cast<CDlgExport&>(d);
        dialog.loadControls();
        dialog.formatGroup()->button(ExportChoices::Text)->click();
        dialog.accept();
        return true;
    };
    warned.clear();
    handlers::fileExport(*frame, cmd::Export);
    EXPECT_TRUE(asked.contains("2 个节点")) << asked.toStdString();
    EXPECT_TRUE(warned.isEmpty()) << warned.toStdString();
    QFile untouched(other);
    ASSERT_TRUE(untouched.open(QIODevice::ReadOnly));
    EXPECT_EQ(untouched.readAll(), QByteArray("根\n\t甲\n\t乙\n\t丙\n"));
    replace = true;
    handlers::fileExport(*frame, cmd::Export);
    resetCommandPrompts();
    QFile replaced(other);
    ASSERT_TRUE(replaced.open(QIODevice::ReadOnly));
    EXPECT_EQ(replaced.readAll(), QByteArray("根\n\t甲\n"));
}
