#pragma once
// The font machinery behind the text rasteriser: fontconfig fallback lists per
// request, FreeType faces, a cache of monochrome glyphs, and the layout of one
// line of text. Every use holds Fonts::lock.

#include "sarvik/platform/LOGFONTA.h"
#include "sarvik/platform/ZTextRaster.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace detail::text {

constexpr int kDefaultPixelHeight = 16; // what a height of 0 ("any size") gets
constexpr int kMaxPixelHeight = 2048;   // larger requests come from damaged records
constexpr std::int64_t kMaxBitmapBytes = 64LL << 20;
constexpr std::int64_t kMaxGlyphCacheBytes = 64LL << 20;
constexpr std::size_t kMaxFontSets = 64;
constexpr std::size_t kMaxFontsPerSet = 32;
constexpr std::int64_t kMaxExtent = 1 << 30;

// A rendered glyph: one byte per pixel (0 or 1), rows top-down.
struct Glyph {
    int left = 0; // from the pen position to the first column
    int top = 0;  // from the baseline up to the first row
    int width = 0;
    int rows = 0;
    int advance = 0;
    std::vector<std::uint8_t> pixels;
};

struct Face {
    FT_Face face = nullptr;
    int em = 0; // pixel size currently set on the face
};

// One font of a request's fallback list.
struct Font {
    FcPattern* pattern = nullptr; // prepared for rendering; owns the charset below
    FcCharSet* charset = nullptr;
    Face* face = nullptr; // null until first used or when the file cannot be opened
    bool faceTried = false;
    bool embolden = false;
    bool transform = false;
    FT_Matrix matrix{};
};

// Everything a request needs to lay out text: its fonts in fallback order and
// the line metrics of the first of them.
struct FontSet {
    std::vector<Font> fonts;
    std::unordered_map<char32_t, int> fontOf;
    int em = kDefaultPixelHeight;
    int ascent = 0;
    int descent = 0;
    bool underline = false;
    bool strikeOut = false;
    int underlineTop = 0; // below the baseline
    int underlineThickness = 1;
    int strikeTop = 0; // above the baseline
    int strikeThickness = 1;

    FontSet() = default;
    FontSet(const FontSet&) = delete;
    FontSet& operator=(const FontSet&) = delete;
    ~FontSet() {
        for (Font& f : fonts)
            FcPatternDestroy(f.pattern);
    }
    int lineHeight() const { return ascent + descent; }
};

struct GlyphKey {
    const Face* face;
    int em;
    unsigned index;
    bool embolden;
    bool transform;
    bool operator==(const GlyphKey&) const = default;
};

struct GlyphKeyHash {
    std::size_t operator()(const GlyphKey& k) const {
        std::size_t h = std::hash<const void*>()(k.face);
        h ^= std::hash<long long>()((static_cast<long long>(k.em) << 34) ^
                                    (static_cast<long long>(k.index) << 2) ^
                                    (k.embolden ? 1 : 0) ^ (k.transform ? 2 : 0)) +
             0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
        return h;
    }
};

class Fonts {
public:
    static Fonts& instance() {
        static Fonts fonts;
        return fonts;
    }

    std::mutex lock;

    bool initialised() const { return config_ != nullptr; }
    bool aliasesLoaded() const { return aliasesLoaded_; }

    FontSet* fontSet(const LOGFONTA& lf);
    const Glyph* glyph(Font& font, const FontSet& set, char32_t c);
    std::string firstFile(const LOGFONTA& lf);

    // Drops cached glyphs when they grow too many; called between layouts
    // only, so no glyph pointer is held across it.
    void trimGlyphs() {
        if (glyphBytes_ > kMaxGlyphCacheBytes) {
            glyphs_.clear();
            glyphBytes_ = 0;
        }
    }

private:
    Fonts();
    ~Fonts();
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;

    Face* openFace(const std::string& file, int index);
    FcFontSet* sortedFonts(const LOGFONTA& lf, FcPattern** request);
    static void setSize(Face& face, int em);
    void measureLines(FontSet& set, const ZFontRequest& req);

    FcConfig* config_ = nullptr;
    bool aliasesLoaded_ = false;
    FT_Library library_ = nullptr;
    std::map<std::pair<std::string, int>, Face> faces_;
    std::map<std::string, std::unique_ptr<FontSet>> sets_;
    std::unordered_map<GlyphKey, Glyph, GlyphKeyHash> glyphs_;
    std::int64_t glyphBytes_ = 0;
};

// Decodes UTF-8 (ill-formed bytes give U+FFFD) and splits it into lines at
// "\r\n", "\n" and "\r"; a break at the very end starts no further line.
std::vector<std::u32string> splitLines(std::string_view text);

struct PlacedGlyph {
    const Glyph* glyph;
    int x;
};

struct LaidLine {
    std::vector<PlacedGlyph> glyphs;
    std::int64_t width = 0;
};

// The index in the set's fallback list of the font that draws c.
int fontIndexFor(FontSet& set, char32_t c);
LaidLine layLine(Fonts& fonts, FontSet& set, const std::u32string& line);

inline int clampExtent(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, 0, kMaxExtent));
}

} // namespace detail::text
