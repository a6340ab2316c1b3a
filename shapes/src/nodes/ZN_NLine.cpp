// Connector line: geometry, editing, routing, hit tests, copying and its record.

#include <sarvik/ZN_NLine.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include <sarvik/ZN_SText.h>
#include <sarvik/platform/ZFile.h>

namespace {

constexpr float kPi = 3.1415925f;

bool strictlyInside(const ZVector2& p, const ZVector2& min, const ZVector2& max) {
    return min.X() < p.X() && p.X() < max.X() && min.Y() < p.Y() && p.Y() < max.Y();
}

// True when the two segments really share a point. The intersection query
// answers 2 for any pair on one line (and for every zero-length first
// segment) without looking at overlap, so that answer is confirmed here
// against the distance between the segments.
bool segmentsMeet(const ZVector2& a0, const ZVector2& a1, const ZVector2& b0,
                  const ZVector2& b1) {
    const ZSegment2 a(a0, a1);
    const ZSegment2 b(b0, b1);
    const int result = IntrSegment2Segment2(a, b, nullptr);
    if (result == 1) {
        return true;
    }
    if (result != 2) {
        return false;
    }
    // The query's own collinearity tolerance, in canvas units.
    constexpr float kTouch = 0.0174524f;
    return DistPoint2Segment2(a0, b, nullptr) <= kTouch ||
           DistPoint2Segment2(a1, b, nullptr) <= kTouch ||
           DistPoint2Segment2(b0, a, nullptr) <= kTouch ||
           DistPoint2Segment2(b1, a, nullptr) <= kTouch;
}

bool segmentCrossesRect(const ZVector2& p0, const ZVector2& p1, const ZVector2 (&corners)[4]) {
    for (int e = 0; e < 4; ++e) {
        if (segmentsMeet(p0, p1, corners[e], corners[(e + 1) % 4])) {
            return true;
        }
    }
    return false;
}

// True when `p` lies so far outside the bounds of the segment a-b that its
// distance to the segment certainly exceeds the tolerance. The margin allows
// for the rounding of the distance at these magnitudes; NaN and infinite
// values never count as clear, so they are measured as before.
bool clearOfSegment(const ZVector2& p, const ZVector2& a, const ZVector2& b, float tolerance) {
    const float scale = std::fabs(a.X()) + std::fabs(a.Y()) + std::fabs(b.X()) + std::fabs(b.Y()) +
                        std::fabs(p.X()) + std::fabs(p.Y());
    const float reach = tolerance + 1.0f + 1e-4f * scale;
    if (!std::isfinite(reach)) {
        return false;
    }
    return p.X() < std::min(a.X(), b.X()) - reach || p.X() > std::max(a.X(), b.X()) + reach ||
           p.Y() < std::min(a.Y(), b.Y()) - reach || p.Y() > std::max(a.Y(), b.Y()) + reach;
}

} // namespace

void ZN_NLine::change(const ZVector2& delta, int code) {
    touchGeometry();
    if (code != 9) {
        return;
    }
    for (ZVector2& p : points) {
        p += delta;
    }
}

void ZN_NLine::loadCursor(ZCursor, int) { ZSetCursor(ZCursor::SizeAll); }

void ZN_NLine::pushPoint(const ZVector2& p, int index) {
    touchGeometry();
    const ZVector2 copy = p; // p may be one of our own points
    const int count = getPointSize();
    const int at = std::clamp(index, 0, count);
    points.insert(points.begin() + at, copy);
}

void ZN_NLine::pushPointBack(const ZVector2& p) {
    touchGeometry();
    const ZVector2 copy = p; // p may be one of our own points
    points.push_back(copy);
}

void ZN_NLine::setPoint(const ZVector2& p, int index) {
    touchGeometry();
    const int count = getPointSize();
    if (index < 0 || index >= count) {
        return;
    }
    // An attached end follows its shape, never the mouse.
    if (index == 0 && attachedAtStart()) {
        return;
    }
    if (index == count - 1 && attachedAtEnd()) {
        return;
    }
    points[static_cast<std::size_t>(index)] = p;
}

