#include "sarvik/platform/ZCodePage.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <iconv.h>

namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

// Length of the well-formed UTF-8 sequence starting at s[i], 0 when there is none.
std::size_t utf8SequenceLength(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80)
        return 1;
    std::size_t n = 0;
    unsigned char lo = 0x80, hi = 0xBF; // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        n = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        n = 3;
        if (b0 == 0xE0)
            lo = 0xA0; // overlong
        if (b0 == 0xED)
            hi = 0x9F; // surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        n = 4;
        if (b0 == 0xF0)
            lo = 0x90; // overlong
        if (b0 == 0xF4)
            hi = 0x8F; // above U+10FFFF
    } else {
        return 0;
    }
    if (s.size() - i < n)
        return 0;
    if (byte(i + 1) < lo || byte(i + 1) > hi)
        return 0;
    for (std::size_t k = 2; k < n; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    return n;
}

// One conversion descriptor per direction, opened once per thread and reset
// before each use.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much of `in` as possible, appending to `out`. Returns the
    // number of input bytes consumed; less than in.size() means the byte at
    // that position starts no complete, valid sequence.
    std::size_t convert(std::string_view in, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char buffer[1024];
        while (srcLeft > 0) {
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, sizeof buffer - dstLeft);
            if (rc == static_cast<std::size_t>(-1) && errno != E2BIG)
                break;
        }
        return in.size() - srcLeft;
    }

private:
    iconv_t cd_;
};

// The conversions of code page 936 and of GB18030, both ways.
struct Converters {
    Converter toPage{"CP936", "UTF-8"};
    Converter fromPage{"UTF-8", "CP936"};
    Converter toWide{"GB18030", "UTF-8"};
    Converter fromWide{"UTF-8", "GB18030"};
};

Converters& converters() {
    thread_local Converters all;
    return all;
}

// Length of the GB18030 multi-byte sequence that the bytes at the start of
// `s` would form, 0 when they form none.
std::size_t gb18030SequenceLength(std::string_view s) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    if (s.size() < 2 || byte(0) < 0x81 || byte(0) > 0xFE)
        return 0;
    if (byte(1) >= 0x30 && byte(1) <= 0x39)
        return s.size() >= 4 ? 4 : 0;
    if (byte(1) >= 0x40 && byte(1) <= 0xFE && byte(1) != 0x7F)
        return 2;
    return 0;
}

// Code page 936 as tables, read once from the C library's own converter, for
// the texts of a document: a page holds one label per node, and a call into
// the converter for each costs more than the whole rest of reading it. A text
// the tables cannot take whole (an unknown code, GB18030, ill-formed input)
// goes through the converter as before, so the tables change no result.
class PageTables {
public:
    static const PageTables& get() {
        static const PageTables tables;
        return tables;
    }

    // False, leaving `out` unspecified, when some byte of `bytes` is not
    // ASCII and starts no code the tables hold.
    bool decode(std::string_view bytes, std::string& out) const {
        if (!ok_)
            return false;
        out.resize(bytes.size() * 3); // a byte or two of the page give at most three of UTF-8
        char* dst = out.data();
        const std::size_t n = bytes.size();
        for (std::size_t i = 0; i < n;) {
            const auto b = static_cast<unsigned char>(bytes[i]);
            if (b < 0x80) {
                *dst++ = static_cast<char>(b);
                ++i;
                continue;
            }
            char16_t c = 0;
            std::size_t used = 1;
            if (b >= 0x81 && b <= 0xFE && i + 1 < n) {
                c = pair_[pairIndex(b, static_cast<unsigned char>(bytes[i + 1]))];
                used = 2;
            }
            if (c == 0) {
                c = single_[b - 0x80];
                used = 1;
            }
            if (c == 0)
                return false;
            dst = appendUtf8(dst, c);
            i += used;
        }
        out.resize(static_cast<std::size_t>(dst - out.data()));
        return true;
    }

