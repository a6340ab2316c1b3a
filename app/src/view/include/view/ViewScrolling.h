#pragma once
// What the editing view keeps for scrolling beyond its scroll bars: the steps
// that follow the zoom and the window, the parts of wheel turns too small to
// scroll a pixel, the timer that scrolls the view along while a drag is held
// at or beyond the window's edge, and the scroll positions kept with undo.

#include <QPoint>
#include <QTimer>

#include "view/ScrollHistory.h"

namespace viewscroll {

// Canvas units an arrow of the scroll bars moves at 100 %.
constexpr int kCanvasLineX = 150;
constexpr int kCanvasLineY = 100;

// The arrow step, in screen pixels, of a bar beside a window side of `window`
// pixels: `canvasLine` canvas units at the zoom, kept between a twentieth and
// a fifth of the window so that it is felt at 10 % and does not leap at 400 %.
int lineStep(int window, float zoom, int canvasLine);

// How far one tick of autoscroll moves the view, in screen pixels, for a
// pointer at `pointer` over a window of `width` x `height`: nothing while it
// is inside, more the further it is beyond an edge (its outermost pixel
// counts, as a maximised window's edge may be the screen's).
QPoint edgeStep(QPoint pointer, int width, int height);

// The interval of autoscroll ticks, in milliseconds.
constexpr int kAutoscrollInterval = 25;

} // namespace viewscroll

struct ViewScroller {
    QTimer autoscrollTimer;
    QPoint pointer;         // last pointer of the drag, in screen pixels
    double wheelRestX = 0;  // pixels of wheel turns not yet scrolled
    double wheelRestY = 0;
    ScrollHistory history;
};
