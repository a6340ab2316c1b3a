#pragma once
// Free text on a page and the label of a node: a rectangle with a string, a
// font, a colour and an alignment, drawn as a one-bit picture. The picture is
// made once after each change of the text, font or alignment (never per
// frame), when it is first asked for: a page read from a file holds a label
// per node, and most of them are never drawn at their own size.

#include <string>

#include <sarvik/ZArenaAllocator.h>
#include <sarvik/ZGLFont.h>
#include <sarvik/ZN_ShapeBase.h>

class ZN_SText : public ZN_ShapeBase {
public:
    ZN_SText();
    // Clears its host's label pointer so the host never points at a freed label.
    ~ZN_SText() override;

    int type() const override { return 5; }
    void render() const override;
    // Moves both corners, whatever the code: a text has no handles.
    void change(const ZVector2& delta, int code) override;
    // Caught only when both corners lie strictly inside the rubber band.
    bool IntersectRect(const ZVector2& min, const ZVector2& max) const override;
    void loadCursor(ZCursor cursor, int code) override;
    // 9 when the window point lies strictly inside the rectangle, else 0.
    int InPoint(const ZVector2& pos, ZObj2DInPoint* info, float tolerance) const override;
    ZVector2 getPoint1() const override { return point1; }
    ZVector2 getPoint2() const override { return point2; }
    void writeFile(ZFile* file, int version) override;
    void readFile(ZFile* file, int version) override;
    ZN_ShapeBase* clone() const override;
    void deepCopy(ZN_ShapeBase* target) const override;
    // deepCopy onto a text known to be one, without the type check.
    void copyTextTo(ZN_SText& text) const;
    void setColor(const ZVector3& colour) override { fontColor = colour; }
    ZVector3 getColor() const override { return fontColor; }
    // Takes the font, measures the text with it and resizes the rectangle from
    // its top-left corner, then renders.
    void setFont(const LOGFONTA& font) override;
    LOGFONTA getFont() const override { return logFont; }
    void setFontColor(const ZVector3& colour) override { fontColor = colour; }
    ZVector3 getFontColor() const override { return fontColor; }

    // UTF-8.
    const char* getText() const { return text.c_str(); }
    // Stores the text and renders it into the current rectangle (which does
    // not change; what does not fit is clipped). Null is the empty text.
    void setText(const char* s);
    void setTextAlignType(int type);
    int getTextAlignType() const { return textAlignType; }
    void setRect(const ZVector2& p1, const ZVector2& p2) {
        point1 = p1;
        point2 = p2;
        touchGeometry();
    }
    void setHost(ZN_ShapeBase* shape) { host = shape; }
    ZN_ShapeBase* getHost() const { return host; }
    // The picture at zoom 1, made now if the last change has not made it yet.
    const ZGLFont& getGLFont() const {
        if (pictureDue)
            makePicture();
        return glFont;
    }
    // The picture at zoom 1 if it has been made, without making it; null
    // otherwise. For walks over a page that only want to touch its memory.
    const std::shared_ptr<const ZTextBitmap>& madePicture() const { return glFont.getBitmap(); }

    // The red outline of the rectangle in the current line width.
    void drawSelectRect() const;

    // Texts whose glyphs would be smaller than this on screen (pixels high)
    // draw as a light bar instead.
    static constexpr float kSmallestReadable = 4.0f;
    // The picture drawn at `zoom`: the one made by the last rendering at 1,
    // otherwise the text rasterised afresh with its font and rectangle scaled
    // by the zoom, kept until the next zoom or the next change of the text.
    // Null when nothing can be drawn.
    std::shared_ptr<const ZTextBitmap> pictureAt(float zoom) const;
    // Pixel height of the glyphs at zoom 1.
    float glyphHeight() const;
    // What stands in for glyphs too small to read.
    void drawSmallTextBar() const;

protected:
    ZN_ShapeString text = " "; // UTF-8 in memory, code page 936 in files
    // Sized and aligned for the next picture by every change; the picture
    // itself is made on first use (getGLFont), hence mutable.
    mutable ZGLFont glFont;
    LOGFONTA logFont;
    ZVector2 point1{0.0f, 0.0f};
    ZVector2 point2{0.0f, 0.0f};
    ZVector3 fontColor{0.0f, 0.0f, 0.0f};
    ZN_ShapeBase* host = nullptr; // not owned: the shape that owns this label
    int textAlignType = 0;        // 0 centred, 1 left, 2 right

private:
    // Sizes glFont for the current text and rectangle and leaves its picture
    // to be made on first use.
    void pictureChanged();
    void makePicture() const;

    mutable bool pictureDue = false; // glFont's picture is yet to be made
    // The picture for one zoom other than 1; dropped whenever glFont is
    // rendered again. Drawing fills it in, hence mutable.
    struct ZoomedPicture {
        float zoom = 0.0f;
        int width = 0;
        int height = 0;
        std::shared_ptr<const ZTextBitmap> bits;
    };
    mutable ZoomedPicture zoomed;
};
