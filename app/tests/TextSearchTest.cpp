// Finding and replacing the texts of pages, below the windows.

#include <gtest/gtest.h>

#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>

#include "TestSupport.h"
#include "document/FoldReveal.h"
#include "document/TextSearch.h"

namespace {

ZN_SText* labelOf(ZN_ShapeBase* node, const char* text) {
    auto* label = static_cast<ZN_SText*>(ZN_ShapeBase::createShape(5));
    label->setRect(node->getPoint1(), node->getPoint1() + ZVector2(10, 10));
    label->setHost(node);
    node->setLabel(label);
    label->setText(text);
    label->setFont(label->getFont());
    return label;
}

ZN_SText* freeText(ZN_ShapeManager& page, const char* text, float x = 0, float y = 0) {
    auto* t = static_cast<ZN_SText*>(ZN_ShapeBase::createShape(5));
    t->setRect(ZVector2(x, y), ZVector2(x + 10, y + 10));
    t->setText(text);
    page.addShape(t);
    return t;
}

std::vector<ZN_ShapeBase*> shapesOf(const std::vector<TextMatch>& matches) {
    std::vector<ZN_ShapeBase*> out;
    for (const TextMatch& m : matches)
        out.push_back(m.shape);
    return out;
}

} // namespace

TEST(TextFinder, FoldsCaseTheUnicodeWayUnlessCaseMatters) {
    const TextFinder folded("straẞe ΣΟΦΊΑ Ǆ", false);
    EXPECT_TRUE(folded.matches("STRAßE σοφία ǆ"));
    EXPECT_TRUE(TextFinder("ÄRGER", false).matches("kein ärger hier"));
    EXPECT_TRUE(TextFinder("Ärger", true).matches("kein Ärger"));
    EXPECT_FALSE(TextFinder("ÄRGER", true).matches("kein ärger hier"));
    EXPECT_FALSE(TextFinder("apple", false).matches("appl"));
}

TEST(TextFinder, LineBreaksCountAsNothing) {
    // A Chinese phrase wrapped over two lines, found whole.
    EXPECT_TRUE(TextFinder("中华人民", false).matches("中华\r\n人民共和国"));
    EXPECT_TRUE(TextFinder("中华人民", true).matches("中华\n人民"));
    // A query of line breaks only finds nothing rather than everything.
    EXPECT_TRUE(TextFinder("\r\n", false).empty());
    EXPECT_FALSE(TextFinder("", false).matches("anything"));
}

TEST(TextFinder, ReplacesEveryOccurrenceAndKeepsTheRest) {
    std::string out;
    EXPECT_EQ(TextFinder("cat", false).replace("Cat and CAT\r\nand dog", "猫", out), 2);
    EXPECT_EQ(out, "猫 and 猫\r\nand dog");
    // An occurrence across a wrap takes its line break with it.
    EXPECT_EQ(TextFinder("中华人民", false).replace("新中华\r\n人民国", "X", out), 1);
    EXPECT_EQ(out, "新X国");
    // Folding that changes the byte length still maps back to the original.
    EXPECT_EQ(TextFinder("k", false).replace("a\u212Ab", "dz", out), 1); // Kelvin sign
    EXPECT_EQ(out, "adzb");
    // Bytes that are not UTF-8 are kept as they are, and never matched by halves.
    EXPECT_EQ(TextFinder("a", false).replace("\xff" "A\xe4", "b", out), 1);
    EXPECT_EQ(out, "\xff" "b\xe4");
    EXPECT_EQ(TextFinder("x", false).replace("none here", "y", out), 0);
    EXPECT_EQ(out, "none here");
}

TEST(TextSearch, FindsLabelsFreeTextsAndAnswersInListOrderHiddenOnesToo) {
    testApp();
    ZN_ShapeManager page;
    ZN_NRect* a = addRect(page, 0, 0, 100, 40);
    labelOf(a, "Plan A");
    ZN_NRect* hidden = addRect(page, 0, 100, 100, 140);
    labelOf(hidden, "plan b");
    hidden->setShow(false);
    addRect(page, 0, 200, 100, 240); // no label at all
    ZN_SText* text = freeText(page, "a PLAN", 300, 0);
    auto* table = static_cast<ZN_NJiuGongGe*>(ZN_ShapeBase::createShape(12));
    table->setPoint1(ZVector2(400, 0));
    table->setPoint2(ZVector2(700, 150));
    table->setSizeValue(3, 3);
    page.addShape(table);
    ZN_SText* answer = freeText(page, "planet", 400, 200);
    table->addAnswerList(answer);
    answer->addAnswerHostList(table);

    std::vector<TextMatch> matches;
    findInPage(page, 3, TextFinder("plan", false), matches);
    ASSERT_EQ(matches.size(), 4u);
    EXPECT_EQ(shapesOf(matches), (std::vector<ZN_ShapeBase*>{a, hidden, text, answer}));
    EXPECT_EQ(matches[0].kind, MatchKind::Label);
    EXPECT_EQ(matches[2].kind, MatchKind::FreeText);
    EXPECT_EQ(matches[3].kind, MatchKind::Answer);
    EXPECT_EQ(matches[3].page, 3);
}

TEST(TextSearch, AllPagesComePageByPage) {
    testApp();
    ZN_ShapeManager first;
    ZN_ShapeManager second;
    ZN_SText* late = freeText(second, "needle two");
    ZN_SText* early = freeText(first, "Needle one");
    freeText(first, "hay");
    const auto matches = findInPages({&first, &second}, TextFinder("NEEDLE", false));
    ASSERT_EQ(matches.size(), 2u);
    EXPECT_EQ(matches[0].shape, early);
    EXPECT_EQ(matches[0].page, 0);
    EXPECT_EQ(matches[1].shape, late);
    EXPECT_EQ(matches[1].page, 1);
}

