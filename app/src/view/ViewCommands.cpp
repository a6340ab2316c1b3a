#include "view/ViewCommands.h"

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

} // namespace handlers
