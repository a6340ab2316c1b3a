#include "interchange/MapTree.h"

#include <cctype>

namespace interchange {

namespace {

thread_local long tNodesLeft = -1; // -1: no budget in force

} // namespace

NodeBudget::NodeBudget(long most) : saved_(tNodesLeft) { tNodesLeft = most; }
NodeBudget::~NodeBudget() { tNodesLeft = saved_; }

int MapSheet::add(int parent, std::string text) {
    if (tNodesLeft >= 0 && tNodesLeft-- == 0)
        throw TooManyNodes{};
    const int index = static_cast<int>(nodes.size());
    MapNode node;
    node.text = std::move(text);
    node.parent = parent;
    nodes.push_back(std::move(node));
    if (parent < 0)
        roots.push_back(index);
    else
        nodes[static_cast<std::size_t>(parent)].children.push_back(index);
    return index;
}

void Skipped::add(const std::string& kind, int count) {
    if (count <= 0)
        return;
    for (auto& item : order_)
        if (item.first == kind) {
            item.second += count;
            return;
        }
    order_.emplace_back(kind, count);
}

int Skipped::count(const std::string& kind) const {
    for (const auto& item : order_)
        if (item.first == kind)
            return item.second;
    return 0;
}

int Skipped::total() const {
    int sum = 0;
    for (const auto& item : order_)
        sum += item.second;
    return sum;
}

int MapDocument::nodeCount() const {
    int sum = 0;
    for (const MapSheet& sheet : sheets)
        sum += static_cast<int>(sheet.nodes.size());
    return sum;
}

std::string groupedNumber(long value) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    std::string out;
    const int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += ' ';
        out += digits[static_cast<std::size_t>(i)];
    }
    return value < 0 ? "-" + out : out;
}

namespace {

std::string summary(const char* done, const char* notDone, int nodes, const Skipped& skipped) {
    std::string text = std::string(done) + " " + groupedNumber(nodes) + " 个节点";
    if (skipped.empty())
        return text;
    text += "；" + std::string(notDone) + "：";
    bool first = true;
    for (const auto& [kind, count] : skipped.items()) {
        if (!first)
            text += "、";
        first = false;
        text += groupedNumber(count) + " 个" + kind;
    }
    return text;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

std::string importSummary(int nodes, const Skipped& skipped, const std::string& encoding,
                          int cutLabels) {
    std::string text = summary("已导入", "未导入", nodes, skipped);
    if (!encoding.empty())
        text += "；文件未注明编码，按 " + encoding + " 读取";
    if (cutLabels > 0)
        text += "；" + groupedNumber(cutLabels) + " 个过长的标签只保留了前 " +
                std::to_string(kMostLabelBytes / 1024) + " KiB";
    return text;
}

std::string exportSummary(int nodes, const Skipped& skipped) {
    return summary("已导出", "未导出", nodes, skipped);
}

MapColour parseHexColour(const std::string& text) {
    MapColour colour;
    if (text.empty() || text[0] != '#' || (text.size() != 7 && text.size() != 4))
        return colour;
    const bool shortForm = text.size() == 4;
    int v[3];
    for (int i = 0; i < 3; ++i) {
        const int hi = hexDigit(text[static_cast<std::size_t>(shortForm ? 1 + i : 1 + 2 * i)]);
        const int lo = hexDigit(text[static_cast<std::size_t>(shortForm ? 1 + i : 2 + 2 * i)]);
        if (hi < 0 || lo < 0)
            return colour;
        v[i] = hi * 16 + lo;
    }
    colour.r = static_cast<std::uint8_t>(v[0]);
    colour.g = static_cast<std::uint8_t>(v[1]);
    colour.b = static_cast<std::uint8_t>(v[2]);
    colour.set = true;
    return colour;
}

std::string hexColour(const MapColour& colour) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out = "#";
    for (std::uint8_t v : {colour.r, colour.g, colour.b}) {
        out += kDigits[v >> 4];
        out += kDigits[v & 15];
    }
    return out;
}

} // namespace interchange
