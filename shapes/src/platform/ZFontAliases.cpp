// Fontconfig aliases for the Windows family names that documents carry in
// their font records, so that they find a similar installed font.

#include <string>

namespace detail {

std::string windowsFontAliases();

namespace {

struct Alias {
    const char* windowsName;
    const char* preferred; // families in order, separated by '|'
};

constexpr const char* kSerif = "Liberation Serif|DejaVu Serif";
constexpr const char* kSans = "Liberation Sans|DejaVu Sans";
constexpr const char* kMono = "Liberation Mono|DejaVu Sans Mono";
constexpr const char* kChinese = "WenQuanYi Zen Hei";
constexpr const char* kChineseMono = "WenQuanYi Zen Hei Mono|WenQuanYi Zen Hei";

constexpr Alias kAliases[] = {
    {"Times New Roman", kSerif}, {"Georgia", kSerif},        {"Arial", kSans},
    {"Courier New", kMono},      {"MS Shell Dlg", kSans},    {"MS Shell Dlg 2", kSans},
    {"MS Sans Serif", kSans},    {"Microsoft Sans Serif", kSans}, {"Tahoma", kSans},
    {"Verdana", kSans},          {"Segoe UI", kSans},        {"System", kSans},
    {"SimSun", kChinese},        {"宋体", kChinese},          {"SimHei", kChinese},
    {"黑体", kChinese},           {"Microsoft YaHei", kChinese}, {"微软雅黑", kChinese},
    {"KaiTi", kChinese},         {"楷体", kChinese},          {"楷体_GB2312", kChinese},
    {"FangSong", kChinese},      {"仿宋", kChinese},          {"仿宋_GB2312", kChinese},
    {"LiSu", kChinese},          {"隶书", kChinese},          {"YouYuan", kChinese},
    {"幼圆", kChinese},           {"NSimSun", kChineseMono},  {"新宋体", kChineseMono},
};

} // namespace

std::string windowsFontAliases() {
    std::string xml = "<?xml version=\"1.0\"?>\n<fontconfig>\n";
    for (const Alias& alias : kAliases) {
        xml += "  <alias binding=\"same\">\n    <family>";
        xml += alias.windowsName;
        xml += "</family>\n    <prefer>";
        const std::string preferred = alias.preferred;
        std::size_t start = 0;
        while (start <= preferred.size()) {
            std::size_t end = preferred.find('|', start);
            if (end == std::string::npos)
                end = preferred.size();
            xml += "<family>" + preferred.substr(start, end - start) + "</family>";
            start = end + 1;
        }
        xml += "</prefer>\n  </alias>\n";
    }
    xml += "</fontconfig>\n";
    return xml;
}

} // namespace detail
