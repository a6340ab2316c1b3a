#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "interchange/MapFields.h"
#include "interchange/XMind.h"
#include "interchange/XMindFields.h"
#include "interchange/XmlInput.h"

namespace interchange {

namespace {

// What a topic's id, folding and style say.
void describeTopic(const QJsonObject& topic, MapNode& node) {
    node.id = toUtf8(topic.value(QLatin1String("id")).toString());
    node.folded = topic.value(QLatin1String("branch")).toString() == u"folded";
    const QJsonObject style =
        topic.value(QLatin1String("style")).toObject().value(QLatin1String("properties")).toObject();
    node.background = parseHexColour(toUtf8(style.value(QLatin1String("svg:fill")).toString()));
    node.color = parseHexColour(toUtf8(style.value(QLatin1String("fo:color")).toString()));
    node.edgeColor = parseHexColour(toUtf8(style.value(QLatin1String("line-color")).toString()));
    const int size = style.value(QLatin1String("fo:font-size")).toString().remove(QLatin1String("pt")).toInt();
    if (size > 0 && size <= 500)
        node.fontSize = size;
    node.bold = style.value(QLatin1String("fo:font-weight")).toString() == u"bold";
    node.italic = style.value(QLatin1String("fo:font-style")).toString() == u"italic";
}

// A sheet this program wrote for an empty page holds only a marked root.
void freeEmptySheets(MapDocument& doc) {
    for (MapSheet& sheet : doc.sheets)
        freeMadeUpRoot(sheet, [](const MapNode& root) {
            return root.children.empty() && root.text.empty() && root.fields.markers.size() == 1 &&
                   root.fields.markers.front() == kMadeUpRootMark;
        });
}

int lineAt(const QByteArray& bytes, int offset) {
    return static_cast<int>(bytes.left(offset).count('\n')) + 1;
}

void readSheetJson(const QJsonObject& object, MapDocument& doc, const ArchiveEntries& entries) {
    doc.sheets.emplace_back();
    MapSheet& sheet = doc.sheets.back();
    sheet.title = toUtf8(object.value(QLatin1String("title")).toString());
    sheet.named = true;
    struct Pending {
        QJsonObject topic;
        int parent;
        bool detached;
        const char* mark = nullptr; // a summary's or callout's marker
    };
    const QJsonObject rootTopic = object.value(QLatin1String("rootTopic")).toObject();
    std::vector<Pending> stack{{rootTopic, -1, false}};
    while (!stack.empty()) {
        const Pending item = std::move(stack.back());
        stack.pop_back();
        const int index =
            sheet.add(item.parent, tidyLines(item.topic.value(QLatin1String("title")).toString()));
        MapNode& node = sheet.nodes[static_cast<std::size_t>(index)];
        describeTopic(item.topic, node);
        readTopicFields(item.topic, node, entries, doc.skipped);
        if (item.mark)
            node.fields.markers.insert(node.fields.markers.begin(), item.mark);
        if (item.detached) {
            const QJsonObject at = item.topic.value(QLatin1String("position")).toObject();
            node.placed = at.contains(QLatin1String("x")) && at.contains(QLatin1String("y"));
            // A page is far smaller than what a double can say.
            auto coordinate = [](double v) {
                return static_cast<float>(std::isfinite(v) ? std::clamp(v, -1e5, 1e5) : 0.0);
            };
            node.x = coordinate(at.value(QLatin1String("x")).toDouble());
            node.y = coordinate(at.value(QLatin1String("y")).toDouble());
        }
        const QJsonObject children = item.topic.value(QLatin1String("children")).toObject();
        const QJsonArray attached = children.value(QLatin1String("attached")).toArray();
        const QJsonArray detached = children.value(QLatin1String("detached")).toArray();
        const QJsonArray summaries = children.value(QLatin1String("summary")).toArray();
        const QJsonArray callouts = children.value(QLatin1String("callout")).toArray();
        // Pushed in reverse, so that they are taken in file order: summaries
        // and callouts become marked children after the attached ones.
        for (qsizetype k = detached.size() - 1; k >= 0; --k)
            stack.push_back({detached[k].toObject(), -1, true});
        for (qsizetype k = callouts.size() - 1; k >= 0; --k)
            stack.push_back({callouts[k].toObject(), index, false, kCalloutMarker});
        for (qsizetype k = summaries.size() - 1; k >= 0; --k)
            stack.push_back({summaries[k].toObject(), index, false, kSummaryMarker});
        for (qsizetype k = attached.size() - 1; k >= 0; --k)
            stack.push_back({attached[k].toObject(), index, false});
    }
    if (!sheet.roots.empty())
        sheet.nodes[static_cast<std::size_t>(sheet.roots.front())].fields.layout =
            layoutOfStructure(rootTopic.value(QLatin1String("structureClass")).toString());
    std::unordered_map<std::string, int> byId;
    for (std::size_t i = 0; i < sheet.nodes.size(); ++i)
        if (!sheet.nodes[i].id.empty())
            byId.emplace(sheet.nodes[i].id, static_cast<int>(i));
    for (const QJsonValue& value : object.value(QLatin1String("relationships")).toArray()) {
        const QJsonObject rel = value.toObject();
        const auto from = byId.find(toUtf8(rel.value(QLatin1String("end1Id")).toString()));
        const auto to = byId.find(toUtf8(rel.value(QLatin1String("end2Id")).toString()));
        if (from == byId.end() || to == byId.end() || from->second == to->second)
            doc.skipped.add(kLinks);
        else
            sheet.links.push_back({from->second, to->second,
                                   tidyLines(rel.value(QLatin1String("title")).toString())});
    }
}

} // namespace

bool readXMindJson(const QByteArray& json, MapDocument& out, ReadError& error,
                   const ArchiveEntries& entries) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        error = {lineAt(json, parseError.offset), toUtf8(parseError.errorString())};
        return false;
    }
    if (!document.isArray()) {
        error = {1, "not a list of sheets"};
        return false;
    }
    MapDocument doc;
    for (const QJsonValue& value : document.array())
        if (value.isObject() && value.toObject().value(QLatin1String("rootTopic")).isObject())
            readSheetJson(value.toObject(), doc, entries);
    if (doc.sheets.empty()) {
        error = {1, "no sheet with a root topic"};
        return false;
    }
    freeEmptySheets(doc);
    out = std::move(doc);
    return true;
}

