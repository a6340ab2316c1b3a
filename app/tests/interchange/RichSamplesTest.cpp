// Sample files made from the formats' documents, with notes, links, markers,
// attributes and pictures: what each reader keeps of them, field by field.

#include <sarvik/ZN_ShapeManager.h>

#include "InterchangeTestSupport.h"

#include "interchange/KityMinder.h"
#include "interchange/MapFields.h"
#include "interchange/TextDiagrams.h"
#include "interchange/XMind.h"

using namespace interchange;
using ictest::node;
using Markers = std::vector<std::string>;

namespace {

MapDocument readBeside(const std::string& name) {
    MapDocument doc;
    ReadError error;
    EXPECT_TRUE(readMap(ictest::sample(name), formatOfPath(name), doc, error,
                        std::string(TAVLO_INTERCHANGE_DATA)))
        << name << ": " << error.reason;
    return doc;
}

} // namespace

TEST(RichSamples, FreeplaneNotesIconsAttributesPicturesAndNodeLinks) {
    const MapDocument doc = readBeside("freeplane-rich.mm");
    const MapSheet& s = doc.sheets.at(0);
    EXPECT_EQ(ictest::outline(s), "[New Mindmap]([Notes and icons]([inherits the red edge])"
                                  "[Picture by hook][Picture in HTML][Picture that is not there]"
                                  "[is plain here])"); // TEXT that starts as HTML is HTML
    const MapNode& a = node(s, 1);
    EXPECT_EQ(a.fields.markers, (Markers{"priority-1", "task-done", "flag-green", "yes"}));
    EXPECT_EQ(a.fields.note, "First paragraph\nsecond & bold\nafter a break");
    EXPECT_EQ(a.fields.attributes, (std::vector<ZN_Attribute>{{"owner", "Ana"}, {"owner", "Bo"}}));
    // A branch takes its parent's edge where it gives none: colour from its
    // parent, width from the root.
    EXPECT_EQ(hexColour(node(s, 2).edgeColor), "#ff0000");
    EXPECT_EQ(node(s, 2).edgeWidth, 2);
    EXPECT_EQ(node(s, 2).fields.link, "#ID_b");
    EXPECT_EQ(node(s, 3).id, "ID_b");
    EXPECT_EQ(node(s, 3).fields.link, "https://example.org/page");
    // The hook's picture at half its size; the HTML one at the size it asks.
    EXPECT_EQ(imageKind(QByteArray::fromStdString(node(s, 3).image.bytes)), "png");
    EXPECT_EQ(node(s, 3).image.width, 4);
    EXPECT_EQ(node(s, 3).image.height, 3);
    EXPECT_EQ(node(s, 4).image.width, 10);
    EXPECT_TRUE(node(s, 5).image.empty());
    ASSERT_EQ(s.links.size(), 1u);
    EXPECT_EQ(s.links[0].title, "depends on");
    EXPECT_EQ(importSummary(doc.nodeCount(), doc.skipped), "已导入 7 个节点；未导入：1 个图片");
}

TEST(RichSamples, PicturesAreReadOnlyFromLocalPictureFiles) {
    MapImage image;
    const std::string folder = TAVLO_INTERCHANGE_DATA;
    EXPECT_TRUE(loadImageBeside(folder, "rich-pictures/green%20pic.png", image));
    EXPECT_TRUE(loadImageBeside(folder, "file://" + folder + "/rich-pictures/red.png", image));
    EXPECT_FALSE(loadImageBeside(folder, "outline.opml", image)); // not a picture
    EXPECT_FALSE(loadImageBeside(folder, "https://example.org/x.png", image));
    EXPECT_FALSE(loadImageBeside(folder, "rich-pictures", image)); // a folder
    EXPECT_FALSE(loadImageBeside("", "rich-pictures/red.png", image));
    int w = 0, h = 0;
    ASSERT_TRUE(imagePixelSize(image.bytes, w, h));
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 6);
}

