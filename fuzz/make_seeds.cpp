// Writes the seed corpora of the fuzz targets: valid records of every shape
// kind in every file version whose layout differs, pictures, JPEG files and
// texts, each in a folder named after its target. The pages are built field
// by field here, independently of the writer; the newest version must then
// load and write back byte for byte, which checks this builder as well.

#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/LOGFONTA.h>
#include <sarvik/platform/ZCodePage.h>
#include <sarvik/platform/ZFile.h>

#include "ZTestJpeg.h"
#include "document/ExtensionBlock.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class Rec {
public:
    Rec& i32(std::int32_t v) { return raw(&v, 4); }
    Rec& f32(float v) { return raw(&v, 4); }
    Rec& floats(std::initializer_list<float> vs) {
        for (float v : vs)
            f32(v);
        return *this;
    }
    Rec& raw(const void* p, std::size_t n) {
        const auto* b = static_cast<const std::uint8_t*>(p);
        bytes.insert(bytes.end(), b, b + n);
        return *this;
    }
    Rec& add(const Bytes& more) { return raw(more.data(), more.size()); }
    Rec& ids(std::initializer_list<std::int32_t> list) {
        i32(static_cast<std::int32_t>(list.size()));
        for (std::int32_t id : list)
            i32(id);
        return *this;
    }
    Bytes bytes;
};

// --- class records, as each reader expects them for a file version ---

void textBody(Rec& r, int version, const std::string& utf8, float x, float y) {
    r.i32(0); // a text has no label
    r.floats({x, y, x + 60.0f, y + 20.0f, 0.0f, 0.0f, 0.5f});
    const std::string disk = ZUtf8ToCp936(utf8);
    r.i32(static_cast<std::int32_t>(disk.size())).raw(disk.data(), disk.size());
    LOGFONTA font;
    font.lfHeight = -16;
    font.lfWeight = FW_NORMAL;
    std::strcpy(font.lfFaceName, "SimSun");
    r.raw(&font, sizeof font);
    if (version > 6)
        r.i32(1); // centred
}

void labelBlock(Rec& r, int version, const char* label) {
    if (!label) {
        r.i32(0);
        return;
    }
    r.i32(1);
    textBody(r, version, label, 12.0f, 14.0f);
}

void boxBody(Rec& r, int version, const char* label, float x, int imageId = 0) {
    labelBlock(r, version, label);
    r.floats({x, 10.0f, x + 80.0f, 50.0f});
    r.floats({1.0f, 1.0f, 0.75f, 0.0f, 0.0f, 0.25f});
    r.i32(2);
    if (version > 2)
        r.i32(1); // frame shown
    if (version > 4)
        r.i32(imageId);
    if (version > 6)
        r.i32(1).floats({0.5f, 0.5f, 1.0f});
}

void lineBody(Rec& r, int version, int points) {
    r.i32(0);
    r.i32(points);
    for (int i = 0; i < points; ++i)
        r.floats({10.0f * i, 5.0f * i});
    r.floats({0.0f, 0.5f, 0.0f});
    r.i32(6).i32(2).i32(1).i32(3).i32(10).i32(1);
    if (version >= 3)
        r.i32(1).i32(1).floats({1.0f, 0.0f, 0.0f}).f32(4.0f).i32(1).f32(30.0f);
}

void pointBody(Rec& r, int version) {
    labelBlock(r, version, nullptr);
    r.floats({200.0f, 120.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 6.0f});
    r.i32(1); // folded
}

