#include "interchange/FreeMind.h"
#include "interchange/Outline.h"
#include "interchange/XmlInput.h"

namespace interchange {

bool readOpml(const QByteArray& bytes, MapDocument& out, ReadError& error) {
    QXmlStreamReader reader;
    prepareReader(reader, decodeXml(bytes));
    MapDocument doc;
    doc.sheets.emplace_back();
    MapSheet& sheet = doc.sheets.back();
    std::vector<int> open; // outlines open here, innermost last
    bool sawOpml = false, inBody = false;
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
            } else if (name == u"outline" && inBody) {
                const auto attrs = reader.attributes();
                const int parent = open.empty() ? -1 : open.back();
                open.push_back(sheet.add(parent, toUtf8(attrs.value(QLatin1String("text")).toString())));
                if (attrs.hasAttribute(QLatin1String("_note")))
                    doc.skipped.add(kNotes);
                if (attrs.hasAttribute(QLatin1String("url")) ||
                    attrs.hasAttribute(QLatin1String("htmlUrl")) ||
                    attrs.hasAttribute(QLatin1String("xmlUrl")))
                    doc.skipped.add(kLinks);
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
    out = std::move(doc);
    return true;
}

QByteArray writeOpml(const MapSheet& sheet) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opml version=\"2.0\">\n"
                      "  <head>\n    <title>" +
                      xmlAttribute(sheet.title) + "</title>\n  </head>\n  <body>\n";
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
    out += "  </body>\n</opml>\n";
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

} // namespace interchange
