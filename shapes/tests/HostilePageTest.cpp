// Damaged and hostile page records: every cut, every count made absurd, random
// mutations and random bytes. Each is refused with nothing kept, or loads into
// a page that writes and loads again unchanged.

#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/LOGFONTA.h>
#include <sarvik/platform/ZFile.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Builds records field by field and remembers where each count lies.
struct Rec {
    Bytes bytes;
    std::multimap<std::string, std::size_t> counts;

    Rec& i32(std::int32_t v) {
        const auto* p = reinterpret_cast<const std::uint8_t*>(&v);
        bytes.insert(bytes.end(), p, p + 4);
        return *this;
    }
    Rec& count(const std::string& what, std::int32_t v) {
        counts.emplace(what, bytes.size());
        return i32(v);
    }
    Rec& floats(int n, float v = 1.0f) {
        for (int i = 0; i < n; ++i) {
            std::int32_t bits;
            std::memcpy(&bits, &v, 4);
            i32(bits);
        }
        return *this;
    }
    Rec& ids(const std::string& what, std::initializer_list<std::int32_t> list) {
        count(what, static_cast<std::int32_t>(list.size()));
        for (std::int32_t id : list)
            i32(id);
        return *this;
    }
};

void text(Rec& r, int version) {
    r.i32(0).floats(7, 10.0f);
    r.count("text length", 3);
    r.bytes.insert(r.bytes.end(), {'a', 'b', 'c'});
    LOGFONTA font;
    font.lfHeight = -12;
    const auto* p = reinterpret_cast<const std::uint8_t*>(&font);
    r.bytes.insert(r.bytes.end(), p, p + sizeof font);
    if (version > 6)
        r.i32(0);
}

void box(Rec& r, int version, bool label) {
    r.count("has label", label ? 1 : 0);
    if (label)
        text(r, version);
    r.floats(10, 20.0f).i32(1);
    if (version > 2)
        r.i32(1);
    if (version > 4)
        r.i32(0);
    if (version > 6)
        r.i32(0).floats(3);
}

// Box 1 -> line 2 -> table 3, point 4, text 5 in the first cell of the table
// and its answer: every kind of count the page reader meets.
Rec page(int version) {
    Rec r;
    r.count("shape count", 5);
    r.i32(7), box(r, version, true);
    r.i32(1).i32(0).count("point count", 2).floats(4).floats(3).i32(0).i32(0).i32(0).i32(1).i32(
        10).i32(1);
    if (version >= 3)
        r.i32(0).i32(0).floats(3).floats(1).i32(0).floats(1);
    r.i32(12), box(r, version, false), r.count("rows", 2).count("columns", 2);
    r.i32(2).i32(0).floats(9).i32(0);
    r.i32(5), text(r, version);
    auto relation = [&](std::initializer_list<std::int32_t> in,
                        std::initializer_list<std::int32_t> out,
                        std::initializer_list<std::int32_t> hosts) {
        r.ids("inputs", in).ids("outputs", out);
        if (version > 6)
            r.ids("answer hosts", hosts);
    };
    relation({}, {2}, {});
    relation({1}, {3}, {});
    relation({2}, {}, {});
    r.ids("cells", {5, 0, 0, 0}).ids("answers", {5});
    relation({}, {}, {});
    relation({}, {}, {3});
    return r;
}

Bytes write(ZN_ShapeManager& p) {
    auto out = ZFile::toMemory();
    EXPECT_TRUE(p.writeFile(out.get(), 8));
    return out->bytes();
}

// The outcome every input must have: refused with the page left empty, or
// loaded into a page that survives a write and a second load unchanged.
void expectRefusedOrStable(const Bytes& bytes, int version, const std::string& what) {
    auto in = ZFile::fromMemory(bytes);
    ZN_ShapeManager p;
    const bool loaded = p.readFile(in.get(), version);
    ASSERT_EQ(loaded, !in->failed()) << what;
    if (!loaded) {
        ASSERT_TRUE(p.getShapeList().empty()) << what;
        return;
    }
    const Bytes first = write(p);
    auto again = ZFile::fromMemory(first);
    ZN_ShapeManager q;
    ASSERT_TRUE(q.readFile(again.get(), 8)) << what;
    ASSERT_EQ(write(q), first) << what;
}

constexpr int kVersions[] = {2, 4, 6, 8};

} // namespace

TEST(HostilePage, EveryCutOfEveryVersionIsRefusedAndTrailingBytesAreLeft) {
    for (int version : kVersions) {
        const Bytes whole = page(version).bytes;
        for (std::size_t n = 0; n < whole.size(); ++n) {
            ZN_ShapeManager p;
            auto in = ZFile::fromMemory(whole.data(), n);
            EXPECT_FALSE(p.readFile(in.get(), version)) << version << " cut at " << n;
            EXPECT_TRUE(p.getShapeList().empty()) << version << " cut at " << n;
        }
        Bytes longer = whole;
        longer.insert(longer.end(), {1, 2, 3, 4, 5});
        ZN_ShapeManager p;
        auto in = ZFile::fromMemory(longer);
        ASSERT_TRUE(p.readFile(in.get(), version)) << version;
        EXPECT_EQ(p.getShapeList().size(), 5u);
        EXPECT_EQ(in->remaining(), 5u);
        EXPECT_EQ(in->readInt32(), 0x04030201);
    }
}

