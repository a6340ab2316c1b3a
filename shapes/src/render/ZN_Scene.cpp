#include <sarvik/ZDrawnExtent.h>
#include <sarvik/ZN_BackRgn.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_Scene.h>
#include <sarvik/ZN_ShapeManager.h>

#include "DeviceScale.h"
#include "SmallShapes.h"
#include "model/index/ShapeGrid.h"

#include <GL/gl.h>

#include <cmath>
#include <vector>

namespace detail {

// The page's index of what is drawn holds each box and connector by its drawn
// extent for any state of its flags (shown, selected, highlighted), since
// those change without moving the shape; other shapes are few and always
// proposed.
bool drawBounds(const ZN_ShapeBase& shape, ShapeBounds& out) {
    const int kind = shape.type();
    const bool boxKind = (kind >= 7 && kind <= 10) || kind == 12 || kind == 13;
    if (kind != 1 && !boxKind && !dynamic_cast<const ZN_NRect*>(&shape))
        return false;
    const ZDrawnExtent e = drawnExtent(shape, false);
    if (!e.inks || !e.finite)
        return false;
    out = {e.min.X(), e.min.Y(), e.max.X(), e.max.Y()};
    return true;
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

    // The projection keeps window pixels; the viewport covers the device pixels.
    glViewport(0, 0, static_cast<GLsizei>(std::lround(width * pixelRatio)),
               static_cast<GLsizei>(std::lround(height * pixelRatio)));
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

namespace {
float publishedPixelRatio = 1.0f;
} // namespace

void detail::setDevicePixelRatio(float ratio) {
    publishedPixelRatio = ratio;
}

float detail::devicePixelRatio() {
    return publishedPixelRatio;
}

void ZN_Scene::setPixelRatio(float value) {
    if (value > 0.0f && value < 64.0f)
        pixelRatio = value;
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

void detail::beginFrameState(const float* projection, float zoom, float pixelRatio) {
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);

    glPushMatrix();
    glMultMatrixf(projection);
    // Shapes draw in canvas units relative to the view offset; the zoom turns
    // those into screen pixels. At 1 the matrix is left exactly as it was.
    setViewZoom(zoom);
    detail::setDevicePixelRatio(pixelRatio);
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
}

void ZN_Scene::render() const {
    ClearScreen();
    detail::beginFrameState(projection, zoom, pixelRatio);

    if (shapeManager) {
        const ZVector2 offset = getScallPosition();
        // Skipping changes nothing visible: the extent covers all a shape
        // draws at 100 %. Below that, strokes and handles keep their width in
        // screen pixels and so reach further in canvas units.
        const float canvasPerPixel = 1.0f / zoom;
        const float w = static_cast<float>(width) * canvasPerPixel;
        const float h = static_cast<float>(height) * canvasPerPixel;
        const float m =
            zoom < 1.0f ? (strokeReach(kWidestStroke) + 4.0f) * (canvasPerPixel - 1.0f) : 0.0f;
        // The page's index proposes the shapes near the window, in list order.
        std::vector<const ZN_ShapeBase*> nearby;
        shapeManager->shapesToDraw(offset - ZVector2(m, m), offset + ZVector2(w + m, h + m), nearby);
        // Zoomed out, shapes too small to show their form are gathered into
        // one draw call, flushed before each shape drawn in full.
        detail::SmallShapeBatch small;
        for (const ZN_ShapeBase* shape : nearby) {
            if (extentOutsideWindow(drawnExtent(*shape), offset, w, h, m) ||
                small.add(*shape, zoom, offset))
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
