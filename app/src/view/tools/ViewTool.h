#pragma once
// A drawing tool of the view. The view hands it the left button's press, the
// moves and the release in client coordinates, while a page is shown; the
// tool owns the state of the press it makes and is told when it becomes the
// view's tool and when it is left.

#include <Qt>

#include <rulmek/rulmek.h>

#include "view/ToolNumbers.h"

class ViewTool {
public:
    virtual ~ViewTool() = default;

    // The tool becomes the view's tool.
    virtual void activate() {}
    // The tool is left for another: its press ends where it is.
    virtual void deactivate() { cancel(); }
    // Esc or the right button: the press under way is dropped; what it drew
    // so far stays on the page.
    virtual void cancel() = 0;

    virtual void press(ZVector2 p) = 0;
    // False while the press point is to stay the reference of the next move.
    virtual bool move(ZVector2) { return true; }
    virtual void release(ZVector2) {}
    // A double click the tool takes itself; false leaves it to the view,
    // which opens the editor of the shape under the pointer.
    virtual bool doubleClick(ZVector2) { return false; }
    // A key the tool takes itself; false leaves it to the view.
    virtual bool key(int, Qt::KeyboardModifiers) { return false; }

    // What the press is doing (dragstate::*) and how far: 1 pressed, 2 dragged.
    virtual int dragState() const { return dragstate::Idle; }
    virtual int dragPhase() const { return 0; }
    // True while a drag held at the window's edge scrolls the view along.
    virtual bool followsEdge() const { return false; }
};
