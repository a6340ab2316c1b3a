#include "LabelEditor.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>

#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZCodePage.h>

#include "KeyboardTree.h"
#include "ToolBox.h"
#include "document/CTavloDoc.h"
#include "document/LabelText.h"
#include "view/CTavloView.h"
#include "view/EditKeys.h"
#include "view/TreeFolds.h"
#include "view/UndoStep.h"

LabelEditor::LabelEditor(CTavloView& view) : view_(view) {
    // A hidden child that shows over the page while a text is typed.
    box_ = new QPlainTextEdit(&view);
    box_->setObjectName("editBox");
    box_->setLineWrapMode(QPlainTextEdit::NoWrap);
    box_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box_->setGeometry(100, 100, 100, 100);
    box_->hide();
    connect(box_, &QPlainTextEdit::textChanged, this, &LabelEditor::place);
    box_->installEventFilter(this);
}

bool LabelEditor::isOpen() const { return box_->isVisible(); }

LOGFONTA LabelEditor::defaultTextFont() {
    static const LOGFONTA font = ZN_SText().getFont();
    return font;
}

QFont LabelEditor::qtFont(const LOGFONTA& font, float zoom) {
    // The face name is kept as the file holds it, in code page 936.
    const std::size_t length = strnlen(font.lfFaceName, sizeof font.lfFaceName);
    QFont f(QString::fromStdString(ZCp936ToUtf8(std::string_view(font.lfFaceName, length))));
    if (font.lfHeight != 0)
        f.setPixelSize(std::max(1, static_cast<int>(std::lround(std::abs(font.lfHeight) * zoom))));
    f.setBold(font.lfWeight >= 600);
    f.setItalic(font.lfItalic != 0);
    return f;
}

std::string LabelEditor::text() const {
    QString text = box_->toPlainText();
    text.replace("\n", "\r\n");
    return text.toStdString();
}

bool LabelEditor::pageAlive() const {
    if (!page_)
        return false;
    const CTavloDoc* doc = view_.document();
    if (!doc)
        return page_ == view_.getCurrentPage();
    const auto& pages = doc->shapeData().managers;
    return std::find(pages.begin(), pages.end(), page_) != pages.end();
}

bool LabelEditor::openFor(ZN_ShapeBase* shape, ZN_ShapeManager& page) {
    ZN_SText* label = nullptr;
    if (shape->isRegion()) {
        if (shape->type() == 2 || shape->type() == 12)
            return false;
        label = shape->getLabel();
        if (!label) {
            label = static_cast<ZN_SText*>(ZN_ShapeBase::createShape(5));
            // A new label holds a blank; this one starts with no text at all.
            label->setText("");
            label->setHost(shape);
            shape->setLabel(label);
        }
        if (std::string_view(label->getText()).find_first_not_of(' ') == std::string_view::npos) {
            // An empty label starts small in the middle of its node.
            const ZVector2 c = (shape->getPoint1() + shape->getPoint2()) * 0.5f;
            label->setRect(c - ZVector2(20.0f, 20.0f), c + ZVector2(5.0f, 5.0f));
        }
    } else if (shape->type() == 5) {
        label = static_cast<ZN_SText*>(shape);
    } else {
        return false;
    }
    openLabel(label, page);
    return true;
}

void LabelEditor::openLabel(ZN_SText* label, ZN_ShapeManager& page) {
    commit();
    label_ = label;
    page_ = &page;
    at_ = label->getPoint1();
    QString text = QString::fromStdString(label->getText());
    text.replace("\r\n", "\n");
    label->setShow(false);
    show(text, label->getFont());
    box_->selectAll();
    box_->ensureCursorVisible();
}

void LabelEditor::openText(ZN_ShapeManager& page, ZVector2 at) {
    commit();
    label_ = nullptr;
    page_ = &page;
    at_ = at;
    show(QString(), defaultTextFont());
}

void LabelEditor::show(const QString& text, const LOGFONTA& font) {
    joinLastStep_ = false;
    box_->setFont(qtFont(font, view_.getZoom()));
    {
        // Sized once it is shown, below.
        const QSignalBlocker quiet(box_);
        box_->setPlainText(text);
    }
    box_->show();
    place();
    view_.update();
}

