// A photo of 13000 x 13000 pixels in a box of 400 x 300: making its texture
// and drawing the first frame, as an export or a newly opened window does.
// The counter peakMiB is the process's peak resident size so far.

#include <benchmark/benchmark.h>

#include <ZHeadlessGL.h>
#include <rulmek/rulmek.h>
#include <sarvik/ZImageData.h>
#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_Scene.h>
#include <sarvik/ZN_ShapeManager.h>

#include <sys/resource.h>

#include <chrono>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double peakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The picture's pixels, made once: a gradient, so that no row is like the next.
const ZImageData& hugePicture(int side) {
    static std::unique_ptr<ZImageData> data;
    if (!data || data->getWidth() != side) {
        data = std::make_unique<ZImageData>();
        const std::int64_t bytes = ZImageData::pictureBytes(side, side);
        data->copyData(nullptr, side, side, static_cast<int>(bytes));
        unsigned char* p = data->getData();
        const std::int64_t stride = ZImageData::rowStride(side);
        for (int y = 0; p && y < side; ++y)
            for (int x = 0; x < side; ++x) {
                unsigned char* px = p + y * stride + x * 3;
                px[0] = static_cast<unsigned char>(x);
                px[1] = static_cast<unsigned char>(y);
                px[2] = static_cast<unsigned char>(x ^ y);
            }
        data->setFileType(1);
    }
    return *data;
}

void BM_HugePictureFirstFrame(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    std::string error;
    auto gl = ZHeadlessGL::create(800, 600, &error);
    if (!gl) {
        state.SkipWithError(("no headless GL context: " + error).c_str());
        return;
    }
    const ZImageData& pixels = hugePicture(side);
    if (!pixels.isComplete()) {
        state.SkipWithError("no memory for the picture");
        return;
    }
    ZN_ShapeManager page;
    auto* box = static_cast<ZN_NRect*>(ZN_ShapeBase::createShape(7));
    box->setPoint1(ZVector2(100.0f, 100.0f));
    box->setPoint2(ZVector2(500.0f, 400.0f));
    page.addShape(box);
    ZN_Scene scene;
    scene.init(gl.get());
    scene.resize(800, 600);
    scene.setShapeManager(&page);
    setScallPosition(ZVector2(0.0f, 0.0f));
    for (auto _ : state) {
        // The pixels are shared with the copy, not duplicated.
        ZImageTexture texture(new ZImageData(pixels), "huge.jpg");
        box->setImageData(&texture);
        const auto start = Clock::now();
        texture.resetTexture();
        scene.render();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        box->setImageData(nullptr);
    }
    state.counters["peakMiB"] = peakMiB();
}

BENCHMARK(BM_HugePictureFirstFrame)
    ->Arg(13000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);

} // namespace
