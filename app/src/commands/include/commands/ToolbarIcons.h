#pragma once
// Toolbar pictures, drawn with QPainter on a 16 x 16 grid so that they stay
// sharp at any screen density.

#include <QIcon>

// The picture of a command's toolbar button; a null icon when it has none.
QIcon commandIcon(int id);
