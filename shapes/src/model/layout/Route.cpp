// Routing a branch's connector: it leaves the parent's side that faces the
// children and enters the child's near side, turning only in the gap between
// the two, where no box lies.

#include <cmath>

#include "Engine.h"

namespace detail::layout {

namespace {

struct Codes {
    int out; // connection number on the parent
    int in;  // on the child
};

Codes codesFor(Orientation o) {
    switch (o) {
    case Orientation::Left:
        return {2, 6};
    case Orientation::Down:
        return {4, 8};
    case Orientation::Indent:
        return {3, 2}; // from the bottom-left corner, down the rows, into the left side
    case Orientation::Right:
    default:
        return {6, 2};
    }
}

bool isPoint(const ZN_ShapeBase* s) { return s->type() == 2; }

// Straightens the connector onto its two ends: the connection numbers set,
// the bends and the horizontal tail gone. False when it joins no two shapes.
bool straighten(ZN_NLine* line, int out, int in) {
    if (line->inputs().empty() || !line->inputs().front() || line->outputs().empty() ||
        !line->outputs().front())
        return false;
    ZN_ShapeBase* from = line->inputs().front();
    ZN_ShapeBase* to = line->outputs().front();
    line->setOutNumber(isPoint(from) ? 9 : out);
    line->setInNumber(isPoint(to) ? 9 : in);
    line->setbOffsetH(0);
    while (line->getPointSize() > 2)
        line->deletePoint(1);
    while (line->getPointSize() < 2)
        line->pushPointBack(boxOf(to).centre());
    // Twice: a point's end is where the line aims, and the first pass moved
    // the other end.
    line->reglueEnds();
    line->reglueEnds();
    return true;
}

} // namespace

Style styleOf(const ZN_NLine* line) {
    if (line->getStrightType() == 0)
        return line->getPointSize() > 2 ? Style::Elbow : Style::Straight;
    if (line->getPointSize() == 3 && line->getbOffsetH() == 0)
        return Style::Palm;
    return Style::Curve;
}

Style defaultStyle(ZN_Layout layout) { return isHorizontal(layout) ? Style::Curve : Style::Elbow; }

void route(ZN_NLine* line, Orientation o, Style style, const Settings& settings) {
    if (!line)
        return;
    const Codes codes = codesFor(o);
    if (!straighten(line, codes.out, codes.in))
        return;
    ZN_ShapeBase* from = line->inputs().front();
    ZN_ShapeBase* to = line->outputs().front();
    const Rect a = boxOf(from);
    const Rect b = boxOf(to);
    switch (o) {
    case Orientation::Right:
    case Orientation::Left:
        switch (style) {
        case Style::Curve:
            line->autoAlign(2);
            break;
        case Style::Elbow:
            line->autoAlign(1);
            break;
        case Style::Palm:
            line->autoAlign(3);
            break;
        case Style::Straight:
            break;
        }
        // A point meets the line where its first bend now aims.
        if (isPoint(from))
            line->reglueEnds();
        return;
    case Orientation::Down: {
        // Down from the parent to a bus halfway to the children's row, along
        // it, and down into the child.
        line->setStrightType(0);
        const float x1 = a.centre().X();
        const float x2 = b.centre().X();
        if (std::abs(x1 - x2) >= 0.5f) {
            const float bus = b.y1 - 0.5f * settings.growthGap;
            line->pushPoint(ZVector2(x1, bus), 1);
            line->pushPoint(ZVector2(x2, bus), 2);
        }
        line->reglueEnds();
        return;
    }
    case Orientation::Indent: {
        // Down the parent's left edge (a point's centre) to the child's row.
        line->setStrightType(0);
        const float x = isPoint(from) ? a.centre().X() : a.x1;
        line->pushPoint(ZVector2(x, b.centre().Y()), 1);
        line->reglueEnds();
        return;
    }
    }
}

void routeToFold(ZN_NLine* line, Orientation o) {
    if (line)
        straighten(line, codesFor(o).out, 9);
}

} // namespace detail::layout
