#include <sarvik/ZN_SText.h>

void ZN_SText::render() const {}
