#include "PictureUpload.h"

#include <GL/glu.h>

namespace detail {

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

} // namespace detail
