// Drawing of the fill-in table: the box's fill, then the grid lines, whose
// first and last lines form the border.

#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_SText.h>

#include <GL/gl.h>

#include "LineWidth.h"

#include "BoxPaint.h"
#include "NodeColors.h"
#include "NodeMarks.h"

void ZN_NJiuGongGe::render() const {
    if (!show)
        return;
    const auto [a, b] = detail::screenBox(point1, point2);

    renderRegion(a, b);
    detail::lineWidth(detail::zoomedLineWidth(static_cast<GLfloat>(lineWide)));
    glDisable(GL_TEXTURE_2D);
    detail::setColor(color);

    glBegin(GL_LINES);
    if (rectShowtype != 0) {
        glVertex2f(a.X(), b.Y());
        glVertex2f(b.X(), b.Y());
    } else if (row > 0 && col > 0) {
        const float w = (b.X() - a.X()) / static_cast<float>(row);
        const float h = (b.Y() - a.Y()) / static_cast<float>(col);
        for (int k = 0; k <= row; ++k) {
            const float x = a.X() + static_cast<float>(k) * w;
            glVertex2f(x, a.Y());
            glVertex2f(x, b.Y());
        }
        for (int k = 0; k <= col; ++k) {
            const float y = a.Y() + static_cast<float>(k) * h;
            glVertex2f(a.X(), y);
            glVertex2f(b.X(), y);
        }
    }
    glEnd();

    detail::drawSelectionHandles(snake, selected, [this](int code) { RenderSelect(code); });
    detail::drawNodeMarks(*this);
    if (label)
        label->render();
}
