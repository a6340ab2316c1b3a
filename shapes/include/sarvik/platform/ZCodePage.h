#pragma once
// Text encodings at the file boundary. In memory every text is UTF-8; in
// document files texts and names are stored in code page 936, written as
// GB18030, which is byte-identical to code page 936 for every character that
// code page has and can still hold any other character.

#include <string>
#include <string_view>

// UTF-8 to the bytes written to disk. Ill-formed UTF-8 becomes U+FFFD, so
// the result always decodes again.
std::string ZUtf8ToCp936(std::string_view utf8);

// Bytes read from disk to UTF-8. Bytes that form GB18030 are decoded as
// GB18030; a text that is not GB18030 but is well-formed UTF-8 is taken as
// UTF-8 unchanged; within a text that is neither, each byte that starts no
// valid GB18030 or UTF-8 sequence becomes U+FFFD.
std::string ZCp936ToUtf8(std::string_view bytes);

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool ZIsValidUtf8(std::string_view bytes);

// `bytes` with every byte that starts no well-formed UTF-8 sequence replaced
// by U+FFFD.
std::string ZSanitizeUtf8(std::string_view bytes);
