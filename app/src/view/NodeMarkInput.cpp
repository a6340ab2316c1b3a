#include "view/NodeMarkInput.h"

#include <cmath>

#include <QDesktopServices>
#include <QFileInfo>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolTip>

#include <sarvik/ZN_Markers.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZMessage.h>

#include "document/AppNames.h"
#include "document/CTavloDoc.h"
#include "document/FoldReveal.h"
#include "document/NodeFieldEdits.h"
#include "document/TextSearch.h"
#include "folder/CFolderFrame.h"
#include "view/CTavloView.h"
#include "view/UndoStep.h"

namespace {

// A tooltip shows this much of a long note.
constexpr int kTooltipLines = 30;
constexpr int kTooltipChars = 2000;
// How far beyond its box a mark may reach, in canvas units.
constexpr float kMarkReach = 2.0f * kZN_CornerMarkSize;
// Room kept between a node brought into sight and the window's edge, in
// window pixels.
constexpr double kSightMargin = 40.0;

LinkOpener& opener() {
    static LinkOpener current;
    return current;
}

bool openOutside(const QUrl& url) {
    if (opener())
        return opener()(url);
    return QDesktopServices::openUrl(url);
}

bool contains(const ZN_Mark& m, ZVector2 p) {
    return p.X() >= m.min.X() && p.X() <= m.max.X() && p.Y() >= m.min.Y() && p.Y() <= m.max.Y();
}

// The shown boxes near the canvas point `at`, topmost first.
std::vector<ZN_ShapeBase*> boxesNear(const CTavloView& view, ZVector2 at) {
    std::vector<ZN_ShapeBase*> found;
    const ZN_ShapeManager* page = view.getCurrentPage();
    if (!page)
        return found;
    std::vector<const ZN_ShapeBase*> near;
    const ZVector2 reach(kMarkReach, kMarkReach);
    page->shapesToDraw(at - reach, at + reach, near);
    for (auto it = near.rbegin(); it != near.rend(); ++it)
        if ((*it)->getShow() && holdsFields(*it))
            found.push_back(const_cast<ZN_ShapeBase*>(*it));
    return found;
}

void say(const std::string& text) {
    ZShowMessage(tavlo::kApplication, text);
}

} // namespace

void setLinkOpener(LinkOpener value) {
    opener() = std::move(value);
}

MarkUnder markUnder(const CTavloView& view, QPointF screen) {
    const ZVector2 at = view.canvasFromScreen(screen);
    for (ZN_ShapeBase* s : boxesNear(view, at)) {
        for (const ZN_Mark& m : ZN_NodeMarks(*s))
            if (contains(m, at))
                return {s, m};
    }
    return {};
}

ZN_ShapeBase* linkedBoxUnder(const CTavloView& view, QPointF screen) {
    const ZVector2 at = view.canvasFromScreen(screen);
    for (ZN_ShapeBase* s : boxesNear(view, at)) {
        const ZVector2 a = s->getPoint1();
        const ZVector2 b = s->getPoint2();
        if (at.X() < std::min(a.X(), b.X()) || at.X() > std::max(a.X(), b.X()) ||
            at.Y() < std::min(a.Y(), b.Y()) || at.Y() > std::max(a.Y(), b.Y()))
            continue;
        // The topmost box there decides, linked or not.
        return s->getFields().link.empty() ? nullptr : s;
    }
    return nullptr;
}

QString markTooltip(const ZN_ShapeBase& shape, const ZN_Mark& mark) {
    const ZN_NodeFields& f = shape.getFields();
    switch (mark.kind) {
    case ZN_MarkKind::Note: {
        QStringList lines = QString::fromStdString(f.note).split('\n');
        bool cut = false;
        if (lines.size() > kTooltipLines) {
            lines = lines.mid(0, kTooltipLines);
            cut = true;
        }
        QString text = lines.join('\n');
        if (text.size() > kTooltipChars) {
            text.truncate(kTooltipChars);
            cut = true;
        }
        if (cut)
            text += "\n…";
        // Plain text, whatever it looks like.
        return text.isEmpty() ? text : "<p style='white-space:pre-wrap'>" + text.toHtmlEscaped() + "</p>";
    }
    case ZN_MarkKind::Link: {
        const std::string_view anchor = ZN_LinkedAnchor(f.link);
        if (!anchor.empty())
            return "转到节点 " + QString::fromStdString(std::string(anchor));
        return QString::fromStdString(f.link);
    }
    case ZN_MarkKind::Marker:
        if (mark.marker >= 0 && static_cast<std::size_t>(mark.marker) < f.markers.size())
            return QString::fromStdString(
                ZN_MarkerTitle(f.markers[static_cast<std::size_t>(mark.marker)]));
        return {};
    case ZN_MarkKind::None:
        break;
    }
    return {};
}

