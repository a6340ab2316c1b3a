#pragma once
// What a node holds beyond its label and its look: a note, a link, markers,
// attributes, the key other nodes link to it by, and the layout of the tree
// it roots. A shape shares its fields with its copies (snapshots, clipboard)
// until one of them is given new ones, so copying a page costs no more for
// them than one count per shape that has any.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct ZN_Attribute {
    std::string name;
    std::string value;
    bool operator==(const ZN_Attribute&) const = default;
};

// How a tree is laid out when it is laid out again (after a fold, an added
// node, a resize); None: it keeps its hand-made positions.
enum class ZN_Layout : std::int32_t {
    None = 0,
    MindMap = 1,    // 思维导图: children split left and right of the root
    LogicRight = 2, // 向右逻辑图
    LogicLeft = 3,  // 向左逻辑图
    OrgChart = 4,   // 组织结构图: children below, centred
    TreeChart = 5,  // 目录树: children below and indented, one per row
};

// A record of the file's extension block that this program does not know,
// kept so that it is written back unchanged.
struct ZN_UnknownRecord {
    std::uint32_t tag = 0;
    std::string bytes;
    bool operator==(const ZN_UnknownRecord&) const = default;
};

struct ZN_NodeFields {
    std::string note;                     // plain text; lines joined by '\n'
    std::string link;                     // a URL or a file path, or "#" + another node's anchor
    std::vector<std::string> markers;     // in order: names from ZN_Markers.h or a peer's icon name
    std::vector<ZN_Attribute> attributes; // in order; names may repeat
    std::string anchor;                   // this node's key, for links to it ("#" + anchor)
    ZN_Layout layout = ZN_Layout::None;   // on a tree's root
    std::vector<ZN_UnknownRecord> unknown;
    // On a connector: it is a cross link between two nodes of the map, not a
    // branch of a tree. Walks down a tree and folding pass it by.
    bool crossLink = false;

    bool empty() const {
        return note.empty() && link.empty() && markers.empty() && attributes.empty() &&
               anchor.empty() && layout == ZN_Layout::None && !crossLink && unknown.empty();
    }
    bool operator==(const ZN_NodeFields&) const = default;
};

// The node a link names, when it names one: "#key" gives "key"; empty for
// URLs, paths and no link.
inline std::string_view ZN_LinkedAnchor(std::string_view link) {
    return link.size() > 1 && link.front() == '#' ? link.substr(1) : std::string_view{};
}

// Immutable once made; shapes hold it shared.
using ZN_SharedFields = std::shared_ptr<const ZN_NodeFields>;