void ZN_NLine::deletePoint(int index) {
    touchGeometry();
    const int count = getPointSize();
    if (count <= 2) {
        return;
    }
    if (index >= 0 && index < count) {
        points.erase(points.begin() + index);
    } else {
        points.pop_back();
    }
}

void ZN_NLine::updatePoint(int index, bool force) {
    touchGeometry();
    const int count = getPointSize();
    if (count < 2) {
        return; // nothing to aim at
    }
    if (!force && (index == 0 || index == count - 1)) {
        return;
    }
    if (attachedAtStart() && index == 1) {
        points.front() = inputList.front()->getBoderPos(outNumber, points[1]);
    }
    if (attachedAtEnd() && count == index + 2) {
        ZVector2 end = outputList.front()->getBoderPos(inNumber, points[points.size() - 2]);
        if (bOffsetH != 0 && arrowType == 0) {
            end.X() -= offsetH;
        }
        points.back() = end;
    }
}

void ZN_NLine::reglueEnds() {
    touchGeometry();
    const std::size_t count = points.size();
    if (count == 0) {
        return;
    }
    // A one-point line aims its end at itself.
    const std::size_t afterFirst = count > 1 ? 1 : 0;
    const std::size_t beforeLast = count > 1 ? count - 2 : 0;
    if (attachedAtStart()) {
        points.front() = inputList.front()->getBoderPos(outNumber, points[afterFirst]);
    }
    if (attachedAtEnd()) {
        ZVector2 end = outputList.front()->getBoderPos(inNumber, points[beforeLast]);
        if (bOffsetH != 0 && arrowType == 0) {
            end.X() -= offsetH;
        }
        points.back() = end;
    }
    placeLabel();
}

void ZN_NLine::placeLabel() {
    if (!label || !isCrossLink() || points.empty())
        return;
    const ZVector2 size = label->getPoint2() - label->getPoint1();
    const ZVector2 centre = points.size() % 2 == 1
                                ? points[points.size() / 2]
                                : (points[points.size() / 2 - 1] + points[points.size() / 2]) * 0.5f;
    const ZVector2 corner = centre - size * 0.5f;
    label->setRect(corner, corner + size);
}

void ZN_NLine::checkPolyLine(float maxAngle, int index) {
    touchGeometry();
    const int count = getPointSize();
    if (index < 1 || index > count - 2) {
        return;
    }
    const auto i = static_cast<std::size_t>(index);
    ZVector2 u = points[i - 1] - points[i];
    ZVector2 v = points[i + 1] - points[i];
    u.Normalize();
    v.Normalize();
    // Rounding can push the cosine of a straight bend just past -1, where
    // acos has no value; a straight bend is 180 degrees.
    const float cosine = std::clamp(u.Dot(v), -1.0f, 1.0f);
    const float angle = std::acos(cosine) * 180.0f / kPi;
    if (maxAngle < angle) {
        points.erase(points.begin() + index);
    }
}

void ZN_NLine::autoAlign(int style) {
    touchGeometry();
    switch (style) {
    case 1:
        strightType = 0;
        autoAddTwoPointSeg(30);
        break;
    case 2:
        strightType = 1;
        autoAddTwoPointCur(30);
        break;
    case 3:
        strightType = 1;
        autoAddOnePointCur();
        break;
    case 4:
        autoSegment();
        break;
    default:
        return;
    }
    updatePoint(getPointSize() - 2, true);
}

void ZN_NLine::autoSegment() {
    touchGeometry();
    if (points.size() < 3) {
        return;
    }
    const ZVector2 first = points.front();
    const ZVector2 last = points.back();
    points = {first, last};
}

void ZN_NLine::autoAddTwoPointSeg(int step) {
    touchGeometry();
    if (points.size() < 2) {
        return;
    }
    bOffsetH = 0;
    updatePoint(getPointSize() - 2, true);
    const ZVector2 f = points.front();
    const ZVector2 l = points.back();
    const float d = l.X() < f.X() ? -static_cast<float>(step) : static_cast<float>(step);
    points = {f, ZVector2(f.X() + d, f.Y()), ZVector2(f.X() + d, l.Y()), l};
}

