#include "interchange/FreeMind.h"

#include <unordered_map>

#include "interchange/MapFields.h"
#include "interchange/XmlInput.h"

namespace interchange {

namespace {

// Freeplane names a node it made itself by a key of its own translations; the
// English text stands in for it.
std::string localizedText(const std::string& key) {
    static const std::pair<const char*, const char*> kKeys[] = {
        {"new_mindmap", "New Mindmap"}, {"new_node", "New Node"},
        {"AutomaticLayout.level.root", "Root"}, {"defaultstyle.floating", "Floating"},
    };
    for (const auto& [k, text] : kKeys)
        if (key == k)
            return text;
    return key;
}

class MmReader {
public:
    MmReader(MapDocument& doc, ReadError& error, std::string folder)
        : doc_(doc), error_(error), folder_(std::move(folder)) {}
    bool read(const QByteArray& bytes);

private:
    MapSheet& sheet() { return doc_.sheets.back(); }
    MapNode& top() { return sheet().nodes[static_cast<std::size_t>(stack_.back())]; }
    void startNode();
    void readFont();
    void readEdge();
    void readRichContent();
    void readNoteHook();
    void readIcon();
    void readPicture(const std::string& reference, double zoom, int width, int height);
    bool startElement();
    void resolveLinks();
    void finish();
    std::string attr(const char* name) const {
        return toUtf8(reader_.attributes().value(QLatin1String(name)).toString());
    }

    MapDocument& doc_;
    ReadError& error_;
    const std::string folder_; // where pictures are looked for; empty: nowhere
    QXmlStreamReader reader_;
    std::vector<int> stack_; // the nodes open at this point, innermost last
    struct Arrow {
        int from;
        std::string destination;
        std::string title;
    };
    std::vector<Arrow> arrows_;
};

void MmReader::startNode() {
    const int parent = stack_.empty() ? -1 : stack_.back();
    const QString text = reader_.attributes().value(QLatin1String("TEXT")).toString();
    std::string plain;
    if (text.trimmed().startsWith(QLatin1String("<html"), Qt::CaseInsensitive))
        plain = htmlToText(text); // FreeMind 0.8 kept HTML in the attribute
    else if (text.isEmpty() && reader_.attributes().hasAttribute(QLatin1String("LOCALIZED_TEXT")))
        plain = localizedText(attr("LOCALIZED_TEXT"));
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
    node.fields.link = attr("LINK");
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
            if (type == "NODE" && reader_.name() == u"img" && !stack_.empty())
                readPicture(attr("src"), 0.0, reader_.attributes().value(QLatin1String("width")).toInt(),
                            reader_.attributes().value(QLatin1String("height")).toInt());
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            // <br/> is one break, not an opening and a closing one.
            if (depth > 0 && reader_.name() != u"br")
                html += QLatin1String("</") + reader_.name().toString() + QLatin1Char('>');
            break;
        case QXmlStreamReader::Characters:
            html += reader_.text().toString().toHtmlEscaped();
            break;
        default:
            break;
        }
    }
    if (stack_.empty())
        return;
    if (type == "NODE")
        top().text = htmlToText(html);
    else if (type == "NOTE")
        top().fields.note = htmlToText(html);
    else
        doc_.skipped.add(kNotes); // details, shown below a node: no place on a page
}

// FreeMind 0.8 kept a note as the text of a plug-in's hook.
void MmReader::readNoteHook() {
    while (reader_.readNextStartElement()) {
        if (reader_.name() == u"text")
            top().fields.note = tidyLines(reader_.readElementText(QXmlStreamReader::IncludeChildElements));
        else
            reader_.skipCurrentElement();
    }
}

void MmReader::readIcon() {
    const std::string name = attr("BUILTIN");
    if (name.empty())
        doc_.skipped.add(kIcons);
    else
        top().fields.markers.push_back(markerFromPeer(MarkerDialect::FreeMind, name));
}

// A picture file beside the map; `zoom` scales its own size, or `width` and
// `height` give the size to show it at.
void MmReader::readPicture(const std::string& reference, double zoom, int width, int height) {
    MapImage image;
    if (!top().image.empty() || !loadImageBeside(folder_, reference, image)) {
        doc_.skipped.add(kImages);
        return;
    }
    int w = 0, h = 0;
    if (width > 0 && height > 0 && width <= 100000 && height <= 100000) {
        image.width = width;
        image.height = height;
    } else if (zoom > 0.0 && zoom <= 100.0 && imagePixelSize(image.bytes, w, h)) {
        image.width = std::max(1, static_cast<int>(w * zoom + 0.5));
        image.height = std::max(1, static_cast<int>(h * zoom + 0.5));
    }
    top().image = std::move(image);
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
        arrows_.push_back({stack_.back(), attr("DESTINATION"), attr("MIDDLE_LABEL")});
    } else if (name == u"richcontent") {
        readRichContent();
        return false;
    } else if (name == u"icon") {
        readIcon();
    } else if (name == u"cloud") {
        doc_.skipped.add(kClouds);
    } else if (name == u"attribute") {
        top().fields.attributes.push_back({attr("NAME"), attr("VALUE")});
    } else if (name == u"hook" && attr("NAME").find("NodeNote") != std::string::npos) {
        readNoteHook();
        return false;
    } else if (name == u"hook" && attr("NAME") == "ExternalObject") {
        readPicture(attr("URI"), reader_.attributes().value(QLatin1String("SIZE")).toDouble(), 0, 0);
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
    for (const Arrow& arrow : arrows_) {
        const auto it = byId.find(arrow.destination);
        if (it == byId.end() || it->second == arrow.from) {
            doc_.skipped.add(kLinks);
            continue;
        }
        sheet().links.push_back({arrow.from, it->second, arrow.title});
    }
}

// What the file leaves to its descendants, and the root a writer made up.
void MmReader::finish() {
    auto& nodes = sheet().nodes;
    // Parents come before their children: a branch takes its parent's edge
    // unless it gives its own, as the programs draw it.
    for (MapNode& node : nodes) {
        if (node.parent < 0)
            continue;
        const MapNode& parent = nodes[static_cast<std::size_t>(node.parent)];
        if (!node.edgeColor.set)
            node.edgeColor = parent.edgeColor;
        if (node.edgeWidth == 0)
            node.edgeWidth = parent.edgeWidth;
    }
    freeMadeUpRoot(sheet(), [](const MapNode& root) {
        const auto& attrs = root.fields.attributes;
        return attrs.size() == 1 && attrs.front().name == kMadeUpRootMark;
    });
}

bool MmReader::read(const QByteArray& bytes) {
    if (!prepareReader(reader_, decodeXml(bytes, &doc_.encoding), error_))
        return false;
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
    finish();
    return true;
}

} // namespace

bool readFreeMind(const QByteArray& bytes, MapDocument& out, ReadError& error,
                  const std::string& folder) {
    MapDocument doc;
    MmReader reader(doc, error, folder);
    if (!reader.read(bytes))
        return false;
    out = std::move(doc);
    return true;
}

} // namespace interchange
