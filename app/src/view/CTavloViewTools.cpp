// The view's drawing tools: the press-drag-release state machine that turns
// mouse and keyboard input into edits of the page.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <QApplication>
#include <QClipboard>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPlainTextEdit>

#include <sarvik/ZN_BackRgn.h>
#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZCodePage.h>
#include <sarvik/platform/ZCursor.h>
#include <sarvik/platform/ZTextRaster.h>

#include "view/CTavloView.h"

namespace {

// A press becomes a drag once the pointer has moved this far (squared screen
// pixels).
constexpr float kDragThreshold2 = 10.0f;
// Connector bends straighter than this many degrees are merged away.
constexpr float kStraightBend = 160.0f;

int shapeTypeForTool(int tool) {
    switch (tool) {
    case viewtool::Ellipse:
        return 8;
    case viewtool::RoundRect:
        return 9;
    case viewtool::Rhombus:
        return 10;
    case viewtool::Parallelogram:
        return 13;
    case viewtool::Table:
        return 12;
    default:
        return 7;
    }
}

bool isBoxTool(int tool) {
    return tool == viewtool::Rect || tool == viewtool::Ellipse || tool == viewtool::RoundRect ||
           tool == viewtool::Rhombus || tool == viewtool::Table || tool == viewtool::Parallelogram;
}

// The font a new free text gets, for measuring before the text exists.
LOGFONTA defaultTextFont() {
    static const LOGFONTA font = ZN_SText().getFont();
    return font;
}

// The edit box shows its text in the font the label will get, at the size
// the page shows it.
QFont qtFont(const LOGFONTA& font, float zoom) {
    // The face name is kept as the file holds it, in code page 936.
    const std::size_t length = strnlen(font.lfFaceName, sizeof font.lfFaceName);
    QFont f(QString::fromStdString(ZCp936ToUtf8(std::string_view(font.lfFaceName, length))));
    if (font.lfHeight != 0)
        f.setPixelSize(std::max(1, static_cast<int>(std::lround(std::abs(font.lfHeight) * zoom))));
    f.setBold(font.lfWeight >= 600);
    f.setItalic(font.lfItalic != 0);
    return f;
}

// Text of the edit box in the form the labels keep: lines broken by "\r\n"
// as a Windows edit control hands them over.
std::string editText(const QPlainTextEdit* box) {
    QString text = box->toPlainText();
    text.replace("\n", "\r\n");
    return text.toStdString();
}

} // namespace

ZVector2 CTavloView::canvas(ZVector2 client) const {
    return client + getScallPosition();
}

bool CTavloView::belowDragThreshold(ZVector2 a, ZVector2 b) const {
    return (a - b).SquaredLength() * zoom_ * zoom_ < kDragThreshold2;
}

// --- dispatch ---

void CTavloView::onLButtonDown(Qt::KeyboardModifiers, QPoint point) {
    const ZVector2 p = clientFromScreen(point);
    closeEditBox(true);
    if (currentPage) {
        switch (tool) {
        case viewtool::Select:
            selectDown(p);
            break;
        case viewtool::Point:
            pointDown(p);
            break;
        case viewtool::Line:
            lineDown(p);
            break;
        case viewtool::Text:
            textDown(p);
            break;
        case viewtool::Capture:
            captureDown(p);
            break;
        default:
            if (isBoxTool(tool))
                boxDown(p);
        }
    }
    pressPoint = lastPoint = p;
}

void CTavloView::onMouseMove(Qt::KeyboardModifiers, QPoint point) {
    const ZVector2 p = clientFromScreen(point);
    if (currentPage) {
        if (tool == viewtool::Select) {
            // Below the drag threshold the press position stays the reference.
            const bool pending = (dragState == dragstate::PressedUnselected ||
                                  dragState == dragstate::PressedSelected) &&
                                 dragPhase == 1 && belowDragThreshold(p, lastPoint);
            selectMove(p);
            if (pending)
                return;
        } else if (tool == viewtool::Line) {
            lineMove(p);
        } else if (tool == viewtool::Capture) {
            captureMove(p);
        } else if (isBoxTool(tool)) {
            boxMove(p);
        }
    }
    lastPoint = p;
}

