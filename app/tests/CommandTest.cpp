// The commands on a page: their table rows, the style commands with their
// snapshots, undo and redo, pictures and answers.

#include <QAction>
#include <QFont>
#include <QImage>
#include <QLineEdit>
#include <QMenu>

#include "ZTestJpeg.h"
#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>

#include "CommandFixture.h"
#include "commands/CommandIds.h"
#include "commands/CommandTable.h"
#include "commands/PrintCommands.h"
#include "dialogs/CValueDialogs.h"
#include "frames/CTavloApp.h"

namespace {

ZN_NRect* addBox(ZN_ShapeManager& page, int type, float x) {
    auto* box = static_cast<ZN_NRect*>(ZN_ShapeBase::createShape(type));
    box->setPoint1(ZVector2(x, 10));
    box->setPoint2(ZVector2(x + 40, 40));
    page.addShape(box);
    return box;
}

ZN_NPoint* addPoint(ZN_ShapeManager& page) {
    auto* p = static_cast<ZN_NPoint*>(ZN_ShapeBase::createShape(2));
    p->setCoord(ZVector2(500, 500));
    page.addShape(p);
    return p;
}

void expectColor(const ZVector3& c, float r, float g, float b) {
    EXPECT_FLOAT_EQ(c.X(), r);
    EXPECT_FLOAT_EQ(c.Y(), g);
    EXPECT_FLOAT_EQ(c.Z(), b);
}

const MenuEntry* findPopup(const std::vector<MenuEntry>& items, const char* title) {
    for (const MenuEntry& e : items) {
        if (e.popup && std::string(e.popup) == title)
            return &e;
        if (const MenuEntry* inner = findPopup(e.items, title))
            return inner;
    }
    return nullptr;
}

} // namespace

TEST(CommandRows, IdsTextsPromptsKeysAndSnapshotRules) {
    struct Row {
        int id;
        const char* text;
        const char* prompt;
        Snapshot snapshot;
    };
    const Row rows[] = {
        {57643, "撤消(&U)\tCtrl+Z", "撤消上一个操作\n撤消", Snapshot::No},
        {57644, "重做", "重做上次撤消的操作\n重做", Snapshot::No},
        {57637, "粘贴(&P)\tCtrl+V", "插入剪贴板内容\n粘贴", Snapshot::Before},
        {32771, "清除", "清除选中对象\n清除", Snapshot::Before},
        {32867, "自定义大小", "设置选中的点的大小\n点大小设置", Snapshot::AfterOk},
        {32864, "树点(鼠标控制)", nullptr, Snapshot::Before},
        {32869, "渐变", "设置选中线条的设置粗细渐变及颜色渐变\n粗细渐变及颜色渐变",
         Snapshot::AfterOk},
        {32871, "水平偏移量", nullptr, Snapshot::AfterOk},
        {32880, "加截图片", nullptr, Snapshot::No},
        {32912, "渐变颜色", nullptr, Snapshot::AfterOk},
        {32920, "无渐变", nullptr, Snapshot::No},
        {32781, "文字颜色", "设置选中框或文本的文字颜色\n文字颜色", Snapshot::No},
        {32780, "字体", "设置选中对象的字体\n字体", Snapshot::AfterOk},
        {32784, "收缩子对象", "将选中对象的所有子对象隐蔽\n收缩子对象", Snapshot::Before},
        {32942, "绑定答案", nullptr, Snapshot::No},
        {32803, "高度一致", "将几个选中的框对象高度一致\n高度一致", Snapshot::Before},
        {32899, "直线分式式", "将选中的线条重置折点\n直线分支式", Snapshot::No},
        {32840, "父子绑定拖动", "拖动对象时，子对象是否一起带动\n父子绑定拖动", Snapshot::No},
        {32878, "文档选项(&D)...\tCtrl+Shift+D", nullptr, Snapshot::No},
    };
    for (const Row& r : rows) {
        const CommandDef* def = findCommand(r.id);
        ASSERT_NE(def, nullptr) << r.id;
        EXPECT_STREQ(def->text, r.text) << r.id;
        if (r.prompt)
            EXPECT_STREQ(def->prompt, r.prompt) << r.id;
        else
            EXPECT_EQ(def->prompt, nullptr) << r.id;
        EXPECT_EQ(def->snapshot, r.snapshot) << r.id;
        EXPECT_NE(def->handler, nullptr) << r.id;
    }
    // Every editing command of the menus does something.
    for (int id = 32771; id <= 32950; ++id) {
        if (const CommandDef* def = findCommand(id)) {
            EXPECT_NE(def->handler, nullptr) << id;
        }
    }
    EXPECT_EQ(findCommand(cmd::DocOption)->keys, nullptr) << "Ctrl+Shift+D is only shown";
    EXPECT_STREQ(findCommand(cmd::Undo)->keys, "Ctrl+Z;Alt+Backspace");
    EXPECT_STREQ(findCommand(cmd::Cut)->keys, "Ctrl+X;Shift+Del");
    EXPECT_STREQ(findCommand(cmd::Paste)->keys, "Ctrl+V;Shift+Ins");
    EXPECT_STREQ(findCommand(cmd::Redo)->keys, "Ctrl+Y");
    EXPECT_STREQ(findCommand(cmd::Print)->keys, "Ctrl+P");

    const MenuEntry* modes = findPopup(documentMenuBar(), "渐变方式");
    ASSERT_NE(modes, nullptr);
    std::vector<int> order;
    for (const MenuEntry& e : modes->items)
        order.push_back(e.id);
    EXPECT_EQ(order, (std::vector<int>{32921, 32922, 32923, 32924, 32925, 0, 32920}));
    std::vector<int> context;
    for (const MenuEntry& e : contextMenu().items)
        context.push_back(e.id);
    EXPECT_EQ(context, (std::vector<int>{32782, 32783, 32784, 0, 32949, 32950}));
}

