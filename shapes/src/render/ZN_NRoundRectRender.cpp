#include <sarvik/ZN_NRectVariants.h>

void ZN_NRoundRect::render() const {}
void ZN_NRoundRect::renderLines(const ZVector2&, const ZVector2&, float) const {}
void ZN_NRoundRect::renderRegionAffect(const ZVector2&, const ZVector2&, float) const {}
