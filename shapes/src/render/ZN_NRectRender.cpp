#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>

#include <GL/gl.h>

#include "LineWidth.h"

#include "BoxPaint.h"
#include "NodeColors.h"
#include "NodeMarks.h"

void ZN_NRect::render() const {
    if (!show)
        return;
    detail::lineWidth(detail::zoomedLineWidth(static_cast<GLfloat>(lineWide)));

    const auto [a, b] = detail::screenBox(point1, point2);

    if (imageData)
        detail::drawPicture(*imageData, a, b);
    else
        renderRegion(a, b);
    glDisable(GL_TEXTURE_2D);

    detail::setColor(color);
    if (rectShowtype == 0) {
        const ZVector2 corners[4] = {a, {a.X(), b.Y()}, b, {b.X(), a.Y()}};
        detail::drawLoop(corners);
        detail::drawCornerJoins(corners);
    } else {
        detail::drawUnderline(a, b);
    }

    detail::drawSelectionHandles(snake, selected, [this](int code) { RenderSelect(code); });

    detail::drawNodeMarks(*this);
    if (label)
        label->render();
}

void ZN_NRect::renderRegion(const ZVector2& a, const ZVector2& b) const {
    detail::fillFourCorners(gradualType, a, {b.X(), a.Y()}, b, {a.X(), b.Y()}, (a + b) * 0.5f,
                            fillColor, gradualColor);
}

void ZN_NRect::RenderSelect(int code) const {
    const detail::ScreenBox box = detail::screenBox(point1, point2);
    detail::drawHandleSquares(code, [&](int k) { return handlePos(k, box.a, box.b); });
}

void ZN_NRect::renderBackColor(const ZVector4&) const {}