// A page with every shape kind joined the way the editor joins them (the last
// three, which undo snapshots do not copy, only when plainShapes is set):
//  1 rectangle A (label, picture imageId) -> 2 line -> 3 ellipse B -> 5 line -> 4 round rect C
//  C -> 9 line -> 8 point; 6 rhombus, 7 parallelogram; 10 text T, answer of and
//  in the first cell of 11 table G; 12 node, 13 picture shape, 14 region.
Bytes mixedPage(int version, int imageId = 0, bool plainShapes = true) {
    Rec r;
    r.i32(plainShapes ? 14 : 11);
    r.i32(7), boxBody(r, version, "页1 根", 10.0f, imageId);
    r.i32(1), lineBody(r, version, 2);
    r.i32(8), boxBody(r, version, nullptr, 120.0f);
    r.i32(9), boxBody(r, version, "圆角", 240.0f);
    r.i32(1), lineBody(r, version, 4);
    r.i32(10), boxBody(r, version, nullptr, 360.0f);
    r.i32(13), boxBody(r, version, "Paral", 480.0f);
    r.i32(2), pointBody(r, version);
    r.i32(1), lineBody(r, version, 3);
    r.i32(5), textBody(r, version, "答案 answer", 30.0f, 200.0f);
    r.i32(12), boxBody(r, version, nullptr, 20.0f), r.i32(2).i32(2);
    if (plainShapes) {
        r.i32(3), labelBlock(r, version, "node");
        r.i32(4), labelBlock(r, version, nullptr);
        r.i32(6), labelBlock(r, version, nullptr);
    }

    auto relation = [&](std::initializer_list<std::int32_t> in,
                        std::initializer_list<std::int32_t> out,
                        std::initializer_list<std::int32_t> hosts) {
        r.ids(in).ids(out);
        if (version > 6)
            r.ids(hosts);
    };
    relation({}, {2}, {});    // 1 A
    relation({1}, {3}, {});   // 2 line A -> B
    relation({2}, {5}, {});   // 3 B
    relation({5}, {9}, {});   // 4 C
    relation({3}, {4}, {});   // 5 line B -> C
    relation({}, {}, {});     // 6
    relation({}, {}, {});     // 7
    relation({9}, {}, {});    // 8 point
    relation({4}, {8}, {});   // 9 line C -> point
    relation({}, {}, {11});   // 10 text, answer of the table
    relation({}, {}, {});     // 11 table ...
    r.ids({10, 0, 0, 0}).ids({10}); // ... its cells and answers
    if (plainShapes)
        for (int i = 12; i <= 14; ++i)
            relation({}, {}, {});
    return r.bytes;
}

Bytes pictureRecord(int width, int height, int id, int fileType) {
    const int stride = ((width * 24 + 31) / 32) * 4;
    Rec r;
    r.i32(width).i32(height).i32(stride * height).i32(id).i32(fileType);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < stride; ++x) {
            const std::uint8_t v = x < width * 3 ? static_cast<std::uint8_t>(x * 40 + y * 7) : 0;
            r.raw(&v, 1);
        }
    return r.bytes;
}

// A document of the given version: the container layout changed at 4 (magic
// and page table) and 5 (pictures).
Bytes document(int version) {
    Rec r;
    r.i32(version);
    if (version > 3) {
        r.raw("tvx", 3);
        r.i32(2);
        const std::string name = ZUtf8ToCp936("页1");
        r.i32(0).i32(static_cast<std::int32_t>(name.size())).raw(name.data(), name.size());
        const std::string custom = ZUtf8ToCp936("第二页");
        r.i32(1).i32(static_cast<std::int32_t>(custom.size())).raw(custom.data(), custom.size());
        r.add(mixedPage(version, 1));
        r.i32(0); // the second page is empty
    } else {
        r.add(mixedPage(version, 1));
    }
    if (version > 4)
        r.i32(1).add(pictureRecord(3, 2, 1, 1));
    return r.bytes;
}

// A block naming shapes of the mixed page (page 0, ids 1 to 3) with every
// field, a node record of a later version and a top-level one.
ExtensionContent richContent() {
    ZN_NodeFields root;
    root.note = "第一行\n第二行";
    root.link = "https://example.org/a?b=c";
    root.markers = {"priority-1", "flag-red", "star", "someone-elses-icon"};
    root.attributes = {{"owner", "李"}, {"owner", "Ann"}, {"", ""}};
    root.anchor = "root";
    root.layout = ZN_Layout::MindMap;
    root.unknown = {{0x454D4954u, std::string("\x01\x02", 2)}};
    ZN_NodeFields other;
    other.link = "#root";
    ZN_NodeFields third;
    third.note = "x";
    ExtensionContent content;
    content.nodes.push_back({0, 1, std::make_shared<const ZN_NodeFields>(root)});
    content.nodes.push_back({0, 3, std::make_shared<const ZN_NodeFields>(other)});
    content.nodes.push_back({1, 1, std::make_shared<const ZN_NodeFields>(third)});
    content.unknown = {{0x4B4F4F42u, "bookmarks"}};
    return content;
}

Bytes asBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

// The first byte tells the target to mend the checksum (0) or take it as it is (1).
Bytes extSeed(std::uint8_t mode, const Bytes& block) {
    Bytes out{mode};
    out.insert(out.end(), block.begin(), block.end());
    return out;
}

Bytes rgbPixels(int w, int h, int components) {
    Bytes p(static_cast<std::size_t>(w) * h * components);
    for (std::size_t i = 0; i < p.size(); ++i)
        p[i] = static_cast<std::uint8_t>(i * 37 + i / 7);
    return p;
}

