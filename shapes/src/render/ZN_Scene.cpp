#include <sarvik/ZN_BackRgn.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_Scene.h>
#include <sarvik/ZN_ShapeManager.h>

#include "SmallShapes.h"
#include "model/ShapeGrid.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The window in unzoomed window units (canvas units from the top-left corner),
// and the extra margin that handles and point marks, which keep their size on
// screen, need beyond the margins counted in canvas units.
struct WindowExtent {
    float width;
    float height;
    float screenMargin;
};

// True when bounds in window coordinates lie wholly beyond one side of the
// window. Written so that NaN bounds count as inside and are drawn as before.
bool boundsOutside(float minX, float maxX, float minY, float maxY, const WindowExtent& window) {
    const float m = window.screenMargin;
    return maxX < -m || maxY < -m || minX > window.width + m || minY > window.height + m;
}

// True when the shape certainly puts no pixel inside the window: its drawn
// bounds lie wholly beyond one side. Shapes without known bounds are drawn.
bool whollyOutside(const ZN_ShapeBase* shape, const ZVector2& offset, const WindowExtent& window) {
    detail::ShapeBounds b;
    if (!detail::drawBounds(*shape, b))
        return false;
    return boundsOutside(b.minX - offset.X(), b.maxX - offset.X(), b.minY - offset.Y(),
                         b.maxY - offset.Y(), window);
}

} // namespace

namespace detail {

// What a shape draws lies within these bounds; drawing skips it when they miss
// the window, and the page indexes them. Boxes and connectors are bounded, as
// nearly all of a large page; other shapes are few and always drawn.
//
// A box draws nothing beyond its corners (and its label's) except its frame
// and handles, which reach half a line width plus the 4-pixel handle and a
// pixel of smoothing further out. A connector draws within the box of its
// points, except that a curve may bow out past them (a Catmull-Rom span stays
// inside the hull of its Bezier points, which lie at most a sixth of the
// points' spread further out), the stroke, width ramp, arrow head and
// selection squares reach a few widths further, and the horizontal tail runs
// offsetH beyond the last point. The margins cover these with room to spare;
// line widths are taken as floats so that no int overflows.
bool drawBounds(const ZN_ShapeBase& shape, ShapeBounds& out) {
    float minX = 0.0f, maxX = 0.0f, minY = 0.0f, maxY = 0.0f, margin = 0.0f;
    if (shape.type() == 1) {
        const auto* line = dynamic_cast<const ZN_NLine*>(&shape);
        if (!line || line->getPoints().empty())
            return false;
        const std::vector<ZVector2>& points = line->getPoints();
        minX = maxX = points.front().X();
        minY = maxY = points.front().Y();
        for (const ZVector2& p : points) {
            minX = std::min(minX, p.X());
            maxX = std::max(maxX, p.X());
            minY = std::min(minY, p.Y());
            maxY = std::max(maxY, p.Y());
        }
        const float bowX = 0.25f * (maxX - minX);
        const float bowY = 0.25f * (maxY - minY);
        if (line->getbOffsetH() != 0) {
            const float tail = points.back().X() + line->getOffsetH();
            minX = std::min(minX, tail);
            maxX = std::max(maxX, tail);
        }
        margin = 16.0f + std::fabs(static_cast<float>(line->getLineWide())) +
                 std::fabs(line->getGradualWide()) +
                 std::fabs(static_cast<float>(line->getArrowSize()));
        minX -= bowX;
        maxX += bowX;
        minY -= bowY;
        maxY += bowY;
    } else if (const auto* box = dynamic_cast<const ZN_NRect*>(&shape)) {
        const ZVector2 lo = box->getPoint1();
        const ZVector2 hi = box->getPoint2();
        minX = std::min(lo.X(), hi.X());
        maxX = std::max(lo.X(), hi.X());
        minY = std::min(lo.Y(), hi.Y());
        maxY = std::max(lo.Y(), hi.Y());
        if (const ZN_SText* label = box->getLabel()) {
            const ZVector2 l1 = label->getPoint1(), l2 = label->getPoint2();
            minX = std::min({minX, l1.X(), l2.X()});
            maxX = std::max({maxX, l1.X(), l2.X()});
            minY = std::min({minY, l1.Y(), l2.Y()});
            maxY = std::max({maxY, l1.Y(), l2.Y()});
        }
        margin = 16.0f + std::fabs(static_cast<float>(box->getLineWide()));
    } else {
        return false;
    }
    out = {minX - margin, minY - margin, maxX + margin, maxY + margin};
    return std::isfinite(out.minX) && std::isfinite(out.minY) && std::isfinite(out.maxX) &&
           std::isfinite(out.maxY);
}

} // namespace detail

