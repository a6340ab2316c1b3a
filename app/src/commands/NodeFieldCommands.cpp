#include "commands/NodeFieldCommands.h"

#include <algorithm>

#include <QDockWidget>
#include <QMainWindow>
#include <QStatusBar>

#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_Markers.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>

#include "commands/CommandIds.h"
#include "commands/CommandTarget.h"
#include "dialogs/CDlgHyperlink.h"
#include "dialogs/CommandPrompts.h"
#include "document/CTavloDoc.h"
#include "document/NodeFieldEdits.h"
#include "folder/CFolderFrame.h"
#include "view/CTavloView.h"
#include "view/UndoStep.h"

namespace {

// How much of a label the link dialog's list shows.
constexpr int kListedChars = 60;

std::vector<ZN_ShapeBase*> selectedBoxes(const CTavloView& view) {
    std::vector<ZN_ShapeBase*> boxes;
    for (ZN_ShapeBase* s : view.getSelection())
        if (holdsFields(s))
            boxes.push_back(s);
    return boxes;
}

std::vector<ZN_ShapeManager*> documentPages(const CTavloView& view) {
    if (view.document())
        return view.document()->shapeData().managers;
    return {view.getCurrentPage()};
}

void tell(CommandTarget& frame, const QString& text) {
    frame.mainWindow()->statusBar()->showMessage(text);
}

QString listed(const ZN_ShapeBase* s) {
    QString label = s->getLabel() ? QString::fromStdString(s->getLabel()->getText()) : QString();
    label.replace('\n', ' ');
    label = label.trimmed();
    if (label.size() > kListedChars)
        label = label.left(kListedChars) + "…";
    return label.isEmpty() ? QString("（无标签）") : label;
}

QDockWidget* notesDock(CommandTarget& frame) {
    return frame.mainWindow()->findChild<QDockWidget*>("dockNotes");
}

} // namespace

const std::vector<CommandDef>& nodeFieldCommands() {
    static const std::vector<std::string> prompts = [] {
        std::vector<std::string> v;
        for (const ZN_MarkerInfo& m : ZN_MarkerSet()) {
            const std::string title(m.title);
            v.push_back("在选中的框上添加或去掉标记“" + title + "”\n" + title);
        }
        return v;
    }();
    static const std::vector<CommandDef> rows = [] {
        std::vector<CommandDef> v = {
            {cmd::ViewNotes, "备注面板", "显示或隐藏编辑备注和属性的面板\n备注面板", nullptr,
             Snapshot::No, handlers::toggleNotesPanel, handlers::notesPanelShown},
            {cmd::InsertLink, "超链接(&H)...\tCtrl+K",
             "为选中的框设置或删除链接（网址、文件或本文档中的节点）\n超链接", "Ctrl+K",
             Snapshot::No, handlers::insertLink, nullptr, true},
            {cmd::MarkerClear, "清除标记", "去掉选中的框上的所有标记\n清除标记", nullptr,
             Snapshot::No, handlers::clearMarkers, nullptr, true},
        };
        const auto& set = ZN_MarkerSet();
        for (std::size_t i = 0; i < set.size(); ++i)
            v.push_back({cmd::MarkerFirst + static_cast<int>(i), set[i].title.data(),
                         prompts[i].c_str(), nullptr, Snapshot::No, handlers::toggleMarker,
                         handlers::markerChecked, true});
        return v;
    }();
    return rows;
}

MenuEntry markerMenu() {
    MenuEntry menu{"标记(&M)", 0, {}};
    const auto group = [](ZN_MarkerGroup g) {
        std::vector<MenuEntry> items;
        const auto& set = ZN_MarkerSet();
        for (std::size_t i = 0; i < set.size(); ++i)
            if (set[i].group == g)
                items.push_back({nullptr, cmd::MarkerFirst + static_cast<int>(i), {}});
        return items;
    };
    menu.items.push_back({"优先级", 0, group(ZN_MarkerGroup::Priority)});
    menu.items.push_back({"进度", 0, group(ZN_MarkerGroup::Progress)});
    menu.items.push_back({"旗帜", 0, group(ZN_MarkerGroup::Flag)});
    menu.items.push_back({nullptr, 0, {}});
    for (MenuEntry& e : group(ZN_MarkerGroup::Task))
        menu.items.push_back(std::move(e));
    menu.items.push_back({nullptr, 0, {}});
    for (MenuEntry& e : group(ZN_MarkerGroup::Symbol))
        menu.items.push_back(std::move(e));
    menu.items.push_back({nullptr, 0, {}});
    menu.items.push_back({nullptr, cmd::MarkerClear, {}});
    return menu;
}

const char* markerOfCommand(int id) {
    const auto& set = ZN_MarkerSet();
    const int i = id - cmd::MarkerFirst;
    if (i < 0 || i >= static_cast<int>(set.size()) || id > cmd::MarkerLast)
        return nullptr;
    return set[static_cast<std::size_t>(i)].name.data();
}

int markerCommand(const std::string& name) {
    const auto& set = ZN_MarkerSet();
    for (std::size_t i = 0; i < set.size(); ++i)
        if (set[i].name == name)
            return cmd::MarkerFirst + static_cast<int>(i);
    return 0;
}

int toggleMarkerOnSelection(CTavloView& view, const std::string& name) {
    const std::vector<ZN_ShapeBase*> boxes = selectedBoxes(view);
    if (boxes.empty() || !view.getCurrentPage())
        return 0;
    UndoStep undo(view);
    const int changed = toggleMarkerOn(boxes, name);
    view.update();
    return changed;
}

