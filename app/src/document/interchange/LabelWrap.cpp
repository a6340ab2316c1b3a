#include "interchange/LabelWrap.h"

#include <cstdint>
#include <vector>

namespace interchange {

namespace {

struct Glyph {
    std::size_t begin = 0; // bytes of the character in the text
    std::size_t end = 0;
    char32_t code = 0;
};

// Reads one UTF-8 character at `at`; a byte that starts none counts alone.
Glyph nextGlyph(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char b = byte(at);
    int extra = 0;
    char32_t code = b;
    if (b >= 0xf0 && b < 0xf8) {
        extra = 3;
        code = b & 0x07;
    } else if (b >= 0xe0) {
        extra = b < 0xf0 ? 2 : 0;
        code = b & 0x0f;
    } else if (b >= 0xc0) {
        extra = 1;
        code = b & 0x1f;
    }
    if (at + static_cast<std::size_t>(extra) >= text.size())
        extra = 0; // cut short at the end
    for (int k = 1; k <= extra; ++k) {
        const unsigned char c = byte(at + static_cast<std::size_t>(k));
        if ((c & 0xc0) != 0x80)
            return {at, at + 1, b};
        code = (code << 6) | (c & 0x3f);
    }
    return {at, at + 1 + static_cast<std::size_t>(extra), extra ? code : b};
}

bool isWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115f) || (c >= 0x2e80 && c <= 0xa4cf) ||
           (c >= 0xac00 && c <= 0xd7a3) || (c >= 0xf900 && c <= 0xfaff) ||
           (c >= 0xfe30 && c <= 0xfe4f) || (c >= 0xff00 && c <= 0xff60) ||
           (c >= 0xffe0 && c <= 0xffe6) || (c >= 0x20000 && c <= 0x3fffd);
}

// Punctuation that may not begin a line.
bool closes(char32_t c) {
    static const char32_t kClosing[] = {U'，', U'。', U'、', U'！', U'？', U'；', U'：', U'）',
                                        U'」', U'』', U'】', U'》', U'〉', U'…', U'·', U'’',
                                        U'”', U',', U'.', U'!', U'?', U';', U':', U')'};
    for (char32_t k : kClosing)
        if (c == k)
            return true;
    return false;
}

// Punctuation that may not end a line.
bool opens(char32_t c) {
    static const char32_t kOpening[] = {U'（', U'「', U'『', U'【', U'《', U'〈', U'‘', U'“', U'('};
    for (char32_t k : kOpening)
        if (c == k)
            return true;
    return false;
}

void wrapLine(const std::string& text, std::size_t begin, std::size_t end, int columns,
              std::string& out) {
    std::vector<Glyph> line;
    int width = 0;
    const auto flush = [&](std::size_t upto, std::size_t resume) {
        // Emits glyphs [0, upto) less trailing spaces, keeps [resume, ...).
        std::size_t last = upto;
        while (last > 0 && line[last - 1].code == U' ')
            --last;
        for (std::size_t i = 0; i < last; ++i)
            out.append(text, line[i].begin, line[i].end - line[i].begin);
        out += '\n';
        line.erase(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(resume));
        while (!line.empty() && line.front().code == U' ')
            line.erase(line.begin());
        width = 0;
        for (const Glyph& g : line)
            width += isWide(g.code) ? 2 : 1;
    };
    for (std::size_t at = begin; at < end;) {
        const Glyph g = nextGlyph(text, at);
        at = g.end;
        line.push_back(g);
        width += isWide(g.code) ? 2 : 1;
        if (width <= columns)
            continue;
        // Over the width: break at the last place that allows it, before the
        // glyph that overflowed at the latest.
        std::size_t cut = 0;
        for (std::size_t i = line.size() - 1; i > 0; --i) {
            const char32_t before = line[i - 1].code;
            const char32_t after = line[i].code;
            const bool space = before == U' ' || after == U' ';
            const bool wide =
                (isWide(before) || isWide(after)) && !closes(after) && !opens(before);
            if (space || wide) {
                cut = i;
                break;
            }
        }
        if (cut == 0)
            cut = line.size() - 1; // one word longer than a line
        flush(cut, cut);
    }
    for (const Glyph& g : line)
        out.append(text, g.begin, g.end - g.begin);
}

} // namespace

std::string wrapLabel(const std::string& text, int columns) {
    if (columns < 2 || text.size() <= static_cast<std::size_t>(columns) / 2)
        return text;
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    std::size_t begin = 0;
    while (begin <= text.size()) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos)
            end = text.size();
        wrapLine(text, begin, end, columns, out);
        if (end == text.size())
            break;
        out += '\n';
        begin = end + 1;
    }
    return out;
}

} // namespace interchange
