// Planar primitives, the records that the queries fill, and the distance and intersection
// queries used for hit testing. The queries are exported with C linkage (undecorated names).
#pragma once

#include <vector>

#include "rulmek/zmatrix.h"
#include "rulmek/zvector.h"

// A segment from origin to origin + extent * direction. Lines and rays are passed as a
// ZSegment2 too; then only origin and direction are used.
class ZSegment2 {
public:
    ZSegment2() = default;
    ZSegment2(const ZVector2& start, const ZVector2& end);
    ZSegment2(const ZSegment2& s) = default;
    ZSegment2& operator=(const ZSegment2& s) = default;
    void setValue(const ZVector2& start, const ZVector2& end);

    ZVector2 origin;
    ZVector2 direction; // unit length, or zero for a segment of zero length
    float extent;       // the full length, not half of it
};

class ZCircle2 {
public:
    ZCircle2() = default;
    ZCircle2(const ZVector2& centre, float radius);
    ZCircle2(const ZVector2& centre, const ZVector2& pointOnCircle);
    ZCircle2(const ZCircle2& c) = default;
    ZCircle2& operator=(const ZCircle2& c) = default;
    void setValue(const ZVector2& centre, const ZVector2& pointOnCircle);

    ZVector2 centre;
    float radius;
};

class ZArc2 {
public:
    ZArc2() = default;
    ZArc2(const ZVector2& centre, float radius, const ZVector2& end0, const ZVector2& end1);
    ZArc2(const ZArc2& a) = default;
    ZArc2& operator=(const ZArc2& a) = default;
    // For a point already known to lie on the circle.
    bool Contains(const ZVector2& p) const;

    ZVector2 centre;
    float radius;
    ZVector2 end0;
    ZVector2 end1;
};

// An oriented box: centre +- extent0 * axis0 +- extent1 * axis1.
class ZRectangle2 {
public:
    ZRectangle2() = default;
    ZRectangle2(const ZVector2& centre, const ZVector2& axis0, const ZVector2& axis1, float extent0,
                float extent1);
    ZRectangle2(const ZRectangle2& r) = default;
    ZRectangle2& operator=(const ZRectangle2& r) = default;

    ZVector2 centre;
    ZVector2 axis0;
    ZVector2 axis1;
    float extent0;
    float extent1;
};

// An ellipse with semi-axes extent0 along axis0 and extent1 along axis1.
class ZEllipse2 {
public:
    ZEllipse2() = default;
    ZEllipse2(const ZVector2& centre, const ZVector2& axis0, const ZVector2& axis1, float extent0,
              float extent1);
    ZEllipse2(const ZEllipse2& e) = default;
    ZEllipse2& operator=(const ZEllipse2& e) = default;

    ZVector2 centre;
    ZVector2 axis0;
    ZVector2 axis1;
    float extent0;
    float extent1;
};

class ZTriangle2 {
public:
    ZTriangle2() = default;
    ZTriangle2(const ZVector2& v0, const ZVector2& v1, const ZVector2& v2);
    ZTriangle2(const ZTriangle2& t) = default;
    ZTriangle2& operator=(const ZTriangle2& t) = default;

    ZVector2 vertex[3];
};

// A polyline.
class ZBreakLine2 {
public:
    ZBreakLine2() = default;
    ZBreakLine2(const ZVector2* points, int count);
    ZBreakLine2(const ZBreakLine2& b) = default;
    ZBreakLine2& operator=(const ZBreakLine2& b) = default;
    ~ZBreakLine2() = default;

    std::vector<ZVector2> points;
};

// The conic a x^2 + b xy + c y^2 + d x + e y + f, coefficients in that order.
class ZQuadratic2 {
public:
    ZQuadratic2();
    ZQuadratic2(float a, float b, float c, float d, float e, float f);
    explicit ZQuadratic2(const float coeff[6]);
    ZQuadratic2(const ZQuadratic2& q) = default;
    ZQuadratic2& operator=(const ZQuadratic2& q) = default;

    float& XX() { return coeff[0]; }
    float XX() const { return coeff[0]; }
    float& XY() { return coeff[1]; }
    float XY() const { return coeff[1]; }
    float& YY() { return coeff[2]; }
    float YY() const { return coeff[2]; }
    float& X() { return coeff[3]; }
    float X() const { return coeff[3]; }
    float& Y() { return coeff[4]; }
    float Y() const { return coeff[4]; }
    float& Constant() { return coeff[5]; }
    float Constant() const { return coeff[5]; }

    // Coefficient of x^xPower * y^yPower (powers summing to at most 2); 0 for any other pair.
    float Get(int xPower, int yPower) const;
    void Set(int xPower, int yPower, float value);

    float operator()(const ZVector2& p) const;
    // Moves the curve by t.
    void Translate(const ZVector2& t);
    // Turns the curve by the rotation r (points p of the old curve go to r * p).
    void Rotate(const ZMatrix2X2& r);
    // Scales the curve about the origin by s along x and y.
    void Scale(const ZVector2& s);

