#pragma once
// Commands for what nodes hold beyond their labels: 视图 > 备注面板,
// 插入 > 超链接... and 插入 > 标记 with one command per marker. Each change
// of the page is one undo step, taken only when something changes.

#include <string>
#include <vector>

#include "commands/CommandTable.h"

class CTavloView;
class ZN_ShapeBase;

// The rows these commands add to the command table.
const std::vector<CommandDef>& nodeFieldCommands();
// The 标记 submenu, the markers in groups.
MenuEntry markerMenu();

// The marker a command id stands for, or null.
const char* markerOfCommand(int id);
int markerCommand(const std::string& name);

// Toggles the marker on the selected boxes of the view as one undo step; the
// number of boxes changed (0: nothing selected could take it).
int toggleMarkerOnSelection(CTavloView& view, const std::string& name);
// Takes every marker off the selected boxes; the number of boxes changed.
int clearMarkersOnSelection(CTavloView& view);

// The box the link dialog edits: the first box of the selection, or null.
ZN_ShapeBase* linkNode(const CTavloView& view);
// Links `node` (on the view's page) to the node `target` of page `page`,
// giving the target an anchor when it has none; one undo step on each page
// changed. False when it was linked there already.
bool linkToNode(CTavloView& view, ZN_ShapeBase& node, int page, ZN_ShapeBase& target);
// Sets (or with an empty link removes) the link of `node`; one undo step.
bool setNodeLink(CTavloView& view, ZN_ShapeBase& node, const std::string& link);

namespace handlers {
void toggleNotesPanel(CommandTarget& frame, int id);
bool notesPanelShown(CommandTarget& frame, int id);
void insertLink(CommandTarget& frame, int id);
void toggleMarker(CommandTarget& frame, int id);
bool markerChecked(CommandTarget& frame, int id);
void clearMarkers(CommandTarget& frame, int id);
} // namespace handlers
