#pragma once
// Mouse cursors that shapes choose for a hit code. Shapes report their choice
// to one process-wide sink that the program installs and maps to its toolkit's
// cursor shapes; without a sink the choice is only remembered.

enum class ZCursor {
    None,     // no cursor handle: the pointer is hidden
    Arrow,    // IDC_ARROW
    SizeAll,  // IDC_SIZEALL
    SizeNWSE, // IDC_SIZENWSE
    SizeNESW, // IDC_SIZENESW
    SizeWE,   // IDC_SIZEWE
    SizeNS,   // IDC_SIZENS
};

using ZCursorSink = void (*)(ZCursor cursor);

// Installs the sink (null removes it) and returns the previous one.
ZCursorSink ZSetCursorSink(ZCursorSink sink);
// What a shape calls where the original called SetCursor.
void ZSetCursor(ZCursor cursor);
// The cursor set last, for the program and for tests.
ZCursor ZLastCursor();
