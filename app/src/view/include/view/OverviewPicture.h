#pragma once
// The picture of a whole page that the overview panel shows: where the page
// sits in the picture, and the page drawn there by the scene's own drawing
// at that small zoom, so shapes too small to show their form are batched as
// they are in a zoomed-out window. A picture may be drawn a part at a time,
// so that drawing a large page can be spread over several turns.

#include <cstddef>
#include <memory>

#include <rulmek/rulmek.h>
#include <sarvik/ZDrawnExtent.h>

class ZGLSurface;
class ZN_ShapeManager;
class ZScenePart;

// Canvas to picture: picture pixel = (canvas - origin) * scale.
struct OverviewFrame {
    ZVector2 origin{0.0f, 0.0f};
    float scale = 1.0f;
    int width = 0; // picture size in pixels
    int height = 0;

    ZVector2 toCanvas(float x, float y) const {
        return ZVector2(origin.X() + x / scale, origin.Y() + y / scale);
    }
    ZVector2 toPicture(const ZVector2& canvas) const {
        return ZVector2((canvas.X() - origin.X()) * scale, (canvas.Y() - origin.Y()) * scale);
    }
};

// The frame that shows `extent` whole and centred in a picture of
// width x height pixels, `margin` pixels clear of its edges. An extent that
// inks nothing or is not finite is replaced by `fallback`.
OverviewFrame fitOverview(const ZDrawnExtent& extent, const ZDrawnExtent& fallback, int width,
                          int height, float margin);

// Draws `page` into `surface`'s framebuffer (width x height pixels, made
// current by the caller) as `frame` places it. The process-wide view offset
// and zoom are put back as they were, so the windows keep drawing and
// hit-testing with their own; the labels' pictures kept for the windows'
// zoom stay too.
void drawOverview(ZGLSurface& surface, ZN_ShapeManager& page, const OverviewFrame& frame);
// The same picture drawn a part at a time: the shapes to draw are taken at
// construction (the context current), and drawn in ranges of that list, in
// order, each range when the caller likes; the first range clears the
// picture. The page's list must stay as it was meanwhile (the shapes are
// followed): a change of it gives the drawing up.
class OverviewDrawing {
public:
    OverviewDrawing(ZGLSurface& surface, ZN_ShapeManager& page, const OverviewFrame& frame);
    ~OverviewDrawing();
    OverviewDrawing(const OverviewDrawing&) = delete;
    OverviewDrawing& operator=(const OverviewDrawing&) = delete;

    std::size_t size() const;
    // Draws the shapes first .. last - 1 into `surface`'s framebuffer.
    void draw(ZGLSurface& surface, std::size_t first, std::size_t last) const;

private:
    OverviewFrame frame_;
    std::unique_ptr<ZScenePart> part_;
};
