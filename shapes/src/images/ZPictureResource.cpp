#include <sarvik/ZPictureResource.h>

#include <GL/gl.h>

ZPictureResource::~ZPictureResource() { release(); }

void ZPictureResource::render() const {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
}

void ZPictureResource::release() {
    if (texture) {
        glDeleteTextures(1, &texture);
        texture = 0;
    }
}