void ZN_Scene::init(ZGLSurface* drawable) {
    surface = drawable;
    if (surface)
        surface->makeCurrent();
}

void ZN_Scene::makeCurrent() {
    if (surface)
        surface->makeCurrent();
}

void ZN_Scene::releaseCurrent() {
    if (surface)
        surface->releaseCurrent();
}

void ZN_Scene::resize(int newWidth, int newHeight) {
    width = newWidth;
    height = newHeight;
    if (!surface)
        return;

    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix();
    glOrtho(0, width, height, 0, -2000, 2000);

    GLint viewport[4];
    GLfloat projectionArray[16];
    GLfloat modelViewArray[16];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetFloatv(GL_PROJECTION_MATRIX, projectionArray);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelViewArray);
    // Both arrays are taken as they are; their product, read back by OpenGL,
    // is the model-view matrix applied after the projection.
    projection = ZMatrix4X4(projectionArray, true) * ZMatrix4X4(modelViewArray, true);

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void ZN_Scene::setZoom(float value) {
    if (value > 0.0f && value < 1.0e6f)
        zoom = value;
}

void ZN_Scene::ClearScreen() const {
    // A scene without a page clears to the default page colour.
    const ZVector4 back = shapeManager ? shapeManager->getBackColor() : ZVector4(1.0f);
    glClearColor(back.X(), back.Y(), back.Z(), back.W());
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    const GLfloat ambient[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
}

void ZN_Scene::render() const {
    ClearScreen();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);

    glPushMatrix();
    glMultMatrixf(projection);
    // Shapes draw in canvas units relative to the view offset; the zoom turns
    // those into screen pixels. At 1 the matrix is left exactly as it was.
    setViewZoom(zoom);
    if (zoom != 1.0f)
        glScalef(zoom, zoom, 1.0f);

    glLineWidth(2.0f);
    glDisable(GL_LINE_STIPPLE);
    glEnable(GL_POINT_SMOOTH);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_POLYGON_SMOOTH);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glPointSize(9.0f);

    if (shapeManager) {
        const ZVector2 offset = getScallPosition();
        // Below 1 the handles, which keep their screen size, reach further
        // than the canvas margins of the test allow for.
        const WindowExtent window{static_cast<float>(width) / zoom,
                                  static_cast<float>(height) / zoom,
                                  zoom < 1.0f ? 16.0f / zoom : 0.0f};
        // The page's index proposes the shapes near the window, in list order.
        const float m = window.screenMargin;
        std::vector<const ZN_ShapeBase*> nearby;
        shapeManager->shapesToDraw(offset - ZVector2(m, m),
                                   offset + ZVector2(window.width + m, window.height + m), nearby);
        // Zoomed out, shapes too small to show their form are gathered into
        // one draw call, flushed before each shape drawn in full.
        detail::SmallShapeBatch small;
        for (const ZN_ShapeBase* shape : nearby) {
            if (whollyOutside(shape, offset, window) || small.add(*shape, zoom, offset))
                continue;
            small.flush();
            shape->render();
        }
        small.flush();
        if (const ZN_BackRgn* region = shapeManager->getBackRgn())
            region->render();
    }

    glPopMatrix();
    if (surface)
        surface->swapBuffers();
}
