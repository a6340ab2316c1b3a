#include "sarvik/platform/ZCodePage.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <string>

namespace {

std::string bytes(std::initializer_list<unsigned> list) {
    std::string s;
    for (unsigned b : list)
        s.push_back(static_cast<char>(b));
    return s;
}

TEST(CodePage, PageNameIsThreeBytesOnDisk) {
    EXPECT_EQ(ZUtf8ToCp936("页1"), bytes({0xD2, 0xB3, 0x31}));
    EXPECT_EQ(ZCp936ToUtf8(bytes({0xD2, 0xB3, 0x31})), "页1");
}

TEST(CodePage, RoundTripsChineseLatinAndCharactersBeyondTheCodePage) {
    for (const std::string& text :
         {std::string(), std::string("plain ASCII\r\nline 2"), std::string("中文 Text 宋体，标点。"),
          std::string("café € — 😀"), std::string("\xEF\xBF\xBD")}) {
        const std::string disk = ZUtf8ToCp936(text);
        EXPECT_EQ(ZCp936ToUtf8(disk), text) << text;
    }
    // Code page 936 characters keep their two-byte form.
    EXPECT_EQ(ZUtf8ToCp936("宋体"), bytes({0xCB, 0xCE, 0xCC, 0xE5}));
}

// The C library's own converter of code page 936, for one whole text.
bool systemConvert(const char* to, const char* from, const std::string& in, std::string& out) {
    const iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    char buffer[64];
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char* dst = buffer;
    std::size_t dstLeft = sizeof buffer;
    std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    if (rc != static_cast<std::size_t>(-1))
        rc = iconv(cd, nullptr, nullptr, &dst, &dstLeft);
    iconv_close(cd);
    out.assign(buffer, sizeof buffer - dstLeft);
    return rc != static_cast<std::size_t>(-1) && srcLeft == 0;
}

TEST(CodePage, EveryCodeOfThePageReadsAndWritesAsTheSystemConverterHasIt) {
    std::string probe;
    ASSERT_TRUE(systemConvert("UTF-8", "CP936", "A", probe)) << "no CP936 converter";
    int codes = 0;
    int wrong = 0;
    for (unsigned lead = 0; lead < 0x100; ++lead) {
        for (int trail = -1; trail < 0x100; ++trail) {
            if (trail >= 0 && (lead < 0x81 || lead == 0xFF))
                continue;
            std::string code(1, static_cast<char>(lead));
            if (trail >= 0)
                code.push_back(static_cast<char>(trail));
            std::string text;
            if (!systemConvert("UTF-8", "CP936", code, text))
                continue;
            ++codes;
            const std::string read = ZCp936ToUtf8(code);
            const std::string written = ZUtf8ToCp936(text);
            if (read != text || written != code) {
                if (++wrong <= 5)
                    ADD_FAILURE() << std::hex << "code " << lead << " " << trail << " reads as "
                                  << read << " and " << text << " writes as " << written.size()
                                  << " bytes";
            }
        }
    }
    EXPECT_EQ(wrong, 0);
    // 128 single bytes, the euro sign and some 21 800 two-byte codes.
    EXPECT_GT(codes, 21000);
    EXPECT_EQ(ZUtf8ToCp936("5€"), bytes({0x35, 0x80}));
    // The euro as GB18030 writes it, in files from before, still reads as the euro.
    EXPECT_EQ(ZCp936ToUtf8(bytes({0xA2, 0xE3})), "€");
}

TEST(CodePage, InvalidBytesBecomeReplacementCharacters) {
    EXPECT_EQ(ZCp936ToUtf8(bytes({0x41, 0xFF, 0x42})), "A\xEF\xBF\xBD" "B");
    EXPECT_EQ(ZCp936ToUtf8(bytes({0xD2, 0xB3, 0xFF})), "页\xEF\xBF\xBD");
    // A lead byte cut off at the end of the text.
    EXPECT_EQ(ZCp936ToUtf8(bytes({0x31, 0xD2})), "1\xEF\xBF\xBD");
    // Ill-formed UTF-8 in memory is written as U+FFFD, never as raw bytes.
    EXPECT_EQ(ZUtf8ToCp936("a\xFF"), "a" + bytes({0x84, 0x31, 0xA4, 0x37}));
}

TEST(CodePage, Utf8ThatIsNotGb18030IsTakenAsUtf8) {
    // "€" in UTF-8 (E2 82 AC) starts like a GB18030 pair but leaves a lone byte.
    EXPECT_EQ(ZCp936ToUtf8("price 5€"), "price 5€");
    EXPECT_EQ(ZCp936ToUtf8("a—"), "a—");
    // Neither encoding throughout: GB18030 is read where it holds.
    EXPECT_EQ(ZCp936ToUtf8("€" + bytes({0xFF})),
              bytes({0xE9, 0x88, 0xA7}) + "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(CodePage, Utf8Validation) {
    EXPECT_TRUE(ZIsValidUtf8("页 😀"));
    EXPECT_FALSE(ZIsValidUtf8("\xC0\xAF"));         // overlong
    EXPECT_FALSE(ZIsValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(ZIsValidUtf8("\xF4\x90\x80\x80")); // above U+10FFFF
    EXPECT_FALSE(ZIsValidUtf8("\xE4\xB8"));         // cut off
    EXPECT_EQ(ZSanitizeUtf8("a\xC0\xAF" "b"), "a\xEF\xBF\xBD\xEF\xBF\xBD" "b");
}

} // namespace
