#pragma once
// The box tools (rectangle, ellipse, rounded box, rhombus, parallelogram,
// table): press, drag out the box, release or press again to finish it. The
// kind of box is the view's tool number; the tool owns the state of the box
// being drawn, which is the shape under the pointer meanwhile.

#include "ViewTool.h"

class ToolContext;

class BoxTool : public ViewTool {
public:
    explicit BoxTool(ToolContext& context) : context_(context) {}

    void cancel() override { dragState_ = dragstate::Idle; }
    void press(ZVector2 p) override { boxDown(p); }
    bool move(ZVector2 p) override;
    void release(ZVector2 p) override;
    int dragState() const override { return dragState_; }
    int dragPhase() const override { return dragPhase_; }
    bool followsEdge() const override;

    // True for the tool numbers that draw a box.
    static bool draws(int tool);

private:
    void boxDown(ZVector2 p);
    void boxMove(ZVector2 p);
    void boxFinish(ZVector2 p);

    ToolContext& context_;
    int dragState_ = dragstate::Idle;
    int dragPhase_ = 0;
};
