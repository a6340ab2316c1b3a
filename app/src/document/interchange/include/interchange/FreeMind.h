#pragma once
// FreeMind (0.8 to 1.1) and Freeplane 1.x maps, ".mm": nested <node>
// elements under <map>, read with their texts (plain or HTML), colours, font,
// edge, folding, side and cross links; written in FreeMind 1.0.1's form,
// which both programs open.

#include <QByteArray>

#include "interchange/MapTree.h"

namespace interchange {

// One sheet; false with `error` set when the bytes are not such a map.
bool readFreeMind(const QByteArray& bytes, MapDocument& out, ReadError& error);

// A map with one root: a sheet with several trees is put under a root named
// after the sheet.
QByteArray writeFreeMind(const MapSheet& sheet);

// `text` escaped for an XML attribute in double quotes, every character
// outside ASCII as a character reference so that any reader decodes it alike.
std::string xmlAttribute(const std::string& text);

} // namespace interchange