// A bitmap block as the clipboard hands it over: an info header (40 bytes, or
// a longer one), masks or a colour table, then rows padded to 4 bytes.
Bytes dibBlock(int bits, int width, int height, bool bitfields, int headerSize = 40) {
    Rec r;
    r.i32(headerSize).i32(width).i32(height);
    const std::uint16_t planesAndBits[2] = {1, static_cast<std::uint16_t>(bits)};
    r.raw(planesAndBits, 4);
    r.i32(bitfields ? 3 : 0);
    const int stride = (bits * width + 31) / 32 * 4;
    const int rows = height < 0 ? -height : height;
    r.i32(stride * rows).i32(2835).i32(2835).i32(0).i32(0);
    if (headerSize > 40) {
        const std::uint32_t masks[4] = {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u};
        r.raw(masks, sizeof masks);
        const Bytes rest(static_cast<std::size_t>(headerSize - 56), 0);
        r.add(rest);
    } else if (bitfields) {
        const std::uint32_t masks[3] = {bits == 16 ? 0xF800u : 0x00FF0000u,
                                        bits == 16 ? 0x07E0u : 0x0000FF00u,
                                        bits == 16 ? 0x001Fu : 0x000000FFu};
        r.raw(masks, sizeof masks);
    }
    if (bits <= 8)
        for (int i = 0; i < (1 << bits); ++i)
            r.i32(i * 0x010203);
    const Bytes pixels = rgbPixels(stride, rows, 1);
    return r.add(pixels).bytes;
}

// The block as the clipboard's "image/bmp" offers it: a file header first,
// whose offset points at the pixels (the block's last pixelBytes bytes) after
// `gap` bytes left between the colour table and them; or at `offset` if given.
Bytes bmpFile(const Bytes& block, std::size_t pixelBytes, std::size_t gap,
              std::int64_t offset = -1) {
    const std::size_t head = block.size() - pixelBytes;
    const std::int64_t start = offset >= 0 ? offset : static_cast<std::int64_t>(14 + head + gap);
    Rec r;
    r.raw("BM", 2).i32(static_cast<std::int32_t>(14 + block.size() + gap)).i32(0);
    r.i32(static_cast<std::int32_t>(start));
    r.add(Bytes(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(head)));
    r.add(Bytes(gap, 0xEE));
    return r.add(Bytes(block.end() - static_cast<std::ptrdiff_t>(pixelBytes), block.end())).bytes;
}

bool failed = false;

void save(const fs::path& dir, const std::string& name, const Bytes& bytes) {
    fs::create_directories(dir);
    std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", (dir / name).c_str());
        failed = true;
    }
}

Bytes prefixed(int version, const Bytes& page) {
    Bytes out(page.size() + 1);
    out[0] = static_cast<std::uint8_t>(version - 1);
    std::copy(page.begin(), page.end(), out.begin() + 1);
    return out;
}

