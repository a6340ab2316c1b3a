// A node of an ordered tree that owns its children.
#pragma once

#include <list>

class ZTree {
public:
    ZTree();
    // Shallow: both nodes end up listing the same children; break one list before either
    // node is destroyed.
    ZTree(const ZTree& other);
    ZTree& operator=(const ZTree& other);
    // Destroys the whole subtree.
    virtual ~ZTree();

    void addChild_back(ZTree* child);
    void addChild_front(ZTree* child);
    // Inserts in front of before; appends when before is not a child.
    void insertChild(ZTree* before, ZTree* child);
    // Inserts in front of the child at index (index <= 0: at the front); appends past the end.
    void insertChild(int index, ZTree* child);
    void deleteChild(ZTree* child);
    void deleteChildren();
    ZTree* findChild(ZTree* child);
    // Removes child's entry without destroying it and without touching its parent pointer.
    void breakParent(ZTree* child);
    void breakChildren();

    std::list<ZTree*>& getChildren() { return m_children; }
    const std::list<ZTree*>& getChildren() const { return m_children; }
    ZTree* getParent() const { return m_parent; }
    void setParent(ZTree* parent) { m_parent = parent; }

private:
    std::list<ZTree*> m_children; // owned
    ZTree* m_parent;              // not owned
};
