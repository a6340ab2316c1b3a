#include <sarvik/ZN_NRect.h>

#include <algorithm>
#include <cmath>

#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NodeMarks.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/platform/ZFile.h>

#include "BoxHandles.h"

namespace {

void writeVector(ZFile* file, const ZVector2& v) {
    file->writeFloat(v.X());
    file->writeFloat(v.Y());
}

void writeVector(ZFile* file, const ZVector3& v) {
    file->writeFloat(v.X());
    file->writeFloat(v.Y());
    file->writeFloat(v.Z());
}

ZVector2 readVector2(ZFile* file) {
    const float x = file->readFloat();
    const float y = file->readFloat();
    return ZVector2(x, y);
}

ZVector3 readVector3(ZFile* file) {
    const float x = file->readFloat();
    const float y = file->readFloat();
    const float z = file->readFloat();
    return ZVector3(x, y, z);
}

bool strictlyInside(const ZVector2& p, const ZVector2& min, const ZVector2& max) {
    return min.X() < p.X() && p.X() < max.X() && min.Y() < p.Y() && p.Y() < max.Y();
}

// True when the two segments meet in a single point (a collinear overlap does not count).
bool crossOnce(const ZVector2& a0, const ZVector2& a1, const ZVector2& b0, const ZVector2& b1,
               ZVector2* where = nullptr) {
    Z2DObjIntersect record;
    if (IntrSegment2Segment2(ZSegment2(a0, a1), ZSegment2(b0, b1), &record) != 1)
        return false;
    if (where)
        *where = record.firstPoints.empty() ? a0 : record.firstPoints.front();
    return true;
}

} // namespace

ZVector2 ZN_NRect::handlePos(int code, const ZVector2& a, const ZVector2& b) {
    return detail::boxHandlePos(code, a, b, (a + b) * 0.5f);
}

void ZN_NRect::change(const ZVector2& delta, int code) {
    touchGeometry();
    detail::dragBoxHandle(point1, point2, delta, code);

    // The label follows a move and is re-centred by a resize, before the box is
    // normalised, so it sits against the box as the user dragged it.
    if (label) {
        if (code == 9)
            label->change(delta, 9);
        else
            resetLabelPosition();
    }

    detail::normaliseBox(point1, point2);

    makeInvide();
    reglueConnectors();
}

void ZN_NRect::reglueConnectors() {
    for (ZN_ShapeBase* shape : inputList)
        if (auto* line = dynamic_cast<ZN_NLine*>(shape))
            line->reglueEnds();
    for (ZN_ShapeBase* shape : outputList)
        if (auto* line = dynamic_cast<ZN_NLine*>(shape))
            line->reglueEnds();
}

int ZN_NRect::InPoint(const ZVector2& pos, ZObj2DInPoint* info, float tolerance) const {
    const ZVector2 offset = getScallPosition();
    const ZVector2 a = point1 - offset;
    const ZVector2 b = point2 - offset;
    // The cursor query passes a record and should find the handles of selected
    // boxes only; connection-target tests pass none and find any box's handles.
    if (selected || info == nullptr) {
        for (int code = 1; code <= 8; ++code) {
            const ZVector2 h = handlePos(code, a, b);
            if (std::abs(h.X() - pos.X()) < tolerance && std::abs(h.Y() - pos.Y()) < tolerance)
                return code;
        }
    }
    if (strictlyInside(pos, a, b))
        return 9;
    return 0;
}

bool ZN_NRect::IntersectRect(const ZVector2& min, const ZVector2& max) const {
    const ZVector2 offset = getScallPosition();
    const ZVector2 a = point1 - offset;
    const ZVector2 b = point2 - offset;
    const ZVector2 box[4] = {a, ZVector2(a.X(), b.Y()), b, ZVector2(b.X(), a.Y())};
    for (const ZVector2& corner : box)
        if (strictlyInside(corner, min, max))
            return true;
    const ZVector2 query[4] = {min, ZVector2(min.X(), max.Y()), max, ZVector2(max.X(), min.Y())};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (crossOnce(box[i], box[(i + 1) % 4], query[j], query[(j + 1) % 4]))
                return true;
    return false;
}

void ZN_NRect::loadCursor(ZCursor, int code) {
    ZSetCursor(detail::boxHandleCursor(code, ZCursor::SizeAll));
}

