#pragma once
// How the in-place edit box reads Enter: by default it breaks the line, as a
// multi-line edit control does; with 回车键确认编辑 on, Enter puts the text on the
// page, Shift+Enter breaks the line and Tab puts it there and adds a child.
// The choice is kept in the profile.

namespace editkeys {
// The profile value that keeps the choice.
inline constexpr const char* kProfileKey = "EnterCommitsEdit";

bool enterCommits();
void setEnterCommits(bool on);
} // namespace editkeys
