#include "SmallShapes.h"

#include <sarvik/ZDrawRecorder.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>

#include "CurveWalk.h"
#include "LineWidth.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <span>

namespace detail {

namespace {

// Below this many screen pixels across, a box's opposite outline edges merge
// into one patch of the outline colour.
constexpr float kTinyPixels = 2.0f;
// A connector shorter than this on screen either way is drawn as plain
// strokes: at this size the smoothing of its edges shows no more than a
// pixel's tint.
constexpr float kShortPixels = 16.0f;

struct Extent {
    float minX, minY, maxX, maxY;
};

Extent extentOf(std::span<const ZVector2> points) {
    Extent e{points[0].X(), points[0].Y(), points[0].X(), points[0].Y()};
    for (const ZVector2& p : points) {
        e.minX = std::min(e.minX, p.X());
        e.maxX = std::max(e.maxX, p.X());
        e.minY = std::min(e.minY, p.Y());
        e.maxY = std::max(e.maxY, p.Y());
    }
    return e;
}

bool finite(const ZVector2& p) {
    return std::isfinite(p.X()) && std::isfinite(p.Y());
}

} // namespace

bool SmallShapeBatch::add(const ZN_ShapeBase& shape, float zoom, const ZVector2& offset) {
    // Handles and selection marks keep their size on screen: those shapes
    // are drawn in full, and so is every shape of a vector recording.
    if (ZGetDrawRecorder() || !(zoom < 1.0f) || !(zoom > 0.0f) || !shape.getShow() ||
        shape.getSelected() || shape.getSnake() > 0)
        return false;
    return shape.type() == 1 ? addConnector(shape, zoom, offset) : addBox(shape, zoom, offset);
}

bool SmallShapeBatch::addBox(const ZN_ShapeBase& shape, float zoom, const ZVector2& offset) {
    const auto* box = dynamic_cast<const ZN_NRect*>(&shape);
    // An underline-only box shows its fill, which one colour cannot stand for.
    if (!box || box->getRectShowtype() != 0)
        return false;
    const ZVector2 corners[2] = {box->getPoint1() - offset, box->getPoint2() - offset};
    const Extent e = extentOf(corners);
    const float limit = kTinyPixels / zoom;
    if (e.maxX - e.minX >= limit && e.maxY - e.minY >= limit)
        return false;
    // A label that would show glyphs, or its selection frame, is drawn in full;
    // an unreadable one is a faint bar that the patch covers.
    if (const ZN_SText* label = box->getLabel()) {
        if (label->getSelected() || label->glyphHeight() * zoom >= ZN_SText::kSmallestReadable)
            return false;
    }
    // The outline reaches half its width beyond the box, and lines never
    // drop below one pixel.
    const float reach = 0.5f * zoomedLineWidth(static_cast<float>(box->getLineWide())) / zoom;
    const ZVector2 a(e.minX - reach, e.minY - reach);
    const ZVector2 b(e.maxX + reach, e.maxY + reach);
    if (!finite(a) || !finite(b))
        return false;
    quad(a, ZVector2(a.X(), b.Y()), b, ZVector2(b.X(), a.Y()), box->getColor());
    return true;
}

bool SmallShapeBatch::addConnector(const ZN_ShapeBase& shape, float zoom, const ZVector2& offset) {
    const auto* line = dynamic_cast<const ZN_NLine*>(&shape);
    if (!line || line->getPoints().empty())
        return false;
    const auto& points = line->getPoints();
    const bool arrow = line->getArrowType() != 0;
    const bool tail = line->getbOffsetH() != 0 && !arrow;
    const ZVector2 tailEnd = points.back() + ZVector2(tail ? line->getOffsetH() : 0.0f, 0.0f);
    Extent e = extentOf(points);
    e.minX = std::min(e.minX, tailEnd.X());
    e.maxX = std::max(e.maxX, tailEnd.X());
    const ZVector3 colour = line->getColor();

    // A connector a pixel or two across, arrow head included, is a dot of its
    // colour; a curve bows out past its points by less than that.
    const float tiny = kTinyPixels / zoom;
    if (e.maxX - e.minX < tiny && e.maxY - e.minY < tiny &&
        (!arrow || static_cast<float>(line->getArrowSize()) < tiny)) {
        const float widest =
            static_cast<float>(line->getLineWide()) +
            (line->getbGradualWide() != 0 ? std::fabs(line->getGradualWide()) : 0.0f);
        const float reach = 0.5f * zoomedLineWidth(widest) / zoom;
        const ZVector2 a = ZVector2(e.minX - reach, e.minY - reach) - offset;
        const ZVector2 b = ZVector2(e.maxX + reach, e.maxY + reach) - offset;
        if (!finite(a) || !finite(b))
            return false;
        quad(a, ZVector2(a.X(), b.Y()), b, ZVector2(b.X(), a.Y()), colour);
        return true;
    }

    // A short one of one width and colour without an arrow head is drawn as
    // plain strokes through the very vertices of its full drawing.
    const float width = zoomedLineWidth(static_cast<float>(line->getLineWide()));
    const float limit = kShortPixels / zoom;
    if (points.size() < 2 || line->getbGradualWide() != 0 || line->getbGradualColor() != 0 ||
        arrow || width > kTinyPixels || !(e.maxX - e.minX < limit && e.maxY - e.minY < limit))
        return false;
    // A smoothed line spreads its ink over the pixels it touches. A stroke a
    // pixel wider at the matching opacity lays down as much ink, so a short
    // connector looks like the long ones drawn in full beside it.
    const float halfWidth = 0.5f * (width + 1.0f) / zoom;
    const float alpha = width / (width + 1.0f);
    const std::size_t before = vertices.size();
    const auto at = [&](std::size_t i) { return points[i] - offset; };
    if (points.size() >= 3 && line->getStrightType() != 0) {
        ZVector2 previous = at(0);
        bool first = true;
        walkCurve(points.size(), at, [&](const ZVector2& v) {
            if (!first)
                stroke(previous, v, halfWidth, colour, alpha);
            first = false;
            previous = v;
        });
    } else {
        for (std::size_t i = 0; i + 1 < points.size(); ++i)
            stroke(at(i), at(i + 1), halfWidth, colour, alpha);
    }
    if (tail)
        stroke(at(points.size() - 1), tailEnd - offset, halfWidth, colour, alpha);
    if (!std::all_of(vertices.begin() + static_cast<std::ptrdiff_t>(before), vertices.end(),
                     [](GLfloat v) { return std::isfinite(v); })) {
        vertices.resize(before);
        colours.resize(before * 2);
        return false;
    }
    return true;
}

void SmallShapeBatch::quad(const ZVector2& a, const ZVector2& b, const ZVector2& c,
                           const ZVector2& d, const ZVector3& colour, float alpha) {
    for (const ZVector2* p : {&a, &b, &c, &d}) {
        vertices.push_back(p->X());
        vertices.push_back(p->Y());
        colours.insert(colours.end(), {colour.X(), colour.Y(), colour.Z(), alpha});
    }
}

void SmallShapeBatch::stroke(const ZVector2& a, const ZVector2& b, float halfWidth,
                             const ZVector3& colour, float alpha) {
    const ZVector2 d = b - a;
    const float length = std::sqrt(d.X() * d.X() + d.Y() * d.Y());
    if (!(length > 0.0f)) {
        // A segment of no length is a dot as wide as the line.
        const ZVector2 h(halfWidth, halfWidth);
        quad(a - h, a + ZVector2(-halfWidth, halfWidth), a + h, a + ZVector2(halfWidth, -halfWidth),
             colour, alpha);
        return;
    }
    const ZVector2 n(-d.Y() * halfWidth / length, d.X() * halfWidth / length);
    quad(a + n, b + n, b - n, a - n, colour, alpha);
}

void SmallShapeBatch::flush() {
    if (vertices.empty())
        return;
    // Drawing from a colour array leaves the current colour undefined, and
    // the shapes drawn next may rely on it.
    GLfloat current[4];
    glGetFloatv(GL_CURRENT_COLOR, current);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, vertices.data());
    glColorPointer(4, GL_FLOAT, 0, colours.data());
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(vertices.size() / 2));
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glColor4fv(current);
    vertices.clear();
    colours.clear();
}

} // namespace detail
