// Sheets as pages and back: boxes, glued connectors, fold points, cross
// links, and the trip .mm -> page -> .tvx page record -> page -> .mm.

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZFile.h>

#include <algorithm>

#include "InterchangeTestSupport.h"

#include "interchange/FreeMind.h"
#include "interchange/MapPage.h"

using namespace interchange;

namespace {

int countType(const ZN_ShapeManager& page, int type) {
    int n = 0;
    for (const ZN_ShapeBase* s : page.getShapeList())
        n += s->type() == type;
    return n;
}

// The page record, with the fields a document keeps beside it (by the place
// of each shape in the list, as the document's extension block names them).
std::unique_ptr<ZN_ShapeManager> reread(ZN_ShapeManager& page) {
    auto out = ZFile::toMemory();
    EXPECT_TRUE(page.writeFile(out.get(), 8));
    auto back = std::make_unique<ZN_ShapeManager>();
    EXPECT_TRUE(back->readFile(ZFile::fromMemory(out->bytes()).get(), 8));
    const std::vector<ZN_ShapeBase*>& from = page.getShapeArray();
    const std::vector<ZN_ShapeBase*>& to = back->getShapeArray();
    EXPECT_EQ(from.size(), to.size());
    for (std::size_t i = 0; i < std::min(from.size(), to.size()); ++i)
        to[i]->setFields(from[i]->sharedFields());
    return back;
}

const ZN_ShapeBase* boxWithText(const ZN_ShapeManager& page, const std::string& text) {
    for (const ZN_ShapeBase* s : page.getShapeList())
        if (s->getLabel() && text == s->getLabel()->getText())
            return s;
    return nullptr;
}

} // namespace

TEST(MapPage, EveryNodeOneBoxEveryLinkOneGluedConnector) {
    const MapDocument doc = ictest::read("freemind08-html.mm");
    std::unique_ptr<ZN_ShapeManager> page = buildPage(doc.sheets[0]);
    EXPECT_EQ(countType(*page, 7), 6);
    EXPECT_EQ(countType(*page, 2), 1); // one fold point, for the folded node
    // Five branches, one more through the fold point, and the cross link.
    EXPECT_EQ(countType(*page, 1), 7);
    for (const ZN_ShapeBase* s : page->getShapeList()) {
        const auto* line = dynamic_cast<const ZN_NLine*>(s);
        if (!line || line->getArrowType() != 0)
            continue;
        ASSERT_EQ(line->inputs().size(), 1u);
        ASSERT_EQ(line->outputs().size(), 1u);
        const auto& outs = line->inputs()[0]->outputs();
        EXPECT_NE(std::find(outs.begin(), outs.end(), line), outs.end());
    }
    // Folded: the children are hidden below a collapsed fold point.
    EXPECT_FALSE(boxWithText(*page, "hidden child")->getShow());
    EXPECT_TRUE(boxWithText(*page, "First & bold\nsecond line")->getShow());
    // The left child stands left of the root.
    const ZN_ShapeBase* root = boxWithText(*page, "项目计划");
    EXPECT_LT(boxWithText(*page, "left side")->getPoint2().X(), root->getPoint1().X());
    EXPECT_GT(boxWithText(*page, "First & bold\nsecond line")->getPoint1().X(),
              root->getPoint2().X());
    // The cross link is glued to both its boxes, as a cross link that folding
    // passes by.
    int crossLinks = 0;
    for (const ZN_ShapeBase* s : page->getShapeList()) {
        if (const auto* line = dynamic_cast<const ZN_NLine*>(s); line && line->getArrowType()) {
            ++crossLinks;
            EXPECT_TRUE(line->isCrossLink());
            ASSERT_EQ(line->inputs().size(), 1u);
            ASSERT_EQ(line->outputs().size(), 1u);
            EXPECT_TRUE(line->inputs()[0]->isRegion());
            EXPECT_TRUE(line->outputs()[0]->isRegion());
        }
    }
    EXPECT_EQ(crossLinks, 1);
    // Colours and fonts reach the boxes and labels.
    const auto* yellow = static_cast<const ZN_NRect*>(boxWithText(*page, "left side"));
    EXPECT_FLOAT_EQ(yellow->getFillColor().Z(), 0.0f);
    EXPECT_EQ(yellow->getLabel()->getFont().lfItalic, 1);
}

