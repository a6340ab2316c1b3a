#include "ZHeadlessGL.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

struct FramebufferApi {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;

    template <class F> static bool load(F& fn, const char* name) {
        fn = reinterpret_cast<F>(eglGetProcAddress(name));
        return fn != nullptr;
    }
    bool load() {
        return load(genFramebuffers, "glGenFramebuffers") &&
               load(deleteFramebuffers, "glDeleteFramebuffers") &&
               load(bindFramebuffer, "glBindFramebuffer") &&
               load(checkFramebufferStatus, "glCheckFramebufferStatus") &&
               load(genRenderbuffers, "glGenRenderbuffers") &&
               load(deleteRenderbuffers, "glDeleteRenderbuffers") &&
               load(bindRenderbuffer, "glBindRenderbuffer") &&
               load(renderbufferStorage, "glRenderbufferStorage") &&
               load(framebufferRenderbuffer, "glFramebufferRenderbuffer");
    }
};

void setError(std::string* error, const std::string& text) {
    if (error)
        *error = text;
}

std::string eglErrorText(const char* what) {
    char code[32];
    std::snprintf(code, sizeof code, "0x%04X", static_cast<unsigned>(eglGetError()));
    return std::string(what) + " failed (EGL error " + code + ")";
}

// The surfaceless display is initialised once and kept for the life of the
// process: EGL displays are not reference-counted, so terminating it when one
// context goes away would pull it from under every other context.
EGLDisplay surfacelessDisplay(std::string* error) {
    static EGLDisplay display = EGL_NO_DISPLAY;
    static std::string failure;
    static bool tried = false;
    if (tried) {
        if (display == EGL_NO_DISPLAY)
            setError(error, failure);
        return display;
    }
    tried = true;

    const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (!extensions || !std::strstr(extensions, "EGL_MESA_platform_surfaceless")) {
        failure = "EGL has no surfaceless platform (EGL_MESA_platform_surfaceless)";
        setError(error, failure);
        return EGL_NO_DISPLAY;
    }
    EGLDisplay candidate = EGL_NO_DISPLAY;
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay)
        candidate = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (candidate == EGL_NO_DISPLAY)
        candidate = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY,
                                          nullptr);
    if (candidate == EGL_NO_DISPLAY) {
        failure = eglErrorText("eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA)");
        setError(error, failure);
        return EGL_NO_DISPLAY;
    }
    EGLint major = 0, minor = 0;
    if (!eglInitialize(candidate, &major, &minor)) {
        failure = eglErrorText("eglInitialize");
        setError(error, failure);
        return EGL_NO_DISPLAY;
    }
    display = candidate;
    return display;
}

} // namespace

struct ZHeadlessGL::Impl {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
    FramebufferApi fb;
    GLuint framebuffer = 0;
    GLuint colour = 0;
    GLuint depthStencil = 0;

    bool isCurrent() const { return eglGetCurrentContext() == context; }
    bool bind() {
        if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context))
            return false;
        fb.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        return true;
    }
};

