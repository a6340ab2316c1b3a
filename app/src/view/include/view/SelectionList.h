#pragma once
// The view's selection: shapes in the order they were selected, with an index
// beside the list so that adding, finding and removing one shape costs the
// same on a page of a hundred shapes as on one of a hundred thousand.

#include <cstddef>
#include <list>
#include <unordered_map>

class ZN_ShapeBase;
class ZN_ShapeManager;

class SelectionList {
public:
    using List = std::list<ZN_ShapeBase*>;

    const List& shapes() const { return list_; }
    bool empty() const { return list_.empty(); }
    std::size_t size() const { return list_.size(); }
    bool contains(const ZN_ShapeBase* shape) const;

    // Appends `shape` unless it is already listed; true when it was added.
    bool add(ZN_ShapeBase* shape);
    // Takes `shape` out of the list; true when it was listed.
    bool remove(const ZN_ShapeBase* shape);
    void clear();
    // Every shape of `page`, hidden ones included, marked selected and listed
    // in drawing order; whatever was listed before is dropped.
    void selectAll(ZN_ShapeManager& page);

private:
    // Builds the index when select all left it out.
    void index() const;

    List list_; // not owning
    // Where each listed shape sits. Select all lists a whole page at once and
    // leaves the index to be built when it is first needed, so that selecting
    // everything costs little more than marking it.
    mutable std::unordered_map<const ZN_ShapeBase*, List::const_iterator> where_;
    mutable bool indexed_ = true;
};
