#pragma once
// What XMind keeps of a topic beyond its title and style, in both of its
// contents: notes, links, markers and labels, pictures from the archive and
// the structure of a sheet's tree.

#include <QJsonObject>
#include <QString>

#include <functional>
#include <string>

#include "interchange/MapTree.h"

namespace interchange {

// The bytes of an archive entry ("resources/x.png"); empty when there is
// none or it may not be read.
using ArchiveEntries = std::function<QByteArray(const std::string& entry)>;

// A topic's notes, href, markers, labels and image (content.json).
void readTopicFields(const QJsonObject& topic, MapNode& node, const ArchiveEntries& entries,
                     Skipped& skipped);

// The markers that mark topics XMind attaches to others without being their
// children (summaries and callouts), so that a page keeps them as nodes.
inline constexpr const char* kSummaryMarker = "summary";
inline constexpr const char* kCalloutMarker = "callout";

// "xmind:#id" links to a topic; other links are kept as they are.
std::string linkFromHref(const QString& href);
// A picture named "xap:resources/x.png" in the archive.
bool readArchiveImage(const QString& src, const ArchiveEntries& entries, MapImage& image);
// A marker (marker-id) or a label, whichever XMind knows it as.
void addXMindMarker(const QString& markerId, MapNode& node);

// The tree's layout for a structure class, and back.
ZN_Layout layoutOfStructure(const QString& structureClass);
std::string structureOfLayout(ZN_Layout layout);

} // namespace interchange
