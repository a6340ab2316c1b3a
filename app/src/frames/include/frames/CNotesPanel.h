#pragma once
// 备注: a dockable panel that edits the note and the attributes of the node
// selected in the active document window. It follows the selection and is
// disabled unless one box alone is selected. What is typed goes onto the
// node when the panel loses the keyboard, when the selection moves on, or on
// 应用, each time as one undo step.

#include <QDockWidget>
#include <QPointer>
#include <QWidget>

#include <sarvik/ZN_NodeFields.h>

#include "view/CTavloView.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class ZN_ShapeBase;
class ZN_ShapeManager;

class CNotesPanel : public QWidget {
    Q_OBJECT
public:
    explicit CNotesPanel(QWidget* parent = nullptr);
    ~CNotesPanel() override;

    // The view whose selection the panel follows; null for none. What was
    // typed for the last one goes onto its node first.
    void setView(CTavloView* view);
    CTavloView* view() const { return view_; }

    // The node shown, or null when the panel is disabled.
    ZN_ShapeBase* node() const { return node_; }
    // Shows the node selected now, committing what was typed for another.
    void follow();
    // Puts what was typed onto the node as one undo step; false when there
    // was nothing to put there.
    bool commit();
    bool isDirty() const { return dirty_; }
    // Shows `node` (selected by the find bar) with the note's characters
    // begin..end selected.
    void showNoteMatch(ZN_ShapeBase* node, int begin, int end);

    QPlainTextEdit* noteEdit() const { return note_; }
    QTableWidget* attributeTable() const { return attributes_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* removeButton() const { return remove_; }
    QPushButton* applyButton() const { return apply_; }
    QLabel* titleLabel() const { return title_; }

protected:
    void hideEvent(QHideEvent* event) override;

private:
    // The one box selected on the view's page, or null.
    ZN_ShapeBase* selectedNode() const;
    // Whether the node shown is still on its page, which is still the document's.
    bool nodeAlive() const;
    void load(ZN_ShapeBase* node);
    void edited();
    void focusMoved(QWidget* old, QWidget* now);
    ZN_NodeFields typedFields() const;

    QPointer<CTavloView> view_;
    ZN_ShapeBase* node_ = nullptr;     // not owned; checked before use
    ZN_ShapeManager* page_ = nullptr;  // the node's page; not owned
    ZN_SharedFields shown_;            // the fields as loaded
    bool dirty_ = false;
    bool loading_ = false;
    QLabel* title_ = nullptr;
    QPlainTextEdit* note_ = nullptr;
    QTableWidget* attributes_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* apply_ = nullptr;
};

class CNotesDock : public QDockWidget {
    Q_OBJECT
public:
    explicit CNotesDock(QWidget* parent = nullptr);
    CNotesPanel* panel() const { return panel_; }

private:
    CNotesPanel* panel_ = nullptr; // child widget
};
