#include "view/UndoStep.h"

#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_ShapeManager.h>

#include "view/CTavloView.h"

UndoStep::UndoStep(CTavloView& view, When when) : view_(view), page_(view.getCurrentPage()) {
    if (when == Now)
        change();
}

UndoStep::UndoStep(CTavloView& view, ZN_ShapeManager& page, When when)
    : view_(view), page_(&page) {
    if (when == Now)
        change();
}

UndoStep::~UndoStep() {
    if (taken_)
        view_.markModified();
}

void UndoStep::change() {
    if (taken_ || !page_)
        return;
    // The text being typed belongs to the page before this change.
    view_.commitEdit();
    page_->getUndoRedo()->copyAllTooplist(true);
    // The scroll position belongs to the page shown; undo brings it back there.
    if (page_ == view_.getCurrentPage())
        view_.noteSnapshotScroll(*page_);
    taken_ = true;
}
