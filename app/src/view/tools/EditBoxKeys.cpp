// The keys of the in-place edit box: Ctrl+Enter puts the text on the page
// and Esc leaves the label as it was; with 回车键确认编辑 on, Enter puts it there,
// Shift+Enter breaks the line and Tab puts it there and adds a child. While an
// input method composes a word, Enter, Tab and Esc are its own.

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>

#include <sarvik/ZN_SText.h>

#include "KeyboardTree.h"
#include "view/CTavloView.h"
#include "view/EditKeys.h"

bool CTavloView::event(QEvent* event) {
    // Without this Tab would only move the focus to the next window.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab && growthKey(key->key(), key->modifiers())) {
            key->accept();
            return true;
        }
    }
    return CFolderView::event(event);
}

bool CTavloView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editBox_ && event->type() == QEvent::KeyPress && editBox_->isVisible())
        return editBoxKey(static_cast<QKeyEvent*>(event));
    return CFolderView::eventFilter(watched, event);
}

bool CTavloView::isComposing() const {
    const QTextLayout* layout = editBox_->textCursor().block().layout();
    return layout && !layout->preeditAreaText().isEmpty();
}

bool CTavloView::editBoxKey(QKeyEvent* event) {
    const int key = event->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (!enter && key != Qt::Key_Tab && key != Qt::Key_Escape)
        return false;
    // The word being composed is not typed yet: neither commit nor create.
    if (isComposing())
        return true;
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (key == Qt::Key_Escape && mods == Qt::NoModifier) {
        cancelEdit();
        return true;
    }
    if (enter && mods == Qt::ControlModifier) {
        closeEditBox(true);
        return true;
    }
    if (!editkeys::enterCommits())
        return false;
    if (enter && mods == Qt::NoModifier) {
        closeEditBox(true);
        return true;
    }
    if (enter && mods == Qt::ShiftModifier) {
        QTextCursor cursor = editBox_->textCursor();
        cursor.insertBlock();
        editBox_->setTextCursor(cursor);
        return true;
    }
    if (key == Qt::Key_Tab && mods == Qt::NoModifier) {
        ZN_ShapeBase* host = editLabel ? editLabel->getHost() : nullptr;
        closeEditBox(true);
        if (host && growth::isTreeNode(host)) {
            clearSelection();
            addToSelection(host);
            growChild(host);
        }
        return true;
    }
    return false;
}

void CTavloView::cancelEdit() {
    if (ZN_SText* label = editLabel) {
        label->setShow(true);
        // A label made for this edit goes again when nothing was typed.
        ZN_ShapeBase* host = label->getHost();
        if (!*label->getText() && host && host->getLabel() == label)
            host->deleteLabel();
    }
    editAfterGrowth_ = false;
    closeEditBox(false);
    update();
}
