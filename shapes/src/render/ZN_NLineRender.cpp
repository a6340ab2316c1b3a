// Connector drawing in immediate mode: straight or Catmull-Rom bodies with
// optional colour and width ramps, the arrow head, the horizontal tail and the
// selection squares. Every canvas position has the view offset taken off just
// before it becomes a vertex.

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_SText.h>

#include <GL/gl.h>

#include "CurveWalk.h"
#include "LineWidth.h"

#include <cmath>
#include <cstddef>

namespace {

const ZVector3 kSelectColour(1.0f, 0.0f, 0.0f);

void setColour(const ZVector3& c) { glColor4f(c.X(), c.Y(), c.Z(), 1.0f); }

void vertex(const ZVector2& p) { glVertex2f(p.X(), p.Y()); }

// Colour ramp from the gradual colour (s = 0) to the line colour (s = 1).
ZVector3 blend(const ZVector3& line, const ZVector3& gradual, float s) {
    return line * s + gradual * (1.0f - s);
}

// One step as its own primitive, since line width cannot change inside one.
void wideStep(float width, const ZVector2& from, const ZVector2& to) {
    detail::lineWidth(detail::zoomedLineWidth(width));
    glBegin(GL_LINES);
    vertex(from);
    vertex(to);
    glEnd();
}

// The same with the colour ramp running from s at its start to s + grow at its
// end; s is left at the end's value for the next step.
void rampStep(float width, const ZVector2& from, const ZVector2& to, const ZVector3& line,
              const ZVector3& gradual, float& s, float grow) {
    detail::lineWidth(detail::zoomedLineWidth(width));
    glBegin(GL_LINES);
    setColour(blend(line, gradual, s));
    vertex(from);
    s += grow;
    setColour(blend(line, gradual, s));
    vertex(to);
    glEnd();
}

// walkCurve, handing over each step between consecutive vertices as
// emit(from, to) instead of the vertices one by one.
template <class Point, class Emit> ZVector2 walkCurveSteps(std::size_t n, Point p, Emit emit) {
    ZVector2 previous = p(0);
    bool first = true;
    return detail::walkCurve(n, p, [&](const ZVector2& v) {
        if (first) {
            first = false;
            return;
        }
        emit(previous, v);
        previous = v;
    });
}

// Walks every straight segment in hundredths, emit(from, to) for each; the
// last hundredth ends exactly on the segment's end point.
template <class Point, class Emit> void walkSlices(std::size_t n, Point p, Emit emit) {
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const ZVector2 end = p(i + 1);
        ZVector2 from = p(i);
        const ZVector2 step = (end - from) * 0.01f;
        for (int k = 0; k < 100; ++k) {
            const ZVector2 to = k == 99 ? end : from + step;
            emit(from, to);
            from = to;
        }
    }
}

} // namespace

void ZN_NLine::render() const {
    if (!show) {
        return;
    }
    detail::lineWidth(detail::zoomedLineWidth(static_cast<float>(lineWide)));
    setColour(selected ? kSelectColour : color);

    const int variant = 2 * (bGradualWide != 0 ? 1 : 0) + (bGradualColor != 0 ? 1 : 0);
    if (points.size() >= 3 && strightType != 0) {
        switch (variant) {
        case 0: RenderCurLine0(); break;
        case 1: RenderCurLine1(); break;
        case 2: RenderCurLine2(); break;
        default: RenderCurLine3(); break;
        }
    } else {
        switch (variant) {
        case 0: RenderSegLine0(); break;
        case 1: RenderSegLine1(); break;
        case 2: RenderSegLine2(); break;
        default: RenderSegLine3(); break;
        }
    }

    if (bOffsetH != 0 && arrowType == 0 && !points.empty()) {
        const ZVector2 last = points.back() - getScallPosition();
        detail::lineWidth(detail::zoomedLineWidth(static_cast<float>(lineWide)));
        glBegin(GL_LINES);
        vertex(last);
        vertex(last + ZVector2(offsetH, 0.0f));
        glEnd();
    }

    if (label && isCrossLink())
        label->render();

    if (selected) {
        setColour(kSelectColour);
        RenderSelect(0);
    }
}

