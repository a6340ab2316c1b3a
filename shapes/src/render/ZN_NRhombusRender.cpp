// Drawing of the rhombus: the diamond's fill and its full outline, which the
// underline mode does not replace.

#include <sarvik/ZN_NRectVariants.h>
#include <sarvik/ZN_SText.h>

#include <GL/gl.h>

#include "LineWidth.h"

#include "BoxPaint.h"
#include "NodeColors.h"
#include "NodeMarks.h"

namespace {
void vertex(const ZVector2& p) { glVertex2f(p.X(), p.Y()); }
} // namespace

void ZN_NRhombus::render() const {
    if (!show)
        return;
    detail::lineWidth(detail::zoomedLineWidth(static_cast<GLfloat>(lineWide)));
    const auto [a, b] = detail::screenBox(point1, point2);

    renderRhombusRegion(a, b);
    glDisable(GL_TEXTURE_2D);

    ZVector2 t[4];
    tips(a, b, t);
    detail::setColor(color);
    detail::drawLoop(t);
    detail::drawCornerJoins(t);

    detail::drawSelectionHandles(snake, selected, [this](int code) { RenderSelect(code); });
    detail::drawNodeMarks(*this);
    if (label)
        label->render();
}

void ZN_NRhombus::renderRhombusRegion(const ZVector2& a, const ZVector2& b) const {
    ZVector2 t[4];
    tips(a, b, t);
    const ZVector2& top = t[0];
    const ZVector2& right = t[1];
    const ZVector2& bottom = t[2];
    const ZVector2& left = t[3];
    switch (gradualType) {
    case 0:
        detail::setColor(fillColor);
        glBegin(GL_QUADS);
        vertex(top);
        vertex(right);
        vertex(bottom);
        vertex(left);
        glEnd();
        break;
    case 1: {
        const ZVector2 rim[5] = {top, left, bottom, right, top};
        detail::drawFan((a + b) * 0.5f, gradualColor, rim, fillColor);
        break;
    }
    case 2:
    case 3:
        // Left and right tips in the fill colour, the vertical diagonal in the gradient.
        glBegin(GL_TRIANGLE_STRIP);
        detail::setColor(fillColor);
        vertex(left);
        detail::setColor(gradualColor);
        vertex(top);
        vertex(bottom);
        detail::setColor(fillColor);
        vertex(right);
        glEnd();
        break;
    case 4:
    case 5:
        glBegin(GL_TRIANGLE_STRIP);
        detail::setColor(fillColor);
        vertex(top);
        detail::setColor(gradualColor);
        vertex(left);
        vertex(right);
        detail::setColor(fillColor);
        vertex(bottom);
        glEnd();
        break;
    default:
        break;
    }
}
