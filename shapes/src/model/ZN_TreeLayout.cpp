#include <sarvik/ZN_TreeLayout.h>

#include <algorithm>
#include <memory>

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_ShapeBase.h>

#include "layout/Run.h"

using namespace detail::layout;

namespace {

// Trees remembered at once; a page has seldom more than a few laid out.
constexpr std::size_t kTreesKept = 4;

bool layableRoot(const ZN_ShapeBase* root) { return isTreeNode(root); }

} // namespace

struct ZN_TreeLayout::Impl {
    ZN_TreeLayoutOptions options;
    std::vector<std::unique_ptr<Tree>> trees; // the one used last at the back
    Call call;

    Tree* find(const void* root) {
        for (std::size_t i = 0; i < trees.size(); ++i) {
            if (trees[i]->rootKey == root) {
                std::rotate(trees.begin() + static_cast<std::ptrdiff_t>(i),
                            trees.begin() + static_cast<std::ptrdiff_t>(i) + 1, trees.end());
                return trees.back().get();
            }
        }
        return nullptr;
    }
    Tree& slot(const void* root) {
        if (Tree* t = find(root))
            return *t;
        if (trees.size() >= kTreesKept)
            trees.erase(trees.begin());
        trees.push_back(std::make_unique<Tree>());
        return *trees.back();
    }
    void drop(const void* root) {
        trees.erase(std::remove_if(trees.begin(), trees.end(),
                                   [&](const auto& t) { return t->rootKey == root; }),
                    trees.end());
    }
    ZN_LayoutReport whole(ZN_ShapeBase* root, ZN_Layout layout, bool balance, bool restyle) {
        Tree& tree = slot(root);
        tree.options = options;
        return layoutWhole(tree, call, root, settingsFor(layout, options, restyle), balance);
    }
};

ZN_TreeLayout::ZN_TreeLayout(const ZN_TreeLayoutOptions& options) : impl_(std::make_unique<Impl>()) {
    impl_->options = options;
}

ZN_TreeLayout::~ZN_TreeLayout() = default;

const ZN_TreeLayoutOptions& ZN_TreeLayout::options() const { return impl_->options; }

void ZN_TreeLayout::forget() { impl_->trees.clear(); }

ZN_LayoutReport ZN_TreeLayout::apply(ZN_ShapeBase* node, ZN_Layout layout, ZN_LayoutSides sides) {
    ZN_ShapeBase* root = ZN_TreeRoot(node);
    if (!layableRoot(root))
        return {};
    const ZN_Layout stored = ZN_StoredLayout(root);
    ZN_StoreLayout(root, layout);
    if (layout == ZN_Layout::None) {
        impl_->drop(root);
        return {};
    }
    const bool balance =
        layout == ZN_Layout::MindMap &&
        (sides == ZN_LayoutSides::Balance ||
         (sides == ZN_LayoutSides::Auto && stored != ZN_Layout::MindMap));
    return impl_->whole(root, layout, balance, stored != layout);
}

ZN_LayoutReport ZN_TreeLayout::relayout(ZN_ShapeBase* changed, ZN_LayoutScope scope) {
    return relayout(std::vector<ZN_ShapeBase*>{changed}, scope);
}

ZN_LayoutReport ZN_TreeLayout::relayout(const std::vector<ZN_ShapeBase*>& changed,
                                        ZN_LayoutScope scope) {
    // The changes by tree, trees in the order first met.
    std::vector<std::pair<ZN_ShapeBase*, std::vector<ZN_ShapeBase*>>> byRoot;
    for (ZN_ShapeBase* shape : changed) {
        ZN_ShapeBase* root = shape ? ZN_TreeRoot(shape) : nullptr;
        if (!layableRoot(root) || ZN_StoredLayout(root) == ZN_Layout::None)
            continue;
        auto it = std::find_if(byRoot.begin(), byRoot.end(),
                               [&](const auto& entry) { return entry.first == root; });
        if (it == byRoot.end())
            byRoot.push_back({root, {shape}});
        else
            it->second.push_back(shape);
    }
    ZN_LayoutReport total;
    for (const auto& [root, shapes] : byRoot) {
        const ZN_Layout layout = ZN_StoredLayout(root);
        ZN_LayoutReport report;
        Tree* tree = impl_->find(root);
        const bool known = tree && tree->layout == layout && tree->options == impl_->options;
        if (!known || !layoutChanges(*tree, impl_->call, root, shapes, scope,
                                     settingsFor(layout, impl_->options, false), report))
            report = impl_->whole(root, layout, false, false);
        total.nodes += report.nodes;
        total.written += report.written;
        total.whole = total.whole || report.whole;
    }
    return total;
}

int ZN_TreeLayout::sideForNewChild(ZN_ShapeBase* root) {
    root = ZN_TreeRoot(root);
    const ZN_Layout layout = ZN_StoredLayout(root);
    if (!layableRoot(root) || layout != ZN_Layout::MindMap)
        return fixedSide(layout);
    // The bands of the root's children, from the tree as laid out last, or
    // read afresh.
    Tree scratch;
    const Tree* tree = impl_->find(root);
    if (!tree || tree->layout != layout) {
        Call call;
        const Settings s = settingsFor(layout, impl_->options, false);
        scratch.layout = layout;
        call.begin(0);
        arrangeRange(scratch, collectBranch(scratch, call, s, root, nullptr, -1, false), s);
        tree = &scratch;
    }
    float right = 0.0f, left = 0.0f;
    const int* kids = tree->childrenOf(0);
    for (std::uint32_t i = 0; i < tree->at(0).childCount; ++i) {
        const ModelNode& c = tree->at(kids[i]);
        (c.side < 0 ? left : right) += c.band + impl_->options.siblingGap;
    }
    return left < right ? -1 : 1;
}

