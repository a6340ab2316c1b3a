// The command table is the single source of menus, toolbars and shortcuts, so
// its rows must agree with each other.

#include <gtest/gtest.h>

#include <set>

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QToolBar>

#include "TestSupport.h"
#include "commands/CommandIds.h"
#include "commands/CommandTable.h"
#include "frames/CMainFrame.h"

namespace {

void collect(const MenuEntry& entry, std::set<int>& ids) {
    if (!entry.popup && entry.id > 0)
        ids.insert(entry.id);
    for (const MenuEntry& item : entry.items)
        collect(item, ids);
}

} // namespace

TEST(CommandTable, EveryPlacedCommandIsDefinedOnceAndEveryCommandIsReachable) {
    std::set<int> defined;
    for (const CommandDef& def : commandTable())
        EXPECT_TRUE(defined.insert(def.id).second) << "duplicate id " << def.id;

    std::set<int> placed;
    for (const MenuEntry& m : documentMenuBar())
        collect(m, placed);
    for (const MenuEntry& m : emptyMenuBar())
        collect(m, placed);
    collect(contextMenu(), placed);
    for (const ToolbarDef& bar : toolbarTable()) {
        for (int id : bar.buttons) {
            if (id != 0)
                placed.insert(id);
        }
    }
    for (const LookDef& look : lookTable())
        placed.insert(look.id);
    // The toolbar list's submenu ends with "自定义...", as does each toolbar's end button.
    placed.insert(cmd::ViewCustomize);
    for (int id : placed)
        EXPECT_TRUE(defined.count(id)) << "placed but not defined: " << id;
    for (int id : defined)
        EXPECT_TRUE(placed.count(id)) << "defined but unreachable: " << id;
}

TEST(CommandTable, ToolbarsKeepTheirButtonOrder) {
    const auto& bars = toolbarTable();
    ASSERT_EQ(bars.size(), 5u);
    EXPECT_STREQ(bars[0].title, "标准");
    EXPECT_EQ(bars[0].buttons, (std::vector<int>{57600, 57601, 57603, 0, 32771, 57635, 57634,
                                                 57637, 0, 57664}));
    EXPECT_EQ(bars[2].buttons,
              (std::vector<int>{32772, 32773, 32775, 32776, 32778, 32779, 32781, 32780}));
    EXPECT_EQ(bars[1].buttons.size(), 38u);
    EXPECT_EQ(bars[1].buttons.front(), cmd::ToolSelect);
    EXPECT_EQ(bars[1].buttons.back(), cmd::BindDrag);
    EXPECT_EQ(bars[3].buttons,
              (std::vector<int>{cmd::ZoomIn, cmd::ZoomOut, cmd::ZoomActual, cmd::ZoomFit}));
    EXPECT_STREQ(bars[4].title, "标记");
    EXPECT_EQ(bars[4].buttons.front(), cmd::InsertLink);
}

TEST(CommandTable, ShortcutsAreUniqueAndReachTheirActions) {
    testApp();
    CMainFrame frame;
    std::set<QString> seen;
    for (const CommandDef& def : commandTable()) {
        QAction* a = frame.action(def.id);
        ASSERT_NE(a, nullptr) << def.id;
        for (const QKeySequence& key : a->shortcuts())
            EXPECT_TRUE(seen.insert(key.toString()).second) << key.toString().toStdString();
        EXPECT_EQ(a->isEnabled(), def.handler != nullptr && !def.needsDocument) << def.id;
    }
    EXPECT_EQ(frame.action(cmd::Copy)->shortcuts().size(), 2);
    EXPECT_EQ(frame.action(cmd::ToolRect)->statusTip(), "切换操作为画图（矩形）状态");
    EXPECT_EQ(frame.action(cmd::ToolRect)->toolTip(), "矩形");
    EXPECT_EQ(frame.action(cmd::ToolCapture)->toolTip(), "截图区域");
    // Ten buttons and separators, then the customise button.
    EXPECT_EQ(frame.toolbar(0)->actions().size(), 11);
    ASSERT_NE(frame.viewContextMenu(), nullptr);
    EXPECT_EQ(frame.viewContextMenu()->title(), "编辑");
    EXPECT_EQ(frame.viewContextMenu()->actions().size(), 6);
}
