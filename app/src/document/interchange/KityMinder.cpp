#include "interchange/KityMinder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <iterator>

#include "interchange/MapFields.h"
#include "interchange/XmlInput.h"

namespace interchange {

namespace {

// The data key that marks a root this program made up for several trees.
constexpr const char* kMadeUpKey = "tavlo";

// KityMinder's progress runs 1 (not started) to 9 (done) in eighths; the
// quarters are our markers, the eighths between keep names of their own.
constexpr const char* kProgress[] = {"progress-0",  "progress-12.5", "progress-25",
                                     "progress-37.5", "progress-50", "progress-62.5",
                                     "progress-75", "progress-87.5", "progress-100"};

struct Template {
    const char* name;
    ZN_Layout layout;
};
constexpr Template kTemplates[] = {
    {"default", ZN_Layout::MindMap},      {"right", ZN_Layout::LogicRight},
    {"structure", ZN_Layout::OrgChart},   {"filetree", ZN_Layout::TreeChart},
};

int lineAt(const QByteArray& bytes, int offset) {
    return static_cast<int>(bytes.left(offset).count('\n')) + 1;
}

int sizeOf(const QJsonValue& v) {
    const double d = v.toDouble();
    return d >= 1 && d <= 100000 ? static_cast<int>(d + 0.5) : 0;
}

std::string textOf(const QJsonValue& value) {
    QString text = value.toString();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.remove(u'\r');
    return toUtf8(text);
}

void readData(const QJsonObject& data, MapNode& node, Skipped& skipped) {
    node.text = textOf(data.value(QLatin1String("text")));
    node.id = toUtf8(data.value(QLatin1String("id")).toString());
    node.folded = data.value(QLatin1String("expandState")).toString() == u"collapse";
    node.fields.note = textOf(data.value(QLatin1String("note")));
    node.fields.link = toUtf8(data.value(QLatin1String("hyperlink")).toString().trimmed());
    const int priority = data.value(QLatin1String("priority")).toInt();
    if (priority >= 1 && priority <= 9)
        node.fields.markers.push_back("priority-" + std::to_string(priority));
    const int progress = data.value(QLatin1String("progress")).toInt();
    if (progress >= 1 && progress <= 9)
        node.fields.markers.push_back(kProgress[progress - 1]);
    for (const QJsonValue& tag : data.value(QLatin1String("resource")).toArray())
        if (!tag.toString().isEmpty())
            node.fields.markers.push_back(toUtf8(tag.toString()));
    const QString image = data.value(QLatin1String("image")).toString();
    if (!image.isEmpty()) {
        if (imageFromDataUri(toUtf8(image), node.image)) {
            const QJsonObject size = data.value(QLatin1String("imageSize")).toObject();
            node.image.width = sizeOf(size.value(QLatin1String("width")));
            node.image.height = sizeOf(size.value(QLatin1String("height")));
            if (node.image.width == 0 || node.image.height == 0)
                node.image.width = node.image.height = 0;
        } else {
            skipped.add(kImages); // a picture on the web is not fetched
        }
    }
    node.background = parseHexColour(toUtf8(data.value(QLatin1String("background")).toString()));
    node.color = parseHexColour(toUtf8(data.value(QLatin1String("color")).toString()));
    const int fontSize = data.value(QLatin1String("font-size")).toInt();
    if (fontSize > 0 && fontSize <= 500)
        node.fontSize = fontSize;
    node.bold = data.value(QLatin1String("font-weight")).toString() == u"bold";
    node.italic = data.value(QLatin1String("font-style")).toString() == u"italic";
}

} // namespace

bool readKityMinder(const QByteArray& bytes, MapDocument& out, ReadError& error) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        error = {lineAt(bytes, parseError.offset), toUtf8(parseError.errorString())};
        return false;
    }
    const QJsonObject top = document.object();
    const QJsonObject root =
        top.value(QLatin1String("root")).isObject() ? top.value(QLatin1String("root")).toObject() : top;
    if (!root.value(QLatin1String("data")).isObject()) {
        error = {1, "not a KityMinder map (no root node)"};
        return false;
    }
    MapDocument doc;
    doc.sheets.emplace_back();
    MapSheet& sheet = doc.sheets.back();
    std::vector<std::pair<QJsonObject, int>> stack{{root, -1}};
    while (!stack.empty()) {
        const auto [object, parent] = std::move(stack.back());
        stack.pop_back();
        const int index = sheet.add(parent, {});
        readData(object.value(QLatin1String("data")).toObject(),
                 sheet.nodes[static_cast<std::size_t>(index)], doc.skipped);
        const QJsonArray children = object.value(QLatin1String("children")).toArray();
        for (qsizetype k = children.size() - 1; k >= 0; --k)
            if (children[k].isObject())
                stack.emplace_back(children[k].toObject(), index);
    }
    const QString layout = top.value(QLatin1String("template")).toString();
    for (const Template& t : kTemplates)
        if (layout == QLatin1String(t.name))
            sheet.nodes.front().fields.layout = t.layout;
    const bool madeUp = root.value(QLatin1String("data")).toObject().value(QLatin1String(kMadeUpKey)) ==
                        QLatin1String("several-trees");
    freeMadeUpRoot(sheet, [madeUp](const MapNode&) { return madeUp; });
    out = std::move(doc);
    return true;
}

