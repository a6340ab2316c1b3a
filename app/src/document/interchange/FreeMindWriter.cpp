#include "interchange/FreeMind.h"

#include <QString>
#include <QUrl>

#include <algorithm>
#include <cctype>
#include <string>

#include "interchange/MapFields.h"
#include "interchange/XmlInput.h"

namespace interchange {

std::string xmlAttribute(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    static const char kHex[] = "0123456789abcdef";
    auto reference = [&](unsigned code) {
        std::string digits;
        do {
            digits.insert(digits.begin(), kHex[code & 15]);
            code >>= 4;
        } while (code);
        out += "&#x" + digits + ";";
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\n': out += "&#xa;"; break;
            case '\t': out += "&#x9;"; break;
            case '\r': break;
            default:
                if (c >= 0x20)
                    out += static_cast<char>(c);
            }
            ++i;
            continue;
        }
        // A UTF-8 sequence; a broken one is dropped byte by byte.
        const int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (length == 1 || i + static_cast<std::size_t>(length) > text.size()) {
            ++i;
            continue;
        }
        unsigned code = c & (0x3F >> (length - 1));
        bool ok = true;
        for (int k = 1; k < length; ++k) {
            const auto d = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            ok = ok && (d & 0xC0) == 0x80;
            code = (code << 6) | (d & 0x3F);
        }
        if (ok)
            reference(code);
        i += ok ? static_cast<std::size_t>(length) : 1;
    }
    return out;
}

namespace {

std::string nodeId(int index) { return "ID_" + std::to_string(index + 1); }

// Indentation stops growing somewhere, or a deep chain would write mostly spaces.
std::string indent(int depth) { return std::string(static_cast<std::size_t>(std::min(depth, 32)), ' '); }

// Lines as HTML: each escaped, joined by breaks, so that empty lines stay.
std::string htmlLines(const std::string& text) {
    std::string out =
        mapLines(text, [](std::string_view line) { return xmlAttribute(std::string(line)); });
    std::size_t at = 0;
    while ((at = out.find('\n', at)) != std::string::npos)
        out.replace(at, 1, "<br/>");
    return out;
}

std::string richContent(const char* type, const std::string& text) {
    return std::string("<richcontent TYPE=\"") + type +
           "\"><html><head></head><body><p>" + htmlLines(text) +
           "</p></body></html></richcontent>\n";
}

// A plain text that begins as HTML would be taken for HTML by every reader.
bool looksLikeHtml(const std::string& text) {
    const std::size_t start = text.find_first_not_of(" \t\n\r");
    if (start == std::string::npos || text.size() - start < 5)
        return false;
    std::string head = text.substr(start, 5);
    for (char& c : head)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return head == "<html";
}

class MmWriter {
public:
    MmWriter(const MapSheet& sheet, const std::string& pictureFolder, std::vector<MapFile>* pictures)
        : sheet_(sheet), anchors_(sheet), pictureFolder_(pictureFolder), pictures_(pictures),
          arrows_(sheet.nodes.size()) {
        for (const MapLink& link : sheet.links)
            if (link.from >= 0 && link.to >= 0)
                arrows_[static_cast<std::size_t>(link.from)].push_back(&link);
    }
    std::string write();

private:
    void openTag(int index, int depth);
    void fields(const MapNode& node, int index, const std::string& inner);
    std::string picture(const MapImage& image, int index);

