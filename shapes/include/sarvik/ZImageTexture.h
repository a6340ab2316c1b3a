#pragma once
// A picture as an OpenGL texture, with the pixels it was built from and the
// file it came from. Box drawing binds it; the document file stores its pixels.

#include <sarvik/ZImageData.h>

#include <string>

class ZFile;

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
    // data no texture is built.
    void resetTexture();
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
    bool readFile(ZFile* file, int version);

protected:
    unsigned int texture = 0;
    ZImageData* imageData = nullptr; // owned
    std::string path = " ";
};
