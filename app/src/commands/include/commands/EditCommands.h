#pragma once
// Handlers of the commands that edit the page shown in a view: the Edit menu,
// the shape clipboard and picture paste, styles, subtree display, arrangement,
// automatic line layout, pictures and answer binding.

class CommandTarget;
class CTavloView;

// Runs command `id` on the view's page; false when the view has no page or
// the id is not one of these commands.
bool runViewCommand(CTavloView& view, int id);

namespace handlers {
// Table handler: runs the command in the active document window's view.
void viewCommand(CommandTarget& frame, int id);
} // namespace handlers