void ZN_NLine::autoAddOnePointCur() {
    touchGeometry();
    if (points.size() < 2) {
        return;
    }
    bOffsetH = 0;
    updatePoint(getPointSize() - 2, true);
    const ZVector2 f = points.front();
    const ZVector2 l = points.back();
    const float d = l.X() - f.X() < 0.0f ? -50.0f : 50.0f;
    const ZVector2 m(f.X() + d, l.Y() + 0.1f * (f.Y() - l.Y()));
    points = {f, m, l};
}

void ZN_NLine::autoAddTwoPointCur(int step) {
    touchGeometry();
    if (points.size() < 2) {
        return;
    }
    const ZVector2 f = points.front();
    ZVector2 l = points.back();
    if (bOffsetH != 0) {
        l.X() += offsetH; // back to the end shape's border point
    }
    const float d = l.X() < f.X() ? -static_cast<float>(step) : static_cast<float>(step);
    const float h = std::fabs(f.Y() - l.Y());
    if (!(h > 10.0f)) {
        bOffsetH = 0;
        points = {f, l};
        return;
    }
    ZVector2 p1(f.X() + (1.0f - 1.0f / h) * d, 0.0f);
    ZVector2 p2(f.X() + (1.0f + 10.0f / h) * d, 0.0f);
    if (l.Y() < f.Y()) {
        p1.Y() = f.Y() - 0.115f * h;
        p2.Y() = l.Y() + 0.115f * h;
    } else {
        p1.Y() = f.Y() + 0.115f * h;
        p2.Y() = l.Y() - 0.115f * h;
    }
    const ZVector2 p3(p1.X() + d, l.Y());
    bOffsetH = 1;
    offsetH = l.X() - p3.X();
    points = {f, p1, p2, p3};
}

int ZN_NLine::InPoint(const ZVector2& pos, ZObj2DInPoint* info, float tolerance) const {
    const ZVector2 offset = getScallPosition();
    const std::size_t count = points.size();
    for (std::size_t i = 0; i < count; ++i) {
        const ZVector2 p = points[i] - offset;
        if (std::fabs(p.X() - pos.X()) < tolerance && std::fabs(p.Y() - pos.Y()) < tolerance) {
            return 10 + static_cast<int>(i);
        }
    }
    // A hover test meets every connector of the page, and nearly all of their
    // segments lie far from the pointer; those are ruled out by their bounds
    // without working out the distance. The record must still describe the
    // last segment after a miss, so that one is measured whatever its bounds.
    bool lastMeasured = false;
    for (std::size_t i = 1; i < count; ++i) {
        const ZVector2 a = points[i - 1] - offset;
        const ZVector2 b = points[i] - offset;
        lastMeasured = !clearOfSegment(pos, a, b, tolerance);
        if (!lastMeasured) {
            continue;
        }
        const ZSegment2 segment(a, b);
        if (DistPoint2Segment2(pos, segment, info) < tolerance) {
            return -static_cast<int>(i);
        }
    }
    if (count > 1 && !lastMeasured && info != nullptr) {
        const ZSegment2 last(points[count - 2] - offset, points[count - 1] - offset);
        DistPoint2Segment2(pos, last, info);
    }
    return 0;
}

bool ZN_NLine::IntersectRect(const ZVector2& min, const ZVector2& max) const {
    if (points.empty()) {
        return false;
    }
    const ZVector2 corners[4] = {ZVector2(min.X(), min.Y()), ZVector2(max.X(), min.Y()),
                                 ZVector2(max.X(), max.Y()), ZVector2(min.X(), max.Y())};
    const ZVector2 offset = getScallPosition();
    ZVector2 previous = points.front() - offset;
    if (strictlyInside(previous, min, max)) {
        return true;
    }
    for (std::size_t i = 1; i < points.size(); ++i) {
        const ZVector2 p = points[i] - offset;
        if (strictlyInside(p, min, max) || segmentCrossesRect(previous, p, corners)) {
            return true;
        }
        previous = p;
    }
    if (bOffsetH != 0) {
        const ZVector2 tail = previous + ZVector2(offsetH, 0.0f);
        if (strictlyInside(tail, min, max) || segmentCrossesRect(previous, tail, corners)) {
            return true;
        }
    }
    return false;
}

ZN_ShapeBase* ZN_NLine::clone() const {
    auto* copy = new ZN_NLine();
    copyLineTo(*copy);
    return copy;
}

