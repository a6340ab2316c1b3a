#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "interchange/XMind.h"
#include "interchange/XmlInput.h"

namespace interchange {

namespace {

// What a topic's style and extras say; what the page cannot show is counted.
void describeTopic(const QJsonObject& topic, MapNode& node, Skipped& skipped) {
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
    if (topic.contains(QLatin1String("notes")))
        skipped.add(kNotes);
    skipped.add(kMarkers, static_cast<int>(topic.value(QLatin1String("markers")).toArray().size()));
    skipped.add(kLabels, static_cast<int>(topic.value(QLatin1String("labels")).toArray().size()));
    if (topic.contains(QLatin1String("href")))
        skipped.add(kLinks);
    if (topic.contains(QLatin1String("image")))
        skipped.add(kImages);
}

int lineAt(const QByteArray& bytes, int offset) {
    return static_cast<int>(bytes.left(offset).count('\n')) + 1;
}

void readSheetJson(const QJsonObject& object, MapDocument& doc) {
    doc.sheets.emplace_back();
    MapSheet& sheet = doc.sheets.back();
    sheet.title = toUtf8(object.value(QLatin1String("title")).toString());
    struct Pending {
        QJsonObject topic;
        int parent;
        bool detached;
    };
    std::vector<Pending> stack{{object.value(QLatin1String("rootTopic")).toObject(), -1, false}};
    while (!stack.empty()) {
        const Pending item = std::move(stack.back());
        stack.pop_back();
        const int index =
            sheet.add(item.parent, tidyLines(item.topic.value(QLatin1String("title")).toString()));
        MapNode& node = sheet.nodes[static_cast<std::size_t>(index)];
        describeTopic(item.topic, node, doc.skipped);
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
        doc.skipped.add(kSummaries,
                        static_cast<int>(children.value(QLatin1String("summary")).toArray().size()));
        // Pushed in reverse, so that they are taken in file order.
        for (qsizetype k = detached.size() - 1; k >= 0; --k)
            stack.push_back({detached[k].toObject(), -1, true});
        for (qsizetype k = attached.size() - 1; k >= 0; --k)
            stack.push_back({attached[k].toObject(), index, false});
    }
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
            sheet.links.push_back({from->second, to->second});
    }
}

} // namespace

bool readXMindJson(const QByteArray& json, MapDocument& out, ReadError& error) {
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
            readSheetJson(value.toObject(), doc);
    if (doc.sheets.empty()) {
        error = {1, "no sheet with a root topic"};
        return false;
    }
    out = std::move(doc);
    return true;
}

bool readXMindXml(const QByteArray& xml, MapDocument& out, ReadError& error) {
    QXmlStreamReader reader;
    prepareReader(reader, decodeXml(xml));
    MapDocument doc;
    std::vector<int> topics;            // topics open here, innermost last
    std::vector<QString> kinds;         // the type of each <topics> open here
    std::vector<std::pair<std::string, std::string>> relations;
    std::unordered_map<std::string, int> byId;
    bool sawRoot = false;
    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) {
            if (reader.name() == u"topic" && !topics.empty())
                topics.pop_back();
            else if (reader.name() == u"topics" && !kinds.empty())
                kinds.pop_back();
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = reader.name();
        const auto attrs = reader.attributes();
        if (!sawRoot) {
            if (name != u"xmap-content") {
                error = {static_cast<int>(reader.lineNumber()), "not XMind content"};
                return false;
            }
            sawRoot = true;
        } else if (name == u"sheet") {
            doc.sheets.emplace_back();
            topics.clear();
            kinds.clear();
        } else if (doc.sheets.empty()) {
            reader.skipCurrentElement();
        } else if (name == u"topic") {
            const QString kind = kinds.empty() ? QString() : kinds.back();
            if (kind == u"summary") {
                doc.skipped.add(kSummaries);
                reader.skipCurrentElement();
                continue;
            }
            MapSheet& sheet = doc.sheets.back();
            const int parent = topics.empty() || kind == u"detached" ? -1 : topics.back();
            const int index = sheet.add(parent, {});
            sheet.nodes[static_cast<std::size_t>(index)].folded =
                attrs.value(QLatin1String("branch")) == u"folded";
            const std::string id = toUtf8(attrs.value(QLatin1String("id")).toString());
            if (!id.empty())
                byId.emplace(id + "@" + std::to_string(doc.sheets.size()), index);
            if (attrs.hasAttribute(QLatin1String("xlink:href")))
                doc.skipped.add(kLinks);
            topics.push_back(index);
        } else if (name == u"topics") {
            kinds.push_back(attrs.value(QLatin1String("type")).toString());
        } else if (name == u"title") {
            const std::string text = tidyLines(reader.readElementText(QXmlStreamReader::IncludeChildElements));
            MapSheet& sheet = doc.sheets.back();
            if (topics.empty())
                sheet.title = text;
            else
                sheet.nodes[static_cast<std::size_t>(topics.back())].text = text;
        } else if (name == u"relationship") {
            relations.emplace_back(toUtf8(attrs.value(QLatin1String("end1")).toString()) + "@" +
                                       std::to_string(doc.sheets.size()),
                                   toUtf8(attrs.value(QLatin1String("end2")).toString()) + "@" +
                                       std::to_string(doc.sheets.size()));
            reader.skipCurrentElement();
        } else if (name == u"notes") {
            doc.skipped.add(kNotes);
            reader.skipCurrentElement();
        } else if (name == u"marker-ref") {
            doc.skipped.add(kMarkers);
        } else if (name == u"labels") {
            doc.skipped.add(kLabels);
            reader.skipCurrentElement();
        } else if (name == u"img" || name == u"image") {
            doc.skipped.add(kImages);
        }
    }
    if (reader.hasError()) {
        error = xmlError(reader);
        return false;
    }
    for (const auto& [a, b] : relations) {
        const auto from = byId.find(a), to = byId.find(b);
        const std::size_t sheetA = std::stoul(a.substr(a.rfind('@') + 1));
        if (from == byId.end() || to == byId.end() || from->second == to->second ||
            b.substr(b.rfind('@')) != a.substr(a.rfind('@'))) {
            doc.skipped.add(kLinks);
            continue;
        }
        doc.sheets[sheetA - 1].links.push_back({from->second, to->second});
    }
    if (doc.sheets.empty() || doc.sheets.front().nodes.empty()) {
        error = {static_cast<int>(reader.lineNumber()), "no sheet with a root topic"};
        return false;
    }
    out = std::move(doc);
    return true;
}

} // namespace interchange
