// Damaged picture records in a row, as the document stores them: every cut
// and random damage is refused without touching the picture held before, or
// reads a picture that writes back exactly as it was read.

#include <sarvik/ZImageData.h>
#include <sarvik/ZImageTexture.h>
#include <sarvik/platform/ZFile.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void put(Bytes& out, std::int32_t v) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&v);
    out.insert(out.end(), p, p + 4);
}

Bytes records() {
    Bytes out;
    for (int k = 1; k <= 3; ++k) {
        const int width = 2 * k + 1, height = k;
        const int stride = ((width * 24 + 31) / 32) * 4;
        put(out, width);
        put(out, height);
        put(out, stride * height);
        put(out, k);
        put(out, k % 2);
        for (int i = 0; i < stride * height; ++i)
            out.push_back(static_cast<std::uint8_t>(i * 13));
    }
    return out;
}

// Reads records until one fails; returns how many loaded.
int readAll(const Bytes& bytes) {
    auto in = ZFile::fromMemory(bytes);
    int loaded = 0;
    while (in->remaining() > 0) {
        ZImageTexture texture;
        texture.setImageData(new ZImageData);
        const std::uint64_t start = in->position();
        if (!texture.readFile(in.get(), 8)) {
            EXPECT_TRUE(in->failed());
            EXPECT_EQ(texture.getImageData()->getByteCount(), 0);
            break;
        }
        auto out = ZFile::toMemory();
        EXPECT_TRUE(texture.writeFile(out.get(), 8));
        EXPECT_EQ(out->bytes().size(), in->position() - start);
        EXPECT_EQ(std::memcmp(out->bytes().data(), bytes.data() + start, out->bytes().size()), 0);
        ++loaded;
    }
    return loaded;
}

} // namespace

TEST(HostilePicture, EveryCutLoadsOnlyTheWholeRecordsBeforeIt) {
    const Bytes whole = records();
    ASSERT_EQ(readAll(whole), 3);
    std::size_t ends[3];
    {
        auto in = ZFile::fromMemory(whole);
        for (std::size_t& end : ends) {
            ZImageData image;
            ASSERT_TRUE(image.readFile(in.get(), 8));
            end = in->position();
        }
    }
    for (std::size_t n = 0; n < whole.size(); ++n) {
        const int complete = (n >= ends[0]) + (n >= ends[1]) + (n >= ends[2]);
        EXPECT_EQ(readAll(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n))),
                  complete)
            << "cut at " << n;
    }
}

TEST(HostilePicture, RandomDamageIsRefusedOrReadsBackExactly) {
    std::mt19937 random(31);
    const Bytes whole = records();
    for (int round = 0; round < 3000; ++round) {
        Bytes bytes = whole;
        const std::size_t at = random() % bytes.size();
        if (round % 2 == 0) {
            bytes[at] = static_cast<std::uint8_t>(random());
        } else {
            const std::int32_t values[] = {-1, 0, 1, 0x7FFFFFFF, 0x20000000, 0x10000};
            const std::size_t field = (at & ~std::size_t{3});
            if (field + 4 <= bytes.size())
                std::memcpy(&bytes[field], &values[random() % 6], 4);
        }
        readAll(bytes);
    }
}
