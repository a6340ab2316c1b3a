#include <sarvik/ZN_NJiuGongGe.h>

void ZN_NJiuGongGe::render() const {}
