#pragma once
// What the formats share in carrying a node's note, link, markers and
// picture: the names other programs give the markers, pictures by file or
// inline, and the marks that let a written map read back as the same trees.

#include <QByteArray>

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "interchange/MapTree.h"

namespace interchange {

// The programs whose marker (icon) names differ from ours.
enum class MarkerDialect { FreeMind, XMind };

// Our marker for a peer's icon or marker name; a name with no counterpart is
// kept as it is.
std::string markerFromPeer(MarkerDialect dialect, std::string_view name);
// The peer's name for one of our markers; empty when the peer has none (the
// writer then keeps the name in the peer's own way, or leaves it out).
std::string markerForPeer(MarkerDialect dialect, std::string_view marker);

// "png" or "jpeg" for bytes that start as such a file; empty otherwise.
std::string imageKind(const QByteArray& bytes);
// The pixel size a PNG or JPEG file states in its header; false when it
// states none that can be found.
bool imagePixelSize(const std::string& bytes, int& width, int& height);
// A picture the file gives inline as a "data:" URI of a PNG or JPEG file.
bool imageFromDataUri(const std::string& uri, MapImage& out);
std::string dataUriOf(const MapImage& image);

// The most a picture file read beside a map may hold.
inline constexpr qsizetype kMostImageBytes = 32 * 1024 * 1024;

// Reads a picture that a map names by a relative path or a file: URL,
// resolved against `folder` (the map's own folder). Only local PNG and JPEG
// files are read; false for anything else, and when `folder` is empty.
bool loadImageBeside(const std::string& folder, const std::string& reference, MapImage& out);

// Each line of `text` in turn (a text without a line break is one line),
// joined again by '\n' from what `line` makes of each.
template <class Line> std::string mapLines(std::string_view text, Line line) {
    std::string out;
    std::size_t from = 0;
    while (from <= text.size()) {
        const std::size_t end = std::min(text.find('\n', from), text.size());
        if (from > 0)
            out += '\n';
        out += line(text.substr(from, end - from));
        from = end + 1;
    }
    return out;
}

// Texts that a line-based format cannot hold as they are. An empty label,
// or an empty line of a label, is written as a zero-width space, which every
// reader shows as empty where a blank line would not survive.
inline constexpr std::string_view kEmptyLabel = "\u200B";
std::string labelForLine(const std::string& text);
std::string labelFromLine(std::string text);

// The root a writer makes up when a format holds only one tree and the
// sheet has several: it carries this mark, and a reader that finds it sets
// the trees free again.
inline constexpr std::string_view kMadeUpRootMark = "tavlo-several-trees";
// A sheet with exactly one root: `sheet` itself when it has one, else
// `storage` made from it, where several trees became children of a new root
// named after the sheet, which `marked` marks.
const MapSheet& withOneRoot(const MapSheet& sheet, MapSheet& storage,
                            const std::function<void(MapNode&)>& marked);
// Undoes withOneRoot for a root that `isMark` recognises.
void freeMadeUpRoot(MapSheet& sheet, const std::function<bool(const MapNode&)>& isMark);

// The nodes' fields that a format cannot write, counted by kind, for the
// export's summary.
enum class FieldSupport : unsigned {
    None = 0,
    Note = 1,
    Link = 2,
    Markers = 4,
    Attributes = 8,
    Picture = 16,
    NodeLink = 32, // a link to another node ("#id"), besides URLs and paths
};
void countUnwritten(const MapSheet& sheet, unsigned supported, Skipped& skipped);

// `text` as a JSON string, quotes included.
std::string jsonString(std::string_view text);

// The nodes of a sheet by their ids and anchors, for resolving "#id" links.
class AnchorIndex {
public:
    explicit AnchorIndex(const MapSheet& sheet);
    // The node a "#key" link names; -1 for URLs, paths and unknown keys.
    int find(std::string_view link) const;

private:
    std::unordered_map<std::string, int> byKey_;
};

} // namespace interchange
