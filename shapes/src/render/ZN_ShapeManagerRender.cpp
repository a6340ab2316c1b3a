#include <sarvik/ZN_ShapeManager.h>

#include <sarvik/ZN_BackRgn.h>

void ZN_ShapeManager::render() const {
    for (const ZN_ShapeBase* shape : shapeList)
        shape->render();
    backRgn->render();
}
