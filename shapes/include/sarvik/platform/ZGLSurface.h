#pragma once
// The drawable a scene binds to, in place of a window handle and its device
// context: the program implements it over its GL widget, the tests and the
// headless command line over an off-screen context.

class ZGLSurface {
public:
    virtual ~ZGLSurface() = default;

    // Makes the surface's GL context current on this thread, with the surface
    // as the draw target. False when the context cannot be made current.
    virtual bool makeCurrent() = 0;
    // Leaves no context current on this thread.
    virtual void releaseCurrent() = 0;
    // Shows the frame that was just drawn (a surface that presents by itself
    // may do nothing).
    virtual void swapBuffers() = 0;
};
