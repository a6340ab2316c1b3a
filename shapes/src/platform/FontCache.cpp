#include "FontCache.h"

#include "sarvik/platform/ZCodePage.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

namespace detail {
std::string windowsFontAliases();
}

namespace detail::text {

namespace {

std::string keyOf(const ZFontRequest& r) {
    return r.family + '\x1f' + std::to_string(r.pixelHeight) + (r.heightIsCell ? "c" : "e") +
           (r.bold ? "b" : "") + (r.italic ? "i" : "") + (r.underline ? "u" : "") +
           (r.strikeOut ? "s" : "");
}

int roundScaled(long units, double scale) {
    return static_cast<int>(std::lround(static_cast<double>(units) * scale));
}

} // namespace

Fonts::Fonts() {
    // A configuration of our own keeps the aliases whatever a toolkit does
    // with fontconfig's current one, and is freed with the rasteriser.
    config_ = FcInitLoadConfigAndFonts();
    if (config_) {
        const std::string aliases = detail::windowsFontAliases();
        aliasesLoaded_ = FcConfigParseAndLoadFromMemory(
                             config_, reinterpret_cast<const FcChar8*>(aliases.c_str()),
                             FcFalse) == FcTrue;
    }
    if (FT_Init_FreeType(&library_) != 0)
        library_ = nullptr;
}

Fonts::~Fonts() {
    glyphs_.clear();
    sets_.clear();
    for (auto& entry : faces_)
        if (entry.second.face)
            FT_Done_Face(entry.second.face);
    if (library_)
        FT_Done_FreeType(library_);
    if (config_)
        FcConfigDestroy(config_);
}

Face* Fonts::openFace(const std::string& file, int index) {
    auto [it, inserted] = faces_.try_emplace({file, index});
    if (inserted && library_) {
        FT_Face face = nullptr;
        if (FT_New_Face(library_, file.c_str(), index, &face) == 0)
            it->second.face = face;
    }
    return it->second.face ? &it->second : nullptr;
}

void Fonts::setSize(Face& face, int em) {
    if (face.em == em)
        return;
    face.em = em;
    if (FT_Set_Pixel_Sizes(face.face, 0, static_cast<FT_UInt>(em)) == 0)
        return;
    // Bitmap-only faces offer fixed sizes: take the nearest one.
    FT_Face f = face.face;
    if (f->num_fixed_sizes <= 0)
        return;
    int best = 0;
    for (int i = 1; i < f->num_fixed_sizes; ++i)
        if (std::abs(f->available_sizes[i].height - em) <
            std::abs(f->available_sizes[best].height - em))
            best = i;
    FT_Select_Size(f, best);
}

FcFontSet* Fonts::sortedFonts(const LOGFONTA& lf, FcPattern** request) {
    const ZFontRequest r = ZFontRequestFrom(lf);
    FcPattern* pattern = FcPatternCreate();
    if (!r.family.empty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(r.family.c_str()));
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, r.pixelHeight);
    FcPatternAddInteger(pattern, FC_WEIGHT, r.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, r.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(config_, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcFontSet* sorted = FcFontSort(config_, pattern, FcTrue, nullptr, &result);
    *request = pattern;
    return sorted;
}

std::string Fonts::firstFile(const LOGFONTA& lf) {
    if (!config_)
        return {};
    FcPattern* request = nullptr;
    FcFontSet* sorted = sortedFonts(lf, &request);
    std::string file;
    FcChar8* path = nullptr;
    if (sorted && sorted->nfont > 0 &&
        FcPatternGetString(sorted->fonts[0], FC_FILE, 0, &path) == FcResultMatch)
        file = reinterpret_cast<const char*>(path);
    if (sorted)
        FcFontSetDestroy(sorted);
    FcPatternDestroy(request);
    return file;
}

void Fonts::measureLines(FontSet& set, const ZFontRequest& req) {
    Face* primary = nullptr;
    for (Font& f : set.fonts) {
        primary = f.face;
        if (primary)
            break;
    }
    int em = req.pixelHeight;
    if (!primary) {
        set.em = std::clamp(em, 1, kMaxPixelHeight);
        set.ascent = set.em * 4 / 5;
        set.descent = set.em - set.ascent;
        return;
    }
    FT_Face f = primary->face;
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
    const bool scalable = FT_IS_SCALABLE(f) && f->units_per_EM > 0;
    long ascentUnits = f->ascender;
    long descentUnits = -f->descender;
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        ascentUnits = os2->usWinAscent;
        descentUnits = os2->usWinDescent;
    }
    // A positive height names the cell (ascent + descent), not the em square.
    if (req.heightIsCell && scalable && ascentUnits + descentUnits > 0)
        em = static_cast<int>(std::lround(static_cast<double>(req.pixelHeight) * f->units_per_EM /
                                          static_cast<double>(ascentUnits + descentUnits)));
    set.em = std::clamp(em, 1, kMaxPixelHeight);
    setSize(*primary, set.em);
    if (scalable) {
        const double scale = static_cast<double>(set.em) / f->units_per_EM;
        set.ascent = roundScaled(ascentUnits, scale);
        set.descent = roundScaled(descentUnits, scale);
        const int thickness = std::max(1, roundScaled(f->underline_thickness, scale));
        set.underlineThickness = thickness;
        set.underlineTop = -roundScaled(f->underline_position, scale) - thickness / 2;
        if (os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
            set.strikeThickness = std::max(1, roundScaled(os2->yStrikeoutSize, scale));
            set.strikeTop = roundScaled(os2->yStrikeoutPosition, scale);
        } else {
            set.strikeThickness = thickness;
            set.strikeTop = set.ascent / 3 + thickness;
        }
    } else {
        set.ascent = static_cast<int>(f->size->metrics.ascender >> 6);
        set.descent = static_cast<int>(-(f->size->metrics.descender >> 6));
        set.underlineTop = std::max(1, set.descent / 2);
        set.strikeTop = set.ascent / 3 + 1;
    }
    set.underlineTop = std::max(set.underlineTop, 0);
    set.descent = std::max(set.descent, 0);
    set.ascent = std::max(set.ascent, 1);
}

FontSet* Fonts::fontSet(const LOGFONTA& lf) {
    const ZFontRequest req = ZFontRequestFrom(lf);
    const std::string key = keyOf(req);
    if (auto it = sets_.find(key); it != sets_.end())
        return it->second.get();
    if (sets_.size() >= kMaxFontSets)
        sets_.clear(); // glyphs are keyed by face, so they stay valid

    auto set = std::make_unique<FontSet>();
    set->underline = req.underline;
    set->strikeOut = req.strikeOut;
    if (config_) {
        FcPattern* request = nullptr;
        FcFontSet* sorted = sortedFonts(lf, &request);
        for (int i = 0; sorted && i < sorted->nfont && set->fonts.size() < kMaxFontsPerSet; ++i) {
            FcPattern* prepared = FcFontRenderPrepare(config_, request, sorted->fonts[i]);
            if (!prepared)
                continue;
            Font font;
            font.pattern = prepared;
            if (FcPatternGetCharSet(prepared, FC_CHARSET, 0, &font.charset) != FcResultMatch)
                font.charset = nullptr;
            FcBool embolden = FcFalse;
            if (FcPatternGetBool(prepared, FC_EMBOLDEN, 0, &embolden) == FcResultMatch)
                font.embolden = embolden == FcTrue;
            FcMatrix* m = nullptr;
            if (FcPatternGetMatrix(prepared, FC_MATRIX, 0, &m) == FcResultMatch && m &&
                (m->xx != 1 || m->xy != 0 || m->yx != 0 || m->yy != 1)) {
                font.transform = true;
                font.matrix.xx = static_cast<FT_Fixed>(m->xx * 0x10000);
                font.matrix.xy = static_cast<FT_Fixed>(m->xy * 0x10000);
                font.matrix.yx = static_cast<FT_Fixed>(m->yx * 0x10000);
                font.matrix.yy = static_cast<FT_Fixed>(m->yy * 0x10000);
            }
            set->fonts.push_back(font);
        }
        if (sorted)
            FcFontSetDestroy(sorted);
        FcPatternDestroy(request);
    }
    // The first font that opens sets the line metrics; open it now.
    for (Font& f : set->fonts) {
        FcChar8* file = nullptr;
        int index = 0;
        f.faceTried = true;
        if (FcPatternGetString(f.pattern, FC_FILE, 0, &file) == FcResultMatch) {
            FcPatternGetInteger(f.pattern, FC_INDEX, 0, &index);
            f.face = openFace(reinterpret_cast<const char*>(file), index);
        }
        if (f.face)
            break;
    }
    measureLines(*set, req);
    FontSet* result = set.get();
    sets_.emplace(key, std::move(set));
    return result;
}

const Glyph* Fonts::glyph(Font& font, const FontSet& set, char32_t c) {
    if (!font.faceTried) {
        font.faceTried = true;
        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(font.pattern, FC_FILE, 0, &file) == FcResultMatch) {
            FcPatternGetInteger(font.pattern, FC_INDEX, 0, &index);
            font.face = openFace(reinterpret_cast<const char*>(file), index);
        }
    }
    if (!font.face)
        return nullptr;
    Face& face = *font.face;
    const unsigned index = FT_Get_Char_Index(face.face, c);
    const GlyphKey key{&face, set.em, index, font.embolden, font.transform};
    if (auto it = glyphs_.find(key); it != glyphs_.end())
        return &it->second;