class Commands : public CommandFixture {};

TEST_F(Commands, FrameModeChangesRectanglesEllipsesAndRoundRectanglesOnly) {
    std::vector<ZN_NRect*> all;
    float x = 10;
    for (int type : {7, 8, 9, 10, 12, 13}) {
        all.push_back(addBox(*page, type, x));
        x += 60;
    }
    view->clearSelection();
    for (ZN_NRect* b : all)
        view->addToSelection(b);
    run(cmd::RectUnderline);
    for (ZN_NRect* b : all)
        EXPECT_EQ(b->getRectShowtype(), b->type() <= 9 ? 1 : 0) << b->type();
    EXPECT_EQ(snapshots(), 1);
    EXPECT_TRUE(modified());
    run(cmd::RectFrame);
    for (ZN_NRect* b : all)
        EXPECT_EQ(b->getRectShowtype(), 0);
    EXPECT_EQ(snapshots(), 2);
}

TEST_F(Commands, GradientColourSwitchesPlainBoxesToLeftRightAndNoGradientKeepsTheColour) {
    ZN_NRect* plain = addBox(*page, 7, 10);
    ZN_NRect* ringed = addBox(*page, 10, 100);
    ringed->setGradualType(1);
    ZN_NLine* line = join(plain, ringed);
    select({plain, ringed, line});

    nextColor = QColor(); // cancelled: nothing happens
    run(cmd::GradualColor);
    EXPECT_EQ(plain->getGradualType(), 0);
    EXPECT_EQ(snapshots(), 0);
    EXPECT_FALSE(modified());
    EXPECT_EQ(startColor, QColor(255, 255, 100));

    nextColor = QColor(0, 51, 255);
    run(cmd::GradualColor);
    EXPECT_EQ(plain->getGradualType(), 3);
    EXPECT_EQ(ringed->getGradualType(), 1);
    expectColor(plain->getGradualColor(), 0.0f, 0.2f, 1.0f);
    EXPECT_EQ(snapshots(), 1);

    child->document()->SetModifiedFlag(false);
    run(cmd::GradualNone);
    EXPECT_EQ(plain->getGradualType(), 0);
    EXPECT_EQ(ringed->getGradualType(), 0);
    expectColor(plain->getGradualColor(), 0.0f, 0.2f, 1.0f);
    EXPECT_EQ(snapshots(), 1) << "the gradient modes take no snapshot";
    EXPECT_TRUE(modified()) << "but they change what is saved";
}

