#pragma once
// Holds the 1-bit bitmap of a rendered text and draws it into the GL frame.

#include <cstdint>
#include <vector>

class ZGLFont {
public:
    ZGLFont() = default;
    virtual ~ZGLFont() = default;

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    void setAlignType(int type) { alignType = type; }
    int getAlignType() const { return alignType; }

protected:
    int width = 0;                  // pixels; a multiple of 32 after rendering
    int height = 0;                 // rows
    std::vector<std::uint8_t> bits; // one bit per pixel, rows bottom-up
    int alignType = 0;              // 1 left, 2 right, otherwise centred
};
