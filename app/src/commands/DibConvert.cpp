#include "commands/DibConvert.h"

#include <cstdint>
#include <limits>
#include <new>
#include <optional>

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

// What a block's header says about its layout.
struct DibLayout {
    std::int64_t width = 0;
    std::int64_t height = 0;
    bool topDown = false;
    int bitCount = 0;
    std::uint32_t masks[3] = {};
    std::uint64_t tableAt = 0;
    std::uint64_t tableEntries = 0;
    // Where the pixels begin when they follow the masks and colour table.
    std::uint64_t pixelsAt = 0;
    std::uint64_t srcStride = 0;
};

// The layout of the block, or nothing when its header, masks or colour table
// cannot be read or describe nothing this conversion handles.
std::optional<DibLayout> readLayout(const unsigned char* dib, std::size_t size) {
    if (!dib || size < kInfoHeaderSize)
        return std::nullopt;
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
        (masked && bitCount != 16 && bitCount != 32))
        return std::nullopt;
    DibLayout layout;
    layout.width = width;
    layout.topDown = signedHeight < 0;
    layout.height = layout.topDown ? -signedHeight : signedHeight;
    layout.bitCount = bitCount;
    const std::int64_t outBytes = ZImageData::pictureBytes(width, layout.height);
    if (outBytes < 0 || outBytes > std::numeric_limits<int>::max())
        return std::nullopt;

    // Masks follow a plain info header and sit inside the longer ones.
    std::uint64_t offset = headerSize;
    if (bitCount == 32) {
        layout.masks[0] = 0x00FF0000u;
        layout.masks[1] = 0x0000FF00u;
        layout.masks[2] = 0x000000FFu;
    } else {
        layout.masks[0] = 0x7C00u;
        layout.masks[1] = 0x03E0u;
        layout.masks[2] = 0x001Fu;
    }
    if (masked) {
        if (kInfoHeaderSize + 12 > size)
            return std::nullopt;
        for (int i = 0; i < 3; ++i)
            layout.masks[i] = u32(dib + kInfoHeaderSize + 4 * static_cast<std::uint64_t>(i));
        if (headerSize == kInfoHeaderSize)
            offset += 12;
    }
    // Paletted pixels index a table of at most 2^bits entries; deeper pixels
    // may still carry a table, which is skipped.
    layout.tableEntries = clrUsed;
    if (bitCount <= 8) {
        const std::uint32_t full = 1u << bitCount;
        if (clrUsed > full)
            return std::nullopt;
        if (clrUsed == 0)
            layout.tableEntries = full;
    }
    layout.tableAt = offset;
    layout.pixelsAt = offset + layout.tableEntries * 4;
    if (layout.pixelsAt > size)
        return std::nullopt;
    layout.srcStride =
        (static_cast<std::uint64_t>(bitCount) * static_cast<std::uint64_t>(width) + 31) / 32 * 4;
    return layout;
}

} // namespace

std::optional<BmpFileParts> bmpFileParts(const unsigned char* bmp, std::size_t size) {
    if (!bmp || size <= kBmpFileHeaderSize || bmp[0] != 'B' || bmp[1] != 'M')
        return std::nullopt;
    const std::optional<DibLayout> layout =
        readLayout(bmp + kBmpFileHeaderSize, size - kBmpFileHeaderSize);
    if (!layout)
        return std::nullopt;
    BmpFileParts parts;
    parts.headBytes = static_cast<std::size_t>(layout->pixelsAt);
    const std::uint64_t recorded = u32(bmp + 10);
    // A start inside the header and colour table, or past the end, points at
    // no pixels: none are taken, and the packed block is refused.
    const bool inside = recorded >= kBmpFileHeaderSize + layout->pixelsAt && recorded <= size;
    parts.pixelsAt = inside ? static_cast<std::size_t>(recorded) : size;
    return parts;
}

std::unique_ptr<ZImageData> dibToImageData(const unsigned char* dib, std::size_t size,
                                           std::string* error) {
    if (error)
        error->clear();
    const std::optional<DibLayout> layout = readLayout(dib, size);
    if (!layout ||
        layout->srcStride * static_cast<std::uint64_t>(layout->height) > size - layout->pixelsAt) {
        refuse(error, kDibRefusedText);
        return nullptr;
    }
    const std::int64_t width = layout->width;
    const std::int64_t height = layout->height;
    const int bitCount = layout->bitCount;

    std::unique_ptr<ZImageData> image;
    try {
        image = std::make_unique<ZImageData>();
        image->copyData(nullptr, static_cast<int>(width), static_cast<int>(height),
                        static_cast<int>(ZImageData::pictureBytes(width, height)));
    } catch (const std::bad_alloc&) {
        image.reset();
    }
    if (!image || !image->getData()) {
        refuse(error, kDibAllocateText);
        return nullptr;
    }

    const std::int64_t outStride = ZImageData::rowStride(width);
    const unsigned char* table = dib + layout->tableAt;
    const std::uint64_t tableEntries = layout->tableEntries;
    const unsigned char* pixels = dib + layout->pixelsAt;
    const Channel red(layout->masks[0]), green(layout->masks[1]), blue(layout->masks[2]);
    for (std::int64_t r = 0; r < height; ++r) {
        const unsigned char* src = pixels + r * static_cast<std::int64_t>(layout->srcStride);
        // Rows are stored bottom-up, so a top-down block is turned over.
        const std::int64_t destRow = layout->topDown ? height - 1 - r : r;
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