TEST_F(Commands, ColoursReachTheKindsTheyNameWithOneSnapshot) {
    ZN_NRect* box = addBox(*page, 9, 10);
    ZN_NPoint* point = addPoint(*page);
    ZN_NLine* line = join(box, point);
    select({box, point, line});
    nextColor = QColor(255, 0, 51);
    run(cmd::FillColor);
    expectColor(box->getFillColor(), 1.0f, 0.0f, 0.2f);
    expectColor(point->getFillColor(), 1.0f, 0.0f, 0.2f);
    expectColor(line->getColor(), 0.0f, 0.0f, 0.0f);
    run(cmd::LineColor);
    expectColor(line->getColor(), 1.0f, 0.0f, 0.2f);
    expectColor(box->getColor(), 1.0f, 0.0f, 0.2f);
    EXPECT_EQ(snapshots(), 2);
    EXPECT_EQ(colorAsked, 2);
}

TEST_F(Commands, LineAndPointStylesWithUndoAndRedoCommands) {
    ZN_NRect* a = addBox(*page, 7, 10);
    ZN_NPoint* p = addPoint(*page);
    ZN_NLine* line = join(a, p);
    select({a, p, line});
    run(cmd::LineThick);
    run(cmd::LineCurve);
    run(cmd::PointTree);
    EXPECT_EQ(a->getLineWide(), 3);
    EXPECT_EQ(line->getLineWide(), 3);
    EXPECT_EQ(line->getStrightType(), 1);
    EXPECT_EQ(p->getStateType(), 1);
    EXPECT_EQ(snapshots(), 3);

    child->document()->SetModifiedFlag(false);
    run(cmd::Undo);
    EXPECT_TRUE(view->getSelection().empty());
    EXPECT_EQ(view->getHitShape(), nullptr);
    EXPECT_TRUE(modified());
    auto point = [this] {
        for (ZN_ShapeBase* s : page->getShapeList())
            if (s->type() == 2)
                return static_cast<ZN_NPoint*>(s);
        return static_cast<ZN_NPoint*>(nullptr);
    };
    ASSERT_NE(point(), nullptr);
    EXPECT_EQ(point()->getStateType(), 0);
    run(cmd::Redo);
    EXPECT_EQ(point()->getStateType(), 1);
    EXPECT_EQ(page->getUndoRedo()->redoCount(), 0);
}

TEST_F(Commands, ValueDialogCommandsApplyOnOkWithOneSnapshotAndNothingOnCancel) {
    ZN_NRect* a = addBox(*page, 7, 10);
    ZN_NRect* b = addBox(*page, 7, 100);
    ZN_NLine* line = join(a, b);
    select({a, line});

    run(cmd::LineArrow); // no answer: cancelled
    EXPECT_EQ(snapshots(), 0);
    EXPECT_EQ(line->getArrowType(), 0);

    int seenSize = 0;
    dialogAnswer = [&](QDialog& d) {
        auto& arrow = dynamic_cast<CDlgLineArrow&>(d);
        seenSize = arrow.arrowSize;
        arrow.loadControls();
        arrow.sizeEdit->setText("45");
        return arrow.saveControls();
    };
    run(cmd::LineArrow);
    EXPECT_EQ(seenSize, 30);
    EXPECT_EQ(line->getArrowSize(), 45);
    EXPECT_EQ(line->getArrowType(), 1);
    EXPECT_EQ(snapshots(), 1);

    dialogAnswer = [&](QDialog& d) {
        auto& wide = dynamic_cast<CDlgLineWide&>(d);
        seenSize = wide.width;
        wide.width = 7;
        return true;
    };
    run(cmd::LineWidth);
    EXPECT_EQ(seenSize, 2);
    EXPECT_EQ(a->getLineWide(), 7);
    EXPECT_EQ(line->getLineWide(), 7);

    dialogAnswer = [&](QDialog& d) {
        auto& g = dynamic_cast<CDlgLineGradual&>(d);
        g.gradualColor = 0;
        g.changeValue = 5;
        return true;
    };
    run(cmd::LineGradual);
    EXPECT_EQ(line->getbGradualWide(), 1);
    EXPECT_EQ(line->getbGradualColor(), 0);
    EXPECT_FLOAT_EQ(line->getGradualWide(), 5.0f);
    expectColor(line->getGradualColor(), 0.0f, 1.0f, 0.0f);

    dialogAnswer = [&](QDialog& d) {
        auto& o = dynamic_cast<CDlgLineOffsetH&>(d);
        EXPECT_EQ(o.offsetOn, 1);
        EXPECT_EQ(o.offset, 50);
        o.offset = -120;
        return true;
    };
    run(cmd::LineOffsetH);
    EXPECT_EQ(line->getbOffsetH(), 1);
    EXPECT_FLOAT_EQ(line->getOffsetH(), -120.0f);
    EXPECT_EQ(snapshots(), 4);
}

