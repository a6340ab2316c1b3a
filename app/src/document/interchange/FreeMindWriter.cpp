#include "interchange/FreeMind.h"

#include <algorithm>
#include <string>

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

void writeOpenTag(std::string& out, const MapSheet& sheet, int index, int depth) {
    const MapNode& node = sheet.nodes[static_cast<std::size_t>(index)];
    out += indent(depth);
    out += "<node";
    if (node.background.set)
        out += " BACKGROUND_COLOR=\"" + hexColour(node.background) + "\"";
    if (node.color.set)
        out += " COLOR=\"" + hexColour(node.color) + "\"";
    if (node.folded && !node.children.empty())
        out += " FOLDED=\"true\"";
    out += " ID=\"" + nodeId(index) + "\"";
    if (node.side != 0 && node.parent >= 0 &&
        sheet.nodes[static_cast<std::size_t>(node.parent)].parent < 0)
        out += node.side < 0 ? " POSITION=\"left\"" : " POSITION=\"right\"";
    out += " TEXT=\"" + xmlAttribute(node.text) + "\">\n";
    const std::string inner = indent(depth + 1);
    if (node.edgeColor.set || node.edgeWidth > 0) {
        out += inner + "<edge";
        if (node.edgeColor.set)
            out += " COLOR=\"" + hexColour(node.edgeColor) + "\"";
        if (node.edgeWidth > 0)
            out += " WIDTH=\"" + std::to_string(node.edgeWidth) + "\"";
        out += "/>\n";
    }
    if (node.fontSize > 0 || node.bold || node.italic) {
        out += inner + "<font";
        if (node.bold)
            out += " BOLD=\"true\"";
        if (node.italic)
            out += " ITALIC=\"true\"";
        out += " NAME=\"SansSerif\" SIZE=\"" + std::to_string(node.fontSize > 0 ? node.fontSize : 12) +
               "\"/>\n";
    }
}

} // namespace

QByteArray writeFreeMind(const MapSheet& source) {
    // FreeMind wants exactly one root.
    MapSheet wrapped;
    const MapSheet* sheet = &source;
    if (source.roots.size() != 1) {
        wrapped = source;
        const int root = static_cast<int>(wrapped.nodes.size());
        MapNode top;
        top.text = source.title;
        top.children = source.roots;
        wrapped.nodes.push_back(top);
        for (int r : source.roots)
            wrapped.nodes[static_cast<std::size_t>(r)].parent = root;
        wrapped.roots = {root};
        sheet = &wrapped;
    }
    std::vector<std::vector<int>> arrows(sheet->nodes.size());
    for (const MapLink& link : sheet->links)
        if (link.from >= 0 && link.to >= 0)
            arrows[static_cast<std::size_t>(link.from)].push_back(link.to);

    std::string out = "<map version=\"1.0.1\">\n"
                      "<!-- To view this file, download free mind mapping software FreeMind from "
                      "http://freemind.sourceforge.net -->\n";
    struct Frame {
        int node;
        std::size_t next;
        int depth;
    };
    std::vector<Frame> stack;
    for (auto it = sheet->roots.rbegin(); it != sheet->roots.rend(); ++it)
        stack.push_back({*it, 0, 0});
    std::vector<bool> opened(sheet->nodes.size(), false);
    while (!stack.empty()) {
        Frame& f = stack.back();
        const MapNode& node = sheet->nodes[static_cast<std::size_t>(f.node)];
        if (!opened[static_cast<std::size_t>(f.node)]) {
            opened[static_cast<std::size_t>(f.node)] = true;
            writeOpenTag(out, *sheet, f.node, f.depth);
            for (int to : arrows[static_cast<std::size_t>(f.node)])
                out += indent(f.depth + 1) +
                       "<arrowlink DESTINATION=\"" + nodeId(to) +
                       "\" ENDARROW=\"Default\" STARTARROW=\"None\"/>\n";
        }
        if (f.next < node.children.size()) {
            const int child = node.children[f.next++];
            stack.push_back({child, 0, f.depth + 1});
            continue;
        }
        out += indent(f.depth) + "</node>\n";
        stack.pop_back();
    }
    out += "</map>\n";
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

} // namespace interchange
