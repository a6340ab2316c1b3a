#include "BenchMap.h"

#include <memory>

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_ShapeManager.h>

#include "../MapGenerator.h"
#include "document/TvxContainer.h"

namespace editorbench {

namespace {

void join(ZN_ShapeBase* from, ZN_ShapeBase* line, ZN_ShapeBase* to) {
    from->pushToOutput(line);
    line->pushToInput(from);
    line->pushToOutput(to);
    to->pushToInput(line);
}

} // namespace

int subtreeSize(ZN_ShapeBase* head) {
    int count = 0;
    std::vector<ZN_ShapeBase*> stack{head};
    while (!stack.empty()) {
        ZN_ShapeBase* s = stack.back();
        stack.pop_back();
        if (s->type() != 1)
            ++count;
        for (ZN_ShapeBase* out : s->outputs())
            stack.push_back(out);
    }
    return count;
}

std::vector<ZN_ShapeBase*> childrenOf(ZN_ShapeBase* node) {
    std::vector<ZN_ShapeBase*> kids;
    for (ZN_ShapeBase* line : node->outputs()) {
        for (ZN_ShapeBase* kid : line->outputs())
            kids.push_back(kid);
    }
    return kids;
}


bool writeBenchMap(const std::string& path, int nodes) {
    std::unique_ptr<ZN_ShapeManager> page = benchmap::makeMap(nodes, benchmap::Layout::Spread);
    ZN_ShapeBase* root = benchmap::findRoot(*page);
    if (!root)
        return false;
    ZN_ShapeBase* bestLine = nullptr;
    ZN_ShapeBase* best = nullptr;
    int bestSize = -1;
    for (ZN_ShapeBase* line : root->outputs()) {
        for (ZN_ShapeBase* kid : line->outputs()) {
            const int size = subtreeSize(kid);
            if (size > bestSize) {
                bestSize = size;
                best = kid;
                bestLine = line;
            }
        }
    }
    if (best) {
        auto* fold = static_cast<ZN_NPoint*>(ZN_ShapeBase::createShape(2));
        fold->setCoord(ZVector2(best->getPoint1().X() - 40.0f,
                                0.5f * (best->getPoint1().Y() + best->getPoint2().Y())));
        fold->setStateType(1);
        page->addShape(fold);
        bestLine->deleteOutput(best);
        best->deleteInput(bestLine);
        bestLine->pushToOutput(fold);
        fold->pushToInput(bestLine);
        auto* line = static_cast<ZN_NLine*>(ZN_ShapeBase::createShape(1));
        line->pushPointBack(fold->getPoint2());
        line->pushPointBack(best->getPoint1());
        join(fold, line, best);
        line->reglueEnds();
        page->addShapeFront(line);
        if (auto* first = dynamic_cast<ZN_NLine*>(bestLine))
            first->reglueEnds();
    }
    return writeTvxFile(path, {{"页1", 0, page.get()}});
}

int indexOf(ZN_ShapeManager& page, const ZN_ShapeBase* shape) {
    int i = 0;
    for (const ZN_ShapeBase* s : page.getShapeList()) {
        if (s == shape)
            return i;
        ++i;
    }
    return -1;
}

ZN_ShapeBase* shapeAt(ZN_ShapeManager& page, int index) {
    int i = 0;
    for (ZN_ShapeBase* s : page.getShapeList()) {
        if (i++ == index)
            return s;
    }
    return nullptr;
}

} // namespace editorbench
