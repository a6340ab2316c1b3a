#pragma once
// Handlers of the commands that the application and its main frame carry:
// files, windows, visual styles, help.

class CMainFrame;

namespace handlers {
void fileNew(CMainFrame& frame, int id);
void fileOpen(CMainFrame& frame, int id);
void fileClose(CMainFrame& frame, int id);
void fileSave(CMainFrame& frame, int id);
void fileSaveAs(CMainFrame& frame, int id);
void docOption(CMainFrame& frame, int id);
void appExit(CMainFrame& frame, int id);
void appAbout(CMainFrame& frame, int id);
void openTemplate(CMainFrame& frame, int id);
void windowCascade(CMainFrame& frame, int id);
void windowTile(CMainFrame& frame, int id);
void windowArrange(CMainFrame& frame, int id);
void windowManager(CMainFrame& frame, int id);
void viewCustomize(CMainFrame& frame, int id);
void toggleStatusBar(CMainFrame& frame, int id);
bool statusBarShown(CMainFrame& frame, int id);
// Shows or hides the overview window.
void toggleOverview(CMainFrame& frame, int id);
bool overviewShown(CMainFrame& frame, int id);
void appLook(CMainFrame& frame, int id);
bool appLookChecked(CMainFrame& frame, int id);
void toggleBindDrag(CMainFrame& frame, int id);
bool bindDragChecked(CMainFrame& frame, int id);
} // namespace handlers
