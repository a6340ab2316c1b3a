#include <sarvik/ZN_NRectVariants.h>

void ZN_NParal::render() const {}
void ZN_NParal::renderRhombusRegion(const ZVector2&, const ZVector2&) const {}
void ZN_NParal::RenderSelect(int) const {}
