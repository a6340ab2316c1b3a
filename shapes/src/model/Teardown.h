#pragma once
// Shapes that all go together (a page cleared, an undo state dropped) are
// destroyed in two steps: first every link among them is dropped while all of
// them are alive (tables give back their answers and cells, relation lists are
// emptied), then each is deleted. No destructor then reaches another shape,
// whatever the order of the list or of the blocks the shapes live in, and
// whether or not a link was recorded on both of its sides.

#include <vector>

class ZN_ShapeBase;

namespace detail {

void destroyTogether(const std::vector<ZN_ShapeBase*>& shapes);

} // namespace detail
