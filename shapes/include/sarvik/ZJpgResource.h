#pragma once
// A JPEG file decoded with libjpeg into pixels in the stored picture layout
// (3 bytes per pixel, red first, rows bottom-up and padded to 4 bytes), and a
// mipmapped texture built from them.

#include <sarvik/ZPictureResource.h>

#include <memory>

class ZJpgResource : public ZPictureResource {
public:
    ZJpgResource() = default;
    ~ZJpgResource() override;

    // Decodes the file and builds the texture (context current). False, with
    // no pixels kept, when the file cannot be opened, is not a JPEG libjpeg can
    // decode, or is larger than a picture may be. Warnings libjpeg reports on
    // the way go to the "JPEG Error" message.
    bool loadFile(const char* path) override;
    void reload() override;

    unsigned int getWidth() const { return width; }
    unsigned int getHeight() const { return height; }
    // The pixels of the last successful load (null if none), getByteCount() bytes.
    const unsigned char* getPixels() const { return pixels.get(); }
    int getByteCount() const;

private:
    // Decodes a JPEG file into the stored layout (rows bottom-up, 3 bytes per
    // pixel, rows padded to 4 bytes); the caller owns the returned array. Null (width and height 0) on failure.
    unsigned char* ReadJPEGFile(const char* path, unsigned int* outWidth,
                                unsigned int* outHeight);

    unsigned int width = 0;
    unsigned int height = 0;
    std::unique_ptr<unsigned char[]> pixels;
};
