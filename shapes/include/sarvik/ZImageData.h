#pragma once
// Raw pixels of one picture, in the layout OpenGL's default unpack alignment
// reads: 3 bytes per pixel, rows bottom-up, each row padded to 4 bytes.
// Copies share the pixel buffer; the buffer is freed with the last holder.

#include <cstdint>
#include <memory>

class ZFile;

class ZImageData {
public:
    // Largest pixel buffer a picture may have (and a record may announce).
    static constexpr std::int64_t kMaxByteCount = std::int64_t{1} << 29;

    ZImageData() = default;
    ZImageData(const ZImageData&) = default;
    ZImageData& operator=(const ZImageData&) = default;
    virtual ~ZImageData() = default;

    // Bytes per stored row of a picture `width` pixels wide (0 for widths
    // below 1); 64-bit so that no width can overflow it.
    static std::int64_t rowStride(std::int64_t width);
    // rowStride(width) * height, the byte count of a whole picture; -1 for a
    // negative size or one whose pixels would exceed kMaxByteCount.
    static std::int64_t pictureBytes(std::int64_t width, std::int64_t height);

    // Takes the size, allocates byteCount zeroed bytes and copies byteCount
    // bytes from source (nothing is copied from a null source). A negative
    // byteCount, or one above kMaxByteCount, leaves an empty buffer.
    void copyData(const unsigned char* source, int width, int height, int byteCount);
    // A copy with its own pixels; the id is not copied. Owned by the caller.
    ZImageData* clone() const;

    void setId(int value) { id = value; }
    int getId() const { return id; }
    // 1: red, green, blue (pictures from JPEG files); otherwise blue, green, red.
    void setFileType(int value) { fileType = value; }
    int getFileType() const { return fileType; }
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    int getByteCount() const { return byteCount; }
    const unsigned char* getData() const { return pixels.get(); }
    unsigned char* getData() { return pixels.get(); }
    // True when the buffer holds a whole picture of width x height in the
    // stored layout, so it can be handed to OpenGL as it is.
    bool isComplete() const;

    // Record: width, height, byte count, id, file type, then the pixels. The
    // version is not used. readFile refuses a record with a negative size or
    // whose byte count is not rowStride(width) * height, is above kMaxByteCount
    // or is more than the file still holds: it marks the file failed, keeps the
    // previous picture and returns false. An empty record (0 x 0) is accepted.
    bool writeFile(ZFile* file, int version) const;
    bool readFile(ZFile* file, int version);
    // Reads a record as readFile does and checks it the same way, but passes
    // over its pixels without keeping them: the size, id and file type are
    // taken and the buffer is left empty. For reports on a file, which need
    // no picture in memory.
    bool skipFile(ZFile* file, int version);

private:
    struct Header;
    static bool readHeader(ZFile* file, Header& header);

    std::shared_ptr<unsigned char[]> pixels; // shared with copies
    int width = 0;
    int height = 0;
    int byteCount = 0;
    int id = 0;
    int fileType = 0;
};
