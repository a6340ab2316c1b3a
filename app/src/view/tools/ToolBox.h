#pragma once
// The view's tools, one object each, the context they share, and the one in
// use. The capture tool's frame and the table drop also serve the select
// tool; the keyboard growth acts on the selection whatever the tool.

#include "BoxTool.h"
#include "CaptureTool.h"
#include "ConnectorTool.h"
#include "KeyboardGrowth.h"
#include "PointTool.h"
#include "SelectTool.h"
#include "TableDrop.h"
#include "TextTool.h"
#include "ToolContext.h"

struct ToolBox {
    explicit ToolBox(CTavloView& view)
        : context(view), capture(context), tableDrop(context), select(context, capture, tableDrop),
          box(context), connector(context), point(context), text(context), growth(context) {}

    // The object of a tool number (viewtool::*).
    ViewTool& forNumber(int tool) {
        switch (tool) {
        case viewtool::Select:
            return select;
        case viewtool::Point:
            return point;
        case viewtool::Line:
            return connector;
        case viewtool::Text:
            return text;
        case viewtool::Capture:
            return capture;
        default:
            return BoxTool::draws(tool) ? static_cast<ViewTool&>(box) : select;
        }
    }

    ToolContext context;
    CaptureTool capture;
    TableDrop tableDrop;
    SelectTool select;
    BoxTool box;
    ConnectorTool connector;
    PointTool point;
    TextTool text;
    KeyboardGrowth growth;
    ViewTool* current = &select;
};
