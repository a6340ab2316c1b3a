#pragma once
// Text encodings at the file boundary. In memory every text is UTF-8; in
// document files texts and names are stored in code page 936 (with the euro
// sign as the single byte 0x80), and a character that code page lacks is
// written as GB18030, which agrees with the code page wherever both have a
// character and holds every other one.

#include <string>
#include <string_view>

// UTF-8 to the bytes written to disk. Ill-formed UTF-8 becomes U+FFFD, so
// the result always decodes again.
std::string ZUtf8ToCp936(std::string_view utf8);

// Bytes read from disk to UTF-8. Code page 936 is read first, GB18030 where
// the code page has no character; a text that is not that throughout but is
// well-formed UTF-8 is taken as UTF-8 unchanged; within a text that is
// neither, each byte that starts no valid sequence becomes U+FFFD.
std::string ZCp936ToUtf8(std::string_view bytes);

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool ZIsValidUtf8(std::string_view bytes);

// `bytes` with every byte that starts no well-formed UTF-8 sequence replaced
// by U+FFFD.
std::string ZSanitizeUtf8(std::string_view bytes);