void ZN_NLine::deepCopy(ZN_ShapeBase* target) const {
    auto* line = dynamic_cast<ZN_NLine*>(target);
    if (line == nullptr || line == this) {
        ZN_ShapeBase::deepCopy(target);
        return;
    }
    copyLineTo(*line);
}

void ZN_NLine::copyLineTo(ZN_NLine& target) const {
    ZN_ShapeBase::deepCopy(&target);
    ZN_NLine* line = &target;
    line->color = color;
    line->outNumber = outNumber;
    line->inNumber = inNumber;
    line->strightType = strightType;
    line->lineWide = lineWide;
    line->arrowSize = arrowSize;
    line->arrowType = arrowType;
    line->bGradualWide = bGradualWide;
    line->bGradualColor = bGradualColor;
    line->gradualColor = gradualColor;
    line->gradualWide = gradualWide;
    line->bOffsetH = bOffsetH;
    line->offsetH = offsetH;
    line->points.insert(line->points.end(), points.begin(), points.end());
}

namespace {

void writeColour(ZFile* file, const ZVector3& c) {
    file->writeFloat(c.X());
    file->writeFloat(c.Y());
    file->writeFloat(c.Z());
}

ZVector3 readColour(ZFile* file) {
    const float r = file->readFloat();
    const float g = file->readFloat();
    const float b = file->readFloat();
    return ZVector3(r, g, b);
}

} // namespace

void ZN_NLine::writeFile(ZFile* file, int version) {
    ZN_ShapeBase::writeFile(file, version);
    file->writeInt32(getPointSize());
    for (const ZVector2& p : points) {
        file->writeFloat(p.X());
        file->writeFloat(p.Y());
    }
    writeColour(file, color);
    file->writeInt32(outNumber);
    file->writeInt32(inNumber);
    file->writeInt32(strightType);
    file->writeInt32(lineWide);
    file->writeInt32(arrowSize);
    file->writeInt32(arrowType);
    file->writeInt32(bGradualWide);
    file->writeInt32(bGradualColor);
    writeColour(file, gradualColor);
    file->writeFloat(gradualWide);
    file->writeInt32(bOffsetH);
    file->writeFloat(offsetH);
}

void ZN_NLine::readFile(ZFile* file, int version) {
    touchGeometry();
    ZN_ShapeBase::readFile(file, version);
    if (file->failed()) {
        return;
    }
    const std::int32_t count = file->readInt32();
    if (file->failed()) {
        return;
    }
    // Eight bytes a point: a count the rest of the file cannot hold is refused
    // before anything is allocated.
    if (count < 0 || static_cast<std::uint64_t>(count) * 8u > file->remaining()) {
        file->setFailed();
        return;
    }
    points.reserve(points.size() + static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        const float x = file->readFloat();
        const float y = file->readFloat();
        if (file->failed()) {
            return;
        }
        points.emplace_back(x, y);
    }
    const ZVector3 c = readColour(file);
    const std::int32_t out = file->readInt32();
    const std::int32_t in = file->readInt32();
    const std::int32_t stright = file->readInt32();
    const std::int32_t wide = file->readInt32();
    const std::int32_t size = file->readInt32();
    const std::int32_t arrow = file->readInt32();
    if (file->failed()) {
        return;
    }
    color = c;
    outNumber = out;
    inNumber = in;
    strightType = stright;
    lineWide = wide;
    arrowSize = size;
    arrowType = arrow;
    // Version 2 files end the record here; the ramps and the tail keep their defaults.
    if (version < 3) {
        return;
    }
    const std::int32_t gradualWideFlag = file->readInt32();
    const std::int32_t gradualColorFlag = file->readInt32();
    const ZVector3 gradual = readColour(file);
    const float extraWide = file->readFloat();
    const std::int32_t offsetFlag = file->readInt32();
    const float offset = file->readFloat();
    if (file->failed()) {
        return;
    }
    bGradualWide = gradualWideFlag;
    bGradualColor = gradualColorFlag;
    gradualColor = gradual;
    gradualWide = extraWide;
    bOffsetH = offsetFlag;
    offsetH = offset;
}