TEST_F(Commands, PicturesGoToPlainRectanglesAndOneFileIsOneTexture) {
    const std::string path = ZTestTempPath("command-picture.jpg");
    const std::vector<std::uint8_t> rgb(4 * 3 * 3, 128);
    ASSERT_TRUE(ZWriteTestFile(path, ZEncodeTestJpeg(4, 3, 3, rgb)));
    ZN_NRect* r1 = addBox(*page, 7, 10);
    ZN_NRect* ellipse = addBox(*page, 8, 100);
    ZN_NRect* r2 = addBox(*page, 7, 200);
    const std::size_t before = testApp().textures.size();

    nextPicture = QString::fromStdString(path);
    select({r1, ellipse});
    run(cmd::InsertPicture);
    ASSERT_NE(r1->getImageData(), nullptr);
    EXPECT_EQ(ellipse->getImageData(), nullptr);
    EXPECT_EQ(r1->getImageData()->getPath(), path);
    EXPECT_EQ(r1->getImageData()->getImageData()->getFileType(), 1);
    EXPECT_EQ(r1->getImageData()->getImageData()->getByteCount(), 3 * 12);
    EXPECT_EQ(snapshots(), 0);
    EXPECT_TRUE(modified());

    select({r2});
    run(cmd::InsertPicture);
    EXPECT_EQ(r2->getImageData(), r1->getImageData());
    EXPECT_EQ(testApp().textures.size(), before + 1);

    nextPicture = QString::fromStdString(ZTestTempPath("no-such-picture.jpg"));
    ZN_NRect* r3 = addBox(*page, 7, 300);
    select({r3});
    run(cmd::InsertPicture);
    EXPECT_EQ(r3->getImageData(), nullptr);
    EXPECT_EQ(testApp().textures.size(), before + 1);
}

TEST_F(Commands, BindAnswersTiesTheSelectedTextsToTheFirstTable) {
    auto* table = static_cast<ZN_NJiuGongGe*>(addBox(*page, 12, 10));
    auto* other = static_cast<ZN_NJiuGongGe*>(addBox(*page, 12, 100));
    auto* t1 = static_cast<ZN_SText*>(ZN_ShapeBase::createShape(5));
    auto* t2 = static_cast<ZN_SText*>(ZN_ShapeBase::createShape(5));
    page->addShape(t1);
    page->addShape(t2);
    select({t1, table, other, t2});
    run(cmd::BindAnswers);
    EXPECT_EQ(table->getAnswerList(), (std::list<ZN_ShapeBase*>{t1, t2}));
    EXPECT_TRUE(other->getAnswerList().empty());
    ASSERT_EQ(t1->answerHosts().size(), 1u);
    EXPECT_EQ(t1->answerHosts().front(), table);
    EXPECT_EQ(snapshots(), 0);
    EXPECT_TRUE(modified());

    select({table, t2});
    run(cmd::BindAnswers);
    EXPECT_EQ(table->getAnswerList(), (std::list<ZN_ShapeBase*>{t2}));
}

