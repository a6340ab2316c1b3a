// The style, arrangement and automatic layout commands of the page shown in a
// view: points, lines, boxes, gradients, colours, fonts, label display.

#include <QColor>

#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>

#include "commands/CommandIds.h"
#include "dialogs/CValueDialogs.h"
#include "dialogs/CommandPrompts.h"
#include "view/CTavloView.h"
#include "view/UndoStep.h"

#include "EditSelection.h"
#include "EditStyleCommands.h"

namespace {

using detail::pick;

bool isBox(const ZN_ShapeBase* s) {
    const int t = s->type();
    return t == 7 || t == 8 || t == 9 || t == 10 || t == 12 || t == 13;
}

// Boxes whose frame can be drawn as an underline alone.
bool hasFrameMode(const ZN_ShapeBase* s) {
    const int t = s->type();
    return t == 7 || t == 8 || t == 9;
}

std::vector<ZN_NLine*> lines(CTavloView& view) {
    return pick<ZN_NLine>(view, [](const ZN_ShapeBase* s) { return s->type() == 1; });
}
std::vector<ZN_NPoint*> points(CTavloView& view) {
    return pick<ZN_NPoint>(view, [](const ZN_ShapeBase* s) { return s->type() == 2; });
}
std::vector<ZN_NRect*> boxes(CTavloView& view) {
    return pick<ZN_NRect>(view, isBox);
}

bool askColor(CTavloView& view, ZVector3& out) {
    QColor colour = initialPromptColor();
    if (!commandPrompts().color(&view, colour))
        return false;
    out = toVector3(colour);
    return true;
}

bool runDialog(QDialog& dialog) {
    return commandPrompts().runDialog(dialog);
}

// --- dialogs ---

void pointSize(CTavloView& view) {
    CDlgPointSize dialog(&view);
    dialog.size = 0;
    if (!runDialog(dialog))
        return;
    UndoStep undo(view);
    for (ZN_NPoint* p : points(view))
        p->setPointSize(static_cast<float>(dialog.size));
}

void lineWidth(CTavloView& view) {
    CDlgLineWide dialog(&view);
    dialog.width = 2;
    if (!runDialog(dialog))
        return;
    UndoStep undo(view);
    for (ZN_ShapeBase* s : view.getSelection())
        s->setLineWide(dialog.width);
}

void lineArrow(CTavloView& view) {
    CDlgLineArrow dialog(&view);
    dialog.arrowSize = 30;
    dialog.arrowType = 1;
    if (!runDialog(dialog))
        return;
    UndoStep undo(view);
    for (ZN_NLine* l : lines(view)) {
        l->setArrowSize(dialog.arrowSize);
        l->setArrowType(dialog.arrowType);
    }
}

void lineGradual(CTavloView& view) {
    CDlgLineGradual dialog(&view);
    if (!runDialog(dialog))
        return;
    UndoStep undo(view);
    for (ZN_NLine* l : lines(view)) {
        l->setbGradualWide(dialog.gradualWide);
        l->setbGradualColor(dialog.gradualColor);
        l->setGradualColor(dialog.color);
        l->setGradualWide(static_cast<float>(dialog.changeValue));
    }
}

void lineOffset(CTavloView& view) {
    CDlgLineOffsetH dialog(&view);
    dialog.offsetOn = 1;
    dialog.offset = 50;
    if (!runDialog(dialog))
        return;
    UndoStep undo(view);
    for (ZN_NLine* l : lines(view)) {
        l->setbOffsetH(dialog.offsetOn);
        l->setOffsetH(dialog.offset);
    }
}

void gradualColor(CTavloView& view) {
    ZVector3 colour;
    if (!askColor(view, colour))
        return;
    UndoStep undo(view);
    for (ZN_NRect* box : boxes(view)) {
        box->setGradualColor(colour);
        if (box->getGradualType() == 0)
            box->setGradualType(3);
    }
}

void fillColor(CTavloView& view) {
    ZVector3 colour;
    if (!askColor(view, colour))
        return;
    UndoStep undo(view);
    for (ZN_ShapeBase* s : view.getSelection()) {
        if (isBox(s)) {
            if (auto* box = dynamic_cast<ZN_NRect*>(s))
                box->setFillColor(colour);
        } else if (s->type() == 2) {
            static_cast<ZN_NPoint*>(s)->setFillColor(colour);
        }
    }
}

void lineColor(CTavloView& view) {
    ZVector3 colour;
    if (!askColor(view, colour))
        return;
    UndoStep undo(view);
    for (ZN_ShapeBase* s : view.getSelection())
        s->setColor(colour);
}

void fontColor(CTavloView& view) {
    ZVector3 colour;
    if (!askColor(view, colour))
        return;
    for (ZN_ShapeBase* s : view.getSelection())
        s->setFontColor(colour);
    view.markModified();
}

void chooseFont(CTavloView& view) {
    LOGFONTA font;
    if (!commandPrompts().font(&view, font))
        return;
    UndoStep undo(view);
    for (ZN_ShapeBase* s : view.getSelection())
        s->setFont(font);
}

// --- plain style edits ---

void textAlign(CTavloView& view, int align) {
    for (ZN_ShapeBase* s : view.getSelection()) {
        ZN_SText* text = s->getLabel();
        if (!text && s->type() == 5)
            text = static_cast<ZN_SText*>(s);
        if (text)
            text->setTextAlignType(align);
    }
}

void showLabels(CTavloView& view, bool show) {
    for (ZN_ShapeBase* s : view.getSelection()) {
        if (ZN_SText* label = s->getLabel())
            label->setShow(show);
    }
}

int gradualMode(int id) {
    switch (id) {
    case cmd::GradualAround:
        return 1;
    case cmd::GradualLeftMidRight:
        return 2;
    case cmd::GradualLeftRight:
        return 3;
    case cmd::GradualTopMidBottom:
        return 4;
    case cmd::GradualTopBottom:
        return 5;
    default:
        return 0;
    }
}

// Arrangement calls by command: which function, and its mode.
bool arrange(ZN_ShapeManager& page, int id, const std::list<ZN_ShapeBase*>& sel) {
    switch (id) {
    case cmd::LayerTop:
        page.TranslateLayer(3, sel);
        return true;
    case cmd::LayerBottom:
        page.TranslateLayer(0, sel);
        return true;
    case cmd::LayerUp:
        page.TranslateLayer(2, sel);
        return true;
    case cmd::LayerDown:
        page.TranslateLayer(1, sel);
        return true;
    case cmd::AlignLeft:
        page.TranslateAlign(1, sel);
        return true;
    case cmd::AlignHCenter:
        page.TranslateAlign(4, sel);
        return true;
    case cmd::AlignRight:
        page.TranslateAlign(2, sel);
        return true;
    case cmd::AlignTop:
        page.TranslateAlign(0, sel);
        return true;
    case cmd::AlignVCenter:
        page.TranslateAlign(5, sel);
        return true;
    case cmd::AlignBottom:
        page.TranslateAlign(3, sel);
        return true;
    case cmd::DistributeH:
        page.TranslateAlignAvg(0, sel);
        return true;
    case cmd::DistributeV:
        page.TranslateAlignAvg(1, sel);
        return true;
    case cmd::SameSize:
        page.SameSize(0, sel);
        return true;
    case cmd::SameWidth:
        page.SameSize(1, sel);
        return true;
    case cmd::SameHeight:
        page.SameSize(2, sel);
        return true;
    default:
        return false;
    }
}

int autoMode(int id) {
    switch (id) {
    case cmd::AutoPolyline:
        return 1;
    case cmd::AutoCurve:
        return 2;
    case cmd::AutoPalm:
        return 3;
    case cmd::AutoStraight:
        return 4;
    default:
        return 0;
    }
}

} // namespace

