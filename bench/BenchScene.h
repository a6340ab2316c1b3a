#pragma once
// The off-screen context and scene the drawing benchmarks render into.

#include <benchmark/benchmark.h>

class ZHeadlessGL;
class ZN_Scene;
class ZN_ShapeManager;

namespace benchmap {

// A headless context of `width` x `height` pixels, made once per size and kept
// for the whole run; null, with the reason on standard error, without GL.
ZHeadlessGL* sharedContext(int width, int height);

// Binds `scene` to `page` in a `width` x `height` window at `zoom`, scrolled
// to the top-left, and draws one untimed frame to warm the driver and the
// page's caches. False, with the benchmark marked failed, without GL.
bool openScene(benchmark::State& state, ZN_Scene& scene, ZN_ShapeManager& page, int width,
               int height, float zoom = 1.0f);

} // namespace benchmap
