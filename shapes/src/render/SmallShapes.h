#pragma once
// Level of detail for a zoomed-out page: shapes too small on screen to show
// their form are drawn as a few quads of one colour, gathered in list order
// and drawn from one vertex array. A page seen whole is thousands of shapes of
// a pixel or two, and one draw call each costs far more than their pixels.

#include <rulmek/rulmek.h>

#include <GL/gl.h>

#include <vector>

class ZN_ShapeBase;

namespace detail {

class SmallShapeBatch {
public:
    // Takes the shape into the batch and returns true when it is drawn
    // simplified at this zoom; only below 1, so a page at 100 % is drawn
    // exactly as the shapes draw themselves. The caller flushes the batch
    // before drawing any shape in full, which keeps the order of drawing.
    bool add(const ZN_ShapeBase& shape, float zoom, const ZVector2& offset);
    // Draws what was gathered and empties the batch.
    void flush();

private:
    bool addBox(const ZN_ShapeBase& shape, float zoom, const ZVector2& offset);
    bool addConnector(const ZN_ShapeBase& shape, float zoom, const ZVector2& offset);
    void quad(const ZVector2& a, const ZVector2& b, const ZVector2& c, const ZVector2& d,
              const ZVector3& colour, float alpha = 1.0f);
    // A stroke from a to b, halfWidth to either side.
    void stroke(const ZVector2& a, const ZVector2& b, float halfWidth, const ZVector3& colour,
                float alpha);

    std::vector<GLfloat> vertices;
    std::vector<GLfloat> colours;
};

} // namespace detail
