#include <zip.h>

#include <memory>

#include "interchange/FreeMind.h"
#include "interchange/MapFields.h"
#include "interchange/XMind.h"

namespace interchange {

namespace {

std::string topicId(std::size_t sheet, int node) {
    return "t" + std::to_string(sheet + 1) + "-" + std::to_string(node + 1);
}

// Families of XMind's own marker ids: a marker named so is written as one,
// any other name as a label, which reads back as the same marker.
bool isXMindMarkerId(const std::string& name) {
    static const char* const kFamilies[] = {"priority-", "task-",   "flag-",  "star-",
                                            "people-",   "arrow-",  "symbol-", "month-",
                                            "week-",     "half-",   "smiley-", "other-",
                                            "tag-",      "c_simbol-"};
    for (const char* family : kFamilies)
        if (name.rfind(family, 0) == 0 && name.size() > std::char_traits<char>::length(family))
            return true;
    return false;
}

struct TopicMarkers {
    std::vector<std::string> ids;
    std::vector<std::string> labels;
};

TopicMarkers markersOf(const MapNode& node) {
    TopicMarkers out;
    for (const std::string& marker : node.fields.markers) {
        const std::string id = markerForPeer(MarkerDialect::XMind, marker);
        if (!id.empty())
            out.ids.push_back(id);
        else if (isXMindMarkerId(marker))
            out.ids.push_back(marker);
        else
            out.labels.push_back(marker);
    }
    return out;
}

// Walks a sheet's trees as XMind nests them: the first root is the sheet's
// root topic, the others are its detached topics. Without recursion, for
// maps of any depth.
template <class Writer> void walkTopics(const MapSheet& sheet, Writer& w) {
    if (sheet.roots.empty())
        return;
    const int top = sheet.roots.front();
    const std::vector<int> detached(sheet.roots.begin() + 1, sheet.roots.end());
    struct Frame {
        int node;
        bool inDetached = false;
        std::size_t next = 0;
        bool opened = false; // its children's element is open
    };
    std::vector<Frame> stack{{top}};
    w.open(top, false);
    while (!stack.empty()) {
        Frame& f = stack.back();
        const std::vector<int>& kids =
            f.inDetached ? detached : sheet.nodes[static_cast<std::size_t>(f.node)].children;
        if (f.next == 0 && !kids.empty()) {
            if (!f.opened)
                w.beginChildren();
            f.opened = true;
            w.beginList(f.inDetached);
        }
        if (f.next < kids.size()) {
            const int child = kids[f.next];
            w.separate(f.next++);
            const bool isDetached = f.inDetached;
            stack.push_back({child});
            w.open(child, isDetached);
            continue;
        }
        if (!kids.empty())
            w.endList();
        if (!f.inDetached && f.node == top && !detached.empty()) {
            f.inDetached = true;
            f.next = 0;
            continue;
        }
        if (f.opened)
            w.endChildren();
        w.close();
        stack.pop_back();
    }
}

// Where a detached topic stands when the sheet gives no place for it.
std::pair<float, float> placeOf(const MapNode& node, int order) {
    if (node.placed)
        return {node.x, node.y};
    return {0.0f, 240.0f * static_cast<float>(order + 1)};
}

std::string number(float v) {
    const long rounded = static_cast<long>(v >= 0 ? v + 0.5f : v - 0.5f);
    return std::to_string(rounded);
}

class JsonTopics {
public:
    JsonTopics(const MapSheet& sheet, std::size_t index, const std::vector<std::string>& pictures,
               std::string& out)
        : sheet_(sheet), index_(index), pictures_(pictures), anchors_(sheet), out_(out) {}
    void open(int n, bool detached);
    void beginChildren() { out_ += ",\"children\":{"; }
    void beginList(bool detached) {
        if (detached && !listsWritten_.empty() && listsWritten_.back())
            out_ += ',';
        out_ += detached ? "\"detached\":[" : "\"attached\":[";
    }
    void separate(std::size_t i) {
        if (i > 0)
            out_ += ',';
    }
    void endList() {
        out_ += ']';
        if (!listsWritten_.empty())
            listsWritten_.back() = true;
    }
    void endChildren() { out_ += '}'; }
    void close() {
        out_ += '}';
        listsWritten_.pop_back();
    }

private:
    void style(const MapNode& node);

