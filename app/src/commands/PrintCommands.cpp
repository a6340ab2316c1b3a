#include "commands/PrintCommands.h"

#include <algorithm>
#include <cmath>

#include <QMainWindow>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <rulmek/rulmek.h>
#include <sarvik/ZN_ShapeManager.h>

#include "commands/CommandTarget.h"
#include "document/PageBounds.h"
#include "view/CTavloView.h"

namespace {

constexpr int kMargin = 20;
// Larger pages are drawn from their top-left corner up to this size.
constexpr int kMaxSide = 8192;

// One printer for the whole session, so that the print setup holds for every print.
QPrinter& sessionPrinter() {
    // Never destroyed: a printer outliving the application object must not
    // tear down its print system at exit.
    static QPrinter* printer = new QPrinter(QPrinter::HighResolution);
    return *printer;
}



} // namespace

QImage renderPageImage(CTavloView& view) {
    ZN_ShapeManager* page = view.getCurrentPage();
    if (!page || !view.isSceneReady() || !view.context())
        return {};
    const CanvasBounds bounds = visibleBounds(*page);
    const float left = bounds.empty ? 0.0f : std::floor(bounds.minX);
    const float top = bounds.empty ? 0.0f : std::floor(bounds.minY);
    const int w =
        std::min(kMaxSide, static_cast<int>((bounds.empty ? 0.0f : std::ceil(bounds.maxX) - left)) +
                               2 * kMargin);
    const int h =
        std::min(kMaxSide, static_cast<int>((bounds.empty ? 0.0f : std::ceil(bounds.maxY) - top)) +
                               2 * kMargin);

    view.makeCurrent();
    QImage image;
    {
        QOpenGLFramebufferObject fbo(w, h, QOpenGLFramebufferObject::CombinedDepthStencil);
        if (fbo.isValid() && fbo.bind()) {
            const ZVector2 offset = getScallPosition();
            setScallPosition(ZVector2(left - kMargin, top - kMargin));
            ZN_Scene& scene = view.getScene();
            // The printed page is drawn at 100 % whatever the window's zoom.
            const float zoom = scene.getZoom();
            scene.setZoom(1.0f);
            scene.resize(w, h);
            scene.render();
            scene.setZoom(zoom);
            image = fbo.toImage();
            QOpenGLFramebufferObject::bindDefault();
            view.context()->functions()->glBindFramebuffer(GL_FRAMEBUFFER,
                                                           view.defaultFramebufferObject());
            scene.resize(view.width(), view.height());
            setScallPosition(offset);
        }
    }
    view.doneCurrent();
    view.update();
    return image;
}

void printPage(CTavloView& view, QPrinter& printer) {
    const QImage image = renderPageImage(view);
    if (image.isNull())
        return;
    QPainter painter(&printer);
    const QRect area = painter.viewport();
    QSize size = image.size();
    size.scale(area.size(), Qt::KeepAspectRatio);
    const QRect target(area.x() + (area.width() - size.width()) / 2,
                       area.y() + (area.height() - size.height()) / 2, size.width(), size.height());
    painter.drawImage(target, image);
}

namespace handlers {

void filePrint(CommandTarget& frame, int) {
    CTavloView* view = frame.activeView();
    if (!view)
        return;
    QPrinter& printer = sessionPrinter();
    QPrintDialog dialog(&printer, frame.mainWindow());
    if (dialog.exec() == QDialog::Accepted)
        printPage(*view, printer);
}

void filePrintDirect(CommandTarget& frame, int) {
    CTavloView* view = frame.activeView();
    if (!view)
        return;
    QPrinter& printer = sessionPrinter();
    printPage(*view, printer);
}

void filePrintSetup(CommandTarget& frame, int) {
    QPageSetupDialog dialog(&sessionPrinter(), frame.mainWindow());
    dialog.exec();
}

void filePrintPreview(CommandTarget& frame, int) {
    CTavloView* view = frame.activeView();
    if (!view)
        return;
    QPrinter& printer = sessionPrinter();
    QPrintPreviewDialog dialog(&printer, frame.mainWindow());
    dialog.setWindowTitle("打印预览");
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested,
                     [view](QPrinter* p) { printPage(*view, *p); });
    dialog.exec();
}

} // namespace handlers
