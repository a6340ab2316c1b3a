#pragma once
// The connector tool: a press on a shape starts a connector from it, the drag
// follows the pointer and marks the shape it would end on, the release
// attaches the end there or leaves it free. The tool owns the state of the
// connector being drawn (the shape under the pointer meanwhile) and the shape
// marked as its target.

#include "ViewTool.h"

class ToolContext;
class ZN_ShapeBase;

class ConnectorTool : public ViewTool {
public:
    explicit ConnectorTool(ToolContext& context) : context_(context) {}

    void deactivate() override;
    void cancel() override;
    void press(ZVector2 p) override { lineDown(p); }
    bool move(ZVector2 p) override;
    void release(ZVector2 p) override;
    int dragState() const override { return dragState_; }
    int dragPhase() const override { return dragPhase_; }
    bool followsEdge() const override;

    // The shape a connector would start or end on, and where on it.
    ZN_ShapeBase* target() const { return hoverShape; }
    int targetCode() const { return hoverCode; }
    // Forgets the target, taking its mark away when `unmark` (it may have gone
    // with its page or a deletion).
    void forgetTarget(bool unmark);

private:
    void lineDown(ZVector2 p);
    void lineMove(ZVector2 p);
    void lineFinish(ZVector2 p);
    void findTarget(ZVector2 p);
    void clearHover();

    ToolContext& context_;
    int dragState_ = dragstate::Idle;
    int dragPhase_ = 0;
    int hoverCode = 0;
    ZN_ShapeBase* hoverShape = nullptr;
};