namespace {

void writeData(const MapNode& node, int index, bool madeUp, const AnchorIndex& anchors,
               std::string& out) {
    out += "{\"data\":{\"id\":" + jsonString("n" + std::to_string(index + 1)) +
           ",\"created\":0,\"text\":" + jsonString(node.text);
    if (madeUp)
        out += std::string(",\"") + kMadeUpKey + "\":\"several-trees\"";
    if (node.folded && !node.children.empty())
        out += ",\"expandState\":\"collapse\"";
    if (!node.fields.note.empty())
        out += ",\"note\":" + jsonString(node.fields.note);
    if (!node.fields.link.empty()) {
        const int to = anchors.find(node.fields.link);
        out += ",\"hyperlink\":" +
               jsonString(to >= 0 ? "#n" + std::to_string(to + 1) : node.fields.link);
    }
    std::vector<std::string> tags;
    bool hasPriority = false, hasProgress = false;
    for (const std::string& marker : node.fields.markers) {
        const std::size_t progress =
            std::find(std::begin(kProgress), std::end(kProgress), marker) - std::begin(kProgress);
        if (!hasPriority && marker.size() == 10 && marker.rfind("priority-", 0) == 0 &&
            marker[9] >= '1' && marker[9] <= '9') {
            out += ",\"priority\":" + std::string(1, marker[9]);
            hasPriority = true;
        } else if (!hasProgress && progress < std::size(kProgress)) {
            out += ",\"progress\":" + std::to_string(progress + 1);
            hasProgress = true;
        } else {
            tags.push_back(marker);
        }
    }
    if (!tags.empty()) {
        out += ",\"resource\":[";
        for (std::size_t i = 0; i < tags.size(); ++i)
            out += (i ? "," : "") + jsonString(tags[i]);
        out += "]";
    }
    if (!node.image.empty()) {
        out += ",\"image\":" + jsonString(dataUriOf(node.image));
        int w = node.image.width, h = node.image.height;
        if ((w <= 0 || h <= 0) && !imagePixelSize(node.image.bytes, w, h))
            w = h = 0;
        if (w > 0 && h > 0)
            out += ",\"imageSize\":{\"width\":" + std::to_string(w) + ",\"height\":" + std::to_string(h) + "}";
    }
    if (node.background.set)
        out += ",\"background\":" + jsonString(hexColour(node.background));
    if (node.color.set)
        out += ",\"color\":" + jsonString(hexColour(node.color));
    if (node.fontSize > 0)
        out += ",\"font-size\":" + std::to_string(node.fontSize);
    if (node.bold)
        out += ",\"font-weight\":\"bold\"";
    if (node.italic)
        out += ",\"font-style\":\"italic\"";
    out += "}";
}

} // namespace

QByteArray writeKityMinder(const MapSheet& source) {
    MapSheet storage;
    const MapSheet& sheet = withOneRoot(source, storage, [](MapNode&) {});
    const bool madeUp = &sheet == &storage;
    std::string out = "{\"root\":";
    if (sheet.roots.empty()) {
        out += "{\"data\":{\"text\":\"\"},\"children\":[]}";
    } else {
        // Without recursion: each node's children, then its closing brackets.
        struct Frame {
            int node;
            std::size_t next;
        };
        const int root = sheet.roots.front();
        std::vector<Frame> stack{{root, 0}};
        const AnchorIndex anchors(sheet);
        writeData(sheet.nodes[static_cast<std::size_t>(root)], root, madeUp, anchors, out);
        out += ",\"children\":[";
        while (!stack.empty()) {
            Frame& f = stack.back();
            const auto& kids = sheet.nodes[static_cast<std::size_t>(f.node)].children;
            if (f.next < kids.size()) {
                if (f.next > 0)
                    out += ',';
                const int child = kids[f.next++];
                writeData(sheet.nodes[static_cast<std::size_t>(child)], child, false, anchors, out);
                out += ",\"children\":[";
                stack.push_back({child, 0});
                continue;
            }
            out += "]}";
            stack.pop_back();
        }
    }
    const ZN_Layout layout =
        sheet.roots.empty() ? ZN_Layout::None : sheet.nodes[static_cast<std::size_t>(sheet.roots.front())].fields.layout;
    const char* name = "default";
    for (const Template& t : kTemplates)
        if (t.layout == layout)
            name = t.name;
    out += std::string(",\"template\":\"") + name + "\",\"theme\":\"fresh-blue\",\"version\":\"1.4.43\"}\n";
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

} // namespace interchange
