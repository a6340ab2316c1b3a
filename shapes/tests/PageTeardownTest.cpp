// Destroying a page, a snapshot or an undo state lets go of every shape in
// it. Shapes joined to one another must never reach a neighbour destroyed
// before them, whatever the order of the list and wherever their memory came
// from (the heap, a page read from a file, a snapshot's blocks). Under
// AddressSanitizer a read of a freed or released neighbour stops the test.

#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZFile.h>

#include <gtest/gtest.h>

#include <iterator>
#include <list>
#include <memory>
#include <vector>

namespace {

constexpr int kVersion = 8;

ZN_NRect* addBox(ZN_ShapeManager& page, float x) {
    auto* box = static_cast<ZN_NRect*>(ZN_ShapeBase::createShape(7));
    box->setPoint1(ZVector2(x, 0.0f));
    box->setPoint2(ZVector2(x + 40.0f, 20.0f));
    auto* label = new ZN_SText();
    label->setText("box");
    label->setRect(ZVector2(x, 0.0f), ZVector2(x + 40.0f, 20.0f));
    label->setHost(box);
    box->setLabel(label);
    page.addShape(box);
    return box;
}

ZN_NLine* connect(ZN_ShapeManager& page, ZN_ShapeBase* from, ZN_ShapeBase* to) {
    auto* line = new ZN_NLine();
    line->pushPointBack(ZVector2(0.0f, 10.0f));
    line->pushPointBack(ZVector2(100.0f, 10.0f));
    from->pushToOutput(line);
    line->pushToInput(from);
    line->pushToOutput(to);
    to->pushToInput(line);
    page.addShape(line);
    return line;
}

// Boxes, connectors between them (some listed before their ends, some after),
// a table with answers, one of them in a cell.
void fill(ZN_ShapeManager& page) {
    ZN_NRect* a = addBox(page, 0.0f);
    ZN_NRect* b = addBox(page, 100.0f);
    connect(page, a, b);
    ZN_NRect* c = addBox(page, 200.0f);
    connect(page, b, c);
    connect(page, c, a);
    std::list<ZN_ShapeBase*>& list = page.getShapeList();
    list.splice(list.begin(), list, std::prev(list.end())); // a connector drawn first
    auto* table = new ZN_NJiuGongGe();
    table->setPoint1(ZVector2(0.0f, 100.0f));
    table->setPoint2(ZVector2(90.0f, 160.0f));
    table->setSizeValue(2, 2);
    page.addShape(table);
    for (int i = 0; i < 3; ++i) {
        auto* text = new ZN_SText();
        text->setText("answer");
        text->setRect(ZVector2(200.0f, 100.0f + 20.0f * i), ZVector2(240.0f, 114.0f + 20.0f * i));
        page.addShape(text);
        table->addAnswerList(text);
        text->addAnswerHostList(table);
        if (i == 1)
            table->setJiuGongPtr(0, text);
    }
}

std::vector<std::uint8_t> bytesOf(ZN_ShapeManager& page) {
    auto file = ZFile::toMemory();
    page.writeFile(file.get(), kVersion);
    return file->takeBytes();
}

std::unique_ptr<ZN_ShapeManager> readBack(const std::vector<std::uint8_t>& bytes) {
    auto page = std::make_unique<ZN_ShapeManager>();
    auto file = ZFile::fromMemory(bytes);
    if (!page->readFile(file.get(), kVersion))
        return nullptr;
    return page;
}

} // namespace

// A link recorded on one side only (a fault elsewhere, or a caller that
// linked by hand) must not turn the page's destruction into a read of freed
// memory: the box goes first and the connector, which still names it, after.
TEST(PageTeardown, OneSidedLinkDoesNotReachADestroyedNeighbour) {
    for (int live = 0; live < 3; ++live) {
        auto page = std::make_unique<ZN_ShapeManager>();
        ZN_NRect* box = addBox(*page, 0.0f);
        ZN_NRect* other = addBox(*page, 100.0f);
        connect(*page, box, other);
        if (live > 0) {
            // The same page read from its bytes, and then a snapshot of it
            // made live by an undo: its shapes sit in the snapshot's blocks.
            page = readBack(bytesOf(*page));
            ASSERT_TRUE(page);
            if (live > 1) {
                page->getUndoRedo()->copyAllTooplist(true);
                page->getUndoRedo()->copyAllTooplist(true);
                ASSERT_TRUE(page->getUndoRedo()->unDo());
            }
        }
        const std::vector<ZN_ShapeBase*> shapes = page->getShapeArray();
        ASSERT_EQ(shapes.size(), 3u);
        ZN_ShapeBase* first = shapes[0];
        ZN_ShapeBase* line = shapes[2];
        ASSERT_EQ(line->type(), 1);
        // The box forgets the connector; the connector still lists the box.
        first->deleteOutput(line);
        ASSERT_EQ(line->inputs().size(), 1u);
        page.reset();
    }
}

// Pages read from files, snapshots of them, states dropped past the history's
// length, undo and redo in between: every way a page, a snapshot or a state
// goes, with the blocks released in different orders.
TEST(PageTeardown, PagesSnapshotsAndStatesGoInAnyOrder) {
    for (int order = 0; order < 4; ++order) {
        auto page = std::make_unique<ZN_ShapeManager>();
        fill(*page);
        page = readBack(bytesOf(*page));
        ASSERT_TRUE(page);
        ZNRedoUndo* history = page->getUndoRedo();
        const int snapshots = ZNRedoUndo::maxSnapshots + 3 + order;
        for (int i = 0; i < snapshots; ++i) {
            history->copyAllTooplist(true);
            addBox(*page, 300.0f + 50.0f * static_cast<float>(i));
        }
        for (int i = 0; i < 2 + order * 3; ++i)
            history->unDo();
        if (order % 2)
            history->reDo();
        if (order == 2)
            history->clearRedo();
        if (order == 3)
            page->clear();
        page.reset();
    }
}
