#include <sarvik/ZN_NRectVariants.h>

void ZN_NEllipse::render() const {}
