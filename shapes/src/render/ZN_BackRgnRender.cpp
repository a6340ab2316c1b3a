#include <sarvik/ZN_BackRgn.h>

#include <GL/gl.h>

#include "LineWidth.h"

void ZN_BackRgn::render() const {
    if (!show)
        return;

    // Square handles need point smoothing off; blending off keeps the frame a
    // solid green whatever the page below it.
    glDisable(GL_POINT_SMOOTH);
    glEnable(GL_LINE_SMOOTH);
    glDisable(GL_BLEND);
    glPointSize(8.0f);
    glColor3f(red, green, blue);
    detail::lineWidth(1.0f);

    // Window coordinates as they are: the frame does not scroll with the map.
    glBegin(GL_LINE_LOOP);
    glVertex2f(point1.X(), point1.Y());
    glVertex2f(point1.X(), point2.Y());
    glVertex2f(point2.X(), point2.Y());
    glVertex2f(point2.X(), point1.Y());
    glEnd();

    if (selected) {
        glBegin(GL_POINTS);
        for (int code = 1; code <= 8; ++code) {
            const ZVector2 h = handlePosition(code);
            glVertex2f(h.X(), h.Y());
        }
        glEnd();
    }

    // Back to the scene's usual state for whatever is drawn next.
    glEnable(GL_POINT_SMOOTH);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}
