#include "view/OverviewPicture.h"

#include <algorithm>
#include <cmath>

#include <GL/gl.h>

#include <sarvik/ZN_Scene.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/ZScenePart.h>
#include <sarvik/ZTextPictures.h>

OverviewFrame fitOverview(const ZDrawnExtent& extent, const ZDrawnExtent& fallback, int width,
                          int height, float margin) {
    const ZDrawnExtent& e = extent.inks && extent.finite ? extent : fallback;
    OverviewFrame f;
    f.width = std::max(1, width);
    f.height = std::max(1, height);
    const float w = std::max(1.0f, e.max.X() - e.min.X());
    const float h = std::max(1.0f, e.max.Y() - e.min.Y());
    const float roomX = std::max(1.0f, static_cast<float>(f.width) - 2.0f * margin);
    const float roomY = std::max(1.0f, static_cast<float>(f.height) - 2.0f * margin);
    const float scale = std::min(roomX / w, roomY / h);
    // Extents of damaged pages may be too wide for a float scale; such a page
    // shows as a dot rather than as nothing.
    f.scale = std::isfinite(scale) && scale > 0.0f ? scale : 1.0e-6f;
    const ZVector2 centre((e.min.X() + e.max.X()) * 0.5f, (e.min.Y() + e.max.Y()) * 0.5f);
    f.origin = ZVector2(centre.X() - static_cast<float>(f.width) * 0.5f / f.scale,
                        centre.Y() - static_cast<float>(f.height) * 0.5f / f.scale);
    return f;
}

namespace {

// Puts the process-wide view offset and zoom back however drawing ends.
class SharedViewState {
public:
    SharedViewState() : offset_(getScallPosition()), zoom_(getViewZoom()) {}
    ~SharedViewState() {
        setScallPosition(offset_);
        setViewZoom(zoom_);
    }
    SharedViewState(const SharedViewState&) = delete;
    SharedViewState& operator=(const SharedViewState&) = delete;

private:
    ZVector2 offset_;
    float zoom_;
};

} // namespace

OverviewDrawing::OverviewDrawing(ZGLSurface& surface, ZN_ShapeManager& page,
                                 const OverviewFrame& frame)
    : frame_(frame) {
    const SharedViewState keep;
    ZN_Scene scene;
    scene.init(&surface);
    scene.setShapeManager(&page);
    scene.resize(frame.width, frame.height);
    scene.setZoom(frame.scale);
    setScallPosition(frame.origin);
    part_ = std::make_unique<ZScenePart>(scene);
}

OverviewDrawing::~OverviewDrawing() = default;

std::size_t OverviewDrawing::size() const {
    return part_->size();
}

void OverviewDrawing::draw(ZGLSurface& surface, std::size_t first, std::size_t last) const {
    const SharedViewState keep;
    // The labels' pictures stay those the windows made for their zoom.
    const ZLeaveTextPictures leave;
    surface.makeCurrent();
    // The window drew in between: the picture's viewport and plain matrices.
    glViewport(0, 0, frame_.width, frame_.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    setScallPosition(frame_.origin);
    if (first == 0)
        part_->clear();
    part_->draw(first, last);
}

void drawOverview(ZGLSurface& surface, ZN_ShapeManager& page, const OverviewFrame& frame) {
    const OverviewDrawing drawing(surface, page, frame);
    drawing.draw(surface, 0, drawing.size());
}
