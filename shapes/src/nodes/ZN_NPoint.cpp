// Point node: geometry, editing, hit tests, copying and its record.

#include <sarvik/ZN_NPoint.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include <sarvik/ZN_NLine.h>
#include <sarvik/platform/ZFile.h>

void ZN_NPoint::change(const ZVector2& delta, int) {
    touchGeometry();
    coord += delta;
    // Inputs first, then outputs, as a moved box does.
    for (ZN_ShapeBase* shape : inputList) {
        if (auto* line = dynamic_cast<ZN_NLine*>(shape)) {
            line->reglueEnds();
        }
    }
    for (ZN_ShapeBase* shape : outputList) {
        if (auto* line = dynamic_cast<ZN_NLine*>(shape)) {
            line->reglueEnds();
        }
    }
}

int ZN_NPoint::InPoint(const ZVector2& pos, ZObj2DInPoint* info, float tolerance) const {
    const ZVector2 c = coord - getScallPosition();
    if ((c - pos).Length() < pointSize + tolerance) {
        if (info != nullptr) {
            info->closest = c;
        }
        return 9;
    }
    return 0;
}

bool ZN_NPoint::IntersectRect(const ZVector2& min, const ZVector2& max) const {
    const ZVector2 c = coord - getScallPosition();
    return min.X() < c.X() && c.X() < max.X() && min.Y() < c.Y() && c.Y() < max.Y();
}

void ZN_NPoint::loadCursor(ZCursor, int) {
    ZSetCursor(stateType != 0 ? ZCursor::Arrow : ZCursor::SizeAll);
}

ZVector2 ZN_NPoint::getBoderPos(int, const ZVector2& towards) {
    ZVector2 u = towards - coord;
    u.Normalize();
    // Kept inside acos's domain so that rounding can never turn a connector
    // end into NaN.
    float phi = std::acos(std::clamp(u.X(), -1.0f, 1.0f));
    if (u.Y() < 0.0f) {
        phi = -phi;
    }
    return coord + ZVector2(std::cos(phi), std::sin(phi)) * pointSize;
}

ZN_ShapeBase* ZN_NPoint::clone() const {
    auto* copy = new ZN_NPoint();
    deepCopy(copy);
    return copy;
}

void ZN_NPoint::deepCopy(ZN_ShapeBase* target) const {
    ZN_ShapeBase::deepCopy(target);
    auto* point = dynamic_cast<ZN_NPoint*>(target);
    if (point == nullptr || point == this) {
        return;
    }
    point->coord = coord;
    point->color = color;
    point->fillColor = fillColor;
    point->pointSize = pointSize;
    point->stateType = stateType;
}

void ZN_NPoint::writeFile(ZFile* file, int version) {
    ZN_ShapeBase::writeFile(file, version);
    file->writeFloat(coord.X());
    file->writeFloat(coord.Y());
    // The fill colour comes before the outline colour, as in the box record.
    file->writeFloat(fillColor.X());
    file->writeFloat(fillColor.Y());
    file->writeFloat(fillColor.Z());
    file->writeFloat(color.X());
    file->writeFloat(color.Y());
    file->writeFloat(color.Z());
    file->writeFloat(pointSize);
    file->writeInt32(stateType);
}

void ZN_NPoint::readFile(ZFile* file, int version) {
    touchGeometry();
    ZN_ShapeBase::readFile(file, version);
    if (file->failed()) {
        return;
    }
    float v[9];
    for (float& f : v) {
        f = file->readFloat();
    }
    const std::int32_t state = file->readInt32();
    if (file->failed()) {
        return;
    }
    coord = ZVector2(v[0], v[1]);
    fillColor = ZVector3(v[2], v[3], v[4]);
    color = ZVector3(v[5], v[6], v[7]);
    pointSize = v[8];
    stateType = state;
}
