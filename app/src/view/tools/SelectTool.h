#pragma once
// The select tool: a press takes the shape under the pointer (or, on empty
// canvas, starts a rubber band), a drag moves the selection, a handle or a
// connector's bend, and the release selects, toggles or drops. It owns the
// press's state, the rubber band and the press's undo step, which is taken
// just before the press first changes the page.

#include <memory>

#include <QRect>

#include "ViewTool.h"

class CaptureTool;
class TableDrop;
class ToolContext;
class UndoStep;

class SelectTool : public ViewTool {
public:
    SelectTool(ToolContext& context, CaptureTool& capture, TableDrop& tableDrop);
    ~SelectTool() override;

    void deactivate() override;
    void cancel() override;
    void press(ZVector2 p) override;
    bool move(ZVector2 p) override;
    void release(ZVector2 p) override;
    int dragState() const override { return dragState_; }
    int dragPhase() const override { return dragPhase_; }
    bool followsEdge() const override;

    // The focus rectangle of a rubber band in progress, empty when none.
    QRect focusRect() const { return focusRect_; }
    // The band belongs to the page it was drawn on; the press goes on.
    void forgetBand() { focusRect_ = QRect(); }
    // The press is over: its step, if it changed anything, is complete.
    void endPress();

private:
    void selectDown(ZVector2 p);
    void selectMove(ZVector2 p);
    void selectUp(ZVector2 p);
    void selectAloneOnDrag();
    void toggleHitSelection();
    // After a drag: the laid-out trees of what was dropped close up.
    void settleDropped();
    void drawFocusRect(ZVector2 a, ZVector2 b);
    void eraseFocusRect();

    ToolContext& context_;
    CaptureTool& capture_;
    TableDrop& tableDrop_;
    int dragState_ = dragstate::Idle;
    int dragPhase_ = 0;
    QRect focusRect_;
    // The undo step of the press under way, taken at its first change.
    std::unique_ptr<UndoStep> pressStep_;
};
