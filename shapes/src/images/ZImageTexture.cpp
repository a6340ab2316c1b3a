#include <sarvik/ZImageTexture.h>

#include "PictureUpload.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>

ZImageTexture::ZImageTexture(ZImageData* data, const std::string& filePath)
    : imageData(data), path(filePath) {}

ZImageTexture::~ZImageTexture() {
    if (texture)
        glDeleteTextures(1, &texture);
    delete imageData;
}

void ZImageTexture::setImageData(ZImageData* data) {
    if (data == imageData)
        return;
    delete imageData;
    imageData = data;
}

namespace {
// Pictures whose whole texture is no larger are uploaded whole at once, as
// drawing would soon need most of them anyway.
constexpr int kSmallSide = 256;
} // namespace

void ZImageTexture::resetTexture() {
    if (!detail::hasCurrentContext())
        return;
    if (texture) {
        glDeleteTextures(1, &texture);
        texture = 0;
        textureWidth = textureHeight = 0;
    }
    glEnable(GL_TEXTURE_2D);
    // A record whose pixels are missing or short would have OpenGL read past
    // the buffer, so only whole pictures become textures.
    if (!imageData || !imageData->isComplete())
        return;
    const detail::TextureSize whole =
        detail::wholePictureTextureSize(imageData->getWidth(), imageData->getHeight());
    if (whole.width <= kSmallSide && whole.height <= kSmallSide) {
        upload(whole);
        return;
    }
    // A large picture waits for its first drawing, which knows the size it is
    // shown at; until then its texture is a single texel of its first pixel.
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    const unsigned char* first = imageData->getData();
    const unsigned char texel[4] = {first[0], first[1], first[2], 0};
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, 1, 1, 0, format(), GL_UNSIGNED_BYTE, texel);
    glPopClientAttrib();
    setParameters();
}

void ZImageTexture::ensureResolution(float drawnWidth, float drawnHeight) const {
    if (!texture || !imageData || !imageData->isComplete())
        return;
    detail::TextureSize size = detail::textureSizeFor(imageData->getWidth(),
                                                      imageData->getHeight(), drawnWidth,
                                                      drawnHeight);
    if (size.width <= textureWidth && size.height <= textureHeight)
        return;
    size.width = std::max(size.width, textureWidth);
    size.height = std::max(size.height, textureHeight);
    glDeleteTextures(1, &texture);
    texture = 0;
    upload(size);
}

void ZImageTexture::upload(detail::TextureSize size) const {
    texture = detail::buildPictureTexture(imageData->getWidth(), imageData->getHeight(), format(),
                                          imageData->getData(), size);
    textureWidth = size.width;
    textureHeight = size.height;
    setParameters();
}

unsigned int ZImageTexture::format() const {
    return imageData->getFileType() == 1 ? GL_RGB : GL_BGR_EXT;
}

void ZImageTexture::setParameters() {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    // Every texture is built with its smaller levels (a single texel is one
    // level complete): a picture drawn smaller than its texture, as after
    // zooming in and out again, is read from them rather than aliasing.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
}

void ZImageTexture::render() const {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
}

bool ZImageTexture::writeFile(ZFile* file, int version) const {
    if (!imageData) {
        // Keep the record present so the pictures after it stay in step.
        ZImageData empty;
        return empty.writeFile(file, version);
    }
    return imageData->writeFile(file, version);
}

bool ZImageTexture::readFile(ZFile* file, int version, bool pixels) {
    if (!imageData)
        imageData = new ZImageData();
    return pixels ? imageData->readFile(file, version) : imageData->skipFile(file, version);
}
