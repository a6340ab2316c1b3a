#include <sarvik/ZN_NRect.h>

void ZN_NRect::render() const {}
void ZN_NRect::renderBackColor(const ZVector4&) const {}
void ZN_NRect::RenderSelect(int) const {}