TEST(TextSearch, ReplacingKeepsTheFontAndGrowsTheNode) {
    testApp();
    ZN_ShapeManager page;
    ZN_NRect* box = addRect(page, 0, 0, 60, 30);
    ZN_SText* label = labelOf(box, "ab");
    LOGFONTA font = label->getFont();
    font.lfHeight = -30;
    font.lfWeight = 700;
    label->setFont(font);
    box->resetLabelPosition();
    const float widthBefore = box->getPoint2().X() - box->getPoint1().X();

    const TextFinder finder("b", false);
    EXPECT_EQ(replaceInPage(page, finder, "a much longer text"), 1);
    EXPECT_STREQ(label->getText(), "aa much longer text");
    EXPECT_EQ(label->getFont().lfHeight, -30);
    EXPECT_EQ(label->getFont().lfWeight, 700);
    // The node takes in its longer label, as after an edit.
    EXPECT_GT(box->getPoint2().X() - box->getPoint1().X(), widthBefore);
    EXPECT_LE(box->getPoint1().X(), label->getPoint1().X());
    EXPECT_GE(box->getPoint2().X(), label->getPoint2().X());
}

TEST(TextSearch, TextsLeftEmptyGoAsErasingThemWould) {
    testApp();
    ZN_ShapeManager page;
    ZN_NRect* box = addRect(page, 0, 0, 60, 30);
    labelOf(box, "gone");
    freeText(page, "GONE");
    ZN_SText* kept = freeText(page, "gone but not all");
    EXPECT_EQ(replaceInPage(page, TextFinder("gone", false), ""), 3);
    EXPECT_EQ(box->getLabel(), nullptr);
    ASSERT_EQ(page.getShapeList().size(), 2u);
    EXPECT_EQ(page.getShapeList().back(), kept);
    EXPECT_STREQ(kept->getText(), " but not all");
}

namespace {

ZN_ShapeBase* join(ZN_ShapeManager& page, ZN_ShapeBase* parent, ZN_ShapeBase* child) {
    ZN_ShapeBase* line = ZN_ShapeBase::createShape(1);
    parent->pushToOutput(line);
    line->pushToInput(parent);
    line->pushToOutput(child);
    child->pushToInput(line);
    page.addShape(line);
    return line;
}

} // namespace

TEST(FoldReveal, ExpandsOneGenerationPerAncestorDownToTheShape) {
    testApp();
    // root - a - b - c, and a's other child d with its own child e.
    ZN_ShapeManager page;
    ZN_NRect* root = addRect(page, 0, 0, 10, 10);
    ZN_NRect* a = addRect(page, 0, 0, 10, 10);
    ZN_NRect* b = addRect(page, 0, 0, 10, 10);
    ZN_NRect* c = addRect(page, 0, 0, 10, 10);
    ZN_NRect* d = addRect(page, 0, 0, 10, 10);
    ZN_NRect* e = addRect(page, 0, 0, 10, 10);
    ZN_ShapeBase* rootToA = join(page, root, a);
    ZN_ShapeBase* aToB = join(page, a, b);
    ZN_ShapeBase* bToC = join(page, b, c);
    ZN_ShapeBase* aToD = join(page, a, d);
    ZN_ShapeBase* dToE = join(page, d, e);
    page.shapeShrink(root);
    ASSERT_TRUE(needsReveal(c));
    EXPECT_FALSE(needsReveal(root));

    revealShape(page, c);
    for (ZN_ShapeBase* shown : {rootToA, static_cast<ZN_ShapeBase*>(a), aToB,
                                static_cast<ZN_ShapeBase*>(b), bToC, static_cast<ZN_ShapeBase*>(c),
                                aToD, static_cast<ZN_ShapeBase*>(d)})
        EXPECT_TRUE(shown->getShow());
    // A sibling on the way shows, its own subtree stays folded.
    EXPECT_FALSE(dToE->getShow());
    EXPECT_FALSE(e->getShow());
}

TEST(FoldReveal, ACollapsedFoldPointOnTheWayOpensAsAClickWould) {
    testApp();
    ZN_ShapeManager page;
    ZN_NRect* root = addRect(page, 0, 0, 10, 10);
    auto* fold = static_cast<ZN_NPoint*>(ZN_ShapeBase::createShape(2));
    page.addShape(fold);
    fold->setStateType(1);
    ZN_NRect* child = addRect(page, 0, 0, 10, 10);
    join(page, root, fold);
    join(page, fold, child);
    page.shapeShrink(fold);
    ASSERT_EQ(fold->getStateType(), 2);
    ASSERT_FALSE(child->getShow());

    revealShape(page, child);
    EXPECT_TRUE(child->getShow());
    EXPECT_EQ(fold->getStateType(), 1);
}

TEST(FoldReveal, ACycleOfHiddenShapesEnds) {
    testApp();
    ZN_ShapeManager page;
    ZN_NRect* a = addRect(page, 0, 0, 10, 10);
    ZN_NRect* b = addRect(page, 0, 0, 10, 10);
    join(page, a, b);
    join(page, b, a);
    for (ZN_ShapeBase* s : page.getShapeList())
        s->setShow(false);
    revealShape(page, b);
    EXPECT_TRUE(b->getShow());
}
