#include <sarvik/ZN_NRectVariants.h>

namespace {
template <class T> ZN_ShapeBase* cloneAs(const T& source) {
    auto* copy = new T();
    source.deepCopy(copy);
    return copy;
}
} // namespace

ZN_ShapeBase* ZN_NEllipse::clone() const { return cloneAs(*this); }
ZN_ShapeBase* ZN_NRoundRect::clone() const { return cloneAs(*this); }
ZN_ShapeBase* ZN_NRhombus::clone() const { return cloneAs(*this); }
ZN_ShapeBase* ZN_NParal::clone() const { return cloneAs(*this); }
