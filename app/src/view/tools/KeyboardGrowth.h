#pragma once
// Growing a map from the keyboard: Tab or Insert hangs a child on the
// selected node, Enter a sibling after it, F2 types into its label, and Alt
// with the arrows walks the tree. A new node copies the look of its
// neighbours, takes the first free place in its column, is joined to its
// parent as the connector tool joins two boxes, and opens its label at once;
// making it is one undo step.

#include <Qt>

class ToolContext;
class ZN_ShapeBase;

namespace growth {
struct Box;
}

class KeyboardGrowth {
public:
    explicit KeyboardGrowth(ToolContext& context) : context_(context) {}

    // Tab, Insert, Enter, F2 and Alt with the arrows on the selected node;
    // false when the key is not one of them or there is nothing to act on.
    bool key(int key, Qt::KeyboardModifiers flags);
    // The most recently selected node of the page shown, if any.
    ZN_ShapeBase* keyboardNode() const;
    void growChild(ZN_ShapeBase* parent);

private:
    bool onPageShown(const ZN_ShapeBase* shape) const;
    void growSibling(ZN_ShapeBase* node);
    void addGrownNode(ZN_ShapeBase* parent, ZN_ShapeBase* afterLine, const ZN_ShapeBase* look,
                      float left, float top, const growth::Box& size, bool crowded);
    void walkTree(int key);
    void ensureShapeVisible(const ZN_ShapeBase* shape);

    ToolContext& context_;
};