namespace {

// XMind 8's content.xml, element by element.
class Xmind8Reader {
public:
    Xmind8Reader(QXmlStreamReader& reader, const ArchiveEntries& entries)
        : reader_(reader), entries_(entries) {}
    // False when the first element is not XMind content.
    bool start();
    void end();
    void resolve();
    MapDocument doc;

private:
    void startTopic(const QXmlStreamAttributes& attrs);
    void startField(QStringView name, const QXmlStreamAttributes& attrs);
    void readRelationship(const QXmlStreamAttributes& attrs);
    MapNode* openTopic() {
        return topics_.empty() ? nullptr
                               : &doc.sheets.back().nodes[static_cast<std::size_t>(topics_.back())];
    }
    std::string key(const QXmlStreamAttributes& attrs, const char* name) const {
        return toUtf8(attrs.value(QLatin1String(name)).toString()) + "@" +
               std::to_string(doc.sheets.size());
    }

    QXmlStreamReader& reader_;
    const ArchiveEntries& entries_;
    bool sawRoot_ = false;
    std::vector<int> topics_;   // topics open here, innermost last
    std::vector<QString> kinds_; // the type of each <topics> open here
    struct Relation {
        std::string from, to, title;
    };
    std::vector<Relation> relations_;
    std::unordered_map<std::string, int> byId_; // "id@sheet"
};

void Xmind8Reader::startTopic(const QXmlStreamAttributes& attrs) {
    const QString kind = kinds_.empty() ? QString() : kinds_.back();
    MapSheet& sheet = doc.sheets.back();
    const int parent = topics_.empty() || kind == u"detached" ? -1 : topics_.back();
    const int index = sheet.add(parent, {});
    MapNode& node = sheet.nodes[static_cast<std::size_t>(index)];
    node.folded = attrs.value(QLatin1String("branch")) == u"folded";
    if (kind == u"summary" || kind == u"callout")
        node.fields.markers.push_back(kind == u"summary" ? kSummaryMarker : kCalloutMarker);
    if (attrs.hasAttribute(QLatin1String("id")))
        byId_.emplace(key(attrs, "id"), index);
    node.fields.link = linkFromHref(attrs.value(QLatin1String("xlink:href")).toString());
    if (topics_.empty())
        node.fields.layout = layoutOfStructure(attrs.value(QLatin1String("structure-class")).toString());
    topics_.push_back(index);
}

// What a topic holds besides its title and children.
void Xmind8Reader::startField(QStringView name, const QXmlStreamAttributes& attrs) {
    MapNode* node = openTopic();
    if (name == u"notes") {
        QString plain, html;
        while (reader_.readNextStartElement()) {
            QString& into = reader_.name() == u"plain" ? plain : html;
            into = reader_.readElementText(QXmlStreamReader::IncludeChildElements);
        }
        if (node)
            node->fields.note = tidyLines(plain.isEmpty() ? html : plain);
    } else if (name == u"labels") {
        while (reader_.readNextStartElement()) {
            const std::string label =
                tidyLines(reader_.readElementText(QXmlStreamReader::IncludeChildElements));
            if (node && !label.empty())
                node->fields.markers.push_back(label);
        }
    } else if (name == u"marker-ref") {
        if (node)
            addXMindMarker(attrs.value(QLatin1String("marker-id")).toString(), *node);
    } else if (name == u"xhtml:img" || name == u"img") {
        if (!node || !node->image.empty() ||
            !readArchiveImage(attrs.value(QLatin1String("xhtml:src")).toString(), entries_,
                              node->image)) {
            doc.skipped.add(kImages);
            return;
        }
        const int w = attrs.value(QLatin1String("svg:width")).toInt();
        const int h = attrs.value(QLatin1String("svg:height")).toInt();
        if (w > 0 && h > 0 && w <= 100000 && h <= 100000) {
            node->image.width = w;
            node->image.height = h;
        }
    }
}

// A relationship's ends and its title.
void Xmind8Reader::readRelationship(const QXmlStreamAttributes& attrs) {
    Relation relation{key(attrs, "end1"), key(attrs, "end2"), {}};
    while (reader_.readNextStartElement()) {
        if (reader_.name() == u"title")
            relation.title = tidyLines(reader_.readElementText(QXmlStreamReader::IncludeChildElements));
        else
            reader_.skipCurrentElement();
    }
    relations_.push_back(std::move(relation));
}

bool Xmind8Reader::start() {
    const QStringView name = reader_.name();
    const auto attrs = reader_.attributes();
    if (!sawRoot_) {
        sawRoot_ = true;
        return name == u"xmap-content";
    }
    if (name == u"sheet") {
        doc.sheets.emplace_back();
        doc.sheets.back().named = true;
        topics_.clear();
        kinds_.clear();
    } else if (doc.sheets.empty()) {
        reader_.skipCurrentElement();
    } else if (name == u"topic") {
        startTopic(attrs);
    } else if (name == u"topics") {
        kinds_.push_back(attrs.value(QLatin1String("type")).toString());
    } else if (name == u"title") {
        const std::string text =
            tidyLines(reader_.readElementText(QXmlStreamReader::IncludeChildElements));
        MapSheet& sheet = doc.sheets.back();
        (topics_.empty() ? sheet.title : sheet.nodes[static_cast<std::size_t>(topics_.back())].text) =
            text;
    } else if (name == u"relationship") {
        readRelationship(attrs);
    } else if (name == u"boundary") {
        // An outline drawn around branches, titled or not: not a topic.
        doc.skipped.add(kClouds);
        reader_.skipCurrentElement();
    } else if (name == u"summaries" || name == u"extensions" || name == u"position") {
        reader_.skipCurrentElement(); // ranges of summaries, plug-in data, placement
    } else {
        startField(name, attrs);
    }
    return true;
}

void Xmind8Reader::end() {
    if (reader_.name() == u"topic" && !topics_.empty())
        topics_.pop_back();
    else if (reader_.name() == u"topics" && !kinds_.empty())
        kinds_.pop_back();
}

// A relationship joins two topics of its own sheet.
void Xmind8Reader::resolve() {
    for (const auto& [a, b, title] : relations_) {
        const auto from = byId_.find(a), to = byId_.find(b);
        const std::string sheetOf = a.substr(a.rfind('@') + 1);
        if (from == byId_.end() || to == byId_.end() || from->second == to->second ||
            b.substr(b.rfind('@') + 1) != sheetOf) {
            doc.skipped.add(kLinks);
            continue;
        }
        doc.sheets[std::stoul(sheetOf) - 1].links.push_back({from->second, to->second, title});
    }
}

} // namespace

bool readXMindXml(const QByteArray& xml, MapDocument& out, ReadError& error,
                  const ArchiveEntries& entries) {
    QXmlStreamReader reader;
    std::string encoding;
    if (!prepareReader(reader, decodeXml(xml, &encoding), error))
        return false;
    Xmind8Reader content(reader, entries);
    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) {
            content.end();
        } else if (token == QXmlStreamReader::StartElement && !content.start()) {
            error = {static_cast<int>(reader.lineNumber()), "not XMind content"};
            return false;
        }
    }
    if (reader.hasError()) {
        error = xmlError(reader);
        return false;
    }
    if (content.doc.sheets.empty() || content.doc.sheets.front().nodes.empty()) {
        error = {static_cast<int>(reader.lineNumber()), "no sheet with a root topic"};
        return false;
    }
    content.resolve();
    freeEmptySheets(content.doc);
    content.doc.encoding = encoding;
    out = std::move(content.doc);
    return true;
}

} // namespace interchange
