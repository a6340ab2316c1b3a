#pragma once
// Point node: a small circle that takes part in the graph like any node; as a
// fold point (state 1 or 2) it is a round button that collapses and expands
// the subtree below it. Drawing lives in ZN_NPointRender.cpp.

#include <sarvik/ZN_ShapeBase.h>

class ZN_NPoint : public ZN_Node {
public:
    ZN_NPoint() = default;

    bool isRegion() const override { return true; }
    int type() const override { return 2; }
    void render() const override;
    // Moves the point whatever the code, then re-glues its connectors.
    void change(const ZVector2& delta, int code) override;
    bool IntersectRect(const ZVector2& min, const ZVector2& max) const override;
    // A fold point is clicked, a free point dragged.
    void loadCursor(ZCursor cursor, int code) override;
    int InPoint(const ZVector2& pos, ZObj2DInPoint* info, float tolerance) const override;
    // The point of the circle facing `towards`, whatever the code.
    ZVector2 getBoderPos(int index, const ZVector2& towards) override;
    ZVector2 getPoint1() const override { return coord; }
    ZVector2 getPoint2() const override { return coord; }
    void writeFile(ZFile* file, int version) override;
    void readFile(ZFile* file, int version) override;
    ZN_ShapeBase* clone() const override;
    void deepCopy(ZN_ShapeBase* target) const override;
    void setColor(const ZVector3& colour) override { color = colour; }
    ZVector3 getColor() const override { return color; }

    void setCoord(const ZVector2& p) {
        coord = p;
        touchGeometry();
    }
    ZVector2 getCoord() const { return coord; }
    // Kept, copied and saved; the point draws no fill.
    void setFillColor(const ZVector3& c) { fillColor = c; }
    ZVector3 getFillColor() const { return fillColor; }
    void setPointSize(float size) {
        pointSize = size;
        touchGeometry();
    }
    float getPointSize() const { return pointSize; }
    // 0 free point, 1 fold point expanded (minus), 2 fold point collapsed (plus).
    void setStateType(int type) { stateType = type; }
    int getStateType() const { return stateType; }

protected:
    ZVector2 coord{0.0f, 0.0f};            // centre, canvas coordinates
    ZVector3 color{0.0f, 0.0f, 0.0f};      // ring and sign
    ZVector3 fillColor{1.0f, 0.0f, 0.0f};
    float pointSize = 8.0f;                // ring radius in pixels
    int stateType = 0;
};
