#pragma once
// Command handlers that act on the active document window's view.

class CommandTarget;

namespace handlers {
// The drawing tool commands: each chooses its tool in the active view.
void chooseTool(CommandTarget& frame, int id);
// 放大, 缩小, 实际大小 and 适合页面 on the active view.
void zoomView(CommandTarget& frame, int id);
// 查找, 替换, 查找下一个 and 查找上一个: the document window's find bar.
void findText(CommandTarget& frame, int id);
} // namespace handlers
