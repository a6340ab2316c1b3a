#include "BoxPaint.h"

#include <sarvik/ZDrawRecorder.h>
#include <sarvik/ZImageTexture.h>

#include "DeviceScale.h"
#include "NodeColors.h"

#include <cmath>

namespace detail {

namespace {
void vertex(const ZVector2& p) { glVertex2f(p.X(), p.Y()); }
} // namespace

void drawPicture(const ZImageTexture& image, const ZVector2& a, const ZVector2& b) {
    ZDrawRecorder* recorder = ZGetDrawRecorder();
    if (recorder)
        recorder->pictureBegin(image, a, b);
    // The texture is made for the device pixels the picture covers.
    const float scale = deviceScale();
    image.ensureResolution(std::fabs(b.X() - a.X()) * scale, std::fabs(b.Y() - a.Y()) * scale);
    image.render();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(a.X(), a.Y());
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(a.X(), b.Y());
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(b.X(), b.Y());
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(b.X(), a.Y());
    glEnd();
    if (recorder)
        recorder->pictureEnd();
}

void drawUnderline(const ZVector2& a, const ZVector2& b) {
    glBegin(GL_LINES);
    glVertex2f(a.X(), b.Y());
    glVertex2f(b.X(), b.Y());
    glEnd();
}

void drawLoop(std::span<const ZVector2> points) {
    glBegin(GL_LINE_LOOP);
    for (const ZVector2& p : points)
        vertex(p);
    glEnd();
}

void drawCornerJoins(std::span<const ZVector2> points) {
    const float scale = deviceScale();
    if (scale == 1.0f || !(scale > 0.0f))
        return;
    GLfloat width = 1.0f;
    glGetFloatv(GL_LINE_WIDTH, &width);
    // Thinner lines have no notch worth a pixel.
    if (!(width > 2.0f))
        return;
    const float h = width * 0.5f / scale;
    glBegin(GL_QUADS);
    for (const ZVector2& p : points) {
        glVertex2f(p.X() - h, p.Y() - h);
        glVertex2f(p.X() - h, p.Y() + h);
        glVertex2f(p.X() + h, p.Y() + h);
        glVertex2f(p.X() + h, p.Y() - h);
    }
    glEnd();
}

void drawFan(const ZVector2& centre, const ZVector3& centreColor, std::span<const ZVector2> rim,
             const ZVector3& rimColor) {
    glBegin(GL_TRIANGLE_FAN);
    setColor(centreColor);
    vertex(centre);
    setColor(rimColor);
    for (const ZVector2& p : rim)
        vertex(p);
    glEnd();
}

void fillFourCorners(int gradualType, const ZVector2& tl, const ZVector2& tr, const ZVector2& br,
                     const ZVector2& bl, const ZVector2& centre, const ZVector3& fillColor,
                     const ZVector3& gradualColor) {
    const ZVector3& f = fillColor;
    const ZVector3& g = gradualColor;
    // Each strip is given as pairs across the box, with the colour of each pair.
    const auto strip = [](std::span<const ZVector2> v, std::span<const ZVector3* const> c) {
        glBegin(GL_QUAD_STRIP);
        for (std::size_t i = 0; i < v.size(); i += 2) {
            setColor(*c[i / 2]);
            vertex(v[i]);
            vertex(v[i + 1]);
        }
        glEnd();
    };
    switch (gradualType) {
    case 0:
        setColor(f);
        glBegin(GL_QUADS);
        vertex(tl);
        vertex(bl);
        vertex(br);
        vertex(tr);
        glEnd();
        break;
    case 1: {
        const ZVector2 rim[5] = {tl, bl, br, tr, tl};
        drawFan(centre, g, rim, f);
        break;
    }
    case 2: {
        const ZVector2 v[6] = {tl, bl, (tl + tr) * 0.5f, (bl + br) * 0.5f, tr, br};
        const ZVector3* const c[3] = {&f, &g, &f};
        strip(v, c);
        break;
    }
    case 3: {
        const ZVector2 v[4] = {tl, bl, tr, br};
        const ZVector3* const c[2] = {&f, &g};
        strip(v, c);
        break;
    }
    case 4: {
        const ZVector2 v[6] = {tr, tl, (tr + br) * 0.5f, (tl + bl) * 0.5f, br, bl};
        const ZVector3* const c[3] = {&f, &g, &f};
        strip(v, c);
        break;
    }
    case 5: {
        const ZVector2 v[4] = {tr, tl, br, bl};
        const ZVector3* const c[2] = {&f, &g};
        strip(v, c);
        break;
    }
    default:
        break;
    }
}

void drawHandleSquare(const ZVector2& h, GLenum mode) {
    // Eight screen pixels at any zoom, so a handle is as easy to see and grab.
    const float r = 4.0f / getViewZoom();
    glBegin(mode);
    glVertex2f(h.X() - r, h.Y() - r);
    glVertex2f(h.X() - r, h.Y() + r);
    glVertex2f(h.X() + r, h.Y() + r);
    glVertex2f(h.X() + r, h.Y() - r);
    glEnd();
}

} // namespace detail
