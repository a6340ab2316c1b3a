#include "CaptureTool.h"

#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QPainter>

#include <sarvik/ZN_BackRgn.h>
#include <sarvik/ZN_ShapeManager.h>

#include "ToolContext.h"
#include "view/CTavloView.h"

bool CaptureTool::move(ZVector2 p) {
    captureMove(p);
    return true;
}

void CaptureTool::release(ZVector2 p) {
    if (dragState_ == dragstate::Drawing && dragPhase_ == 2)
        captureFinish(p);
}

bool CaptureTool::regionDown() {
    ZN_BackRgn* region = context_.page().getBackRgn();
    // Only the frame's own handles keep it; any other press puts it away.
    if (context_.hitShape != region || context_.hitCode < 1) {
        region->setShow(false);
        context_.hitShape = nullptr;
        context_.update();
        return false;
    }
    region->setSelected(false);
    return true;
}

void CaptureTool::captureDown(ZVector2 p) {
    if (dragState_ == dragstate::Drawing) {
        if (dragPhase_ == 2)
            captureFinish(p);
        return;
    }
    if (dragState_ != dragstate::Idle)
        return;
    ZN_BackRgn* region = context_.page().getBackRgn();
    region->setShow(true);
    region->setPoint1(p);
    region->setPoint2(p);
    region->setSelected(false);
    dragState_ = dragstate::Drawing;
    dragPhase_ = 1;
}

void CaptureTool::captureMove(ZVector2 p) {
    if (dragState_ != dragstate::Drawing)
        return;
    if (dragPhase_ == 1)
        dragPhase_ = 2;
    context_.page().getBackRgn()->setPoint2(p);
    context_.update();
}

void CaptureTool::captureFinish(ZVector2 p) {
    ZN_BackRgn* region = context_.page().getBackRgn();
    const ZVector2 a = region->getPoint1();
    region->setPoint1(ZVector2(std::min(a.X(), p.X()), std::min(a.Y(), p.Y())));
    region->setPoint2(ZVector2(std::max(a.X(), p.X()), std::max(a.Y(), p.Y())));
    copyToClipboard();
    dragState_ = dragstate::Idle;
    context_.backToSelect();
    dragPhase_ = 1;
}

void CaptureTool::copyToClipboard() {
    ZN_BackRgn* region = context_.page().getBackRgn();
    // The frame's corners are client coordinates; the picture is what the
    // window shows there, at screen resolution.
    const QPointF sa = context_.view.screenFromClient(region->getPoint1());
    const QPointF sb = context_.view.screenFromClient(region->getPoint2());
    const ZVector2 a(static_cast<float>(sa.x()), static_cast<float>(sa.y()));
    const ZVector2 b(static_cast<float>(sb.x()), static_cast<float>(sb.y()));
    // One pixel inside the frame, so its green outline stays out of the picture.
    const QRect area(QPoint(static_cast<int>(a.X()) + 1, static_cast<int>(a.Y()) + 1),
                     QPoint(static_cast<int>(b.X()) - 2, static_cast<int>(b.Y()) - 2));
    if (area.width() > 0 && area.height() > 0) {
        // The frame comes in device pixels, the area is in window pixels.
        const QImage frame = context_.view.grabFramebuffer();
        const qreal ratio = frame.devicePixelRatio();
        const QRect source(QPoint(qRound(area.left() * ratio), qRound(area.top() * ratio)),
                           QSize(qRound(area.width() * ratio), qRound(area.height() * ratio)));
        QImage picture(source.size(), QImage::Format_RGB32);
        picture.fill(Qt::white);
        QImage inside = frame.copy(source & frame.rect());
        inside.setDevicePixelRatio(1.0);
        QPainter painter(&picture);
        painter.drawImage(QPoint(std::max(0, -source.left()), std::max(0, -source.top())), inside);
        painter.end();
        QApplication::clipboard()->setImage(picture);
    }
    region->setSelected(true);
    context_.update();
}
