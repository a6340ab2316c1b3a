#pragma once
// Page operations of a document: automatic numbering, delete, move and rename.
// They change the document's pages and names; its window, which observes
// them, is asked for the current page and to show the resulting one.

#include <string>

class CTavloDoc;

// Gives every page with an automatic name the name "页n", n counting only
// those pages, from 1.
void renumberPages(CTavloDoc& doc);
// Renumbers, appends "页n" for the next n, makes it current and shows it.
// Returns the new page's index.
int addNumberedPage(CTavloDoc& doc);
// Deletes the current page unless it is the only one. False when nothing changed.
bool deleteCurrentPage(CTavloDoc& doc);
// Moves the current page one place towards the front (-1) or the back (+1).
// False when it is already at that end or there is only one page.
bool moveCurrentPage(CTavloDoc& doc, int direction);
// Makes `index` the current tab, gives it `name` and marks the name as typed.
void renamePage(CTavloDoc& doc, int index, const std::string& name);
