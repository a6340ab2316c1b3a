#include <sarvik/ZTidyTree.h>

#include <cstddef>

// Walker's layout with Buchheim's threads and deferred shifts, so each
// subtree is joined to its left neighbours by walking only their facing
// contours. The two walks run over explicit orders rather than by recursion.

namespace {

struct Node {
    int parent = -1;
    int firstChild = 0; // into the child table
    int childCount = 0;
    int number = 0;     // 1-based place among its siblings
    int thread = -1;
    int ancestor = 0;
    float prelim = 0.0f;
    float mod = 0.0f;
    float shift = 0.0f;
    float change = 0.0f;
};

class Tidy {
public:
    Tidy(const std::vector<int>& parent, const std::vector<float>& breadth, float gap)
        : breadth_(breadth), gap_(gap), nodes_(parent.size()) {}

    bool build(const std::vector<int>& parent);
    void firstWalk();
    std::vector<float> secondWalk() const;

private:
    int child(int v, int k) const { return children_[static_cast<std::size_t>(at(v).firstChild + k)]; }
    const Node& at(int v) const { return nodes_[static_cast<std::size_t>(v)]; }
    Node& at(int v) { return nodes_[static_cast<std::size_t>(v)]; }
    int firstChildOf(int v) const { return at(v).childCount ? child(v, 0) : -1; }
    int lastChildOf(int v) const { return at(v).childCount ? child(v, at(v).childCount - 1) : -1; }
    int nextLeft(int v) const { return at(v).childCount ? firstChildOf(v) : at(v).thread; }
    int nextRight(int v) const { return at(v).childCount ? lastChildOf(v) : at(v).thread; }
    int leftSibling(int v) const {
        const Node& n = at(v);
        return n.parent < 0 || n.number <= 1 ? -1 : child(n.parent, n.number - 2);
    }
    float separation(int a, int b) const {
        return 0.5f * (breadth_[static_cast<std::size_t>(a)] + breadth_[static_cast<std::size_t>(b)]) +
               gap_;
    }
    void finish(int v);
    int apportion(int v, int defaultAncestor);
    void moveSubtree(int wm, int wp, float shift);
    void executeShifts(int v);

