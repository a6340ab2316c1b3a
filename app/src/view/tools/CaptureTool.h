#pragma once
// The capture frame: drawn with its tool, adjusted by its handles with the
// select tool; what the window shows inside it goes to the clipboard. The
// tool owns the state of the frame being drawn.

#include "ViewTool.h"

class ToolContext;

class CaptureTool : public ViewTool {
public:
    explicit CaptureTool(ToolContext& context) : context_(context) {}

    void cancel() override { dragState_ = dragstate::Idle; }
    void press(ZVector2 p) override { captureDown(p); }
    bool move(ZVector2 p) override;
    void release(ZVector2 p) override;
    int dragState() const override { return dragState_; }
    int dragPhase() const override { return dragPhase_; }

    // A press of the select tool while the frame is shown: true when it took
    // one of the frame's handles, which the drag then moves; any other press
    // puts the frame away.
    bool regionDown();
    // What the window shows inside the frame, to the clipboard.
    void copyToClipboard();

private:
    void captureDown(ZVector2 p);
    void captureMove(ZVector2 p);
    void captureFinish(ZVector2 p);

    ToolContext& context_;
    int dragState_ = dragstate::Idle;
    int dragPhase_ = 0;
};
