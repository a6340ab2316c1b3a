#pragma once
// The numbers of the view's drawing tools, as the commands use them, and of
// what a press of the current tool is doing.

// Drawing tools of the view, by the numbers the commands use.
namespace viewtool {
enum : int {
    Select = 0,
    Point = 1,
    Line = 2,
    Rect = 3,
    Text = 4,
    Ellipse = 5,
    RoundRect = 6,
    Rhombus = 7,
    Capture = 8,
    Table = 9,
    Parallelogram = 10,
};
} // namespace viewtool

// What the current press is doing.
namespace dragstate {
enum : int {
    Idle = 0,
    RubberBand = 1,
    PressedUnselected = 2,
    PressedLine = 3,
    PressedSelected = 4,
    Drawing = 5, // select tool: pressed on empty canvas
    CaptureHandle = 10,
};
} // namespace dragstate
