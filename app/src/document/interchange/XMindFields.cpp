#include "interchange/XMindFields.h"

#include <QJsonArray>

#include "interchange/MapFields.h"
#include "interchange/XmlInput.h"

namespace interchange {

std::string linkFromHref(const QString& href) {
    if (href.startsWith(u"xmind:#"))
        return "#" + toUtf8(href.mid(7));
    return toUtf8(href);
}

bool readArchiveImage(const QString& src, const ArchiveEntries& entries, MapImage& image) {
    if (!src.startsWith(u"xap:") || !entries)
        return false;
    const QByteArray bytes = entries(toUtf8(src.mid(4)));
    if (imageKind(bytes).empty())
        return false;
    image.bytes.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return true;
}

void addXMindMarker(const QString& markerId, MapNode& node) {
    if (!markerId.isEmpty())
        node.fields.markers.push_back(markerFromPeer(MarkerDialect::XMind, toUtf8(markerId)));
}

namespace {

QString contentOf(const QJsonObject& notes, const char* kind) {
    return notes.value(QLatin1String(kind)).toObject().value(QLatin1String("content")).toString();
}

// Sizes a file gives are taken only within what a page can show.
int sizeOf(const QJsonValue& v) {
    const double d = v.toDouble();
    return d >= 1 && d <= 100000 ? static_cast<int>(d + 0.5) : 0;
}

} // namespace

void readTopicFields(const QJsonObject& topic, MapNode& node, const ArchiveEntries& entries,
                     Skipped& skipped) {
    const QJsonObject notes = topic.value(QLatin1String("notes")).toObject();
    const QString plain = contentOf(notes, "plain");
    if (!plain.isEmpty())
        node.fields.note = tidyLines(plain);
    else if (const QString html = contentOf(notes, "realHTML"); !html.isEmpty())
        node.fields.note = htmlToText(html);
    else if (const QString older = contentOf(notes, "html"); !older.isEmpty())
        node.fields.note = htmlToText(older);
    node.fields.link = linkFromHref(topic.value(QLatin1String("href")).toString());
    for (const QJsonValue& marker : topic.value(QLatin1String("markers")).toArray())
        addXMindMarker(marker.toObject().value(QLatin1String("markerId")).toString(), node);
    for (const QJsonValue& label : topic.value(QLatin1String("labels")).toArray())
        if (!label.toString().isEmpty())
            node.fields.markers.push_back(toUtf8(label.toString()));
    if (topic.contains(QLatin1String("image"))) {
        const QJsonObject image = topic.value(QLatin1String("image")).toObject();
        if (readArchiveImage(image.value(QLatin1String("src")).toString(), entries, node.image)) {
            node.image.width = sizeOf(image.value(QLatin1String("width")));
            node.image.height = sizeOf(image.value(QLatin1String("height")));
            if (node.image.width == 0 || node.image.height == 0)
                node.image.width = node.image.height = 0;
        } else {
            skipped.add(kImages);
        }
    }
}

namespace {

struct Structure {
    const char16_t* name;
    ZN_Layout layout;
};

// The first of each layout is the one written.
constexpr Structure kStructures[] = {
    {u"org.xmind.ui.map.unbalanced", ZN_Layout::MindMap},
    {u"org.xmind.ui.map", ZN_Layout::MindMap},
    {u"org.xmind.ui.map.clockwise", ZN_Layout::MindMap},
    {u"org.xmind.ui.map.anticlockwise", ZN_Layout::MindMap},
    {u"org.xmind.ui.map.floating", ZN_Layout::MindMap},
    {u"org.xmind.ui.logic.right", ZN_Layout::LogicRight},
    {u"org.xmind.ui.logic.left", ZN_Layout::LogicLeft},
    {u"org.xmind.ui.org-chart.down", ZN_Layout::OrgChart},
    {u"org.xmind.ui.tree.right", ZN_Layout::TreeChart},
    {u"org.xmind.ui.tree.left", ZN_Layout::TreeChart},
};

} // namespace

ZN_Layout layoutOfStructure(const QString& structureClass) {
    for (const Structure& s : kStructures)
        if (structureClass == QStringView(s.name))
            return s.layout;
    return ZN_Layout::None;
}

std::string structureOfLayout(ZN_Layout layout) {
    for (const Structure& s : kStructures)
        if (s.layout == layout)
            return toUtf8(QString::fromUtf16(s.name));
    return {};
}

} // namespace interchange
