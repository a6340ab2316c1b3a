#include <sarvik/ZScenePart.h>

#include <algorithm>

#include <sarvik/ZDrawnExtent.h>
#include <sarvik/ZN_BackRgn.h>
#include <sarvik/ZN_Scene.h>
#include <sarvik/ZN_ShapeManager.h>

#include "DeviceScale.h"
#include "SmallShapes.h"

#include <GL/gl.h>

ZScenePart::ZScenePart(const ZN_Scene& scene)
    : page_(scene.getShapeManager()), projection_(scene.getProjection()), zoom_(scene.getZoom()),
      pixelRatio_(scene.getPixelRatio()) {
    if (!page_)
        return;
    // The window and its margin as the scene's frame takes them.
    const float canvasPerPixel = 1.0f / zoom_;
    width_ = static_cast<float>(scene.getWidth()) * canvasPerPixel;
    height_ = static_cast<float>(scene.getHeight()) * canvasPerPixel;
    margin_ = zoom_ < 1.0f ? (strokeReach(kWidestStroke) + 4.0f) * (canvasPerPixel - 1.0f) : 0.0f;
    const ZVector2 offset = getScallPosition();
    const ZVector2 m(margin_, margin_);
    page_->shapesToDraw(offset - m, offset + ZVector2(width_, height_) + m, shapes_);
}

void ZScenePart::clear() const {
    const ZVector4 back = page_ ? page_->getBackColor() : ZVector4(1.0f);
    glClearColor(back.X(), back.Y(), back.Z(), back.W());
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void ZScenePart::draw(std::size_t first, std::size_t last) const {
    last = std::min(last, shapes_.size());
    detail::beginFrameState(projection_, zoom_, pixelRatio_);
    if (page_) {
        const ZVector2 offset = getScallPosition();
        detail::SmallShapeBatch small;
        for (std::size_t i = first; i < last; ++i) {
            const ZN_ShapeBase* shape = shapes_[i];
            if (extentOutsideWindow(drawnExtent(*shape), offset, width_, height_, margin_) ||
                small.add(*shape, zoom_, offset))
                continue;
            small.flush();
            shape->render();
        }
        small.flush();
        if (last == shapes_.size() && first <= last) {
            if (const ZN_BackRgn* region = page_->getBackRgn())
                region->render();
        }
    }
    glPopMatrix();
}
