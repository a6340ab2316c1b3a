#pragma once
// The in-place editor of a view: the edit box shown over a label (or over the
// point where a new free text begins) while it is typed. It keeps the label,
// the page that label belongs to and the box's place in canvas units, so that
// whatever the view does meanwhile (another page, scrolling, zoom) the text
// lands where it was begun, as one undo step of that page. Everything that may
// change the page or the view's page finishes the edit first; an edit whose
// page has gone is dropped without touching it.
//
// Keys: Ctrl+Enter puts the text on the page and Esc leaves the label as it
// was; with 回车键确认编辑 on, Enter puts it there, Shift+Enter breaks the line
// and Tab puts it there and adds a child. While an input method composes a
// word, Enter, Tab and Esc are its own.

#include <string>

#include <QFont>
#include <QObject>

#include <rulmek/rulmek.h>
#include <sarvik/platform/ZTextRaster.h>

class CTavloView;
class QKeyEvent;
class QPlainTextEdit;
class ZN_ShapeBase;
class ZN_ShapeManager;
class ZN_SText;

class LabelEditor : public QObject {
public:
    explicit LabelEditor(CTavloView& view);

    QPlainTextEdit* box() const { return box_; }
    bool isOpen() const;
    // The label typed into; null for a new free text.
    ZN_SText* label() const { return label_; }
    ZN_ShapeManager* page() const { return page_; }

    // Opens over what a double click or F2 on `shape` edits: a node's label
    // (made if it has none) or a free text. False for other shapes.
    bool openFor(ZN_ShapeBase* shape, ZN_ShapeManager& page);
    // Opens over `label` of `page`, which is hidden while it is typed.
    void openLabel(ZN_SText* label, ZN_ShapeManager& page);
    // Opens for a new free text whose top-left is the canvas point `at`.
    void openText(ZN_ShapeManager& page, ZVector2 at);
    // The label belongs to a node just made, whose undo step covers the text.
    void joinLastStep() { joinLastStep_ = true; }

    // Puts the text on its page, as one undo step of that page (none when
    // nothing changed), and closes. A page that has gone drops the edit.
    void commit();
    // Closes leaving the label as it was.
    void cancel();
    // Puts the box over its canvas place again, at the size of its text.
    void place();
    // The same after the zoom changed, with the font at the new size.
    void followZoom();

    bool eventFilter(QObject* watched, QEvent* event) override;

    // The font a new free text gets, for measuring before the text exists.
    static LOGFONTA defaultTextFont();
    // The box shows its text in the font the label will get, at the size the
    // page shows it.
    static QFont qtFont(const LOGFONTA& font, float zoom);

private:
    // The box's text in the form the labels keep: lines broken by "\r\n".
    std::string text() const;
    bool key(QKeyEvent* event);
    bool composing() const;
    // True while the page typed on is still one of the document's.
    bool pageAlive() const;
    void show(const QString& text, const LOGFONTA& font);
    // Hides and empties the box and gives the keyboard back to the view.
    void close();

    CTavloView& view_;
    QPlainTextEdit* box_; // child of the view, owned by Qt
    ZN_SText* label_ = nullptr;      // not owned: the page or its host node owns it
    ZN_ShapeManager* page_ = nullptr; // not owned
    ZVector2 at_{0.0f, 0.0f};        // the box's top-left, canvas units
    bool joinLastStep_ = false;
};
