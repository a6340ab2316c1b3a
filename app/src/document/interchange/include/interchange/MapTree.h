#pragma once
// The map as the interchange formats see it, apart from any page: trees of
// nodes with their texts, colours, fonts and folding, cross links between
// nodes, and a count of what a format carried that a page cannot show.

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <sarvik/ZN_NodeFields.h>

namespace interchange {

// An RGB colour in 0..255; `set` is false when the file gave none.
struct MapColour {
    std::uint8_t r = 0, g = 0, b = 0;
    bool set = false;
    bool operator==(const MapColour&) const = default;
};

// A picture shown in a node: the bytes of a PNG or JPEG file, and the size
// the file asks to show it at (0 when it gives none).
struct MapImage {
    std::string bytes;
    int width = 0;
    int height = 0;
    bool empty() const { return bytes.empty(); }
};

// The outline a file gives a node's box (Mermaid's node shapes); Default:
// the box an imported node gets anyway.
enum class MapShape { Default, Rectangle, Rounded, Circle, Bang, Cloud, Hexagon };

struct MapNode {
    std::string text; // UTF-8; lines joined by '\n'
    MapColour color;      // text colour
    MapColour background; // fill
    MapColour edgeColor;  // the branch from the parent
    int edgeWidth = 0;    // pixels; 0 when not given
    int fontSize = 0;     // points; 0 when not given
    bool bold = false;
    bool italic = false;
    bool folded = false;
    int side = 0;         // a child of a root: -1 left, +1 right, 0 not given
    std::string id;       // the file's id, for cross links and links to nodes
    // What a page keeps of a node beyond its box and label (ZN_NodeFields):
    // `fields.link` is a URL or path, or "#" + the id of the node it links to;
    // `fields.anchor` is left to the page builder, which takes it from `id`
    // where some link names it. `fields.layout` on a root is the layout the
    // file gives its tree (None: the importer chooses).
    ZN_NodeFields fields;
    MapImage image;
    MapShape shape = MapShape::Default;
    bool placed = false;  // a root the file places: at (x, y) from the first root's centre
    float x = 0.0f, y = 0.0f;
    int parent = -1;      // index into MapSheet::nodes; -1 for a tree's root
    std::vector<int> children;
};

struct MapLink {
    int from = -1;
    int to = -1;
    std::string title; // shown as the link's label
};

// One page's worth: several trees side by side, in file order.
struct MapSheet {
    std::string title;
    bool named = false; // the file names its sheets (workbooks): the page keeps the title
    std::vector<MapNode> nodes;
    std::vector<int> roots;
    std::vector<MapLink> links;

    // Appends a node under `parent` (-1 for a new tree) and returns its index.
    int add(int parent, std::string text);
};

// What was left out, by kind; the kinds are the message's own words
// ("备注", "图标", ...), in the order they were first met.
class Skipped {
public:
    void add(const std::string& kind, int count = 1);
    int count(const std::string& kind) const;
    int total() const;
    bool empty() const { return order_.empty(); }
    const std::vector<std::pair<std::string, int>>& items() const { return order_; }

private:
    std::vector<std::pair<std::string, int>> order_;
};

// Kinds of what a page cannot show.
inline constexpr const char* kNotes = "备注";
inline constexpr const char* kIcons = "图标";
inline constexpr const char* kAttributes = "属性";
inline constexpr const char* kClouds = "云形";
inline constexpr const char* kLinks = "链接";
inline constexpr const char* kMarkers = "标记";
inline constexpr const char* kImages = "图片";
inline constexpr const char* kLabels = "标签";
inline constexpr const char* kSummaries = "概要";
// Kinds of shapes that a format cannot hold, on export.
inline constexpr const char* kFreeTexts = "自由文本";
inline constexpr const char* kPoints = "点";
inline constexpr const char* kTables = "表格";
inline constexpr const char* kLines = "连线";

// Bounds no real map reaches; a file past them is refused (nodes, depth) or
// has its longest texts cut (labels), which the import message says.
inline constexpr int kMostNodes = 500000;
inline constexpr int kMostDepth = 100000;
inline constexpr std::size_t kMostLabelBytes = 64 * 1024;

struct MapDocument {
    std::vector<MapSheet> sheets;
    Skipped skipped;
    std::string encoding; // the encoding taken for a file that does not say its own
    int cutLabels = 0;    // labels cut to kMostLabelBytes
    int nodeCount() const;
};

// Thrown by MapSheet::add while a NodeBudget is in force and spent.
struct TooManyNodes {};

// While one lives on this thread, MapSheet::add counts the nodes it adds
// and throws TooManyNodes past `most`: a reader is stopped before a file of
// millions of tiny nodes takes all memory.
class NodeBudget {
public:
    explicit NodeBudget(long most);
    ~NodeBudget();
    NodeBudget(const NodeBudget&) = delete;
    NodeBudget& operator=(const NodeBudget&) = delete;

private:
    long saved_;
};

// "1 516": thousands set apart by a space.
std::string groupedNumber(long value);
// "已导入 1 516 个节点；未导入：12 个备注、40 个图标" (no second half when
// nothing was left out), and what else the reader did to the file's texts:
// the encoding it assumed, labels it cut.
std::string importSummary(int nodes, const Skipped& skipped, const std::string& encoding = {},
                          int cutLabels = 0);
// "已导出 30 个节点；未导出：2 个自由文本".
std::string exportSummary(int nodes, const Skipped& skipped);

// Why a file could not be read: its line (1-based; 0 when no line applies).
struct ReadError {
    int line = 0;
    std::string reason;
    // The reader ran out of memory (the map itself may be sound).
    bool outOfMemory = false;
};

// A colour written "#rrggbb" (or "#rgb"); unset when it is not one.
MapColour parseHexColour(const std::string& text);
std::string hexColour(const MapColour& colour);

} // namespace interchange
