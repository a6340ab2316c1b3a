#pragma once
// What a tool of the view works with: the view's public side, the page shown,
// the label editor, and the pointer that every tool shares. The pointer keeps
// where the press began and where it was last (client coordinates), the keys
// held at the press, and the shape under the pointer, which is also the shape
// a press works on (the box or connector being drawn, the point just put
// down): a page change or a deletion forgets it for every tool at once, and a
// double click opens the editor of it whatever the tool.

#include <QString>

#include <rulmek/rulmek.h>

class CTavloView;
class LabelEditor;
class ZN_ShapeBase;
class ZN_ShapeManager;

class ToolContext {
public:
    explicit ToolContext(CTavloView& view) : view(view) {}
    ToolContext(const ToolContext&) = delete;
    ToolContext& operator=(const ToolContext&) = delete;

    CTavloView& view;

    // The page shown; the tools get input only while there is one.
    ZN_ShapeManager& page() const;
    LabelEditor& editor() const;
    // The canvas point of a client point: the view offset added.
    ZVector2 canvas(ZVector2 client) const;
    // How near counts as on a shape, in canvas units.
    float hitTolerance() const;
    // True while a press has moved less than the drag threshold (screen pixels).
    bool belowDragThreshold(ZVector2 a, ZVector2 b) const;
    void update() const;
    // Back to the select tool, leaving an edit box just opened as it is.
    void backToSelect() const;
    // What a double click or F2 on `shape` edits: a node's label (made if it
    // has none), a free text, or a table's size.
    void openEditor(ZN_ShapeBase* shape) const;
    // Takes `shape` out of the selection list; its flag is the caller's.
    void unselect(ZN_ShapeBase* shape) const;
    // True when every selected shape was taken from the page shown.
    bool selectionOnPageShownOnly() const;
    void showMessage(const QString& text) const;

    // The pointer, shared by every tool.
    ZVector2 pressPoint{0.0f, 0.0f};
    ZVector2 lastPoint{0.0f, 0.0f};
    Qt::KeyboardModifiers pressFlags; // the keys held at the last press
    bool additiveSelect = false;
    ZN_ShapeBase* hitShape = nullptr;
    int hitCode = 0;
    ZObj2DInPoint hitHelper;
};
