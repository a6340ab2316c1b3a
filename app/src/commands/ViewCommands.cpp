#include "commands/ViewCommands.h"

#include "commands/CommandIds.h"
#include "commands/CommandTarget.h"
#include "view/CTavloView.h"

namespace {

// The tool a tool command chooses, or -1 for any other command id.
int toolForCommand(int commandId) {
    switch (commandId) {
    case cmd::ToolSelect:
        return viewtool::Select;
    case cmd::ToolPoint:
        return viewtool::Point;
    case cmd::ToolLine:
        return viewtool::Line;
    case cmd::ToolRect:
        return viewtool::Rect;
    case cmd::ToolText:
        return viewtool::Text;
    case cmd::ToolEllipse:
        return viewtool::Ellipse;
    case cmd::ToolRoundRect:
        return viewtool::RoundRect;
    case cmd::ToolRhombus:
        return viewtool::Rhombus;
    case cmd::ToolCapture:
        return viewtool::Capture;
    case cmd::ToolTable:
        return viewtool::Table;
    case cmd::ToolParallelogram:
        return viewtool::Parallelogram;
    default:
        return -1;
    }
}

} // namespace

namespace handlers {

void chooseTool(CommandTarget& frame, int id) {
    CTavloView* view = frame.activeView();
    const int tool = toolForCommand(id);
    if (!view || tool < 0)
        return;
    view->setTool(tool);
}

void zoomView(CommandTarget& frame, int id) {
    CTavloView* view = frame.activeView();
    if (!view)
        return;
    switch (id) {
    case cmd::ZoomIn:
        view->zoomIn();
        break;
    case cmd::ZoomOut:
        view->zoomOut();
        break;
    case cmd::ZoomActual:
        view->setZoom(1.0f);
        break;
    case cmd::ZoomFit:
        view->zoomToFit();
        break;
    default:
        break;
    }
}

void findText(CommandTarget& frame, int id) {
    frame.findInDocument(id);
}

} // namespace handlers
