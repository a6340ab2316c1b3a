#include "TextTool.h"

#include "LabelEditor.h"
#include "ToolContext.h"

void TextTool::textDown(ZVector2 p) {
    context_.hitShape = nullptr;
    context_.editor().openText(context_.page(), context_.canvas(p));
    context_.pressPoint = p;
    context_.backToSelect();
}
