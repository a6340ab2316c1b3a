// The capture frame: drawn with its tool, adjusted by its handles with the
// select tool; what the window shows inside it goes to the clipboard.

#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QPainter>

#include <sarvik/ZN_BackRgn.h>
#include <sarvik/ZN_ShapeManager.h>

#include "view/CTavloView.h"

void CTavloView::captureRegionDown() {
    ZN_BackRgn* region = currentPage->getBackRgn();
    // Only the frame's own handles keep it; any other press puts it away.
    if (hitShape != region || hitCode < 1) {
        region->setShow(false);
        hitShape = nullptr;
        update();
        return;
    }
    dragState = dragstate::CaptureHandle;
    region->setSelected(false);
}

void CTavloView::captureDown(ZVector2 p) {
    if (dragState == dragstate::Drawing) {
        if (dragPhase == 2)
            captureFinish(p);
        return;
    }
    if (dragState != dragstate::Idle)
        return;
    ZN_BackRgn* region = currentPage->getBackRgn();
    region->setShow(true);
    region->setPoint1(p);
    region->setPoint2(p);
    region->setSelected(false);
    dragState = dragstate::Drawing;
    dragPhase = 1;
}

void CTavloView::captureMove(ZVector2 p) {
    if (dragState != dragstate::Drawing)
        return;
    if (dragPhase == 1)
        dragPhase = 2;
    currentPage->getBackRgn()->setPoint2(p);
    update();
}

void CTavloView::captureFinish(ZVector2 p) {
    ZN_BackRgn* region = currentPage->getBackRgn();
    const ZVector2 a = region->getPoint1();
    region->setPoint1(ZVector2(std::min(a.X(), p.X()), std::min(a.Y(), p.Y())));
    region->setPoint2(ZVector2(std::max(a.X(), p.X()), std::max(a.Y(), p.Y())));
    copyCaptureToClipboard();
    dragState = dragstate::Idle;
    tool = viewtool::Select;
    dragPhase = 1;
}

void CTavloView::copyCaptureToClipboard() {
    ZN_BackRgn* region = currentPage->getBackRgn();
    // The frame's corners are client coordinates; the picture is what the
    // window shows there, at screen resolution.
    const QPointF sa = screenFromClient(region->getPoint1());
    const QPointF sb = screenFromClient(region->getPoint2());
    const ZVector2 a(static_cast<float>(sa.x()), static_cast<float>(sa.y()));
    const ZVector2 b(static_cast<float>(sb.x()), static_cast<float>(sb.y()));
    // One pixel inside the frame, so its green outline stays out of the picture.
    const QRect area(QPoint(static_cast<int>(a.X()) + 1, static_cast<int>(a.Y()) + 1),
                     QPoint(static_cast<int>(b.X()) - 2, static_cast<int>(b.Y()) - 2));
    if (area.width() > 0 && area.height() > 0) {
        // The frame comes in device pixels, the area is in window pixels.
        const QImage frame = grabFramebuffer();
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
    update();
}