    Glyph g;
    setSize(face, set.em);
    FT_GlyphSlot slot = face.face->glyph;
    // The auto-hinter snaps horizontal stems to whole pixels; the fonts' own
    // instructions drop thin strokes of CJK glyphs at small sizes in mono mode.
    if (FT_Load_Glyph(face.face, index, FT_LOAD_TARGET_MONO | FT_LOAD_FORCE_AUTOHINT) == 0) {
        if (font.transform && slot->format == FT_GLYPH_FORMAT_OUTLINE)
            FT_Outline_Transform(&slot->outline, &font.matrix);
        if (font.embolden)
            FT_GlyphSlot_Embolden(slot);
        if (slot->format == FT_GLYPH_FORMAT_BITMAP ||
            FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) == 0) {
            const FT_Bitmap& bm = slot->bitmap;
            g.left = slot->bitmap_left;
            g.top = slot->bitmap_top;
            g.width = static_cast<int>(bm.width);
            g.rows = static_cast<int>(bm.rows);
            g.pixels.assign(static_cast<std::size_t>(g.width) * g.rows, 0);
            for (int y = 0; y < g.rows; ++y) {
                const unsigned char* row = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
                for (int x = 0; x < g.width; ++x) {
                    bool on = false;
                    if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
                        on = (row[x >> 3] & (0x80 >> (x & 7))) != 0;
                    else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY)
                        on = row[x] >= 128;
                    g.pixels[static_cast<std::size_t>(y) * g.width + x] = on ? 1 : 0;
                }
            }
        }
        g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    }
    glyphBytes_ += static_cast<std::int64_t>(g.pixels.size()) + 64;
    return &glyphs_.emplace(key, std::move(g)).first->second;
}

