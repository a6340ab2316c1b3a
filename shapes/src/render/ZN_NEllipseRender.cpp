// Drawing of the ellipse: a 64-segment fan for the fill and a loop for the
// outline. It never draws a picture.

#include <sarvik/ZN_NRectVariants.h>
#include <sarvik/ZN_SText.h>

#include <GL/gl.h>

#include "LineWidth.h"

#include <cmath>
#include <span>

#include "BoxPaint.h"
#include "NodeColors.h"
#include "NodeMarks.h"

void ZN_NEllipse::render() const {
    if (!show)
        return;
    detail::lineWidth(detail::zoomedLineWidth(static_cast<GLfloat>(lineWide)));
    const auto [a, b] = detail::screenBox(point1, point2);
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
    detail::drawFan(m, gradualType == 0 ? fillColor : gradualColor, ring, fillColor);
    glDisable(GL_TEXTURE_2D);

    detail::setColor(color);
    if (rectShowtype != 0)
        detail::drawUnderline(a, b);
    else
        detail::drawLoop(std::span(ring).first<kSegments>());

    detail::drawSelectionHandles(snake, selected, [this](int code) { RenderSelect(code); });
    detail::drawNodeMarks(*this);
    if (label)
        label->render();
}
