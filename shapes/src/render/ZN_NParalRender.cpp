// Drawing of the parallelogram: the box's six fill modes over its own
// vertices, its full outline and handles on its own outline.

#include <sarvik/ZN_NRectVariants.h>
#include <sarvik/ZN_SText.h>

#include <GL/gl.h>

#include "NodeColors.h"

namespace {

void vertex(const ZVector2& p) { glVertex2f(p.X(), p.Y()); }

void square(const ZVector2& h) {
    glVertex2f(h.X() - 4.0f, h.Y() - 4.0f);
    glVertex2f(h.X() - 4.0f, h.Y() + 4.0f);
    glVertex2f(h.X() + 4.0f, h.Y() + 4.0f);
    glVertex2f(h.X() + 4.0f, h.Y() - 4.0f);
}

} // namespace

void ZN_NParal::render() const {
    if (!show)
        return;
    glLineWidth(static_cast<GLfloat>(lineWide));
    const ZVector2 offset = getScallPosition();
    const ZVector2 a = point1 - offset;
    const ZVector2 b = point2 - offset;

    renderRhombusRegion(a, b);
    glDisable(GL_TEXTURE_2D);

    ZVector2 v[4];
    vertices(a, b, v);
    detail::setColor(color);
    glBegin(GL_LINE_LOOP);
    for (const ZVector2& p : v)
        vertex(p);
    glEnd();

    if (snake > 0) {
        detail::setColor(detail::kHandleTargetColor);
        RenderSelect(snake);
    } else if (selected) {
        detail::setColor(detail::kHandleSelectColor);
        RenderSelect(9);
    }
    if (label)
        label->render();
}

void ZN_NParal::RenderSelect(int code) const {
    const ZVector2 offset = getScallPosition();
    const ZVector2 a = point1 - offset;
    const ZVector2 b = point2 - offset;
    for (int k = 1; k <= 8; ++k) {
        glBegin(GL_LINE_LOOP);
        square(paralHandlePos(k, a, b));
        glEnd();
    }
    if (code >= 1 && code <= 8) {
        glBegin(GL_QUADS);
        square(paralHandlePos(code, a, b));
        glEnd();
    }
}

void ZN_NParal::renderRhombusRegion(const ZVector2& a, const ZVector2& b) const {
    ZVector2 v[4];
    vertices(a, b, v);
    // Named as the box's corners they stand in for.
    const ZVector2& tl = v[0];
    const ZVector2& tr = v[1];
    const ZVector2& br = v[2];
    const ZVector2& bl = v[3];
    switch (gradualType) {
    case 0:
        detail::setColor(fillColor);
        glBegin(GL_QUADS);
        vertex(tl);
        vertex(bl);
        vertex(br);
        vertex(tr);
        glEnd();
        break;
    case 1:
        glBegin(GL_TRIANGLE_FAN);
        detail::setColor(gradualColor);
        vertex((a + b) * 0.5f);
        detail::setColor(fillColor);
        vertex(tl);
        vertex(bl);
        vertex(br);
        vertex(tr);
        vertex(tl);
        glEnd();
        break;
    case 2:
        glBegin(GL_QUAD_STRIP);
        detail::setColor(fillColor);
        vertex(tl);
        vertex(bl);
        detail::setColor(gradualColor);
        vertex((tl + tr) * 0.5f);
        vertex((bl + br) * 0.5f);
        detail::setColor(fillColor);
        vertex(tr);
        vertex(br);
        glEnd();
        break;
    case 3:
        glBegin(GL_QUAD_STRIP);
        detail::setColor(fillColor);
        vertex(tl);
        vertex(bl);
        detail::setColor(gradualColor);
        vertex(tr);
        vertex(br);
        glEnd();
        break;
    case 4:
        glBegin(GL_QUAD_STRIP);
        detail::setColor(fillColor);
        vertex(tr);
        vertex(tl);
        detail::setColor(gradualColor);
        vertex((tr + br) * 0.5f);
        vertex((tl + bl) * 0.5f);
        detail::setColor(fillColor);
        vertex(br);
        vertex(bl);
        glEnd();
        break;
    case 5:
        glBegin(GL_QUAD_STRIP);
        detail::setColor(fillColor);
        vertex(tr);
        vertex(tl);
        detail::setColor(gradualColor);
        vertex(br);
        vertex(bl);
        glEnd();
        break;
    default:
        break;
    }
}
