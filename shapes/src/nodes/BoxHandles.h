#pragma once
// The eight resize handles that box-shaped shapes share: where they sit and
// which edges a drag on each of them moves.

#include <rulmek/rulmek.h>
#include <sarvik/platform/ZCursor.h>

#include <utility>

namespace detail {

// Handle code 1..8 over the box a (top-left) .. b (bottom-right), running
// down the left edge from the top-left corner and back along the top; any
// other code gives fallback.
inline ZVector2 boxHandlePos(int code, const ZVector2& a, const ZVector2& b,
                             const ZVector2& fallback) {
    const float midX = (a.X() + b.X()) * 0.5f;
    const float midY = (a.Y() + b.Y()) * 0.5f;
    switch (code) {
    case 1: return ZVector2(a.X(), a.Y());
    case 2: return ZVector2(a.X(), midY);
    case 3: return ZVector2(a.X(), b.Y());
    case 4: return ZVector2(midX, b.Y());
    case 5: return ZVector2(b.X(), b.Y());
    case 6: return ZVector2(b.X(), midY);
    case 7: return ZVector2(b.X(), a.Y());
    case 8: return ZVector2(midX, a.Y());
    default: return fallback;
    }
}

// Moves the edges that handle code 1..8 drags by delta; any other code moves
// the whole box. The box is left as dragged, not normalised.
inline void dragBoxHandle(ZVector2& point1, ZVector2& point2, const ZVector2& delta, int code) {
    const float dx = delta.X();
    const float dy = delta.Y();
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
        point1 += delta;
        point2 += delta;
        break;
    }
}

// The resize pointer for handle code 1..8, by the direction its drag moves
// the box; any other code gives other.
inline ZCursor boxHandleCursor(int code, ZCursor other) {
    switch (code) {
    case 1:
    case 5: return ZCursor::SizeNWSE;
    case 2:
    case 6: return ZCursor::SizeWE;
    case 3:
    case 7: return ZCursor::SizeNESW;
    case 4:
    case 8: return ZCursor::SizeNS;
    default: return other;
    }
}

// Puts point1 at the top-left and point2 at the bottom-right, then keeps the
// box at least 10 units each way: the top-left corner stays where it was
// dragged and the other one gives way.
inline void normaliseBox(ZVector2& point1, ZVector2& point2) {
    if (point2.X() < point1.X())
        std::swap(point1.X(), point2.X());
    if (point2.Y() < point1.Y())
        std::swap(point1.Y(), point2.Y());
    if (point2.Y() < point1.Y() + 10.0f)
        point2.Y() = point1.Y() + 10.0f;
    if (point2.X() < point1.X() + 10.0f)
        point2.X() = point1.X() + 10.0f;
}

} // namespace detail
