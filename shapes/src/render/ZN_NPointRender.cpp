// Point drawing: the highlight or selection halo, the ring and the fold sign.

#include <sarvik/ZN_NPoint.h>

#include <GL/gl.h>

#include "LineWidth.h"

#include <cmath>

namespace {

const ZVector3 kTargetColour(0.0f, 1.0f, 0.0f);
const ZVector3 kSelectColour(1.0f, 0.0f, 0.0f);
constexpr float kDegree = 0.017453292f;
// The smoothed ring's segments are a fraction of a pixel long; GL inks about
// half of each pixel they pass, so the ring looks grey in its own colour.
constexpr float kRingCoverage = 0.5f;

// The 360 points of a circle, one per whole degree.
void circleVertices(const ZVector2& c, float radius) {
    for (int k = 0; k < 360; ++k) {
        const float a = static_cast<float>(k) * kDegree;
        glVertex2f(c.X() + radius * std::cos(a), c.Y() + radius * std::sin(a));
    }
}

} // namespace

void ZN_NPoint::render() const {
    if (!show) {
        return;
    }
    const ZVector2 c = coord - getScallPosition();

    // The halo is a disc five pixels wider than the ring, drawn under it.
    if (snake > 0 || selected) {
        const ZVector3& halo = snake > 0 ? kTargetColour : kSelectColour;
        glColor4f(halo.X(), halo.Y(), halo.Z(), 1.0f);
        glBegin(GL_TRIANGLE_FAN);
        circleVertices(c, pointSize + 5.0f);
        glEnd();
    }
    // A point of size zero shows only its halo.
    if (pointSize < 1.0f) {
        return;
    }

    detail::hairline(kRingCoverage);
    glColor4f(color.X(), color.Y(), color.Z(), 1.0f);
    glBegin(GL_LINE_LOOP);
    circleVertices(c, pointSize);
    glEnd();

    const float s = pointSize;
    if (stateType == 1 || stateType == 2) {
        detail::hairline(1.0f);
        glBegin(GL_LINES);
        glVertex2f(c.X() - s, c.Y());
        glVertex2f(c.X() + s, c.Y());
        if (stateType == 2) {
            glVertex2f(c.X(), c.Y() - s);
            glVertex2f(c.X(), c.Y() + s);
        }
        glEnd();
    }
}
