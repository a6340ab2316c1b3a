#include <sarvik/ZN_BackRgn.h>

#include <cmath>
#include <utility>

ZVector2 ZN_BackRgn::handlePosition(int code) const {
    const float left = point1.X(), top = point1.Y();
    const float right = point2.X(), bottom = point2.Y();
    const float midX = (left + right) * 0.5f;
    const float midY = (top + bottom) * 0.5f;
    switch (code) {
    case 1: return {left, top};
    case 2: return {left, midY};
    case 3: return {left, bottom};
    case 4: return {midX, bottom};
    case 5: return {right, bottom};
    case 6: return {right, midY};
    case 7: return {right, top};
    case 8: return {midX, top};
    default: return {0.0f, 0.0f};
    }
}

void ZN_BackRgn::change(const ZVector2& delta, int code) {
    const float dx = delta.X(), dy = delta.Y();
    switch (code) {
    case 1: point1.X() += dx; point1.Y() += dy; break;
    case 2: point1.X() += dx; break;
    case 3: point1.X() += dx; point2.Y() += dy; break;
    case 4: point2.Y() += dy; break;
    case 5: point2.X() += dx; point2.Y() += dy; break;
    case 6: point2.X() += dx; break;
    case 7: point2.X() += dx; point1.Y() += dy; break;
    case 8: point1.Y() += dy; break;
    default:
        point1 = point1 + delta;
        point2 = point2 + delta;
        break;
    }
    if (point2.X() < point1.X())
        std::swap(point1.X(), point2.X());
    if (point2.Y() < point1.Y())
        std::swap(point1.Y(), point2.Y());
    // The top-left corner stays where it was dragged; the other one gives way.
    if (point2.Y() < point1.Y() + 10.0f)
        point2.Y() = point1.Y() + 10.0f;
    if (point2.X() < point1.X() + 10.0f)
        point2.X() = point1.X() + 10.0f;
}

int ZN_BackRgn::InPoint(const ZVector2& pos, ZObj2DInPoint* /*info*/, float tolerance) const {
    for (int code = 1; code <= 8; ++code) {
        const ZVector2 h = handlePosition(code);
        if (std::fabs(h.X() - pos.X()) < tolerance && std::fabs(h.Y() - pos.Y()) < tolerance)
            return code;
    }
    return 0;
}

void ZN_BackRgn::loadCursor(ZCursor cursor, int code) {
    switch (code) {
    case 1:
    case 5: ZSetCursor(ZCursor::SizeNWSE); break;
    case 2:
    case 6: ZSetCursor(ZCursor::SizeWE); break;
    case 3:
    case 7: ZSetCursor(ZCursor::SizeNESW); break;
    case 4:
    case 8: ZSetCursor(ZCursor::SizeNS); break;
    case 9: ZSetCursor(ZCursor::SizeAll); break;
    default: ZSetCursor(cursor); break;
    }
}
