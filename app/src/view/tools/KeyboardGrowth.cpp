#include "KeyboardGrowth.h"

#include <algorithm>
#include <cmath>

#include <QScrollBar>

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/ZN_TreeLayout.h>

#include "KeyboardTree.h"
#include "LabelEditor.h"
#include "ToolContext.h"
#include "view/CTavloView.h"
#include "view/TreeFolds.h"
#include "view/UndoStep.h"

namespace {

// Room kept around a node scrolled into view, in screen pixels.
constexpr float kVisibleMargin = 20.0f;

bool isEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// A new box with the look of `look` (a plain box, or null for a default
// one), empty, at `left`, `top`.
ZN_ShapeBase* makeNode(const ZN_ShapeBase* look, float left, float top, const growth::Box& size) {
    ZN_ShapeBase* node = look ? look->clone() : ZN_ShapeBase::createShape(7);
    if (!look)
        node->setLineWide(3);
    node->setId(0);
    node->setShow(true);
    auto* box = static_cast<ZN_NRect*>(node);
    // The picture is what a box shows, not how it looks.
    box->setImageData(nullptr);
    box->setImageId(0);
    box->setPoint1(ZVector2(left, top));
    box->setPoint2(ZVector2(left + size.width(), top + size.height()));
    // The label keeps its font, colour and alignment, not its words.
    if (ZN_SText* label = node->getLabel()) {
        label->setText("");
        label->setShow(true);
    }
    return node;
}

// Joins `parent` to `child` as the connector tool does when dragged from the
// inside of one to the inside of the other, and puts the connector right
// after `after` among the parent's outputs (at the end without one), so that
// the children stay in the order they were made.
void join(ZN_ShapeManager& page, ZN_ShapeBase* parent, ZN_ShapeBase* child, ZN_ShapeBase* after) {
    auto* line = static_cast<ZN_NLine*>(ZN_ShapeBase::createShape(1));
    line->setStrightType(1);
    line->setLineWide(3);
    line->setArrowType(0);
    line->setArrowSize(30);
    // A branch's connectors look alike: the new one takes its neighbour's.
    const ZN_NLine* neighbour = dynamic_cast<const ZN_NLine*>(after);
    for (const ZN_ShapeBase* out : parent->outputs())
        if (auto* l = dynamic_cast<const ZN_NLine*>(out);
            l && !after && !l->isCrossLink() && !l->outputs().empty())
            neighbour = l;
    if (neighbour) {
        line->setLineWide(neighbour->getLineWide());
        line->setColor(neighbour->getColor());
        line->setArrowType(neighbour->getArrowType());
        line->setArrowSize(neighbour->getArrowSize());
    }
    const growth::Box a = growth::boundsOf(parent);
    const growth::Box b = growth::boundsOf(child);
    line->pushPoint(ZVector2((a.left + a.right) * 0.5f, (a.top + a.bottom) * 0.5f), 0);
    line->pushPoint(ZVector2((b.left + b.right) * 0.5f, (b.top + b.bottom) * 0.5f), 1);
    line->pushToInput(parent);
    std::vector<ZN_ShapeBase*> later;
    if (after) {
        const auto& outs = parent->outputs();
        const auto at = std::find(outs.begin(), outs.end(), after);
        if (at != outs.end())
            later.assign(at + 1, outs.end());
    }
    for (ZN_ShapeBase* s : later)
        parent->deleteOutput(s);
    parent->pushToOutput(line);
    for (ZN_ShapeBase* s : later)
        parent->pushToOutput(s);
    line->setOutNumber(9);
    line->pushToOutput(child);
    child->pushToInput(line);
    line->setInNumber(9);
    line->updatePoint(1, true);
    line->updatePoint(line->getPointSize() - 2, true);
    page.addShapeFront(line);
}

} // namespace

bool KeyboardGrowth::key(int key, Qt::KeyboardModifiers flags) {
    const Qt::KeyboardModifiers mods = flags & ~Qt::KeypadModifier;
    const bool alt = mods == Qt::AltModifier;
    if (!context_.view.getCurrentPage() || context_.view.isEditing() ||
        context_.view.getDragState() != dragstate::Idle)
        return false;
    if (mods == Qt::NoModifier &&
        (key == Qt::Key_Tab || key == Qt::Key_Insert || isEnter(key) || key == Qt::Key_F2)) {
        ZN_ShapeBase* node = keyboardNode();
        if (!node)
            return key != Qt::Key_Tab; // Tab on nothing keeps moving the focus
        if (key == Qt::Key_F2) {
            ensureShapeVisible(node);
            context_.openEditor(node);
        } else if (isEnter(key))
            growSibling(node);
        else
            growChild(node);
        return true;
    }
    if (alt &&
        (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down)) {
        walkTree(key);
        return true;
    }
    return false;
}

