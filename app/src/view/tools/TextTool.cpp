// The text tool: a press opens the edit box for a new free text there.

#include <QPlainTextEdit>

#include "EditBoxText.h"
#include "view/CTavloView.h"

void CTavloView::textDown(ZVector2 p) {
    hitShape = nullptr;
    closeEditBox(true);
    editLabel = nullptr;
    pressPoint = p;
    editBox_->setFont(detail::qtFont(detail::defaultTextFont(), zoom_));
    const QPointF at = screenFromClient(p);
    editBox_->setGeometry(static_cast<int>(at.x()), static_cast<int>(at.y()), 20, 20);
    editBox_->show();
    editBox_->setFocus();
    tool = viewtool::Select;
}
