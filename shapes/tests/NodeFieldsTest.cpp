#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_Markers.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_ShapeManager.h>

#include <gtest/gtest.h>

namespace {

ZN_NodeFields sampleFields() {
    ZN_NodeFields f;
    f.note = "first line\nsecond line";
    f.link = "https://example.org/";
    f.markers = {"priority-1", "star", "bookmark"};
    f.attributes = {{"owner", "Li"}, {"owner", "Wang"}};
    f.anchor = "ID_7";
    f.layout = ZN_Layout::MindMap;
    return f;
}

ZN_ShapeBase* firstShape(ZN_ShapeManager& page) { return page.getShapeList().front(); }

} // namespace

TEST(NodeFields, EmptyFieldsAreNoFieldsAndCopiesShareUntilOneIsChanged) {
    ZN_NRect box;
    EXPECT_FALSE(box.hasFields());
    EXPECT_TRUE(box.getFields().empty());
    box.setFields(ZN_NodeFields{});
    EXPECT_FALSE(box.hasFields());

    box.setFields(sampleFields());
    ASSERT_TRUE(box.hasFields());
    std::unique_ptr<ZN_ShapeBase> copy(box.clone());
    EXPECT_EQ(copy->sharedFields(), box.sharedFields());

    ZN_NodeFields changed = copy->getFields();
    changed.note = "other";
    copy->setFields(changed);
    EXPECT_EQ(box.getFields().note, "first line\nsecond line");
    EXPECT_EQ(copy->getFields().note, "other");

    ZN_NLine line;
    box.deepCopy(&line); // a copy onto another kind still carries the fields
    EXPECT_EQ(line.getFields(), box.getFields());
}

TEST(NodeFields, UndoAndRedoBringBackTheFieldsOfEachState) {
    ZN_ShapeManager page;
    auto* box = new ZN_NRect();
    box->setPoint2(ZVector2(80.0f, 40.0f));
    page.addShape(box);

    page.getUndoRedo()->copyAllTooplist(true);
    box->setFields(sampleFields());
    page.getUndoRedo()->copyAllTooplist(true);
    ZN_NodeFields second = sampleFields();
    second.markers = {"task-done"};
    box->setFields(second);

    ASSERT_TRUE(page.getUndoRedo()->unDo());
    EXPECT_EQ(firstShape(page)->getFields(), sampleFields());
    ASSERT_TRUE(page.getUndoRedo()->unDo());
    EXPECT_FALSE(firstShape(page)->hasFields());
    ASSERT_TRUE(page.getUndoRedo()->reDo());
    ASSERT_TRUE(page.getUndoRedo()->reDo());
    EXPECT_EQ(firstShape(page)->getFields().markers, std::vector<std::string>{"task-done"});
}

TEST(NodeFields, MarkerNamesKnowTheirGroups) {
    EXPECT_EQ(ZN_MarkerGroupOf("priority-9"), ZN_MarkerGroup::Priority);
    EXPECT_EQ(ZN_MarkerGroupOf("progress-100"), ZN_MarkerGroup::Progress);
    EXPECT_EQ(ZN_MarkerGroupOf("flag-purple"), ZN_MarkerGroup::Flag);
    EXPECT_EQ(ZN_MarkerGroupOf("bookmark"), ZN_MarkerGroup::Other);
    EXPECT_EQ(ZN_MarkerTitle("bookmark"), "bookmark");
    EXPECT_TRUE(ZN_MarkerIsExclusive(ZN_MarkerGroup::Priority));
    EXPECT_FALSE(ZN_MarkerIsExclusive(ZN_MarkerGroup::Symbol));
    EXPECT_EQ(ZN_LinkedAnchor("#ID_7"), "ID_7");
    EXPECT_EQ(ZN_LinkedAnchor("https://example.org/#top"), "");
}
