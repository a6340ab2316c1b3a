#include "TableDrop.h"

#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>

#include "ToolContext.h"

void TableDrop::noteStart(const ZN_ShapeBase& text) {
    dragStartCorner1 = text.getPoint1();
    dragStartCorner2 = text.getPoint2();
}

void TableDrop::dropOnTable(ZVector2 p) {
    ZN_ShapeBase* text = context_.hitShape;
    std::list<ZN_ShapeBase*>& shapes = context_.page().getShapeList();
    for (ZN_ShapeBase* shape : shapes)
        if (shape->type() == 12)
            shape->releaseJiuGong(text);
    for (ZN_ShapeBase* shape : shapes) {
        if (shape->type() != 12)
            continue;
        const int code = shape->InPoint(p, nullptr, context_.hitTolerance());
        if (code < 10)
            continue;
        auto* table = static_cast<ZN_NJiuGongGe*>(shape);
        if (table->setJiuGongPtr(code - 10, text) == 0) {
            context_.showMessage(QString::fromUtf8("不正确"));
            static_cast<ZN_SText*>(text)->setRect(dragStartCorner1, dragStartCorner2);
        }
        break;
    }
    context_.update();
}