TEST(MapPage, FreeMindThroughAPageRecordKeepsNodesFoldsAndCrossLinks) {
    for (const char* name : {"freemind08-html.mm", "freeplane-styles.mm", "chain-100.mm"}) {
        const MapDocument doc = ictest::read(name);
        std::unique_ptr<ZN_ShapeManager> page = buildPage(doc.sheets[0]);
        std::unique_ptr<ZN_ShapeManager> back = reread(*page);
        Skipped skipped;
        const MapSheet again = pageTrees(*back, "页1", skipped);
        EXPECT_EQ(ictest::outline(again), ictest::outline(doc.sheets[0])) << name;
        EXPECT_TRUE(skipped.empty()) << name;
        ASSERT_EQ(again.links.size(), doc.sheets[0].links.size()) << name;
        for (std::size_t i = 0; i < again.links.size(); ++i) {
            EXPECT_EQ(again.nodes[static_cast<std::size_t>(again.links[i].from)].text,
                      doc.sheets[0].nodes[static_cast<std::size_t>(doc.sheets[0].links[i].from)].text);
            EXPECT_EQ(again.nodes[static_cast<std::size_t>(again.links[i].to)].text,
                      doc.sheets[0].nodes[static_cast<std::size_t>(doc.sheets[0].links[i].to)].text);
        }
        // And written as FreeMind, it reads back the same.
        MapDocument mm;
        ReadError error;
        ASSERT_TRUE(readFreeMind(writeFreeMind(again), mm, error)) << error.reason;
        EXPECT_EQ(ictest::outline(mm.sheets[0]), ictest::outline(doc.sheets[0])) << name;
        for (std::size_t i = 0; i < again.nodes.size(); ++i) {
            // Black is what a colour not given looks like.
            auto ink = [](const MapColour& c) { return c.set ? hexColour(c) : "#000000"; };
            EXPECT_EQ(ink(mm.sheets[0].nodes[i].color), ink(doc.sheets[0].nodes[i].color)) << name << i;
            EXPECT_EQ(ink(mm.sheets[0].nodes[i].edgeColor), ink(doc.sheets[0].nodes[i].edgeColor))
                << name << i;
            EXPECT_EQ(mm.sheets[0].nodes[i].fontSize, doc.sheets[0].nodes[i].fontSize) << name << i;
        }
    }
}

TEST(MapPage, WhatIsNotInATreeIsCountedOnExport) {
    MapSheet sheet;
    sheet.add(sheet.add(-1, "a"), "b");
    sheet.add(-1, "c");
    std::unique_ptr<ZN_ShapeManager> page = buildPage(sheet);
    page->addShape(new ZN_SText());
    page->addShape(new ZN_NPoint());
    page->addShape(ZN_ShapeBase::createShape(12));
    Skipped skipped;
    const MapSheet trees = pageTrees(*page, "P", skipped);
    EXPECT_EQ(ictest::outline(trees), "[a]([b])[c]");
    EXPECT_EQ(exportSummary(static_cast<int>(trees.nodes.size()), skipped),
              "已导出 3 个节点；未导出：1 个自由文本、1 个点、1 个表格");
}

TEST(MapPage, SeveralSheetsBecomeNamedPagesAndDeepChainsImport) {
    const Imported imported = pagesOf(ictest::read("two-sheets.xmind"));
    ASSERT_EQ(imported.pages.size(), 2u);
    EXPECT_EQ(imported.pages[0].name, "计划");
    EXPECT_EQ(imported.pages[1].name, "Second sheet");
    // The summary is a node; only the relationship to nowhere is left out.
    EXPECT_EQ(imported.summary(), "已导入 11 个节点；未导入：1 个链接");

    MapSheet chain;
    int last = -1;
    for (int i = 0; i < 20000; ++i)
        last = chain.add(last, "n");
    std::unique_ptr<ZN_ShapeManager> page = buildPage(chain);
    EXPECT_EQ(countType(*page, 7), 20000);
    Skipped skipped;
    EXPECT_EQ(pageTrees(*page, "", skipped).nodes.size(), 20000u);
}