void CTavloView::onLButtonUp(Qt::KeyboardModifiers, QPoint point) {
    const ZVector2 p = clientFromScreen(point);
    if (currentPage) {
        if (tool == viewtool::Select)
            selectUp(p);
        else if (tool == viewtool::Line && dragState == dragstate::Drawing && dragPhase == 2)
            lineFinish(p);
        else if (tool == viewtool::Capture && dragState == dragstate::Drawing && dragPhase == 2)
            captureFinish(p);
        else if (isBoxTool(tool) && dragState == dragstate::Drawing && dragPhase == 2)
            boxFinish(p);
    }
    lastPoint = p;
}

bool CTavloView::onRButtonUp(Qt::KeyboardModifiers, QPoint) {
    if (tool != viewtool::Select) {
        cancelTool();
        return false;
    }
    return true;
}

void CTavloView::cancelTool() {
    // A shape drawn so far stays on the page as it is.
    if (hoverShape)
        clearHover();
    tool = viewtool::Select;
    dragState = dragstate::Idle;
    focusRect_ = QRect();
    update();
}

void CTavloView::onKeyDown(int key, Qt::KeyboardModifiers) {
    switch (key) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        deleteSelection();
        return;
    case Qt::Key_Control:
        additiveSelect = true;
        return;
    case Qt::Key_Escape:
        cancelTool();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: {
        if (!currentPage)
            return;
        const int direction = key == Qt::Key_Left    ? 0
                              : key == Qt::Key_Right ? 1
                              : key == Qt::Key_Up    ? 2
                                                     : 3;
        currentPage->LittleMove(direction, selection, 1);
        // No undo step for a nudge, but the moved positions must not be lost
        // on close without a question.
        if (!selection.empty())
            markModified();
        update();
        return;
    }
    default:
        return;
    }
}

// --- select tool ---

void CTavloView::selectDown(ZVector2 p) {
    ZN_BackRgn* region = currentPage->getBackRgn();
    if (region->getShow()) {
        captureRegionDown();
        return;
    }
    if (!hitShape) {
        dragState = dragstate::Drawing;
        dragPhase = 1;
        return;
    }
    takeSnapshot();
    if (auto* point = dynamic_cast<ZN_NPoint*>(hitShape);
        point && (point->getStateType() == 1 || point->getStateType() == 2)) {
        if (point->getStateType() == 1) {
            currentPage->shapeShrink(point);
            point->setStateType(2);
        } else {
            currentPage->shapeSpread(point);
            point->setStateType(1);
        }
        update();
        return;
    }
    dragPhase = 1;
    if (auto* line = dynamic_cast<ZN_NLine*>(hitShape)) {
        if (hitCode < 0)
            line->pushPoint(canvas(p), -hitCode);
        dragState = dragstate::PressedLine;
        return;
    }
    dragState = hitShape->getSelected() ? dragstate::PressedSelected : dragstate::PressedUnselected;
}

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

void CTavloView::selectAloneOnDrag() {
    clearSelection();
    addToSelection(hitShape);
    if (hitShape && hitShape->type() == 5) {
        dragStartCorner1 = hitShape->getPoint1();
        dragStartCorner2 = hitShape->getPoint2();
    }
}