ZVector2 ZN_NRect::getRegionPos(int code) {
    if (code < 1 || code > 9)
        return ZVector2(0.0f, 0.0f);
    return handlePos(code, point1, point2);
}

ZVector2 ZN_NRect::getBoderPos(int index, const ZVector2& towards) {
    if (index >= 1 && index <= 8)
        return handlePos(index, point1, point2);
    if (index != 9)
        return towards;
    const ZVector2 centre = (point1 + point2) * 0.5f;
    const ZVector2 corners[4] = {point1, ZVector2(point1.X(), point2.Y()), point2,
                                 ZVector2(point2.X(), point1.Y())};
    for (int i = 0; i < 4; ++i) {
        ZVector2 hit;
        if (crossOnce(centre, towards, corners[i], corners[(i + 1) % 4], &hit))
            return hit;
    }
    return towards;
}

void ZN_NRect::resetLabelPosition() {
    if (!label)
        return;
    ZVector2 l1 = label->getPoint1();
    ZVector2 l2 = label->getPoint2();
    ZVector2 r1 = point1;
    ZVector2 r2 = point2;
    // Markers stand in a row before the label; row and label are centred
    // together, and the box makes room for both.
    const float strip = hasFields() ? ZN_MarkerStripWidth(getFields().markers.size()) : 0.0f;
    const ZVector2 d = (r1 + r2) * 0.5f - (l1 + l2) * 0.5f + ZVector2(strip * 0.5f, 0.0f);
    l1 += d;
    l2 += d;
    ZVector2 c1 = l1;
    ZVector2 c2 = l2;
    if (strip > 0.0f) {
        c1.X() -= strip;
        const float middle = (l1.Y() + l2.Y()) * 0.5f;
        c1.Y() = std::min(c1.Y(), middle - kZN_MarkerSize * 0.5f);
        c2.Y() = std::max(c2.Y(), middle + kZN_MarkerSize * 0.5f);
    }
    if (c1.X() < r1.X())
        r1.X() = c1.X();
    if (c2.X() > r2.X())
        r2.X() = c2.X();
    if (c1.Y() < r1.Y())
        r1.Y() = c1.Y();
    if (c2.Y() > r2.Y())
        r2.Y() = c2.Y();
    label->setRect(l1, l2);
    point1 = r1;
    point2 = r2;
}

ZN_ShapeBase* ZN_NRect::clone() const {
    auto* copy = new ZN_NRect();
    copyBoxTo(*copy);
    return copy;
}

void ZN_NRect::deepCopy(ZN_ShapeBase* target) const {
    auto* box = dynamic_cast<ZN_NRect*>(target);
    if (!box || box == this) {
        ZN_ShapeBase::deepCopy(target);
        return;
    }
    copyBoxTo(*box);
}

void ZN_NRect::copyBoxTo(ZN_NRect& box) const {
    ZN_ShapeBase::deepCopy(&box);
    box.point1 = point1;
    box.point2 = point2;
    box.color = color;
    box.fillColor = fillColor;
    box.lineWide = lineWide;
    box.rectShowtype = rectShowtype;
    box.imageData = imageData;
    box.gradualType = gradualType;
    box.gradualColor = gradualColor;
}

void ZN_NRect::writeFile(ZFile* file, int version) {
    ZN_ShapeBase::writeFile(file, version);
    writeVector(file, point1);
    writeVector(file, point2);
    writeVector(file, fillColor);
    writeVector(file, color);
    file->writeInt32(lineWide);
    file->writeInt32(rectShowtype);
    file->writeInt32(imageData ? imageData->getId() : 0);
    file->writeInt32(gradualType);
    writeVector(file, gradualColor);
}

void ZN_NRect::readFile(ZFile* file, int version) {
    touchGeometry();
    ZN_ShapeBase::readFile(file, version);
    if (file->failed())
        return;
    point1 = readVector2(file);
    point2 = readVector2(file);
    fillColor = readVector3(file);
    color = readVector3(file);
    lineWide = file->readInt32();
    if (version > 2)
        rectShowtype = file->readInt32();
    if (version > 4)
        imageId = file->readInt32();
    if (version > 6) {
        gradualType = file->readInt32();
        gradualColor = readVector3(file);
    }
}
