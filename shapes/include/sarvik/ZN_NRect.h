#pragma once
// The rectangle box: the area-shaped node of a map with a frame, a fill (plain,
// gradient or picture) and a label, and the base of every other box kind.

#include <sarvik/ZN_ShapeBase.h>

class ZImageTexture;

class ZN_NRect : public ZN_NRegion {
public:
    ZN_NRect() = default;

    int type() const override { return 7; }
    void render() const override;
    void change(const ZVector2& delta, int code) override;
    bool IntersectRect(const ZVector2& min, const ZVector2& max) const override;
    void loadCursor(ZCursor cursor, int code) override;
    int InPoint(const ZVector2& pos, ZObj2DInPoint* info, float tolerance) const override;
    ZVector2 getRegionPos(int code) override;
    ZVector2 getBoderPos(int index, const ZVector2& towards) override;
    ZVector2 getPoint1() const override { return point1; }
    ZVector2 getPoint2() const override { return point2; }
    void writeFile(ZFile* file, int version) override;
    void readFile(ZFile* file, int version) override;
    ZN_ShapeBase* clone() const override;
    void deepCopy(ZN_ShapeBase* target) const override;
    // deepCopy onto a box known to be one: the copy of a whole page makes
    // many, and is spared a type check for each.
    void copyBoxTo(ZN_NRect& box) const;
    void resetLabelPosition() override;
    void setLineWide(int width) override {
        lineWide = width;
        touchGeometry();
    }
    int getLineWide() const override { return lineWide; }
    void setColor(const ZVector3& colour) override { color = colour; }
    ZVector3 getColor() const override { return color; }
    void renderBackColor(const ZVector4& colour) const override;

    void setPoint1(const ZVector2& p) {
        point1 = p;
        touchGeometry();
    }
    void setPoint2(const ZVector2& p) {
        point2 = p;
        touchGeometry();
    }
    void setFillColor(const ZVector3& c) { fillColor = c; }
    ZVector3 getFillColor() const { return fillColor; }
    void setRectShowtype(int t) { rectShowtype = t; }
    int getRectShowtype() const { return rectShowtype; }
    // The picture is shared with copies and owned by the application's cache.
    void setImageData(ZImageTexture* image) { imageData = image; }
    ZImageTexture* getImageData() const { return imageData; }
    void setImageId(int value) { imageId = value; }
    int getImageId() const { return imageId; }
    void setGradualType(int t) { gradualType = t; }
    int getGradualType() const { return gradualType; }
    void setGradualColor(const ZVector3& c) { gradualColor = c; }
    ZVector3 getGradualColor() const { return gradualColor; }

protected:
    // Lays out what the box holds after an edit; a plain box holds nothing.
    virtual void makeInvide() {}
    virtual void RenderSelect(int code) const;
    // Fills the window rectangle a (top-left) to b by the fill mode.
    void renderRegion(const ZVector2& a, const ZVector2& b) const;

    // Handle position k (1..8) for a box with corners a (top-left) and b.
    static ZVector2 handlePos(int code, const ZVector2& a, const ZVector2& b);
    // Moves the connector ends attached to this box back onto its outline.
    void reglueConnectors();

    ZVector2 point1{0.0f, 0.0f};
    ZVector2 point2{0.0f, 0.0f};
    ZVector3 color{0.0f, 0.0f, 0.0f};
    ZVector3 fillColor{1.0f, 1.0f, 1.0f};
    int lineWide = 2;
    int rectShowtype = 0;
    ZImageTexture* imageData = nullptr; // not owned
    int imageId = 0;
    int gradualType = 0;
    ZVector3 gradualColor{1.0f, 0.0f, 0.0f};
};
