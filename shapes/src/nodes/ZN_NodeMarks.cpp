#include <sarvik/ZN_NodeMarks.h>

#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>

#include <rulmek/zview.h>

#include <utility>

namespace {

// The corner marks sit this far left of the corner, clear of its handle.
constexpr float kCornerInset = 4.0f;
constexpr float kCornerGap = 2.0f;

const ZN_NRect* asBox(const ZN_ShapeBase& shape) {
    return dynamic_cast<const ZN_NRect*>(&shape);
}

} // namespace

bool ZN_HasMarks(const ZN_ShapeBase& shape) {
    if (!shape.hasFields() || !asBox(shape))
        return false;
    const ZN_NodeFields& f = shape.getFields();
    return !f.note.empty() || !f.link.empty() || !f.markers.empty();
}

float ZN_MarkerStripWidth(std::size_t count) {
    if (count == 0)
        return 0.0f;
    const auto n = static_cast<float>(count);
    return n * kZN_MarkerSize + (n - 1.0f) * kZN_MarkerGap + kZN_MarkerLabelGap;
}

std::vector<ZN_Mark> ZN_NodeMarks(const ZN_ShapeBase& shape) {
    std::vector<ZN_Mark> marks;
    if (!ZN_HasMarks(shape))
        return marks;
    const ZN_NodeFields& f = shape.getFields();
    const ZVector2 p1 = shape.getPoint1();
    const ZVector2 p2 = shape.getPoint2();

    if (!f.markers.empty()) {
        // The row ends just before the label, or is centred in a box without one.
        const float width = ZN_MarkerStripWidth(f.markers.size()) - kZN_MarkerLabelGap;
        float right = (p1.X() + p2.X() + width) * 0.5f;
        float middle = (p1.Y() + p2.Y()) * 0.5f;
        if (const ZN_SText* label = shape.getLabel()) {
            right = label->getPoint1().X() - kZN_MarkerLabelGap;
            middle = (label->getPoint1().Y() + label->getPoint2().Y()) * 0.5f;
        }
        float left = right - width;
        const float top = middle - kZN_MarkerSize * 0.5f;
        for (std::size_t i = 0; i < f.markers.size(); ++i) {
            marks.push_back({ZN_MarkKind::Marker, static_cast<int>(i), ZVector2(left, top),
                             ZVector2(left + kZN_MarkerSize, top + kZN_MarkerSize)});
            left += kZN_MarkerSize + kZN_MarkerGap;
        }
    }

    // Corner marks straddle the top edge, the note nearest the corner.
    const float top = p1.Y() - kZN_CornerMarkSize * 0.5f;
    float right = p2.X() - kCornerInset;
    auto corner = [&](ZN_MarkKind kind) {
        marks.push_back({kind, -1, ZVector2(right - kZN_CornerMarkSize, top),
                         ZVector2(right, top + kZN_CornerMarkSize)});
        right -= kZN_CornerMarkSize + kCornerGap;
    };
    if (!f.note.empty())
        corner(ZN_MarkKind::Note);
    if (!f.link.empty())
        corner(ZN_MarkKind::Link);
    // Drawn link first, so that the note lies over it where they touch.
    if (!f.note.empty() && !f.link.empty())
        std::swap(marks[marks.size() - 1], marks[marks.size() - 2]);
    return marks;
}

ZN_Mark ZN_MarkAt(const ZN_ShapeBase& shape, const ZVector2& pos) {
    if (!shape.getShow())
        return {};
    const ZVector2 p = pos + getScallPosition();
    const std::vector<ZN_Mark> marks = ZN_NodeMarks(shape);
    // The mark drawn last lies on top.
    for (auto it = marks.rbegin(); it != marks.rend(); ++it)
        if (it->min.X() <= p.X() && p.X() <= it->max.X() && it->min.Y() <= p.Y() &&
            p.Y() <= it->max.Y())
            return *it;
    return {};
}