    // False, leaving `out` unspecified, when `utf8` is ill-formed or holds a
    // character the tables have no code for.
    bool encode(std::string_view utf8, std::string& out) const {
        if (!ok_)
            return false;
        out.resize(utf8.size() * 2); // no code is longer than twice its UTF-8
        char* dst = out.data();
        for (std::size_t i = 0; i < utf8.size();) {
            const auto b = static_cast<unsigned char>(utf8[i]);
            if (b < 0x80) {
                *dst++ = static_cast<char>(b);
                ++i;
                continue;
            }
            const std::size_t length = utf8SequenceLength(utf8, i);
            if (length < 2 || length > 3)
                return false; // ill-formed, or beyond the code page's plane
            const auto at = [&](std::size_t k) { return static_cast<unsigned char>(utf8[i + k]); };
            const unsigned c = length == 2 ? ((b & 0x1Fu) << 6) | (at(1) & 0x3Fu)
                                           : ((b & 0x0Fu) << 12) | ((at(1) & 0x3Fu) << 6) | (at(2) & 0x3Fu);
            const std::uint16_t code = reverse_[c];
            if (code == 0)
                return false;
            if (code > 0xFF)
                *dst++ = static_cast<char>(code >> 8);
            *dst++ = static_cast<char>(code & 0xFF);
            i += length;
        }
        out.resize(static_cast<std::size_t>(dst - out.data()));
        return true;
    }

private:
    PageTables() {
        const iconv_t cd = iconv_open("UTF-8", "CP936");
        if (cd == reinterpret_cast<iconv_t>(-1))
            return;
        for (unsigned b = 0x80; b <= 0xFF; ++b) {
            const char one[1] = {static_cast<char>(b)};
            single_[b - 0x80] = readOne(cd, one, 1);
        }
        for (unsigned lead = 0x81; lead <= 0xFE; ++lead)
            for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
                const char two[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                pair_[pairIndex(lead, trail)] = readOne(cd, two, 2);
            }
        iconv_close(cd);
        // Every code reads as a character of its own, which the converter
        // writes back as that code, so the writing table is the reading one
        // turned round; a character two codes read as would be left out.
        for (unsigned b = 0x80; b <= 0xFF; ++b)
            addReverse(single_[b - 0x80], static_cast<std::uint16_t>(b));
        for (unsigned lead = 0x81; lead <= 0xFE; ++lead)
            for (unsigned trail = 0x40; trail <= 0xFE; ++trail)
                addReverse(pair_[pairIndex(lead, trail)], static_cast<std::uint16_t>(lead << 8 | trail));
        for (unsigned c = 0; c < 0x10000; ++c)
            if (reverse_[c] == kAmbiguous)
                reverse_[c] = 0;
        ok_ = true;
    }

    static constexpr std::uint16_t kAmbiguous = 0xFFFF;

    static std::size_t pairIndex(unsigned lead, unsigned trail) {
        return static_cast<std::size_t>(lead - 0x80) << 8 | trail;
    }

    void addReverse(char16_t c, std::uint16_t code) {
        if (c == 0)
            return;
        std::uint16_t& slot = reverse_[c];
        slot = slot == 0 ? code : kAmbiguous;
    }

