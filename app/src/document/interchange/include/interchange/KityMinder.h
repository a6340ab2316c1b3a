#pragma once
// KityMinder (百度脑图) maps, ".km": JSON with one tree under "root", each
// node's "data" holding its text, note (Markdown), hyperlink, priority,
// progress, resource tags and picture (a URL or a data: URI); files of
// version 1.2 hold the tree without the "root" wrapper.

#include <QByteArray>

#include "interchange/MapTree.h"

namespace interchange {

bool readKityMinder(const QByteArray& bytes, MapDocument& out, ReadError& error);

// One tree: a sheet with several is put under a root named after it, marked
// so that reading it sets the trees free again. Pictures go inline.
QByteArray writeKityMinder(const MapSheet& sheet);

} // namespace interchange
