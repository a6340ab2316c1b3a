#include "document/NodeFieldEdits.h"

#include <algorithm>
#include <unordered_set>

#include <QDir>
#include <QFileInfo>

#include <sarvik/ZN_Markers.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_NodeMarks.h>
#include <sarvik/ZN_ShapeManager.h>

namespace {

bool startsWithScheme(std::string_view link, std::string_view scheme) {
    if (link.size() <= scheme.size())
        return false;
    for (std::size_t i = 0; i < scheme.size(); ++i) {
        const char c = link[i];
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
        if (lower != scheme[i])
            return false;
    }
    return true;
}

// A URL scheme before a colon ("javascript:"), as RFC 3986 spells one; a
// drive letter or a path does not count.
bool hasOtherScheme(std::string_view link) {
    const std::size_t colon = link.find(':');
    if (colon == std::string_view::npos || colon < 2)
        return false;
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = link[i];
        const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!alpha && !(i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.')))
            return false;
    }
    return true;
}

} // namespace

bool holdsFields(const ZN_ShapeBase* shape) {
    return dynamic_cast<const ZN_NRect*>(shape) != nullptr;
}

bool setNodeFields(ZN_ShapeBase& node, ZN_NodeFields fields) {
    if (fields == node.getFields())
        return false;
    const std::size_t markersBefore = node.getFields().markers.size();
    const std::size_t markersAfter = fields.markers.size();
    node.setFields(std::move(fields));
    auto* box = dynamic_cast<ZN_NRect*>(&node);
    if (!box || markersBefore == markersAfter)
        return true;
    // A box with a label makes room around label and markers together; one
    // without grows by the markers it gained.
    if (!box->getLabel() && markersAfter > markersBefore)
        box->setPoint2(box->getPoint2() +
                       ZVector2(ZN_MarkerStripWidth(markersAfter) -
                                    ZN_MarkerStripWidth(markersBefore),
                                0.0f));
    box->resetLabelPosition();
    // The page learns that the box moved, and its connectors keep to its outline.
    box->setPoint1(box->getPoint1());
    for (const auto& lines : {node.inputs(), node.outputs()})
        for (ZN_ShapeBase* s : lines)
            if (auto* line = dynamic_cast<ZN_NLine*>(s))
                line->reglueEnds();
    return true;
}

void toggleMarker(std::vector<std::string>& markers, std::string_view name) {
    const auto same = std::find(markers.begin(), markers.end(), name);
    if (same != markers.end()) {
        markers.erase(same);
        return;
    }
    const ZN_MarkerGroup group = ZN_MarkerGroupOf(name);
    if (ZN_MarkerIsExclusive(group)) {
        const auto rival = std::find_if(markers.begin(), markers.end(), [group](const std::string& m) {
            return ZN_MarkerGroupOf(m) == group;
        });
        if (rival != markers.end()) {
            *rival = std::string(name);
            // Files from elsewhere may hold two of a group; one is left.
            markers.erase(std::remove_if(rival + 1, markers.end(),
                                         [group](const std::string& m) {
                                             return ZN_MarkerGroupOf(m) == group;
                                         }),
                          markers.end());
            return;
        }
    }
    markers.emplace_back(name);
}

int toggleMarkerOn(const std::vector<ZN_ShapeBase*>& nodes, std::string_view name) {
    bool all = true;
    int holders = 0;
    for (const ZN_ShapeBase* n : nodes) {
        if (!holdsFields(n))
            continue;
        ++holders;
        const auto& m = n->getFields().markers;
        all = all && std::find(m.begin(), m.end(), name) != m.end();
    }
    if (holders == 0)
        return 0;
    int changed = 0;
    for (ZN_ShapeBase* n : nodes) {
        if (!holdsFields(n))
            continue;
        ZN_NodeFields f = n->getFields();
        const bool has = std::find(f.markers.begin(), f.markers.end(), name) != f.markers.end();
        if (has != all)
            continue;
        toggleMarker(f.markers, name);
        changed += setNodeFields(*n, std::move(f)) ? 1 : 0;
    }
    return changed;
}

LinkKind linkKind(std::string_view link) {
    if (link.empty())
        return LinkKind::None;
    if (!ZN_LinkedAnchor(link).empty())
        return LinkKind::Node;
    if (startsWithScheme(link, "http://") || startsWithScheme(link, "https://"))
        return LinkKind::Web;
    if (startsWithScheme(link, "mailto:"))
        return LinkKind::Mail;
    if (startsWithScheme(link, "file:"))
        return LinkKind::File;
    if (hasOtherScheme(link))
        return LinkKind::Unsupported;
    return LinkKind::File;
}

std::string normaliseLink(const QString& typed, QString* why) {
    const QString text = typed.trimmed();
    const auto refuse = [why](const char* reason) {
        if (why)
            *why = QString::fromUtf8(reason);
        return std::string();
    };
    if (text.isEmpty())
        return refuse("链接为空");
    if (text.contains('\n') || text.contains('\r'))
        return refuse("链接不能有换行");
    std::string link = text.toStdString();
    if (startsWithScheme(link, "www."))
        link = "https://" + link;
    if (link == "#")
        return refuse("链接为空");
    if (linkKind(link) == LinkKind::Unsupported)
        return refuse("只支持 http、https、mailto 和 file 链接或文件路径");
    return link;
}

QUrl linkTarget(std::string_view link, const QString& baseFolder) {
    const QString text = QString::fromUtf8(link.data(), static_cast<qsizetype>(link.size()));
    switch (linkKind(link)) {
    case LinkKind::Web:
    case LinkKind::Mail: {
        const QUrl url(text, QUrl::StrictMode);
        return url.isValid() && !url.scheme().isEmpty() ? url : QUrl();
    }
    case LinkKind::File:
        break;
    default:
        return QUrl();
    }
    if (startsWithScheme(link, "file:")) {
        const QUrl url(text, QUrl::StrictMode);
        return url.isValid() && url.isLocalFile() ? url : QUrl();
    }
    QString path = text;
    if (path.startsWith("~/"))
        path = QDir::homePath() + path.mid(1);
    if (QFileInfo(path).isRelative()) {
        // A relative path means nothing for a document that has no folder yet.
        if (baseFolder.isEmpty())
            return QUrl();
        path = QDir(baseFolder).filePath(path);
    }
    return QUrl::fromLocalFile(QDir::cleanPath(path));
}

AnchoredNode findAnchoredNode(const std::vector<ZN_ShapeManager*>& pages, std::string_view anchor) {
    if (anchor.empty())
        return {};
    for (std::size_t p = 0; p < pages.size(); ++p)
        for (ZN_ShapeBase* s : pages[p]->getShapeArray())
            if (s->hasFields() && s->getFields().anchor == anchor)
                return {static_cast<int>(p), s};
    return {};
}

std::string freshAnchor(const std::vector<ZN_ShapeManager*>& pages) {
    std::unordered_set<std::string> taken;
    for (const ZN_ShapeManager* page : pages)
        for (const ZN_ShapeBase* s : page->getShapeArray())
            if (s->hasFields() && !s->getFields().anchor.empty())
                taken.insert(s->getFields().anchor);
    for (std::size_t n = taken.size() + 1;; ++n) {
        std::string anchor = "ID_" + std::to_string(n);
        if (!taken.count(anchor))
            return anchor;
    }
}
