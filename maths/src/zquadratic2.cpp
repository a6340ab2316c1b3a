#include "rulmek/zgeometry.h"

ZQuadratic2::ZQuadratic2() : coeff{0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f} {}

ZQuadratic2::ZQuadratic2(float a, float b, float c, float d, float e, float f)
    : coeff{a, b, c, d, e, f} {}

ZQuadratic2::ZQuadratic2(const float values[6])
    : coeff{values[0], values[1], values[2], values[3], values[4], values[5]} {}

namespace {

// Index of the coefficient of x^xPower * y^yPower, or -1 when the conic has no such term.
int termIndex(int xPower, int yPower) {
    if (xPower == 2 && yPower == 0) {
        return 0;
    }
    if (xPower == 1 && yPower == 1) {
        return 1;
    }
    if (xPower == 0 && yPower == 2) {
        return 2;
    }
    if (xPower == 1 && yPower == 0) {
        return 3;
    }
    if (xPower == 0 && yPower == 1) {
        return 4;
    }
    if (xPower == 0 && yPower == 0) {
        return 5;
    }
    return -1;
}

} // namespace

float ZQuadratic2::Get(int xPower, int yPower) const {
    const int i = termIndex(xPower, yPower);
    return i < 0 ? 0.0f : coeff[i];
}

void ZQuadratic2::Set(int xPower, int yPower, float value) {
    const int i = termIndex(xPower, yPower);
    if (i >= 0) {
        coeff[i] = value;
    }
}

float ZQuadratic2::operator()(const ZVector2& p) const {
    const float x = p.X();
    const float y = p.Y();
    return coeff[0] * x * x + coeff[1] * x * y + coeff[2] * y * y + coeff[3] * x + coeff[4] * y +
           coeff[5];
}

// The moved curve is Q(p - t).
void ZQuadratic2::Translate(const ZVector2& t) {
    const float tx = t.X();
    const float ty = t.Y();
    const float a = coeff[0];
    const float b = coeff[1];
    const float c = coeff[2];
    const float d = coeff[3];
    const float e = coeff[4];
    coeff[3] = d - 2.0f * a * tx - b * ty;
    coeff[4] = e - b * tx - 2.0f * c * ty;
    coeff[5] = a * tx * tx + b * tx * ty + c * ty * ty - d * tx - e * ty + coeff[5];
}

// The turned curve is Q(R^T p): its quadratic part becomes R A R^T and its linear part R B.
void ZQuadratic2::Rotate(const ZMatrix2X2& r) {
    const ZMatrix2X2 a(coeff[0], 0.5f * coeff[1], 0.5f * coeff[1], coeff[2]);
    const ZMatrix2X2 turned = r * a.TimesTranspose(r);
    const ZVector2 linear = r * ZVector2(coeff[3], coeff[4]);
    coeff[0] = turned(0, 0);
    coeff[1] = turned(0, 1) + turned(1, 0);
    coeff[2] = turned(1, 1);
    coeff[3] = linear.X();
    coeff[4] = linear.Y();
}

// The scaled curve is Q(x / s.x, y / s.y); a zero factor would collapse the plane, so such a
// call leaves the curve as it is.
void ZQuadratic2::Scale(const ZVector2& s) {
    if (s.X() == 0.0f || s.Y() == 0.0f) {
        return;
    }
    const float ix = 1.0f / s.X();
    const float iy = 1.0f / s.Y();
    coeff[0] *= ix * ix;
    coeff[1] *= ix * iy;
    coeff[2] *= iy * iy;
    coeff[3] *= ix;
    coeff[4] *= iy;
}
