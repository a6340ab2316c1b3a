// In-place editing: a double click opens the edit box over a label (or asks
// a table for its size); the box grows with its text and puts it on the page
// when it closes.

#include <algorithm>

#include <QFont>
#include <QFontMetrics>
#include <QPlainTextEdit>

#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZTextRaster.h>

#include "EditBoxText.h"
#include "document/LabelText.h"
#include "view/CTavloView.h"
#include "view/TreeFolds.h"

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
    editAfterGrowth_ = false;
    // The keys (arrows, Delete, the shortcuts) belong to the page again.
    setFocus(Qt::OtherFocusReason);
}

bool CTavloView::isEditing() const {
    return editBox_->isVisible();
}

void CTavloView::resizeEditBox() {
    if (!editBox_->isVisible())
        return;
    const LOGFONTA font = editLabel ? editLabel->getFont() : detail::defaultTextFont();
    const ZTextSize size = ZMeasureText(font, detail::editText(editBox_));
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
    if (editAfterGrowth_)
        markModified();
    else
        takeSnapshot();
    editAfterGrowth_ = false;
    // A node whose label grows or shrinks makes its laid-out tree move up.
    ZN_ShapeBase* host = editLabel ? editLabel->getHost() : nullptr;
    const std::string text = detail::editText(editBox_);
    if (!text.empty()) {
        ZN_SText* label = editLabel;
        if (label) {
            label->setShow(true);
        } else {
            label = static_cast<ZN_SText*>(ZN_ShapeBase::createShape(5));
            currentPage->addShape(label);
        }
        setLabelText(*label, canvas(pressPoint), text);
    } else if (editLabel) {
        editLabel->setShow(true);
        // A node whose label text is erased loses its label.
        if (host && host->getLabel() == editLabel)
            host->deleteLabel();
    }
    editLabel = nullptr;
    if (host)
        treefolds::relayout(currentPage, host);
}

void CTavloView::onLButtonDblClk(Qt::KeyboardModifiers, QPoint) {
    if (hitShape && currentPage)
        openEditor(hitShape);
}

void CTavloView::openEditor(ZN_ShapeBase* shape) {
    ZN_SText* label = nullptr;
    if (shape->isRegion()) {
        if (auto* table = dynamic_cast<ZN_NJiuGongGe*>(shape)) {
            int rows = 3;
            int columns = 3;
            const bool ok = tableSizeAsker_ && tableSizeAsker_(rows, columns);
            if (ok) {
                table->setSizeValue(rows, columns);
                update();
            }
            return;
        }
        if (shape->type() == 2)
            return;
        label = shape->getLabel();
        if (!label) {
            label = static_cast<ZN_SText*>(ZN_ShapeBase::createShape(5));
            label->setHost(shape);
            shape->setLabel(label);
        }
        if (!*label->getText()) {
            // An empty label starts small in the middle of its node.
            const ZVector2 c = (shape->getPoint1() + shape->getPoint2()) * 0.5f;
            label->setRect(c - ZVector2(20.0f, 20.0f), c + ZVector2(5.0f, 5.0f));
        }
    } else if (shape->type() == 5) {
        label = static_cast<ZN_SText*>(shape);
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
    editBox_->setFont(detail::qtFont(label->getFont(), zoom_));
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
