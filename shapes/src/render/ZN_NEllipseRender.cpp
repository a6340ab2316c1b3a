// Drawing of the ellipse: a 64-segment fan for the fill and a loop for the
// outline. It never draws a picture.

#include <sarvik/ZN_NRectVariants.h>
#include <sarvik/ZN_SText.h>

#include <GL/gl.h>

#include <cmath>

#include "NodeColors.h"

void ZN_NEllipse::render() const {
    if (!show)
        return;
    glLineWidth(static_cast<GLfloat>(lineWide));
    const ZVector2 offset = getScallPosition();
    const ZVector2 a = point1 - offset;
    const ZVector2 b = point2 - offset;
    const ZVector2 m = (a + b) * 0.5f;
    const float rx = (b.X() - a.X()) * 0.5f;
    const float ry = (b.Y() - a.Y()) * 0.5f;

    // The angle is accumulated step by step, so the closing vertex lands where
    // single-precision sums put it, as the outline's own vertices do.
    ZVector2 ring[kSegments + 1];
    float theta = 0.0f;
    for (int k = 0; k <= kSegments; ++k) {
        ring[k] = ZVector2(m.X() + rx * std::cos(theta), m.Y() + ry * std::sin(theta));
        theta += 0.098174766f;
    }

    // Any gradient mode other than none is drawn as the radial one.
    glBegin(GL_TRIANGLE_FAN);
    detail::setColor(gradualType == 0 ? fillColor : gradualColor);
    glVertex2f(m.X(), m.Y());
    detail::setColor(fillColor);
    for (const ZVector2& p : ring)
        glVertex2f(p.X(), p.Y());
    glEnd();
    glDisable(GL_TEXTURE_2D);

    detail::setColor(color);
    if (rectShowtype != 0) {
        glBegin(GL_LINES);
        glVertex2f(a.X(), b.Y());
        glVertex2f(b.X(), b.Y());
        glEnd();
    } else {
        glBegin(GL_LINE_LOOP);
        for (int k = 0; k < kSegments; ++k)
            glVertex2f(ring[k].X(), ring[k].Y());
        glEnd();
    }

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
