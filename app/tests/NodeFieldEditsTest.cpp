// Edits of nodes' fields below the windows: markers toggled as a group's
// rules say, boxes making room for them, links checked before they are kept
// or opened, anchors, and notes searched beside the labels.

#include <gtest/gtest.h>

#include <QDir>

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_NodeMarks.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>

#include "TestSupport.h"
#include "document/NodeFieldEdits.h"
#include "document/TextSearch.h"

namespace {

using Markers = std::vector<std::string>;

Markers toggled(Markers markers, const char* name) {
    toggleMarker(markers, name);
    return markers;
}

ZN_NodeFields withMarkers(Markers m) {
    ZN_NodeFields f;
    f.markers = std::move(m);
    return f;
}

void labelOf(ZN_ShapeBase* node, const char* text) {
    auto* label = static_cast<ZN_SText*>(ZN_ShapeBase::createShape(5));
    label->setRect(node->getPoint1(), node->getPoint1() + ZVector2(30, 12));
    label->setHost(node);
    node->setLabel(label);
    label->setText(text);
    label->setFont(label->getFont());
    node->resetLabelPosition();
}

} // namespace

TEST(NodeFieldEdits, MarkersOfAGroupReplaceEachOtherInPlaceAndOthersAdd) {
    EXPECT_EQ(toggled({}, "star"), (Markers{"star"}));
    EXPECT_EQ(toggled({"star", "idea"}, "star"), (Markers{"idea"}));
    // A priority takes the place of the one it replaces.
    EXPECT_EQ(toggled({"priority-1", "star"}, "priority-3"), (Markers{"priority-3", "star"}));
    EXPECT_EQ(toggled({"task-done"}, "task-undone"), (Markers{"task-undone"}));
    EXPECT_EQ(toggled({"flag-red", "progress-25"}, "flag-blue"), (Markers{"flag-blue", "progress-25"}));
    // A file may bring two of a group; setting one leaves one.
    EXPECT_EQ(toggled({"flag-red", "x", "flag-green"}, "flag-blue"), (Markers{"flag-blue", "x"}));
    // Symbols and other programs' icons stand side by side.
    EXPECT_EQ(toggled({"someone-elses"}, "question"), (Markers{"someone-elses", "question"}));
}

TEST(NodeFieldEdits, ToggledOnASelectionTheMarkerGoesOnlyWhenEveryBoxHasIt) {
    ZN_ShapeManager page;
    ZN_NRect* a = addRect(page, 0, 0, 60, 30);
    ZN_NRect* b = addRect(page, 100, 0, 160, 30);
    auto* line = ZN_ShapeBase::createShape(1); // takes no fields
    page.addShape(line);
    a->setFields(withMarkers({"star"}));
    std::vector<ZN_ShapeBase*> nodes{a, b, line};
    EXPECT_EQ(toggleMarkerOn(nodes, "star"), 1); // b lacked it
    EXPECT_EQ(a->getFields().markers, (Markers{"star"}));
    EXPECT_EQ(b->getFields().markers, (Markers{"star"}));
    EXPECT_FALSE(line->hasFields());
    EXPECT_EQ(toggleMarkerOn(nodes, "star"), 2);
    EXPECT_FALSE(a->hasFields()) << "nothing left is no fields at all";
    EXPECT_EQ(toggleMarkerOn({line}, "star"), 0);
}

TEST(NodeFieldEdits, BoxesMakeRoomForTheirMarkers) {
    ZN_ShapeManager page;
    ZN_NRect* labelled = addRect(page, 0, 0, 40, 20);
    labelOf(labelled, "label");
    ZN_NRect* bare = addRect(page, 200, 0, 240, 20);
    const float width = labelled->getPoint2().X() - labelled->getPoint1().X();
    ASSERT_TRUE(setNodeFields(*labelled, withMarkers({"priority-1", "star", "idea"})));
    const float strip = ZN_MarkerStripWidth(3);
    EXPECT_GE(labelled->getPoint2().X() - labelled->getPoint1().X(),
              std::max(width, labelled->getLabel()->getPoint2().X() -
                                  labelled->getLabel()->getPoint1().X() + strip) - 0.5f);
    // The markers lie inside the box, before the label.
    for (const ZN_Mark& m : ZN_NodeMarks(*labelled)) {
        if (m.kind != ZN_MarkKind::Marker)
            continue;
        EXPECT_GE(m.min.X(), labelled->getPoint1().X() - 0.01f);
        EXPECT_LE(m.max.X(), labelled->getLabel()->getPoint1().X());
    }
    const float bareWidth = bare->getPoint2().X() - bare->getPoint1().X();
    ASSERT_TRUE(setNodeFields(*bare, withMarkers({"flag-red", "star"})));
    EXPECT_FLOAT_EQ(bare->getPoint2().X() - bare->getPoint1().X(), bareWidth + ZN_MarkerStripWidth(2));
    EXPECT_FALSE(setNodeFields(*bare, withMarkers({"flag-red", "star"}))) << "no change";
}