void CTavloView::selectMove(ZVector2 p) {
    switch (dragState) {
    case dragstate::Idle:
        hitCode = 0;
        hitShape = currentPage->Change_Cursor(p, &hitHelper, hitCode, hitTolerance());
        if (!hitShape)
            ZSetCursor(ZCursor::Arrow);
        return;
    case dragstate::RubberBand:
        drawFocusRect(pressPoint, p);
        return;
    case dragstate::PressedUnselected:
    case dragstate::PressedSelected:
        if (dragPhase == 1) {
            if (belowDragThreshold(p, lastPoint)) {
                update();
                return;
            }
            if (dragState == dragstate::PressedUnselected)
                selectAloneOnDrag();
            else if (hitShape && hitShape->type() == 5) {
                dragStartCorner1 = hitShape->getPoint1();
                dragStartCorner2 = hitShape->getPoint2();
            }
            dragPhase = 2;
        }
        if (hitCode < 9 && hitShape)
            hitShape->change(p - lastPoint, hitCode);
        else
            currentPage->change(lastPoint, p, hitCode, bindDrag);
        break;
    case dragstate::PressedLine:
        if (dragPhase == 1) {
            selectAloneOnDrag();
            dragPhase = 2;
        }
        if (auto* line = dynamic_cast<ZN_NLine*>(hitShape)) {
            if (hitCode < 0) {
                line->setPoint(canvas(lastPoint), -hitCode);
                line->updatePoint(-hitCode, false);
            } else if (hitCode >= 10) {
                line->setPoint(canvas(p), hitCode - 10);
                line->updatePoint(hitCode - 10, false);
            }
        }
        break;
    case dragstate::Drawing:
        if (dragPhase == 1) {
            dragState = dragstate::RubberBand;
            drawFocusRect(pressPoint, p);
            if (!additiveSelect)
                clearSelection();
            dragPhase = 2;
        }
        break;
    case dragstate::CaptureHandle:
        currentPage->getBackRgn()->change(p - lastPoint, hitCode);
        break;
    default:
        return;
    }
    update();
}

void CTavloView::toggleHitSelection() {
    if (!hitShape)
        return;
    if (hitShape->getSelected()) {
        hitShape->setSelected(false);
        selection.remove(hitShape);
    } else {
        addToSelection(hitShape);
    }
}

void CTavloView::selectUp(ZVector2 p) {
    switch (dragState) {
    case dragstate::RubberBand: {
        eraseFocusRect();
        if (!additiveSelect)
            clearSelection();
        const ZVector2 lo(std::min(pressPoint.X(), p.X()), std::min(pressPoint.Y(), p.Y()));
        const ZVector2 hi(std::max(pressPoint.X(), p.X()), std::max(pressPoint.Y(), p.Y()));
        currentPage->selectWithinRect(lo, hi);
        for (ZN_ShapeBase* shape : std::as_const(*currentPage).getShapeList())
            if (shape->getSelected())
                addToSelection(shape);
        break;
    }
    case dragstate::PressedUnselected:
    case dragstate::PressedSelected:
        if (dragPhase == 1)
            toggleHitSelection();
        else if (hitShape && hitShape->type() == 5)
            dropOnTable(p);
        break;
    case dragstate::PressedLine:
        if (dragPhase == 1)
            toggleHitSelection();
        if (auto* line = dynamic_cast<ZN_NLine*>(hitShape)) {
            if (hitCode < 0) {
                line->updatePoint(-hitCode, false);
                line->checkPolyLine(kStraightBend, -hitCode);
            } else if (hitCode > 9) {
                line->updatePoint(hitCode - 10, false);
                line->checkPolyLine(kStraightBend, hitCode - 10);
            }
        }
        break;
    case dragstate::Drawing:
        clearSelection();
        break;
    case dragstate::CaptureHandle:
        copyCaptureToClipboard();
        break;
    default:
        return;
    }
    dragState = dragstate::Idle;
    update();
}

void CTavloView::drawFocusRect(ZVector2 clientA, ZVector2 clientB) {
    // The band is drawn over the page in screen pixels.
    const QPointF sa = screenFromClient(clientA);
    const QPointF sb = screenFromClient(clientB);
    const ZVector2 a(static_cast<float>(sa.x()), static_cast<float>(sa.y()));
    const ZVector2 b(static_cast<float>(sb.x()), static_cast<float>(sb.y()));
    const int left = static_cast<int>(std::min(a.X(), b.X()));
    const int top = static_cast<int>(std::min(a.Y(), b.Y()));
    const int right = static_cast<int>(std::max(a.X(), b.X()));
    const int bottom = static_cast<int>(std::max(a.Y(), b.Y()));
    focusRect_ = QRect(QPoint(left, top), QPoint(right, bottom));
    update();
}

