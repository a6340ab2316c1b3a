#include "document/ExtensionBlock.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string_view>

#include <sarvik/platform/ZFile.h>

namespace {

constexpr char kMagic[8] = {'\x89', 'T', 'V', 'X', '\r', '\n', '\x1a', '\n'};
// Magic, version and length; the checksum follows the records.
constexpr std::size_t kHeaderBytes = 16;
constexpr std::size_t kChecksumBytes = 4;
// No block this large is ever written; a length above it is damage, and is
// refused before anything is allocated for it.
constexpr std::uint64_t kMostRecordBytes = std::uint64_t{1} << 30;

constexpr std::uint32_t tag(const char (&name)[5]) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(name[0])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(name[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(name[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(name[3])) << 24;
}

constexpr std::uint32_t kNode = tag("NODE");
constexpr std::uint32_t kNote = tag("NOTE");
constexpr std::uint32_t kLink = tag("LINK");
constexpr std::uint32_t kMark = tag("MARK");
constexpr std::uint32_t kAttr = tag("ATTR");
constexpr std::uint32_t kAnchor = tag("ANCH");
constexpr std::uint32_t kLayout = tag("LAYO");
// A connector that is a cross link; no payload.
constexpr std::uint32_t kCrossLink = tag("XLNK");

// Eight tables, so that the checksum takes eight bytes a step: a large map's
// notes must not make saving noticeably slower.
using CrcTables = std::array<std::array<std::uint32_t, 256>, 8>;
constexpr CrcTables makeCrcTables() {
    CrcTables t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][i] = c;
    }
    for (std::uint32_t i = 0; i < 256; ++i)
        for (std::size_t k = 1; k < 8; ++k)
            t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFFu];
    return t;
}
constexpr CrcTables kCrc = makeCrcTables();

std::uint32_t loadU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// The block is written in two passes: its size first, then its bytes into
// a buffer of exactly that size. A large map's notes are then copied once,
// with no buffer growing and no length to patch afterwards.
constexpr std::size_t kRecordHead = 8;

std::size_t stringsSize(const std::vector<std::string>& texts) {
    std::size_t n = 0;
    for (const std::string& t : texts)
        n += 4 + t.size();
    return n;
}

std::size_t attributesSize(const std::vector<ZN_Attribute>& attributes) {
    std::size_t n = 0;
    for (const ZN_Attribute& a : attributes)
        n += 8 + a.name.size() + a.value.size();
    return n;
}

std::size_t nodeSize(const ZN_NodeFields& f) {
    std::size_t n = kRecordHead + 8;
    auto text = [&](const std::string& t) { n += t.empty() ? 0 : kRecordHead + t.size(); };
    text(f.note);
    text(f.link);
    if (!f.markers.empty())
        n += kRecordHead + stringsSize(f.markers);
    if (!f.attributes.empty())
        n += kRecordHead + attributesSize(f.attributes);
    text(f.anchor);
    if (f.layout != ZN_Layout::None)
        n += kRecordHead + 4;
    if (f.crossLink)
        n += kRecordHead;
    for (const ZN_UnknownRecord& r : f.unknown)
        n += kRecordHead + r.bytes.size();
    return n;
}

// Little-endian writing into a buffer sized beforehand.
class Out {
public:
    explicit Out(char* at) : p_(at) {}
    void u32(std::uint32_t v) {
        p_[0] = static_cast<char>(v & 0xFFu);
        p_[1] = static_cast<char>((v >> 8) & 0xFFu);
        p_[2] = static_cast<char>((v >> 16) & 0xFFu);
        p_[3] = static_cast<char>((v >> 24) & 0xFFu);
        p_ += 4;
    }
    void bytes(std::string_view b) {
        if (!b.empty())
            std::memcpy(p_, b.data(), b.size());
        p_ += b.size();
    }
    void head(std::uint32_t tagValue, std::size_t length) {
        u32(tagValue);
        u32(static_cast<std::uint32_t>(length));
    }
    void record(std::uint32_t tagValue, std::string_view payload) {
        head(tagValue, payload.size());
        bytes(payload);
    }
    void string(std::string_view text) {
        u32(static_cast<std::uint32_t>(text.size()));
        bytes(text);
    }

private:
    char* p_;
};

