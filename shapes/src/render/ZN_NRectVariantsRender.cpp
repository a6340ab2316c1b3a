#include <sarvik/ZN_NRectVariants.h>

void ZN_NEllipse::render() const {}
void ZN_NRoundRect::render() const {}
void ZN_NRhombus::render() const {}
void ZN_NParal::render() const {}
