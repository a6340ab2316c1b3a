#pragma once
// One undoable step of a page, made by whatever edits it: before its first
// change the step finishes the label being typed (which may be a step of its
// own), keeps a snapshot of the page with the scroll position beside it, and
// once over marks the document modified. A step made `Deferred` takes its
// snapshot only when `change()` is first called, so that a press that ends up
// changing nothing leaves no step and no modified mark.

class CTavloView;
class ZN_ShapeManager;

class UndoStep {
public:
    enum When { Now, Deferred };

    // A step of the page the view shows.
    explicit UndoStep(CTavloView& view, When when = Now);
    // A step of `page`, one of the view's document (not necessarily shown).
    UndoStep(CTavloView& view, ZN_ShapeManager& page, When when = Now);
    ~UndoStep();
    UndoStep(const UndoStep&) = delete;
    UndoStep& operator=(const UndoStep&) = delete;

    // To be called before each change: the first call takes the snapshot.
    void change();
    bool taken() const { return taken_; }
    // Leaves the document's modified mark to the caller (the view is going).
    void forget() { taken_ = false; }

private:
    CTavloView& view_;
    ZN_ShapeManager* page_; // not owned; null when the view had no page
    bool taken_ = false;
};
