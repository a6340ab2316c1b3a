// The text tool: a press opens the edit box for a new free text there.

#include "LabelEditor.h"
#include "view/CTavloView.h"

void CTavloView::textDown(ZVector2 p) {
    hitShape = nullptr;
    editor_->openText(*currentPage, canvas(p));
    pressPoint = p;
    tool = viewtool::Select;
}
