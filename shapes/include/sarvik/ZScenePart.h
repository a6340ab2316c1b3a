#pragma once
// A frame of a scene drawn a part at a time: the shapes the scene's frame
// would draw, taken once, and drawn in ranges of that list one after another
// into the current framebuffer, as ZN_Scene::render draws them in one go.
// Drawing a large page into a picture can so be spread over several turns of
// the caller's event loop. The shapes are followed, not owned: the caller
// gives the parts up when the page's list changes.

#include <cstddef>
#include <vector>

#include <rulmek/rulmek.h>

class ZN_Scene;
class ZN_ShapeBase;
class ZN_ShapeManager;

class ZScenePart {
public:
    // The shapes near the scene's window (its size and zoom, the view offset
    // as it is now), in drawing order. The scene is copied.
    explicit ZScenePart(const ZN_Scene& scene);

    std::size_t size() const { return shapes_.size(); }
    // Clears the framebuffer to the page's background, as a frame begins.
    void clear() const;
    // Draws the shapes first .. last - 1 of the list, and after the last
    // shape the page's background region; the caller makes the context
    // current and sets the view offset the list was taken with.
    void draw(std::size_t first, std::size_t last) const;

private:
    const ZN_ShapeManager* page_ = nullptr;
    ZMatrix4X4 projection_{true};
    float zoom_ = 1.0f;
    float pixelRatio_ = 1.0f;
    float width_ = 0.0f; // the window in canvas units, and its margin
    float height_ = 0.0f;
    float margin_ = 0.0f;
    std::vector<const ZN_ShapeBase*> shapes_;
};
