#include <sarvik/ZDrawnExtent.h>

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_NRectVariants.h>
#include <sarvik/ZN_NodeMarks.h>
#include <sarvik/ZN_SText.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace {

// Selection handles are squares 8 pixels wide centred on the box's corners
// and edge midpoints.
constexpr float kHandleHalf = 4.0f;

bool isFinite(const ZVector2& p) {
    return std::isfinite(p.X()) && std::isfinite(p.Y());
}

// A label or free text: its bitmap is clipped to its rectangle; the
// selection outline is drawn with whatever width is current.
// The flags a shape is drawn with: as they stand, or every one that widens.
struct Marks {
    bool any = false;
    bool shown(const ZN_ShapeBase& s) const { return any || s.getShow(); }
    bool selected(const ZN_ShapeBase& s) const { return any || s.getSelected(); }
    bool marked(const ZN_ShapeBase& s) const { return any || s.getSelected() || s.getSnake() > 0; }
};

ZDrawnExtent textExtent(const ZN_SText& text, Marks m) {
    ZDrawnExtent e;
    if (!m.shown(text))
        return e;
    const float reach = m.selected(text) ? strokeReach(kWidestStroke) : 0.0f;
    if (text.getText()[0] != '\0' || m.selected(text)) {
        e.include(text.getPoint1(), reach);
        e.include(text.getPoint2(), reach);
    }
    return e;
}

ZDrawnExtent boxExtent(const ZN_NRect& box, Marks m) {
    ZDrawnExtent e;
    if (!m.shown(box))
        return e;
    float reach = strokeReach(static_cast<float>(box.getLineWide()));
    if (m.marked(box))
        reach += kHandleHalf;
    e.include(box.getPoint1(), reach);
    e.include(box.getPoint2(), reach);
    // A parallelogram's slant is half its height: on a tall, narrow one its
    // corners reach past the box on either side.
    const int kind = box.type();
    const bool plainKind = kind >= 7 && kind <= 12;
    if (kind == 13 || (!plainKind && dynamic_cast<const ZN_NParal*>(&box))) {
        ZVector2 v[4];
        ZN_NParal::vertices(box.getPoint1(), box.getPoint2(), v);
        for (const ZVector2& corner : v)
            e.include(corner, reach);
    }
    if (const ZN_SText* label = box.getLabel())
        e.include(textExtent(*label, m));
    // Marks are drawn with one-pixel outlines; the corner ones stand out of the box.
    for (const ZN_Mark& mark : ZN_NodeMarks(box)) {
        e.include(mark.min, strokeReach(1.0f));
        e.include(mark.max, strokeReach(1.0f));
    }
    return e;
}

ZDrawnExtent pointExtent(const ZN_NPoint& point, Marks m) {
    ZDrawnExtent e;
    if (!m.shown(point))
        return e;
    const float size = point.getPointSize();
    float radius = -1.0f;
    if (m.marked(point))
        radius = std::fabs(size + 5.0f); // the halo disc
    if (size >= 1.0f)
        radius = std::max(radius, size + strokeReach(1.0f)); // ring and sign, one pixel wide
    if (!(radius >= 0.0f)) {
        e.finite = std::isfinite(size);
        e.inks = !e.finite;
        return e;
    }
    e.include(point.getCoord(), radius);
    return e;
}

// The arrow head: a triangle whose apex is the tip and whose back corners are
// `from` - tip, scaled to the arrow size and turned by 15 degrees each way.
void includeArrow(ZDrawnExtent& e, const ZVector2& from, const ZVector2& tip, float size,
                  float reach) {
    ZVector2 v = from - tip;
    v.Normalize();
    v *= size;
    const float c = std::cos(0.2617994f);
    const float s = std::sin(0.2617994f);
    e.include(tip, reach);
    e.include(tip + ZVector2(c * v.X() - s * v.Y(), s * v.X() + c * v.Y()), reach);
    e.include(tip + ZVector2(c * v.X() + s * v.Y(), c * v.Y() - s * v.X()), reach);
}

