#include "rulmek/ztree.h"

#include <algorithm>
#include <iterator>

ZTree::ZTree() : m_parent(nullptr) {}

ZTree::ZTree(const ZTree& other) : m_children(other.m_children), m_parent(other.m_parent) {}

ZTree& ZTree::operator=(const ZTree& other) {
    if (this != &other) {
        m_children = other.m_children;
        m_parent = other.m_parent;
    }
    return *this;
}

ZTree::~ZTree() {
    deleteChildren();
}

void ZTree::addChild_back(ZTree* child) {
    if (child == nullptr) {
        return;
    }
    child->setParent(this);
    m_children.push_back(child);
}

void ZTree::addChild_front(ZTree* child) {
    if (child == nullptr) {
        return;
    }
    child->setParent(this);
    m_children.push_front(child);
}

void ZTree::insertChild(ZTree* before, ZTree* child) {
    if (child == nullptr) {
        return;
    }
    child->setParent(this);
    const auto it = std::find(m_children.begin(), m_children.end(), before);
    m_children.insert(it, child);
}

void ZTree::insertChild(int index, ZTree* child) {
    if (child == nullptr) {
        return;
    }
    child->setParent(this);
    auto it = m_children.end();
    if (index < static_cast<int>(m_children.size())) {
        it = m_children.begin();
        std::advance(it, std::max(index, 0));
    }
    m_children.insert(it, child);
}

void ZTree::deleteChild(ZTree* child) {
    const auto it = std::find(m_children.begin(), m_children.end(), child);
    if (it == m_children.end()) {
        return;
    }
    m_children.erase(it);
    delete child;
}

void ZTree::deleteChildren() {
    // Detach the list first so that a child's destructor never sees it half destroyed.
    std::list<ZTree*> doomed;
    doomed.swap(m_children);
    for (ZTree* child : doomed) {
        delete child;
    }
}

ZTree* ZTree::findChild(ZTree* child) {
    const auto it = std::find(m_children.begin(), m_children.end(), child);
    return it == m_children.end() ? nullptr : child;
}

void ZTree::breakParent(ZTree* child) {
    const auto it = std::find(m_children.begin(), m_children.end(), child);
    if (it != m_children.end()) {
        m_children.erase(it);
    }
}

void ZTree::breakChildren() {
    m_children.clear();
}
