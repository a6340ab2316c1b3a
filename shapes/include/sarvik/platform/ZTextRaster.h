#pragma once
// Text rasterising over FreeType and fontconfig, standing in for the GDI
// calls the text shapes were designed around (DrawTextA with and without
// DT_CALCRECT into a monochrome bitmap).
//
// Layout rules: lines break only at "\r\n", "\n" or "\r" (a break at the very
// end starts no further line); there is no word wrap; lines start at the top;
// each line is placed left, centred or right within the width; everything
// outside the rectangle is clipped. Characters come from the first font in
// fontconfig's sorted list for the request that has them, so Chinese and
// Latin mix in one string. Faces and glyph bitmaps are cached.
//
// All functions take UTF-8 text and may be called from any one thread at a
// time (they serialise on an internal lock).

#include "sarvik/platform/LOGFONTA.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Horizontal placement of each line; the values are the text shapes' own
// alignment codes.
enum class ZTextAlign { Center = 0, Left = 1, Right = 2 };

// 1 for Left, 2 for Right, anything else centres.
ZTextAlign ZTextAlignFromCode(int code);

// A one-bit picture of a text, laid out for glBitmap: rows bottom-up (bits[0]
// starts the bottom row), `width` a multiple of 32, each row width / 8 bytes,
// the most significant bit of each byte the leftmost of its eight pixels.
struct ZTextBitmap {
    int width = 0;
    int height = 0;
    // Columns of the picture left of the rectangle it was made for (ink that
    // overhangs the rectangle's left edge); glBitmap's x origin.
    int originX = 0;
    std::vector<std::uint8_t> bits;

    int bytesPerRow() const { return width / 8; }
    // Pixel (x, y) with y counted from the top row, as the text was laid out.
    bool ink(int x, int yFromTop) const;
};

struct ZTextSize {
    int width = 0;
    int height = 0;
};

// What a LOGFONTA asks fontconfig for.
struct ZFontRequest {
    std::string family;       // lfFaceName decoded from code page 936; may be empty
    int pixelHeight = 0;      // |lfHeight|, or the default when lfHeight is 0
    bool heightIsCell = false; // lfHeight > 0: ascent + descent, not the em size
    bool bold = false;        // lfWeight >= 600
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

ZFontRequest ZFontRequestFrom(const LOGFONTA& font);

// Sets up the rasteriser's own fontconfig configuration: the system's fonts
// plus aliases for the Windows family names that documents carry (Times New
// Roman, Arial, MS Shell Dlg, SimSun, 宋体, 黑体, Microsoft YaHei, ...). Runs
// once, on first use of any function here; true when the fonts and aliases
// loaded. The program calls it at start-up so a broken font setup shows early.
bool ZInitFonts();

// Adds the same aliases to fontconfig's current configuration, the one a
// toolkit's font dialog lists, so that names from documents show there too.
// The program calls it once at start-up, after the toolkit is initialised.
bool ZAddFontAliasesToCurrentConfig();

// The file of the first font fontconfig chooses for `font` (empty when none).
std::string ZMatchFontFile(const LOGFONTA& font);

// The size DrawTextA with DT_CALCRECT reports for `text` at (0, 0): the width
// of the widest line and the height of all lines. An empty text measures 0 x 0.
ZTextSize ZMeasureText(const LOGFONTA& font, std::string_view text);

// Draws `text` into a width x height one-bit picture with the alignment given
// (set bits where glyphs cover pixels). `width` is then rounded up to a
// multiple of 32; the extra columns stay clear. Null when the size is not
// positive or the picture would be unreasonably large, like a failed bitmap.
// With `overhang` > 0 the picture also holds ink up to that many columns past
// either side of the width (side bearings, a line laid out wider than the
// width): `originX` then says how many columns lie left of the rectangle.
std::shared_ptr<const ZTextBitmap> ZRasterText(const LOGFONTA& font, std::string_view text,
                                               int width, int height, ZTextAlign align,
                                               int overhang = 0);

// Where ZRasterText places each line of a text, for writers of real text
// (vector export): the font families used in fallback order, the em size,
// and per line its UTF-8 text, left edge, baseline (from the top) and width.
struct ZTextLine {
    std::string text;
    int x = 0;
    int baseline = 0;
    int width = 0;
};
struct ZTextLayout {
    std::vector<std::string>
        families; // the families a line's characters come from, first font first
    int em = 0;
    int lineHeight = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::vector<ZTextLine> lines; // lines that start inside the height, as drawn
};
ZTextLayout ZLayoutText(const LOGFONTA& font, std::string_view text, int width, int height,
                        ZTextAlign align);