ZDrawnExtent lineExtent(const ZN_NLine& line, Marks m) {
    ZDrawnExtent e;
    const auto& p = line.getPoints();
    if (!m.shown(line) || p.empty())
        return e;
    const std::size_t n = p.size();
    const float wide = static_cast<float>(line.getLineWide());
    // A width ramp starts gradualWide wider than the line.
    const float start = line.getbGradualWide() != 0 ? wide + line.getGradualWide() : wide;
    float reach = std::max(strokeReach(wide), strokeReach(start));
    if (m.selected(line)) {
        // The selection squares' half size, as the squares are drawn.
        const float h = line.getbGradualWide() != 0
                            ? std::trunc(line.getGradualWide() * 0.5f + wide)
                            : wide + 2.0f;
        reach = std::max(reach, std::fabs(h) + 1.0f);
    }

    const bool curve = n >= 3 && line.getStrightType() != 0;
    ZVector2 arrowFrom = n >= 2 ? p[n - 2] : p[0];
    for (std::size_t i = 0; i < n; ++i)
        e.include(p[i], reach);
    if (curve) {
        // A Catmull-Rom span from p[k] to p[k + 1] lies in the hull of its
        // Bezier points p[k] + (p[k+1] - p[k-1]) / 6 and p[k+1] - (p[k+2] - p[k]) / 6,
        // the ends doubled as their own neighbours.
        for (std::size_t k = 0; k + 1 < n; ++k) {
            const ZVector2& q0 = p[k == 0 ? 0 : k - 1];
            const ZVector2& q1 = p[k];
            const ZVector2& q2 = p[k + 1];
            const ZVector2& q3 = p[k + 2 < n ? k + 2 : n - 1];
            e.include(q1 + (q2 - q0) * (1.0f / 6.0f), reach);
            e.include(q2 - (q3 - q1) * (1.0f / 6.0f), reach);
        }
        // The arrow comes from the last span's sample at u = 0.9.
        const ZVector2& q0 = p[n - 3];
        const ZVector2& q1 = p[n - 2];
        const ZVector2& q2 = p[n - 1];
        const float u = 0.9f, u2 = u * u, u3 = u2 * u;
        arrowFrom = (q0 * (-u3 + 2.0f * u2 - u) + q1 * (3.0f * u3 - 5.0f * u2 + 2.0f) +
                     q2 * (-3.0f * u3 + 4.0f * u2 + u) + q2 * (u3 - u2)) *
                    0.5f;
    }
    if (line.getArrowType() != 0 && n >= 2)
        includeArrow(e, arrowFrom, p[n - 1], static_cast<float>(line.getArrowSize()),
                     strokeReach(1.0f));
    if (line.getbOffsetH() != 0 && line.getArrowType() == 0)
        e.include(p[n - 1] + ZVector2(line.getOffsetH(), 0.0f), strokeReach(wide));
    // A connector keeps a label but does not draw it.
    return e;
}

} // namespace

void ZDrawnExtent::include(const ZVector2& p) {
    include(p, 0.0f);
}

void ZDrawnExtent::include(const ZVector2& p, float radius) {
    if (!isFinite(p) || !std::isfinite(radius)) {
        finite = false;
        inks = true;
        return;
    }
    const ZVector2 lo(p.X() - radius, p.Y() - radius);
    const ZVector2 hi(p.X() + radius, p.Y() + radius);
    if (!inks) {
        min = lo;
        max = hi;
        inks = true;
        return;
    }
    min = ZVector2(std::min(min.X(), lo.X()), std::min(min.Y(), lo.Y()));
    max = ZVector2(std::max(max.X(), hi.X()), std::max(max.Y(), hi.Y()));
}

void ZDrawnExtent::include(const ZDrawnExtent& other) {
    if (!other.inks)
        return;
    if (!other.finite) {
        finite = false;
        inks = true;
        return;
    }
    include(other.min);
    include(other.max);
}

float strokeReach(float width) {
    const float drawn = width > 0.0f ? std::min(width, kWidestStroke) : kWidestStroke;
    return 0.5f * drawn + 1.0f;
}

ZDrawnExtent drawnExtent(const ZN_ShapeBase& shape, bool asItStands) {
    const Marks m{!asItStands};
    // The library's own kinds are told by their type code, which costs far
    // less than a cast on a page measured shape by shape; anything else is
    // asked what it derives from.
    switch (shape.type()) {
    case 1: return lineExtent(static_cast<const ZN_NLine&>(shape), m);
    case 2: return pointExtent(static_cast<const ZN_NPoint&>(shape), m);
    case 5: return textExtent(static_cast<const ZN_SText&>(shape), m);
    case 7:
    case 8:
    case 9:
    case 10:
    case 12:
    case 13: return boxExtent(static_cast<const ZN_NRect&>(shape), m);
    default: break;
    }
    if (const auto* line = dynamic_cast<const ZN_NLine*>(&shape))
        return lineExtent(*line, m);
    if (const auto* box = dynamic_cast<const ZN_NRect*>(&shape))
        return boxExtent(*box, m);
    if (const auto* point = dynamic_cast<const ZN_NPoint*>(&shape))
        return pointExtent(*point, m);
    if (const auto* text = dynamic_cast<const ZN_SText*>(&shape))
        return textExtent(*text, m);
    // A kind this function does not know is always drawn and never sizes a
    // picture (the picture placeholder, the only one today, draws nothing).
    ZDrawnExtent unknown;
    unknown.inks = true;
    unknown.finite = false;
    return unknown;
}

bool extentOutsideWindow(const ZDrawnExtent& e, const ZVector2& offset, float width, float height,
                         float margin) {
    if (!e.inks)
        return true;
    if (!e.finite)
        return false;
    return e.max.X() - offset.X() < -margin || e.max.Y() - offset.Y() < -margin ||
           e.min.X() - offset.X() > width + margin || e.min.Y() - offset.Y() > height + margin;
}
