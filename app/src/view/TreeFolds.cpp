#include "view/TreeFolds.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_ShapeManager.h>

namespace treefolds {

namespace {

// How far a new fold point's centre lies from its node's edge.
constexpr float kFoldGap = 12.0f;

struct SharedLayout {
    ZN_TreeLayout layout;
    const ZN_ShapeManager* page = nullptr;
};

SharedLayout& shared() {
    static SharedLayout s;
    return s;
}

bool isTreeNode(const ZN_ShapeBase* s) { return s && (s->isRegion() || s->type() == 2); }

ZN_NPoint* asFoldPoint(ZN_ShapeBase* s) {
    if (!s || s->type() != 2)
        return nullptr;
    auto* point = dynamic_cast<ZN_NPoint*>(s);
    return point && point->getStateType() != 0 ? point : nullptr;
}

// The connector `out` when it starts at `from` and leads to a tree node.
ZN_NLine* edgeFrom(ZN_ShapeBase* from, ZN_ShapeBase* out) {
    if (!out || out->type() != 1)
        return nullptr;
    auto* line = static_cast<ZN_NLine*>(out);
    if (line->inputs().empty() || line->inputs().front() != from || line->outputs().empty())
        return nullptr;
    ZN_ShapeBase* end = line->outputs().front();
    return isTreeNode(end) && end != from ? line : nullptr;
}

ZN_ShapeBase* endOf(const ZN_NLine* line) { return line->outputs().front(); }

// The connectors from `node` to its children, through its fold point.
std::vector<ZN_NLine*> childLines(ZN_ShapeBase* node) {
    std::vector<ZN_NLine*> lines;
    for (ZN_ShapeBase* out : node->outputs()) {
        ZN_NLine* line = edgeFrom(node, out);
        if (!line)
            continue;
        ZN_NPoint* fold = asFoldPoint(endOf(line));
        if (fold && !asFoldPoint(node)) {
            for (ZN_ShapeBase* below : fold->outputs())
                if (ZN_NLine* l = edgeFrom(fold, below))
                    lines.push_back(l);
        } else {
            lines.push_back(line);
        }
    }
    return lines;
}

// Shows, hides and folds, or with `dry` only tells whether it would.
struct Changes {
    bool dry = false;
    bool any = false;
    void show(ZN_ShapeBase* s, bool shown) {
        if (s->getShow() == shown)
            return;
        any = true;
        if (!dry)
            s->setShow(shown);
    }
    void state(ZN_NPoint* fold, int value) {
        if (fold->getStateType() == value)
            return;
        any = true;
        if (!dry)
            fold->setStateType(value);
    }
    // Hides everything below `fold`, which stays shown; with `foldBelow`
    // the unfolded fold points down there fold too.
    void hideBelow(ZN_NPoint* fold, bool foldBelow) {
        std::unordered_set<const ZN_ShapeBase*> seen{fold};
        std::vector<ZN_ShapeBase*> stack(fold->outputs().begin(), fold->outputs().end());
        while (!stack.empty()) {
            ZN_ShapeBase* s = stack.back();
            stack.pop_back();
            if (!s || !seen.insert(s).second)
                continue;
            show(s, false);
            if (foldBelow)
                if (ZN_NPoint* inner = asFoldPoint(s))
                    state(inner, 2);
            stack.insert(stack.end(), s->outputs().begin(), s->outputs().end());
        }
    }
    // Shows what hangs from `node` one generation down: its connectors and
    // what they lead to.
    void showOutputs(ZN_ShapeBase* node) {
        for (ZN_ShapeBase* out : node->outputs()) {
            if (!out)
                continue;
            show(out, true);
            if (out->type() == 1)
                for (ZN_ShapeBase* end : out->outputs())
                    if (end)
                        show(end, true);
        }
    }
};

} // namespace

ZN_TreeLayout& layoutFor(const ZN_ShapeManager* page) {
    SharedLayout& s = shared();
    if (s.page != page) {
        s.layout.forget();
        s.page = page;
    }
    return s.layout;
}

void forgetLayout() { shared().layout.forget(); }

ZN_LayoutReport relayout(const ZN_ShapeManager* page, ZN_ShapeBase* changed, ZN_LayoutScope scope) {
    return relayout(page, std::vector<ZN_ShapeBase*>{changed}, scope);
}

ZN_LayoutReport relayout(const ZN_ShapeManager* page, const std::vector<ZN_ShapeBase*>& changed,
                         ZN_LayoutScope scope) {
    std::vector<ZN_ShapeBase*> shapes;
    for (ZN_ShapeBase* s : changed)
        if (s)
            shapes.push_back(s);
    if (shapes.empty())
        return {};
    return layoutFor(page).relayout(shapes, scope);
}

std::vector<ZN_ShapeBase*> childrenOf(ZN_ShapeBase* node) {
    std::vector<ZN_ShapeBase*> children;
    if (!node)
        return children;
    for (ZN_NLine* line : childLines(node))
        children.push_back(endOf(line));
    return children;
}

ZN_NPoint* foldPointOf(ZN_ShapeBase* node) {
    if (!node || asFoldPoint(node))
        return nullptr;
    for (ZN_ShapeBase* out : node->outputs())
        if (ZN_NLine* line = edgeFrom(node, out))
            if (ZN_NPoint* fold = asFoldPoint(endOf(line)))
                return fold;
    return nullptr;
}

ZN_NPoint* makeFoldPoint(ZN_ShapeManager& page, ZN_ShapeBase* node) {
    if (!node || asFoldPoint(node))
        return nullptr;
    if (ZN_NPoint* fold = foldPointOf(node))
        return fold;
    std::vector<ZN_NLine*> lines;
    for (ZN_ShapeBase* out : node->outputs())
        if (ZN_NLine* line = edgeFrom(node, out))
            lines.push_back(line);
    if (lines.empty())
        return nullptr;

    // Beside the node on the side its children lie, below it when they lie
    // below; a laid-out tree puts it where its layout wants it.
    const ZVector2 a = node->getPoint1();
    const ZVector2 b = node->getPoint2();
    const ZVector2 centre = (a + b) * 0.5f;
    const ZN_ShapeBase* first = endOf(lines.front());
    const ZVector2 there = (first->getPoint1() + first->getPoint2()) * 0.5f;
    const float left = std::min(a.X(), b.X()), right = std::max(a.X(), b.X());
    const float bottom = std::max(a.Y(), b.Y());
    ZVector2 at(right + kFoldGap, centre.Y());
    if (there.X() >= left && there.X() <= right && there.Y() > bottom)
        at = ZVector2(centre.X(), bottom + kFoldGap);
    else if (there.X() < centre.X())
        at = ZVector2(left - kFoldGap, centre.Y());

    auto* fold = static_cast<ZN_NPoint*>(ZN_ShapeBase::createShape(2));
    fold->setStateType(1);
    fold->setCoord(at);
    fold->setShow(node->getShow());
    // The stem looks like the branches it carries.
    auto* stem = static_cast<ZN_NLine*>(ZN_ShapeBase::createShape(1));
    const ZN_NLine* look = lines.front();
    stem->setStrightType(1);
    stem->setLineWide(look->getLineWide());
    stem->setColor(look->getColor());
    stem->setArrowType(0);
    stem->setArrowSize(look->getArrowSize());
    stem->setShow(node->getShow());
    stem->pushPointBack(centre);
    stem->pushPointBack(at);

    // The stem takes the first branch's place among the node's outputs.
    const std::vector<ZN_ShapeBase*> before(node->outputs().begin(), node->outputs().end());
    for (ZN_ShapeBase* out : before)
        node->deleteOutput(out);
    bool stemPut = false;
    for (ZN_ShapeBase* out : before) {
        if (std::find(lines.begin(), lines.end(), out) == lines.end()) {
            node->pushToOutput(out);
        } else if (!stemPut) {
            node->pushToOutput(stem);
            stemPut = true;
        }
    }
    stem->pushToInput(node);
    stem->setOutNumber(9);
    stem->pushToOutput(fold);
    fold->pushToInput(stem);
    stem->setInNumber(9);
    for (ZN_NLine* line : lines) {
        line->deleteInput(node);
        line->pushToInput(fold);
        fold->pushToOutput(line);
        line->reglueEnds();
    }
    stem->reglueEnds();
    page.addShapeFront(stem);
    page.addShape(fold);
    return fold;
}

ZN_ShapeBase* toggleFold(ZN_ShapeManager& page, ZN_ShapeBase* node) {
    if (!node)
        return nullptr;
    ZN_NPoint* fold = asFoldPoint(node);
    if (!fold) {
        fold = foldPointOf(node);
        if (!fold) {
            if (childLines(node).empty())
                return nullptr;
            fold = makeFoldPoint(page, node);
        }
    }
    if (!fold)
        return nullptr;
    // As a click on the fold point does.
    if (fold->getStateType() == 1) {
        page.shapeShrink(fold);
        fold->setStateType(2);
    } else {
        page.shapeSpread(fold);
        fold->setStateType(1);
    }
    return fold;
}

bool showLevels(ZN_ShapeManager& page, const std::vector<ZN_ShapeBase*>& heads, int levels,
                bool foldBelow, bool dry) {
    Changes change;
    change.dry = dry;
    std::unordered_set<const ZN_ShapeBase*> seen;
    struct Entry {
        ZN_ShapeBase* node;
        int level;
    };
    std::vector<Entry> stack;
    for (ZN_ShapeBase* head : heads)
        if (head)
            stack.push_back({head, 1});
    while (!stack.empty()) {
        const Entry e = stack.back();
        stack.pop_back();
        if (!seen.insert(e.node).second)
            continue;
        const std::vector<ZN_NLine*> lines = childLines(e.node);
        if (lines.empty())
            continue;
        ZN_NPoint* fold = foldPointOf(e.node);
        if (levels > 0 && e.level >= levels) {
            if (!fold) {
                change.any = true;
                if (dry)
                    continue;
                fold = makeFoldPoint(page, e.node);
                if (!fold)
                    continue;
            }
            change.state(fold, 2);
            change.show(fold, true);
            for (ZN_ShapeBase* in : fold->inputs())
                change.show(in, true);
            change.hideBelow(fold, foldBelow);
            continue;
        }
        change.showOutputs(e.node);
        if (fold) {
            change.state(fold, 1);
            change.showOutputs(fold);
        }
        for (ZN_NLine* line : lines)
            stack.push_back({endOf(line), e.level + 1});
    }
    return change.any;
}

std::vector<ZN_ShapeBase*> treesOf(ZN_ShapeManager& page,
                                   const std::vector<ZN_ShapeBase*>& selected) {
    std::vector<ZN_ShapeBase*> roots;
    std::unordered_set<const ZN_ShapeBase*> seen;
    for (ZN_ShapeBase* s : selected) {
        ZN_ShapeBase* root = ZN_TreeRoot(s);
        if (isTreeNode(root) && seen.insert(root).second)
            roots.push_back(root);
    }
    if (!selected.empty())
        return roots;
    for (ZN_ShapeBase* s : std::as_const(page).getShapeList())
        if (isTreeNode(s) && s->getShow() && !asFoldPoint(s) && !ZN_TreeParent(s) &&
            !childLines(s).empty())
            roots.push_back(s);
    return roots;
}

} // namespace treefolds