void encodeNode(Out& out, const ExtensionNodeRef& node, std::size_t size) {
    const ZN_NodeFields& f = *node.fields;
    out.head(kNode, size - kRecordHead);
    out.u32(node.page);
    out.u32(node.id);
    if (!f.note.empty())
        out.record(kNote, f.note);
    if (!f.link.empty())
        out.record(kLink, f.link);
    if (!f.markers.empty()) {
        out.head(kMark, stringsSize(f.markers));
        for (const std::string& marker : f.markers)
            out.string(marker);
    }
    if (!f.attributes.empty()) {
        out.head(kAttr, attributesSize(f.attributes));
        for (const ZN_Attribute& attribute : f.attributes) {
            out.string(attribute.name);
            out.string(attribute.value);
        }
    }
    if (!f.anchor.empty())
        out.record(kAnchor, f.anchor);
    if (f.layout != ZN_Layout::None) {
        out.head(kLayout, 4);
        out.u32(static_cast<std::uint32_t>(f.layout));
    }
    if (f.crossLink)
        out.head(kCrossLink, 0);
    for (const ZN_UnknownRecord& record : f.unknown)
        out.record(record.tag, record.bytes);
}

// Reads records back to back from a payload; every read is bounded by it.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}
    bool atEnd() const { return p_ == end_; }
    bool u32(std::uint32_t& v) {
        if (static_cast<std::size_t>(end_ - p_) < 4)
            return false;
        v = loadU32(p_);
        p_ += 4;
        return true;
    }
    bool bytes(std::size_t n, const std::uint8_t*& at) {
        if (static_cast<std::size_t>(end_ - p_) < n)
            return false;
        at = p_;
        p_ += n;
        return true;
    }
    bool record(std::uint32_t& tagValue, Reader& payload) {
        std::uint32_t length = 0;
        const std::uint8_t* at = nullptr;
        if (!u32(tagValue) || !u32(length) || !bytes(length, at))
            return false;
        payload = Reader(at, length);
        return true;
    }
    bool string(std::string& out) {
        std::uint32_t length = 0;
        const std::uint8_t* at = nullptr;
        if (!u32(length) || !bytes(length, at))
            return false;
        out.assign(reinterpret_cast<const char*>(at), length);
        return true;
    }
    std::string rest() {
        std::string out(reinterpret_cast<const char*>(p_), static_cast<std::size_t>(end_ - p_));
        p_ = end_;
        return out;
    }

private:
    const std::uint8_t* p_;
    const std::uint8_t* end_;
};

bool decodeStrings(Reader payload, std::vector<std::string>& out) {
    while (!payload.atEnd()) {
        std::string text;
        if (!payload.string(text))
            return false;
        out.push_back(std::move(text));
    }
    return true;
}

bool decodeNode(Reader payload, ExtensionNode& node) {
    if (!payload.u32(node.page) || !payload.u32(node.id))
        return false;
    ZN_NodeFields f;
    while (!payload.atEnd()) {
        std::uint32_t t = 0;
        Reader field(nullptr, 0);
        if (!payload.record(t, field))
            return false;
        if (t == kNote) {
            f.note = field.rest();
        } else if (t == kLink) {
            f.link = field.rest();
        } else if (t == kAnchor) {
            f.anchor = field.rest();
        } else if (t == kMark) {
            f.markers.clear();
            if (!decodeStrings(field, f.markers))
                return false;
        } else if (t == kAttr) {
            std::vector<std::string> texts;
            if (!decodeStrings(field, texts) || texts.size() % 2 != 0)
                return false;
            f.attributes.clear();
            for (std::size_t i = 0; i < texts.size(); i += 2)
                f.attributes.push_back({std::move(texts[i]), std::move(texts[i + 1])});
        } else if (t == kCrossLink) {
            f.crossLink = true;
        } else if (t == kLayout) {
            std::string bytes = field.rest();
            std::int32_t value = -1;
            if (bytes.size() == 4)
                value = static_cast<std::int32_t>(
                    loadU32(reinterpret_cast<const std::uint8_t*>(bytes.data())));
            // A layout this program does not know is kept for the one that does.
            if (value >= 0 && value <= static_cast<std::int32_t>(ZN_Layout::TreeChart))
                f.layout = static_cast<ZN_Layout>(value);
            else
                f.unknown.push_back({t, std::move(bytes)});
        } else {
            f.unknown.push_back({t, field.rest()});
        }
    }
    if (!f.empty())
        node.fields = std::make_shared<const ZN_NodeFields>(std::move(f));
    return true;
}

} // namespace

std::uint32_t extensionCrc32(const void* data, std::size_t size, std::uint32_t crc) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    crc = ~crc;
    while (size >= 8) {
        const std::uint32_t lo = crc ^ loadU32(p);
        const std::uint32_t hi = loadU32(p + 4);
        crc = kCrc[7][lo & 0xFFu] ^ kCrc[6][(lo >> 8) & 0xFFu] ^ kCrc[5][(lo >> 16) & 0xFFu] ^
              kCrc[4][lo >> 24] ^ kCrc[3][hi & 0xFFu] ^ kCrc[2][(hi >> 8) & 0xFFu] ^
              kCrc[1][(hi >> 16) & 0xFFu] ^ kCrc[0][hi >> 24];
        p += 8;
        size -= 8;
    }
    while (size--)
        crc = kCrc[0][(crc ^ *p++) & 0xFFu] ^ (crc >> 8);
    return ~crc;
}