    const MapSheet& sheet_;
    const AnchorIndex anchors_;
    const std::string& pictureFolder_;
    std::vector<MapFile>* pictures_;
    std::vector<std::vector<const MapLink*>> arrows_;
    std::string out_;
};

void MmWriter::openTag(int index, int depth) {
    const MapNode& node = sheet_.nodes[static_cast<std::size_t>(index)];
    const bool html = looksLikeHtml(node.text);
    out_ += indent(depth);
    out_ += "<node";
    if (!html)
        out_ += " TEXT=\"" + xmlAttribute(node.text) + "\"";
    out_ += " ID=\"" + nodeId(index) + "\"";
    // A reader that finds no folding state may fold branches as it likes.
    if (!node.children.empty() && (node.parent >= 0 || node.folded))
        out_ += node.folded ? " FOLDED=\"true\"" : " FOLDED=\"false\"";
    // Only a root's children are placed by it; the trees under a made-up root
    // keep theirs all the same.
    if (node.side != 0 && node.parent >= 0)
        out_ += node.side < 0 ? " POSITION=\"left\"" : " POSITION=\"right\"";
    if (!node.fields.link.empty()) {
        const int to = anchors_.find(node.fields.link);
        out_ += " LINK=\"" + xmlAttribute(to >= 0 ? "#" + nodeId(to) : node.fields.link) + "\"";
    }
    if (node.color.set)
        out_ += " COLOR=\"" + hexColour(node.color) + "\"";
    if (node.background.set)
        out_ += " BACKGROUND_COLOR=\"" + hexColour(node.background) + "\"";
    out_ += ">\n";
    const std::string inner = indent(depth + 1);
    if (node.edgeColor.set || node.edgeWidth > 0) {
        out_ += inner + "<edge";
        if (node.edgeColor.set)
            out_ += " COLOR=\"" + hexColour(node.edgeColor) + "\"";
        if (node.edgeWidth > 0)
            out_ += " WIDTH=\"" + std::to_string(node.edgeWidth) + "\"";
        out_ += "/>\n";
    }
    if (node.fontSize > 0 || node.bold || node.italic) {
        out_ += inner + "<font";
        if (node.bold)
            out_ += " BOLD=\"true\"";
        if (node.italic)
            out_ += " ITALIC=\"true\"";
        out_ += " NAME=\"SansSerif\" SIZE=\"" +
                std::to_string(node.fontSize > 0 ? node.fontSize : 12) + "\"/>\n";
    }
    if (html)
        out_ += inner + richContent("NODE", node.text);
    fields(node, index, inner);
}

void MmWriter::fields(const MapNode& node, int index, const std::string& inner) {
    for (const std::string& marker : node.fields.markers) {
        const std::string icon = markerForPeer(MarkerDialect::FreeMind, marker);
        out_ += inner + "<icon BUILTIN=\"" + xmlAttribute(icon.empty() ? marker : icon) + "\"/>\n";
    }
    if (!node.image.empty() && pictures_)
        out_ += inner + picture(node.image, index);
    if (!node.fields.note.empty())
        out_ += inner + richContent("NOTE", node.fields.note);
    for (const ZN_Attribute& a : node.fields.attributes)
        out_ += inner + "<attribute NAME=\"" + xmlAttribute(a.name) + "\" VALUE=\"" +
                xmlAttribute(a.value) + "\"/>\n";
    for (const MapLink* link : arrows_[static_cast<std::size_t>(index)]) {
        out_ += inner + "<arrowlink DESTINATION=\"" + nodeId(link->to) + "\"";
        if (!link->title.empty())
            out_ += " MIDDLE_LABEL=\"" + xmlAttribute(link->title) + "\"";
        out_ += " ENDARROW=\"Default\" STARTARROW=\"None\"/>\n";
    }
}

// Freeplane's picture hook: the file beside the map, at a zoom of its own size.
std::string MmWriter::picture(const MapImage& image, int index) {
    const QByteArray bytes(image.bytes.data(), static_cast<qsizetype>(image.bytes.size()));
    const std::string kind = imageKind(bytes);
    MapFile file;
    file.path = (pictureFolder_.empty() ? std::string() : pictureFolder_ + "/") +
                std::to_string(index + 1) + (kind == "jpeg" ? ".jpg" : ".png");
    file.bytes = bytes;
    int w = 0, h = 0;
    double zoom = 1.0;
    if (image.width > 0 && imagePixelSize(image.bytes, w, h))
        zoom = static_cast<double>(image.width) / w;
    const std::string uri = QUrl::toPercentEncoding(fromUtf8(file.path), "/").toStdString();
    pictures_->push_back(std::move(file));
    return "<hook URI=\"" + xmlAttribute(uri) + "\" SIZE=\"" +
           QString::number(zoom, 'f', 4).toStdString() + "\" NAME=\"ExternalObject\"/>\n";
}

std::string MmWriter::write() {
    out_ = "<map version=\"freeplane 1.7.0\">\n"
           "<!--To view this file, download free mind mapping software Freeplane from "
           "http://freeplane.sourceforge.net -->\n";
    struct Frame {
        int node;
        std::size_t next;
        int depth;
    };
    std::vector<Frame> stack;
    for (auto it = sheet_.roots.rbegin(); it != sheet_.roots.rend(); ++it)
        stack.push_back({*it, 0, 0});
    std::vector<bool> opened(sheet_.nodes.size(), false);
    while (!stack.empty()) {
        Frame& f = stack.back();
        const MapNode& node = sheet_.nodes[static_cast<std::size_t>(f.node)];
        if (!opened[static_cast<std::size_t>(f.node)]) {
            opened[static_cast<std::size_t>(f.node)] = true;
            openTag(f.node, f.depth);
        }
        if (f.next < node.children.size()) {
            const int child = node.children[f.next++];
            stack.push_back({child, 0, f.depth + 1});
            continue;
        }
        out_ += indent(f.depth) + "</node>\n";
        stack.pop_back();
    }
    out_ += "</map>\n";
    return std::move(out_);
}

} // namespace

QByteArray writeFreeMind(const MapSheet& source, const std::string& pictureFolder,
                         std::vector<MapFile>* pictures) {
    // FreeMind wants exactly one root.
    MapSheet storage;
    const MapSheet& sheet = withOneRoot(source, storage, [](MapNode& top) {
        top.fields.attributes.push_back({std::string(kMadeUpRootMark), "1"});
    });
    const std::string out = MmWriter(sheet, pictureFolder, pictures).write();
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

} // namespace interchange
