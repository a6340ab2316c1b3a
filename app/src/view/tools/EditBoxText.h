#pragma once
// The edit box's text and font as the labels keep them, shared by the text
// tool and in-place editing.

#include <string>

#include <QFont>

#include <sarvik/platform/ZTextRaster.h>

class QPlainTextEdit;

namespace detail {
// The font a new free text gets, for measuring before the text exists.
LOGFONTA defaultTextFont();
// The edit box shows its text in the font the label will get, at the size
// the page shows it.
QFont qtFont(const LOGFONTA& font, float zoom);
// Text of the edit box in the form the labels keep: lines broken by "\r\n"
// as a Windows edit control hands them over.
std::string editText(const QPlainTextEdit* box);
} // namespace detail