std::string encodeExtensionBlock(const std::vector<ExtensionNodeRef>& nodes,
                                 const std::vector<ZN_UnknownRecord>& unknown) {
    std::size_t records = 0;
    for (const ExtensionNodeRef& node : nodes)
        records += node.fields && !node.fields->empty() ? nodeSize(*node.fields) : 0;
    for (const ZN_UnknownRecord& record : unknown)
        records += kRecordHead + record.bytes.size();

    std::string block(kHeaderBytes + records + kChecksumBytes, '\0');
    Out out(block.data());
    out.bytes(std::string_view(kMagic, sizeof kMagic));
    out.u32(kExtensionVersion);
    out.u32(static_cast<std::uint32_t>(records));
    for (const ExtensionNodeRef& node : nodes)
        if (node.fields && !node.fields->empty())
            encodeNode(out, node, nodeSize(*node.fields));
    for (const ZN_UnknownRecord& record : unknown)
        out.record(record.tag, record.bytes);
    out.u32(extensionCrc32(block.data(), kHeaderBytes + records));
    return block;
}

std::string encodeExtensionBlock(const ExtensionContent& content) {
    std::vector<ExtensionNodeRef> nodes;
    nodes.reserve(content.nodes.size());
    for (const ExtensionNode& node : content.nodes)
        nodes.push_back({node.page, node.id, node.fields.get()});
    return encodeExtensionBlock(nodes, content.unknown);
}

ExtensionStatus decodeExtensionBlock(const std::uint8_t* data, std::size_t size,
                                     ExtensionContent& out) {
    out = ExtensionContent{};
    if (size == 0)
        return ExtensionStatus::None;
    // Bytes that do not begin like a block were never written as one.
    if (std::memcmp(data, kMagic, std::min(size, sizeof kMagic)) != 0)
        return ExtensionStatus::None;
    if (size < kHeaderBytes + kChecksumBytes)
        return ExtensionStatus::Damaged;
    const std::uint32_t version = loadU32(data + 8);
    const std::uint64_t length = loadU32(data + 12);
    if (version == 0 || length > size - kHeaderBytes - kChecksumBytes)
        return ExtensionStatus::Damaged;
    const std::size_t end = kHeaderBytes + static_cast<std::size_t>(length);
    if (extensionCrc32(data, end) != loadU32(data + end))
        return ExtensionStatus::Damaged;

    ExtensionContent content;
    Reader records(data + kHeaderBytes, static_cast<std::size_t>(length));
    while (!records.atEnd()) {
        std::uint32_t t = 0;
        Reader payload(nullptr, 0);
        if (!records.record(t, payload))
            return ExtensionStatus::Damaged;
        if (t != kNode) {
            content.unknown.push_back({t, payload.rest()});
            continue;
        }
        ExtensionNode node;
        if (!decodeNode(payload, node))
            return ExtensionStatus::Damaged;
        if (node.fields)
            content.nodes.push_back(std::move(node));
    }
    out = std::move(content);
    return ExtensionStatus::Read;
}

ExtensionStatus readExtensionBlock(ZFile& file, ExtensionContent& out) {
    out = ExtensionContent{};
    const std::uint64_t remaining = file.failed() ? 0 : file.remaining();
    if (remaining == 0)
        return ExtensionStatus::None;
    std::uint8_t header[kHeaderBytes] = {};
    const std::size_t head = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, kHeaderBytes));
    if (!file.read(header, head))
        return ExtensionStatus::Damaged;
    if (head < kHeaderBytes)
        return decodeExtensionBlock(header, head, out);
    const std::uint64_t length = loadU32(header + 12);
    if (std::memcmp(header, kMagic, sizeof kMagic) != 0)
        return ExtensionStatus::None;
    if (length > kMostRecordBytes || length + kChecksumBytes > remaining - kHeaderBytes)
        return ExtensionStatus::Damaged;
    const std::size_t whole = kHeaderBytes + static_cast<std::size_t>(length) + kChecksumBytes;
    std::vector<std::uint8_t> bytes(whole);
    std::memcpy(bytes.data(), header, kHeaderBytes);
    if (!file.read(bytes.data() + kHeaderBytes, whole - kHeaderBytes))
        return ExtensionStatus::Damaged;
    return decodeExtensionBlock(bytes.data(), whole, out);
}
