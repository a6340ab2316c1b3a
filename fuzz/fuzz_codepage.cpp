// The code page conversions of texts and page names. Decoding any bytes gives
// well-formed UTF-8; encoding that and decoding again gives it back; and a text
// record holding the bytes loads as the same text.

#include <sarvik/ZN_SText.h>
#include <sarvik/platform/LOGFONTA.h>
#include <sarvik/platform/ZCodePage.h>
#include <sarvik/platform/ZFile.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "FuzzCheck.h"

namespace {

// A text record around the given bytes: no label, rectangle, colour, length,
// bytes, font and alignment.
std::string textRecord(std::string_view bytes) {
    std::string record;
    auto put = [&record](const void* p, std::size_t n) {
        record.append(static_cast<const char*>(p), n);
    };
    const std::int32_t zero = 0;
    put(&zero, 4);
    const float box[7] = {0.0f, 0.0f, 8.0f, 8.0f, 0.0f, 0.0f, 0.0f};
    put(box, sizeof box);
    const auto length = static_cast<std::int32_t>(bytes.size());
    put(&length, 4);
    put(bytes.data(), bytes.size());
    LOGFONTA font;
    font.lfHeight = -8;
    put(&font, sizeof font);
    put(&zero, 4);
    return record;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = ZCp936ToUtf8(bytes);
    FUZZ_CHECK(ZIsValidUtf8(text));
    const std::string encoded = ZUtf8ToCp936(text);
    FUZZ_CHECK(ZCp936ToUtf8(encoded) == text);

    // Keep the rasterising of the text cheap: it is not what is tested here.
    if (size > 256)
        return 0;
    const std::string record = textRecord(bytes);
    auto file = ZFile::fromMemory(record.data(), record.size());
    ZN_SText label;
    label.readFile(file.get(), 8);
    FUZZ_CHECK(!file->failed() && file->remaining() == 0);
    // The stored text ends at its first NUL.
    const std::string cut = ZCp936ToUtf8(bytes.substr(0, bytes.find('\0')));
    FUZZ_CHECK(label.getText() == cut);
    return 0;
}
