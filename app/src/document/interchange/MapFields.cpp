#include "interchange/MapFields.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include "interchange/XmlInput.h"

namespace interchange {

namespace {

struct MarkerPair {
    std::string_view ours;
    std::string_view theirs;
};

// Both directions of each pair hold, so a marker written reads back as itself.
constexpr MarkerPair kFreeMindIcons[] = {
    {"task-done", "button_ok"},     {"task-undone", "button_cancel"},
    {"flag-red", "flag"},           {"flag-orange", "flag-orange"},
    {"flag-yellow", "flag-yellow"}, {"flag-green", "flag-green"},
    {"flag-blue", "flag-blue"},     {"flag-purple", "flag-pink"},
    {"star", "bookmark"},           {"question", "help"},
    {"idea", "idea"},               {"warning", "messagebox_warning"},
    {"progress-0", "0%"},           {"progress-25", "25%"},
    {"progress-50", "50%"},         {"progress-75", "75%"},
    {"progress-100", "100%"},
};

constexpr MarkerPair kXMindMarkers[] = {
    {"task-done", "task-done"},         {"task-undone", "task-start"},
    {"progress-25", "task-quarter"},    {"progress-50", "task-half"},
    {"progress-75", "task-3quar"},      {"question", "symbol-question"},
    {"warning", "symbol-exclam"},       {"star", "star-yellow"},
};

// Markers that XMind has no marker of its own for but one close enough to
// show; read back, they are that marker.
constexpr MarkerPair kXMindNearest[] = {
    {"progress-0", "task-start"},
    {"progress-100", "task-done"},
};

std::string_view priorityPrefix(MarkerDialect dialect) {
    return dialect == MarkerDialect::FreeMind ? "full-" : "priority-";
}

// 1..9 for "<prefix>N".
int priorityOf(std::string_view name, std::string_view prefix) {
    if (name.size() != prefix.size() + 1 || name.substr(0, prefix.size()) != prefix)
        return 0;
    const char digit = name.back();
    return digit >= '1' && digit <= '9' ? digit - '0' : 0;
}

} // namespace

std::string markerFromPeer(MarkerDialect dialect, std::string_view name) {
    if (const int p = priorityOf(name, priorityPrefix(dialect)))
        return "priority-" + std::to_string(p);
    if (dialect == MarkerDialect::FreeMind) {
        for (const MarkerPair& pair : kFreeMindIcons)
            if (pair.theirs == name)
                return std::string(pair.ours);
        return std::string(name);
    }
    for (const MarkerPair& pair : kXMindMarkers)
        if (pair.theirs == name)
            return std::string(pair.ours);
    if (name.substr(0, 5) == "star-")
        return "star";
    return std::string(name);
}

std::string markerForPeer(MarkerDialect dialect, std::string_view marker) {
    if (const int p = priorityOf(marker, "priority-"))
        return std::string(priorityPrefix(dialect)) + std::to_string(p);
    if (dialect == MarkerDialect::FreeMind) {
        for (const MarkerPair& pair : kFreeMindIcons)
            if (pair.ours == marker)
                return std::string(pair.theirs);
        return {};
    }
    for (const MarkerPair& pair : kXMindMarkers)
        if (pair.ours == marker)
            return std::string(pair.theirs);
    for (const MarkerPair& pair : kXMindNearest)
        if (pair.ours == marker)
            return std::string(pair.theirs);
    return {};
}

std::string imageKind(const QByteArray& bytes) {
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return "png";
    if (bytes.startsWith("\xFF\xD8\xFF"))
        return "jpeg";
    return {};
}

namespace {

unsigned byteAt(const std::string& s, std::size_t i) { return static_cast<unsigned char>(s[i]); }
unsigned bigEndian16(const std::string& s, std::size_t i) {
    return byteAt(s, i) << 8 | byteAt(s, i + 1);
}

bool jpegPixelSize(const std::string& bytes, int& width, int& height) {
    std::size_t i = 2;
    while (i + 9 < bytes.size()) {
        if (byteAt(bytes, i) != 0xFF)
            return false;
        const unsigned marker = byteAt(bytes, i + 1);
        if (marker == 0xFF) { // fill bytes before a marker
            ++i;
            continue;
        }
        const unsigned length = bigEndian16(bytes, i + 2);
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 &&
                           marker != 0xC8 && marker != 0xCC;
        if (frame) {
            height = static_cast<int>(bigEndian16(bytes, i + 5));
            width = static_cast<int>(bigEndian16(bytes, i + 7));
            return width > 0 && height > 0;
        }
        if (length < 2)
            return false;
        i += 2 + length;
    }
    return false;
}

} // namespace

bool imagePixelSize(const std::string& bytes, int& width, int& height) {
    const QByteArray head = QByteArray::fromRawData(bytes.data(),
                                                    static_cast<qsizetype>(std::min<std::size_t>(bytes.size(), 16)));
    const std::string kind = imageKind(head);
    if (kind == "png") {
        if (bytes.size() < 24)
            return false;
        const unsigned w = bigEndian16(bytes, 16) << 16 | bigEndian16(bytes, 18);
        const unsigned h = bigEndian16(bytes, 20) << 16 | bigEndian16(bytes, 22);
        if (w == 0 || h == 0 || w > 1u << 20 || h > 1u << 20)
            return false;
        width = static_cast<int>(w);
        height = static_cast<int>(h);
        return true;
    }
    return kind == "jpeg" && jpegPixelSize(bytes, width, height);
}

bool imageFromDataUri(const std::string& uri, MapImage& out) {
    const std::size_t comma = uri.find(',');
    if (uri.rfind("data:image/", 0) != 0 || comma == std::string::npos ||
        uri.substr(0, comma).find(";base64") == std::string::npos)
        return false;
    const auto decoded = QByteArray::fromBase64Encoding(
        QByteArray::fromRawData(uri.data() + comma + 1, static_cast<qsizetype>(uri.size() - comma - 1)),
        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || imageKind(decoded.decoded).empty())
        return false;
    out.bytes.assign(decoded.decoded.constData(), static_cast<std::size_t>(decoded.decoded.size()));
    return true;
}

std::string dataUriOf(const MapImage& image) {
    const QByteArray bytes = QByteArray::fromRawData(image.bytes.data(),
                                                     static_cast<qsizetype>(image.bytes.size()));
    const std::string kind = imageKind(bytes);
    return "data:image/" + (kind.empty() ? std::string("png") : kind) + ";base64," +
           bytes.toBase64().toStdString();
}

bool loadImageBeside(const std::string& folder, const std::string& reference, MapImage& out) {
    if (folder.empty() || reference.empty())
        return false;
    const QString ref = fromUtf8(reference).trimmed();
    QString path;
    if (ref.startsWith(u"file:", Qt::CaseInsensitive)) {
        path = QUrl(ref).toLocalFile();
    } else {
        // Another scheme (http:, data:) names nothing on this disk.
        const qsizetype colon = ref.indexOf(u':');
        const qsizetype slash = ref.indexOf(u'/');
        if (colon > 1 && (slash < 0 || colon < slash))
            return false;
        const QString decoded = QUrl::fromPercentEncoding(ref.toUtf8());
        path = QDir::isAbsolutePath(decoded) ? decoded : QDir(fromUtf8(folder)).filePath(decoded);
    }
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile() || info.size() > kMostImageBytes)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.read(kMostImageBytes + 1);
    if (file.error() != QFileDevice::NoError || imageKind(bytes).empty())
        return false;
    out.bytes.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return true;
}

