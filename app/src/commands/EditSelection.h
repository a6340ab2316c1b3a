#pragma once
// The selection's shapes of one kind, for the edit and the style commands.

#include <vector>

#include <sarvik/ZN_ShapeBase.h>

#include "view/CTavloView.h"

namespace detail {

// The selection's entries of one kind, in selection order.
template <class T, class Pred> std::vector<T*> pick(CTavloView& view, Pred pred) {
    std::vector<T*> out;
    for (ZN_ShapeBase* s : view.getSelection()) {
        if (pred(s)) {
            if (T* t = dynamic_cast<T*>(s))
                out.push_back(t);
        }
    }
    return out;
}

} // namespace detail
