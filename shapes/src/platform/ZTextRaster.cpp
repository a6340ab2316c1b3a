#include "sarvik/platform/ZTextRaster.h"

#include "sarvik/platform/ZCodePage.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "FontCache.h"

namespace detail {
std::string windowsFontAliases();
}

using namespace detail::text;

ZTextAlign ZTextAlignFromCode(int code) {
    if (code == 1)
        return ZTextAlign::Left;
    if (code == 2)
        return ZTextAlign::Right;
    return ZTextAlign::Center;
}

bool ZTextBitmap::ink(int x, int yFromTop) const {
    if (x < 0 || yFromTop < 0 || x >= width || yFromTop >= height)
        return false;
    const std::size_t row = static_cast<std::size_t>(height - 1 - yFromTop);
    const std::size_t at = row * static_cast<std::size_t>(bytesPerRow()) + static_cast<std::size_t>(x / 8);
    return at < bits.size() && (bits[at] & (0x80 >> (x % 8))) != 0;
}

ZFontRequest ZFontRequestFrom(const LOGFONTA& font) {
    ZFontRequest r;
    const std::size_t len = strnlen(font.lfFaceName, LF_FACESIZE);
    r.family = ZCp936ToUtf8(std::string_view(font.lfFaceName, len));
    if (font.lfHeight == 0) {
        r.pixelHeight = kDefaultPixelHeight;
    } else {
        const std::int64_t h = font.lfHeight;
        r.pixelHeight = static_cast<int>(std::min<std::int64_t>(h < 0 ? -h : h, kMaxPixelHeight));
        r.heightIsCell = font.lfHeight > 0;
    }
    r.bold = font.lfWeight >= 600;
    r.italic = font.lfItalic != 0;
    r.underline = font.lfUnderline != 0;
    r.strikeOut = font.lfStrikeOut != 0;
    return r;
}

bool ZInitFonts() {
    Fonts& fonts = Fonts::instance();
    return fonts.initialised() && fonts.aliasesLoaded();
}

bool ZAddFontAliasesToCurrentConfig() {
    FcConfig* current = FcConfigGetCurrent();
    if (!current)
        return false;
    const std::string aliases = detail::windowsFontAliases();
    return FcConfigParseAndLoadFromMemory(current, reinterpret_cast<const FcChar8*>(aliases.c_str()),
                                          FcFalse) == FcTrue;
}

std::string ZMatchFontFile(const LOGFONTA& font) {
    Fonts& fonts = Fonts::instance();
    std::lock_guard guard(fonts.lock);
    return fonts.firstFile(font);
}

ZTextSize ZMeasureText(const LOGFONTA& font, std::string_view text) {
    Fonts& fonts = Fonts::instance();
    std::lock_guard guard(fonts.lock);
    fonts.trimGlyphs();
    const std::vector<std::u32string> lines = splitLines(text);
    if (lines.empty())
        return {};
    FontSet& set = *fonts.fontSet(font);
    std::int64_t widest = 0;
    for (const std::u32string& line : lines)
        widest = std::max(widest, layLine(fonts, set, line).width);
    const std::int64_t height = static_cast<std::int64_t>(lines.size()) * set.lineHeight();
    return {clampExtent(widest), clampExtent(height)};
}

