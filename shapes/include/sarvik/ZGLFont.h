#pragma once
// Holds the one-bit picture of a rendered text and draws it into the GL frame
// with glBitmap. The picture is immutable once made, so copies of a text share
// it instead of rasterising the same string again.

#include <memory>

#include <sarvik/platform/LOGFONTA.h>
#include <sarvik/platform/ZTextRaster.h>

class ZGLFont {
public:
    // Every label holds one and every copy of a page copies it, so it is kept
    // small: no virtual members, and the font is passed to each rendering
    // rather than kept.
    ZGLFont() = default;
    ZGLFont(const ZGLFont&) = default;
    ZGLFont& operator=(const ZGLFont&) = default;

    // Rasterises `s` (UTF-8) with `font` into a picture of the size given by
    // setSize, aligned by alignType. When no picture can be made (a size
    // that is not positive, or absurdly large), the old picture is dropped and
    // nothing is drawn.
    void updateBmpData(const char* s, const LOGFONTA& font);
    // Drops the picture; the size and alignment asked for stay.
    void dropPicture() {
        bits.reset();
        drawnWidth = drawnHeight = 0;
    }
    // Draws the picture at the current raster position, rising from it; needs
    // a current GL context. Nothing without a picture.
    void render() const;
    // Draws any one-bit picture of a text the same way; `originX` columns of
    // it lie left of the raster position.
    static void renderPicture(int w, int h, const std::uint8_t* data, int originX = 0);

    // Size of the next rendering; after a rendering, the picture's size (the
    // width rounded up to a multiple of 32).
    void setSize(int w, int h) {
        width = w;
        height = h;
    }
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    void setAlignType(int type) { alignType = type; }
    int getAlignType() const { return alignType; }

    // The picture: rows bottom-up, width / 8 bytes per row; null when none.
    const std::uint8_t* getBits() const { return bits ? bits->bits.data() : nullptr; }
    const std::shared_ptr<const ZTextBitmap>& getBitmap() const { return bits; }
    // True when the current picture was made for a request of w x h pixels,
    // so a copy of the text with that size may share it.
    bool drawnAt(int w, int h) const { return bits && w == drawnWidth && h == drawnHeight; }

protected:
    int width = 0;                           // pixels; a multiple of 32 after rendering
    int height = 0;                          // rows
    std::shared_ptr<const ZTextBitmap> bits; // shared with copies, never changed
    int alignType = 0;                       // 1 left, 2 right, otherwise centred
    int drawnWidth = 0;                      // the size asked for by the last rendering
    int drawnHeight = 0;
};