void CTavloView::eraseFocusRect() {
    focusRect_ = QRect();
    update();
}

// --- dropping a text on a fill-in table ---

void CTavloView::dropOnTable(ZVector2 p) {
    ZN_ShapeBase* text = hitShape;
    std::list<ZN_ShapeBase*>& shapes = currentPage->getShapeList();
    for (ZN_ShapeBase* shape : shapes)
        if (shape->type() == 12)
            shape->releaseJiuGong(text);
    for (ZN_ShapeBase* shape : shapes) {
        if (shape->type() != 12)
            continue;
        const int code = shape->InPoint(p, nullptr, hitTolerance());
        if (code < 10)
            continue;
        auto* table = static_cast<ZN_NJiuGongGe*>(shape);
        if (table->setJiuGongPtr(code - 10, text) == 0) {
            showMessage(QString::fromUtf8("不正确"));
            static_cast<ZN_SText*>(text)->setRect(dragStartCorner1, dragStartCorner2);
        }
        break;
    }
    update();
}

// --- box tools ---

void CTavloView::boxDown(ZVector2 p) {
    if (dragState == dragstate::Drawing) {
        if (dragPhase == 2)
            boxFinish(p);
        return;
    }
    if (dragState != dragstate::Idle)
        return;
    takeSnapshot();
    ZN_ShapeBase* shape = ZN_ShapeBase::createShape(shapeTypeForTool(tool));
    if (auto* table = dynamic_cast<ZN_NJiuGongGe*>(shape))
        table->setSizeValue(3, 3);
    shape->setLineWide(3);
    currentPage->addShape(shape);
    hitShape = shape;
    if (auto* box = dynamic_cast<ZN_NRect*>(shape)) {
        box->setPoint1(canvas(p));
        box->setPoint2(canvas(p));
    }
    dragState = dragstate::Drawing;
    dragPhase = 1;
}

void CTavloView::boxMove(ZVector2 p) {
    if (dragState != dragstate::Drawing)
        return;
    if (dragPhase == 1)
        dragPhase = 2;
    if (auto* box = dynamic_cast<ZN_NRect*>(hitShape))
        box->setPoint2(canvas(p));
    update();
}

void CTavloView::boxFinish(ZVector2 p) {
    if (auto* box = dynamic_cast<ZN_NRect*>(hitShape)) {
        const ZVector2 a = box->getPoint1();
        const ZVector2 q = canvas(p);
        box->setPoint1(ZVector2(std::min(a.X(), q.X()), std::min(a.Y(), q.Y())));
        box->setPoint2(ZVector2(std::max(a.X(), q.X()), std::max(a.Y(), q.Y())));
    }
    update();
    hitShape = nullptr;
    dragState = dragstate::Idle;
    dragPhase = 1;
}

// --- connector tool ---

void CTavloView::clearHover() {
    if (hoverShape)
        hoverShape->setSnake(0);
    hoverShape = nullptr;
}

void CTavloView::findTarget(ZVector2 p) {
    clearHover();
    // Collapsed shapes are not there to be joined; the page skips them.
    int code = 0;
    if (ZN_ShapeBase* shape = currentPage->findConnectTarget(p, hitTolerance(), hitShape, code)) {
        hoverShape = shape;
        hoverCode = code;
        shape->setSnake(code);
    }
}

