#pragma once
// The Win32 font description, kept with its field names and its 60-byte disk
// layout (five int32, eight bytes, a 32-byte NUL-terminated face name) so that
// font fields in document records round-trip byte for byte.

#include <cstdint>

constexpr int LF_FACESIZE = 32;

struct LOGFONTA {
    std::int32_t lfHeight = 0;
    std::int32_t lfWidth = 0;
    std::int32_t lfEscapement = 0;
    std::int32_t lfOrientation = 0;
    std::int32_t lfWeight = 0;
    std::uint8_t lfItalic = 0;
    std::uint8_t lfUnderline = 0;
    std::uint8_t lfStrikeOut = 0;
    std::uint8_t lfCharSet = 0;
    std::uint8_t lfOutPrecision = 0;
    std::uint8_t lfClipPrecision = 0;
    std::uint8_t lfQuality = 0;
    std::uint8_t lfPitchAndFamily = 0;
    char lfFaceName[LF_FACESIZE] = {};
};

static_assert(sizeof(LOGFONTA) == 60, "LOGFONTA must keep its 60-byte disk layout");

constexpr std::int32_t FW_NORMAL = 400;
constexpr std::int32_t FW_BOLD = 700;
