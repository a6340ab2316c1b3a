#include "NodeMarks.h"

#include <sarvik/ZN_Markers.h>
#include <sarvik/ZN_NodeMarks.h>
#include <sarvik/ZN_ShapeBase.h>

#include <rulmek/zview.h>

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "LineWidth.h"
#include "NodeColors.h"

namespace detail {

namespace {

constexpr float kPi = 3.14159265f;

const ZVector3 kInk{0.25f, 0.25f, 0.25f};
const ZVector3 kWhite{1.0f, 1.0f, 1.0f};

// A mark's square in window coordinates, and points in it given in a 14-unit
// design grid so that every mark is drawn the same way at any size.
struct Cell {
    ZVector2 min;
    float size;
    ZVector2 at(float x, float y) const {
        return ZVector2(min.X() + x * size / 14.0f, min.Y() + y * size / 14.0f);
    }
    ZVector2 centre() const { return at(7.0f, 7.0f); }
    float unit() const { return size / 14.0f; }
};

void vertex(const ZVector2& p) { glVertex2f(p.X(), p.Y()); }

void rect(GLenum mode, const ZVector2& a, const ZVector2& b) {
    glBegin(mode);
    vertex(a);
    vertex(ZVector2(a.X(), b.Y()));
    vertex(b);
    vertex(ZVector2(b.X(), a.Y()));
    glEnd();
}

void ring(GLenum mode, const ZVector2& c, float r) {
    constexpr int kSteps = 20;
    glBegin(mode);
    for (int i = 0; i < kSteps; ++i) {
        const float t = 2.0f * kPi * static_cast<float>(i) / kSteps;
        vertex(ZVector2(c.X() + r * std::cos(t), c.Y() + r * std::sin(t)));
    }
    glEnd();
}

void disc(const ZVector2& c, float r, const ZVector3& fill, const ZVector3& edge) {
    setColor(fill);
    ring(GL_POLYGON, c, r);
    setColor(edge);
    ring(GL_LINE_LOOP, c, r);
}

void strip(GLenum mode, const Cell& cell, std::initializer_list<std::array<float, 2>> points) {
    glBegin(mode);
    for (const auto& p : points)
        vertex(cell.at(p[0], p[1]));
    glEnd();
}

// A digit as seven segments inside the cell's middle.
void digit(const Cell& cell, int value) {
    // Segments a (top) to g (middle), clockwise from the top.
    static constexpr std::array<unsigned char, 10> kSegments = {0x3F, 0x06, 0x5B, 0x4F, 0x66,
                                                                0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    const float l = 5.0f, r = 9.0f, t = 3.5f, m = 7.0f, b = 10.5f;
    const std::array<std::array<float, 4>, 7> ends = {{{l, t, r, t},
                                                       {r, t, r, m},
                                                       {r, m, r, b},
                                                       {l, b, r, b},
                                                       {l, m, l, b},
                                                       {l, t, l, m},
                                                       {l, m, r, m}}};
    glBegin(GL_LINES);
    for (std::size_t s = 0; s < ends.size(); ++s) {
        if (!(kSegments[static_cast<std::size_t>(value % 10)] & (1u << s)))
            continue;
        vertex(cell.at(ends[s][0], ends[s][1]));
        vertex(cell.at(ends[s][2], ends[s][3]));
    }
    glEnd();
}

ZVector3 priorityColour(int n) {
    switch (n) {
    case 1:
        return {0.86f, 0.20f, 0.18f};
    case 2:
        return {0.93f, 0.50f, 0.10f};
    case 3:
        return {0.80f, 0.62f, 0.00f};
    case 4:
        return {0.20f, 0.62f, 0.30f};
    case 5:
        return {0.20f, 0.45f, 0.85f};
    case 6:
        return {0.55f, 0.35f, 0.75f};
    default:
        return {0.45f, 0.45f, 0.45f};
    }
}

ZVector3 flagColour(std::string_view name) {
    if (name == "flag-red")
        return {0.90f, 0.15f, 0.15f};
    if (name == "flag-orange")
        return {0.98f, 0.55f, 0.10f};
    if (name == "flag-yellow")
        return {0.98f, 0.85f, 0.10f};
    if (name == "flag-green")
        return {0.20f, 0.70f, 0.30f};
    if (name == "flag-blue")
        return {0.20f, 0.45f, 0.90f};
    return {0.60f, 0.30f, 0.80f};
}

// The number after the last '-' of a name ("priority-3", "progress-75").
int trailingNumber(std::string_view name) {
    const std::size_t dash = name.rfind('-');
    int value = 0;
    for (std::size_t i = dash + 1; i < name.size(); ++i)
        value = value * 10 + (name[i] - '0');
    return value;
}

void drawPriority(const Cell& c, std::string_view name) {
    const int n = trailingNumber(name);
    disc(c.centre(), 6.5f * c.unit(), priorityColour(n), priorityColour(n));
    setColor(kWhite);
    digit(c, n);
}

void drawProgress(const Cell& c, std::string_view name) {
    const ZVector3 green{0.20f, 0.60f, 0.30f};
    const float r = 6.5f * c.unit();
    disc(c.centre(), r, kWhite, green);
    const float share = static_cast<float>(trailingNumber(name)) / 100.0f;
    if (share <= 0.0f)
        return;
    // A pie from twelve o'clock, clockwise on screen.
    setColor(green);
    const int steps = std::max(2, static_cast<int>(24.0f * share));
    glBegin(GL_TRIANGLE_FAN);
    vertex(c.centre());
    for (int i = 0; i <= steps; ++i) {
        const float t = 2.0f * kPi * share * static_cast<float>(i) / static_cast<float>(steps);
        vertex(ZVector2(c.centre().X() + (r - c.unit()) * std::sin(t),
                        c.centre().Y() - (r - c.unit()) * std::cos(t)));
    }
    glEnd();
}

void drawTask(const Cell& c, bool done) {
    const ZVector3 green{0.20f, 0.62f, 0.30f};
    if (!done) {
        disc(c.centre(), 6.0f * c.unit(), kWhite, {0.5f, 0.5f, 0.5f});
        return;
    }
    disc(c.centre(), 6.5f * c.unit(), green, green);
    setColor(kWhite);
    strip(GL_LINE_STRIP, c, {{3.8f, 7.2f}, {6.0f, 9.6f}, {10.2f, 4.6f}});
}

void drawFlag(const Cell& c, std::string_view name) {
    setColor(flagColour(name));
    strip(GL_QUADS, c, {{4.0f, 2.0f}, {4.0f, 8.0f}, {12.0f, 8.0f}, {12.0f, 2.0f}});
    setColor(kInk);
    strip(GL_LINES, c, {{4.0f, 1.5f}, {4.0f, 13.0f}});
}

void drawStar(const Cell& c) {
    const ZVector2 centre = c.centre();
    std::array<ZVector2, 10> rim;
    for (std::size_t i = 0; i < rim.size(); ++i) {
        const float r = (i % 2 == 0 ? 6.8f : 2.9f) * c.unit();
        const float t = kPi * static_cast<float>(i) / 5.0f;
        rim[i] = ZVector2(centre.X() + r * std::sin(t), centre.Y() + 0.6f * c.unit() - r * std::cos(t));
    }
    setColor({1.0f, 0.78f, 0.10f});
    glBegin(GL_TRIANGLE_FAN);
    vertex(centre);
    for (const ZVector2& p : rim)
        vertex(p);
    vertex(rim[0]);
    glEnd();
    setColor({0.75f, 0.52f, 0.0f});
    glBegin(GL_LINE_LOOP);
    for (const ZVector2& p : rim)
        vertex(p);
    glEnd();
}

void drawQuestion(const Cell& c) {
    disc(c.centre(), 6.5f * c.unit(), {0.25f, 0.50f, 0.90f}, {0.25f, 0.50f, 0.90f});
    setColor(kWhite);
    strip(GL_LINE_STRIP, c,
          {{4.8f, 5.2f}, {5.4f, 3.8f}, {7.0f, 3.2f}, {8.6f, 3.8f}, {9.2f, 5.2f}, {8.4f, 6.6f},
           {7.0f, 7.4f}, {7.0f, 8.8f}});
    rect(GL_QUADS, c.at(6.3f, 9.9f), c.at(7.7f, 11.3f));
}

void drawIdea(const Cell& c) {
    disc(c.at(7.0f, 5.8f), 4.8f * c.unit(), {1.0f, 0.86f, 0.25f}, {0.75f, 0.55f, 0.0f});
    setColor({0.45f, 0.45f, 0.45f});
    rect(GL_QUADS, c.at(5.2f, 10.4f), c.at(8.8f, 13.2f));
    setColor(kWhite);
    strip(GL_LINES, c, {{5.4f, 11.8f}, {8.6f, 11.8f}});
}

void drawWarning(const Cell& c) {
    setColor({1.0f, 0.76f, 0.0f});
    strip(GL_TRIANGLES, c, {{7.0f, 1.0f}, {0.8f, 12.8f}, {13.2f, 12.8f}});
    setColor({0.6f, 0.4f, 0.0f});
    strip(GL_LINE_LOOP, c, {{7.0f, 1.0f}, {0.8f, 12.8f}, {13.2f, 12.8f}});
    setColor(kInk);
    strip(GL_LINES, c, {{7.0f, 4.8f}, {7.0f, 9.0f}});
    rect(GL_QUADS, c.at(6.3f, 10.2f), c.at(7.7f, 11.6f));
}

// Another program's icon, known only by name: a plain tag.
void drawTag(const Cell& c) {
    const ZVector3 slate{0.42f, 0.52f, 0.64f};
    setColor(slate);
    strip(GL_POLYGON, c, {{1.0f, 7.0f}, {5.0f, 3.0f}, {13.0f, 3.0f}, {13.0f, 11.0f}, {5.0f, 11.0f}});
    setColor(kWhite);
    rect(GL_QUADS, c.at(4.2f, 6.2f), c.at(5.8f, 7.8f));
}

void drawMarker(const Cell& c, std::string_view name) {
    switch (ZN_MarkerGroupOf(name)) {
    case ZN_MarkerGroup::Priority:
        drawPriority(c, name);
        return;
    case ZN_MarkerGroup::Progress:
        drawProgress(c, name);
        return;
    case ZN_MarkerGroup::Task:
        drawTask(c, name == "task-done");
        return;
    case ZN_MarkerGroup::Flag:
        drawFlag(c, name);
        return;
    case ZN_MarkerGroup::Symbol:
        if (name == "star")
            drawStar(c);
        else if (name == "question")
            drawQuestion(c);
        else if (name == "idea")
            drawIdea(c);
        else
            drawWarning(c);
        return;
    case ZN_MarkerGroup::Other:
        break;
    }
    drawTag(c);
}

// A sheet of notes with three lines of writing.
void drawNote(const Cell& c) {
    setColor({1.0f, 0.93f, 0.55f});
    rect(GL_QUADS, c.at(1.5f, 0.5f), c.at(12.5f, 13.5f));
    setColor({0.55f, 0.42f, 0.05f});
    rect(GL_LINE_LOOP, c.at(1.5f, 0.5f), c.at(12.5f, 13.5f));
    strip(GL_LINES, c,
          {{4.0f, 4.0f}, {10.0f, 4.0f}, {4.0f, 7.0f}, {10.0f, 7.0f}, {4.0f, 10.0f}, {8.0f, 10.0f}});
}

// A square with an arrow leaving it at the top right.
void drawLink(const Cell& c) {
    const ZVector3 blue{0.15f, 0.40f, 0.85f};
    setColor({0.88f, 0.93f, 1.0f});
    rect(GL_QUADS, c.at(0.5f, 0.5f), c.at(13.5f, 13.5f));
    setColor(blue);
    rect(GL_LINE_LOOP, c.at(0.5f, 0.5f), c.at(13.5f, 13.5f));
    strip(GL_LINE_STRIP, c, {{7.0f, 3.5f}, {3.5f, 3.5f}, {3.5f, 10.5f}, {10.5f, 10.5f}, {10.5f, 7.0f}});
    strip(GL_LINES, c, {{6.0f, 8.0f}, {11.0f, 3.0f}, {7.5f, 3.0f}, {11.0f, 3.0f}, {11.0f, 3.0f},
                        {11.0f, 6.5f}});
}

} // namespace

void drawNodeMarks(const ZN_ShapeBase& shape) {
    if (!shape.getShow() || !ZN_HasMarks(shape))
        return;
    GLfloat previous = 1.0f;
    glGetFloatv(GL_LINE_WIDTH, &previous);
    glDisable(GL_TEXTURE_2D);
    lineWidth(zoomedLineWidth(1.0f));
    const ZVector2 offset = getScallPosition();
    const std::vector<std::string>& markers = shape.getFields().markers;
    for (const ZN_Mark& mark : ZN_NodeMarks(shape)) {
        const Cell cell{mark.min - offset, mark.max.X() - mark.min.X()};
        switch (mark.kind) {
        case ZN_MarkKind::Marker:
            drawMarker(cell, markers[static_cast<std::size_t>(mark.marker)]);
            break;
        case ZN_MarkKind::Note:
            drawNote(cell);
            break;
        case ZN_MarkKind::Link:
            drawLink(cell);
            break;
        case ZN_MarkKind::None:
            break;
        }
    }
    lineWidth(previous);
}

} // namespace detail
