#include <sarvik/ZN_Markers.h>

const std::vector<ZN_MarkerInfo>& ZN_MarkerSet() {
    static const std::vector<ZN_MarkerInfo> set = {
        {"priority-1", ZN_MarkerGroup::Priority, "优先级 1"},
        {"priority-2", ZN_MarkerGroup::Priority, "优先级 2"},
        {"priority-3", ZN_MarkerGroup::Priority, "优先级 3"},
        {"priority-4", ZN_MarkerGroup::Priority, "优先级 4"},
        {"priority-5", ZN_MarkerGroup::Priority, "优先级 5"},
        {"priority-6", ZN_MarkerGroup::Priority, "优先级 6"},
        {"priority-7", ZN_MarkerGroup::Priority, "优先级 7"},
        {"priority-8", ZN_MarkerGroup::Priority, "优先级 8"},
        {"priority-9", ZN_MarkerGroup::Priority, "优先级 9"},
        {"progress-0", ZN_MarkerGroup::Progress, "进度 0%"},
        {"progress-25", ZN_MarkerGroup::Progress, "进度 25%"},
        {"progress-50", ZN_MarkerGroup::Progress, "进度 50%"},
        {"progress-75", ZN_MarkerGroup::Progress, "进度 75%"},
        {"progress-100", ZN_MarkerGroup::Progress, "进度 100%"},
        {"task-done", ZN_MarkerGroup::Task, "已完成"},
        {"task-undone", ZN_MarkerGroup::Task, "未完成"},
        {"flag-red", ZN_MarkerGroup::Flag, "红旗"},
        {"flag-orange", ZN_MarkerGroup::Flag, "橙旗"},
        {"flag-yellow", ZN_MarkerGroup::Flag, "黄旗"},
        {"flag-green", ZN_MarkerGroup::Flag, "绿旗"},
        {"flag-blue", ZN_MarkerGroup::Flag, "蓝旗"},
        {"flag-purple", ZN_MarkerGroup::Flag, "紫旗"},
        {"star", ZN_MarkerGroup::Symbol, "星标"},
        {"question", ZN_MarkerGroup::Symbol, "疑问"},
        {"idea", ZN_MarkerGroup::Symbol, "想法"},
        {"warning", ZN_MarkerGroup::Symbol, "警告"},
    };
    return set;
}

ZN_MarkerGroup ZN_MarkerGroupOf(std::string_view name) {
    for (const ZN_MarkerInfo& info : ZN_MarkerSet())
        if (info.name == name)
            return info.group;
    return ZN_MarkerGroup::Other;
}

std::string ZN_MarkerTitle(std::string_view name) {
    for (const ZN_MarkerInfo& info : ZN_MarkerSet())
        if (info.name == name)
            return std::string(info.title);
    return std::string(name);
}

bool ZN_MarkerIsExclusive(ZN_MarkerGroup group) {
    return group != ZN_MarkerGroup::Symbol && group != ZN_MarkerGroup::Other;
}
