#pragma once
// Handlers of the commands that the application and its main frame carry:
// files, windows, visual styles, help.

class CommandTarget;

namespace handlers {
void fileNew(CommandTarget& frame, int id);
void fileOpen(CommandTarget& frame, int id);
void fileClose(CommandTarget& frame, int id);
void fileSave(CommandTarget& frame, int id);
void fileSaveAs(CommandTarget& frame, int id);
void docOption(CommandTarget& frame, int id);
void appExit(CommandTarget& frame, int id);
void appAbout(CommandTarget& frame, int id);
void openTemplate(CommandTarget& frame, int id);
void windowCascade(CommandTarget& frame, int id);
void windowTile(CommandTarget& frame, int id);
void windowArrange(CommandTarget& frame, int id);
void windowManager(CommandTarget& frame, int id);
void viewCustomize(CommandTarget& frame, int id);
void toggleStatusBar(CommandTarget& frame, int id);
bool statusBarShown(CommandTarget& frame, int id);
// Shows or hides the overview window.
void toggleOverview(CommandTarget& frame, int id);
bool overviewShown(CommandTarget& frame, int id);
void appLook(CommandTarget& frame, int id);
bool appLookChecked(CommandTarget& frame, int id);
void toggleBindDrag(CommandTarget& frame, int id);
bool bindDragChecked(CommandTarget& frame, int id);
// 设置 > 回车键确认编辑: how Enter acts in the in-place edit box, kept in the profile.
void toggleEnterCommits(CommandTarget& frame, int id);
bool enterCommitsChecked(CommandTarget& frame, int id);
// 设置 > 自动保存: asks for the interval and applies it at once.
void autoSaveSetting(CommandTarget& frame, int id);
} // namespace handlers
