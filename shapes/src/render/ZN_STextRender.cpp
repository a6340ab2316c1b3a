#include <sarvik/ZDrawRecorder.h>
#include <sarvik/ZN_SText.h>

#include <GL/gl.h>

void ZN_SText::render() const {
    if (!show)
        return;
    glDisable(GL_TEXTURE_2D);
    // The raster colour is latched by glRasterPos, so the colour comes first.
    glColor4f(fontColor.X(), fontColor.Y(), fontColor.Z(), 1.0f);
    if (!text.empty()) {
        // The picture rises from the rectangle's bottom-left corner, so its
        // bottom row meets the rectangle's bottom edge. A corner outside the
        // window makes the raster position invalid and GL draws nothing.
        const ZVector2 offset = getScallPosition();
        glRasterPos2f(point1.X() - offset.X(), point2.Y() - offset.Y());
        if (ZDrawRecorder* recorder = ZGetDrawRecorder())
            recorder->text(*this, point1 - offset, point2 - offset);
        glFont.render();
    }
    if (selected)
        drawSelectRect();
}

void ZN_SText::drawSelectRect() const {
    const ZVector2 offset = getScallPosition();
    const ZVector2 a = point1 - offset;
    const ZVector2 b = point2 - offset;
    glColor3f(1.0f, 0.0f, 0.0f);
    glBegin(GL_LINE_LOOP);
    glVertex2f(a.X(), a.Y());
    glVertex2f(b.X(), a.Y());
    glVertex2f(b.X(), b.Y());
    glVertex2f(a.X(), b.Y());
    glEnd();
}
