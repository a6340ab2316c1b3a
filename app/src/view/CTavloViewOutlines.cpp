// The view's part in showing a search's matches: it asks the search for the
// rectangles in sight at each frame and outlines them over the page.

#include "view/CTavloView.h"
#include "view/OutlineOverlay.h"

void CTavloView::setOutlineSource(OutlineSource source) {
    outlineSource_ = std::move(source);
    update();
}

void CTavloView::drawOutlines() {
    outlinedCount_ = 0;
    if (!outlineSource_)
        return;
    const ZVector2 offset = viewOffset();
    const ZVector2 extent(static_cast<float>(clientWidth) / zoom_,
                          static_cast<float>(clientHeight) / zoom_);
    std::vector<QRectF> rects;
    outlineSource_(offset, offset + extent, rects);
    outlinedCount_ = static_cast<int>(rects.size());
    drawOutlineRects(rects, offset, zoom_, clientWidth, clientHeight);
}
