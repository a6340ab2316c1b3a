#pragma once
// The capture frame: a rectangle in window coordinates that a page's manager
// owns and shows while the user picks an area to copy as a bitmap.

#include <sarvik/ZN_ShapeBase.h>

class ZN_BackRgn : public ZN_ShapeBase {
public:
    int type() const override { return 11; }
    void render() const override;
    ZVector2 getPoint1() const override { return point1; }
    ZVector2 getPoint2() const override { return point2; }

    void setPoint1(const ZVector2& p) { point1 = p; }
    void setPoint2(const ZVector2& p) { point2 = p; }

protected:
    ZVector2 point1{0.0f, 0.0f};
    ZVector2 point2{0.0f, 0.0f};
};
