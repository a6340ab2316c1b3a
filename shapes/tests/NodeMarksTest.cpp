// Where a box's marks go, how the box makes room for its markers, and which
// mark a point finds.

#include <gtest/gtest.h>

#include <sarvik/ZDrawnExtent.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_NRectVariants.h>
#include <sarvik/ZN_NodeMarks.h>
#include <sarvik/ZN_SText.h>

#include <rulmek/zview.h>

#include <memory>

namespace {

// A 100 x 40 box at (0, 0) with a 30 x 10 label at its centre.
std::unique_ptr<ZN_NRect> labelledBox() {
    auto box = std::make_unique<ZN_NRect>();
    box->setPoint1(ZVector2(0, 0));
    box->setPoint2(ZVector2(100, 40));
    auto* label = new ZN_SText();
    label->setRect(ZVector2(35, 15), ZVector2(65, 25));
    label->setHost(box.get());
    box->setLabel(label);
    return box;
}

ZN_NodeFields withMarkers(std::vector<std::string> markers) {
    ZN_NodeFields f;
    f.markers = std::move(markers);
    return f;
}

} // namespace

TEST(NodeMarks, MarkersStandBeforeTheLabelAndTheBoxMakesRoomForThem) {
    auto box = labelledBox();
    const float strip = ZN_MarkerStripWidth(2);
    EXPECT_FLOAT_EQ(strip, 2 * kZN_MarkerSize + kZN_MarkerGap + kZN_MarkerLabelGap);
    EXPECT_FLOAT_EQ(ZN_MarkerStripWidth(0), 0.0f);

    box->setFields(withMarkers({"priority-1", "star"}));
    // A tight box: the row and the label, centred together, push its sides out.
    box->setPoint1(ZVector2(10, 16));
    box->setPoint2(ZVector2(90, 24));
    box->resetLabelPosition();
    const ZVector2 l1 = box->getLabel()->getPoint1();
    const ZVector2 l2 = box->getLabel()->getPoint2();
    EXPECT_FLOAT_EQ(l2.X() - l1.X(), 30.0f);
    EXPECT_FLOAT_EQ((l1.X() - strip + l2.X()) * 0.5f, 50.0f) << "row and label centred";
    EXPECT_FLOAT_EQ(box->getPoint1().X(), 10.0f);
    // The markers are taller than the label: the box grows to hold them.
    EXPECT_FLOAT_EQ(l1.Y(), 15.0f);
    EXPECT_FLOAT_EQ(box->getPoint1().Y(), 20.0f - kZN_MarkerSize * 0.5f);
    EXPECT_FLOAT_EQ(box->getPoint2().Y(), 20.0f + kZN_MarkerSize * 0.5f);

    const std::vector<ZN_Mark> marks = ZN_NodeMarks(*box);
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_EQ(marks[0].kind, ZN_MarkKind::Marker);
    EXPECT_EQ(marks[1].marker, 1);
    EXPECT_FLOAT_EQ(marks[1].max.X(), l1.X() - kZN_MarkerLabelGap);
    EXPECT_FLOAT_EQ(marks[0].min.X(), l1.X() - strip);
    EXPECT_FLOAT_EQ((marks[0].min.Y() + marks[0].max.Y()) * 0.5f, (l1.Y() + l2.Y()) * 0.5f);
    EXPECT_GE(marks[0].min.X(), box->getPoint1().X());

    // A resize keeps the arrangement; a box without markers is placed as always.
    box->change(ZVector2(30, 0), 6);
    EXPECT_FLOAT_EQ(ZN_NodeMarks(*box)[1].max.X(),
                    box->getLabel()->getPoint1().X() - kZN_MarkerLabelGap);
    auto plain = labelledBox();
    plain->setPoint2(ZVector2(40, 40));
    plain->resetLabelPosition();
    EXPECT_FLOAT_EQ(plain->getLabel()->getPoint1().X(), 5.0f);
    EXPECT_FLOAT_EQ(plain->getPoint1().X(), 0.0f);
}

