#pragma once
// What the marks of a node do on the page (ZN_NodeMarks.h): hovering a mark
// shows the note, the link or the marker's name as a tooltip; a click on the
// link mark, or Ctrl and a click on a box with a link, follows the link. A
// node link selects the node it names and brings it into sight; any other
// link opens through the desktop.

#include <functional>

#include <QObject>
#include <QPointF>
#include <QString>
#include <QUrl>

#include <sarvik/ZN_NodeMarks.h>

class CTavloView;
class ZN_ShapeBase;

// Opens a URL outside the program; the desktop's by default. Tests put their
// own in its place; an empty one brings the desktop's back.
using LinkOpener = std::function<bool(const QUrl& url)>;
void setLinkOpener(LinkOpener opener);

// The topmost shown box under the widget point `screen` with a mark there,
// and the mark; a shape of null when there is none.
struct MarkUnder {
    ZN_ShapeBase* shape = nullptr;
    ZN_Mark mark;
};
MarkUnder markUnder(const CTavloView& view, QPointF screen);
// The topmost shown box under `screen` that has a link, or null.
ZN_ShapeBase* linkedBoxUnder(const CTavloView& view, QPointF screen);

// What a mark's tooltip says.
QString markTooltip(const ZN_ShapeBase& shape, const ZN_Mark& mark);

// Follows the link of `node`, a shape of the view's page. False, after saying
// why on the view, when it goes nowhere: a node that is no longer there, an
// address that cannot be opened.
bool followLink(CTavloView& view, const ZN_ShapeBase& node);

// Selects `shape` of page `page` alone and brings it into sight: the page is
// shown, a folded branch hiding it opens (one undo step) and the view scrolls
// to it when it is out of the window.
void showNodeInView(CTavloView& view, int page, ZN_ShapeBase* shape);

// Watches a view's input for the marks; lives as the view's child.
class NodeMarkInput : public QObject {
    Q_OBJECT
public:
    static NodeMarkInput* install(CTavloView* view);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit NodeMarkInput(CTavloView* view);
    CTavloView* view_;
};