// In every variant p(i) is point i in window coordinates.

void ZN_NLine::RenderSegLine0() const {
    const ZVector2 offset = getScallPosition();
    const std::size_t n = points.size();
    glBegin(GL_LINE_STRIP);
    for (const ZVector2& canvas : points) {
        vertex(canvas - offset);
    }
    glEnd();
    if (arrowType != 0 && n >= 2) {
        RenderArrow(points[n - 2] - offset, points[n - 1] - offset);
    }
}

void ZN_NLine::RenderSegLine1() const {
    const ZVector2 offset = getScallPosition();
    const std::size_t n = points.size();
    glBegin(GL_LINE_STRIP);
    for (std::size_t i = 0; i < n; ++i) {
        setColour(blend(color, gradualColor, static_cast<float>(i) / static_cast<float>(n)));
        vertex(points[i] - offset);
    }
    glEnd();
    setColour(color);
    if (arrowType != 0 && n >= 2) {
        RenderArrow(points[n - 2] - offset, points[n - 1] - offset);
    }
}

void ZN_NLine::RenderSegLine2() const {
    const ZVector2 offset = getScallPosition();
    const std::size_t n = points.size();
    if (n < 2) {
        return;
    }
    // Line width cannot change inside one primitive, so every hundredth of a
    // segment is its own primitive with its own width.
    float width = static_cast<float>(lineWide) + gradualWide;
    const float fall = gradualWide / (static_cast<float>(n - 1) * 100.0f);
    walkSlices(n, [&](std::size_t i) { return points[i] - offset; },
               [&](const ZVector2& from, const ZVector2& to) {
                   wideStep(width, from, to);
                   width -= fall;
               });
    detail::lineWidth(detail::zoomedLineWidth(static_cast<float>(lineWide)));
    if (arrowType != 0) {
        RenderArrow(points[n - 2] - offset, points[n - 1] - offset);
    }
}

void ZN_NLine::RenderSegLine3() const {
    const ZVector2 offset = getScallPosition();
    const std::size_t n = points.size();
    if (n < 2) {
        return;
    }
    const float slices = static_cast<float>(n - 1) * 100.0f;
    const float fall = gradualWide / slices;
    const float grow = 1.0f / slices;
    float width = static_cast<float>(lineWide) + gradualWide;
    float s = 0.0f;
    walkSlices(n, [&](std::size_t i) { return points[i] - offset; },
               [&](const ZVector2& from, const ZVector2& to) {
                   rampStep(width, from, to, color, gradualColor, s, grow);
                   width -= fall;
               });
    detail::lineWidth(detail::zoomedLineWidth(static_cast<float>(lineWide)));
    setColour(color);
    if (arrowType != 0) {
        RenderArrow(points[n - 2] - offset, points[n - 1] - offset);
    }
}

void ZN_NLine::RenderCurLine0() const {
    const ZVector2 offset = getScallPosition();
    const std::size_t n = points.size();
    if (n < 2) {
        return;
    }
    const auto p = [&](std::size_t i) { return points[i] - offset; };
    glBegin(GL_LINE_STRIP);
    const ZVector2 lastSample = detail::walkCurve(n, p, [](const ZVector2& v) { vertex(v); });
    glEnd();
    if (arrowType != 0) {
        RenderArrow(lastSample, p(n - 1));
    }
}

