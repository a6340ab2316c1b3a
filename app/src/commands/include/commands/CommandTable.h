#pragma once
// Every command of the editor, listed once. Menus, toolbars, status-bar
// prompts, tooltips, shortcuts and the context menu are all built from here.

#include <vector>

class CommandTarget;

// What a command does. A command whose handler is null is not available yet
// and is shown disabled.
using CommandHandler = void (*)(CommandTarget& frame, int id);
// For commands with a check mark: whether it is shown checked.
using CommandChecked = bool (*)(CommandTarget& frame, int id);

// When a command takes its undo snapshot of the page (which also marks the
// document modified): never, before it acts, or after its dialog's OK.
enum class Snapshot { No, Before, AfterOk };

struct CommandDef {
    int id;
    const char* text;   // menu text, with the shortcut after a tab
    const char* prompt; // "status-bar prompt\ntooltip", or null
    const char* keys;   // shortcuts separated by ';', or null
    Snapshot snapshot;
    CommandHandler handler;
    CommandChecked checked = nullptr;
    bool needsDocument = false; // disabled while no document is open
};

const std::vector<CommandDef>& commandTable();
const CommandDef* findCommand(int id);

// Menu structure: a popup has a title and items; an item with id 0 is a
// separator; the special ids below are filled in at run time.
struct MenuEntry {
    const char* popup = nullptr;
    int id = 0;
    std::vector<MenuEntry> items;
};

namespace menuslot {
enum : int { RecentFiles = -1, WindowList = -2, ToolbarList = -3, LookList = -4 };
}

// The menu bar while a document is open, and while none is.
const std::vector<MenuEntry>& documentMenuBar();
const std::vector<MenuEntry>& emptyMenuBar();
// The view's right-click menu, "编辑".
const MenuEntry& contextMenu();

struct ToolbarDef {
    const char* objectName;
    const char* title;
    std::vector<int> buttons; // 0 is a separator
};
const std::vector<ToolbarDef>& toolbarTable();

// Visual styles: id, menu text.
struct LookDef {
    int id;
    const char* text;
};
const std::vector<LookDef>& lookTable();
