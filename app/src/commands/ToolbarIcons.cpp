#include "commands/ToolbarIcons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>

#include "commands/CommandIds.h"
#include "NodeFieldIcons.h"

namespace {

const QColor kInk(40, 40, 40);
const QColor kBlue(40, 100, 200);
const QColor kFill(255, 255, 230);
const QColor kRed(200, 40, 40);
const QColor kGreen(30, 150, 60);

QPen pen(const QColor& c, qreal w = 1.0) {
    QPen p(c, w);
    p.setJoinStyle(Qt::RoundJoin);
    p.setCapStyle(Qt::RoundCap);
    return p;
}

void page(QPainter& p, qreal x, qreal y) {
    QPainterPath path;
    path.moveTo(x, y);
    path.lineTo(x + 7, y);
    path.lineTo(x + 10, y + 3);
    path.lineTo(x + 10, y + 12);
    path.lineTo(x, y + 12);
    path.closeSubpath();
    p.setPen(pen(kInk));
    p.setBrush(Qt::white);
    p.drawPath(path);
}

void arrowHead(QPainter& p, QPointF tip, QPointF from) {
    QLineF line(tip, from);
    line.setLength(4);
    QLineF a = line;
    a.setAngle(line.angle() + 30);
    QLineF b = line;
    b.setAngle(line.angle() - 30);
    p.drawLine(a);
    p.drawLine(b);
}

// A magnifying glass with a plus, a minus or a "1" in its lens.
void magnifier(QPainter& p, int id) {
    p.setPen(pen(kInk, 1.4));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(6.5, 6.5), 5, 5);
    p.setPen(pen(kInk, 2.2));
    p.drawLine(QPointF(10.2, 10.2), QPointF(14.5, 14.5));
    p.setPen(pen(kBlue, 1.4));
    if (id == cmd::ZoomActual) {
        p.drawLine(QPointF(6.5, 4), QPointF(6.5, 9));
        p.drawLine(QPointF(5.2, 5.2), QPointF(6.5, 4));
        return;
    }
    p.drawLine(QPointF(4, 6.5), QPointF(9, 6.5));
    if (id == cmd::ZoomIn)
        p.drawLine(QPointF(6.5, 4), QPointF(6.5, 9));
}

// Three boxes lined up along one edge, as the alignment commands place them.
void alignIcon(QPainter& p, int mode) {
    p.setPen(pen(kBlue));
    p.setBrush(kFill);
    const bool vertical = mode <= 2; // left, centre, right align along x
    if (vertical) {
        const qreal w[3] = {6, 10, 8};
        for (int i = 0; i < 3; ++i) {
            qreal x = mode == 0 ? 3 : mode == 1 ? 8 - w[i] / 2 : 13 - w[i];
            p.drawRect(QRectF(x, 2 + i * 4.5, w[i], 3));
        }
        p.setPen(pen(kRed));
        const qreal gx = mode == 0 ? 2 : mode == 1 ? 8 : 14;
        p.drawLine(QPointF(gx, 1), QPointF(gx, 15));
    } else {
        const qreal h[3] = {6, 10, 8};
        for (int i = 0; i < 3; ++i) {
            qreal y = mode == 3 ? 3 : mode == 4 ? 8 - h[i] / 2 : 13 - h[i];
            p.drawRect(QRectF(2 + i * 4.5, y, 3, h[i]));
        }
        p.setPen(pen(kRed));
        const qreal gy = mode == 3 ? 2 : mode == 4 ? 8 : 14;
        p.drawLine(QPointF(1, gy), QPointF(15, gy));
    }
}

void layerIcon(QPainter& p, bool up, bool all) {
    p.setPen(pen(kInk));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(5, 5, 9, 8));
    p.setBrush(kFill);
    p.drawRect(QRectF(2, 2, 8, 7));
    p.setPen(pen(kGreen, 1.5));
    const qreal from = up ? 15 : 2;
    const qreal tip = up ? 9 : 8;
    p.drawLine(QPointF(12.5, from), QPointF(12.5, tip));
    arrowHead(p, QPointF(12.5, tip), QPointF(12.5, from));
    // A bar at the arrow's end: all the way to the top or the bottom.
    if (all)
        p.drawLine(QPointF(10, up ? 7.5 : 14.5), QPointF(15, up ? 7.5 : 14.5));
}

void autoLineIcon(QPainter& p, int mode) {
    p.setPen(pen(kInk));
    p.setBrush(kFill);
    p.drawRect(QRectF(1, 6, 4, 4));
    p.setPen(pen(kBlue, 1.2));
    p.setBrush(Qt::NoBrush);
    for (int k = 0; k < 3; ++k) {
        const qreal y = 2 + k * 6;
        QPainterPath path;
        path.moveTo(5, 8);
        switch (mode) {
        case 0: path.lineTo(9, 8); path.lineTo(9, y); path.lineTo(15, y); break;
        case 1: path.cubicTo(10, 8, 9, y, 15, y); break;
        case 2: path.lineTo(8, 8); path.lineTo(15, y); break;
        default: path.lineTo(15, y); break;
        }
        p.drawPath(path);
    }
}

