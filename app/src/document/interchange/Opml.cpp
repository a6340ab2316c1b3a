#include <algorithm>

#include "interchange/FreeMind.h"
#include "interchange/Outline.h"
#include "interchange/XmlInput.h"

namespace interchange {

namespace {

// The outline that stands for no outline at all.
constexpr const char* kEmptyPageAttribute = "_tavloEmptyPage";

void readOutlineFields(const QXmlStreamAttributes& attrs, MapNode& node) {
    node.fields.note = toUtf8(attrs.value(QLatin1String("_note")).toString());
    for (const char* key : {"url", "htmlUrl", "xmlUrl"}) {
        const QString url = attrs.value(QLatin1String(key)).toString().trimmed();
        if (!url.isEmpty()) {
            node.fields.link = toUtf8(url);
            break;
        }
    }
}

// The rows an outliner shows: each node in order, the children of folded
// ones hidden.
template <class Visit> void walkShown(const MapSheet& sheet, Visit visit) {
    std::vector<int> stack(sheet.roots.rbegin(), sheet.roots.rend());
    while (!stack.empty()) {
        const int index = stack.back();
        stack.pop_back();
        const MapNode& node = sheet.nodes[static_cast<std::size_t>(index)];
        visit(index);
        if (!node.folded)
            stack.insert(stack.end(), node.children.rbegin(), node.children.rend());
    }
}

// OPML's expansionState lists the rows that are open, counted over the rows
// shown at that point; every other node with children is folded.
void applyExpansionState(MapSheet& sheet, const QString& state) {
    std::vector<int> rows;
    for (const QString& part : state.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int row = part.trimmed().toInt(&ok);
        if (ok && row >= 0)
            rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    for (MapNode& node : sheet.nodes)
        node.folded = !node.children.empty();
    // Each row opened shows its children below it, so the rows after it move
    // down: open them in order, counting over the rows shown so far.
    std::size_t next = 0;
    int row = 0;
    std::vector<int> stack(sheet.roots.rbegin(), sheet.roots.rend());
    while (!stack.empty() && next < rows.size()) {
        const int index = stack.back();
        stack.pop_back();
        MapNode& node = sheet.nodes[static_cast<std::size_t>(index)];
        while (next < rows.size() && rows[next] < row)
            ++next;
        if (next < rows.size() && rows[next] == row) {
            node.folded = false;
            stack.insert(stack.end(), node.children.rbegin(), node.children.rend());
            ++next;
        }
        ++row;
    }
}

// False when nothing is folded: then the state is left out.
bool expansionStateOf(const MapSheet& sheet, std::string& out) {
    int row = 0;
    bool anyFolded = false;
    walkShown(sheet, [&](int index) {
        const MapNode& node = sheet.nodes[static_cast<std::size_t>(index)];
        if (!node.children.empty()) {
            if (node.folded)
                anyFolded = true;
            else
                out += (out.empty() ? "" : ",") + std::to_string(row);
        }
        ++row;
    });
    return anyFolded;
}

} // namespace

bool readOpml(const QByteArray& bytes, MapDocument& out, ReadError& error) {
    QXmlStreamReader reader;
    MapDocument doc;
    if (!prepareReader(reader, decodeXml(bytes, &doc.encoding), error))
        return false;
    doc.sheets.emplace_back();
    MapSheet& sheet = doc.sheets.back();
    std::vector<int> open; // outlines open here, innermost last
    bool sawOpml = false, inBody = false, hasExpansion = false;
    QString expansion;
    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const QStringView name = reader.name();
            if (!sawOpml) {
                if (name != u"opml") {
                    error = {static_cast<int>(reader.lineNumber()), "not an OPML outline"};
                    return false;
                }
                sawOpml = true;
            } else if (name == u"body") {
                inBody = true;
            } else if (name == u"title" && !inBody) {
                sheet.title = toUtf8(reader.readElementText(QXmlStreamReader::SkipChildElements));
            } else if (name == u"expansionState" && !inBody) {
                expansion = reader.readElementText(QXmlStreamReader::SkipChildElements);
                hasExpansion = true;
            } else if (name == u"outline" && inBody) {
                const auto attrs = reader.attributes();
                const int parent = open.empty() ? -1 : open.back();
                if (parent < 0 && attrs.hasAttribute(QLatin1String(kEmptyPageAttribute))) {
                    reader.skipCurrentElement();
                    continue;
                }
                open.push_back(sheet.add(parent, toUtf8(attrs.value(QLatin1String("text")).toString())));
                readOutlineFields(attrs, sheet.nodes.back());
            } else if (inBody) {
                reader.skipCurrentElement();
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (reader.name() == u"outline" && !open.empty())
                open.pop_back();
            else if (reader.name() == u"body")
                inBody = false;
        }
    }
    if (reader.hasError()) {
        error = xmlError(reader);
        return false;
    }
    if (!sawOpml) {
        error = {1, "not an OPML outline"};
        return false;
    }
    if (hasExpansion)
        applyExpansionState(sheet, expansion);
    out = std::move(doc);
    return true;
}

QByteArray writeOpml(const MapSheet& sheet) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opml version=\"2.0\">\n"
                      "  <head>\n    <title>" +
                      xmlAttribute(sheet.title) + "</title>\n";
    // Written only where something is folded: without it every outline is open.
    std::string expansion;
    if (expansionStateOf(sheet, expansion))
        out += "    <expansionState>" + expansion + "</expansionState>\n";
    out += "  </head>\n  <body>\n";
    std::vector<int> depthOpen; // depths of the outlines still open
    walkSheet(sheet, [&](int index, int depth) {
        while (!depthOpen.empty() && depthOpen.back() >= depth) {
            out += std::string(static_cast<std::size_t>(std::min(depthOpen.back(), 32) + 2), ' ') +
                   "</outline>\n";
            depthOpen.pop_back();
        }
        const MapNode& node = sheet.nodes[static_cast<std::size_t>(index)];
        out += std::string(static_cast<std::size_t>(std::min(depth, 32) + 2), ' ') +
               "<outline text=\"" + xmlAttribute(node.text) + "\"";
        if (!node.fields.note.empty())
            out += " _note=\"" + xmlAttribute(node.fields.note) + "\"";
        // An outline has no key another could link to.
        if (!node.fields.link.empty() && ZN_LinkedAnchor(node.fields.link).empty())
            out += " url=\"" + xmlAttribute(node.fields.link) + "\"";
        if (node.children.empty()) {
            out += "/>\n";
        } else {
            out += ">\n";
            depthOpen.push_back(depth);
        }
    });
    while (!depthOpen.empty()) {
        out += std::string(static_cast<std::size_t>(std::min(depthOpen.back(), 32) + 2), ' ') +
               "</outline>\n";
        depthOpen.pop_back();
    }
    // A body holds at least one outline: an empty page gets one that says so.
    if (sheet.roots.empty())
        out += "    <outline text=\"\" " + std::string(kEmptyPageAttribute) + "=\"true\"/>\n";
    out += "  </body>\n</opml>\n";
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

} // namespace interchange
