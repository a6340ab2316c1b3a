#include <sarvik/ZN_BackRgn.h>

void ZN_BackRgn::render() const {}
