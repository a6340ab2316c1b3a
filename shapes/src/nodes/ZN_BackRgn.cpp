#include <sarvik/ZN_BackRgn.h>

#include <cmath>

#include "BoxHandles.h"

ZVector2 ZN_BackRgn::handlePosition(int code) const {
    return detail::boxHandlePos(code, point1, point2, ZVector2(0.0f, 0.0f));
}

void ZN_BackRgn::change(const ZVector2& delta, int code) {
    detail::dragBoxHandle(point1, point2, delta, code);
    detail::normaliseBox(point1, point2);
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
    // Away from the handles and the body the caller's pointer is kept.
    ZSetCursor(detail::boxHandleCursor(code, code == 9 ? ZCursor::SizeAll : cursor));
}
