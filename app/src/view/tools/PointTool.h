#pragma once
// The point tool: a press puts a point on the page; the point is then the
// shape under the pointer, so that a double click names it.

#include "ViewTool.h"

class ToolContext;

class PointTool : public ViewTool {
public:
    explicit PointTool(ToolContext& context) : context_(context) {}

    void cancel() override {}
    void press(ZVector2 p) override { pointDown(p); }

private:
    void pointDown(ZVector2 p);

    ToolContext& context_;
};