void sameSizeIcon(QPainter& p, int mode) {
    p.setPen(pen(kBlue));
    p.setBrush(kFill);
    p.drawRect(QRectF(1.5, 3.5, 6, 9));
    const qreal w = mode == 2 ? 4 : 6;
    const qreal h = mode == 1 ? 5 : 9;
    p.drawRect(QRectF(8.5, 3.5, w, h));
}

void distributeIcon(QPainter& p, bool horizontal) {
    p.setPen(pen(kBlue));
    p.setBrush(kFill);
    for (int i = 0; i < 3; ++i) {
        if (horizontal)
            p.drawRect(QRectF(1.5 + i * 5, 5.5, 3, 5));
        else
            p.drawRect(QRectF(5.5, 1.5 + i * 5, 5, 3));
    }
}

void treeIcon(QPainter& p, int mode) {
    p.setPen(pen(kInk));
    p.setBrush(kFill);
    p.drawRect(QRectF(1.5, 6.5, 4, 3));
    p.setPen(pen(kBlue));
    const int shown = mode == 2 ? 0 : mode == 0 ? 1 : 3;
    for (int i = 0; i < 3; ++i) {
        const qreal y = 2.5 + i * 5;
        if (i < shown || (mode == 0 && i == 1)) {
            p.drawLine(QPointF(5.5, 8), QPointF(10, y + 1.5));
            p.drawRect(QRectF(10.5, y, 4, 3));
        }
    }
    if (mode == 2) {
        p.setPen(pen(kRed, 1.5));
        p.drawLine(QPointF(8, 8), QPointF(14, 8));
    }
}

// The file, edit and help commands. False when `id` is none of them.
bool drawFileIcon(QPainter& p, int id) {
    switch (id) {
    case cmd::New:
        page(p, 3, 2);
        p.setPen(pen(QColor(230, 170, 0), 1.4));
        p.drawLine(QPointF(12, 1), QPointF(12, 5));
        p.drawLine(QPointF(10, 3), QPointF(14, 3));
        break;
    case cmd::Open: {
        p.setPen(pen(QColor(150, 110, 20)));
        p.setBrush(QColor(240, 200, 90));
        QPolygonF back({{1, 4}, {5, 4}, {6, 5}, {13, 5}, {13, 13}, {1, 13}});
        p.drawPolygon(back);
        p.setBrush(QColor(250, 225, 130));
        p.drawPolygon(QPolygonF({{3, 8}, {15, 8}, {13, 13}, {1, 13}}));
        break;
    }
    case cmd::Save:
        p.setPen(pen(kInk));
        p.setBrush(kBlue);
        p.drawRect(QRectF(2.5, 2.5, 11, 11));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 2.5, 7, 4));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(5, 9.5, 6, 4));
        break;
    case cmd::Clear:
        p.setPen(pen(kRed, 2));
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
        break;
    case cmd::Cut:
        p.setPen(pen(kInk, 1.2));
        p.drawLine(QPointF(5, 2), QPointF(10, 10));
        p.drawLine(QPointF(11, 2), QPointF(6, 10));
        p.drawEllipse(QRectF(2.5, 10, 4, 4));
        p.drawEllipse(QRectF(9.5, 10, 4, 4));
        break;
    case cmd::Copy:
        page(p, 1.5, 1.5);
        page(p, 5.5, 3.5);
        break;
    case cmd::Paste:
        p.setPen(pen(QColor(120, 80, 30)));
        p.setBrush(QColor(210, 160, 90));
        p.drawRect(QRectF(2.5, 2.5, 9, 12));
        p.setBrush(QColor(180, 180, 180));
        p.drawRect(QRectF(5, 1.5, 4, 2.5));
        page(p, 7.5, 5.5);
        break;
    case cmd::Undo:
    case cmd::Redo: {
        const bool undo = id == cmd::Undo;
        p.setPen(pen(kBlue, 1.6));
        QPainterPath path;
        path.moveTo(undo ? 4 : 12, 6);
        path.cubicTo(undo ? 12 : 4, 4, undo ? 14 : 2, 12, undo ? 8 : 8, 13);
        p.drawPath(path);
        arrowHead(p, QPointF(undo ? 3 : 13, 6), QPointF(undo ? 8 : 8, 4));
        break;
    }
    case cmd::Print:
        p.setPen(pen(kInk));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(180, 180, 180));
        p.drawRect(QRectF(1.5, 6.5, 13, 6));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 10.5, 7, 4));
        break;
    case cmd::About:
        p.setPen(pen(kBlue, 1.2));
        p.setBrush(QColor(220, 235, 255));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.setPen(pen(kBlue, 2));
        p.drawPoint(QPointF(8, 4.8));
        p.drawLine(QPointF(8, 7.5), QPointF(8, 11.5));
        break;
    default:
        return false;
    }
    return true;
}