    // The one character of the basic plane that `n` bytes read as, 0 when
    // they read as anything else or as nothing.
    static char16_t readOne(iconv_t cd, const char* in, std::size_t n) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char buffer[16];
        char* src = const_cast<char*>(in);
        std::size_t srcLeft = n;
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1) || srcLeft != 0)
            return 0;
        const std::string_view utf8(buffer, sizeof buffer - dstLeft);
        const std::size_t length = utf8.empty() ? 0 : utf8SequenceLength(utf8, 0);
        if (length < 2 || length > 3 || length != utf8.size())
            return 0; // nothing, ASCII, several characters or beyond the basic plane
        const auto at = [&](std::size_t k) { return static_cast<unsigned char>(utf8[k]); };
        const unsigned c = length == 2 ? ((at(0) & 0x1Fu) << 6) | (at(1) & 0x3Fu)
                                       : ((at(0) & 0x0Fu) << 12) | ((at(1) & 0x3Fu) << 6) | (at(2) & 0x3Fu);
        return static_cast<char16_t>(c);
    }

    static char* appendUtf8(char* dst, char16_t c) {
        if (c < 0x800) {
            *dst++ = static_cast<char>(0xC0 | (c >> 6));
        } else {
            *dst++ = static_cast<char>(0xE0 | (c >> 12));
            *dst++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        }
        *dst++ = static_cast<char>(0x80 | (c & 0x3F));
        return dst;
    }

    bool ok_ = false;
    char16_t single_[0x80] = {};            // bytes 0x80..0xFF read alone
    char16_t pair_[0x80 << 8] = {};         // (lead - 0x80, trail)
    std::uint16_t reverse_[0x10000] = {};   // character to its code, 0 for none
};

} // namespace

std::string ZSanitizeUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = utf8SequenceLength(s, i);
        if (n == 0) {
            out += kReplacementUtf8;
            ++i;
        } else {
            out.append(s.substr(i, n));
            i += n;
        }
    }
    return out;
}

bool ZIsValidUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = utf8SequenceLength(bytes, i);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

std::string ZUtf8ToCp936(std::string_view utf8) {
    std::string fast;
    if (PageTables::get().encode(utf8, fast))
        return fast;
    const std::string clean = ZIsValidUtf8(utf8) ? std::string(utf8) : ZSanitizeUtf8(utf8);
    Converter& page = converters().toPage;
    if (!page.ok())
        return clean; // no converter at all: ASCII is still right
    Converter& wide = converters().toWide;
    std::string out;
    out.reserve(clean.size());
    std::string_view rest = clean;
    while (!rest.empty()) {
        rest.remove_prefix(page.convert(rest, out));
        if (rest.empty())
            break;
        // A character the code page lacks goes out as GB18030, which holds
        // every character and agrees with the code page wherever both have one.
        const std::size_t n = utf8SequenceLength(rest, 0);
        const std::string_view character = rest.substr(0, n == 0 ? 1 : n);
        if (!wide.ok() || wide.convert(character, out) != character.size())
            out += "\x84\x31\xA4\x37"; // U+FFFD; only if the converter misbehaves
        rest.remove_prefix(character.size());
    }
    return out;
}

std::string ZCp936ToUtf8(std::string_view bytes) {
    std::string fast;
    if (PageTables::get().decode(bytes, fast))
        return fast;
    Converter& page = converters().fromPage;
    if (!page.ok())
        return ZSanitizeUtf8(bytes);
    Converter& wide = converters().fromWide;
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    bool fellBack = false;
    std::string_view rest = bytes;
    while (!rest.empty()) {
        rest.remove_prefix(page.convert(rest, out));
        if (rest.empty())
            break;
        // Characters beyond the code page were written as GB18030.
        const std::size_t wideLength = gb18030SequenceLength(rest);
        if (wideLength > 0 && wide.ok() &&
            wide.convert(rest.substr(0, wideLength), out) == wideLength) {
            rest.remove_prefix(wideLength);
            continue;
        }
        fellBack = true;
        const std::size_t n = utf8SequenceLength(rest, 0);
        if (n > 1) {
            out.append(rest.substr(0, n));
            rest.remove_prefix(n);
        } else {
            out += kReplacementUtf8;
            rest.remove_prefix(1);
        }
    }
    // A text that was not code page 936 throughout but is UTF-8 throughout
    // was written as UTF-8: take it whole rather than mixing readings.
    if (fellBack && ZIsValidUtf8(bytes))
        return std::string(bytes);
    return out;
}
