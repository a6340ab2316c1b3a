// Dropping a free text on a fill-in table: the text takes the cell under the
// pointer, or goes back where it was when the cell refuses it.

#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>

#include "view/CTavloView.h"

void CTavloView::dropOnTable(ZVector2 p) {
    ZN_ShapeBase* text = hitShape;
    std::list<ZN_ShapeBase*>& shapes = currentPage->getShapeList();
    for (ZN_ShapeBase* shape : shapes)
        if (shape->type() == 12)
            shape->releaseJiuGong(text);
    for (ZN_ShapeBase* shape : shapes) {
        if (shape->type() != 12)
            continue;
        const int code = shape->InPoint(p, nullptr, hitTolerance());
        if (code < 10)
            continue;
        auto* table = static_cast<ZN_NJiuGongGe*>(shape);
        if (table->setJiuGongPtr(code - 10, text) == 0) {
            showMessage(QString::fromUtf8("不正确"));
            static_cast<ZN_SText*>(text)->setRect(dragStartCorner1, dragStartCorner2);
        }
        break;
    }
    update();
}
