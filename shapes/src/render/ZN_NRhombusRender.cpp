#include <sarvik/ZN_NRectVariants.h>

void ZN_NRhombus::render() const {}
void ZN_NRhombus::renderRhombusRegion(const ZVector2&, const ZVector2&) const {}
