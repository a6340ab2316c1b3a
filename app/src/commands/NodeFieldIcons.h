#pragma once
// Toolbar pictures of the link and marker commands, on the 16 x 16 grid of
// ToolbarIcons.cpp and in the colours the page draws the marks in.

class QPainter;

// Draws the picture of command `id`; false when it is not one of these.
bool drawNodeFieldIcon(QPainter& p, int id);
