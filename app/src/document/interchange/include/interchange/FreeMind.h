#pragma once
// FreeMind (0.8 to 1.1) and Freeplane 1.x maps, ".mm": nested <node>
// elements under <map>, read with their texts (plain or HTML), colours, font,
// edge, folding, side, cross links, notes, links, icons, attributes and
// pictures; written in the form Freeplane opens as its own and FreeMind
// reads as well.

#include <QByteArray>

#include <string>
#include <vector>

#include "interchange/MapTree.h"

namespace interchange {

// One sheet; false with `error` set when the bytes are not such a map.
// Pictures are read from files relative to `folder`, the map's folder (none
// when it is empty).
bool readFreeMind(const QByteArray& bytes, MapDocument& out, ReadError& error,
                  const std::string& folder = {});

// A picture a map refers to, as a file beside it.
struct MapFile {
    std::string path; // relative to the map's folder, '/' between names
    QByteArray bytes;
};

// A map with one root: a sheet with several trees is put under a root named
// after the sheet, marked so that reading it sets the trees free again.
// Pictures go into `pictureFolder` (relative to the map), one file each,
// appended to `pictures`; without `pictures` they are left out.
QByteArray writeFreeMind(const MapSheet& sheet, const std::string& pictureFolder = {},
                         std::vector<MapFile>* pictures = nullptr);

// `text` escaped for an XML attribute in double quotes, every character
// outside ASCII as a character reference so that any reader decodes it alike.
std::string xmlAttribute(const std::string& text);

} // namespace interchange