void showNodeInView(CTavloView& view, int page, ZN_ShapeBase* shape) {
    const auto& pages = view.document() ? view.document()->shapeData().managers
                                        : std::vector<ZN_ShapeManager*>{};
    if (page >= 0 && static_cast<std::size_t>(page) < pages.size() &&
        pages[static_cast<std::size_t>(page)] != view.getCurrentPage()) {
        if (view.isEditing()) {
            view.commitEdit();
            view.forgetShapes();
        }
        if (CFolderFrame* frame = view.folderFrame())
            frame->showPage(page);
        else
            view.showPage(page);
    }
    if (needsReveal(shape)) {
        UndoStep undo(view);
        revealShape(*view.getCurrentPage(), shape);
    }
    view.clearSelection();
    view.addToSelection(shape);
    const QRectF r = matchRect(shape);
    const float zoom = view.getZoom();
    const ZVector2 offset = view.viewOffset();
    const QRectF seen(offset.X(), offset.Y(), view.width() / zoom, view.height() / zoom);
    const double margin = kSightMargin / zoom;
    if (!seen.contains(r.adjusted(-margin, -margin, margin, margin))) {
        const QPointF topLeft = r.center() - QPointF(seen.width() * 0.5, seen.height() * 0.5);
        view.scrollTo(QPoint(static_cast<int>(std::lround(topLeft.x())),
                             static_cast<int>(std::lround(topLeft.y()))));
    }
    view.update();
}

bool followLink(CTavloView& view, const ZN_ShapeBase& node) {
    const std::string link = node.getFields().link;
    if (link.empty())
        return false;
    const std::string_view anchor = ZN_LinkedAnchor(link);
    if (!anchor.empty()) {
        const std::vector<ZN_ShapeManager*> pages =
            view.document() ? view.document()->shapeData().managers
                            : std::vector<ZN_ShapeManager*>{view.getCurrentPage()};
        const AnchoredNode target = findAnchoredNode(pages, anchor);
        if (!target.shape) {
            say("链接的节点已不存在");
            return false;
        }
        showNodeInView(view, target.page, target.shape);
        return true;
    }
    QString folder;
    if (view.document() && !view.document()->pathName().isEmpty())
        folder = QFileInfo(view.document()->pathName()).absolutePath();
    const QUrl url = linkTarget(link, folder);
    if (!url.isValid()) {
        say("无法打开链接：" + link);
        return false;
    }
    if (!openOutside(url)) {
        say("无法打开链接：" + link);
        return false;
    }
    return true;
}

NodeMarkInput::NodeMarkInput(CTavloView* view) : QObject(view), view_(view) {
    view->installEventFilter(this);
}

NodeMarkInput* NodeMarkInput::install(CTavloView* view) {
    return new NodeMarkInput(view);
}

bool NodeMarkInput::eventFilter(QObject* watched, QEvent* event) {
    if (watched != view_)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const MarkUnder hit = markUnder(*view_, help->pos());
        const QString text = hit.shape ? markTooltip(*hit.shape, hit.mark) : QString();
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), text, view_);
        }
        return true;
    }
    if (event->type() != QEvent::MouseButtonPress)
        return QObject::eventFilter(watched, event);
    const auto* press = static_cast<QMouseEvent*>(event);
    // Only a plain select-tool click follows a link; drawing and panning
    // keep their clicks.
    if (press->button() != Qt::LeftButton || view_->getTool() != viewtool::Select ||
        view_->isEditing() || view_->isPanning())
        return false;
    const QPointF at = press->position();
    ZN_ShapeBase* linked = nullptr;
    const MarkUnder hit = markUnder(*view_, at);
    if (hit.shape && hit.mark.kind == ZN_MarkKind::Link)
        linked = hit.shape;
    else if (press->modifiers() & Qt::ControlModifier)
        linked = linkedBoxUnder(*view_, at);
    if (!linked)
        return false;
    followLink(*view_, *linked);
    return true;
}
