#pragma once
// A picture loaded from a file into a texture of its own. ZJpgResource is the
// JPEG loader.

class ZPictureResource {
public:
    ZPictureResource() = default;
    // Deletes the texture (the context it was made in must be current).
    virtual ~ZPictureResource();
    ZPictureResource(const ZPictureResource&) = delete;
    ZPictureResource& operator=(const ZPictureResource&) = delete;

    // Enables texturing and binds the texture.
    virtual void render() const;
    virtual bool loadFile(const char* path) = 0;
    // Rebuilds the texture from the loaded pixels (context current).
    virtual void reload() = 0;

    // Deletes the texture, if any.
    void release();
    unsigned int getTexture() const { return texture; }

protected:
    unsigned int texture = 0;
};