// The drawing tools. False when `id` is none of them.
bool drawToolIcon(QPainter& p, int id) {
    switch (id) {
    case cmd::ToolSelect: {
        p.setPen(pen(kInk));
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF({{4, 1}, {4, 13}, {7, 10}, {9, 15}, {11, 14}, {9, 9}, {13, 9}}));
        break;
    }
    case cmd::ToolRect:
        p.setPen(pen(kInk));
        p.setBrush(kFill);
        p.drawRect(QRectF(1.5, 3.5, 13, 9));
        break;
    case cmd::ToolEllipse:
        p.setPen(pen(kInk));
        p.setBrush(kFill);
        p.setRenderHint(QPainter::Antialiasing);
        p.drawEllipse(QRectF(1.5, 3.5, 13, 9));
        break;
    case cmd::ToolRoundRect:
        p.setPen(pen(kInk));
        p.setBrush(kFill);
        p.setRenderHint(QPainter::Antialiasing);
        p.drawRoundedRect(QRectF(1.5, 3.5, 13, 9), 3, 3);
        break;
    case cmd::ToolRhombus:
        p.setPen(pen(kInk));
        p.setBrush(kFill);
        p.setRenderHint(QPainter::Antialiasing);
        p.drawPolygon(QPolygonF({{8, 2}, {15, 8}, {8, 14}, {1, 8}}));
        break;
    case cmd::ToolParallelogram:
        p.setPen(pen(kInk));
        p.setBrush(kFill);
        p.setRenderHint(QPainter::Antialiasing);
        p.drawPolygon(QPolygonF({{5, 3.5}, {15, 3.5}, {11, 12.5}, {1, 12.5}}));
        break;
    case cmd::ToolPoint:
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawEllipse(QPointF(8, 8), 3.5, 3.5);
        break;
    case cmd::ToolLine:
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(pen(kInk));
        p.setBrush(kFill);
        p.drawRect(QRectF(0.5, 1.5, 5, 4));
        p.drawRect(QRectF(10.5, 10.5, 5, 4));
        p.setPen(pen(kBlue, 1.3));
        p.drawLine(QPointF(5.5, 4), QPointF(10.5, 12));
        arrowHead(p, QPointF(10.5, 12), QPointF(5.5, 4));
        break;
    case cmd::ToolText: {
        QFont f("DejaVu Serif");
        f.setPixelSize(14);
        f.setBold(true);
        p.setFont(f);
        p.setPen(kInk);
        p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, "A");
        break;
    }
    default:
        return false;
    }
    return true;
}

// Subtrees, layers, automatic lines, alignment and sizes. False when `id` is none of them.
bool drawArrangeIcon(QPainter& p, int id) {
    switch (id) {
    case cmd::SpreadOne: treeIcon(p, 0); break;
    case cmd::SpreadAll: treeIcon(p, 1); break;
    case cmd::Shrink: treeIcon(p, 2); break;
    case cmd::LayerTop: layerIcon(p, true, true); break;
    case cmd::LayerBottom: layerIcon(p, false, true); break;
    case cmd::LayerUp: layerIcon(p, true, false); break;
    case cmd::LayerDown: layerIcon(p, false, false); break;
    case cmd::AutoPolyline: autoLineIcon(p, 0); break;
    case cmd::AutoCurve: autoLineIcon(p, 1); break;
    case cmd::AutoPalm: autoLineIcon(p, 2); break;
    case cmd::AutoStraight: autoLineIcon(p, 3); break;
    case cmd::AlignLeft: alignIcon(p, 0); break;
    case cmd::AlignHCenter: alignIcon(p, 1); break;
    case cmd::AlignRight: alignIcon(p, 2); break;
    case cmd::AlignTop: alignIcon(p, 3); break;
    case cmd::AlignVCenter: alignIcon(p, 4); break;
    case cmd::AlignBottom: alignIcon(p, 5); break;
    case cmd::DistributeH: distributeIcon(p, true); break;
    case cmd::DistributeV: distributeIcon(p, false); break;
    case cmd::SameSize: sameSizeIcon(p, 0); break;
    case cmd::SameWidth: sameSizeIcon(p, 1); break;
    case cmd::SameHeight: sameSizeIcon(p, 2); break;
    default:
        return false;
    }
    return true;
}