TEST(HostilePage, AbsurdAndNegativeCountsAreRefusedWherever) {
    for (int version : kVersions) {
        const Rec r = page(version);
        for (const auto& [what, at] : r.counts) {
            for (std::int32_t v : {INT_MAX, 0x10000000, 1001, -1, INT_MIN}) {
                Bytes bytes = r.bytes;
                std::memcpy(&bytes[at], &v, 4);
                const std::string label = what + " = " + std::to_string(v) + " in version " +
                                          std::to_string(version);
                if (what == "has label" && v != 0) {
                    expectRefusedOrStable(bytes, version, label); // any nonzero means yes
                    continue;
                }
                if (what == "text length" && v < 0) {
                    // Read as an empty text; the next fields then start early.
                    expectRefusedOrStable(bytes, version, label);
                    continue;
                }
                ZN_ShapeManager p;
                auto in = ZFile::fromMemory(bytes);
                EXPECT_FALSE(p.readFile(in.get(), version)) << label;
                EXPECT_TRUE(p.getShapeList().empty()) << label;
            }
        }
    }
}

TEST(HostilePage, UnknownTypeCodesStopTheReaderAtAnyPosition) {
    // The record of a type code without a shape has no known length, so the
    // reader cannot go on past it, wherever it stands.
    const Bytes whole = page(8).bytes;
    const std::size_t typeAt[] = {4}; // the first shape's code
    for (std::int32_t code : {0, 11, 14, -1, INT_MAX}) {
        for (std::size_t at : typeAt) {
            Bytes bytes = whole;
            std::memcpy(&bytes[at], &code, 4);
            ZN_ShapeManager p;
            auto in = ZFile::fromMemory(bytes);
            EXPECT_FALSE(p.readFile(in.get(), 8)) << code;
            EXPECT_TRUE(p.getShapeList().empty()) << code;
        }
    }
}

TEST(HostilePage, RandomMutationsAreRefusedOrLoadStably) {
    std::mt19937 random(20261207);
    const std::int32_t interesting[] = {0, 1, 2, 5, 11, 12, 13, 14, -1, 1000, 1001, INT_MAX};
    for (int version : kVersions) {
        const Bytes whole = page(version).bytes;
        for (int round = 0; round < 600; ++round) {
            Bytes bytes = whole;
            const int edits = 1 + static_cast<int>(random() % 4);
            for (int e = 0; e < edits; ++e) {
                const std::size_t at = random() % bytes.size();
                switch (random() % 3) {
                case 0:
                    bytes[at] = static_cast<std::uint8_t>(random());
                    break;
                case 1:
                    if (at + 4 <= bytes.size())
                        std::memcpy(&bytes[at & ~std::size_t{3}],
                                    &interesting[random() % std::size(interesting)], 4);
                    break;
                default:
                    bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                bytes.begin() + static_cast<std::ptrdiff_t>(
                                                    std::min(bytes.size(), at + 1 + random() % 8)));
                    if (bytes.empty())
                        bytes.push_back(0);
                    break;
                }
            }
            expectRefusedOrStable(bytes, version,
                                  "version " + std::to_string(version) + " round " +
                                      std::to_string(round));
        }
    }
}

TEST(HostilePage, RandomBytesAreRefused) {
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        Bytes bytes(random() % 256);
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(random());
        // A small shape count makes the reader go past the first field.
        if (bytes.size() >= 4 && round % 2 == 0) {
            bytes[0] = static_cast<std::uint8_t>(random() % 4);
            bytes[1] = bytes[2] = bytes[3] = 0;
        }
        expectRefusedOrStable(bytes, 1 + round % 8, "round " + std::to_string(round));
    }
}

TEST(HostilePage, RefusedLinksOnOneSideAreUndoneWithoutTouchingFreedShapes) {
    // The second node names the first as an input, the first does not name it
    // back. The record is refused; destroying the first shape before the
    // second must not leave the second pointing at it.
    {
        Rec r;
        r.i32(2).i32(3).i32(0).i32(3).i32(0);
        r.ids("inputs", {}).ids("outputs", {}).ids("answer hosts", {});
        r.ids("inputs", {1}).ids("outputs", {}).ids("answer hosts", {});
        ZN_ShapeManager p;
        auto in = ZFile::fromMemory(r.bytes);
        EXPECT_FALSE(p.readFile(in.get(), 8));
        EXPECT_TRUE(p.getShapeList().empty());
    }
    // A table lists a node as its answer; the node does not name the table.
    {
        Rec r;
        r.i32(2).i32(3).i32(0);
        r.i32(12), box(r, 8, false), r.i32(2).i32(2);
        r.ids("inputs", {}).ids("outputs", {}).ids("answer hosts", {});
        r.ids("inputs", {}).ids("outputs", {}).ids("answer hosts", {});
        r.ids("cells", {}).ids("answers", {1});
        ZN_ShapeManager p;
        auto in = ZFile::fromMemory(r.bytes);
        EXPECT_FALSE(p.readFile(in.get(), 8));
        EXPECT_TRUE(p.getShapeList().empty());
    }
}
