#pragma once
// XMind workbooks, ".xmind": a zip holding content.json (XMind 2020 and
// later: sheets, each a root topic with attached, detached and summary
// children, relationships and folded branches) or, in XMind 8's files,
// content.xml. When content.json is there it wins: such files also carry a
// stub content.xml. Each sheet becomes a sheet named by its title.

#include <QByteArray>

#include "interchange/MapTree.h"

namespace interchange {

// The most a zip entry may hold once inflated, and the most it may grow by.
inline constexpr std::uint64_t kMostEntryBytes = 64u * 1024 * 1024;
inline constexpr std::uint64_t kMostInflation = 200;

bool readXMind(const QByteArray& bytes, MapDocument& out, ReadError& error);

// Kept apart for testing: the two contents without their zip.
bool readXMindJson(const QByteArray& json, MapDocument& out, ReadError& error);
bool readXMindXml(const QByteArray& xml, MapDocument& out, ReadError& error);

} // namespace interchange