ZN_ShapeBase* KeyboardGrowth::keyboardNode() const {
    // The most recently selected node of the page shown.
    const auto& shapes = context_.view.getSelection();
    for (auto it = shapes.rbegin(); it != shapes.rend(); ++it) {
        ZN_ShapeBase* shape = *it;
        if (shape->getSelected() && (growth::isTreeNode(shape) || shape->type() == 5))
            return onPageShown(shape) ? shape : nullptr;
    }
    return nullptr;
}

bool KeyboardGrowth::onPageShown(const ZN_ShapeBase* shape) const {
    // The selection survives a page switch; only a list taken from other
    // pages too needs the page searched.
    if (context_.selectionOnPageShownOnly())
        return true;
    const auto& shapes = context_.page().getShapeList();
    return std::find(shapes.begin(), shapes.end(), shape) != shapes.end();
}

void KeyboardGrowth::growChild(ZN_ShapeBase* parent) {
    if (!growth::isTreeNode(parent))
        return;
    const std::vector<ZN_ShapeBase*> children = growth::childrenOf(parent);
    const ZN_ShapeBase* look = nullptr;
    if (!children.empty() && growth::isPlainBox(children.back()))
        look = children.back();
    else if (growth::isPlainBox(parent))
        look = parent;
    const growth::Box size = look
                                 ? growth::boundsOf(look)
                                 : growth::Box{0, 0, growth::kDefaultWidth, growth::kDefaultHeight};
    const growth::Box p = growth::boundsOf(parent);
    float left = p.right + growth::kColumnGap;
    float top = (p.top + p.bottom - size.height()) * 0.5f;
    if (!children.empty()) {
        const growth::Box last = growth::boundsOf(children.back());
        left = last.left;
        top = last.bottom + growth::kSiblingGap;
    }
    // A laid-out tree finds the place itself.
    const bool laidOut = ZN_StoredLayout(ZN_TreeRoot(parent)) != ZN_Layout::None;
    const float free =
        laidOut ? top : growth::freeTop(context_.page(), left, top, size, growth::kSiblingGap);
    addGrownNode(parent, nullptr, look, left, free, size, free != top);
}

void KeyboardGrowth::growSibling(ZN_ShapeBase* node) {
    ZN_ShapeBase* parent = growth::parentOf(node);
    if (!parent) {
        growChild(node);
        return;
    }
    const ZN_ShapeBase* look = growth::isPlainBox(node) ? node : nullptr;
    const growth::Box b = growth::boundsOf(node);
    const growth::Box size =
        look ? b : growth::Box{0, 0, growth::kDefaultWidth, growth::kDefaultHeight};
    const float wanted = b.bottom + growth::kSiblingGap;
    const bool laidOut = ZN_StoredLayout(ZN_TreeRoot(parent)) != ZN_Layout::None;
    const float top =
        laidOut ? wanted
                : growth::freeTop(context_.page(), b.left, wanted, size, growth::kSiblingGap);
    addGrownNode(parent, growth::lineFromParent(node), look, b.left, top, size, top != wanted);
}

