#include <sarvik/ZImageTexture.h>

#include "PictureUpload.h"

#include <GL/gl.h>
#include <GL/glext.h>

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

void ZImageTexture::resetTexture() {
    if (!detail::hasCurrentContext())
        return;
    if (texture) {
        glDeleteTextures(1, &texture);
        texture = 0;
    }
    glEnable(GL_TEXTURE_2D);
    // A record whose pixels are missing or short would have OpenGL read past
    // the buffer, so only whole pictures become textures.
    if (!imageData || !imageData->isComplete())
        return;
    const GLenum format = imageData->getFileType() == 1 ? GL_RGB : GL_BGR_EXT;
    texture = detail::buildMipmappedTexture(imageData->getWidth(), imageData->getHeight(), format,
                                            imageData->getData());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
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

bool ZImageTexture::readFile(ZFile* file, int version) {
    if (!imageData)
        imageData = new ZImageData();
    return imageData->readFile(file, version);
}
