#pragma once
// Outlines: OPML 2.0 (nested <outline text=...> in <body>, with _note, url
// and the head's expansionState), Markdown (ATX headings, then list items
// nested under them; a link in a node's text is its link, the paragraphs,
// code and tables below it its note; markmap's settings and fold marks) and
// indented text (one node a line, the depth given by leading tabs or by a
// steady number of spaces). Each holds one sheet whose top-level items are
// several trees.

#include <QByteArray>

#include "interchange/MapTree.h"

namespace interchange {

// The deepest level indented text and Markdown lists write: their depth is
// their indentation, so a deeper map would write mostly white space (a chain
// of n levels, n²/2 characters). Exports refuse such maps.
inline constexpr int kMostOutlineDepth = 256;

bool readOpml(const QByteArray& bytes, MapDocument& out, ReadError& error);
QByteArray writeOpml(const MapSheet& sheet);

bool readMarkdown(const QByteArray& bytes, MapDocument& out, ReadError& error);
QByteArray writeMarkdown(const MapSheet& sheet);

bool readIndentedText(const QByteArray& bytes, MapDocument& out, ReadError& error);
QByteArray writeIndentedText(const MapSheet& sheet);

// Text bytes as UTF-8: UTF-8 (with or without a byte order mark) as it is,
// UTF-16 and UTF-32 by their byte order mark, anything else as decodeText
// takes it (GB18030, which also holds code page 936, or Latin-1), named in
// `assumed`.
std::string decodePlainText(const QByteArray& bytes, std::string* assumed = nullptr);

// A text file's characters as UTF-8 with its lines ended by LF alone; false,
// with the line, for a file holding a NUL character, which is not text.
bool readTextFile(const QByteArray& bytes, std::string& text, std::string* assumed, ReadError& error);

// Calls `visit(node, depth)` for each node of the sheet in pre-order, without
// recursion.
template <class Visit> void walkSheet(const MapSheet& sheet, Visit visit) {
    std::vector<std::pair<int, int>> stack;
    for (auto it = sheet.roots.rbegin(); it != sheet.roots.rend(); ++it)
        stack.emplace_back(*it, 0);
    while (!stack.empty()) {
        const auto [node, depth] = stack.back();
        stack.pop_back();
        visit(node, depth);
        const auto& kids = sheet.nodes[static_cast<std::size_t>(node)].children;
        for (auto it = kids.rbegin(); it != kids.rend(); ++it)
            stack.emplace_back(*it, depth + 1);
    }
}

} // namespace interchange
