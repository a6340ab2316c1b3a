#pragma once
// The program's names, for every floor: the profile its settings live under
// (QSettings' organisation and application), the title of its messages, and
// what its documents are called in file dialogs.

namespace tavlo {
inline constexpr const char* kOrganisation = "应用程序向导生成的本地应用程序";
inline constexpr const char* kApplication = "Tavlo";
inline constexpr const char* kFileFilter = "Qelmo思维导图文件(*.tvx)";
inline constexpr const char* kFileExtension = ".tvx";
} // namespace tavlo