// The commands without a snapshot of their own that still change what is
// saved; they mark the document modified so closing asks to save.
bool changesWithoutSnapshot(int id) {
    return gradualMode(id) != 0 || id == cmd::GradualNone || autoMode(id) != 0 ||
           id == cmd::TextLeft || id == cmd::TextCenter || id == cmd::TextRight ||
           id == cmd::HideText || id == cmd::ShowText;
}

bool runStyleCommand(CTavloView& view, int id) {
    switch (id) {
    case cmd::PointBig:
    case cmd::PointZero:
        for (ZN_NPoint* p : points(view))
            p->setPointSize(id == cmd::PointBig ? 8.0f : 0.0f);
        return true;
    case cmd::PointSize:
        pointSize(view);
        return true;
    case cmd::PointFree:
    case cmd::PointTree:
        for (ZN_NPoint* p : points(view))
            p->setStateType(id == cmd::PointTree ? 1 : 0);
        return true;
    case cmd::LineThick:
    case cmd::LineThin:
        for (ZN_ShapeBase* s : view.getSelection())
            s->setLineWide(id == cmd::LineThick ? 3 : 1);
        return true;
    case cmd::LineWidth:
        lineWidth(view);
        return true;
    case cmd::LinePolyline:
    case cmd::LineCurve:
        for (ZN_NLine* l : lines(view))
            l->setStrightType(id == cmd::LineCurve ? 1 : 0);
        return true;
    case cmd::LineArrow:
        lineArrow(view);
        return true;
    case cmd::LineGradual:
        lineGradual(view);
        return true;
    case cmd::LineOffsetH:
        lineOffset(view);
        return true;
    case cmd::RectFrame:
    case cmd::RectUnderline:
        for (ZN_NRect* box : pick<ZN_NRect>(view, hasFrameMode))
            box->setRectShowtype(id == cmd::RectUnderline ? 1 : 0);
        return true;
    case cmd::GradualAround:
    case cmd::GradualLeftMidRight:
    case cmd::GradualLeftRight:
    case cmd::GradualTopMidBottom:
    case cmd::GradualTopBottom:
    case cmd::GradualNone:
        for (ZN_NRect* box : boxes(view))
            box->setGradualType(gradualMode(id));
        return true;
    case cmd::GradualColor:
        gradualColor(view);
        return true;
    case cmd::HideText:
    case cmd::ShowText:
        showLabels(view, id == cmd::ShowText);
        return true;
    case cmd::FillColor:
        fillColor(view);
        return true;
    case cmd::LineColor:
        lineColor(view);
        return true;
    case cmd::Font:
        chooseFont(view);
        return true;
    case cmd::FontColor:
        fontColor(view);
        return true;
    case cmd::TextLeft:
        textAlign(view, 1);
        return true;
    case cmd::TextCenter:
        textAlign(view, 0);
        return true;
    case cmd::TextRight:
        textAlign(view, 2);
        return true;
    case cmd::AutoPolyline:
    case cmd::AutoCurve:
    case cmd::AutoPalm:
    case cmd::AutoStraight:
        for (ZN_NLine* l : lines(view))
            l->autoAlign(autoMode(id));
        return true;
    default:
        return arrange(*view.getCurrentPage(), id, view.getSelection());
    }
}
