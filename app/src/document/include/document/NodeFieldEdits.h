#pragma once
// Edits of what a node holds beyond its label (ZN_NodeFields.h): the note
// panel, the link dialog and the marker commands go through these, so that a
// box makes room for its markers and its connectors follow it. None of them
// takes an undo snapshot; the callers do, once per step.

#include <string>
#include <string_view>
#include <vector>

#include <QString>
#include <QUrl>

#include <sarvik/ZN_NodeFields.h>

class ZN_ShapeBase;
class ZN_ShapeManager;

// Whether `shape` can hold and show fields: a box of any outline.
bool holdsFields(const ZN_ShapeBase* shape);

// Gives `node` these fields; a box grows to make room for its markers as it
// does for a longer label. False (and nothing done) when they are the ones it
// has already.
bool setNodeFields(ZN_ShapeBase& node, ZN_NodeFields fields);

// `markers` with `name` taken out when it is there, or put in when it is
// not; within an exclusive group (priority, progress, task, flag) the one it
// replaces gives it its place.
void toggleMarker(std::vector<std::string>& markers, std::string_view name);

// Toggles `name` on every node of `nodes` that holds fields: when all of them
// have it, it goes from all; otherwise the others are given it. The number of
// nodes changed.
int toggleMarkerOn(const std::vector<ZN_ShapeBase*>& nodes, std::string_view name);

// What a link names.
enum class LinkKind { None, Node, Web, Mail, File, Unsupported };
LinkKind linkKind(std::string_view link);

// The link as typed into the link dialog, made ready to keep: trimmed, and a
// bare "www." address given "https://". Empty when it cannot be a link (a
// scheme other than http, https, mailto and file, or a line break); then
// `why` says so.
std::string normaliseLink(const QString& typed, QString* why = nullptr);

// Where a web, mail or file link goes, a relative path taken from the folder
// `baseFolder` (the document's); an invalid URL when it goes nowhere that may
// be opened.
QUrl linkTarget(std::string_view link, const QString& baseFolder);

// A node of the document found by its anchor: its page's index and itself.
struct AnchoredNode {
    int page = -1;
    ZN_ShapeBase* shape = nullptr;
};
AnchoredNode findAnchoredNode(const std::vector<ZN_ShapeManager*>& pages, std::string_view anchor);

// An anchor that no node of `pages` has yet.
std::string freshAnchor(const std::vector<ZN_ShapeManager*>& pages);