std::string labelForLine(const std::string& text) {
    return mapLines(text, [](std::string_view line) {
        return std::string(line.empty() ? kEmptyLabel : line);
    });
}

std::string labelFromLine(std::string text) {
    if (text.find(kEmptyLabel) == std::string::npos)
        return text;
    return mapLines(text, [](std::string_view line) {
        return line == kEmptyLabel ? std::string() : std::string(line);
    });
}

const MapSheet& withOneRoot(const MapSheet& source, MapSheet& wrapped,
                            const std::function<void(MapNode&)>& marked) {
    if (source.roots.size() == 1)
        return source;
    wrapped = source;
    const int root = static_cast<int>(wrapped.nodes.size());
    MapNode top;
    top.text = source.title;
    top.children = source.roots;
    marked(top);
    wrapped.nodes.push_back(std::move(top));
    for (int r : source.roots)
        wrapped.nodes[static_cast<std::size_t>(r)].parent = root;
    wrapped.roots = {root};
    return wrapped;
}

void freeMadeUpRoot(MapSheet& sheet, const std::function<bool(const MapNode&)>& isMark) {
    if (sheet.roots.size() != 1)
        return;
    const int gone = sheet.roots.front();
    const MapNode& top = sheet.nodes[static_cast<std::size_t>(gone)];
    if (!isMark(top))
        return;
    // Renumber the nodes without it; links that start or end at it go too.
    std::vector<int> renumbered(sheet.nodes.size());
    for (std::size_t i = 0; i < renumbered.size(); ++i)
        renumbered[i] = static_cast<int>(i) - (static_cast<int>(i) > gone ? 1 : 0);
    renumbered[static_cast<std::size_t>(gone)] = -1;
    auto map = [&](int i) { return i < 0 ? -1 : renumbered[static_cast<std::size_t>(i)]; };
    MapSheet out;
    out.title = sheet.title;
    out.named = sheet.named;
    for (int child : top.children)
        out.roots.push_back(map(child));
    for (std::size_t i = 0; i < sheet.nodes.size(); ++i) {
        if (static_cast<int>(i) == gone)
            continue;
        MapNode node = std::move(sheet.nodes[i]);
        node.parent = map(node.parent);
        for (int& c : node.children)
            c = map(c);
        out.nodes.push_back(std::move(node));
    }
    for (const MapLink& link : sheet.links)
        if (link.from != gone && link.to != gone)
            out.links.push_back({map(link.from), map(link.to), link.title});
    sheet = std::move(out);
}

