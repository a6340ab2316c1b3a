// Drawing of the rounded rectangle: an octagon with straight corner cuts,
// filled as one fan or as three bands of gradient quads.

#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_NRectVariants.h>
#include <sarvik/ZN_SText.h>

#include <GL/gl.h>

#include "LineWidth.h"

#include <span>

#include "BoxPaint.h"
#include "NodeColors.h"
#include "NodeMarks.h"

namespace {

void vertex(const ZVector2& p) { glVertex2f(p.X(), p.Y()); }

// One quad with a colour per vertex (smooth shading blends them).
void quad(const ZVector2 (&v)[4], const ZVector3* (&c)[4]) {
    for (int i = 0; i < 4; ++i) {
        detail::setColor(*c[i]);
        vertex(v[i]);
    }
}

// The outline's eight vertices, clockwise on screen from the top edge's left end.
void octagon(const ZVector2& a, const ZVector2& b, float r, std::span<ZVector2, 8> out) {
    out[0] = ZVector2(a.X() + r, a.Y());
    out[1] = ZVector2(b.X() - r, a.Y());
    out[2] = ZVector2(b.X(), a.Y() + r);
    out[3] = ZVector2(b.X(), b.Y() - r);
    out[4] = ZVector2(b.X() - r, b.Y());
    out[5] = ZVector2(a.X() + r, b.Y());
    out[6] = ZVector2(a.X(), b.Y() - r);
    out[7] = ZVector2(a.X(), a.Y() + r);
}

} // namespace

void ZN_NRoundRect::render() const {
    if (!show)
        return;
    detail::lineWidth(detail::zoomedLineWidth(static_cast<GLfloat>(lineWide)));
    const auto [a, b] = detail::screenBox(point1, point2);
    const float r = cornerCut(a, b);

    if (imageData)
        detail::drawPicture(*imageData, a, b);
    else
        renderRegionAffect(a, b, r);
    glDisable(GL_TEXTURE_2D);

    detail::setColor(color);
    if (rectShowtype != 0) {
        detail::drawUnderline(a, b);
    } else {
        renderLines(a, b, r);
    }

    detail::drawSelectionHandles(snake, selected, [this](int code) { RenderSelect(code); });
    detail::drawNodeMarks(*this);
    if (label)
        label->render();
}

void ZN_NRoundRect::renderLines(const ZVector2& a, const ZVector2& b, float r) const {
    ZVector2 v[8];
    octagon(a, b, r, v);
    detail::drawLoop(v);
}

void ZN_NRoundRect::renderRegionAffect(const ZVector2& a, const ZVector2& b, float r) const {
    const ZVector2 m = (a + b) * 0.5f;
    const ZVector3* f = &fillColor;
    const ZVector3* g = &gradualColor;
    switch (gradualType) {
    case 0:
    case 1: {
        // The rim closes by repeating its first vertex.
        ZVector2 v[9];
        octagon(a, b, r, std::span(v).first<8>());
        v[8] = v[0];
        detail::drawFan(m, gradualType == 0 ? fillColor : gradualColor, v, fillColor);
        break;
    }
    case 2:
    case 3: {
        // Three horizontal bands: the cut top, the full-width middle, the cut bottom.
        const float y[4] = {a.Y(), a.Y() + r, b.Y() - r, b.Y()};
        const float left[4] = {a.X() + r, a.X(), a.X(), a.X() + r};
        const float right[4] = {b.X() - r, b.X(), b.X(), b.X() - r};
        glBegin(GL_QUADS);
        for (int band = 0; band < 3; ++band) {
            const float y0 = y[band], y1 = y[band + 1];
            const float l0 = left[band], l1 = left[band + 1];
            const float r0 = right[band], r1 = right[band + 1];
            if (gradualType == 3) {
                const ZVector2 v[4] = {{l0, y0}, {l1, y1}, {r1, y1}, {r0, y0}};
                const ZVector3* c[4] = {f, f, g, g};
                quad(v, c);
            } else {
                const ZVector2 lv[4] = {{l0, y0}, {l1, y1}, {m.X(), y1}, {m.X(), y0}};
                const ZVector3* lc[4] = {f, f, g, g};
                quad(lv, lc);
                const ZVector2 rv[4] = {{m.X(), y0}, {m.X(), y1}, {r1, y1}, {r0, y0}};
                const ZVector3* rc[4] = {g, g, f, f};
                quad(rv, rc);
            }
        }
        glEnd();
        break;
    }
    case 4:
    case 5: {
        // Three vertical bands: the cut left, the full-height middle, the cut right.
        const float x[4] = {a.X(), a.X() + r, b.X() - r, b.X()};
        const float top[4] = {a.Y() + r, a.Y(), a.Y(), a.Y() + r};
        const float bottom[4] = {b.Y() - r, b.Y(), b.Y(), b.Y() - r};
        glBegin(GL_QUADS);
        for (int band = 0; band < 3; ++band) {
            const float x0 = x[band], x1 = x[band + 1];
            const float t0 = top[band], t1 = top[band + 1];
            const float b0 = bottom[band], b1 = bottom[band + 1];
            if (gradualType == 5) {
                const ZVector2 v[4] = {{x0, t0}, {x1, t1}, {x1, b1}, {x0, b0}};
                const ZVector3* c[4] = {f, f, g, g};
                quad(v, c);
            } else {
                const ZVector2 tv[4] = {{x0, t0}, {x1, t1}, {x1, m.Y()}, {x0, m.Y()}};
                const ZVector3* tc[4] = {f, f, g, g};
                quad(tv, tc);
                const ZVector2 bv[4] = {{x0, m.Y()}, {x1, m.Y()}, {x1, b1}, {x0, b0}};
                const ZVector3* bc[4] = {g, g, f, f};
                quad(bv, bc);
            }
        }
        glEnd();
        break;
    }
    default:
        // Unknown fill modes leave the shape transparent.
        break;
    }
}
