// Drawing of the parallelogram: the box's six fill modes over its own
// vertices, its full outline and handles on its own outline.

#include <sarvik/ZN_NRectVariants.h>
#include <sarvik/ZN_SText.h>

#include <GL/gl.h>

#include "LineWidth.h"

#include "BoxPaint.h"
#include "NodeColors.h"
#include "NodeMarks.h"

void ZN_NParal::render() const {
    if (!show)
        return;
    detail::lineWidth(detail::zoomedLineWidth(static_cast<GLfloat>(lineWide)));
    const auto [a, b] = detail::screenBox(point1, point2);

    renderRhombusRegion(a, b);
    glDisable(GL_TEXTURE_2D);

    ZVector2 v[4];
    vertices(a, b, v);
    detail::setColor(color);
    detail::drawLoop(v);
    detail::drawCornerJoins(v);

    detail::drawSelectionHandles(snake, selected, [this](int code) { RenderSelect(code); });
    detail::drawNodeMarks(*this);
    if (label)
        label->render();
}

void ZN_NParal::RenderSelect(int code) const {
    const detail::ScreenBox box = detail::screenBox(point1, point2);
    detail::drawHandleSquares(code, [&](int k) { return paralHandlePos(k, box.a, box.b); });
}

void ZN_NParal::renderRhombusRegion(const ZVector2& a, const ZVector2& b) const {
    // The vertices stand in for the box's corners: top-left, top-right,
    // bottom-right, bottom-left.
    ZVector2 v[4];
    vertices(a, b, v);
    detail::fillFourCorners(gradualType, v[0], v[1], v[2], v[3], (a + b) * 0.5f, fillColor,
                            gradualColor);
}
