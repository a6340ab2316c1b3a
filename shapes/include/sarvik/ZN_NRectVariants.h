#pragma once
// The box kinds that differ from the rectangle only in outline: rounded
// rectangle, ellipse, rhombus and parallelogram. Each is laid out in the box's
// bounding rectangle and keeps every field, edit and record of ZN_NRect.

#include <sarvik/ZN_NRect.h>

// A rectangle with its four corners cut off straight, by 15 % of the shorter side.
class ZN_NRoundRect : public ZN_NRect {
public:
    int type() const override { return 9; }
    void render() const override;
    ZN_ShapeBase* clone() const override;

    // Length of the corner cuts for a box from a to b.
    static float cornerCut(const ZVector2& a, const ZVector2& b);

protected:
    void renderLines(const ZVector2& a, const ZVector2& b, float r) const;
    void renderRegionAffect(const ZVector2& a, const ZVector2& b, float r) const;
};

// The ellipse inscribed in the box; hit tests and handles stay the rectangle's.
class ZN_NEllipse : public ZN_NRect {
public:
    int type() const override { return 8; }
    void render() const override;
    ZVector2 getBoderPos(int index, const ZVector2& towards) override;
    ZN_ShapeBase* clone() const override;

    // Number of segments of the drawn outline.
    static constexpr int kSegments = 64;
};

// The diamond through the middles of the box's edges.
class ZN_NRhombus : public ZN_NRect {
public:
    int type() const override { return 10; }
    void render() const override;
    int InPoint(const ZVector2& pos, ZObj2DInPoint* info, float tolerance) const override;
    bool IntersectRect(const ZVector2& min, const ZVector2& max) const override;
    ZVector2 getBoderPos(int index, const ZVector2& towards) override;
    ZN_ShapeBase* clone() const override;

    // The tips top, right, bottom, left (in that order) of the diamond in the box a-b.
    static void tips(const ZVector2& a, const ZVector2& b, ZVector2 out[4]);

protected:
    void renderRhombusRegion(const ZVector2& a, const ZVector2& b) const;
};

// A parallelogram leaning right, slanted by half its height, with handles on
// its own vertices and side middles.
class ZN_NParal : public ZN_NRect {
public:
    int type() const override { return 13; }
    void render() const override;
    int InPoint(const ZVector2& pos, ZObj2DInPoint* info, float tolerance) const override;
    bool IntersectRect(const ZVector2& min, const ZVector2& max) const override;
    ZVector2 getBoderPos(int index, const ZVector2& towards) override;
    ZN_ShapeBase* clone() const override;

    // Vertices top-left, top-right, bottom-right, bottom-left in the box a-b.
    static void vertices(const ZVector2& a, const ZVector2& b, ZVector2 out[4]);
    // Handle `code` (1..8) in the box a-b: vertices and side middles,
    // counter-clockwise from the top-left vertex.
    static ZVector2 paralHandlePos(int code, const ZVector2& a, const ZVector2& b);

protected:
    void RenderSelect(int code) const override;
    void renderRhombusRegion(const ZVector2& a, const ZVector2& b) const;
};
