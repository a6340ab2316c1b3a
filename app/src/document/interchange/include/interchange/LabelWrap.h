#pragma once
// Long labels of imported maps broken into lines a reader can follow.

#include <string>

namespace interchange {

// The width a wrapped line keeps within, in columns: a Chinese, Japanese or
// Korean character takes two, anything else one (about 30 and 60 a line).
inline constexpr int kWrapColumns = 60;

// `text` (UTF-8) with each line longer than `columns` broken into several:
// after a space where there is one (the space goes), between two wide
// characters, never before closing punctuation; a word longer than a line
// is cut. Line breaks already there stay.
std::string wrapLabel(const std::string& text, int columns = kWrapColumns);

} // namespace interchange