// Line and box styles, colours, fonts and zoom. False when `id` is none of them.
bool drawStyleIcon(QPainter& p, int id) {
    switch (id) {
    case cmd::BindDrag:
        p.setPen(pen(kInk));
        p.setBrush(kFill);
        p.drawRect(QRectF(1.5, 1.5, 5, 4));
        p.drawRect(QRectF(9.5, 10.5, 5, 4));
        p.setPen(pen(kGreen, 1.6));
        p.drawLine(QPointF(4, 6), QPointF(12, 10));
        p.drawEllipse(QRectF(6, 6, 4, 4));
        break;
    case cmd::LineThick:
        p.setPen(pen(kInk, 3.5));
        p.drawLine(QPointF(3, 13), QPointF(13, 3));
        break;
    case cmd::LineThin:
        p.setPen(pen(kInk, 1));
        p.drawLine(QPointF(3, 13), QPointF(13, 3));
        break;
    case cmd::LinePolyline:
        p.setPen(pen(kInk, 1.3));
        p.drawPolyline(QPolygonF({{1, 14}, {5, 4}, {10, 12}, {15, 2}}));
        break;
    case cmd::LineCurve: {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(pen(kInk, 1.3));
        QPainterPath path;
        path.moveTo(1, 13);
        path.cubicTo(4, 0, 11, 16, 15, 3);
        p.drawPath(path);
        break;
    }
    case cmd::FillColor:
        p.setPen(pen(kInk));
        p.setBrush(QColor(255, 220, 60));
        p.drawRect(QRectF(2.5, 2.5, 11, 11));
        break;
    case cmd::LineColor:
        p.setPen(pen(kRed, 2.5));
        p.drawRect(QRectF(3, 3, 10, 10));
        break;
    case cmd::FontColor: {
        QFont f("DejaVu Sans");
        f.setPixelSize(12);
        f.setBold(true);
        p.setFont(f);
        p.setPen(kInk);
        p.drawText(QRectF(0, -1, 16, 13), Qt::AlignCenter, "A");
        p.fillRect(QRectF(2, 12, 12, 3), kRed);
        break;
    }
    case cmd::Font: {
        QFont f("DejaVu Serif");
        f.setPixelSize(11);
        p.setFont(f);
        p.setPen(kInk);
        p.drawText(QRectF(0, 0, 9, 14), Qt::AlignCenter, "A");
        f.setPixelSize(8);
        p.setFont(f);
        p.drawText(QRectF(8, 4, 8, 11), Qt::AlignCenter, "a");
        break;
    }
    case cmd::ZoomIn:
    case cmd::ZoomOut:
    case cmd::ZoomActual:
        magnifier(p, id);
        break;
    case cmd::ZoomFit:
        // Four corners closing in on a box.
        p.setPen(pen(kInk, 1.3));
        p.drawLine(QPointF(1.5, 5), QPointF(1.5, 1.5));
        p.drawLine(QPointF(1.5, 1.5), QPointF(5, 1.5));
        p.drawLine(QPointF(11, 1.5), QPointF(14.5, 1.5));
        p.drawLine(QPointF(14.5, 1.5), QPointF(14.5, 5));
        p.drawLine(QPointF(14.5, 11), QPointF(14.5, 14.5));
        p.drawLine(QPointF(14.5, 14.5), QPointF(11, 14.5));
        p.drawLine(QPointF(5, 14.5), QPointF(1.5, 14.5));
        p.drawLine(QPointF(1.5, 14.5), QPointF(1.5, 11));
        p.setPen(pen(kBlue));
        p.setBrush(kFill);
        p.drawRect(QRectF(4.5, 5.5, 7, 5));
        break;
    default:
        return false;
    }
    return true;
}

void drawIcon(QPainter& p, int id) {
    p.setBrush(Qt::NoBrush);
    if (drawFileIcon(p, id) || drawToolIcon(p, id) || drawArrangeIcon(p, id) ||
        drawNodeFieldIcon(p, id))
        return;
    drawStyleIcon(p, id);
}

// Draws the picture afresh for every requested size and density.
class CommandIconEngine : public QIconEngine {
public:
    explicit CommandIconEngine(int id) : id_(id) {}
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / 16.0, rect.height() / 16.0);
        if (mode == QIcon::Disabled)
            painter->setOpacity(0.35);
        drawIcon(*painter, id_);
        painter->restore();
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        QPixmap pm(size * scale);
        pm.fill(Qt::transparent);
        {
            QPainter p(&pm);
            p.setRenderHint(QPainter::Antialiasing);
            paint(&p, QRect(QPoint(0, 0), pm.size()), mode, state);
        }
        pm.setDevicePixelRatio(scale);
        return pm;
    }
    QIconEngine* clone() const override { return new CommandIconEngine(id_); }

private:
    int id_;
};

} // namespace

QIcon commandIcon(int id) { return QIcon(new CommandIconEngine(id)); }
