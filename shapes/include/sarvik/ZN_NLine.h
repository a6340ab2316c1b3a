#pragma once
// Connector line between two nodes; records a parent-to-child relation. Its
// first and last points stay glued to the outlines of the shapes it joins
// (the first element of its input and output lists); the points between are
// bend points the user drags. Drawing lives in ZN_NLineRender.cpp.

#include <vector>

#include <sarvik/ZN_ShapeBase.h>

// A connector's points, placed in an undo snapshot's blocks while one is taken.
using ZN_LinePoints = std::vector<ZVector2, detail::ArenaAllocator<ZVector2>>;

class ZN_NLine : public ZN_Node {
public:
    ZN_NLine() = default;

    int type() const override { return 1; }
    void render() const override;
    // Moves the whole line for code 9; every other code leaves it alone.
    void change(const ZVector2& delta, int code) override;
    bool IntersectRect(const ZVector2& min, const ZVector2& max) const override;
    void loadCursor(ZCursor cursor, int code) override;
    // 10 + i for point i, -i for the segment ending at point i, 0 for a miss.
    int InPoint(const ZVector2& pos, ZObj2DInPoint* info, float tolerance) const override;
    void writeFile(ZFile* file, int version) override;
    void readFile(ZFile* file, int version) override;
    ZN_ShapeBase* clone() const override;
    void deepCopy(ZN_ShapeBase* target) const override;
    // deepCopy onto a connector known to be one, without the type check.
    void copyLineTo(ZN_NLine& line) const;
    void setLineWide(int width) override {
        lineWide = width;
        touchGeometry();
    }
    int getLineWide() const override { return lineWide; }
    void setColor(const ZVector3& colour) override { color = colour; }
    ZVector3 getColor() const override { return color; }

    // Inserts before `index` (0 at the front, the point count appends).
    void pushPoint(const ZVector2& p, int index);
    void pushPointBack(const ZVector2& p);
    // Replaces point `index`, except an end that is attached to a shape.
    void setPoint(const ZVector2& p, int index);
    // Keeps at least two points; an index out of range removes the last one.
    void deletePoint(int index);
    int getPointSize() const { return static_cast<int>(points.size()); }
    const ZN_LinePoints& getPoints() const { return points; }

    // Re-glues the end next to the point that moved (force also for the ends).
    void updatePoint(int index, bool force);
    // Removes bend `index` when the line is straighter there than maxAngle degrees.
    void checkPolyLine(float maxAngle, int index);
    // Rebuilds the bend points: 1 elbow, 2 branch curve, 3 palm curve, 4 straight.
    void autoAlign(int style);
    void autoSegment();
    void autoAddOnePointCur();
    void autoAddTwoPointSeg(int step);
    void autoAddTwoPointCur(int step);
    // Moves both attached ends back onto their shapes' outlines; a moved node
    // calls it for every connector it holds.
    void reglueEnds();
    // Centres the label of a cross link on its middle point, where it is drawn.
    void placeLabel();

    void setOutNumber(int n) { outNumber = n; }
    int getOutNumber() const { return outNumber; }
    void setInNumber(int n) { inNumber = n; }
    int getInNumber() const { return inNumber; }
    // A curve bows past its points and an arrow head reaches past its tip.
    void setStrightType(int t) {
        strightType = t;
        touchGeometry();
    }
    int getStrightType() const { return strightType; }
    void setArrowSize(int size) {
        arrowSize = size;
        touchGeometry();
    }
    int getArrowSize() const { return arrowSize; }
    void setArrowType(int t) {
        arrowType = t;
        touchGeometry();
    }
    int getArrowType() const { return arrowType; }
    void setbGradualWide(int flag) {
        bGradualWide = flag;
        touchGeometry();
    }
    int getbGradualWide() const { return bGradualWide; }
    void setbGradualColor(int flag) { bGradualColor = flag; }
    int getbGradualColor() const { return bGradualColor; }
    void setGradualColor(const ZVector3& c) { gradualColor = c; }
    ZVector3 getGradualColor() const { return gradualColor; }
    void setGradualWide(float w) {
        gradualWide = w;
        touchGeometry();
    }
    float getGradualWide() const { return gradualWide; }
    void setbOffsetH(int flag) {
        bOffsetH = flag;
        touchGeometry();
    }
    int getbOffsetH() const { return bOffsetH; }
    void setOffsetH(int h) {
        offsetH = static_cast<float>(h);
        touchGeometry();
    }
    float getOffsetH() const { return offsetH; }

protected:
    // Body variants: straight segments or a Catmull-Rom curve, each plain,
    // with a colour ramp (1), a width ramp (2) or both (3).
    void RenderSegLine0() const;
    void RenderSegLine1() const;
    void RenderSegLine2() const;
    void RenderSegLine3() const;
    void RenderCurLine0() const;
    void RenderCurLine1() const;
    void RenderCurLine2() const;
    void RenderCurLine3() const;
    // Filled head with its apex on `tip`, coming from `from` (window coordinates).
    void RenderArrow(const ZVector2& from, const ZVector2& tip) const;
    void DrawArrow() const;
    void RenderSelect(int handle) const;

    // Only the first shape of each list counts as the attached one.
    bool attachedAtStart() const { return !inputList.empty() && inputList.front() != nullptr; }
    bool attachedAtEnd() const { return !outputList.empty() && outputList.front() != nullptr; }

    ZN_LinePoints points; // canvas positions, first = start, last = end
    ZVector3 color{0.0f, 0.0f, 0.0f};
    int lineWide = 2;
    int outNumber = 0; // connection number on the start shape
    int inNumber = 0;  // connection number on the end shape
    int strightType = 0;
    int arrowSize = 10;
    int arrowType = 0;
    int bGradualWide = 0;
    int bGradualColor = 0;
    ZVector3 gradualColor{0.0f, 1.0f, 0.0f};
    float gradualWide = 8.0f;
    int bOffsetH = 0;
    float offsetH = 50.0f;
};