ZN_ShapeBase* ZN_TreeParent(const ZN_ShapeBase* node) {
    if (!node)
        return nullptr;
    ZN_ShapeBase* up = rawParent(node);
    // A fold point hanging from a node stands for that node.
    if (up && isFoldPoint(up)) {
        ZN_ShapeBase* host = rawParent(up);
        if (host && host != node && !isFoldPoint(host))
            return host;
    }
    return up;
}

ZN_ShapeBase* ZN_TreeRoot(ZN_ShapeBase* node) {
    const std::vector<ZN_ShapeBase*> chain = ancestry(node);
    return chain.empty() ? nullptr : chain.back();
}

ZN_Layout ZN_StoredLayout(const ZN_ShapeBase* root) {
    return root ? root->getFields().layout : ZN_Layout::None;
}

void ZN_StoreLayout(ZN_ShapeBase* root, ZN_Layout layout) {
    if (!root || ZN_StoredLayout(root) == layout)
        return;
    ZN_NodeFields fields = root->getFields();
    fields.layout = layout;
    root->setFields(std::move(fields));
}

void ZN_RouteBranch(ZN_NLine* line, ZN_Layout layout, const ZN_TreeLayoutOptions& options) {
    if (!line || line->inputs().empty() || !line->inputs().front() || line->outputs().empty() ||
        !line->outputs().front())
        return;
    const ZN_Layout as = layout == ZN_Layout::None ? ZN_Layout::MindMap : layout;
    // A horizontal branch grows towards the side its child lies on.
    const int side = sideByPosition(line->inputs().front(), line->outputs().front());
    route(line, orientationOf(as, as == ZN_Layout::MindMap ? side : fixedSide(as)),
          defaultStyle(as), settingsFor(as, options, true));
}

std::vector<ZN_ShapeBase*> ZN_LayoutTree(ZN_ShapeBase* head, const ZN_TreeLayoutOptions& options) {
    std::vector<ZN_ShapeBase*> placed;
    if (!layableRoot(head))
        return placed;
    ZN_ShapeBase* root = ZN_TreeRoot(head);
    const ZN_Layout stored = ZN_StoredLayout(root);
    ZN_Layout layout = stored;
    if (stored == ZN_Layout::None) {
        layout = ZN_Layout::MindMap;
    } else if (head != root && isHorizontal(stored)) {
        layout = sideByPosition(root, head) < 0 && stored != ZN_Layout::LogicRight
                     ? ZN_Layout::LogicLeft
                     : ZN_Layout::LogicRight;
        if (stored == ZN_Layout::LogicLeft)
            layout = ZN_Layout::LogicLeft;
    }
    Tree tree;
    Call call;
    layoutWhole(tree, call, head, settingsFor(layout, options, false), false, &placed);
    return placed;
}

bool ZN_PlaceDropped(ZN_ShapeBase* node) {
    ZN_NLine* line = node ? lineInto(node) : nullptr;
    if (!line)
        return false;
    ZN_ShapeBase* holder = line->inputs().front();
    ZN_ShapeBase* root = ZN_TreeRoot(node);
    const ZN_Layout layout = ZN_StoredLayout(root);
    if (layout == ZN_Layout::None)
        return false;
    // Siblings follow one another across the growth: down the page, or
    // along it in an org chart; a mind map's root orders each side apart.
    const bool alongX = layout == ZN_Layout::OrgChart;
    const auto across = [alongX](const ZN_ShapeBase* s) {
        const ZVector2 c = boxOf(s).centre();
        return alongX ? c.X() : c.Y();
    };
    const bool sided = layout == ZN_Layout::MindMap && holder == root;
    const int side = sided ? sideByPosition(root, node) : 0;
    const float mine = across(node);

    const std::vector<ZN_ShapeBase*> before(holder->outputs().begin(), holder->outputs().end());
    std::vector<ZN_ShapeBase*> order = before;
    order.erase(std::find(order.begin(), order.end(), line));
    std::size_t at = order.size();
    std::size_t afterLast = order.size();
    bool sibling = false;
    for (std::size_t i = 0; i < order.size(); ++i) {
        ZN_ShapeBase* out = order[i];
        if (!out || out->type() != 1 || out->inputs().empty() || out->inputs().front() != holder ||
            out->outputs().empty())
            continue;
        const ZN_ShapeBase* end = out->outputs().front();
        if (!isTreeNode(end) || !end->getShow() || end == node ||
            (sided && sideByPosition(root, end) != side))
            continue;
        if (across(end) > mine) {
            at = i;
            break;
        }
        sibling = true;
        afterLast = i + 1;
    }
    if (at == order.size() && sibling)
        at = afterLast;
    order.insert(order.begin() + static_cast<std::ptrdiff_t>(at), line);
    if (order == before)
        return false;
    for (ZN_ShapeBase* out : before)
        holder->deleteOutput(out);
    for (ZN_ShapeBase* out : order)
        holder->pushToOutput(out);
    return true;
}
