#include "interchange/FreeMind.h"

#include <unordered_map>

#include "interchange/XmlInput.h"

namespace interchange {

namespace {

class MmReader {
public:
    MmReader(MapDocument& doc, ReadError& error) : doc_(doc), error_(error) {}
    bool read(const QByteArray& bytes);

private:
    MapSheet& sheet() { return doc_.sheets.back(); }
    MapNode& top() { return sheet().nodes[static_cast<std::size_t>(stack_.back())]; }
    void startNode();
    void readFont();
    void readEdge();
    void readRichContent();
    bool startElement();
    void resolveLinks();
    std::string attr(const char* name) const {
        return toUtf8(reader_.attributes().value(QLatin1String(name)).toString());
    }

    MapDocument& doc_;
    ReadError& error_;
    QXmlStreamReader reader_;
    std::vector<int> stack_; // the nodes open at this point, innermost last
    std::vector<std::pair<int, std::string>> arrows_;
};

void MmReader::startNode() {
    const int parent = stack_.empty() ? -1 : stack_.back();
    const QString text = reader_.attributes().value(QLatin1String("TEXT")).toString();
    std::string plain;
    if (text.trimmed().startsWith(QLatin1String("<html"), Qt::CaseInsensitive))
        plain = htmlToText(text); // FreeMind 0.8 kept HTML in the attribute
    else
        plain = toUtf8(text);
    const int index = sheet().add(parent, std::move(plain));
    stack_.push_back(index);
    MapNode& node = top();
    node.id = attr("ID");
    node.folded = attr("FOLDED") == "true";
    const std::string position = attr("POSITION");
    node.side = position == "left" ? -1 : position == "right" ? 1 : 0;
    node.color = parseHexColour(attr("COLOR"));
    node.background = parseHexColour(attr("BACKGROUND_COLOR"));
    if (!attr("LINK").empty())
        doc_.skipped.add(kLinks);
}

void MmReader::readFont() {
    MapNode& node = top();
    const int size = reader_.attributes().value(QLatin1String("SIZE")).toInt();
    if (size > 0 && size <= 500)
        node.fontSize = size;
    node.bold = attr("BOLD") == "true";
    node.italic = attr("ITALIC") == "true";
}

void MmReader::readEdge() {
    MapNode& node = top();
    node.edgeColor = parseHexColour(attr("COLOR"));
    const std::string width = attr("WIDTH");
    const int w = reader_.attributes().value(QLatin1String("WIDTH")).toInt();
    if (width == "thin")
        node.edgeWidth = 1;
    else if (w > 0 && w <= 100)
        node.edgeWidth = w;
}

// The HTML below <richcontent>, turned into lines as a browser would show it.
void MmReader::readRichContent() {
    const std::string type = attr("TYPE");
    QString html;
    int depth = 1;
    while (depth > 0 && !reader_.atEnd()) {
        switch (reader_.readNext()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            html += QLatin1Char('<') + reader_.name().toString() + QLatin1Char('>');
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            if (depth > 0)
                html += QLatin1String("</") + reader_.name().toString() + QLatin1Char('>');
            break;
        case QXmlStreamReader::Characters:
            html += reader_.text().toString().toHtmlEscaped();
            break;
        default:
            break;
        }
    }
    if (type == "NODE") {
        if (!stack_.empty())
            top().text = htmlToText(html);
    } else {
        doc_.skipped.add(kNotes); // notes and details
    }
}

// False when the element was skipped with everything inside it.
bool MmReader::startElement() {
    const QStringView name = reader_.name();
    if (name == u"node") {
        startNode();
        return true;
    }
    if (stack_.empty()) {
        reader_.skipCurrentElement(); // styles, properties, registries
        return false;
    }
    if (name == u"font") {
        readFont();
    } else if (name == u"edge") {
        readEdge();
    } else if (name == u"arrowlink") {
        arrows_.emplace_back(stack_.back(), attr("DESTINATION"));
    } else if (name == u"richcontent") {
        readRichContent();
        return false;
    } else if (name == u"icon") {
        doc_.skipped.add(kIcons);
    } else if (name == u"cloud") {
        doc_.skipped.add(kClouds);
    } else if (name == u"attribute") {
        doc_.skipped.add(kAttributes);
    } else if (name == u"hook" && attr("NAME").find("NodeNote") != std::string::npos) {
        doc_.skipped.add(kNotes);
    }
    // Nothing else inside a node becomes part of the page; a hook may hold the
    // map's styles as nodes, which must not become nodes here.
    reader_.skipCurrentElement();
    return false;
}

void MmReader::resolveLinks() {
    std::unordered_map<std::string, int> byId;
    const auto& nodes = sheet().nodes;
    for (std::size_t i = 0; i < nodes.size(); ++i)
        if (!nodes[i].id.empty())
            byId.emplace(nodes[i].id, static_cast<int>(i));
    for (const auto& [from, destination] : arrows_) {
        const auto it = byId.find(destination);
        if (it == byId.end() || it->second == from) {
            doc_.skipped.add(kLinks);
            continue;
        }
        sheet().links.push_back({from, it->second, {}});
    }
}

bool MmReader::read(const QByteArray& bytes) {
    prepareReader(reader_, decodeXml(bytes));
    doc_.sheets.emplace_back();
    bool sawMap = false;
    while (!reader_.atEnd()) {
        const auto token = reader_.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (!sawMap) {
                if (reader_.name() != u"map") {
                    error_ = xmlError(reader_, "not a FreeMind map");
                    error_.reason = "not a FreeMind map";
                    return false;
                }
                sawMap = true;
                continue;
            }
            startElement();
        } else if (token == QXmlStreamReader::EndElement && reader_.name() == u"node") {
            stack_.pop_back();
        }
    }
    if (reader_.hasError()) {
        error_ = xmlError(reader_);
        return false;
    }
    if (!sawMap) {
        error_ = {1, "not a FreeMind map"};
        return false;
    }
    resolveLinks();
    return true;
}

} // namespace

bool readFreeMind(const QByteArray& bytes, MapDocument& out, ReadError& error) {
    MapDocument doc;
    MmReader reader(doc, error);
    if (!reader.read(bytes))
        return false;
    out = std::move(doc);
    return true;
}

} // namespace interchange
