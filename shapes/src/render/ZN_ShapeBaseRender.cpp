#include <sarvik/ZN_ShapeBase.h>

// The bare node classes have nothing to draw.
void ZN_Node::render() const {}
void ZN_NRegion::render() const {}
void ZN_NRegion::renderBackColor(const ZVector4&) const {}
void ZN_SImage::render() const {}
