#pragma once
// An off-screen OpenGL context for tests and the headless command line: EGL on
// Mesa's surfaceless platform (no X server, no window), a compatibility-profile
// context, and a framebuffer object of a given size as the draw target.
//
// Typical use:
//   std::string error;
//   auto gl = ZHeadlessGL::create(200, 100, &error);
//   if (!gl) { report error; }
//   ZN_Scene scene; scene.init(gl.get()); ...   // draws into the framebuffer
//   std::vector<std::uint8_t> rgba = gl->readPixels();  // rows top-down

#include "sarvik/platform/ZGLSurface.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct ZRGBA {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
    bool operator==(const ZRGBA&) const = default;
};

class ZHeadlessGL final : public ZGLSurface {
public:
    // A context whose framebuffer is width x height pixels, or null with the
    // reason in *error (when given). Leaves the new context current.
    static std::unique_ptr<ZHeadlessGL> create(int width, int height,
                                               std::string* error = nullptr);
    ~ZHeadlessGL() override;
    ZHeadlessGL(const ZHeadlessGL&) = delete;
    ZHeadlessGL& operator=(const ZHeadlessGL&) = delete;

    // ZGLSurface: current means this context with its framebuffer bound.
    bool makeCurrent() override;
    void releaseCurrent() override;
    // Off-screen there is nothing to present; finishes the frame so that a
    // read-back sees every pixel.
    void swapBuffers() override;

    // Replaces the framebuffer with one of the new size (contents undefined).
    // False, keeping the old one, when the size is not positive or too large.
    bool resize(int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }
    // The largest width or height the implementation accepts.
    int maxSize() const { return maxSize_; }

    // The framebuffer as RGBA bytes, width * 4 per row, row 0 at the top
    // (window y 0). Makes the context current for the read and restores the
    // previous current context afterwards.
    std::vector<std::uint8_t> readPixels();
    // One pixel of readPixels()'s image; transparent black outside.
    static ZRGBA pixelAt(const std::vector<std::uint8_t>& rgba, int width, int height, int x,
                         int y);
    // One pixel read on its own (x to the right, y down from the top).
    ZRGBA pixel(int x, int y);

    // The GL renderer string, for messages.
    std::string renderer();

private:
    struct Impl;
    explicit ZHeadlessGL(std::unique_ptr<Impl> impl);
    bool allocateFramebuffer(int width, int height);

    std::unique_ptr<Impl> impl_;
    int width_ = 0;
    int height_ = 0;
    int maxSize_ = 0;
};