ZHeadlessGL::ZHeadlessGL(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

std::unique_ptr<ZHeadlessGL> ZHeadlessGL::create(int width, int height, std::string* error) {
    if (width <= 0 || height <= 0) {
        setError(error, "framebuffer size must be positive");
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    impl->display = surfacelessDisplay(error);
    if (impl->display == EGL_NO_DISPLAY)
        return nullptr;

    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, 0, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(impl->display, configAttributes, &config, 1, &count) || count < 1) {
        setError(error, eglErrorText("eglChooseConfig (desktop OpenGL, no surface)"));
        return nullptr;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        setError(error, eglErrorText("eglBindAPI(EGL_OPENGL_API)"));
        return nullptr;
    }
    // Immediate mode needs the compatibility profile; a driver that rejects the
    // profile attribute gets a second try with its default context.
    const EGLint compatibility[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                    EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    impl->context = eglCreateContext(impl->display, config, EGL_NO_CONTEXT, compatibility);
    if (impl->context == EGL_NO_CONTEXT)
        impl->context = eglCreateContext(impl->display, config, EGL_NO_CONTEXT, nullptr);
    if (impl->context == EGL_NO_CONTEXT) {
        setError(error, eglErrorText("eglCreateContext (compatibility profile)"));
        return nullptr;
    }
    if (!eglMakeCurrent(impl->display, EGL_NO_SURFACE, EGL_NO_SURFACE, impl->context)) {
        setError(error, eglErrorText("eglMakeCurrent without a surface"));
        eglDestroyContext(impl->display, impl->context);
        return nullptr;
    }
    if (!impl->fb.load()) {
        setError(error, "the context has no framebuffer objects");
        eglMakeCurrent(impl->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(impl->display, impl->context);
        return nullptr;
    }

    std::unique_ptr<ZHeadlessGL> gl(new ZHeadlessGL(std::move(impl)));
    GLint maxRenderbuffer = 0, maxViewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxRenderbuffer);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxViewport);
    gl->maxSize_ = std::min({maxRenderbuffer, maxViewport[0], maxViewport[1]});
    if (!gl->allocateFramebuffer(width, height)) {
        setError(error, "cannot create a " + std::to_string(width) + " x " +
                            std::to_string(height) + " framebuffer (largest side " +
                            std::to_string(gl->maxSize_) + ")");
        return nullptr;
    }
    return gl;
}

ZHeadlessGL::~ZHeadlessGL() {
    if (!impl_ || impl_->context == EGL_NO_CONTEXT)
        return;
    if (impl_->bind()) {
        impl_->fb.bindFramebuffer(GL_FRAMEBUFFER, 0);
        if (impl_->framebuffer)
            impl_->fb.deleteFramebuffers(1, &impl_->framebuffer);
        const GLuint buffers[] = {impl_->colour, impl_->depthStencil};
        impl_->fb.deleteRenderbuffers(2, buffers);
    }
    eglMakeCurrent(impl_->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(impl_->display, impl_->context);
}

bool ZHeadlessGL::allocateFramebuffer(int width, int height) {
    if (width <= 0 || height <= 0 || width > maxSize_ || height > maxSize_)
        return false;
    if (!impl_->bind())
        return false;
    FramebufferApi& fb = impl_->fb;
    GLuint framebuffer = 0, buffers[2] = {0, 0};
    fb.genFramebuffers(1, &framebuffer);
    fb.genRenderbuffers(2, buffers);
    fb.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    fb.bindRenderbuffer(GL_RENDERBUFFER, buffers[0]);
    fb.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    fb.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, buffers[0]);
    fb.bindRenderbuffer(GL_RENDERBUFFER, buffers[1]);
    fb.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    fb.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                               buffers[1]);
    fb.bindRenderbuffer(GL_RENDERBUFFER, 0);
    if (fb.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        fb.bindFramebuffer(GL_FRAMEBUFFER, impl_->framebuffer);
        fb.deleteFramebuffers(1, &framebuffer);
        fb.deleteRenderbuffers(2, buffers);
        return false;
    }
    if (impl_->framebuffer) {
        fb.deleteFramebuffers(1, &impl_->framebuffer);
        const GLuint old[] = {impl_->colour, impl_->depthStencil};
        fb.deleteRenderbuffers(2, old);
    }
    impl_->framebuffer = framebuffer;
    impl_->colour = buffers[0];
    impl_->depthStencil = buffers[1];
    width_ = width;
    height_ = height;
    glViewport(0, 0, width, height);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    return true;
}

bool ZHeadlessGL::makeCurrent() { return impl_->bind(); }

void ZHeadlessGL::releaseCurrent() {
    eglMakeCurrent(impl_->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

void ZHeadlessGL::swapBuffers() {
    if (impl_->isCurrent())
        glFinish();
}

bool ZHeadlessGL::resize(int width, int height) { return allocateFramebuffer(width, height); }

std::vector<std::uint8_t> ZHeadlessGL::readPixels() {
    const EGLContext previous = eglGetCurrentContext();
    const EGLSurface draw = eglGetCurrentSurface(EGL_DRAW);
    const EGLSurface read = eglGetCurrentSurface(EGL_READ);
    std::vector<std::uint8_t> image;
    if (!impl_->bind())
        return image;

    const std::size_t stride = static_cast<std::size_t>(width_) * 4;
    image.resize(stride * static_cast<std::size_t>(height_));
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, image.data());
    // GL rows run bottom-up; callers think in window rows, top-down. Flipped in
    // place, since a page export can be large.
    for (int top = 0, bottom = height_ - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(image.begin() + static_cast<std::ptrdiff_t>(stride * top),
                         image.begin() + static_cast<std::ptrdiff_t>(stride * (top + 1)),
                         image.begin() + static_cast<std::ptrdiff_t>(stride * bottom));

    if (previous != impl_->context)
        eglMakeCurrent(impl_->display, draw, read, previous);
    return image;
}

ZRGBA ZHeadlessGL::pixelAt(const std::vector<std::uint8_t>& rgba, int width, int height, int x,
                           int y) {
    if (x < 0 || y < 0 || x >= width || y >= height ||
        rgba.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4)
        return {};
    const std::uint8_t* p =
        rgba.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                       static_cast<std::size_t>(x)) * 4;
    return {p[0], p[1], p[2], p[3]};
}

ZRGBA ZHeadlessGL::pixel(int x, int y) { return pixelAt(readPixels(), width_, height_, x, y); }

std::string ZHeadlessGL::renderer() {
    if (!impl_->isCurrent() && !impl_->bind())
        return {};
    const GLubyte* name = glGetString(GL_RENDERER);
    const GLubyte* version = glGetString(GL_VERSION);
    std::string text = name ? reinterpret_cast<const char*>(name) : "unknown renderer";
    if (version)
        text += std::string(", ") + reinterpret_cast<const char*>(version);
    return text;
}
