#include "sarvik/platform/ZCodePage.h"

#include <cerrno>
#include <cstddef>
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
