#include "view/OutlineOverlay.h"

#include <GL/gl.h>

namespace {

// How far the outline stands off a shape, in window pixels, so that it does
// not hide the shape's own frame or selection handles.
constexpr double kOutlineMargin = 4.0;

void beginWindowPixels(int width, int height) {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, width, height, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_POINT_BIT | GL_CURRENT_BIT |
                 GL_COLOR_BUFFER_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LINE_STIPPLE);
    glDisable(GL_BLEND);
}

void endWindowPixels() {
    glPopAttrib();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

void vertex(double x, double y) {
    glVertex2f(static_cast<float>(x), static_cast<float>(y));
}

} // namespace

void drawOutlineRects(const std::vector<QRectF>& rects, ZVector2 offset, float zoom, int width,
                      int height) {
    if (rects.empty())
        return;
    beginWindowPixels(width, height);
    // Orange: apart from the selection's red and grey and the green of a
    // connection target.
    glColor3f(1.0f, 0.6f, 0.1f);
    glLineWidth(2.0f);
    glPointSize(3.0f);
    const double ox = offset.X();
    const double oy = offset.Y();
    std::vector<QPointF> dots;
    glBegin(GL_LINES);
    for (const QRectF& r : rects) {
        const double x1 = (r.left() - ox) * zoom - kOutlineMargin;
        const double y1 = (r.top() - oy) * zoom - kOutlineMargin;
        const double x2 = (r.right() - ox) * zoom + kOutlineMargin;
        const double y2 = (r.bottom() - oy) * zoom + kOutlineMargin;
        if (x2 - x1 < 3.0 * kOutlineMargin && y2 - y1 < 3.0 * kOutlineMargin) {
            dots.emplace_back((x1 + x2) * 0.5, (y1 + y2) * 0.5);
            continue;
        }
        vertex(x1, y1), vertex(x2, y1);
        vertex(x2, y1), vertex(x2, y2);
        vertex(x2, y2), vertex(x1, y2);
        vertex(x1, y2), vertex(x1, y1);
    }
    glEnd();
    glBegin(GL_POINTS);
    for (const QPointF& p : dots)
        vertex(p.x(), p.y());
    glEnd();
    endWindowPixels();
}
