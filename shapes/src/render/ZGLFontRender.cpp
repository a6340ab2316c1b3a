#include <sarvik/ZGLFont.h>

#include <GL/gl.h>

void ZGLFont::render() const {
    renderPicture(width, height, getBits());
}

void ZGLFont::renderPicture(int w, int h, const std::uint8_t* data, int originX) {
    if (!data)
        return;
    glPushAttrib(GL_LIST_BIT);
    // The picture's rows are packed most significant bit first with no gaps;
    // other code (picture uploads) may have changed how GL unpacks pixels.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glBitmap(w, h, static_cast<float>(originX), 0.0f, 0.0f, 0.0f, data);
    glPopClientAttrib();
    glPopAttrib();
}
