#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "rulmek/zgeometry.h"
#include "zmathdetail.h"

using namespace rulmek_detail;

namespace {

// ------------------------------------------------------------ ellipse

// Root of the ellipse's distance function by bisection; see distanceToAxisEllipse.
double ellipseRoot(double r0, double z0, double z1, double g) {
    const double n0 = r0 * z0;
    double s0 = z1 - 1.0;
    double s1 = g < 0.0 ? 0.0 : std::hypot(n0, z1) - 1.0;
    double s = 0.0;
    for (int i = 0; i < 1100; ++i) {
        s = 0.5 * (s0 + s1);
        if (s == s0 || s == s1) {
            break;
        }
        const double ratio0 = n0 / (s + r0);
        const double ratio1 = z1 / (s + 1.0);
        g = ratio0 * ratio0 + ratio1 * ratio1 - 1.0;
        if (g > 0.0) {
            s0 = s;
        } else if (g < 0.0) {
            s1 = s;
        } else {
            break;
        }
    }
    return s;
}

// Closest point (x0, x1) of the axis-aligned ellipse with semi-axes e0 >= e1 > 0 to the
// point (y0, y1) of the first quadrant.
double distanceToAxisEllipse(double e0, double e1, double y0, double y1, double& x0, double& x1) {
    if (y1 > 0.0) {
        if (y0 > 0.0) {
            const double z0 = y0 / e0;
            const double z1 = y1 / e1;
            const double g = z0 * z0 + z1 * z1 - 1.0;
            if (g == 0.0) {
                x0 = y0;
                x1 = y1;
                return 0.0;
            }
            const double r0 = (e0 / e1) * (e0 / e1);
            const double sbar = ellipseRoot(r0, z0, z1, g);
            x0 = r0 * y0 / (sbar + r0);
            x1 = y1 / (sbar + 1.0);
            return std::hypot(x0 - y0, x1 - y1);
        }
        x0 = 0.0;
        x1 = e1;
        return std::fabs(y1 - e1);
    }
    const double numer0 = e0 * y0;
    const double denom0 = e0 * e0 - e1 * e1;
    if (numer0 < denom0) {
        const double xde0 = numer0 / denom0;
        x0 = e0 * xde0;
        x1 = e1 * std::sqrt(1.0 - xde0 * xde0);
        return std::hypot(x0 - y0, x1);
    }
    x0 = e0;
    x1 = 0.0;
    return std::fabs(y0 - e0);
}

// ------------------------------------------------------------ polynomials

// Polynomials of degree at most 4 in double precision, lowest coefficient first.
using Poly = std::array<double, 5>;

Poly polyMul(const Poly& a, const Poly& b) {
    Poly r{};
    for (int i = 0; i < 5; ++i) {
        for (int j = 0; i + j < 5; ++j) {
            r[i + j] += a[i] * b[j];
        }
    }
    return r;
}

Poly polyAdd(const Poly& a, const Poly& b, double scale) {
    Poly r{};
    for (int i = 0; i < 5; ++i) {
        r[i] = a[i] + scale * b[i];
    }
    return r;
}

double polyEval(const std::vector<double>& c, double x) {
    double v = 0.0;
    for (auto it = c.rbegin(); it != c.rend(); ++it) {
        v = v * x + *it;
    }
    return v;
}

// Real roots of c[0] + c[1] x + ... by splitting the line at the roots of the derivative and
// bisecting each monotone piece.
std::vector<double> realRoots(std::vector<double> c) {
    double scale = 0.0;
    for (const double v : c) {
        scale = std::max(scale, std::fabs(v));
    }
    while (!c.empty() && std::fabs(c.back()) <= 1e-12 * scale) {
        c.pop_back();
    }
    if (c.size() < 2) {
        return {};
    }
    if (c.size() == 2) {
        return {-c[0] / c[1]};
    }
    std::vector<double> derivative;
    for (std::size_t i = 1; i < c.size(); ++i) {
        derivative.push_back(static_cast<double>(i) * c[i]);
    }
    double bound = 1.0;
    for (std::size_t i = 0; i + 1 < c.size(); ++i) {
        bound = std::max(bound, 1.0 + std::fabs(c[i] / c.back()));
    }
    std::vector<double> stops{-bound};
    for (const double r : realRoots(derivative)) {
        if (r > -bound && r < bound) {
            stops.push_back(r);
        }
    }
    stops.push_back(bound);
    std::sort(stops.begin(), stops.end());
    std::vector<double> roots;
    for (std::size_t i = 0; i + 1 < stops.size(); ++i) {
        double lo = stops[i];
        double hi = stops[i + 1];
        double flo = polyEval(c, lo);
        const double fhi = polyEval(c, hi);
        if (flo == 0.0) {
            roots.push_back(lo);
            continue;
        }
        if ((flo < 0.0) == (fhi < 0.0)) {
            // No sign change, but a double root may touch zero at the stop itself.
            if (fhi == 0.0) {
                roots.push_back(hi);
            }
            continue;
        }
        for (int k = 0; k < 200 && lo < hi; ++k) {
            const double mid = 0.5 * (lo + hi);
            if (mid == lo || mid == hi) {
                break;
            }
            const double fmid = polyEval(c, mid);
            if ((fmid < 0.0) == (flo < 0.0)) {
                lo = mid;
                flo = fmid;
            } else {
                hi = mid;
            }
        }
        roots.push_back(0.5 * (lo + hi));
    }
    // Stops that are tangential roots of the polynomial itself.
    for (std::size_t i = 1; i + 1 < stops.size(); ++i) {
        if (std::fabs(polyEval(c, stops[i])) <= 1e-9 * scale) {
            roots.push_back(stops[i]);
        }
    }
    return roots;
}

// Real solutions of a x^2 + b x + c = 0 (a linear or constant equation when a is zero).
std::vector<double> quadraticRoots(double a, double b, double c) {
    if (a == 0.0) {
        if (b == 0.0) {
            return {};
        }
        return {-c / b};
    }
    const double disc = b * b - 4.0 * a * c;
    if (disc < 0.0) {
        return {};
    }
    const double root = std::sqrt(disc);
    return {(-b - root) / (2.0 * a), (-b + root) / (2.0 * a)};
}

// A conic in the frame of its principal axes: d0 x^2 + d1 y^2 + b0 x + b1 y + f.
struct AxisConic {
    double d[2];
    double b[2];
    double f;
};

double conicValue(const AxisConic& q, const std::array<double, 2>& x) {
    return q.d[0] * x[0] * x[0] + q.d[1] * x[1] * x[1] + q.b[0] * x[0] + q.b[1] * x[1] + q.f;
}

// Roots found near a vanishing denominator give points off the curve (the centre of a circle,
// say). Each candidate gets a few Newton steps towards the curve and is kept only if it lands
// on it.
std::vector<std::array<double, 2>> onCurve(const AxisConic& q,
                                           const std::vector<std::array<double, 2>>& cands) {
    std::vector<std::array<double, 2>> kept;
    for (std::array<double, 2> x : cands) {
        for (int step = 0; step < 4; ++step) {
            const double g0 = 2.0 * q.d[0] * x[0] + q.b[0];
            const double g1 = 2.0 * q.d[1] * x[1] + q.b[1];
            const double g2 = g0 * g0 + g1 * g1;
            if (g2 == 0.0) {
                break;
            }
            const double v = conicValue(q, x);
            x[0] -= v * g0 / g2;
            x[1] -= v * g1 / g2;
        }
        const double size = std::fabs(q.d[0]) * x[0] * x[0] + std::fabs(q.d[1]) * x[1] * x[1] +
                            std::fabs(q.b[0] * x[0]) + std::fabs(q.b[1] * x[1]) + std::fabs(q.f);
        if (std::isfinite(size) && std::fabs(conicValue(q, x)) <= 1e-9 * (size + 1.0)) {
            kept.push_back(x);
        }
    }
    return kept;
}

// Points of the conic where the distance to p can be stationary. Every candidate lies on the
// curve, so the nearest of them is the answer.
std::vector<std::array<double, 2>> conicCandidates(const AxisConic& q, const double p[2]) {
    // Stationary points satisfy x_i = N_i(t) / D_i(t), with N_i = p_i - t b_i / 2 and
    // D_i = 1 + t d_i; putting them into the conic and clearing denominators gives a quartic.
    Poly n[2];
    Poly dd[2];
    for (int i = 0; i < 2; ++i) {
        n[i] = Poly{p[i], -0.5 * q.b[i], 0.0, 0.0, 0.0};
        dd[i] = Poly{1.0, q.d[i], 0.0, 0.0, 0.0};
    }
    const Poly d0sq = polyMul(dd[0], dd[0]);
    const Poly d1sq = polyMul(dd[1], dd[1]);
    Poly eq{};
    eq = polyAdd(eq, polyMul(polyMul(n[0], n[0]), d1sq), q.d[0]);
    eq = polyAdd(eq, polyMul(polyMul(n[1], n[1]), d0sq), q.d[1]);
    eq = polyAdd(eq, polyMul(polyMul(n[0], dd[0]), d1sq), q.b[0]);
    eq = polyAdd(eq, polyMul(polyMul(n[1], dd[1]), d0sq), q.b[1]);
    eq = polyAdd(eq, polyMul(d0sq, d1sq), q.f);

    std::vector<std::array<double, 2>> out;
    for (const double t : realRoots(std::vector<double>(eq.begin(), eq.end()))) {
        const double den0 = 1.0 + t * q.d[0];
        const double den1 = 1.0 + t * q.d[1];
        if (den0 != 0.0 && den1 != 0.0) {
            out.push_back({(p[0] - 0.5 * t * q.b[0]) / den0, (p[1] - 0.5 * t * q.b[1]) / den1});
        }
    }
    // Where D_i vanishes the coordinate i is free (the centre of a circle, the axis of an
    // ellipse): fix the other coordinate and solve the conic for coordinate i.
    for (int i = 0; i < 2; ++i) {
        if (q.d[i] == 0.0) {
            continue;
        }
        const int j = 1 - i;
        const double t = -1.0 / q.d[i];
        const double denj = 1.0 + t * q.d[j];
        const double xj = denj != 0.0 ? (p[j] - 0.5 * t * q.b[j]) / denj : p[j];
        const double rest = q.d[j] * xj * xj + q.b[j] * xj + q.f;
        for (const double xi : quadraticRoots(q.d[i], q.b[i], rest)) {
            std::array<double, 2> pt{};
            pt[static_cast<std::size_t>(i)] = xi;
            pt[static_cast<std::size_t>(j)] = xj;
            out.push_back(pt);
        }
    }
    return onCurve(q, out);
}

} // namespace

