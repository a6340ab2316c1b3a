#pragma once
// What a plain click on a box does with the select tool. With 单击只选中一个
// on (the default) it selects that box alone, Ctrl+click and Shift+click add
// it or take it out again, and a click on a box already selected keeps the
// selection so that it can be dragged together. Off, every click adds or
// takes out as Ctrl+click does. The choice is kept in the profile.

namespace clickselect {
// The profile value that keeps the choice.
inline constexpr const char* kProfileKey = "ClickSelectsOne";

bool selectsOne();
void setSelectsOne(bool on);
} // namespace clickselect
