#pragma once
// Putting a new text on a label or free text, the one way the editor does it:
// in-place editing and replacing both come through here.

#include <string_view>

#include <rulmek/rulmek.h>

class ZN_SText;

// Gives `label` the text `text` (UTF-8, lines broken by "\r\n"): it keeps its
// font, takes the size of the new text from `topLeft`, and the node that
// carries it re-centres it and grows to take it in.
void setLabelText(ZN_SText& label, ZVector2 topLeft, std::string_view text);
