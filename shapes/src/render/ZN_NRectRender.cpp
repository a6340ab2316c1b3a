#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>

#include <GL/gl.h>

#include "NodeColors.h"

namespace {

void vertex(float x, float y) { glVertex2f(x, y); }

} // namespace

void ZN_NRect::render() const {
    if (!show)
        return;
    glLineWidth(static_cast<GLfloat>(lineWide));

    const ZVector2 offset = getScallPosition();
    const ZVector2 a = point1 - offset;
    const ZVector2 b = point2 - offset;

    if (imageData) {
        // The picture's first stored row is its bottom row, so t = 0 goes to
        // the bottom edge.
        imageData->render();
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glBegin(GL_QUADS);
        glTexCoord2f(0.0f, 1.0f);
        vertex(a.X(), a.Y());
        glTexCoord2f(0.0f, 0.0f);
        vertex(a.X(), b.Y());
        glTexCoord2f(1.0f, 0.0f);
        vertex(b.X(), b.Y());
        glTexCoord2f(1.0f, 1.0f);
        vertex(b.X(), a.Y());
        glEnd();
    } else {
        renderRegion(a, b);
    }
    glDisable(GL_TEXTURE_2D);

    detail::setColor(color);
    if (rectShowtype == 0) {
        glBegin(GL_LINE_LOOP);
        vertex(a.X(), a.Y());
        vertex(a.X(), b.Y());
        vertex(b.X(), b.Y());
        vertex(b.X(), a.Y());
        glEnd();
    } else {
        glBegin(GL_LINES);
        vertex(a.X(), b.Y());
        vertex(b.X(), b.Y());
        glEnd();
    }

    // A connection target shows green handles even when it is also selected.
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

void ZN_NRect::renderRegion(const ZVector2& a, const ZVector2& b) const {
    const ZVector2 m = (a + b) * 0.5f;
    switch (gradualType) {
    case 0:
        detail::setColor(fillColor);
        glBegin(GL_QUADS);
        vertex(a.X(), a.Y());
        vertex(a.X(), b.Y());
        vertex(b.X(), b.Y());
        vertex(b.X(), a.Y());
        glEnd();
        break;
    case 1:
        glBegin(GL_TRIANGLE_FAN);
        detail::setColor(gradualColor);
        vertex(m.X(), m.Y());
        detail::setColor(fillColor);
        vertex(a.X(), a.Y());
        vertex(a.X(), b.Y());
        vertex(b.X(), b.Y());
        vertex(b.X(), a.Y());
        vertex(a.X(), a.Y());
        glEnd();
        break;
    case 2:
        glBegin(GL_QUAD_STRIP);
        detail::setColor(fillColor);
        vertex(a.X(), a.Y());
        vertex(a.X(), b.Y());
        detail::setColor(gradualColor);
        vertex(m.X(), a.Y());
        vertex(m.X(), b.Y());
        detail::setColor(fillColor);
        vertex(b.X(), a.Y());
        vertex(b.X(), b.Y());
        glEnd();
        break;
    case 3:
        glBegin(GL_QUAD_STRIP);
        detail::setColor(fillColor);
        vertex(a.X(), a.Y());
        vertex(a.X(), b.Y());
        detail::setColor(gradualColor);
        vertex(b.X(), a.Y());
        vertex(b.X(), b.Y());
        glEnd();
        break;
    case 4:
        glBegin(GL_QUAD_STRIP);
        detail::setColor(fillColor);
        vertex(b.X(), a.Y());
        vertex(a.X(), a.Y());
        detail::setColor(gradualColor);
        vertex(b.X(), m.Y());
        vertex(a.X(), m.Y());
        detail::setColor(fillColor);
        vertex(b.X(), b.Y());
        vertex(a.X(), b.Y());
        glEnd();
        break;
    case 5:
        glBegin(GL_QUAD_STRIP);
        detail::setColor(fillColor);
        vertex(b.X(), a.Y());
        vertex(a.X(), a.Y());
        detail::setColor(gradualColor);
        vertex(b.X(), b.Y());
        vertex(a.X(), b.Y());
        glEnd();
        break;
    default:
        // Unknown fill modes leave the box transparent.
        break;
    }
}

void ZN_NRect::RenderSelect(int code) const {
    const ZVector2 offset = getScallPosition();
    const ZVector2 a = point1 - offset;
    const ZVector2 b = point2 - offset;
    for (int k = 1; k <= 8; ++k) {
        const ZVector2 h = handlePos(k, a, b);
        glBegin(GL_LINE_LOOP);
        vertex(h.X() - 4.0f, h.Y() - 4.0f);
        vertex(h.X() - 4.0f, h.Y() + 4.0f);
        vertex(h.X() + 4.0f, h.Y() + 4.0f);
        vertex(h.X() + 4.0f, h.Y() - 4.0f);
        glEnd();
    }
    if (code >= 1 && code <= 8) {
        const ZVector2 h = handlePos(code, a, b);
        glBegin(GL_QUADS);
        vertex(h.X() - 4.0f, h.Y() - 4.0f);
        vertex(h.X() - 4.0f, h.Y() + 4.0f);
        vertex(h.X() + 4.0f, h.Y() + 4.0f);
        vertex(h.X() + 4.0f, h.Y() - 4.0f);
        glEnd();
    }
}

void ZN_NRect::renderBackColor(const ZVector4&) const {}