    float coeff[6];
};

// Closest-point record of a point query.
class ZObj2DInPoint {
public:
    ZObj2DInPoint();
    virtual ~ZObj2DInPoint();

    float parameter;          // along the primitive as a fraction of its extent, unclamped
    ZVector2 closest;         // closest point of the primitive
    ZVector2 secondPoint;     // not set by the planar queries
    ZVector2 primitiveOrigin; // origin of the measured primitive (polyline: nearest segment)
};

class ZObjInPoint {
public:
    ZObjInPoint();
    virtual ~ZObjInPoint();

    float parameter;
    ZVector3 closest;
    ZVector3 secondPoint;
    ZVector3 primitiveOrigin;
};

// Intersection record; the queries clear it before filling it.
class Z2DObjIntersect {
public:
    Z2DObjIntersect();
    virtual ~Z2DObjIntersect();
    virtual void clear();

    int count;
    std::vector<ZVector2> firstPoints;  // intersection points on the first primitive
    std::vector<ZVector2> secondPoints; // the same points as seen on the second primitive
    float rayTerm;                      // set only by IntrRay2Segment2 when it finds a point
};

class Z3DObjIntersect {
public:
    Z3DObjIntersect();
    virtual ~Z3DObjIntersect();
    virtual void clear();

    int count;
    std::vector<ZVector3> firstPoints;
    std::vector<ZVector3> secondPoints;
};

// clang objects to C linkage on functions returning classes; the names stay undecorated on
// purpose so that they are found by name.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

extern "C" {

float DistPoint2Segment2(const ZVector2& p, const ZSegment2& s, ZObj2DInPoint* rec = nullptr);
float DistPoint2Line2(const ZVector2& p, const ZSegment2& line, ZObj2DInPoint* rec = nullptr);
float DistPoint2Ray2(const ZVector2& p, const ZSegment2& ray, ZObj2DInPoint* rec = nullptr);
// -1 when the polyline has fewer than two points.
float DistPoint2BreakLine2(const ZVector2& p, const ZBreakLine2& line,
                           ZObj2DInPoint* rec = nullptr);
float DistPoint2Triangle2(const ZVector2& p, const ZTriangle2& t);
float DistPoint2Rectangle2(const ZVector2& p, const ZRectangle2& r, ZVector2* closest = nullptr);
float DistPoint2Ellipse2(const ZVector2& p, const ZEllipse2& e, ZVector2* closest = nullptr);
float DistPoint2Quadratic2(const ZVector2& p, const ZQuadratic2& q, ZVector2* closest = nullptr);

float DistLine2Line2(const ZSegment2& line0, const ZSegment2& line1);
float DistLine2Ray2(const ZSegment2& line, const ZSegment2& ray);
float DistLine2Segment2(const ZSegment2& line, const ZSegment2& seg);
float DistRay2Ray2(const ZSegment2& ray0, const ZSegment2& ray1);
float DistRay2Segment2(const ZSegment2& ray, const ZSegment2& seg);
float DistSegment2Segment2(const ZSegment2& seg0, const ZSegment2& seg1);

// 1: one point; 0: none; 2: both on one line (overlap is not tested).
int IntrSegment2Segment2(const ZSegment2& s0, const ZSegment2& s1, Z2DObjIntersect* rec = nullptr);
// 1: one point; 0: parallel and distinct; -1: the same line.
int IntrLine2Line2(const ZSegment2& line0, const ZSegment2& line1, Z2DObjIntersect* rec = nullptr);
int IntrLine2Ray2(const ZSegment2& line, const ZSegment2& ray, Z2DObjIntersect* rec = nullptr);
int IntrLine2Segment2(const ZSegment2& line, const ZSegment2& seg, Z2DObjIntersect* rec = nullptr);
int IntrRay2Ray2(const ZSegment2& ray0, const ZSegment2& ray1, Z2DObjIntersect* rec = nullptr);
int IntrRay2Segment2(const ZSegment2& ray, const ZSegment2& seg, Z2DObjIntersect* rec = nullptr);

int IntrSegment2Circle2(const ZSegment2& seg, const ZCircle2& c, Z2DObjIntersect* rec = nullptr);
int IntrRay2Circle2(const ZSegment2& ray, const ZCircle2& c, Z2DObjIntersect* rec = nullptr);
int IntrLine2Circle2(const ZSegment2& line, const ZCircle2& c, Z2DObjIntersect* rec = nullptr);
int IntrCircle2Circle2(const ZCircle2& c0, const ZCircle2& c1, Z2DObjIntersect* rec = nullptr);
int IntrLine2Arc2(const ZSegment2& line, const ZArc2& arc, Z2DObjIntersect* rec = nullptr);

bool PointinTriangle2(const ZVector2& a, const ZVector2& b, const ZVector2& c, const ZVector2& p);

} // extern "C"

#if defined(__clang__)
#pragma clang diagnostic pop
#endif