void ZN_NLine::RenderCurLine1() const {
    const ZVector2 offset = getScallPosition();
    const std::size_t n = points.size();
    if (n < 2) {
        return;
    }
    const auto p = [&](std::size_t i) { return points[i] - offset; };
    const float grow = 1.0f / (static_cast<float>(n - 1) * 10.0f);
    float s = 0.0f;
    bool first = true;
    glBegin(GL_LINE_STRIP);
    const ZVector2 lastSample = detail::walkCurve(n, p, [&](const ZVector2& v) {
        if (!first) {
            s += grow;
        }
        first = false;
        setColour(blend(color, gradualColor, s));
        vertex(v);
    });
    glEnd();
    setColour(color);
    if (arrowType != 0) {
        RenderArrow(lastSample, p(n - 1));
    }
}

void ZN_NLine::RenderCurLine2() const {
    const ZVector2 offset = getScallPosition();
    const std::size_t n = points.size();
    if (n < 2) {
        return;
    }
    const auto p = [&](std::size_t i) { return points[i] - offset; };
    const float fall = gradualWide / (static_cast<float>(n - 1) * 10.0f);
    float width = static_cast<float>(lineWide) + gradualWide;
    // Each step between two vertices is its own primitive with its own width.
    const ZVector2 lastSample =
        walkCurveSteps(n, p, [&](const ZVector2& from, const ZVector2& to) {
            wideStep(width, from, to);
            width -= fall;
        });
    detail::lineWidth(detail::zoomedLineWidth(static_cast<float>(lineWide)));
    if (arrowType != 0) {
        RenderArrow(lastSample, p(n - 1));
    }
}

void ZN_NLine::RenderCurLine3() const {
    const ZVector2 offset = getScallPosition();
    const std::size_t n = points.size();
    if (n < 2) {
        return;
    }
    const auto p = [&](std::size_t i) { return points[i] - offset; };
    const float steps = static_cast<float>(n - 1) * 10.0f;
    const float fall = gradualWide / steps;
    const float grow = 1.0f / steps;
    float width = static_cast<float>(lineWide) + gradualWide;
    float s = 0.0f;
    const ZVector2 lastSample =
        walkCurveSteps(n, p, [&](const ZVector2& from, const ZVector2& to) {
            rampStep(width, from, to, color, gradualColor, s, grow);
            width -= fall;
        });
    detail::lineWidth(detail::zoomedLineWidth(static_cast<float>(lineWide)));
    setColour(color);
    if (arrowType != 0) {
        RenderArrow(lastSample, p(n - 1));
    }
}

void ZN_NLine::RenderArrow(const ZVector2& from, const ZVector2& tip) const {
    ZVector2 v = from - tip;
    v.Normalize();
    v *= static_cast<float>(arrowSize);
    const float c = std::cos(0.2617994f);
    const float s = std::sin(0.2617994f);
    const ZVector2 left = tip + ZVector2(c * v.X() - s * v.Y(), s * v.X() + c * v.Y());
    const ZVector2 right = tip + ZVector2(c * v.X() + s * v.Y(), c * v.Y() - s * v.X());
    glBegin(GL_TRIANGLES);
    vertex(left);
    vertex(tip);
    vertex(right);
    glEnd();
}

void ZN_NLine::DrawArrow() const {
    if (points.size() < 2) {
        return;
    }
    const ZVector2 offset = getScallPosition();
    RenderArrow(points[points.size() - 2] - offset, points.back() - offset);
}

void ZN_NLine::RenderSelect(int) const {
    // In floating point: a width read from a damaged file may be near the
    // integer limits, where adding to it as an int would overflow.
    const float h = bGradualWide != 0
                        ? std::trunc(gradualWide * 0.5f + static_cast<float>(lineWide))
                        : static_cast<float>(lineWide) + 2.0f;
    const ZVector2 offset = getScallPosition();
    for (const ZVector2& canvas : points) {
        const ZVector2 p = canvas - offset;
        glBegin(GL_QUADS);
        glVertex2f(p.X() - h, p.Y() - h);
        glVertex2f(p.X() - h, p.Y() + h);
        glVertex2f(p.X() + h, p.Y() + h);
        glVertex2f(p.X() + h, p.Y() - h);
        glEnd();
    }
}