void countUnwritten(const MapSheet& sheet, unsigned supported, Skipped& skipped) {
    auto lacks = [&](FieldSupport f) { return (supported & static_cast<unsigned>(f)) == 0; };
    for (const MapNode& node : sheet.nodes) {
        const ZN_NodeFields& f = node.fields;
        if (!f.note.empty() && lacks(FieldSupport::Note))
            skipped.add(kNotes);
        const bool toNode = !ZN_LinkedAnchor(f.link).empty();
        if (!f.link.empty() && (lacks(FieldSupport::Link) || (toNode && lacks(FieldSupport::NodeLink))))
            skipped.add(kLinks);
        if (lacks(FieldSupport::Markers))
            skipped.add(kMarkers, static_cast<int>(f.markers.size()));
        if (lacks(FieldSupport::Attributes))
            skipped.add(kAttributes, static_cast<int>(f.attributes.size()));
        if (!node.image.empty() && lacks(FieldSupport::Picture))
            skipped.add(kImages);
    }
}

std::string jsonString(std::string_view text) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                out += "\\u00";
                out += kHex[c >> 4];
                out += kHex[c & 15];
            } else {
                out += ch;
            }
        }
    }
    out += '"';
    return out;
}

AnchorIndex::AnchorIndex(const MapSheet& sheet) {
    for (std::size_t i = 0; i < sheet.nodes.size(); ++i) {
        const MapNode& node = sheet.nodes[i];
        if (!node.fields.anchor.empty())
            byKey_.emplace(node.fields.anchor, static_cast<int>(i));
        if (!node.id.empty())
            byKey_.emplace(node.id, static_cast<int>(i));
    }
}

int AnchorIndex::find(std::string_view link) const {
    const std::string_view key = ZN_LinkedAnchor(link);
    if (key.empty())
        return -1;
    const auto it = byKey_.find(std::string(key));
    return it == byKey_.end() ? -1 : it->second;
}

} // namespace interchange