TEST_F(Commands, SelectAllTakesHiddenShapesAndClearReturnsToTheSelectTool) {
    ZN_NRect* a = addBox(*page, 7, 10);
    ZN_NRect* b = addBox(*page, 7, 100);
    b->setShow(false);
    view->setTool(viewtool::Rect);
    run(cmd::SelectAll);
    EXPECT_EQ(view->getSelection(), (std::list<ZN_ShapeBase*>{a, b}));
    EXPECT_EQ(snapshots(), 0);
    run(cmd::Clear);
    EXPECT_TRUE(page->getShapeList().empty());
    EXPECT_TRUE(view->getSelection().empty());
    EXPECT_EQ(view->getTool(), viewtool::Select);
    EXPECT_EQ(snapshots(), 1);
}

TEST_F(Commands, ArrangementAndLineLayoutActOnTheSelectionAndMarkTheDocument) {
    ZN_NRect* a = addBox(*page, 7, 10);
    ZN_NRect* b = addBox(*page, 7, 200);
    b->setPoint1(ZVector2(200, 300));
    b->setPoint2(ZVector2(260, 340));
    ZN_NLine* line = join(a, b);
    select({b, a});
    run(cmd::AlignLeft);
    EXPECT_FLOAT_EQ(a->getPoint1().X(), b->getPoint1().X());
    EXPECT_EQ(snapshots(), 1);
    run(cmd::LayerBottom);
    EXPECT_EQ(snapshots(), 2);

    child->document()->SetModifiedFlag(false);
    select({line});
    run(cmd::AutoPolyline);
    EXPECT_GT(line->getPointSize(), 2);
    EXPECT_EQ(snapshots(), 2) << "line layout takes no snapshot";
    EXPECT_TRUE(modified());
}

TEST_F(Commands, LabelsAlignHideAndTakeFontsAndTextColours) {
    ZN_NRect* box = addBox(*page, 7, 10);
    auto* label = static_cast<ZN_SText*>(ZN_ShapeBase::createShape(5));
    box->setLabel(label);
    label->setHost(box);
    auto* free = static_cast<ZN_SText*>(ZN_ShapeBase::createShape(5));
    page->addShape(free);
    select({box, free});

    run(cmd::TextRight);
    EXPECT_EQ(label->getTextAlignType(), 2);
    EXPECT_EQ(free->getTextAlignType(), 2);
    run(cmd::HideText);
    EXPECT_FALSE(label->getShow());
    EXPECT_TRUE(free->getShow()) << "a free text has no label to hide";
    run(cmd::ShowText);
    EXPECT_TRUE(label->getShow());
    EXPECT_EQ(snapshots(), 0);
    EXPECT_TRUE(modified());

    nextColor = QColor(0, 0, 255);
    run(cmd::FontColor);
    expectColor(label->getFontColor(), 0, 0, 1);
    expectColor(free->getFontColor(), 0, 0, 1);
    EXPECT_EQ(snapshots(), 0);

    QFont chosen("黑体");
    chosen.setPixelSize(24);
    chosen.setBold(true);
    const LOGFONTA font = logFontFromQFont(chosen);
    EXPECT_EQ(font.lfHeight, -24);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_STREQ(font.lfFaceName, "\xBA\xDA\xCC\xE5") << "face names are kept in code page 936";
    commandPrompts().font = [&](QWidget*, LOGFONTA& f) {
        f = font;
        return true;
    };
    run(cmd::Font);
    EXPECT_EQ(label->getFont().lfHeight, -24);
    EXPECT_EQ(free->getFont().lfWeight, FW_BOLD);
    EXPECT_EQ(snapshots(), 1);
}

TEST_F(Commands, APrintedPageIsThePageAsDrawnAroundItsShapes) {
    ZN_NRect* box = addBox(*page, 7, 100);
    box->setFillColor(ZVector3(1, 0, 0));
    QCoreApplication::processEvents();
    const QImage image = renderPageImage(*view);
    ASSERT_FALSE(image.isNull());
    // The box and its 2-pixel frame, which reaches 2 pixels beyond each side.
    EXPECT_EQ(image.width(), 44 + 2 * 20);
    EXPECT_EQ(image.height(), 34 + 2 * 20);
    EXPECT_EQ(QColor(image.pixel(2, 2)), QColor(Qt::white));
    EXPECT_EQ(QColor(image.pixel(42, 37)), QColor(Qt::red));
    // The window goes on drawing from its own corner.
    EXPECT_FLOAT_EQ(getScallPosition().X(), 0.0f);
}
