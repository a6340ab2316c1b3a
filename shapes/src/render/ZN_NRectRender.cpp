#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>

#include <GL/gl.h>

#include "BoxPaint.h"
#include "NodeColors.h"

void ZN_NRect::render() const {
    if (!show)
        return;
    glLineWidth(static_cast<GLfloat>(lineWide));

    const ZVector2 offset = getScallPosition();
    const ZVector2 a = point1 - offset;
    const ZVector2 b = point2 - offset;

    if (imageData)
        detail::drawPicture(*imageData, a, b);
    else
        renderRegion(a, b);
    glDisable(GL_TEXTURE_2D);

    detail::setColor(color);
    if (rectShowtype == 0) {
        const ZVector2 corners[4] = {a, {a.X(), b.Y()}, b, {b.X(), a.Y()}};
        detail::drawLoop(corners);
    } else {
        detail::drawUnderline(a, b);
    }

    detail::drawSelectionHandles(snake, selected, [this](int code) { RenderSelect(code); });

    if (label)
        label->render();
}

void ZN_NRect::renderRegion(const ZVector2& a, const ZVector2& b) const {
    detail::fillFourCorners(gradualType, a, {b.X(), a.Y()}, b, {a.X(), b.Y()}, (a + b) * 0.5f,
                            fillColor, gradualColor);
}

void ZN_NRect::RenderSelect(int code) const {
    const ZVector2 offset = getScallPosition();
    const ZVector2 a = point1 - offset;
    const ZVector2 b = point2 - offset;
    detail::drawHandleSquares(code, [&](int k) { return handlePos(k, a, b); });
}

void ZN_NRect::renderBackColor(const ZVector4&) const {}
