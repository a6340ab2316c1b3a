#pragma once
// Free text on a page and the label of a node.

#include <string>

#include <sarvik/ZGLFont.h>
#include <sarvik/ZN_ShapeBase.h>

class ZN_SText : public ZN_ShapeBase {
public:
    ZN_SText();
    // Clears its host's label pointer so the host never points at a freed label.
    ~ZN_SText() override;

    int type() const override { return 5; }
    void render() const override;
    void change(const ZVector2& delta, int code) override;
    ZVector2 getPoint1() const override { return point1; }
    ZVector2 getPoint2() const override { return point2; }
    void writeFile(ZFile* file, int version) override;
    void readFile(ZFile* file, int version) override;
    ZN_ShapeBase* clone() const override;
    void deepCopy(ZN_ShapeBase* target) const override;
    void setColor(const ZVector3& colour) override { fontColor = colour; }
    ZVector3 getColor() const override { return fontColor; }
    void setFont(const LOGFONTA& font) override { logFont = font; }
    LOGFONTA getFont() const override { return logFont; }
    void setFontColor(const ZVector3& colour) override { fontColor = colour; }
    ZVector3 getFontColor() const override { return fontColor; }

    const char* getText() const { return text.c_str(); }
    void setText(const char* s) { text = s ? s : ""; }
    void setRect(const ZVector2& p1, const ZVector2& p2) { point1 = p1; point2 = p2; }
    void setHost(ZN_ShapeBase* shape) { host = shape; }
    ZN_ShapeBase* getHost() const { return host; }
    void setTextAlignType(int type) { textAlignType = type; }
    int getTextAlignType() const { return textAlignType; }

protected:
    std::string text = " "; // UTF-8 in memory
    ZGLFont glFont;
    LOGFONTA logFont;
    ZVector2 point1{0.0f, 0.0f};
    ZVector2 point2{0.0f, 0.0f};
    ZVector3 fontColor{0.0f, 0.0f, 0.0f};
    ZN_ShapeBase* host = nullptr; // not owned: the shape that owns this label
    int textAlignType = 0;
};
