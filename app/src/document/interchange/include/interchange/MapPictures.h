#pragma once
// A node's picture between the bytes of an image file (PNG or JPEG) and the
// picture a box shows (ZImageTexture, pixels in the stored layout).

#include <memory>

#include "interchange/MapTree.h"

class ZImageTexture;

namespace interchange {

// The largest side a picture is first shown at on a page; a larger one is
// scaled down to it, keeping its shape. The picture keeps its own pixels.
inline constexpr int kMostShownSide = 320;

// The picture of a PNG or JPEG file; null when the bytes are neither, are
// damaged, or hold a picture larger than a box may show.
std::unique_ptr<ZImageTexture> decodePicture(const MapImage& image);

// The box size a picture is shown at: the size the file asks for, else the
// picture's own, at most kMostShownSide on its longer side.
void shownSize(const MapImage& image, const ZImageTexture& picture, float& width, float& height);

// A box's picture as the bytes of a PNG file, with the size it is shown at.
MapImage encodePicture(const ZImageTexture& picture, int shownWidth, int shownHeight);

} // namespace interchange
