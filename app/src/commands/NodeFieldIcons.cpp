#include "NodeFieldIcons.h"

#include <cmath>
#include <string_view>

#include <QPainter>
#include <QPainterPath>

#include <sarvik/ZN_Markers.h>

#include "commands/CommandIds.h"
#include "commands/NodeFieldCommands.h"

namespace {

const QColor kWhite(255, 255, 255);
const QColor kInk(64, 64, 64);

int trailingNumber(std::string_view name) {
    int value = 0;
    for (std::size_t i = name.rfind('-') + 1; i < name.size(); ++i)
        value = value * 10 + (name[i] - '0');
    return value;
}

QColor priorityColour(int n) {
    switch (n) {
    case 1: return {219, 51, 46};
    case 2: return {237, 128, 26};
    case 3: return {204, 158, 0};
    case 4: return {51, 158, 77};
    case 5: return {51, 115, 217};
    case 6: return {140, 89, 191};
    default: return {115, 115, 115};
    }
}

QColor flagColour(std::string_view name) {
    if (name == "flag-red") return {230, 38, 38};
    if (name == "flag-orange") return {250, 140, 26};
    if (name == "flag-yellow") return {250, 217, 26};
    if (name == "flag-green") return {51, 179, 77};
    if (name == "flag-blue") return {51, 115, 230};
    return {153, 77, 204};
}

void disc(QPainter& p, const QColor& fill, const QColor& edge) {
    p.setPen(QPen(edge, 1.0));
    p.setBrush(fill);
    p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
}

void drawMarker(QPainter& p, std::string_view name) {
    switch (ZN_MarkerGroupOf(name)) {
    case ZN_MarkerGroup::Priority: {
        const int n = trailingNumber(name);
        disc(p, priorityColour(n), priorityColour(n));
        QFont f("DejaVu Sans");
        f.setPixelSize(10);
        f.setBold(true);
        p.setFont(f);
        p.setPen(kWhite);
        p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QString::number(n));
        return;
    }
    case ZN_MarkerGroup::Progress: {
        const QColor green(51, 153, 77);
        disc(p, kWhite, green);
        p.setPen(Qt::NoPen);
        p.setBrush(green);
        const int share = trailingNumber(name);
        p.drawPie(QRectF(2.5, 2.5, 11, 11), 90 * 16, -share * 360 * 16 / 100);
        return;
    }
    case ZN_MarkerGroup::Task:
        if (name == "task-done") {
            disc(p, QColor(51, 158, 77), QColor(51, 158, 77));
            p.setPen(QPen(kWhite, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(QPolygonF({QPointF(4.5, 8.2), QPointF(7, 10.8), QPointF(11.6, 5.3)}));
        } else {
            disc(p, kWhite, QColor(128, 128, 128));
        }
        return;
    case ZN_MarkerGroup::Flag:
        p.fillRect(QRectF(4.5, 2.5, 9, 6.5), flagColour(name));
        p.setPen(QPen(kInk, 1.2));
        p.drawLine(QPointF(4.5, 2), QPointF(4.5, 14.5));
        return;
    case ZN_MarkerGroup::Symbol:
        break;
    case ZN_MarkerGroup::Other:
        return;
    }
    if (name == "star") {
        QPolygonF rim;
        for (int i = 0; i < 10; ++i) {
            const double r = i % 2 == 0 ? 7.2 : 3.0;
            const double t = M_PI * i / 5.0;
            rim << QPointF(8 + r * std::sin(t), 8.6 - r * std::cos(t));
        }
        p.setPen(QPen(QColor(191, 133, 0), 0.8));
        p.setBrush(QColor(255, 199, 26));
        p.drawPolygon(rim);
    } else if (name == "question") {
        disc(p, QColor(64, 128, 230), QColor(64, 128, 230));
        QFont f("DejaVu Sans");
        f.setPixelSize(11);
        f.setBold(true);
        p.setFont(f);
        p.setPen(kWhite);
        p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, "?");
    } else if (name == "idea") {
        p.setPen(QPen(QColor(191, 140, 0), 1.0));
        p.setBrush(QColor(255, 219, 64));
        p.drawEllipse(QPointF(8, 6.5), 5, 5);
        p.fillRect(QRectF(6, 11.5, 4, 3), QColor(115, 115, 115));
    } else {
        p.setPen(QPen(QColor(153, 102, 0), 0.8));
        p.setBrush(QColor(255, 194, 0));
        p.drawPolygon(QPolygonF({QPointF(8, 1.2), QPointF(1, 14.5), QPointF(15, 14.5)}));
        p.setPen(QPen(kInk, 1.6));
        p.drawLine(QPointF(8, 5.5), QPointF(8, 10));
        p.drawPoint(QPointF(8, 12.5));
    }
}

// A chain of two links.
void drawLinkIcon(QPainter& p) {
    p.setPen(QPen(QColor(38, 102, 217), 1.8, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.save();
    p.translate(8, 8);
    p.rotate(-45);
    p.drawRoundedRect(QRectF(-7, -2.5, 8, 5), 2.5, 2.5);
    p.drawRoundedRect(QRectF(-1, -2.5, 8, 5), 2.5, 2.5);
    p.restore();
}

} // namespace

bool drawNodeFieldIcon(QPainter& p, int id) {
    if (id == cmd::InsertLink) {
        drawLinkIcon(p);
        return true;
    }
    const char* name = markerOfCommand(id);
    if (!name)
        return false;
    drawMarker(p, name);
    return true;
}
