#pragma once
// The text tool: a press opens the edit box for a new free text there, and
// the view goes back to the select tool while it is typed.

#include "ViewTool.h"

class ToolContext;

class TextTool : public ViewTool {
public:
    explicit TextTool(ToolContext& context) : context_(context) {}

    void cancel() override {}
    void press(ZVector2 p) override { textDown(p); }

private:
    void textDown(ZVector2 p);

    ToolContext& context_;
};
