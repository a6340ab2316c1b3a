#include "SceneFixture.h"

#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_Markers.h>
#include <sarvik/ZN_NodeMarks.h>

#include <cmath>

namespace {

class MarkRenderTest : public SceneFixture {
protected:
    ZN_NRect* addBox(ZN_NodeFields fields) {
        auto* b = new ZN_NRect();
        b->setPoint1(ZVector2(20, 40));
        b->setPoint2(ZVector2(140, 90));
        b->setFields(std::move(fields));
        page.addShape(b);
        return b;
    }
    // Whether some pixel of the mark's square has about the colour.
    bool markShows(const ZN_Mark& mark, const ZRGBA& colour, int tolerance = 24) const {
        const ZVector2 offset = getScallPosition();
        const int x0 = static_cast<int>(std::floor(mark.min.X() - offset.X()));
        const int y0 = static_cast<int>(std::floor(mark.min.Y() - offset.Y()));
        const int x1 = static_cast<int>(std::ceil(mark.max.X() - offset.X()));
        const int y1 = static_cast<int>(std::ceil(mark.max.Y() - offset.Y()));
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (x >= 0 && y >= 0 && x < kWidth && y < kHeight &&
                    near(px(x, y), colour, tolerance))
                    return true;
        return false;
    }
};

constexpr ZRGBA kNoteYellow{255, 237, 140, 255};
constexpr ZRGBA kLinkBlue{38, 102, 217, 255};
constexpr ZRGBA kPriorityRed{219, 51, 46, 255};
constexpr ZRGBA kFlagGreen{51, 178, 76, 255};
constexpr ZRGBA kStarGold{255, 199, 25, 255};
constexpr ZRGBA kTagSlate{107, 133, 163, 255};

} // namespace

TEST_F(MarkRenderTest, NoteLinkAndMarkersAreDrawnWhereTheyStand) {
    ZN_NodeFields f;
    f.note = "a note";
    f.link = "https://example.org";
    f.markers = {"priority-1", "flag-green", "star", "someone-elses-icon"};
    ZN_NRect* box = addBox(f);
    drawFrame();
    const std::vector<ZN_Mark> marks = ZN_NodeMarks(*box);
    ASSERT_EQ(marks.size(), 6u);
    EXPECT_TRUE(markShows(marks[0], kPriorityRed));
    EXPECT_TRUE(markShows(marks[0], kWhite, 40)) << "the digit";
    EXPECT_TRUE(markShows(marks[1], kFlagGreen));
    EXPECT_TRUE(markShows(marks[2], kStarGold));
    EXPECT_TRUE(markShows(marks[3], kTagSlate));
    EXPECT_EQ(marks[4].kind, ZN_MarkKind::Link);
    EXPECT_TRUE(markShows(marks[4], kLinkBlue, 40));
    EXPECT_TRUE(markShows(marks[5], kNoteYellow));
    // The note mark stands above the box's top edge, on the white canvas.
    EXPECT_TRUE(near(px(126, 36), kNoteYellow, 24)) << px(126, 36);

    // The view offset moves the marks with the box.
    setScallPosition(ZVector2(10.0f, 20.0f));
    drawFrame();
    EXPECT_TRUE(markShows(marks[5], kNoteYellow));
    EXPECT_TRUE(markShows(marks[0], kPriorityRed));
}

TEST_F(MarkRenderTest, HiddenBoxesAndBoxesWithoutMarksDrawNone) {
    ZN_NodeFields f;
    f.note = "n";
    f.markers = {"priority-1"};
    ZN_NRect* box = addBox(f);
    const std::vector<ZN_Mark> marks = ZN_NodeMarks(*box);
    box->setShow(false);
    drawFrame();
    EXPECT_TRUE(allPixels(kWhite));

    box->setShow(true);
    ZN_NodeFields quiet;
    quiet.attributes = {{"a", "b"}};
    box->setFields(quiet);
    drawFrame();
    EXPECT_FALSE(markShows(marks[0], kPriorityRed));
    EXPECT_TRUE(near(px(126, 36), kWhite));
}

TEST_F(MarkRenderTest, EveryMarkerOfTheSetDrawsSomething) {
    for (const ZN_MarkerInfo& info : ZN_MarkerSet()) {
        SCOPED_TRACE(std::string(info.name));
        page.clear();
        ZN_NodeFields f;
        f.markers = {std::string(info.name)};
        ZN_NRect* box = addBox(f);
        drawFrame();
        const ZN_Mark mark = ZN_NodeMarks(*box).at(0);
        int inked = 0;
        for (int y = static_cast<int>(mark.min.Y()); y < static_cast<int>(mark.max.Y()); ++y)
            for (int x = static_cast<int>(mark.min.X()); x < static_cast<int>(mark.max.X()); ++x)
                inked += near(px(x, y), kWhite, 10) ? 0 : 1;
        EXPECT_GT(inked, 20);
    }
}
