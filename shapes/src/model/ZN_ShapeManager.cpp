#include <sarvik/ZN_ShapeManager.h>

#include <algorithm>
#include <unordered_set>
#include <vector>

#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_BackRgn.h>

ZN_ShapeManager::ZN_ShapeManager() : undoRedo(new ZNRedoUndo(this)), backRgn(new ZN_BackRgn()) {
    backRgn->setShow(false);
}

ZN_ShapeManager::~ZN_ShapeManager() {
    clear();
    delete undoRedo;
    delete backRgn;
}

void ZN_ShapeManager::addShape(ZN_ShapeBase* s) {
    if (s)
        shapeList.push_back(s);
}

void ZN_ShapeManager::addShapeFront(ZN_ShapeBase* s) {
    if (s)
        shapeList.push_front(s);
}

void ZN_ShapeManager::deleteShape(ZN_ShapeBase* s) {
    auto it = std::find(shapeList.begin(), shapeList.end(), s);
    if (it == shapeList.end())
        return;
    shapeList.erase(it);
    delete s;
}

void ZN_ShapeManager::clear() {
    // Each destructor unlinks the shape from the others, so the order is free;
    // the list is detached first so that no destructor sees a half-freed list.
    std::list<ZN_ShapeBase*> doomed;
    doomed.swap(shapeList);
    for (ZN_ShapeBase* shape : doomed)
        delete shape;
}

void ZN_ShapeManager::deleteSelected() {
    // Show hidden subtrees first, so nothing is left behind invisible once its
    // root is gone.
    selectSpreadAll();

    std::vector<ZN_ShapeBase*> doomed;
    std::unordered_set<ZN_ShapeBase*> chosen;
    auto take = [&](ZN_ShapeBase* s) {
        if (s && chosen.insert(s).second)
            doomed.push_back(s);
    };
    for (ZN_ShapeBase* shape : shapeList) {
        if (!shape->getSelected())
            continue;
        take(shape);
        if (shape->type() == 1)
            continue;
        for (ZN_ShapeBase* in : shape->inputs())
            take(in);
        for (ZN_ShapeBase* out : shape->outputs())
            take(out);
    }
    if (doomed.empty())
        return;

    // Remove the entries in one pass, then destroy in the order collected; only
    // shapes that are in this page's list are destroyed.
    std::unordered_set<ZN_ShapeBase*> inList;
    for (auto it = shapeList.begin(); it != shapeList.end();) {
        if (chosen.count(*it) && inList.insert(*it).second)
            it = shapeList.erase(it);
        else
            ++it;
    }
    for (ZN_ShapeBase* shape : doomed)
        if (inList.count(shape))
            delete shape;
}

ZN_ShapeBase* ZN_ShapeManager::Change_Cursor(const ZVector2& pos, ZObj2DInPoint* info, int& code,
                                             float tolerance) const {
    code = 0;
    if (backRgn->getShow()) {
        code = backRgn->InPoint(pos, info, tolerance);
        if (code != 0) {
            backRgn->loadCursor(ZCursor::None, code);
            return backRgn;
        }
    }
    for (auto it = shapeList.rbegin(); it != shapeList.rend(); ++it) {
        ZN_ShapeBase* shape = *it;
        if (!shape->getShow())
            continue;
        code = shape->InPoint(pos, info, tolerance);
        if (code != 0) {
            shape->loadCursor(ZCursor::None, code);
            return shape;
        }
    }
    code = 0;
    return nullptr;
}

void ZN_ShapeManager::clearSelect() {
    for (ZN_ShapeBase* shape : shapeList)
        shape->setSelected(false);
}

void ZN_ShapeManager::change(const ZVector2& from, const ZVector2& to, int code, int bind) {
    const ZVector2 delta = to - from;
    if (bind == 1) {
        std::list<ZN_ShapeBase*> moving = collectBelowSelected();
        for (ZN_ShapeBase* shape : moving)
            shape->change(delta, code);
        return;
    }
    for (ZN_ShapeBase* shape : shapeList)
        if (shape->getSelected())
            shape->change(delta, code);
}

bool ZN_ShapeManager::selectWithinRect(const ZVector2& a, const ZVector2& b) {
    for (ZN_ShapeBase* shape : shapeList)
        if (shape->getShow() && shape->IntersectRect(a, b))
            shape->setSelected(true);
    return false;
}
