#pragma once
// XMind workbooks, ".xmind": a zip holding content.json (XMind 2020 and
// later: sheets, each a root topic with attached, detached and summary
// children, relationships and folded branches) or, in XMind 8's files,
// content.xml. When content.json is there it wins: such files also carry a
// stub content.xml. Each sheet becomes a sheet named by its title. Written,
// a workbook holds both contents, so that XMind 8 and later open it alike.

#include <QByteArray>

#include <vector>

#include "interchange/MapTree.h"
#include "interchange/XMindFields.h"

namespace interchange {

// The most a zip entry may hold once inflated, and the most it may grow by.
inline constexpr std::uint64_t kMostEntryBytes = 64u * 1024 * 1024;
inline constexpr std::uint64_t kMostInflation = 200;

bool readXMind(const QByteArray& bytes, MapDocument& out, ReadError& error);

// Kept apart for testing: the two contents without their zip; pictures come
// from `entries`.
bool readXMindJson(const QByteArray& json, MapDocument& out, ReadError& error,
                   const ArchiveEntries& entries = {});
bool readXMindXml(const QByteArray& xml, MapDocument& out, ReadError& error,
                  const ArchiveEntries& entries = {});

// A workbook of the sheets, one sheet each, named by their titles.
QByteArray writeXMind(const std::vector<MapSheet>& sheets);
// Its two contents, kept apart for testing; `pictures` gets each node's
// picture entry name ("resources/…"), empty for a node without one.
QByteArray xmindContentJson(const std::vector<MapSheet>& sheets,
                            const std::vector<std::vector<std::string>>& pictures);
QByteArray xmindContentXml(const std::vector<MapSheet>& sheets,
                           const std::vector<std::vector<std::string>>& pictures);

} // namespace interchange