TEST(RichSamples, XMindNotesMarkersLabelsPicturesCalloutsAndSummaries) {
    const MapDocument doc = ictest::read("rich.xmind");
    ASSERT_EQ(doc.sheets.size(), 1u);
    const MapSheet& s = doc.sheets[0];
    EXPECT_TRUE(s.named); // a single sheet keeps its title too
    EXPECT_EQ(pagesOf(doc).pages.at(0).name, "Only sheet");
    EXPECT_EQ(ictest::outline(s), "[Central]([With notes][HTML note and link][Picture]([A callout])"
                                  "[Web picture][Sum of a and b])");
    EXPECT_EQ(node(s, 0).fields.layout, ZN_Layout::OrgChart);
    const MapNode& a = node(s, 1);
    EXPECT_EQ(a.fields.note, "Plain note\nsecond line");
    EXPECT_EQ(a.fields.markers,
              (Markers{"priority-2", "progress-50", "star", "people-blue", "urgent", "Q3"}));
    EXPECT_EQ(node(s, 2).fields.note, "line one\nline two");
    EXPECT_EQ(node(s, 2).fields.link, "#a");
    EXPECT_EQ(node(s, 3).image.width, 40);
    EXPECT_FALSE(node(s, 3).image.empty());
    EXPECT_EQ(node(s, 4).fields.markers, (Markers{"callout"}));
    EXPECT_EQ(node(s, 6).fields.markers, (Markers{"summary"}));
    ASSERT_EQ(s.links.size(), 1u);
    EXPECT_EQ(s.links[0].title, "leads to");
    EXPECT_EQ(importSummary(doc.nodeCount(), doc.skipped), "已导入 7 个节点；未导入：1 个图片");
}

TEST(RichSamples, XMindEightBoundaryTitleIsNotATopicTitle) {
    const MapDocument doc = ictest::read("xmind8-rich.xmind");
    const MapSheet& s = doc.sheets.at(0);
    EXPECT_EQ(s.title, "画布 1");
    EXPECT_EQ(ictest::outline(s), "[中心主题]([分支主题 3-备注notes][Second][Callout text])");
    const MapNode& t = node(s, 1);
    EXPECT_EQ(t.fields.note, "备注 text");
    EXPECT_EQ(t.fields.link, "https://example.org");
    EXPECT_EQ(t.fields.markers, (Markers{"标签", "flag-red", "smiley-laugh"}));
    EXPECT_EQ(t.image.width, 20);
    EXPECT_FALSE(t.image.empty());
    EXPECT_EQ(node(s, 3).fields.markers, (Markers{"callout"}));
    EXPECT_EQ(node(s, 0).fields.layout, ZN_Layout::MindMap);
    ASSERT_EQ(s.links.size(), 1u);
    EXPECT_EQ(s.links[0].title, "rel title");
    EXPECT_EQ(doc.skipped.count(kClouds), 1); // the boundary
}

TEST(RichSamples, KityMinderNotesPicturePrioritiesProgressAndTags) {
    const MapDocument doc = ictest::read("rich.km");
    const MapSheet& s = doc.sheets.at(0);
    EXPECT_EQ(ictest::outline(s), "[百度脑图]([Done+]([hidden])[Half][Eighths])");
    const MapNode& root = node(s, 0);
    EXPECT_EQ(root.fields.note, "# Heading\n\n- a *Markdown* note");
    EXPECT_EQ(root.fields.markers, (Markers{"priority-1"}));
    EXPECT_EQ(root.fields.layout, ZN_Layout::LogicRight);
    EXPECT_EQ(root.image.width, 80);
    EXPECT_EQ(imageKind(QByteArray::fromStdString(root.image.bytes)), "png");
    EXPECT_EQ(node(s, 1).fields.markers, (Markers{"priority-2", "progress-100", "前端", "UI"}));
    EXPECT_EQ(node(s, 1).fields.link, "https://example.org");
    EXPECT_EQ(node(s, 3).fields.markers, (Markers{"progress-50"}));
    EXPECT_TRUE(node(s, 3).bold);
    EXPECT_EQ(hexColour(node(s, 3).background), "#ffcc00");
    EXPECT_EQ(node(s, 4).fields.markers, (Markers{"progress-12.5"}));
    EXPECT_EQ(doc.skipped.count(kImages), 1); // on the web

    const MapDocument old = ictest::read("v12.km");
    EXPECT_EQ(ictest::outline(old.sheets.at(0)), "[Old root]([old child])");
    EXPECT_FALSE(ictest::refusal("{\"root\": 3}", Format::KityMinder).reason.empty());
    EXPECT_FALSE(ictest::refusal("[1,2]", Format::KityMinder).reason.empty());
    EXPECT_EQ(ictest::refusal("{\n\"root\":\n", Format::KityMinder).line, 3);
}

