#include "commands/EditCommands.h"

#include <algorithm>
#include <optional>
#include <list>
#include <string>
#include <vector>

#include <QColor>

#include <sarvik/ZImageData.h>
#include <sarvik/ZImageTexture.h>
#include <sarvik/ZJpgResource.h>
#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_NJiuGongGe.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/ZN_TreeLayout.h>
#include <sarvik/platform/ZMessage.h>

#include "commands/CommandIds.h"
#include "commands/CommandTable.h"
#include "commands/CommandTarget.h"
#include "commands/DibConvert.h"
#include "commands/ShapeClipboard.h"
#include "dialogs/CValueDialogs.h"
#include "dialogs/CommandPrompts.h"
#include "document/AppNames.h"
#include "document/PictureCache.h"
#include "view/CTavloView.h"
#include "view/UndoStep.h"
#include "view/TreeFolds.h"

#include "EditSelection.h"
#include "EditStyleCommands.h"

namespace {

using detail::pick;

std::list<ZN_ShapeBase*>* clipboard() { return clipboardShapes(); }

// Runs a GL step with the view's context current, when the view has one; a
// view that has not drawn yet builds missing textures when it first does.
template <class F> void withScene(CTavloView& view, F step) {
    if (!view.isSceneReady())
        return;
    view.getScene().makeCurrent();
    step();
    view.getScene().releaseCurrent();
}

// --- clipboard ---

void copy(CTavloView& view) {
    std::list<ZN_ShapeBase*>* shapes = clipboard();
    if (!shapes)
        return;
    if (copySelectedShapes(*view.getCurrentPage(), *shapes))
        emptySystemClipboard();
}

void pasteBitmap(CTavloView& view, const QByteArray& dib) {
    std::string error;
    std::unique_ptr<ZImageData> data =
        dibToImageData(reinterpret_cast<const unsigned char*>(dib.constData()),
                       static_cast<std::size_t>(dib.size()), &error);
    if (!data) {
        ZShowMessage(tavlo::kApplication, error);
        return;
    }
    const QPoint origin = view.scrollPosition();
    const ZVector2 topLeft(static_cast<float>(origin.x()), static_cast<float>(origin.y()));
    auto* rect = static_cast<ZN_NRect*>(ZN_ShapeBase::createShape(7));
    rect->setPoint1(topLeft);
    rect->setPoint2(topLeft + ZVector2(static_cast<float>(data->getWidth()),
                                       static_cast<float>(data->getHeight())));
    auto* texture = new ZImageTexture(data.release(), " ");
    pictureCache::add(texture);
    withScene(view, [texture] { texture->resetTexture(); });
    rect->setImageData(texture);
    view.getCurrentPage()->addShape(rect);
}

void paste(CTavloView& view) {
    view.clearSelection();
    bool unreadable = false;
    const QByteArray dib = systemClipboardDib(&unreadable);
    if (unreadable) {
        // Not the shapes instead: the user copied a picture last.
        ZShowMessage(tavlo::kApplication, kDibRefusedText);
        return;
    }
    if (!dib.isEmpty()) {
        pasteBitmap(view, dib);
        return;
    }
    std::list<ZN_ShapeBase*>* shapes = clipboard();
    if (!shapes)
        return;
    for (ZN_ShapeBase* clone : cloneClipboard(*shapes)) {
        view.getCurrentPage()->addShape(clone);
        view.addToSelection(clone);
    }
}

void clear(CTavloView& view) {
    view.getCurrentPage()->deleteSelected();
    view.forgetShapes();
    view.setTool(viewtool::Select);
}

void undoRedo(CTavloView& view, bool redo) {
    // The page that comes back differs from what was last saved, whichever way it goes.
    if (view.undoStep(redo))
        view.markModified();
    view.forgetShapes();
}

// --- pictures and answers ---

ZImageTexture* textureForFile(CTavloView& view, const QString& path) {
    const std::string name = path.toStdString();
    if (ZImageTexture* cached = pictureCache::find(name))
        return cached;
    ZJpgResource jpeg;
    bool loaded = false;
    withScene(view, [&] { loaded = jpeg.loadFile(name.c_str()); });
    if (!view.isSceneReady())
        loaded = jpeg.loadFile(name.c_str());
    if (!loaded || !jpeg.getPixels())
        return nullptr;
    auto* data = new ZImageData;
    data->setFileType(1);
    const auto width = static_cast<int>(jpeg.getWidth());
    const auto height = static_cast<int>(jpeg.getHeight());
    data->copyData(jpeg.getPixels(), width, height,
                   height * static_cast<int>(ZImageData::rowStride(width)));
    auto* texture = new ZImageTexture(data, name);
    pictureCache::add(texture);
    withScene(view, [&] {
        texture->resetTexture();
        // The decoder's own texture is never drawn; it goes while its context is current.
        jpeg.release();
    });
    return texture;
}

void insertPicture(CTavloView& view) {
    const QString path = commandPrompts().picturePath(&view);
    if (path.isEmpty())
        return;
    ZImageTexture* texture = textureForFile(view, path);
    if (!texture)
        return;
    const auto rects = pick<ZN_NRect>(view, [](const ZN_ShapeBase* s) { return s->type() == 7; });
    for (ZN_NRect* rect : rects)
        rect->setImageData(texture);
    if (!rects.empty())
        view.markModified();
}

void bindAnswers(CTavloView& view) {
    const auto& sel = view.getSelection();
    const auto found =
        std::find_if(sel.begin(), sel.end(), [](const ZN_ShapeBase* s) { return s->type() == 12; });
    if (found == sel.end())
        return;
    auto* table = static_cast<ZN_NJiuGongGe*>(*found);
    table->clearAnswerList();
    for (ZN_ShapeBase* s : sel) {
        if (s->type() != 5)
            continue;
        table->addAnswerList(s);
        s->addAnswerHostList(table);
    }
    view.markModified();
}

bool dispatch(CTavloView& view, int id) {
    ZN_ShapeManager& page = *view.getCurrentPage();
    switch (id) {
    case cmd::Undo:
        undoRedo(view, false);
        return true;
    case cmd::Redo:
        undoRedo(view, true);
        return true;
    case cmd::Copy:
        copy(view);
        return true;
    case cmd::Cut:
        copy(view);
        return runViewCommand(view, cmd::Clear);
    case cmd::Paste:
        paste(view);
        return true;
    case cmd::SelectAll:
        view.selectAll();
        return true;
    case cmd::Clear:
        clear(view);
        return true;
    case cmd::InsertPicture:
        insertPicture(view);
        return true;
    case cmd::SpreadOne:
        page.selectSpreadOneLayer();
        return true;
    case cmd::SpreadAll:
        page.selectSpreadAll();
        return true;
    case cmd::Shrink:
        page.selectShrink();
        return true;
    case cmd::BindAnswers:
        bindAnswers(view);
        return true;
    default:
        return runStyleCommand(view, id);
    }
}

} // namespace

