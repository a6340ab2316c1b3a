#pragma once
// Building mipmapped textures from pictures in the stored layout, at no more
// than the size they are drawn at.

#include <GL/gl.h>

namespace detail {

// True when a GL context is current on this thread; texture calls without one
// would go nowhere, and GLU would size its work from unset limits.
bool hasCurrentContext();

// Generates and binds a new texture name and fills it with mipmaps of the
// picture; rows are read with a 4-byte alignment whatever the caller left set.
GLuint buildMipmappedTexture(int width, int height, GLenum format, const unsigned char* pixels);

struct TextureSize {
    int width = 0;
    int height = 0;
};

// The texture GLU makes of a whole picture: each side scaled to a power of
// two, then halved until GL_MAX_TEXTURE_SIZE takes it. Context current.
TextureSize wholePictureTextureSize(int width, int height);
// The texture that shows a picture drawn over drawnWidth x drawnHeight device
// pixels: powers of two covering that, never above the whole picture's.
TextureSize textureSizeFor(int width, int height, float drawnWidth, float drawnHeight);
// As buildMipmappedTexture, from the picture averaged down to `size` first
// when that is smaller than the whole picture's texture. Huge pictures so
// never pass through GLU, which would scale them at full size in memory.
GLuint buildPictureTexture(int width, int height, GLenum format, const unsigned char* pixels,
                           TextureSize size);

} // namespace detail
