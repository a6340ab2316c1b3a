#include <vector>

#include <gtest/gtest.h>

#include "rulmek/ztree.h"

namespace {

// Counts its own destruction, to see which nodes a call destroys.
class CountedNode : public ZTree {
public:
    explicit CountedNode(int* destroyed) : m_destroyed(destroyed) {}
    ~CountedNode() override { ++*m_destroyed; }

private:
    int* m_destroyed;
};

std::vector<ZTree*> childrenOf(const ZTree& node) {
    return {node.getChildren().begin(), node.getChildren().end()};
}

TEST(ZTreeTest, InsertionPlacesAndParentsChildren) {
    ZTree root;
    ZTree* a = new ZTree;
    ZTree* b = new ZTree;
    root.addChild_back(a);
    root.addChild_back(b);
    EXPECT_EQ(a->getParent(), &root);

    ZTree* c = new ZTree;
    root.insertChild(5, c); // past the end: appended
    ZTree* d = new ZTree;
    root.insertChild(0, d); // index zero: at the front
    ZTree* e = new ZTree;
    root.insertChild(-3, e); // below zero: at the front too
    ZTree* f = new ZTree;
    root.insertChild(2, f); // in front of the child at index 2
    EXPECT_EQ(childrenOf(root), (std::vector<ZTree*>{e, d, f, a, b, c}));
    EXPECT_EQ(f->getParent(), &root);

    ZTree* g = new ZTree;
    root.insertChild(b, g);
    ZTree stranger;
    ZTree* h = new ZTree;
    root.insertChild(&stranger, h); // not a child: appended
    ZTree* i = new ZTree;
    root.addChild_front(i);
    EXPECT_EQ(childrenOf(root), (std::vector<ZTree*>{i, e, d, f, a, g, b, c, h}));
    EXPECT_EQ(root.findChild(g), g);
    EXPECT_EQ(root.findChild(&stranger), nullptr);
}

TEST(ZTreeTest, DestroyingAParentDestroysTheSubtree) {
    int destroyed = 0;
    {
        CountedNode root(&destroyed);
        auto* child = new CountedNode(&destroyed);
        root.addChild_back(child);
        child->addChild_back(new CountedNode(&destroyed));
        root.addChild_back(new CountedNode(&destroyed));
    }
    EXPECT_EQ(destroyed, 4);
}

TEST(ZTreeTest, BreakingKeepsChildrenAlive) {
    int destroyed = 0;
    auto* kept = new CountedNode(&destroyed);
    auto* other = new CountedNode(&destroyed);
    {
        ZTree root;
        root.addChild_back(kept);
        root.addChild_back(other);
        root.breakParent(kept);
        EXPECT_EQ(kept->getParent(), &root); // the parent pointer is left as it was
        root.breakChildren();
        EXPECT_TRUE(root.getChildren().empty());
    }
    EXPECT_EQ(destroyed, 0);
    delete kept;
    delete other;
    EXPECT_EQ(destroyed, 2);
}

TEST(ZTreeTest, DeleteChildDestroysOnlyListedChildren) {
    int destroyed = 0;
    ZTree root;
    auto* a = new CountedNode(&destroyed);
    root.addChild_back(a);
    CountedNode outsider(&destroyed);
    root.deleteChild(&outsider);
    EXPECT_EQ(destroyed, 0);
    root.deleteChild(a);
    EXPECT_EQ(destroyed, 1);
    EXPECT_TRUE(root.getChildren().empty());
    root.addChild_back(nullptr); // ignored rather than crashing later
    EXPECT_TRUE(root.getChildren().empty());
}

TEST(ZTreeTest, CopiesAreShallow) {
    ZTree root;
    ZTree* child = new ZTree;
    root.addChild_back(child);
    ZTree copy(root);
    EXPECT_EQ(childrenOf(copy), std::vector<ZTree*>{child});
    copy.breakChildren(); // so that only root destroys the child
}

} // namespace
