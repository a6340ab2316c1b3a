#pragma once
// The style, arrangement and automatic layout commands, for the edit
// commands' dispatch.

class CTavloView;

// Runs style command `id` on the view's page; false when it is not one.
bool runStyleCommand(CTavloView& view, int id);

// The commands without a snapshot of their own that still change what is
// saved; they mark the document modified so closing asks to save.
bool changesWithoutSnapshot(int id);
