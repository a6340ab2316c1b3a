#pragma once
// Binds one GL context (through its drawable) to one view and draws one frame
// of a page: clear to the page's background, set the state every shape's
// drawing starts from, draw the shapes and the capture frame, show the frame.
// The projection maps window pixels one to one, origin top-left, y down, and
// then scales by the scene's zoom (1 unless set).

#include <rulmek/rulmek.h>
#include <sarvik/platform/ZGLSurface.h>

class ZN_ShapeManager;

class ZN_Scene {
public:
    ZN_Scene() = default;
    // Copies share the drawable and the page; nothing is duplicated.
    ZN_Scene(const ZN_Scene&) = default;
    ZN_Scene& operator=(const ZN_Scene&) = default;
    // Releases nothing: the drawable and its context belong to the view.
    virtual ~ZN_Scene() = default;

    // Binds the scene to its drawable (not owned) and makes it current.
    void init(ZGLSurface* surface);
    // Both do nothing before init.
    void makeCurrent();
    void releaseCurrent();
    // The page to draw; not owned.
    void setShapeManager(ZN_ShapeManager* manager) { shapeManager = manager; }
    ZN_ShapeManager* getShapeManager() const { return shapeManager; }

    // Records the window size; once bound, also sets the viewport and captures
    // the window projection. The caller makes the context current.
    virtual void resize(int width, int height);
    // Draws one frame and shows it. The caller makes the context current.
    virtual void render() const;

    // Screen pixels per canvas unit; what is not a positive finite number is
    // ignored. Each frame publishes it as the process-wide view zoom, so the
    // drawing code of the shapes sizes its handles and text for it.
    void setZoom(float value);
    float getZoom() const { return zoom; }

    // Device pixels per window pixel (2 on a desktop scaled to 200 %); the
    // size given to resize stays in window pixels. What is not a positive
    // finite number is ignored.
    void setPixelRatio(float value);
    float getPixelRatio() const { return pixelRatio; }

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    // The orthographic matrix captured by the last resize after init, in
    // OpenGL's array order; the zero matrix until then.
    const ZMatrix4X4& getProjection() const { return projection; }
    ZGLSurface* getSurface() const { return surface; }

protected:
    virtual void ClearScreen() const;

private:
    ZGLSurface* surface = nullptr; // not owned
    int width = 0;
    int height = 0;
    ZN_ShapeManager* shapeManager = nullptr; // not owned
    ZMatrix4X4 projection{true};
    float zoom = 1.0f;
    float pixelRatio = 1.0f;
};