int clearMarkersOnSelection(CTavloView& view) {
    std::vector<ZN_ShapeBase*> marked;
    for (ZN_ShapeBase* s : selectedBoxes(view))
        if (!s->getFields().markers.empty())
            marked.push_back(s);
    if (marked.empty())
        return 0;
    UndoStep undo(view);
    for (ZN_ShapeBase* s : marked) {
        ZN_NodeFields f = s->getFields();
        f.markers.clear();
        setNodeFields(*s, std::move(f));
    }
    view.update();
    return static_cast<int>(marked.size());
}

ZN_ShapeBase* linkNode(const CTavloView& view) {
    const std::vector<ZN_ShapeBase*> boxes = selectedBoxes(view);
    return boxes.empty() ? nullptr : boxes.front();
}

bool setNodeLink(CTavloView& view, ZN_ShapeBase& node, const std::string& link) {
    if (node.getFields().link == link)
        return false;
    UndoStep undo(view);
    ZN_NodeFields f = node.getFields();
    f.link = link;
    setNodeFields(node, std::move(f));
    view.update();
    return true;
}

bool linkToNode(CTavloView& view, ZN_ShapeBase& node, int page, ZN_ShapeBase& target) {
    std::string anchor = target.getFields().anchor;
    if (!anchor.empty() && node.getFields().link == "#" + anchor)
        return false;
    UndoStep undo(view);
    if (anchor.empty()) {
        const std::vector<ZN_ShapeManager*> pages = documentPages(view);
        anchor = freshAnchor(pages);
        // The target's own page keeps its undo step apart.
        if (page >= 0 && static_cast<std::size_t>(page) < pages.size() &&
            pages[static_cast<std::size_t>(page)] != view.getCurrentPage())
            UndoStep(view, *pages[static_cast<std::size_t>(page)]).change();
        ZN_NodeFields t = target.getFields();
        t.anchor = anchor;
        setNodeFields(target, std::move(t));
    }
    ZN_NodeFields f = node.getFields();
    f.link = "#" + anchor;
    setNodeFields(node, std::move(f));
    view.update();
    return true;
}

namespace handlers {

void toggleNotesPanel(CommandTarget& frame, int) {
    if (QDockWidget* dock = notesDock(frame)) {
        dock->setVisible(dock->isHidden());
        if (dock->isVisible())
            dock->raise();
    }
}

bool notesPanelShown(CommandTarget& frame, int) {
    const QDockWidget* dock = notesDock(frame);
    return dock && !dock->isHidden();
}

void insertLink(CommandTarget& frame, int) {
    CTavloView* view = frame.activeView();
    if (!view || !view->getCurrentPage() || view->isEditing())
        return;
    ZN_ShapeBase* node = linkNode(*view);
    if (!node) {
        tell(frame, "请先选中一个框");
        return;
    }
    const std::vector<ZN_ShapeManager*> pages = documentPages(*view);
    const CTavloDoc* doc = frame.activeDocument();
    std::vector<CDlgHyperlink::Target> targets;
    std::vector<ZN_ShapeBase*> shapes;
    const std::string_view anchor = ZN_LinkedAnchor(node->getFields().link);
    int current = -1;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const QString pageName =
            doc ? QString::fromStdString(doc->shapeData().pageName(static_cast<int>(p)))
                : QString("页%1").arg(p + 1);
        for (ZN_ShapeBase* s : pages[p]->getShapeArray()) {
            if (s == node || !holdsFields(s))
                continue;
            if (!anchor.empty() && s->hasFields() && s->getFields().anchor == anchor)
                current = static_cast<int>(shapes.size());
            targets.push_back({static_cast<int>(p), pageName + ": " + listed(s)});
            shapes.push_back(s);
        }
    }
    CDlgHyperlink dialog(QString::fromStdString(node->getFields().link), std::move(targets), current,
                         frame.mainWindow());
    if (!commandPrompts().runDialog(dialog))
        return;
    switch (dialog.choice()) {
    case CDlgHyperlink::Choice::Remove:
        if (setNodeLink(*view, *node, std::string()))
            tell(frame, "已删除链接");
        return;
    case CDlgHyperlink::Choice::Address:
        setNodeLink(*view, *node, dialog.address());
        return;
    case CDlgHyperlink::Choice::Node: {
        const int t = dialog.target();
        if (t < 0 || static_cast<std::size_t>(t) >= shapes.size())
            return;
        int page = 0;
        for (std::size_t p = 0; p < pages.size(); ++p) {
            const auto& onPage = pages[p]->getShapeArray();
            if (std::find(onPage.begin(), onPage.end(), shapes[static_cast<std::size_t>(t)]) !=
                onPage.end())
                page = static_cast<int>(p);
        }
        linkToNode(*view, *node, page, *shapes[static_cast<std::size_t>(t)]);
        return;
    }
    }
}

void toggleMarker(CommandTarget& frame, int id) {
    CTavloView* view = frame.activeView();
    const char* name = markerOfCommand(id);
    if (!view || !name)
        return;
    if (toggleMarkerOnSelection(*view, name) == 0)
        tell(frame, "请先选中要加标记的框");
}

bool markerChecked(CommandTarget& frame, int id) {
    const CTavloView* view = frame.activeView();
    const char* name = markerOfCommand(id);
    if (!view || !name)
        return false;
    // Checked when every selected box shows it, as a click then takes it off;
    // the walk stops at the first box without it. The connectors listed
    // before the boxes are passed over without asking what they are.
    bool any = false;
    for (const ZN_ShapeBase* s : view->getSelection()) {
        if (s->type() == 1 || !holdsFields(s))
            continue;
        const auto& m = s->getFields().markers;
        if (std::find(m.begin(), m.end(), name) == m.end())
            return false;
        any = true;
    }
    return any;
}

void clearMarkers(CommandTarget& frame, int) {
    if (CTavloView* view = frame.activeView())
        clearMarkersOnSelection(*view);
}

} // namespace handlers