// The hand-built page of the newest version must be exactly what the writer
// makes of it (a rectangle writes its picture number only once it is joined
// to a picture, so this page names none), or the seeds would teach the fuzzer a layout nobody reads.
void checkAgainstWriter() {
    const Bytes page = mixedPage(8);
    auto in = ZFile::fromMemory(page);
    ZN_ShapeManager manager;
    if (!manager.readFile(in.get(), 8) || in->remaining() != 0) {
        std::fprintf(stderr, "the seed page does not load (stopped at byte %llu)\n",
                     static_cast<unsigned long long>(in->position()));
        failed = true;
        return;
    }
    auto out = ZFile::toMemory();
    manager.writeFile(out.get(), 8);
    const Bytes& written = out->bytes();
    if (written != page) {
        const auto diff = std::mismatch(page.begin(), page.end(), written.begin(), written.end());
        std::fprintf(stderr, "the page writer differs from the seed page at byte %td\n",
                     diff.first - page.begin());
        failed = true;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    checkAgainstWriter();

    const fs::path page = root / "page";
    for (int v = 1; v <= 8; ++v)
        save(page, "mixed-v" + std::to_string(v), prefixed(v, mixedPage(v)));
    save(page, "no-plain-shapes-v6", prefixed(6, mixedPage(6, 0, false)));
    save(page, "no-plain-shapes-v8", prefixed(8, mixedPage(8, 0, false)));
    save(page, "empty", prefixed(8, Rec().i32(0).bytes));
    save(page, "unmatched-id", prefixed(8, Rec().i32(1).i32(3).i32(0).ids({7}).ids({0, 2}).ids({}).bytes));
    {
        Rec trailing;
        trailing.add(mixedPage(8)).raw("trailing bytes", 14);
        save(page, "trailing", prefixed(8, trailing.bytes));
    }

    const fs::path picture = root / "picture";
    save(picture, "1x1", pictureRecord(1, 1, 1, 1));
    save(picture, "3x2", pictureRecord(3, 2, 2, 0));
    save(picture, "empty", pictureRecord(0, 0, 3, 1));
    {
        Rec two;
        two.add(pictureRecord(5, 3, 1, 0)).add(pictureRecord(2, 2, 2, 1));
        save(picture, "two", two.bytes);
    }

    const fs::path jpeg = root / "jpeg";
    struct Kind {
        const char* name;
        int width, height, components;
        bool progressive;
    };
    const Kind kinds[] = {{"rgb-3x2", 3, 2, 3, false},   {"grey-4x4", 4, 4, 1, false},
                          {"rgb-17x9", 17, 9, 3, false}, {"progressive-16x16", 16, 16, 3, true},
                          {"grey-progressive-8x5", 8, 5, 1, true}, {"cmyk-8x8", 8, 8, 4, false}};
    for (const Kind& k : kinds) {
        ZTestJpegOptions options;
        options.quality = 75;
        options.progressive = k.progressive;
        const Bytes bytes = ZEncodeTestJpeg(k.width, k.height, k.components,
                                            rgbPixels(k.width, k.height, k.components), options);
        if (bytes.empty()) {
            std::fprintf(stderr, "cannot encode %s\n", k.name);
            failed = true;
            continue;
        }
        save(jpeg, std::string(k.name) + ".jpg", bytes);
        save(jpeg, std::string(k.name) + "-truncated.jpg",
             Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2)));
    }

    const fs::path codepage = root / "codepage";
    save(codepage, "page-name", {0xD2, 0xB3, 0x31});
    save(codepage, "ascii", {'T', 'a', 'v', 'l', 'o', '\n', 'x'});
    save(codepage, "four-byte", {0x81, 0x30, 0x81, 0x30, 0x95, 0x32, 0x82, 0x36});
    save(codepage, "utf8", {0xE7, 0xAD, 0x94, 0xE6, 0xA1, 0x88});
    save(codepage, "invalid", {0x80, 0xFF, 0xD2, 0x20, 0xC0, 0xAF, 0x00, 0xD2, 0xB3});

    const fs::path dib = root / "dib";
    for (int bits : {1, 4, 8, 16, 24, 32})
        save(dib, "bits" + std::to_string(bits), dibBlock(bits, 5, 3, false));
    save(dib, "bits16-565", dibBlock(16, 4, 2, true));
    save(dib, "bits32-masks", dibBlock(32, 3, 2, true));
    save(dib, "top-down-24", dibBlock(24, 3, -4, false));
    save(dib, "v5-header-32", dibBlock(32, 2, 2, true, 124));
    // Whole files: pixels right after the table, after a gap, and an offset past the end.
    save(dib, "file-8", bmpFile(dibBlock(8, 5, 3, false), 8 * 3, 0));
    save(dib, "file-8-gap", bmpFile(dibBlock(8, 5, 3, false), 8 * 3, 100));
    save(dib, "file-24-offset-past-end", bmpFile(dibBlock(24, 5, 3, false), 16 * 3, 0, 1 << 20));

    const fs::path tvx = root / "tvx";
    for (int v = 1; v <= 8; ++v)
        save(tvx, "document-v" + std::to_string(v), document(v));
    const Bytes rich = asBytes(encodeExtensionBlock(richContent()));
    {
        Bytes withBlock = document(8);
        withBlock.insert(withBlock.end(), rich.begin(), rich.end());
        save(tvx, "document-v8-extensions", withBlock);
        withBlock.resize(withBlock.size() - 7);
        save(tvx, "document-v8-extensions-cut", withBlock);
    }

    const fs::path ext = root / "ext";
    save(ext, "rich", extSeed(0, rich));
    save(ext, "rich-as-is", extSeed(1, rich));
    save(ext, "cut", extSeed(1, Bytes(rich.begin(), rich.begin() + 30)));
    {
        Bytes newer = rich;
        newer[8] = 2; // a later version: read as far as it is understood
        save(ext, "newer", extSeed(0, newer));
        Bytes flipped = rich;
        flipped[40] ^= 0x20;
        save(ext, "bad-checksum", extSeed(1, flipped));
    }
    save(ext, "empty", extSeed(0, asBytes(encodeExtensionBlock({}))));

    return failed ? 1 : 0;
}
