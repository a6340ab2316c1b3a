#pragma once
// The capture frame: a green rectangle over the map marking the part of the
// window that is copied to the clipboard as a picture. Its corners are window
// coordinates, so it does not scroll with the map. The shape manager owns it
// beside its shape list; it is never copied, saved or undone.

#include <sarvik/ZN_ShapeBase.h>

class ZN_BackRgn : public ZN_ShapeBase {
public:
    ZN_BackRgn() = default;

    int type() const override { return 11; }
    void render() const override;
    // Resizes by handle 1..8 or moves both corners for any other code, then
    // keeps the corners ordered and the frame at least 10 units each way.
    void change(const ZVector2& delta, int code) override;
    void loadCursor(ZCursor cursor, int code) override;
    // Only the eight handles answer (1..8); the interior never does, so the
    // frame can be resized but not moved by the mouse.
    int InPoint(const ZVector2& pos, ZObj2DInPoint* info, float tolerance) const override;
    ZVector2 getPoint1() const override { return point1; }
    ZVector2 getPoint2() const override { return point2; }

    void setPoint1(const ZVector2& p) { point1 = p; }
    void setPoint2(const ZVector2& p) { point2 = p; }

    // Handle k (1..8) of the frame, counter-clockwise from the top-left corner.
    ZVector2 handlePosition(int code) const;

    // The frame's only colour.
    static constexpr float red = 0.0f, green = 1.0f, blue = 0.0f;

private:
    ZVector2 point1{0.0f, 0.0f}; // top-left corner, window coordinates
    ZVector2 point2{0.0f, 0.0f}; // bottom-right corner, window coordinates
};
