#include <sarvik/ZN_ShapeManager.h>

#include <sarvik/ZN_NLine.h>

// Folding walks pass cross links by, so that a node that only a cross link
// reaches is never folded away; the link itself follows its two nodes.
void ZN_ShapeManager::showCrossLinks() {
    for (ZN_ShapeBase* shape : listArray()) {
        if (shape->type() != 1 || !shape->isCrossLink())
            continue;
        const auto& from = shape->inputs();
        const auto& to = shape->outputs();
        if (from.empty() || to.empty() || !from.front() || !to.front())
            continue;
        const bool shown = from.front()->getShow() && to.front()->getShow();
        if (!shown)
            shape->setSelected(false);
        shape->setShow(shown);
    }
}