extern "C" {

bool PointinTriangle2(const ZVector2& a, const ZVector2& b, const ZVector2& c, const ZVector2& p) {
    const ZVector2 v0 = c - a;
    const ZVector2 v1 = b - a;
    const ZVector2 v2 = p - a;
    const float dot00 = v0.Dot(v0);
    const float dot01 = v0.Dot(v1);
    const float dot02 = v0.Dot(v2);
    const float dot11 = v1.Dot(v1);
    const float dot12 = v1.Dot(v2);
    const float det = dot00 * dot11 - dot01 * dot01;
    if (det == 0.0f) {
        return false;
    }
    const float u = (dot11 * dot02 - dot01 * dot12) / det;
    const float w = (dot00 * dot12 - dot01 * dot02) / det;
    return u >= 0.0f && u <= 1.0f && w >= 0.0f && w <= 1.0f && u + w <= 1.0f;
}

// The triangle counts as a solid region: points inside are at distance 0.
float DistPoint2Triangle2(const ZVector2& p, const ZTriangle2& t) {
    if (PointinTriangle2(t.vertex[0], t.vertex[1], t.vertex[2], p)) {
        return 0.0f;
    }
    float best = MAX_REAL;
    for (int i = 0; i < 3; ++i) {
        const ZSegment2 edge(t.vertex[i], t.vertex[(i + 1) % 3]);
        best = std::min(best, DistPoint2Segment2(p, edge, nullptr));
    }
    return best;
}

// The box counts as a solid region; its axes are taken as unit vectors.
float DistPoint2Rectangle2(const ZVector2& p, const ZRectangle2& r, ZVector2* closest) {
    const ZVector2 diff = p - r.centre;
    const float s0 = std::clamp(diff.Dot(r.axis0), -r.extent0, r.extent0);
    const float s1 = std::clamp(diff.Dot(r.axis1), -r.extent1, r.extent1);
    const ZVector2 nearest = r.centre + r.axis0 * s0 + r.axis1 * s1;
    if (closest != nullptr) {
        *closest = nearest;
    }
    return (p - nearest).Length();
}

// Distance to the ellipse as a curve (a point inside is as far as the nearest point of the
// curve); its axes are taken as unit vectors.
float DistPoint2Ellipse2(const ZVector2& p, const ZEllipse2& e, ZVector2* closest) {
    const ZVector2 diff = p - e.centre;
    double y[2] = {diff.Dot(e.axis0), diff.Dot(e.axis1)};
    double ext[2] = {std::fabs(e.extent0), std::fabs(e.extent1)};
    const ZVector2 axes[2] = {e.axis0, e.axis1};
    if (ext[0] == 0.0 || ext[1] == 0.0) {
        // A flat ellipse is the segment between its ends on the remaining axis.
        const int k = ext[0] == 0.0 ? 1 : 0;
        const ZVector2 half = axes[k] * static_cast<float>(ext[k]);
        ZObj2DInPoint rec;
        const float d = DistPoint2Segment2(p, ZSegment2(e.centre - half, e.centre + half), &rec);
        if (closest != nullptr) {
            *closest = rec.closest;
        }
        return d;
    }
    // The axis-aligned solver wants the longer axis first and the point in the first quadrant.
    const int major = ext[0] >= ext[1] ? 0 : 1;
    const int minor = 1 - major;
    double x0 = 0.0;
    double x1 = 0.0;
    const double d = distanceToAxisEllipse(ext[major], ext[minor], std::fabs(y[major]),
                                           std::fabs(y[minor]), x0, x1);
    if (closest != nullptr) {
        const double cmaj = y[major] < 0.0 ? -x0 : x0;
        const double cmin = y[minor] < 0.0 ? -x1 : x1;
        *closest = e.centre + axes[major] * static_cast<float>(cmaj) +
                   axes[minor] * static_cast<float>(cmin);
    }
    return static_cast<float>(d);
}

// Distance to the conic curve; MAX_REAL when the curve has no real point.
float DistPoint2Quadratic2(const ZVector2& p, const ZQuadratic2& q, ZVector2* closest) {
    const double a = q.coeff[0];
    const double b = q.coeff[1];
    const double c = q.coeff[2];
    if (a == 0.0 && b == 0.0 && c == 0.0 && q.coeff[3] == 0.0 && q.coeff[4] == 0.0) {
        // A constant: either every point or no point lies on the curve.
        if (q.coeff[5] != 0.0f) {
            return MAX_REAL;
        }
        if (closest != nullptr) {
            *closest = p;
        }
        return 0.0f;
    }
    // Turn into the frame of the principal axes of the quadratic part.
    const double theta = 0.5 * std::atan2(b, a - c);
    const double cs = std::cos(theta);
    const double sn = std::sin(theta);
    AxisConic axis{};
    axis.d[0] = a * cs * cs + b * sn * cs + c * sn * sn;
    axis.d[1] = a * sn * sn - b * sn * cs + c * cs * cs;
    axis.b[0] = cs * q.coeff[3] + sn * q.coeff[4];
    axis.b[1] = -sn * q.coeff[3] + cs * q.coeff[4];
    axis.f = q.coeff[5];
    const double pt[2] = {cs * p.X() + sn * p.Y(), -sn * p.X() + cs * p.Y()};

    double best = -1.0;
    std::array<double, 2> bestPoint{};
    for (const auto& cand : conicCandidates(axis, pt)) {
        const double dist = std::hypot(cand[0] - pt[0], cand[1] - pt[1]);
        if (best < 0.0 || dist < best) {
            best = dist;
            bestPoint = cand;
        }
    }
    if (best < 0.0) {
        return MAX_REAL;
    }
    if (closest != nullptr) {
        *closest = ZVector2(static_cast<float>(cs * bestPoint[0] - sn * bestPoint[1]),
                            static_cast<float>(sn * bestPoint[0] + cs * bestPoint[1]));
    }
    return static_cast<float>(best);
}

} // extern "C"