    const std::vector<float>& breadth_;
    float gap_;
    std::vector<Node> nodes_;
    std::vector<int> children_;
    std::vector<int> defaultAncestor_;
    std::vector<int> postOrder_;
};

bool Tidy::build(const std::vector<int>& parent) {
    const int n = static_cast<int>(parent.size());
    if (n == 0 || parent[0] != -1 || breadth_.size() != parent.size())
        return false;
    std::vector<int> count(static_cast<std::size_t>(n) + 1, 0);
    for (int i = 1; i < n; ++i) {
        const int p = parent[static_cast<std::size_t>(i)];
        if (p < 0 || p >= n || p == i)
            return false;
        ++count[static_cast<std::size_t>(p)];
    }
    int start = 0;
    for (int v = 0; v < n; ++v) {
        at(v).firstChild = start;
        at(v).ancestor = v;
        at(v).parent = parent[static_cast<std::size_t>(v)];
        start += count[static_cast<std::size_t>(v)];
    }
    children_.assign(static_cast<std::size_t>(n > 0 ? n - 1 : 0), 0);
    for (int i = 1; i < n; ++i) {
        Node& p = at(parent[static_cast<std::size_t>(i)]);
        at(i).number = p.childCount + 1;
        children_[static_cast<std::size_t>(p.firstChild + p.childCount++)] = i;
    }
    // Post-order from the root; a node not reached lies on a cycle.
    postOrder_.reserve(static_cast<std::size_t>(n));
    std::vector<std::pair<int, int>> stack{{0, 0}};
    while (!stack.empty()) {
        auto& [v, next] = stack.back();
        if (next < at(v).childCount) {
            const int c = child(v, next++);
            stack.push_back({c, 0});
            continue;
        }
        postOrder_.push_back(v);
        stack.pop_back();
    }
    return static_cast<int>(postOrder_.size()) == n;
}

void Tidy::firstWalk() {
    defaultAncestor_.assign(nodes_.size(), -1);
    for (int v : postOrder_)
        finish(v);
}

// Everything below v is placed; v takes its preliminary place and is joined
// to the subtrees of its left siblings.
void Tidy::finish(int v) {
    Node& node = at(v);
    const int left = leftSibling(v);
    if (node.childCount == 0) {
        node.prelim = left < 0 ? 0.0f : at(left).prelim + separation(left, v);
    } else {
        executeShifts(v);
        const float mid = 0.5f * (at(firstChildOf(v)).prelim + at(lastChildOf(v)).prelim);
        if (left < 0) {
            node.prelim = mid;
        } else {
            node.prelim = at(left).prelim + separation(left, v);
            node.mod = node.prelim - mid;
        }
    }
    if (node.parent >= 0) {
        int& anc = defaultAncestor_[static_cast<std::size_t>(node.parent)];
        if (anc < 0)
            anc = firstChildOf(node.parent);
        anc = apportion(v, anc);
    }
}

int Tidy::apportion(int v, int defaultAncestor) {
    const int w = leftSibling(v);
    if (w < 0)
        return defaultAncestor;
    int vip = v, vop = v, vim = w;
    int vom = firstChildOf(at(v).parent);
    float sip = at(vip).mod, sop = at(vop).mod, sim = at(vim).mod, som = at(vom).mod;
    while (nextRight(vim) >= 0 && nextLeft(vip) >= 0) {
        vim = nextRight(vim);
        vip = nextLeft(vip);
        vom = nextLeft(vom);
        vop = nextRight(vop);
        at(vop).ancestor = v;
        const float shift = (at(vim).prelim + sim) - (at(vip).prelim + sip) + separation(vim, vip);
        if (shift > 0.0f) {
            const int a = at(vim).ancestor;
            const int from = at(a).parent == at(v).parent ? a : defaultAncestor;
            moveSubtree(from, v, shift);
            sip += shift;
            sop += shift;
        }
        sim += at(vim).mod;
        sip += at(vip).mod;
        som += at(vom).mod;
        sop += at(vop).mod;
    }
    if (nextRight(vim) >= 0 && nextRight(vop) < 0) {
        at(vop).thread = nextRight(vim);
        at(vop).mod += sim - sop;
    }
    if (nextLeft(vip) >= 0 && nextLeft(vom) < 0) {
        at(vom).thread = nextLeft(vip);
        at(vom).mod += sip - som;
        defaultAncestor = v;
    }
    return defaultAncestor;
}

void Tidy::moveSubtree(int wm, int wp, float shift) {
    const float subtrees = static_cast<float>(at(wp).number - at(wm).number);
    if (subtrees > 0.0f) {
        at(wp).change -= shift / subtrees;
        at(wm).change += shift / subtrees;
    }
    at(wp).shift += shift;
    at(wp).prelim += shift;
    at(wp).mod += shift;
}

void Tidy::executeShifts(int v) {
    float shift = 0.0f, change = 0.0f;
    for (int k = at(v).childCount - 1; k >= 0; --k) {
        Node& w = at(child(v, k));
        w.prelim += shift;
        w.mod += shift;
        change += w.change;
        shift += w.shift + change;
    }
}

std::vector<float> Tidy::secondWalk() const {
    std::vector<float> centre(nodes_.size(), 0.0f);
    std::vector<float> sumMod(nodes_.size(), 0.0f); // the mods of a node's ancestors
    // Parents come before their children in reverse post-order.
    for (auto it = postOrder_.rbegin(); it != postOrder_.rend(); ++it) {
        const int v = *it;
        const Node& node = at(v);
        const float m = node.parent < 0 ? 0.0f : sumMod[static_cast<std::size_t>(node.parent)];
        centre[static_cast<std::size_t>(v)] = node.prelim + m;
        sumMod[static_cast<std::size_t>(v)] = m + node.mod;
    }
    const float root = centre[0];
    for (float& c : centre)
        c -= root;
    return centre;
}

} // namespace

std::vector<float> ZTidyTreeCentres(const std::vector<int>& parent,
                                    const std::vector<float>& breadth, float gap) {
    Tidy tidy(parent, breadth, gap);
    if (!tidy.build(parent))
        return {};
    tidy.firstWalk();
    return tidy.secondWalk();
}
