#include <sarvik/ZImageData.h>

#include <sarvik/platform/ZFile.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// Record pixels are written in blocks of this size, as the format always was;
// the blocks leave no trace in the file.
constexpr int kBlock = 256;

std::shared_ptr<unsigned char[]> allocate(std::int64_t size) {
    if (size <= 0)
        return nullptr;
    unsigned char* raw = new (std::nothrow) unsigned char[static_cast<std::size_t>(size)];
    return std::shared_ptr<unsigned char[]>(raw);
}

} // namespace

std::int64_t ZImageData::rowStride(std::int64_t width) {
    if (width < 1)
        return 0;
    return ((width * 24 + 31) / 32) * 4;
}

std::int64_t ZImageData::pictureBytes(std::int64_t width, std::int64_t height) {
    if (width < 0 || height < 0)
        return -1;
    const std::int64_t stride = rowStride(width);
    // Divided rather than multiplied, so that no size can overflow the test.
    if (stride > kMaxByteCount || (stride > 0 && height > kMaxByteCount / stride))
        return -1;
    return stride * height;
}

bool ZImageData::isComplete() const {
    if (width < 1 || height < 1 || !pixels)
        return false;
    const std::int64_t needed = pictureBytes(width, height);
    return needed >= 0 && needed <= byteCount;
}

void ZImageData::copyData(const unsigned char* source, int newWidth, int newHeight,
                          int newByteCount) {
    width = newWidth;
    height = newHeight;
    byteCount = 0;
    pixels.reset();
    if (newByteCount <= 0 || newByteCount > kMaxByteCount)
        return;
    auto buffer = allocate(newByteCount);
    if (!buffer)
        return;
    if (source)
        std::memcpy(buffer.get(), source, static_cast<std::size_t>(newByteCount));
    else
        std::memset(buffer.get(), 0, static_cast<std::size_t>(newByteCount));
    pixels = std::move(buffer);
    byteCount = newByteCount;
}

ZImageData* ZImageData::clone() const {
    auto* copy = new ZImageData();
    copy->copyData(pixels.get(), width, height, byteCount);
    copy->fileType = fileType;
    return copy;
}

bool ZImageData::writeFile(ZFile* file, int /*version*/) const {
    if (!file)
        return false;
    file->writeInt32(width);
    file->writeInt32(height);
    file->writeInt32(byteCount);
    file->writeInt32(id);
    file->writeInt32(fileType);
    const unsigned char* p = pixels.get();
    int left = p ? byteCount : 0;
    while (left > 0) {
        const int n = std::min(left, kBlock);
        file->write(p, static_cast<std::size_t>(n));
        p += n;
        left -= n;
    }
    // A buffer lost to a failed allocation still yields a record of the
    // announced length, so the records after it stay readable.
    if (!pixels && byteCount > 0) {
        const unsigned char zeros[kBlock] = {};
        for (int rest = byteCount; rest > 0; rest -= kBlock)
            file->write(zeros, static_cast<std::size_t>(std::min(rest, kBlock)));
    }
    return !file->failed();
}

struct ZImageData::Header {
    std::int32_t width = 0, height = 0, byteCount = 0, id = 0, fileType = 0;
};

bool ZImageData::readHeader(ZFile* file, Header& h) {
    if (!file || file->failed())
        return false;
    h.width = file->readInt32();
    h.height = file->readInt32();
    h.byteCount = file->readInt32();
    h.id = file->readInt32();
    h.fileType = file->readInt32();
    if (file->failed())
        return false;
    // The count is checked against the picture's own size and against what the
    // file can still hold before anything is allocated.
    const std::int64_t expected = pictureBytes(h.width, h.height);
    if (expected < 0 || h.byteCount != expected ||
        static_cast<std::uint64_t>(h.byteCount) > file->remaining()) {
        file->setFailed();
        return false;
    }
    return true;
}

bool ZImageData::skipFile(ZFile* file, int /*version*/) {
    Header h;
    if (!readHeader(file, h))
        return false;
    unsigned char block[64 * kBlock];
    for (int left = h.byteCount; left > 0;) {
        const int n = std::min(left, static_cast<int>(sizeof block));
        if (!file->read(block, static_cast<std::size_t>(n)))
            return false;
        left -= n;
    }
    width = h.width;
    height = h.height;
    byteCount = 0;
    id = h.id;
    fileType = h.fileType;
    pixels.reset();
    return true;
}

bool ZImageData::readFile(ZFile* file, int /*version*/) {
    Header h;
    if (!readHeader(file, h))
        return false;
    const std::int32_t newWidth = h.width, newHeight = h.height, newByteCount = h.byteCount;
    const std::int32_t newId = h.id, newFileType = h.fileType;
    auto buffer = allocate(newByteCount);
    if (!buffer && newByteCount > 0) {
        file->setFailed();
        return false;
    }
    unsigned char* p = buffer.get();
    for (int left = newByteCount; left > 0;) {
        const int n = std::min(left, kBlock);
        if (!file->read(p, static_cast<std::size_t>(n)))
            return false;
        p += n;
        left -= n;
    }
    width = newWidth;
    height = newHeight;
    byteCount = newByteCount;
    id = newId;
    fileType = newFileType;
    pixels = std::move(buffer);
    return true;
}