TEST(NodeMarks, NoteAndLinkSitOnTheTopEdgeAtTheRightCorner) {
    auto box = labelledBox();
    ZN_NodeFields f;
    f.note = "n";
    box->setFields(f);
    std::vector<ZN_Mark> marks = ZN_NodeMarks(*box);
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0].kind, ZN_MarkKind::Note);
    EXPECT_LT(marks[0].max.X(), 100.0f);
    EXPECT_GT(marks[0].max.X(), 100.0f - kZN_CornerMarkSize);
    EXPECT_FLOAT_EQ(marks[0].min.Y() + marks[0].max.Y(), 0.0f) << "centred on the top edge";

    f.link = "https://example.org";
    box->setFields(f);
    marks = ZN_NodeMarks(*box);
    ASSERT_EQ(marks.size(), 2u);
    // The link is drawn first, left of the note.
    EXPECT_EQ(marks[0].kind, ZN_MarkKind::Link);
    EXPECT_EQ(marks[1].kind, ZN_MarkKind::Note);
    EXPECT_LT(marks[0].max.X(), marks[1].min.X());

    // A link alone takes the corner.
    f.note.clear();
    box->setFields(f);
    marks = ZN_NodeMarks(*box);
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0].kind, ZN_MarkKind::Link);
    EXPECT_GT(marks[0].max.X(), 100.0f - kZN_CornerMarkSize);
}

TEST(NodeMarks, OnlyBoxesWithNoteLinkOrMarkersHaveMarks) {
    auto box = labelledBox();
    EXPECT_FALSE(ZN_HasMarks(*box));
    ZN_NodeFields quiet;
    quiet.attributes = {{"a", "b"}};
    quiet.anchor = "x";
    box->setFields(quiet);
    EXPECT_FALSE(ZN_HasMarks(*box));
    EXPECT_TRUE(ZN_NodeMarks(*box).empty());

    ZN_NEllipse ellipse;
    ellipse.setPoint2(ZVector2(50, 50));
    ellipse.setFields(withMarkers({"idea"}));
    EXPECT_TRUE(ZN_HasMarks(ellipse));
    // Without a label the row is centred in the box.
    const ZN_Mark m = ZN_NodeMarks(ellipse).at(0);
    EXPECT_FLOAT_EQ(m.min.X() + m.max.X(), 50.0f);

    ZN_NLine line;
    ZN_NodeFields note;
    note.note = "on a line";
    line.setFields(note);
    EXPECT_FALSE(ZN_HasMarks(line));
}

TEST(NodeMarks, HitTestFindsTheMarkUnderAWindowPoint) {
    auto box = labelledBox();
    ZN_NodeFields f = withMarkers({"flag-red", "someone-elses-icon"});
    f.note = "n";
    f.link = "#a";
    box->setFields(f);
    box->resetLabelPosition();
    const std::vector<ZN_Mark> marks = ZN_NodeMarks(*box);
    ASSERT_EQ(marks.size(), 4u);
    auto centre = [](const ZN_Mark& m) { return (m.min + m.max) * 0.5f; };

    setScallPosition(ZVector2(-20.0f, 30.0f));
    const ZVector2 offset = getScallPosition();
    for (const ZN_Mark& m : marks) {
        const ZN_Mark hit = ZN_MarkAt(*box, centre(m) - offset);
        EXPECT_EQ(hit.kind, m.kind);
        EXPECT_EQ(hit.marker, m.marker);
    }
    EXPECT_EQ(ZN_MarkAt(*box, ZVector2(50, 20) - offset).kind, ZN_MarkKind::None) << "the label";
    EXPECT_EQ(ZN_MarkAt(*box, centre(marks[0])).kind, ZN_MarkKind::None) << "offset not applied";
    box->setShow(false);
    EXPECT_EQ(ZN_MarkAt(*box, centre(marks[0]) - offset).kind, ZN_MarkKind::None);
    setScallPosition(ZVector2(0.0f, 0.0f));
}

TEST(NodeMarks, DrawnExtentHoldsTheCornerMarks) {
    auto box = labelledBox();
    const float top = drawnExtent(*box).min.Y();
    ZN_NodeFields f;
    f.note = "n";
    box->setFields(f);
    EXPECT_LT(drawnExtent(*box).min.Y(), top);
    EXPECT_LE(drawnExtent(*box).min.Y(), -kZN_CornerMarkSize * 0.5f);
}