TEST(RichSamples, MermaidShapesIconsClassesAndFrontMatter) {
    const MapDocument doc = ictest::read("shapes.mmd");
    const MapSheet& s = doc.sheets.at(0);
    EXPECT_EQ(ictest::outline(s),
              "[Circle root]([Plain default][Square][Rounded][Bang][Cloud][Hexagon]("
              "[Quoted \"text\" with # and\na break][A **markdown**\nstring])[tabbed child])");
    EXPECT_EQ(node(s, 0).shape, MapShape::Circle);
    EXPECT_EQ(node(s, 1).shape, MapShape::Default);
    EXPECT_EQ(node(s, 1).fields.markers, (Markers{"fa fa-book"}));
    const MapShape shapes[] = {MapShape::Rectangle, MapShape::Rounded, MapShape::Bang,
                               MapShape::Cloud, MapShape::Hexagon};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(node(s, 2 + i).shape, shapes[i]) << i;
    EXPECT_FALSE(ictest::refusal("graph TD\n  a --> b\n", Format::Mermaid).reason.empty());
}

TEST(RichSamples, PlantUmlDepthSidesColoursAndMultiLineTexts) {
    const MapDocument doc = ictest::read("shapes.puml");
    const MapSheet& s = doc.sheets.at(0);
    EXPECT_EQ(s.title, "Shapes and sides");
    EXPECT_EQ(ictest::outline(s), "[Root]([Right child]([Coloured][Boxless])[Multi\nline text]("
                                  "[Stereotyped])[Left child]([Left grandchild])[Also left])");
    EXPECT_EQ(hexColour(node(s, 2).background), "#ff8800");
    EXPECT_EQ(node(s, 1).side, 0);
    EXPECT_EQ(node(s, 6).side, -1);
    EXPECT_EQ(node(s, 8).side, -1); // after "left side"
    EXPECT_FALSE(ictest::refusal("@startuml\nA -> B\n@enduml\n", Format::PlantUml).reason.empty());
}

TEST(RichSamples, MarkmapSettingsFoldsNotesCodeTablesAndMermaidBlocks) {
    const MapDocument doc = ictest::read("markmap.md");
    const MapSheet& s = doc.sheets.at(0);
    // The front matter is not a node; level 2 and deeper start folded.
    EXPECT_EQ(ictest::outline(s),
              "[Root+]([Branch with a link]([Item one+]([deep+]([deeper]))[Item two+]([hidden])"
              "[Line one\nline two][From mermaid+]([child])))");
    EXPECT_EQ(node(s, 0).fields.note, "Note of the root.");
    const MapNode& branch = node(s, 1);
    EXPECT_EQ(branch.fields.link, "https://markmap.js.org/");
    EXPECT_EQ(branch.fields.note, "console.log('code is a note');\n\na | b\n1 | 2");
}

TEST(RichSamples, AMarkerUnderAnItemsTextLeavesTheTreeWhole) {
    // CommonMark reads the lone "-" under "a" as underlining it (an empty
    // item cannot interrupt a paragraph): the heading is still a's text.
    const MapDocument doc = ictest::read("empty-item.md");
    EXPECT_EQ(ictest::outline(doc.sheets.at(0)), "[a]([c])[d]");
}
