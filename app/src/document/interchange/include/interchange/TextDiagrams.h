#pragma once
// Mind maps written as text for diagram tools: Mermaid's "mindmap" (".mmd";
// indentation gives the tree, brackets the node's shape, "::icon(...)" a
// marker) and PlantUML's "@startmindmap" (".puml"; the number of "*", "+"
// or "-" gives the depth, "+" and "-" the side, "[#colour]" the fill,
// ":...;" a text of several lines).

#include <QByteArray>

#include <string_view>

#include "interchange/MapTree.h"

namespace interchange {

bool readMermaid(const QByteArray& bytes, MapDocument& out, ReadError& error);
QByteArray writeMermaid(const MapSheet& sheet);

// The trees of a Mermaid mind map's text (a ```mermaid block of a Markdown
// file), added under `parent` (-1: as trees of their own). False when the
// text is not a mind map.
bool addMermaidTrees(std::string_view text, MapSheet& sheet, int parent);

bool readPlantUml(const QByteArray& bytes, MapDocument& out, ReadError& error);
QByteArray writePlantUml(const MapSheet& sheet);

// Both hold one tree: the root a writer makes up for several carries this
// comment, and so the reader knows to leave it out.
inline constexpr std::string_view kMadeUpRootComment = "tavlo-several-trees";

// Deeper nodes are written at this depth, so that a long chain does not
// make a file of mostly indentation.
inline constexpr int kMostDiagramDepth = 256;

} // namespace interchange