void KeyboardGrowth::addGrownNode(ZN_ShapeBase* parent, ZN_ShapeBase* afterLine,
                                  const ZN_ShapeBase* look, float left, float top,
                                  const growth::Box& size, bool crowded) {
    UndoStep undo(context_.view);
    const ZN_Layout layout = ZN_StoredLayout(ZN_TreeRoot(parent));
    ZN_ShapeBase* node = nullptr;
    if (layout != ZN_Layout::None) {
        // A laid-out tree puts the new node where its layout wants it.
        ZN_ShapeBase* holder = parent;
        if (ZN_NPoint* fold = treefolds::foldPointOf(parent)) {
            // A child added to a folded node shows with its brothers.
            if (fold->getStateType() == 2) {
                context_.page().shapeSpread(fold);
                fold->setStateType(1);
            }
            holder = fold;
        }
        if (!afterLine) {
            const growth::Box p = growth::boundsOf(parent);
            const ZN_ShapeBase* root = ZN_TreeRoot(parent);
            int side = 1;
            if (layout == ZN_Layout::LogicLeft)
                side = -1;
            else if (layout == ZN_Layout::MindMap && parent == root)
                side = treefolds::layoutFor(&context_.page()).sideForNewChild(parent);
            else if (layout == ZN_Layout::MindMap)
                side = growth::boundsOf(parent).left < growth::boundsOf(root).left ? -1 : 1;
            left = side > 0 ? p.right + growth::kColumnGap
                            : p.left - growth::kColumnGap - size.width();
            top = (p.top + p.bottom - size.height()) * 0.5f;
        }
        node = makeNode(look, left, top, size);
        context_.page().addShape(node);
        join(context_.page(), holder, node, afterLine);
        auto* line = static_cast<ZN_NLine*>(node->inputs().front());
        // The connector leaves the parent as its brothers' do.
        const ZN_NLine* brother = nullptr;
        for (const ZN_ShapeBase* out : holder->outputs())
            if (auto* l = dynamic_cast<const ZN_NLine*>(out);
                l && l != line && !l->outputs().empty())
                brother = l;
        if (brother) {
            line->setStrightType(brother->getStrightType());
            line->setbOffsetH(brother->getbOffsetH());
        } else {
            ZN_RouteBranch(line, layout);
        }
        treefolds::relayout(&context_.page(), ZN_TreeParent(node));
    } else {
        node = makeNode(look, left, top, size);
        context_.page().addShape(node);
        join(context_.page(), parent, node, afterLine);
        // Where the column below is taken, the tree makes room as 自动布局 lays
        // it out; what lies beside the tree is not moved, so the new node alone
        // steps down should the tree now cover it.
        if (crowded) {
            ZN_LayoutTree(growth::rootOf(parent));
            const growth::Box at = growth::boundsOf(node);
            const float free =
                growth::freeTop(context_.page(), at.left, at.top, size, growth::kSiblingGap, node);
            if (free != at.top)
                node->change(ZVector2(0, free - at.top), 9); // a move: label and connectors follow
        }
    }
    context_.view.clearSelection();
    context_.view.addToSelection(node);
    context_.hitShape = nullptr;
    ensureShapeVisible(node);
    context_.openEditor(node);
    // Typing the new node's name belongs to the step that made it.
    if (context_.view.isEditing())
        context_.editor().joinLastStep();
}

void KeyboardGrowth::walkTree(int key) {
    ZN_ShapeBase* node = keyboardNode();
    if (!node)
        return;
    ZN_ShapeBase* target = nullptr;
    if (key == Qt::Key_Left) {
        target = growth::parentOf(node);
    } else if (key == Qt::Key_Right) {
        const std::vector<ZN_ShapeBase*> children = growth::childrenOf(node);
        target = children.empty() ? nullptr : children.front();
    } else if (ZN_ShapeBase* parent = growth::parentOf(node)) {
        const std::vector<ZN_ShapeBase*> siblings = growth::childrenOf(parent);
        const auto at = std::find(siblings.begin(), siblings.end(), node);
        if (at != siblings.end()) {
            if (key == Qt::Key_Up && at != siblings.begin())
                target = *(at - 1);
            else if (key == Qt::Key_Down && at + 1 != siblings.end())
                target = *(at + 1);
        }
    }
    if (!target)
        return;
    context_.view.clearSelection();
    context_.view.addToSelection(target);
    ensureShapeVisible(target);
    context_.update();
}

void KeyboardGrowth::ensureShapeVisible(const ZN_ShapeBase* shape) {
    // The range must already take in a node just made beyond it.
    context_.view.updateScrollRanges();
    const growth::Box b = growth::boundsOf(shape);
    const ZVector2 offset = context_.view.viewOffset();
    const float margin = kVisibleMargin / context_.view.getZoom();
    const float w = static_cast<float>(context_.view.width()) / context_.view.getZoom();
    const float h = static_cast<float>(context_.view.height()) / context_.view.getZoom();
    // Along each axis: the least scroll that shows the whole shape, or its
    // top-left part when it is larger than the window.
    const auto along = [margin](float start, float size, float low, float high) {
        if (high + margin > start + size)
            start = high + margin - size;
        if (low - margin < start)
            start = low - margin;
        return start;
    };
    const float x = along(offset.X(), w, b.left, b.right);
    const float y = along(offset.Y(), h, b.top, b.bottom);
    if (x != offset.X() || y != offset.Y())
        context_.view.scrollTo(
            QPoint(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y))));
}
