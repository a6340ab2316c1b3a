#include "commands/DibConvert.h"

#include <cstdint>
#include <limits>
#include <new>

#include <sarvik/ZImageData.h>

const char* const kDibRefusedText = "剪贴板中的图片无法读取，未粘贴。";
const char* const kDibAllocateText = "Allocate memory failed!";

namespace {

constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kBitFields = 3;

std::uint32_t u32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::int32_t i32(const unsigned char* p) {
    return static_cast<std::int32_t>(u32(p));
}

std::uint16_t u16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

// One colour channel of a masked pixel, brought to 8 bits by keeping its top
// bits (a 5-bit channel is shifted up by 3, as the 5-5-5 layout always was).
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(std::uint32_t m) : mask(m) {
        if (!mask)
            return;
        while (!((mask >> shift) & 1u))
            ++shift;
        while (bits < 32 - shift && ((mask >> (shift + bits)) & 1u))
            ++bits;
    }
    unsigned char operator()(std::uint32_t v) const {
        if (!mask)
            return 0;
        const std::uint32_t x = (v & mask) >> shift;
        return static_cast<unsigned char>(bits >= 8 ? x >> (bits - 8) : x << (8 - bits));
    }
};

bool refuse(std::string* error, const char* text) {
    if (error)
        *error = text;
    return false;
}

} // namespace

std::unique_ptr<ZImageData> dibToImageData(const unsigned char* dib, std::size_t size,
                                           std::string* error) {
    if (error)
        error->clear();
    if (!dib || size < kInfoHeaderSize) {
        refuse(error, kDibRefusedText);
        return nullptr;
    }
    const std::uint32_t headerSize = u32(dib);
    const std::int64_t width = i32(dib + 4);
    const std::int64_t signedHeight = i32(dib + 8);
    const int bitCount = u16(dib + 14);
    const std::uint32_t compression = u32(dib + 16);
    const std::uint32_t clrUsed = u32(dib + 32);
    const bool knownBits = bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
                           bitCount == 24 || bitCount == 32;
    const bool masked = compression == kBitFields;
    // Negative heights mark top-down rows; a zero or lone-sign size is nothing to show.
    if (headerSize < kInfoHeaderSize || headerSize > size || width <= 0 || signedHeight == 0 ||
        !knownBits || (compression != kRgb && !masked) ||
        (masked && bitCount != 16 && bitCount != 32)) {
        refuse(error, kDibRefusedText);
        return nullptr;
    }
    const bool topDown = signedHeight < 0;
    const std::int64_t height = topDown ? -signedHeight : signedHeight;
    const std::int64_t outBytes = ZImageData::pictureBytes(width, height);
    if (outBytes < 0 || outBytes > std::numeric_limits<int>::max()) {
        refuse(error, kDibRefusedText);
        return nullptr;
    }

    // Masks follow a plain info header and sit inside the longer ones.
    std::uint64_t offset = headerSize;
    std::uint32_t masks[3] = {0x7C00u, 0x03E0u, 0x001Fu};
    if (bitCount == 32) {
        masks[0] = 0x00FF0000u;
        masks[1] = 0x0000FF00u;
        masks[2] = 0x000000FFu;
    }
    if (masked) {
        const std::uint64_t at = headerSize == kInfoHeaderSize ? offset : kInfoHeaderSize;
        if (at + 12 > size) {
            refuse(error, kDibRefusedText);
            return nullptr;
        }
        for (int i = 0; i < 3; ++i)
            masks[i] = u32(dib + at + 4 * static_cast<std::uint64_t>(i));
        if (headerSize == kInfoHeaderSize)
            offset += 12;
    }
    // Paletted pixels index a table of at most 2^bits entries; deeper pixels
    // may still carry a table, which is skipped.
    std::uint64_t tableEntries = clrUsed;
    if (bitCount <= 8) {
        const std::uint32_t full = 1u << bitCount;
        if (clrUsed > full) {
            refuse(error, kDibRefusedText);
            return nullptr;
        }
        if (clrUsed == 0)
            tableEntries = full;
    }
    const unsigned char* table = dib + offset;
    offset += tableEntries * 4;
    const std::uint64_t srcStride =
        (static_cast<std::uint64_t>(bitCount) * static_cast<std::uint64_t>(width) + 31) / 32 * 4;
    if (offset > size || srcStride * static_cast<std::uint64_t>(height) > size - offset) {
        refuse(error, kDibRefusedText);
        return nullptr;
    }

    std::unique_ptr<ZImageData> image;
    try {
        image = std::make_unique<ZImageData>();
        image->copyData(nullptr, static_cast<int>(width), static_cast<int>(height),
                        static_cast<int>(outBytes));
    } catch (const std::bad_alloc&) {
        image.reset();
    }
    if (!image || !image->getData()) {
        refuse(error, kDibAllocateText);
        return nullptr;
    }

    const std::int64_t outStride = ZImageData::rowStride(width);
    const unsigned char* pixels = dib + offset;
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    for (std::int64_t r = 0; r < height; ++r) {
        const unsigned char* src = pixels + r * static_cast<std::int64_t>(srcStride);
        // Rows are stored bottom-up, so a top-down block is turned over.
        const std::int64_t destRow = topDown ? height - 1 - r : r;
        unsigned char* dst = image->getData() + destRow * outStride;
        for (std::int64_t x = 0; x < width; ++x, dst += 3) {
            switch (bitCount) {
            case 24:
                dst[0] = src[3 * x];
                dst[1] = src[3 * x + 1];
                dst[2] = src[3 * x + 2];
                break;
            case 32:
            case 16: {
                const std::uint32_t v = bitCount == 32 ? u32(src + 4 * x) : u16(src + 2 * x);
                dst[0] = blue(v);
                dst[1] = green(v);
                dst[2] = red(v);
                break;
            }
            default: {
                // Packed indexes, most significant bits first within a byte.
                const std::int64_t bit = x * bitCount;
                const unsigned byte = src[bit / 8];
                const int shift = 8 - bitCount - static_cast<int>(bit % 8);
                const std::uint32_t index = (byte >> shift) & ((1u << bitCount) - 1u);
                // An index past a short table has no colour of its own: black.
                if (index < tableEntries) {
                    dst[0] = table[4 * index];
                    dst[1] = table[4 * index + 1];
                    dst[2] = table[4 * index + 2];
                }
                break;
            }
            }
        }
    }
    return image;
}