std::vector<std::u32string> splitLines(std::string_view text) {
    std::vector<std::u32string> lines;
    if (text.empty())
        return lines;
    const std::string clean = ZIsValidUtf8(text) ? std::string(text) : ZSanitizeUtf8(text);
    std::u32string current;
    bool pendingLine = true;
    for (std::size_t i = 0; i < clean.size();) {
        const auto b0 = static_cast<unsigned char>(clean[i]);
        char32_t c = b0;
        std::size_t n = 1;
        if (b0 >= 0xF0) {
            n = 4;
            c = b0 & 0x07;
        } else if (b0 >= 0xE0) {
            n = 3;
            c = b0 & 0x0F;
        } else if (b0 >= 0xC0) {
            n = 2;
            c = b0 & 0x1F;
        }
        for (std::size_t k = 1; k < n && i + k < clean.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(clean[i + k]) & 0x3F);
        i += n;
        if (c == U'\r' || c == U'\n') {
            if (c == U'\r' && i < clean.size() && clean[i] == '\n')
                ++i;
            lines.push_back(std::move(current));
            current.clear();
            pendingLine = i < clean.size();
            continue;
        }
        pendingLine = true;
        current.push_back(c);
    }
    if (pendingLine)
        lines.push_back(std::move(current));
    return lines;
}

int fontIndexFor(FontSet& set, char32_t c) {
    if (auto it = set.fontOf.find(c); it != set.fontOf.end())
        return it->second;
    int chosen = 0;
    for (std::size_t i = 0; i < set.fonts.size(); ++i) {
        const FcCharSet* cs = set.fonts[i].charset;
        if (cs && FcCharSetHasChar(cs, c)) {
            chosen = static_cast<int>(i);
            break;
        }
    }
    set.fontOf.emplace(c, chosen);
    return chosen;
}

LaidLine layLine(Fonts& fonts, FontSet& set, const std::u32string& line) {
    LaidLine laid;
    for (char32_t c : line) {
        if (c < 0x20 || c == 0x7F || set.fonts.empty())
            continue; // control characters have no picture
        const int first = fontIndexFor(set, c);
        const Glyph* g = fonts.glyph(set.fonts[static_cast<std::size_t>(first)], set, c);
        for (std::size_t i = 0; !g && i < set.fonts.size(); ++i)
            g = fonts.glyph(set.fonts[i], set, c); // a font whose file will not open
        if (!g)
            continue;
        laid.glyphs.push_back({g, static_cast<int>(std::min(laid.width, kMaxExtent))});
        laid.width += g->advance;
    }
    return laid;
}

} // namespace detail::text
