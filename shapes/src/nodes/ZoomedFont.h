#pragma once
// The font a text's picture at a zoom other than 100 % is rasterised with.

#include <cstddef>

#include <sarvik/platform/LOGFONTA.h>

class ZN_SText;

namespace detail {

// The text's size scaled by the zoom; below 100 % up to two pixels less
// where the scaled size comes out wider than the scaled rectangle (glyphs
// hinted at a small size are wider than their share of it, by up to a pixel
// each). Texts longer than kFittedTextBytes are not measured for that.
LOGFONTA zoomedFont(const ZN_SText& text, float zoom);
inline constexpr std::size_t kFittedTextBytes = 4096;

} // namespace detail
