#include "view/ViewCommands.h"

#include "commands/CommandIds.h"
#include "frames/CChildFrame.h"
#include "frames/CMainFrame.h"
#include "view/CTavloView.h"

namespace handlers {

void chooseTool(CMainFrame& frame, int id) {
    CChildFrame* child = frame.activeChild();
    const int tool = CTavloView::toolForCommand(id);
    if (!child || tool < 0)
        return;
    child->view()->setTool(tool);
}

void zoomView(CMainFrame& frame, int id) {
    CChildFrame* child = frame.activeChild();
    if (!child)
        return;
    CTavloView* view = child->view();
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

} // namespace handlers
