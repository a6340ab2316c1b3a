#pragma once
// A picture as an OpenGL texture, with the pixels it was built from and the
// file it came from. Box drawing binds it; the document file stores its pixels.

#include <sarvik/ZImageData.h>

#include <string>

class ZFile;
namespace detail {
struct TextureSize;
}

class ZImageTexture {
public:
    ZImageTexture() = default;
    // Takes ownership of data.
    ZImageTexture(ZImageData* data, const std::string& path);
    // Deletes the texture (the owning view's context must be current for the
    // name to be freed) and the image data.
    virtual ~ZImageTexture();
    // Each copy would delete the same image data; the system never copies textures.
    ZImageTexture(const ZImageTexture&) = delete;
    ZImageTexture& operator=(const ZImageTexture&) = delete;

    // Builds the texture from the image data, replacing any earlier one. The
    // caller makes the view's context current first. Without complete image
    // data no texture is built. A large picture starts as a small texture
    // that drawing enlarges to the size it is shown at (see ensureResolution).
    void resetTexture();
    // Rebuilds the texture, if there is one, when it is smaller than the
    // picture drawn over drawnWidth x drawnHeight device pixels needs; the
    // texture never grows past the picture's own size or GL's limit, and
    // never shrinks. The context the texture was made in must be current.
    void ensureResolution(float drawnWidth, float drawnHeight) const;
    int getTextureWidth() const { return textureWidth; }
    int getTextureHeight() const { return textureHeight; }
    // Enables texturing and binds the texture.
    void render() const;

    // Takes ownership of data, deleting the image data held before.
    void setImageData(ZImageData* data);
    ZImageData* getImageData() const { return imageData; }
    void setPath(const std::string& value) { path = value; }
    const std::string& getPath() const { return path; }
    unsigned int getTexture() const { return texture; }
    void setId(int value) {
        if (imageData)
            imageData->setId(value);
    }
    int getId() const { return imageData ? imageData->getId() : 0; }

    // The record of the image data. readFile creates the image data when none
    // is attached yet.
    bool writeFile(ZFile* file, int version) const;
    // Without `pixels` only the picture's size is kept (see ZImageData::skipFile).
    bool readFile(ZFile* file, int version, bool pixels = true);

protected:
    void upload(detail::TextureSize size) const;
    unsigned int format() const;
    static void setParameters();

    // The texture is a cache of the image data at some size; drawing may remake it.
    mutable unsigned int texture = 0;
    mutable int textureWidth = 0;
    mutable int textureHeight = 0;
    ZImageData* imageData = nullptr; // owned
    std::string path = " ";
};