void CTavloView::lineDown(ZVector2 p) {
    if (dragState == dragstate::Drawing) {
        if (dragPhase == 2)
            lineFinish(p);
        return;
    }
    if (dragState != dragstate::Idle)
        return;
    takeSnapshot();
    auto* line = static_cast<ZN_NLine*>(ZN_ShapeBase::createShape(1));
    // Lines go beneath the boxes they join.
    currentPage->addShapeFront(line);
    hitShape = line;
    line->setStrightType(1);
    line->setLineWide(3);
    line->setArrowType(0);
    line->setArrowSize(30);
    line->pushPoint(canvas(p), 0);
    line->pushPoint(canvas(p), 1);
    if (hoverShape) {
        line->pushToInput(hoverShape);
        hoverShape->pushToOutput(line);
        if (hoverCode > 0)
            line->setOutNumber(hoverCode);
    }
    clearHover();
    dragState = dragstate::Drawing;
    dragPhase = 1;
    update();
}

void CTavloView::lineMove(ZVector2 p) {
    if (dragState == dragstate::Idle) {
        findTarget(p);
        update();
        return;
    }
    if (dragState != dragstate::Drawing)
        return;
    if (dragPhase == 1)
        dragPhase = 2;
    findTarget(p);
    if (auto* line = dynamic_cast<ZN_NLine*>(hitShape))
        line->setPoint(canvas(p), line->getPointSize() - 1);
    update();
}

void CTavloView::lineFinish(ZVector2 p) {
    auto* line = dynamic_cast<ZN_NLine*>(hitShape);
    if (!line) {
        dragState = dragstate::Idle;
        return;
    }
    line->setPoint(canvas(p), line->getPointSize() - 1);
    if (hoverShape) {
        line->pushToOutput(hoverShape);
        hoverShape->pushToInput(line);
        dragState = dragstate::Idle;
        dragPhase = 1;
        if (hoverCode > 0)
            line->setInNumber(hoverCode);
        line->updatePoint(1, true);
        line->updatePoint(line->getPointSize() - 2, true);
    } else {
        // Released over empty canvas: a bend here, and the line goes on.
        line->pushPointBack(canvas(p));
        dragPhase = 1;
    }
    clearHover();
    update();
}

// --- point and text tools ---

void CTavloView::pointDown(ZVector2 p) {
    auto* point = static_cast<ZN_NPoint*>(ZN_ShapeBase::createShape(2));
    currentPage->addShape(point);
    point->setCoord(canvas(p));
    hitShape = point;
    // Not an undo step, but the new point must not vanish on close unasked.
    markModified();
    update();
}

void CTavloView::textDown(ZVector2 p) {
    hitShape = nullptr;
    closeEditBox(true);
    editLabel = nullptr;
    pressPoint = p;
    editBox_->setFont(qtFont(defaultTextFont(), zoom_));
    const QPointF at = screenFromClient(p);
    editBox_->setGeometry(static_cast<int>(at.x()), static_cast<int>(at.y()), 20, 20);
    editBox_->show();
    editBox_->setFocus();
    tool = viewtool::Select;
}

void CTavloView::closeEditBox(bool commit) {
    if (!editBox_->isVisible()) {
        editBox_->clear();
        return;
    }
    // Hidden before it is emptied: emptying a shown box resizes it, and the
    // resize pulls the focus back into it just before it disappears.
    editBox_->hide();
    if (commit) {
        commitEdit();
        update();
    }
    editBox_->clear();
    editLabel = nullptr;
    // The keys (arrows, Delete, the shortcuts) belong to the page again.
    setFocus(Qt::OtherFocusReason);
}

bool CTavloView::isEditing() const {
    return editBox_->isVisible();
}

void CTavloView::resizeEditBox() {
    if (!editBox_->isVisible())
        return;
    const LOGFONTA font = editLabel ? editLabel->getFont() : defaultTextFont();
    const ZTextSize size = ZMeasureText(font, editText(editBox_));
    // The box shows the text in its own font; leave room for either.
    const QFontMetrics metrics(editBox_->font());
    const QSize qt = metrics.size(0, editBox_->toPlainText());
    const int w = std::max(static_cast<int>(std::ceil(size.width * zoom_)), qt.width()) + 10;
    const int h = std::max(static_cast<int>(std::ceil(size.height * zoom_)), qt.height()) + 10;
    const QPointF at = screenFromClient(pressPoint);
    editBox_->setGeometry(static_cast<int>(at.x()), static_cast<int>(at.y()), std::max(20, w),
                          std::max(20, h));
    editBox_->setFocus();
}

