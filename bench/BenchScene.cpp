#include "BenchScene.h"

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include <sarvik/ZN_Scene.h>
#include <sarvik/ZN_ShapeManager.h>

#include "ZHeadlessGL.h"

namespace benchmap {

ZHeadlessGL* sharedContext(int width, int height) {
    static std::map<std::pair<int, int>, std::unique_ptr<ZHeadlessGL>> contexts;
    auto& gl = contexts[{width, height}];
    if (!gl) {
        std::string error;
        gl = ZHeadlessGL::create(width, height, &error);
        if (!gl)
            std::fprintf(stderr, "tavlo_bench: no headless GL context: %s\n", error.c_str());
    }
    return gl.get();
}

bool openScene(benchmark::State& state, ZN_Scene& scene, ZN_ShapeManager& page, int width,
               int height, float zoom) {
    ZHeadlessGL* gl = sharedContext(width, height);
    if (!gl) {
        state.SkipWithError("no headless GL context");
        return false;
    }
    gl->makeCurrent();
    scene.init(gl);
    scene.resize(width, height);
    scene.setShapeManager(&page);
    scene.setZoom(zoom);
    setScallPosition(ZVector2(0.0f, 0.0f));
    scene.render();
    return true;
}

} // namespace benchmap