TEST(NodeFieldEdits, LinksAreCheckedAsTypedAndResolvedBeforeTheyOpen) {
    QString why;
    EXPECT_EQ(normaliseLink("  https://example.org/a b  "), "https://example.org/a b");
    EXPECT_EQ(normaliseLink("www.example.org"), "https://www.example.org");
    EXPECT_EQ(normaliseLink("MAILTO:ann@example.org"), "MAILTO:ann@example.org");
    EXPECT_EQ(normaliseLink("docs/plan.pdf"), "docs/plan.pdf");
    EXPECT_EQ(normaliseLink("C:\\notes.txt"), "C:\\notes.txt");
    EXPECT_EQ(normaliseLink("javascript:alert(1)", &why), "");
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(normaliseLink("data:text/html,x"), "");
    EXPECT_EQ(normaliseLink("a\nb"), "");
    EXPECT_EQ(normaliseLink("   "), "");
    EXPECT_EQ(normaliseLink("#"), "");

    EXPECT_EQ(linkKind("#ID_3"), LinkKind::Node);
    EXPECT_EQ(linkKind(""), LinkKind::None);
    EXPECT_EQ(linkKind("vbscript:x"), LinkKind::Unsupported);

    EXPECT_EQ(linkTarget("https://example.org/x?q=1", "/base"), QUrl("https://example.org/x?q=1"));
    EXPECT_EQ(linkTarget("mailto:ann@example.org", ""), QUrl("mailto:ann@example.org"));
    EXPECT_EQ(linkTarget("sub/../plan.pdf", "/base/maps"), QUrl::fromLocalFile("/base/maps/plan.pdf"));
    EXPECT_EQ(linkTarget("/abs/file.txt", ""), QUrl::fromLocalFile("/abs/file.txt"));
    EXPECT_EQ(linkTarget("~/x.txt", ""), QUrl::fromLocalFile(QDir::homePath() + "/x.txt"));
    EXPECT_EQ(linkTarget("file:///tmp/a.txt", ""), QUrl("file:///tmp/a.txt"));
    // Nothing that may not be opened, nor a relative path without a folder.
    EXPECT_FALSE(linkTarget("plan.pdf", "").isValid());
    EXPECT_FALSE(linkTarget("javascript:alert(1)", "/base").isValid());
    EXPECT_FALSE(linkTarget("#ID_1", "/base").isValid());
}

TEST(NodeFieldEdits, AnchorsAreFoundOnEveryPageAndNewOnesAreFree) {
    ZN_ShapeManager first, second;
    addRect(first, 0, 0, 10, 10);
    ZN_NRect* named = addRect(second, 0, 0, 10, 10);
    ZN_NRect* other = addRect(second, 20, 0, 30, 10);
    ZN_NodeFields f;
    f.anchor = "ID_2";
    named->setFields(f);
    f.anchor = "ID_3";
    other->setFields(f);
    const std::vector<ZN_ShapeManager*> pages{&first, &second};
    const AnchoredNode found = findAnchoredNode(pages, "ID_3");
    EXPECT_EQ(found.page, 1);
    EXPECT_EQ(found.shape, other);
    EXPECT_EQ(findAnchoredNode(pages, "ID_9").shape, nullptr);
    EXPECT_EQ(findAnchoredNode(pages, "").shape, nullptr);
    const std::string fresh = freshAnchor(pages);
    EXPECT_NE(fresh, "ID_2");
    EXPECT_NE(fresh, "ID_3");
    EXPECT_EQ(findAnchoredNode(pages, fresh).shape, nullptr);
}

TEST(NodeFieldEdits, NotesAreSearchedAfterTheLabelOfTheirNodeOnlyWhenAsked) {
    ZN_ShapeManager page;
    ZN_NRect* both = addRect(page, 0, 0, 60, 30);
    labelOf(both, "Budget");
    ZN_NodeFields f;
    f.note = "first line\nthe BUD\nGET is due";
    both->setFields(f);
    ZN_NRect* noteOnly = addRect(page, 100, 0, 160, 30);
    f.note = "budget review";
    noteOnly->setFields(f);

    const TextFinder finder("budget", false);
    std::vector<TextMatch> plain;
    findInPage(page, 0, finder, plain);
    ASSERT_EQ(plain.size(), 1u);
    std::vector<TextMatch> all;
    findInPage(page, 0, finder, all, true);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].kind, MatchKind::Label);
    EXPECT_EQ(all[1].shape, both);
    EXPECT_EQ(all[1].kind, MatchKind::Note);
    EXPECT_EQ(all[2].shape, noteOnly);
    EXPECT_EQ(findInPages({&page}, finder, true).size(), 3u);

    // Where the match lies: across a line break and in another case.
    std::size_t begin = 0, end = 0;
    ASSERT_TRUE(finder.locate(both->getFields().note, begin, end));
    EXPECT_EQ(both->getFields().note.substr(begin, end - begin), "BUD\nGET");
    ASSERT_TRUE(TextFinder("界", true).locate("世界和平", begin, end));
    EXPECT_EQ(begin, 3u);
    EXPECT_EQ(end, 6u);
    EXPECT_FALSE(TextFinder("Budget", true).locate("budget", begin, end));

    std::vector<QRectF> outlined;
    outlinesInView(page, TextFinder("review", false), ZVector2(-10, -10), ZVector2(500, 500),
                   outlined, true);
    EXPECT_EQ(outlined.size(), 1u);
    outlinesInView(page, TextFinder("review", false), ZVector2(-10, -10), ZVector2(500, 500),
                   outlined);
    EXPECT_TRUE(outlined.empty());
}
