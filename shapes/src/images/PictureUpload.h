#pragma once
// Building mipmapped textures from pictures in the stored layout.

#include <GL/gl.h>

namespace detail {

// True when a GL context is current on this thread; texture calls without one
// would go nowhere, and GLU would size its work from unset limits.
bool hasCurrentContext();

// Generates and binds a new texture name and fills it with mipmaps of the
// picture; rows are read with a 4-byte alignment whatever the caller left set.
GLuint buildMipmappedTexture(int width, int height, GLenum format, const unsigned char* pixels);

} // namespace detail
