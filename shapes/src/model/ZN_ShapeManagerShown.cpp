// The rectangle the shown shapes of a page reach, kept between calls so that
// a frame does not measure every shape of a large page again.

#include <typeinfo>

#include <sarvik/ZDrawnExtent.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>

#include "index/ShapeGrid.h"
#include "memory/Prefetch.h"

namespace {

void includeDrawn(ZDrawnExtent& all, const ZN_ShapeBase& shape) {
    const ZDrawnExtent e = drawnExtent(shape);
    if (e.inks && e.finite)
        all.include(e);
}

} // namespace

void ZN_ShapeManager::measureShownExtent() const {
    ZDrawnExtent all;
    detail::forEachWhole(listArray(), [&](const ZN_ShapeBase* shape) { includeDrawn(all, *shape); });
    shownCache.extent = all;
    shownCache.listVersion = listVersion;
    shownCache.geometryEpoch = detail::geometryEpoch();
    shownCache.markEpoch = detail::markEpoch();
    shownCache.showEpoch = detail::showEpoch();
    shownCache.measured = true;
    shownCache.grown = false;
}

ZDrawnExtent ZN_ShapeManager::shownExtent() const {
    ShownExtentCache& cache = shownCache;
    const detail::LoggedChanges moved = detail::changesSince(cache.geometryEpoch);
    const detail::LoggedChanges marked = detail::markChangesSince(cache.markEpoch);
    if (!cache.measured || cache.listVersion != listVersion ||
        cache.showEpoch != detail::showEpoch() || !moved.complete || !marked.complete) {
        // The drawing index must hold every shape of the list, so that their
        // changes from here on are logged; one built for this list already
        // does, and bringing it up to date is left to the next drawing.
        if (!drawnGrid || drawnGrid->listVersion() != listVersion)
            drawGrid();
        measureShownExtent();
        return cache.extent;
    }
    const detail::ShapeGrid& index = drawGrid();
    // The shapes changed since are added as they are now; where they were
    // stays in the rectangle until it is measured again.
    auto grow = [&](const detail::LoggedChanges& changes, bool moves) {
        for (ZN_ShapeBase* const* it = changes.begin; it != changes.end; ++it) {
            const ZN_ShapeBase* shape = *it;
            int slot = index.slotOf(shape);
            // A label is not in the list, but its host draws it.
            if (slot < 0 && typeid(*shape) == typeid(ZN_SText))
                slot = index.slotOf(static_cast<const ZN_SText*>(shape)->getHost());
            if (slot < 0)
                continue;
            includeDrawn(cache.extent, *index.shape(static_cast<std::size_t>(slot)));
            cache.grown = cache.grown || moves;
        }
    };
    grow(moved, true);
    // A shape deselected leaves a few pixels of handles behind, which are
    // not worth measuring the page again for.
    grow(marked, false);
    cache.geometryEpoch = detail::geometryEpoch();
    cache.markEpoch = detail::markEpoch();
    return cache.extent;
}

void ZN_ShapeManager::tightenShownExtent() const {
    if (shownCache.grown)
        shownCache.measured = false;
}
