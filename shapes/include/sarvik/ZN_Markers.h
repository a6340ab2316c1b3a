#pragma once
// The markers a node can show before its label. Each has a name, which is
// what files keep; a name outside this set (another program's icon) is kept
// as it is and drawn as a plain tag that shows the name.

#include <string>
#include <string_view>
#include <vector>

enum class ZN_MarkerGroup {
    Priority, // "priority-1" .. "priority-9"
    Progress, // "progress-0", "-25", "-50", "-75", "-100"
    Task,     // "task-done", "task-undone"
    Flag,     // "flag-red", "flag-orange", "flag-yellow", "flag-green", "flag-blue", "flag-purple"
    Symbol,   // "star", "question", "idea", "warning"
    Other,    // any other name
};

struct ZN_MarkerInfo {
    std::string_view name;
    ZN_MarkerGroup group;
    std::string_view title; // as menus and tooltips show it
};

// The fixed set, in menu order.
const std::vector<ZN_MarkerInfo>& ZN_MarkerSet();
// The group of a name; Other for names outside the set.
ZN_MarkerGroup ZN_MarkerGroupOf(std::string_view name);
// What a menu or tooltip shows for a name: the set's title, or the name itself.
std::string ZN_MarkerTitle(std::string_view name);
// Within Priority, Progress, Task and Flag a node shows at most one marker:
// setting one replaces the other of its group. Symbols and other names add.
bool ZN_MarkerIsExclusive(ZN_MarkerGroup group);