    const MapSheet& sheet_;
    std::size_t index_;
    const std::vector<std::string>& pictures_;
    AnchorIndex anchors_;
    std::string& out_;
    std::vector<bool> listsWritten_; // per open topic: a list of children was written
    int detachedCount_ = 0;
};

void JsonTopics::style(const MapNode& node) {
    std::string props;
    auto add = [&](const char* key, const std::string& value) {
        props += (props.empty() ? "" : ",") + jsonString(key) + ":" + jsonString(value);
    };
    if (node.background.set)
        add("svg:fill", hexColour(node.background));
    if (node.color.set)
        add("fo:color", hexColour(node.color));
    if (node.edgeColor.set)
        add("line-color", hexColour(node.edgeColor));
    if (node.fontSize > 0)
        add("fo:font-size", std::to_string(node.fontSize) + "pt");
    if (node.bold)
        add("fo:font-weight", "bold");
    if (node.italic)
        add("fo:font-style", "italic");
    if (!props.empty())
        out_ += ",\"style\":{\"properties\":{" + props + "}}";
}

void JsonTopics::open(int n, bool detached) {
    const MapNode& node = sheet_.nodes[static_cast<std::size_t>(n)];
    listsWritten_.push_back(false);
    out_ += "{\"id\":" + jsonString(topicId(index_, n)) + ",\"class\":\"topic\",\"title\":" +
            jsonString(node.text);
    if (node.parent < 0 && node.fields.layout != ZN_Layout::None)
        out_ += ",\"structureClass\":" + jsonString(structureOfLayout(node.fields.layout));
    if (detached) {
        const auto [x, y] = placeOf(node, detachedCount_++);
        out_ += ",\"position\":{\"x\":" + number(x) + ",\"y\":" + number(y) + "}";
    }
    if (node.folded && !node.children.empty())
        out_ += ",\"branch\":\"folded\"";
    if (!node.fields.link.empty()) {
        const int to = anchors_.find(node.fields.link);
        out_ += ",\"href\":" +
                jsonString(to >= 0 ? "xmind:#" + topicId(index_, to) : node.fields.link);
    }
    if (!node.fields.note.empty())
        out_ += ",\"notes\":{\"plain\":{\"content\":" + jsonString(node.fields.note) + "}}";
    const TopicMarkers markers = markersOf(node);
    if (!markers.ids.empty()) {
        out_ += ",\"markers\":[";
        for (std::size_t i = 0; i < markers.ids.size(); ++i)
            out_ += (i ? ",{\"markerId\":" : "{\"markerId\":") + jsonString(markers.ids[i]) + "}";
        out_ += "]";
    }
    if (!markers.labels.empty()) {
        out_ += ",\"labels\":[";
        for (std::size_t i = 0; i < markers.labels.size(); ++i)
            out_ += (i ? "," : "") + jsonString(markers.labels[i]);
        out_ += "]";
    }
    const std::string& picture = pictures_[static_cast<std::size_t>(n)];
    if (!picture.empty()) {
        out_ += ",\"image\":{\"src\":" + jsonString("xap:" + picture);
        if (node.image.width > 0 && node.image.height > 0)
            out_ += ",\"width\":" + std::to_string(node.image.width) +
                    ",\"height\":" + std::to_string(node.image.height);
        out_ += "}";
    }
    style(node);
}

class XmlTopics {
public:
    XmlTopics(const MapSheet& sheet, std::size_t index, const std::vector<std::string>& pictures,
              std::string& out)
        : sheet_(sheet), index_(index), pictures_(pictures), anchors_(sheet), out_(out) {}
    void open(int n, bool detached);
    void beginChildren() { out_ += "<children>"; }
    void beginList(bool detached) {
        out_ += detached ? "<topics type=\"detached\">" : "<topics type=\"attached\">";
    }
    void separate(std::size_t) {}
    void endList() { out_ += "</topics>"; }
    void endChildren() { out_ += "</children>"; }
    void close() { out_ += "</topic>\n"; }

private:
    const MapSheet& sheet_;
    std::size_t index_;
    const std::vector<std::string>& pictures_;
    AnchorIndex anchors_;
    std::string& out_;
    int detachedCount_ = 0;
};

void XmlTopics::open(int n, bool detached) {
    const MapNode& node = sheet_.nodes[static_cast<std::size_t>(n)];
    out_ += "<topic id=\"" + topicId(index_, n) + "\"";
    if (node.parent < 0 && node.fields.layout != ZN_Layout::None)
        out_ += " structure-class=\"" + structureOfLayout(node.fields.layout) + "\"";
    if (node.folded && !node.children.empty())
        out_ += " branch=\"folded\"";
    if (!node.fields.link.empty()) {
        const int to = anchors_.find(node.fields.link);
        out_ += " xlink:href=\"" +
                xmlAttribute(to >= 0 ? "xmind:#" + topicId(index_, to) : node.fields.link) + "\"";
    }
    out_ += "><title>" + xmlAttribute(node.text) + "</title>";
    if (detached) {
        const auto [x, y] = placeOf(node, detachedCount_++);
        out_ += "<position svg:x=\"" + number(x) + "\" svg:y=\"" + number(y) + "\"/>";
    }
    const std::string& picture = pictures_[static_cast<std::size_t>(n)];
    if (!picture.empty()) {
        out_ += "<xhtml:img xhtml:src=\"xap:" + xmlAttribute(picture) + "\"";
        if (node.image.width > 0 && node.image.height > 0)
            out_ += " svg:width=\"" + std::to_string(node.image.width) + "\" svg:height=\"" +
                    std::to_string(node.image.height) + "\"";
        out_ += "/>";
    }
    const TopicMarkers markers = markersOf(node);
    if (!markers.ids.empty()) {
        out_ += "<marker-refs>";
        for (const std::string& id : markers.ids)
            out_ += "<marker-ref marker-id=\"" + xmlAttribute(id) + "\"/>";
        out_ += "</marker-refs>";
    }
    if (!markers.labels.empty()) {
        out_ += "<labels>";
        for (const std::string& label : markers.labels)
            out_ += "<label>" + xmlAttribute(label) + "</label>";
        out_ += "</labels>";
    }
    if (!node.fields.note.empty())
        out_ += "<notes><plain>" + xmlAttribute(node.fields.note) + "</plain></notes>";
}

std::string sheetName(const MapSheet& sheet, std::size_t index) {
    return sheet.title.empty() ? "页" + std::to_string(index + 1) : sheet.title;
}

} // namespace

QByteArray xmindContentJson(const std::vector<MapSheet>& sheets,
                            const std::vector<std::vector<std::string>>& pictures) {
    std::string out = "[";
    for (std::size_t s = 0; s < sheets.size(); ++s) {
        const MapSheet& sheet = sheets[s];
        if (s > 0)
            out += ',';
        out += "{\"id\":" + jsonString("s" + std::to_string(s + 1)) +
               ",\"class\":\"sheet\",\"title\":" + jsonString(sheetName(sheet, s)) +
               ",\"rootTopic\":";
        if (sheet.roots.empty()) {
            // XMind wants a root topic on every sheet: an empty page gets an
            // empty one, labelled so that reading it leaves it out again.
            out += "{\"id\":" + jsonString(topicId(s, 0)) +
                   ",\"class\":\"topic\",\"title\":\"\",\"labels\":[" +
                   jsonString(kMadeUpRootMark) + "]}";
        } else {
            JsonTopics topics(sheet, s, pictures[s], out);
            walkTopics(sheet, topics);
        }
        if (!sheet.links.empty()) {
            out += ",\"relationships\":[";
            for (std::size_t i = 0; i < sheet.links.size(); ++i) {
                const MapLink& link = sheet.links[i];
                out += (i ? ",{\"id\":" : "{\"id\":") + jsonString("r" + std::to_string(s + 1) + "-" + std::to_string(i + 1)) +
                       ",\"end1Id\":" + jsonString(topicId(s, link.from)) +
                       ",\"end2Id\":" + jsonString(topicId(s, link.to)) +
                       // Control points at the ends: a straight line.
                       ",\"controlPoints\":{\"0\":{\"amount\":0,\"angle\":0},"
                       "\"1\":{\"amount\":0,\"angle\":0}}";
                if (!link.title.empty())
                    out += ",\"title\":" + jsonString(link.title);
                out += "}";
            }
            out += "]";
        }
        out += "}";
    }
    out += "]";
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

QByteArray xmindContentXml(const std::vector<MapSheet>& sheets,
                           const std::vector<std::vector<std::string>>& pictures) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
        "<xmap-content xmlns=\"urn:xmind:xmap:xmlns:content:2.0\" "
        "xmlns:fo=\"http://www.w3.org/1999/XSL/Format\" xmlns:svg=\"http://www.w3.org/2000/svg\" "
        "xmlns:xhtml=\"http://www.w3.org/1999/xhtml\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
        "version=\"2.0\">\n";
    for (std::size_t s = 0; s < sheets.size(); ++s) {
        const MapSheet& sheet = sheets[s];
        out += "<sheet id=\"s" + std::to_string(s + 1) + "\">\n";
        if (sheet.roots.empty()) {
            out += "<topic id=\"" + topicId(s, 0) + "\"><title></title><labels><label>" +
                   std::string(kMadeUpRootMark) + "</label></labels></topic>\n";
        } else {
            XmlTopics topics(sheet, s, pictures[s], out);
            walkTopics(sheet, topics);
        }
        if (!sheet.links.empty()) {
            out += "<relationships>";
            for (std::size_t i = 0; i < sheet.links.size(); ++i) {
                const MapLink& link = sheet.links[i];
                out += "<relationship id=\"r" + std::to_string(s + 1) + "-" + std::to_string(i + 1) +
                       "\" end1=\"" + topicId(s, link.from) + "\" end2=\"" + topicId(s, link.to) +
                       "\">";
                if (!link.title.empty())
                    out += "<title>" + xmlAttribute(link.title) + "</title>";
                out += "</relationship>";
            }
            out += "</relationships>\n";
        }
        out += "<title>" + xmlAttribute(sheetName(sheet, s)) + "</title>\n</sheet>\n";
    }
    out += "</xmap-content>\n";
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

namespace {

struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
struct SourceFreer {
    void operator()(zip_source_t* s) const { zip_source_free(s); }
};

// An archive of the entries, held in memory; empty when libzip fails.
QByteArray zipArchive(const std::vector<MapFile>& entries) {
    zip_error_t error;
    zip_error_init(&error);
    std::unique_ptr<zip_source_t, SourceFreer> buffer(zip_source_buffer_create(nullptr, 0, 0, &error));
    zip_error_fini(&error);
    if (!buffer)
        return {};
    zip_source_keep(buffer.get()); // it outlives the archive, which frees it once
    std::unique_ptr<zip_t, ZipCloser> zip(zip_open_from_source(buffer.get(), ZIP_TRUNCATE, nullptr));
    if (!zip) {
        zip_source_free(buffer.get());
        return {};
    }
    for (const MapFile& entry : entries) {
        zip_source_t* data = zip_source_buffer(zip.get(), entry.bytes.constData(),
                                               static_cast<zip_uint64_t>(entry.bytes.size()), 0);
        if (!data)
            return {};
        const zip_int64_t index =
            zip_file_add(zip.get(), entry.path.c_str(), data, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
        if (index < 0) {
            zip_source_free(data);
            return {};
        }
        // Pictures are compressed already.
        const bool picture = !imageKind(entry.bytes).empty();
        zip_set_file_compression(zip.get(), static_cast<zip_uint64_t>(index),
                                 picture ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
    }
    if (zip_close(zip.get()) != 0)
        return {};
    zip.release(); // closed, and freed with it
    QByteArray out;
    if (zip_source_open(buffer.get()) != 0)
        return {};
    char chunk[65536];
    zip_int64_t got = 0;
    while ((got = zip_source_read(buffer.get(), chunk, sizeof chunk)) > 0)
        out.append(chunk, static_cast<qsizetype>(got));
    zip_source_close(buffer.get());
    return got < 0 ? QByteArray() : out;
}

} // namespace

QByteArray writeXMind(const std::vector<MapSheet>& sheets) {
    std::vector<MapFile> entries;
    std::vector<std::vector<std::string>> pictures(sheets.size());
    std::vector<MapFile> images;
    for (std::size_t s = 0; s < sheets.size(); ++s) {
        pictures[s].resize(sheets[s].nodes.size());
        for (std::size_t n = 0; n < sheets[s].nodes.size(); ++n) {
            const MapImage& image = sheets[s].nodes[n].image;
            if (image.empty())
                continue;
            const QByteArray bytes(image.bytes.data(), static_cast<qsizetype>(image.bytes.size()));
            const std::string name = "resources/" + topicId(s, static_cast<int>(n)) +
                                     (imageKind(bytes) == "jpeg" ? ".jpg" : ".png");
            pictures[s][n] = name;
            images.push_back({name, bytes});
        }
    }
    std::string manifestJson = "{\"file-entries\":{\"content.json\":{},\"content.xml\":{},"
                               "\"metadata.json\":{}";
    std::string manifestXml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
        "<manifest xmlns=\"urn:xmind:xmap:xmlns:manifest:1.0\">"
        "<file-entry full-path=\"content.xml\" media-type=\"text/xml\"/>"
        "<file-entry full-path=\"META-INF/\" media-type=\"\"/>"
        "<file-entry full-path=\"META-INF/manifest.xml\" media-type=\"text/xml\"/>";
    for (const MapFile& image : images) {
        manifestJson += "," + jsonString(image.path) + ":{}";
        manifestXml += "<file-entry full-path=\"" + xmlAttribute(image.path) + "\" media-type=\"" +
                       (image.path.ends_with(".jpg") ? "image/jpeg" : "image/png") + "\"/>";
    }
    manifestJson += "}}";
    manifestXml += "</manifest>\n";
    const std::string metadata =
        "{\"dataStructureVersion\":\"2\",\"creator\":{\"name\":\"Tavlo\",\"version\":\"1\"}}";
    auto bytesOf = [](const std::string& s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); };
    entries.push_back({"content.json", xmindContentJson(sheets, pictures)});
    entries.push_back({"content.xml", xmindContentXml(sheets, pictures)});
    entries.push_back({"metadata.json", bytesOf(metadata)});
    entries.push_back({"manifest.json", bytesOf(manifestJson)});
    entries.push_back({"META-INF/manifest.xml", bytesOf(manifestXml)});
    entries.insert(entries.end(), images.begin(), images.end());
    return zipArchive(entries);
}

} // namespace interchange
