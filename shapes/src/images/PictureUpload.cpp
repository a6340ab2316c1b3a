#include "PictureUpload.h"

#include <GL/glu.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include <sarvik/ZImageData.h>

namespace detail {

namespace {

// The power of two GLU scales a side to before it builds mipmaps: a side
// whose two top bits are set rounds up, any other down.
int gluPower(int value) {
    int power = 1;
    for (unsigned v = static_cast<unsigned>(std::max(value, 1));;) {
        if (v == 1)
            return power;
        if (v == 3)
            return power * 4;
        v >>= 1;
        power *= 2;
    }
}

int powerAtLeast(float value) {
    int power = 1;
    while (power < (1 << 30) && static_cast<float>(power) < value)
        power *= 2;
    return power;
}

// Averages the picture into one of `size`, both in the stored layout (rows
// bottom-up, 3 bytes a pixel, rows padded to 4 bytes). Each target pixel
// takes the mean of the source pixels under it, or the nearest one when the
// target side is the longer.
std::vector<unsigned char> reduce(int width, int height, const unsigned char* pixels,
                                  TextureSize size) {
    const std::size_t srcStride = static_cast<std::size_t>(ZImageData::rowStride(width));
    const std::size_t dstStride = static_cast<std::size_t>(ZImageData::rowStride(size.width));
    std::vector<unsigned char> out(dstStride * static_cast<std::size_t>(size.height), 0);
    // Column sums of the source rows under one target row.
    std::vector<std::uint32_t> sums(static_cast<std::size_t>(width) * 3);
    const auto span = [](int t, int target, int source) {
        const std::int64_t lo = static_cast<std::int64_t>(t) * source / target;
        const std::int64_t hi = static_cast<std::int64_t>(t + 1) * source / target;
        return std::pair<int, int>(static_cast<int>(lo), static_cast<int>(std::max(hi, lo + 1)));
    };
    for (int ty = 0; ty < size.height; ++ty) {
        const auto [y0, y1] = span(ty, size.height, height);
        std::fill(sums.begin(), sums.end(), 0u);
        for (int y = y0; y < y1; ++y) {
            const unsigned char* row = pixels + srcStride * static_cast<std::size_t>(y);
            for (std::size_t i = 0; i < sums.size(); ++i)
                sums[i] += row[i];
        }
        unsigned char* dst = out.data() + dstStride * static_cast<std::size_t>(ty);
        for (int tx = 0; tx < size.width; ++tx) {
            const auto [x0, x1] = span(tx, size.width, width);
            const std::uint64_t count = static_cast<std::uint64_t>(x1 - x0) * (y1 - y0);
            for (int c = 0; c < 3; ++c) {
                std::uint64_t total = 0;
                for (int x = x0; x < x1; ++x)
                    total += sums[static_cast<std::size_t>(x) * 3 + c];
                dst[tx * 3 + c] = static_cast<unsigned char>((total + count / 2) / count);
            }
        }
    }
    return out;
}

} // namespace

bool hasCurrentContext() { return glGetString(GL_VERSION) != nullptr; }

GLuint buildMipmappedTexture(int width, int height, GLenum format, const unsigned char* pixels) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    // Text drawing sets a 1-byte alignment for its bitmaps; padded picture rows
    // need the default 4 back while they are read.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, format, GL_UNSIGNED_BYTE, pixels);
    glPopClientAttrib();
    return name;
}

TextureSize wholePictureTextureSize(int width, int height) {
    GLint limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
    limit = std::max(limit, 64);
    TextureSize size{gluPower(width), gluPower(height)};
    while (size.width > limit)
        size.width /= 2;
    while (size.height > limit)
        size.height /= 2;
    return size;
}

TextureSize textureSizeFor(int width, int height, float drawnWidth, float drawnHeight) {
    const TextureSize whole = wholePictureTextureSize(width, height);
    const float w = drawnWidth > 0.0f ? drawnWidth : 1.0f;
    const float h = drawnHeight > 0.0f ? drawnHeight : 1.0f;
    return {std::min(powerAtLeast(w), whole.width), std::min(powerAtLeast(h), whole.height)};
}

GLuint buildPictureTexture(int width, int height, GLenum format, const unsigned char* pixels,
                           TextureSize size) {
    const TextureSize whole = wholePictureTextureSize(width, height);
    if (size.width >= whole.width && size.height >= whole.height)
        return buildMipmappedTexture(width, height, format, pixels);
    const std::vector<unsigned char> reduced = reduce(width, height, pixels, size);
    return buildMipmappedTexture(size.width, size.height, format, reduced.data());
}

} // namespace detail