bool runViewCommand(CTavloView& view, int id) {
    if (!view.getCurrentPage())
        return false;
    // A command acts on the page as it is seen: the text being typed is put
    // on it first.
    view.commitEdit();
    const CommandDef* def = findCommand(id);
    std::optional<UndoStep> undo;
    if (def && def->snapshot == Snapshot::Before)
        undo.emplace(view);
    if (!dispatch(view, id))
        return false;
    if (id == cmd::SpreadOne || id == cmd::SpreadAll || id == cmd::Shrink) {
        // What shows of a laid-out tree takes room again, or gives it up.
        const std::list<ZN_ShapeBase*>& selected = view.getSelection();
        treefolds::relayout(view.getCurrentPage(),
                            std::vector<ZN_ShapeBase*>(selected.begin(), selected.end()),
                            ZN_LayoutScope::Branch);
    } else if (id != cmd::Copy && id != cmd::SelectAll) {
        // A command may have moved or resized what a layout placed.
        treefolds::forgetLayout();
    }
    if (changesWithoutSnapshot(id))
        view.markModified();
    // Binding answers changes nothing that shows.
    if (id != cmd::BindAnswers)
        view.repaint();
    return true;
}

namespace handlers {

void viewCommand(CommandTarget& frame, int id) {
    if (CTavloView* view = frame.activeView())
        runViewCommand(*view, id);
}

} // namespace handlers
