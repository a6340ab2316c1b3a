#include "LayoutModel.h"

#include <algorithm>

namespace detail::layout {

bool isHorizontal(ZN_Layout layout) {
    return layout == ZN_Layout::MindMap || layout == ZN_Layout::LogicRight ||
           layout == ZN_Layout::LogicLeft;
}

// Open addressing with linear probing; the table is at most half full.
std::size_t KeyIndex::slotOf(const void* key) const {
    auto h = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(key));
    h ^= h >> 29;
    h *= 0xbf58476d1ce4e5b9ULL;
    h ^= h >> 32;
    return static_cast<std::size_t>(h) & (slots_.size() - 1);
}

int KeyIndex::find(const void* key) const {
    if (slots_.empty() || !key)
        return kAbsent;
    for (std::size_t i = slotOf(key);; i = (i + 1) & (slots_.size() - 1)) {
        const Slot& s = slots_[i];
        if (s.key == key)
            return s.value;
        if (!s.key)
            return kAbsent;
    }
}

void KeyIndex::grow() {
    std::vector<Slot> old = std::move(slots_);
    std::size_t size = 64;
    while (size < 4 * (used_ + 1))
        size *= 2;
    slots_.assign(size, Slot{});
    used_ = taken_ = 0;
    for (const Slot& s : old)
        if (s.key && s.key != tomb())
            set(s.key, s.value);
}

void KeyIndex::set(const void* key, int value) {
    if (!key || key == tomb())
        return;
    if (2 * (taken_ + 1) > slots_.size())
        grow();
    std::size_t free = slots_.size();
    for (std::size_t i = slotOf(key);; i = (i + 1) & (slots_.size() - 1)) {
        Slot& s = slots_[i];
        if (s.key == key) {
            s.value = value;
            return;
        }
        if (s.key == tomb() && free == slots_.size())
            free = i;
        if (!s.key) {
            if (free == slots_.size()) {
                free = i;
                ++taken_;
            }
            slots_[free] = Slot{key, value};
            ++used_;
            return;
        }
    }
}

void KeyIndex::erase(const void* key) {
    if (slots_.empty() || !key)
        return;
    for (std::size_t i = slotOf(key);; i = (i + 1) & (slots_.size() - 1)) {
        Slot& s = slots_[i];
        if (s.key == key) {
            s = Slot{tomb(), kAbsent};
            --used_;
            return;
        }
        if (!s.key)
            return;
    }
}

void KeyIndex::clear() {
    slots_.clear();
    used_ = taken_ = 0;
}

void Tree::setChildren(int v, const std::vector<int>& children) {
    ModelNode& node = at(v);
    const auto count = static_cast<std::uint32_t>(children.size());
    if (count > node.childRoom) {
        poolGarbage += node.childRoom;
        node.childBegin = static_cast<std::uint32_t>(pool.size());
        node.childRoom = count;
        pool.resize(pool.size() + count);
    }
    std::copy(children.begin(), children.end(), pool.begin() + node.childBegin);
    node.childCount = count;
}

void Tree::drop(int v) {
    const int parent = at(v).parent;
    if (parent >= 0) {
        // Out of its parent's list, so that it is never walked into again.
        ModelNode& up = at(parent);
        int* kids = childrenOf(parent);
        int* last = std::remove(kids, kids + up.childCount, v);
        up.childCount = static_cast<std::uint32_t>(last - kids);
    }
    dropNodes(std::vector<int>{v});
}

void Tree::dropBelow(int v) {
    std::vector<int> stack(childrenOf(v), childrenOf(v) + at(v).childCount);
    at(v).childCount = 0;
    dropNodes(std::move(stack));
}

void Tree::dropNodes(std::vector<int> stack) {
    while (!stack.empty()) {
        const int w = stack.back();
        stack.pop_back();
        ModelNode& node = at(w);
        if (!node.alive)
            continue;
        // Only this node's own entries go: the shape may be in the tree again
        // elsewhere already.
        if (index.find(node.key) == w)
            index.erase(node.key);
        if (node.fold && index.find(node.fold) == KeyIndex::foldOf(w))
            index.erase(node.fold);
        node.alive = false;
        ++dead;
        poolGarbage += node.childRoom;
        stack.insert(stack.end(), childrenOf(w), childrenOf(w) + node.childCount);
        node.childCount = node.childRoom = 0;
    }
}

bool Tree::compact() {
    if (nodes.empty())
        return false;
    std::vector<int> renumber(nodes.size(), -1);
    std::vector<int> order;
    order.reserve(nodes.size() - dead);
    std::vector<int> stack{0};
    while (!stack.empty()) {
        const int v = stack.back();
        stack.pop_back();
        if (!at(v).alive || renumber[static_cast<std::size_t>(v)] >= 0)
            return false;
        renumber[static_cast<std::size_t>(v)] = static_cast<int>(order.size());
        order.push_back(v);
        const int* kids = childrenOf(v);
        for (std::uint32_t i = at(v).childCount; i-- > 0;)
            stack.push_back(kids[i]);
    }
    if (order.size() != nodes.size() - dead)
        return false;
    std::vector<ModelNode> packed;
    packed.reserve(order.size());
    std::vector<int> packedPool;
    packedPool.reserve(order.size());
    KeyIndex packedIndex;
    for (const int v : order) {
        const int now = static_cast<int>(packed.size());
        ModelNode node = at(v);
        if (node.parent >= 0)
            node.parent = renumber[static_cast<std::size_t>(node.parent)];
        const int* kids = childrenOf(v);
        node.childBegin = static_cast<std::uint32_t>(packedPool.size());
        node.childRoom = node.childCount;
        for (std::uint32_t i = 0; i < node.childCount; ++i)
            packedPool.push_back(renumber[static_cast<std::size_t>(kids[i])]);
        // Only the entries this node owns move with it.
        if (index.find(node.key) == v)
            packedIndex.set(node.key, now);
        if (node.fold && index.find(node.fold) == KeyIndex::foldOf(v))
            packedIndex.set(node.fold, KeyIndex::foldOf(now));
        packed.push_back(node);
    }
    nodes = std::move(packed);
    pool = std::move(packedPool);
    index = std::move(packedIndex);
    dead = poolGarbage = 0;
    return true;
}

void Tree::clear() {
    rootKey = nullptr;
    nodes.clear();
    pool.clear();
    index.clear();
    dead = poolGarbage = 0;
    rootFoldSide = 1;
}

void Call::reserve(std::size_t nodes) {
    if (live.size() < nodes) {
        // Room to grow, so that a branch collected node by node does not copy
        // everything each time.
        const std::size_t room = std::max(nodes, live.size() + live.size() / 2);
        live.resize(room);
        liveStamp.resize(room, 0);
        mark.resize(room, 0);
        moved.resize(room, 0);
        across.resize(room, 0.0f);
        along.resize(room, 0.0f);
    }
}

void Call::begin(std::size_t nodes) {
    ++stamp;
    if (stamp == 0) { // wrapped: every old stamp could match again
        std::fill(liveStamp.begin(), liveStamp.end(), 0);
        std::fill(mark.begin(), mark.end(), 0);
        std::fill(moved.begin(), moved.end(), 0);
        stamp = 1;
    }
    reserve(nodes);
}

} // namespace detail::layout
