#pragma once
// A page as the editor's view draws it, read back from an off-screen context,
// for comparing exports with the screen.

#include <cstdint>
#include <string>
#include <vector>

#include <QImage>

#include <gtest/gtest.h>

#include <ZHeadlessGL.h>
#include <sarvik/ZN_Scene.h>
#include <sarvik/ZN_ShapeManager.h>

#include "document/PageExport.h"

// The export's page drawn by the screen's code at `zoom`; null (and a
// failure) when no context can be made.
inline QImage screenImage(const ExportPage& page, float zoom) {
    std::string error;
    const int w = static_cast<int>(static_cast<float>(page.size.width()) * zoom);
    const int h = static_cast<int>(static_cast<float>(page.size.height()) * zoom);
    auto gl = ZHeadlessGL::create(w, h, &error);
    EXPECT_TRUE(gl) << error;
    if (!gl)
        return {};
    const ZVector2 old = getScallPosition();
    setScallPosition(ZVector2(page.left, page.top));
    ZN_Scene scene;
    scene.setShapeManager(page.page.get());
    scene.init(gl.get());
    scene.setZoom(zoom);
    scene.resize(w, h);
    scene.makeCurrent();
    scene.render();
    scene.releaseCurrent();
    setScallPosition(old);
    const std::vector<std::uint8_t> rgba = gl->readPixels();
    return QImage(rgba.data(), w, h, w * 4, QImage::Format_RGBA8888).copy();
}

// How much ink an image on white holds, in fully black pixels.
inline double inkOf(const QImage& image) {
    double sum = 0.0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += (255 - qGray(image.pixel(x, y))) / 255.0;
    return sum;
}