void LabelEditor::place() {
    if (!isOpen())
        return;
    const float zoom = view_.getZoom();
    const std::string typed = text();
    const LOGFONTA font = label_ ? label_->getFont() : defaultTextFont();
    const ZTextSize measured = ZMeasureText(font, typed);
    // The box shows the text in its own font; it holds whichever is larger,
    // the label as the page draws it included, with the box's frame and
    // margins around every line.
    const QFontMetrics metrics(box_->font());
    const QString shown = box_->toPlainText();
    const int lines = std::max(1, static_cast<int>(shown.count('\n')) + 1);
    const QSize qt = metrics.size(0, shown);
    double w = std::max<double>(measured.width * zoom, qt.width());
    double h = std::max<double>(measured.height * zoom,
                                std::max(qt.height(), lines * metrics.lineSpacing()));
    if (label_) {
        w = std::max<double>(w, (label_->getPoint2().X() - label_->getPoint1().X()) * zoom);
        h = std::max<double>(h, (label_->getPoint2().Y() - label_->getPoint1().Y()) * zoom);
    }
    const double around = 2.0 * (box_->frameWidth() + box_->document()->documentMargin());
    const int width = std::max(20, static_cast<int>(std::ceil(w + around)) + box_->cursorWidth() + 4);
    const int height = std::max(20, static_cast<int>(std::ceil(h + around)) + 2);
    const QPointF at = view_.screenFromClient(at_ - view_.viewOffset());
    box_->setGeometry(static_cast<int>(std::floor(at.x())), static_cast<int>(std::floor(at.y())),
                      width, height);
    box_->setFocus();
}

void LabelEditor::followZoom() {
    if (!isOpen())
        return;
    box_->setFont(qtFont(label_ ? label_->getFont() : defaultTextFont(), view_.getZoom()));
    place();
}

void LabelEditor::commit() {
    if (!isOpen()) {
        box_->clear();
        label_ = nullptr;
        page_ = nullptr;
        return;
    }
    // Hidden before anything else: emptying a shown box resizes it, and what
    // follows may ask again whether an edit is open.
    box_->hide();
    if (!pageAlive()) {
        // The label went with its page; there is nothing left to write to.
        close();
        return;
    }
    ZN_ShapeManager& page = *page_;
    ZN_SText* label = label_;
    const ZVector2 at = at_;
    const std::string typed = text();
    // The label is hidden only while it is typed into; the undo step keeps
    // the page as it was seen, label and all.
    if (label)
        label->setShow(true);
    ZN_ShapeBase* host = label ? label->getHost() : nullptr;
    const bool made = label && host && host->getLabel() == label && !*label->getText();
    const bool changed = label ? typed != label->getText() : !typed.empty();
    if (changed) {
        if (joinLastStep_) {
            view_.markModified();
        } else {
            UndoStep undo(view_, page);
        }
        if (!typed.empty()) {
            if (!label) {
                label = static_cast<ZN_SText*>(ZN_ShapeBase::createShape(5));
                page.addShape(label);
            }
            setLabelText(*label, at, typed);
        } else if (host && host->getLabel() == label) {
            // A node whose label text is erased loses its label.
            host->deleteLabel();
        }
    } else if (made) {
        // A label made for this edit goes again when nothing was typed.
        host->deleteLabel();
    }
    // A node whose label grows or shrinks makes its laid-out tree move up.
    if (host && (changed || made))
        treefolds::relayout(&page, host);
    close();
    view_.update();
}

void LabelEditor::cancel() {
    if (isOpen()) {
        box_->hide();
        if (pageAlive() && label_) {
            label_->setShow(true);
            ZN_ShapeBase* host = label_->getHost();
            if (!*label_->getText() && host && host->getLabel() == label_)
                host->deleteLabel();
        }
    }
    close();
    view_.update();
}

void LabelEditor::close() {
    const bool had = page_ != nullptr;
    box_->clear();
    label_ = nullptr;
    page_ = nullptr;
    joinLastStep_ = false;
    // The keys (arrows, Delete, the shortcuts) belong to the page again.
    if (had)
        view_.setFocus(Qt::OtherFocusReason);
}

bool LabelEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == box_ && event->type() == QEvent::KeyPress && isOpen())
        return key(static_cast<QKeyEvent*>(event));
    return QObject::eventFilter(watched, event);
}

bool LabelEditor::composing() const {
    const QTextLayout* layout = box_->textCursor().block().layout();
    return layout && !layout->preeditAreaText().isEmpty();
}

bool LabelEditor::key(QKeyEvent* event) {
    const int key = event->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (!enter && key != Qt::Key_Tab && key != Qt::Key_Escape)
        return false;
    // The word being composed is not typed yet: neither commit nor create.
    if (composing())
        return true;
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (key == Qt::Key_Escape && mods == Qt::NoModifier) {
        cancel();
        return true;
    }
    if (enter && mods == Qt::ControlModifier) {
        commit();
        return true;
    }
    if (!editkeys::enterCommits())
        return false;
    if (enter && mods == Qt::NoModifier) {
        commit();
        return true;
    }
    if (enter && mods == Qt::ShiftModifier) {
        QTextCursor cursor = box_->textCursor();
        cursor.insertBlock();
        box_->setTextCursor(cursor);
        return true;
    }
    if (key == Qt::Key_Tab && mods == Qt::NoModifier) {
        ZN_ShapeBase* host = label_ ? label_->getHost() : nullptr;
        commit();
        if (host && growth::isTreeNode(host)) {
            view_.clearSelection();
            view_.addToSelection(host);
            view_.tools_->growth.growChild(host);
        }
        return true;
    }
    return false;
}
