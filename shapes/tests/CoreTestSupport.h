#pragma once
// Small builders shared by the model tests of shapes, pages and their records.

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeBase.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace coretest {

inline ZN_NRect* makeBox(float x1, float y1, float x2, float y2) {
    auto* box = new ZN_NRect();
    box->setPoint1(ZVector2(x1, y1));
    box->setPoint2(ZVector2(x2, y2));
    return box;
}

// Joins parent -> line -> child with the four links the editor makes.
inline void link(ZN_ShapeBase* parent, ZN_ShapeBase* line, ZN_ShapeBase* child) {
    parent->pushToOutput(line);
    line->pushToInput(parent);
    line->pushToOutput(child);
    child->pushToInput(line);
}

inline ZN_NLine* makeLine(ZN_ShapeBase* parent, ZN_ShapeBase* child) {
    auto* line = new ZN_NLine();
    line->pushPointBack(ZVector2(0.0f, 0.0f));
    line->pushPointBack(ZVector2(0.0f, 0.0f));
    link(parent, line, child);
    return line;
}

inline ZN_SText* makeLabel(ZN_ShapeBase* host, float x1, float y1, float x2, float y2) {
    auto* text = new ZN_SText();
    text->setRect(ZVector2(x1, y1), ZVector2(x2, y2));
    text->setHost(host);
    host->setLabel(text);
    return text;
}

inline bool holds(const std::vector<ZN_ShapeBase*>& list, const ZN_ShapeBase* s) {
    return std::find(list.begin(), list.end(), s) != list.end();
}

inline void expectNear(const ZVector2& v, float x, float y) {
    EXPECT_FLOAT_EQ(v.X(), x);
    EXPECT_FLOAT_EQ(v.Y(), y);
}

} // namespace coretest
