#include <sarvik/ZDrawRecorder.h>
#include <sarvik/ZN_SText.h>

#include <GL/gl.h>

#include "DeviceScale.h"

void ZN_SText::render() const {
    if (!show)
        return;
    glDisable(GL_TEXTURE_2D);
    // The raster colour is latched by glRasterPos, so the colour comes first.
    glColor4f(fontColor.X(), fontColor.Y(), fontColor.Z(), 1.0f);
    // The picture is made for the device pixels it covers.
    const float scale = detail::deviceScale();
    if (!text.empty() && glyphHeight() * scale < kSmallestReadable) {
        if (text.find_first_not_of(" \t\r\n") != std::string::npos)
            drawSmallTextBar();
    } else if (!text.empty()) {
        // The picture rises from the rectangle's bottom-left corner, so its
        // bottom row meets the rectangle's bottom edge. A corner outside the
        // window makes the raster position invalid and GL draws nothing.
        const ZVector2 offset = getScallPosition();
        glRasterPos2f(point1.X() - offset.X(), point2.Y() - offset.Y());
        if (ZDrawRecorder* recorder = ZGetDrawRecorder())
            recorder->text(*this, point1 - offset, point2 - offset);
        if (scale == 1.0f) {
            getGLFont().render();
        } else if (const auto picture = pictureAt(scale)) {
            ZGLFont::renderPicture(picture->width, picture->height, picture->bits.data(),
                                   picture->originX);
        }
    }
    if (selected)
        drawSelectRect();
}

void ZN_SText::drawSmallTextBar() const {
    // Glyphs this small are unreadable specks; a faint bar over the middle of
    // the text's rectangle shows where the text is and how long.
    const ZVector2 offset = getScallPosition();
    const ZVector2 a = point1 - offset;
    const ZVector2 b = point2 - offset;
    const float quarter = (b.Y() - a.Y()) * 0.25f;
    glColor4f(fontColor.X(), fontColor.Y(), fontColor.Z(), 0.3f);
    glBegin(GL_QUADS);
    glVertex2f(a.X(), a.Y() + quarter);
    glVertex2f(b.X(), a.Y() + quarter);
    glVertex2f(b.X(), b.Y() - quarter);
    glVertex2f(a.X(), b.Y() - quarter);
    glEnd();
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