void CTavloView::commitEdit() {
    if (!currentPage) {
        editLabel = nullptr;
        return;
    }
    // The label is hidden only while it is typed into; the undo step keeps
    // the page as it was seen, label and all.
    if (editLabel)
        editLabel->setShow(true);
    takeSnapshot();
    const std::string text = editText(editBox_);
    if (!text.empty()) {
        const LOGFONTA font = editLabel ? editLabel->getFont() : defaultTextFont();
        const ZTextSize size = ZMeasureText(font, text);
        const ZVector2 topLeft = canvas(pressPoint);
        const ZVector2 bottomRight =
            topLeft + ZVector2(static_cast<float>(size.width), static_cast<float>(size.height));
        ZN_SText* label = editLabel;
        if (label) {
            label->setShow(true);
        } else {
            label = static_cast<ZN_SText*>(ZN_ShapeBase::createShape(5));
            currentPage->addShape(label);
        }
        label->setRect(topLeft, bottomRight);
        label->setText(text.c_str());
        label->setFont(label->getFont());
        if (ZN_ShapeBase* host = label->getHost())
            host->resetLabelPosition();
    } else if (editLabel) {
        editLabel->setShow(true);
        // A node whose label text is erased loses its label.
        if (ZN_ShapeBase* host = editLabel->getHost(); host && host->getLabel() == editLabel)
            host->deleteLabel();
    }
    editLabel = nullptr;
}

// --- double click ---

void CTavloView::onLButtonDblClk(Qt::KeyboardModifiers, QPoint) {
    if (!hitShape || !currentPage)
        return;
    ZN_SText* label = nullptr;
    if (hitShape->isRegion()) {
        if (auto* table = dynamic_cast<ZN_NJiuGongGe*>(hitShape)) {
            int rows = 3;
            int columns = 3;
            const bool ok = tableSizeAsker_ && tableSizeAsker_(rows, columns);
            if (ok) {
                table->setSizeValue(rows, columns);
                update();
            }
            return;
        }
        if (hitShape->type() == 2)
            return;
        label = hitShape->getLabel();
        if (!label) {
            label = static_cast<ZN_SText*>(ZN_ShapeBase::createShape(5));
            const ZVector2 c = (hitShape->getPoint1() + hitShape->getPoint2()) * 0.5f;
            label->setRect(c - ZVector2(20.0f, 20.0f), c + ZVector2(5.0f, 5.0f));
            label->setHost(hitShape);
            hitShape->setLabel(label);
        }
    } else if (hitShape->type() == 5) {
        label = static_cast<ZN_SText*>(hitShape);
    } else {
        return;
    }
    editLabelOf(label);
}

void CTavloView::editLabelOf(ZN_SText* label) {
    editLabel = label;
    const ZVector2 offset = getScallPosition();
    const ZVector2 a = label->getPoint1() - offset;
    const ZVector2 b = label->getPoint2() - offset;
    pressPoint = a;
    QString text = QString::fromStdString(label->getText());
    text.replace("\r\n", "\n");
    editBox_->setFont(qtFont(label->getFont(), zoom_));
    editBox_->setPlainText(text);
    // Over the label at the size the page shows it.
    const QPointF sa = screenFromClient(a);
    const QPointF sb = screenFromClient(b);
    editBox_->setGeometry(static_cast<int>(sa.x()), static_cast<int>(sa.y()),
                          static_cast<int>(sb.x() - sa.x()) + 10,
                          static_cast<int>(sb.y() - sa.y()));
    label->setShow(false);
    editBox_->show();
    editBox_->selectAll();
    editBox_->ensureCursorVisible();
    editBox_->setFocus();
    update();
}

// --- capture frame ---

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
