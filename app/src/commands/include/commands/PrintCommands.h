#pragma once
// Printing: a printed page shows the page as the editor draws it, scaled to
// fit the paper.

#include <QImage>

class CommandTarget;
class CTavloView;
class QPrinter;

// The view's page drawn off screen over every visible shape with a margin,
// as the editor draws it; null when the view cannot draw.
QImage renderPageImage(CTavloView& view);
// Prints the view's page on one sheet, scaled to fit and centred.
void printPage(CTavloView& view, QPrinter& printer);

namespace handlers {
void filePrint(CommandTarget& frame, int id);
void filePrintDirect(CommandTarget& frame, int id);
void filePrintPreview(CommandTarget& frame, int id);
void filePrintSetup(CommandTarget& frame, int id);
} // namespace handlers