std::shared_ptr<const ZTextBitmap> ZRasterText(const LOGFONTA& font, std::string_view text,
                                               int width, int height, ZTextAlign align, int overhang) {
    if (width <= 0 || height <= 0)
        return nullptr;
    overhang = std::max(overhang, 0);

    Fonts& fonts = Fonts::instance();
    std::lock_guard guard(fonts.lock);
    fonts.trimGlyphs();
    const std::vector<std::u32string> lines = splitLines(text);
    FontSet* fs = lines.empty() ? nullptr : fonts.fontSet(font);
    const int lineHeight = fs ? std::max(fs->lineHeight(), 1) : 1;

    // Each line that starts inside the height, placed within the width.
    struct Placed {
        LaidLine laid;
        std::int64_t x0 = 0;
        std::int64_t top = 0;
    };
    std::vector<Placed> placed;
    std::int64_t inkLeft = 0;
    std::int64_t inkRight = width;
    for (std::size_t i = 0; fs && i < lines.size(); ++i) {
        const std::int64_t lineTop = static_cast<std::int64_t>(i) * lineHeight;
        if (lineTop >= height)
            break;
        Placed p;
        p.laid = layLine(fonts, *fs, lines[i]);
        p.top = lineTop;
        if (align == ZTextAlign::Right)
            p.x0 = width - p.laid.width;
        else if (align == ZTextAlign::Center)
            p.x0 = (width - p.laid.width) / 2;
        if (overhang > 0) {
            // Ink past the width: side bearings, or a line laid out a little
            // wider than the width it was measured for.
            for (const PlacedGlyph& pg : p.laid.glyphs) {
                if (pg.glyph->width <= 0)
                    continue;
                const std::int64_t gx = p.x0 + pg.x + pg.glyph->left;
                inkLeft = std::min(inkLeft, gx);
                inkRight = std::max(inkRight, gx + pg.glyph->width);
            }
            if ((fs->underline || fs->strikeOut) && p.laid.width > 0) {
                inkLeft = std::min(inkLeft, p.x0);
                inkRight = std::max(inkRight, p.x0 + p.laid.width);
            }
        }
        placed.push_back(std::move(p));
    }
    const std::int64_t left = std::min<std::int64_t>(-inkLeft, overhang);
    const std::int64_t right = std::min<std::int64_t>(inkRight - width, overhang);
    const std::int64_t drawn = left + width + right;

    const std::int64_t width32 = (drawn + 31) / 32 * 32;
    const std::int64_t bytes = width32 / 8 * height;
    if (bytes > kMaxBitmapBytes)
        return nullptr;

    auto bitmap = std::make_shared<ZTextBitmap>();
    bitmap->width = static_cast<int>(width32);
    bitmap->height = height;
    bitmap->originX = static_cast<int>(left);
    bitmap->bits.assign(static_cast<std::size_t>(bytes), 0);
    const std::size_t stride = static_cast<std::size_t>(width32 / 8);
    // x is counted from the rectangle's left edge. Only the columns asked
    // for are drawn into; the padding columns stay clear.
    auto set = [&](std::int64_t x, std::int64_t yFromTop) {
        x += left;
        if (x < 0 || x >= drawn || yFromTop < 0 || yFromTop >= height)
            return;
        const std::size_t row = static_cast<std::size_t>(height - 1 - yFromTop);
        bitmap->bits[row * stride + static_cast<std::size_t>(x / 8)] |=
            static_cast<std::uint8_t>(0x80 >> (x % 8));
    };
    auto bar = [&](std::int64_t x0, std::int64_t x1, std::int64_t top, int thickness) {
        for (std::int64_t y = top; y < top + thickness; ++y)
            for (std::int64_t x = std::max<std::int64_t>(x0, -left);
                 x < std::min<std::int64_t>(x1, width + right); ++x)
                set(x, y);
    };

    for (const Placed& p : placed) {
        const std::int64_t baseline = p.top + fs->ascent;
        for (const PlacedGlyph& pg : p.laid.glyphs) {
            const Glyph& g = *pg.glyph;
            const std::int64_t gx = p.x0 + pg.x + g.left;
            if (gx >= width + right)
                break;
            if (gx + g.width <= -left)
                continue;
            const std::int64_t gy = baseline - g.top;
            for (int y = 0; y < g.rows; ++y) {
                const std::uint8_t* row = g.pixels.data() + static_cast<std::size_t>(y) * g.width;
                for (int x = 0; x < g.width; ++x)
                    if (row[x])
                        set(gx + x, gy + y);
            }
        }
        if (fs->underline)
            bar(p.x0, p.x0 + p.laid.width, baseline + fs->underlineTop, fs->underlineThickness);
        if (fs->strikeOut)
            bar(p.x0, p.x0 + p.laid.width, baseline - fs->strikeTop, fs->strikeThickness);
    }
    return bitmap;
}

namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string familyOf(const Font& font) {
    FcChar8* family = nullptr;
    if (FcPatternGetString(font.pattern, FC_FAMILY, 0, &family) != FcResultMatch || !family)
        return {};
    return reinterpret_cast<const char*>(family);
}

} // namespace

ZTextLayout ZLayoutText(const LOGFONTA& font, std::string_view text, int width, int height,
                        ZTextAlign align) {
    ZTextLayout layout;
    const ZFontRequest req = ZFontRequestFrom(font);
    layout.bold = req.bold;
    layout.italic = req.italic;
    layout.underline = req.underline;
    layout.strikeOut = req.strikeOut;

    Fonts& fonts = Fonts::instance();
    std::lock_guard guard(fonts.lock);
    fonts.trimGlyphs();
    FontSet& fs = *fonts.fontSet(font);
    layout.em = fs.em;
    layout.lineHeight = std::max(fs.lineHeight(), 1);
    std::vector<bool> used(fs.fonts.size(), false);
    if (!fs.fonts.empty())
        used[0] = true;
    const std::vector<std::u32string> lines = splitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::int64_t lineTop = static_cast<std::int64_t>(i) * layout.lineHeight;
        if (lineTop >= height)
            break;
        const LaidLine laid = layLine(fonts, fs, lines[i]);
        ZTextLine line;
        for (char32_t c : lines[i]) {
            if (c < 0x20 || c == 0x7F)
                continue;
            appendUtf8(line.text, c);
            if (!fs.fonts.empty())
                used[static_cast<std::size_t>(fontIndexFor(fs, c))] = true;
        }
        line.width = clampExtent(laid.width);
        std::int64_t x0 = 0;
        if (align == ZTextAlign::Right)
            x0 = width - laid.width;
        else if (align == ZTextAlign::Center)
            x0 = (width - laid.width) / 2;
        line.x = static_cast<int>(std::clamp<std::int64_t>(x0, -kMaxExtent, kMaxExtent));
        line.baseline = static_cast<int>(lineTop + fs.ascent);
        layout.lines.push_back(std::move(line));
    }
    for (std::size_t i = 0; i < fs.fonts.size(); ++i) {
        if (!used[i])
            continue;
        std::string family = familyOf(fs.fonts[i]);
        if (!family.empty() && std::find(layout.families.begin(), layout.families.end(), family) ==
                                   layout.families.end())
            layout.families.push_back(std::move(family));
    }
    return layout;
}
