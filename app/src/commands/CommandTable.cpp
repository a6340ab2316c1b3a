#include "commands/CommandTable.h"

#include <algorithm>

#include "commands/CommandIds.h"
#include "commands/EditCommands.h"
#include "commands/ExportCommands.h"
#include "commands/FrameCommands.h"
#include "commands/InterchangeCommands.h"
#include "commands/LayoutCommands.h"
#include "commands/NodeFieldCommands.h"
#include "commands/PrintCommands.h"
#include "commands/ViewCommands.h"

namespace {

using namespace handlers;

const std::vector<CommandDef> kTableCommands = {
    // File
    {cmd::New, "新建(&N)\tCtrl+N", "创建新文档\n新建", "Ctrl+N", Snapshot::No, fileNew},
    {cmd::Open, "打开(&O)...\tCtrl+O", "打开现有文档\n打开", "Ctrl+O", Snapshot::No, fileOpen},
    {cmd::Close, "关闭(&C)", "关闭活动文档\n关闭", nullptr, Snapshot::No, fileClose, nullptr, true},
    {cmd::Save, "保存(&S)\tCtrl+S", "保存活动文档\n保存", "Ctrl+S", Snapshot::No, fileSave, nullptr,
     true},
    {cmd::SaveAs, "另存为(&A)...", "用新名称保存活动文档\n另存为", nullptr, Snapshot::No,
     fileSaveAs, nullptr, true},
    {cmd::DocOption, "文档选项(&D)...\tCtrl+Shift+D", nullptr, nullptr, Snapshot::No, docOption,
     nullptr, true},
    {cmd::Export, "导出(&E)...", "将当前页导出为 PNG、SVG、PDF 文件或其他程序的导图\n导出", nullptr,
     Snapshot::No, fileExport, nullptr, true},
    {cmd::Print, "打印(&P)...\tCtrl+P", "打印活动文档\n打印", "Ctrl+P", Snapshot::No, filePrint,
     nullptr, true},
    {cmd::PrintDirect, "快速打印", "使用当前选项打印活动文档\n快速打印", nullptr, Snapshot::No,
     filePrintDirect, nullptr, true},
    {cmd::PrintPreview, "打印预览(&V)", "显示整页\n打印预览", nullptr, Snapshot::No,
     filePrintPreview, nullptr, true},
    {cmd::PrintSetup, "打印设置(&R)...", "更改打印机选项和打印选项\n打印设置", nullptr,
     Snapshot::No, filePrintSetup},
    {cmd::Exit, "退出(&X)", "退出应用程序；提示保存文档\n退出", nullptr, Snapshot::No, appExit},
    // Edit
    {cmd::Undo, "撤消(&U)\tCtrl+Z", "撤消上一个操作\n撤消", "Ctrl+Z;Alt+Backspace", Snapshot::No,
     viewCommand, nullptr, true},
    {cmd::Redo, "重做", "重做上次撤消的操作\n重做", "Ctrl+Y", Snapshot::No, viewCommand, nullptr,
     true},
    {cmd::Cut, "剪切(&T)\tCtrl+X", "剪切所选内容，并将其放到剪贴板上\n剪切", "Ctrl+X;Shift+Del",
     Snapshot::No, viewCommand, nullptr, true},
    {cmd::Copy, "复制(&C)\tCtrl+C", "复制所选内容，将其放入剪贴板\n复制", "Ctrl+C;Ctrl+Ins",
     Snapshot::No, viewCommand, nullptr, true},
    {cmd::Paste, "粘贴(&P)\tCtrl+V", "插入剪贴板内容\n粘贴", "Ctrl+V;Shift+Ins", Snapshot::Before,
     viewCommand, nullptr, true},
    {cmd::SelectAll, "全选", "选定整个文档\n全选", "Ctrl+A", Snapshot::No, viewCommand, nullptr,
     true},
    {cmd::Clear, "清除", "清除选中对象\n清除", nullptr, Snapshot::Before, viewCommand, nullptr,
     true},
    // Find and replace, in the document window's find bar
    {cmd::Find, "查找(&F)...\tCtrl+F", "在标签和文本中查找\n查找", "Ctrl+F", Snapshot::No,
     findText, nullptr, true},
    {cmd::Replace, "替换(&R)...\tCtrl+H", "查找并替换标签和文本中的文字\n替换", "Ctrl+H",
     Snapshot::No, findText, nullptr, true},
    {cmd::FindNext, "查找下一个\tF3", "转到下一个匹配\n查找下一个", "F3", Snapshot::No, findText,
     nullptr, true},
    {cmd::FindPrevious, "查找上一个\tShift+F3", "转到上一个匹配\n查找上一个", "Shift+F3",
     Snapshot::No, findText, nullptr, true},
    // Point properties
    {cmd::PointBig, "大", nullptr, nullptr, Snapshot::Before, viewCommand, nullptr, true},
    {cmd::PointZero, "零大小", nullptr, nullptr, Snapshot::Before, viewCommand, nullptr, true},
    {cmd::PointSize, "自定义大小", "设置选中的点的大小\n点大小设置", nullptr, Snapshot::AfterOk,
     viewCommand, nullptr, true},
    {cmd::PointFree, "自由点(鼠标控制)", nullptr, nullptr, Snapshot::Before, viewCommand, nullptr,
     true},
    {cmd::PointTree, "树点(鼠标控制)", nullptr, nullptr, Snapshot::Before, viewCommand, nullptr,
     true},
    // Line properties
    {cmd::LineThick, "粗线", "将选中的对象设置为粗线\n粗线", nullptr, Snapshot::Before, viewCommand,
     nullptr, true},
    {cmd::LineThin, "细线", "将选中的对象设置为细线\n细线", nullptr, Snapshot::Before, viewCommand,
     nullptr, true},
    {cmd::LineWidth, "自定义粗细", "设置选中的对象的线条粗细\n自定义粗细", nullptr,
     Snapshot::AfterOk, viewCommand, nullptr, true},
    {cmd::LinePolyline, "折线段", "将选中的线条设置为折线段\n折线段", nullptr, Snapshot::Before,
     viewCommand, nullptr, true},
    {cmd::LineCurve, "弯曲线", "将选中的线条设置为弯曲线\n弯曲线", nullptr, Snapshot::Before,
     viewCommand, nullptr, true},
    {cmd::LineArrow, "箭头", "设置选中线条的箭头\n箭头", nullptr, Snapshot::AfterOk, viewCommand,
     nullptr, true},
    {cmd::LineGradual, "渐变", "设置选中线条的设置粗细渐变及颜色渐变\n粗细渐变及颜色渐变", nullptr,
     Snapshot::AfterOk, viewCommand, nullptr, true},
    {cmd::LineOffsetH, "水平偏移量", nullptr, nullptr, Snapshot::AfterOk, viewCommand, nullptr,
     true},
    // Box properties
    {cmd::RectFrame, "外框显示", nullptr, nullptr, Snapshot::Before, viewCommand, nullptr, true},
    {cmd::RectUnderline, "下横线显示", nullptr, nullptr, Snapshot::Before, viewCommand, nullptr,
     true},
    {cmd::InsertPicture, "加截图片", nullptr, nullptr, Snapshot::No, viewCommand, nullptr, true},
    {cmd::GradualAround, "环绕", nullptr, nullptr, Snapshot::No, viewCommand, nullptr, true},
    {cmd::GradualLeftMidRight, "左中右", nullptr, nullptr, Snapshot::No, viewCommand, nullptr,
     true},
    {cmd::GradualLeftRight, "左右", nullptr, nullptr, Snapshot::No, viewCommand, nullptr, true},
    {cmd::GradualTopMidBottom, "上中下", nullptr, nullptr, Snapshot::No, viewCommand, nullptr,
     true},
    {cmd::GradualTopBottom, "上下", nullptr, nullptr, Snapshot::No, viewCommand, nullptr, true},
    {cmd::GradualNone, "无渐变", nullptr, nullptr, Snapshot::No, viewCommand, nullptr, true},
    {cmd::GradualColor, "渐变颜色", nullptr, nullptr, Snapshot::AfterOk, viewCommand, nullptr,
     true},
    {cmd::HideText, "隐藏文字", "隐藏文字\n隐藏文字", nullptr, Snapshot::No, viewCommand, nullptr,
     true},
    {cmd::ShowText, "显示文字", "显示文字\n显示文字", nullptr, Snapshot::No, viewCommand, nullptr,
     true},
    // Colour, font and paragraph
    {cmd::FillColor, "填充颜色", "设置选中框的填充颜色\n填充颜色", nullptr, Snapshot::AfterOk,
     viewCommand, nullptr, true},
    {cmd::LineColor, "边框或线条颜色", "设置选中对象的边框或线条颜色\n边框或线条颜色", nullptr,
     Snapshot::AfterOk, viewCommand, nullptr, true},
    {cmd::Font, "字体", "设置选中对象的字体\n字体", nullptr, Snapshot::AfterOk, viewCommand,
     nullptr, true},
    {cmd::FontColor, "文字颜色", "设置选中框或文本的文字颜色\n文字颜色", nullptr, Snapshot::No,
     viewCommand, nullptr, true},
    {cmd::TextLeft, "居左", nullptr, nullptr, Snapshot::No, viewCommand, nullptr, true},
    {cmd::TextCenter, "居中", nullptr, nullptr, Snapshot::No, viewCommand, nullptr, true},
    {cmd::TextRight, "居右", nullptr, nullptr, Snapshot::No, viewCommand, nullptr, true},
    // Subtree display
    {cmd::SpreadOne, "展开一层", "将选中对象的下一级子对象显示\n展开一层", nullptr,
     Snapshot::Before, viewCommand, nullptr, true},
    {cmd::SpreadAll, "展开子对象", "将选中对象的所有子对象显示\n展开子对象", nullptr,
     Snapshot::Before, viewCommand, nullptr, true},
    {cmd::Shrink, "收缩子对象", "将选中对象的所有子对象隐蔽\n收缩子对象", nullptr, Snapshot::Before,
     viewCommand, nullptr, true},
    // Drawing tools
    {cmd::ToolSelect, "选取", "切换操作为选取状态\n选取", nullptr, Snapshot::No, chooseTool,
     nullptr, true},
    {cmd::ToolRect, "矩形", "切换操作为画图（矩形）状态\n矩形", nullptr, Snapshot::No, chooseTool,
     nullptr, true},
    {cmd::ToolRoundRect, "圆角矩形", "切换操作为画图（圆角矩形）状态\n圆角矩形", nullptr,
     Snapshot::No, chooseTool, nullptr, true},
    {cmd::ToolRhombus, "菱形", "切换操作为画图（菱形）状态\n菱形", nullptr, Snapshot::No,
     chooseTool, nullptr, true},
    {cmd::ToolParallelogram, "平行四边形", "切换操作为画图（平行四边形）状态\n平行四边形", nullptr,
     Snapshot::No, chooseTool, nullptr, true},
    {cmd::ToolEllipse, "椭圆", "切换操作为画图（椭圆）状态\n椭圆", nullptr, Snapshot::No,
     chooseTool, nullptr, true},
    {cmd::ToolPoint, "点", "切换操作为画图（画点）状态\n点", nullptr, Snapshot::No, chooseTool,
     nullptr, true},
    {cmd::ToolLine, "连接线", "切换操作为画图（画连接父子关系线）状态\n连接线", nullptr,
     Snapshot::No, chooseTool, nullptr, true},
    {cmd::ToolText, "文本", "切换操作为画图（写文字）状态\n文本", nullptr, Snapshot::No, chooseTool,
     nullptr, true},
    {cmd::ToolCapture, "截图区域", nullptr, nullptr, Snapshot::No, chooseTool, nullptr, true},
    {cmd::ToolTable, "填空表格", nullptr, nullptr, Snapshot::No, chooseTool, nullptr, true},
    {cmd::BindAnswers, "绑定答案", nullptr, nullptr, Snapshot::No, viewCommand, nullptr, true},
    // Arrangement
    {cmd::LayerTop, "置于顶层", "将选中的对象置于最上层显示\n置于顶层", nullptr, Snapshot::Before,
     viewCommand, nullptr, true},
    {cmd::LayerBottom, "置于底层", "将选中的对象置于最底层显示\n置于底层", nullptr,
     Snapshot::Before, viewCommand, nullptr, true},
    {cmd::LayerUp, "上移一层", "将选中的对象上移一层显示\n上移一层", nullptr, Snapshot::Before,
     viewCommand, nullptr, true},
    {cmd::LayerDown, "下移一层", "将选中的对象下移一层显示\n下移一层", nullptr, Snapshot::Before,
     viewCommand, nullptr, true},
    {cmd::AlignLeft, "左对齐", "将几个选中的框对象左对齐\n左对齐", nullptr, Snapshot::Before,
     viewCommand, nullptr, true},
    {cmd::AlignHCenter, "水平居中", "将几个选中的框对象水平居中对齐\n水平居中", nullptr,
     Snapshot::Before, viewCommand, nullptr, true},
    {cmd::AlignRight, "右对齐", "将几个选中的框对象右对齐\n右对齐", nullptr, Snapshot::Before,
     viewCommand, nullptr, true},
    {cmd::AlignTop, "顶端对齐", "将几个选中的框对象顶端对齐\n顶端对齐", nullptr, Snapshot::Before,
     viewCommand, nullptr, true},
    {cmd::AlignVCenter, "垂直居中", "将几个选中的框对象垂直居中对齐\n垂直居中", nullptr,
     Snapshot::Before, viewCommand, nullptr, true},
    {cmd::AlignBottom, "底端对齐", "将几个选中的框对象底端对齐\n底端对齐", nullptr,
     Snapshot::Before, viewCommand, nullptr, true},
    {cmd::DistributeH, "横向分布", "将几个选中的框对象横向平均分布\n横向分布", nullptr,
     Snapshot::Before, viewCommand, nullptr, true},
    {cmd::DistributeV, "纵向分布", "将几个选中的框对象纵向平均分布\n纵向分布", nullptr,
     Snapshot::Before, viewCommand, nullptr, true},
    {cmd::SameSize, "大小一致", "将几个选中的框对象大小一致\n大小一致", nullptr, Snapshot::Before,
     viewCommand, nullptr, true},
    {cmd::SameWidth, "宽度一致", "将几个选中的框对象宽度一致\n宽度一致", nullptr, Snapshot::Before,
     viewCommand, nullptr, true},
    {cmd::SameHeight, "高度一致", "将几个选中的框对象高度一致\n高度一致", nullptr, Snapshot::Before,
     viewCommand, nullptr, true},
    // Automatic line layout
    {cmd::AutoPolyline, "折线分支式", "将选中的线条重置折点\n折线分支式", nullptr, Snapshot::No,
     viewCommand, nullptr, true},
    {cmd::AutoCurve, "曲线分支式", "将选中的线条重置折点\n曲线分支式", nullptr, Snapshot::No,
     viewCommand, nullptr, true},
    {cmd::AutoPalm, "手掌分支式", "将选中的线条重置折点\n手掌分支式", nullptr, Snapshot::No,
     viewCommand, nullptr, true},
    {cmd::AutoStraight, "直线分式式", "将选中的线条重置折点\n直线分支式", nullptr, Snapshot::No,
     viewCommand, nullptr, true},
    // Settings
    {cmd::BindDrag, "父子绑定拖动", "拖动对象时，子对象是否一起带动\n父子绑定拖动", nullptr,
     Snapshot::No, toggleBindDrag, bindDragChecked, true},
    {cmd::AutoSaveSetting, "自动保存(&A)...", "设置自动保存恢复副本的间隔\n自动保存", nullptr,
     Snapshot::No, autoSaveSetting},
    {cmd::EnterCommitsEdit, "回车键确认编辑",
     "编辑文字时回车键确认输入，Shift+回车换行，Tab 确认并添加子节点\n回车键确认编辑", nullptr,
     Snapshot::No, toggleEnterCommits, enterCommitsChecked},
    // Zoom
    {cmd::ZoomIn, "放大\tCtrl+=", "放大视图\n放大", "Ctrl+=;Ctrl++", Snapshot::No, zoomView,
     nullptr, true},
    {cmd::ZoomOut, "缩小\tCtrl+-", "缩小视图\n缩小", "Ctrl+-", Snapshot::No, zoomView, nullptr,
     true},
    {cmd::ZoomActual, "实际大小\tCtrl+0", "按实际大小显示\n实际大小", "Ctrl+0", Snapshot::No,
     zoomView, nullptr, true},
    {cmd::ZoomFit, "适合页面\tCtrl+9", "缩放视图以显示所有对象\n适合页面", "Ctrl+9", Snapshot::No,
     zoomView, nullptr, true},
    // View, window, help
    {cmd::StatusBar, "状态栏(&S)", "显示或隐藏状态栏\n显隐状态栏", nullptr, Snapshot::No,
     toggleStatusBar, statusBarShown},
    {cmd::ViewOverview, "概览窗口", "显示或隐藏概览窗口\n概览窗口", nullptr, Snapshot::No,
     toggleOverview, overviewShown},
    {cmd::ViewCustomize, "自定义...", nullptr, nullptr, Snapshot::No, viewCustomize},
    {cmd::WindowNew, "新建窗口(&N)", "为活动文档打开另一个窗口\n新建窗口", nullptr, Snapshot::No,
     nullptr},
    {cmd::WindowCascade, "层叠(&C)", "以重叠方式排列窗口\n层叠窗口", nullptr, Snapshot::No,
     windowCascade, nullptr, true},
    {cmd::WindowTileHorz, "平铺(&T)", "以非重叠平铺方式排列窗口\n平铺窗口", nullptr, Snapshot::No,
     windowTile, nullptr, true},
    {cmd::WindowArrange, "排列图标(&A)", "在窗口底部排列图标\n排列图标", nullptr, Snapshot::No,
     windowArrange, nullptr, true},
    {cmd::WindowManager, "窗口(&W)...", "管理当前打开的窗口\n窗口", nullptr, Snapshot::No,
     windowManager, nullptr, true},
    {cmd::About, "关于 Tavlo(&A)...", "显示程序信息、版本号和版权信息\n关于", nullptr, Snapshot::No,
     appAbout},
    {cmd::OpenTemplate, "打开模板", nullptr, nullptr, Snapshot::No, openTemplate},
    {205, "Windows 2000(&2)", nullptr, nullptr, Snapshot::No, appLook, appLookChecked},
    {206, "Office XP(&X)", nullptr, nullptr, Snapshot::No, appLook, appLookChecked},
    {207, "Windows XP(&W)", nullptr, nullptr, Snapshot::No, appLook, appLookChecked},
    {208, "Office 2003(&3)", nullptr, nullptr, Snapshot::No, appLook, appLookChecked},
    {209, "Visual Studio 200&5", nullptr, nullptr, Snapshot::No, appLook, appLookChecked},
    {210, "Visual Studio 200&8", nullptr, nullptr, Snapshot::No, appLook, appLookChecked},
    {215, "蓝色样式(&B)", nullptr, nullptr, Snapshot::No, appLook, appLookChecked},
    {216, "黑色样式(&L)", nullptr, nullptr, Snapshot::No, appLook, appLookChecked},
    {217, "银色样式(&S)", nullptr, nullptr, Snapshot::No, appLook, appLookChecked},
    {218, "水绿色样式(&A)", nullptr, nullptr, Snapshot::No, appLook, appLookChecked},
    {219, "Windows 7(&D)", nullptr, nullptr, Snapshot::No, appLook, appLookChecked},
    // Maps of other programs. The two tree commands take their snapshot
    // themselves, and only when they change the page.
    {cmd::Import, "导入(&I)...",
     "将其他程序的导图（.mm .xmind .opml .md .txt .km .mmd .puml）作为新文档打开\n导入", nullptr, Snapshot::No,
     fileImport},
    {cmd::PasteAsTree, "粘贴为树\tCtrl+Shift+V",
     "将剪贴板中的缩进文本或 Markdown 列表作为树插入到选中的框下\n粘贴为树", "Ctrl+Shift+V",
     Snapshot::No, pasteAsTree, nullptr, true},
    {cmd::CopyAsText, "复制为文本\tCtrl+Shift+C",
     "将选中节点的子树作为缩进文本和 Markdown 列表复制到剪贴板\n复制为文本", "Ctrl+Shift+C",
     Snapshot::No, copyAsText, nullptr, true},
    {cmd::AutoLayout, "整理选中的子树",
     "将选中节点的子树排列为整齐的树，不改变树的布局\n整理选中的子树", nullptr, Snapshot::No,
     autoLayout, nullptr, true},
    // The layouts a tree keeps; each takes its snapshot when it changes the page.
    {cmd::LayoutMindMap, "思维导图", "中心主题居中，分支分列左右\n思维导图", nullptr, Snapshot::No,
     applyLayout, layoutChecked, true},
    {cmd::LayoutLogicRight, "向右逻辑图", "分支向右展开\n向右逻辑图", nullptr, Snapshot::No,
     applyLayout, layoutChecked, true},
    {cmd::LayoutLogicLeft, "向左逻辑图", "分支向左展开\n向左逻辑图", nullptr, Snapshot::No,
     applyLayout, layoutChecked, true},
    {cmd::LayoutOrgChart, "组织结构图", "子节点在父节点下方居中排列\n组织结构图", nullptr,
     Snapshot::No, applyLayout, layoutChecked, true},
    {cmd::LayoutTreeChart, "目录树", "子节点在父节点下方缩进，每行一个\n目录树", nullptr,
     Snapshot::No, applyLayout, layoutChecked, true},
    // Folding whole trees
    {cmd::ExpandAll, "全部展开", "展开选中的树（未选中时为本页所有的树）的全部分支\n全部展开",
     nullptr, Snapshot::No, expandAll, nullptr, true},
    {cmd::CollapseAll, "全部折叠", "折叠选中的树（未选中时为本页所有的树）的全部分支\n全部折叠",
     nullptr, Snapshot::No, collapseAll, nullptr, true},
    {cmd::ExpandToLevel, "展开到第 N 层...", "将选中的树展开到指定的层数\n展开到第 N 层", nullptr,
     Snapshot::No, expandToLevel, nullptr, true},
    {cmd::ClickSelectsOne, "单击只选中一个",
     "单击框时只选中它，Ctrl+单击或 Shift+单击加选或取消\n单击只选中一个", nullptr, Snapshot::No,
     toggleClickSelectsOne, clickSelectsOneChecked},
};

// The table's own rows, then those of the commands that keep theirs apart.
const std::vector<CommandDef> kCommands = [] {
    std::vector<CommandDef> all = kTableCommands;
    const std::vector<CommandDef>& fields = nodeFieldCommands();
    all.insert(all.end(), fields.begin(), fields.end());
    return all;
}();

MenuEntry item(int id) {
    return MenuEntry{nullptr, id, {}};
}
MenuEntry sep() {
    return MenuEntry{nullptr, 0, {}};
}
MenuEntry popup(const char* title, std::vector<MenuEntry> items) {
    return MenuEntry{title, 0, std::move(items)};
}

MenuEntry fileMenu(bool full) {
    if (!full)
        return popup("文件(&F)", {item(cmd::New), item(cmd::Open), item(cmd::Import),
                                  item(cmd::Close), sep(), item(cmd::PrintSetup), sep(),
                                  item(menuslot::RecentFiles), sep(), item(cmd::Exit)});
    return popup("文件(&F)", {item(cmd::New), item(cmd::Open), item(cmd::Import), item(cmd::Close),
                              item(cmd::Save), item(cmd::SaveAs), sep(), item(cmd::DocOption),
                              item(cmd::Export), sep(), item(cmd::Print), item(cmd::PrintDirect),
                              item(cmd::PrintPreview), item(cmd::PrintSetup), sep(),
                              item(menuslot::RecentFiles), sep(), item(cmd::Exit)});
}

MenuEntry viewMenu(bool full) {
    if (!full)
        return popup("视图(&V)", {item(menuslot::ToolbarList), item(cmd::StatusBar),
                                  item(cmd::ViewOverview), item(menuslot::LookList)});
    return popup("视图(&V)",
                 {item(menuslot::ToolbarList), item(cmd::StatusBar), item(cmd::ViewOverview),
                  item(cmd::ViewNotes), item(menuslot::LookList), sep(), item(cmd::ZoomIn),
                  item(cmd::ZoomOut), item(cmd::ZoomActual), item(cmd::ZoomFit), sep(),
                  item(cmd::ExpandAll), item(cmd::CollapseAll), item(cmd::ExpandToLevel)});
}

MenuEntry helpMenu() {
    return popup("帮助(&H)", {item(cmd::OpenTemplate), sep(), item(cmd::About)});
}

} // namespace

const std::vector<CommandDef>& commandTable() {
    return kCommands;
}

const CommandDef* findCommand(int id) {
    const auto it = std::find_if(kCommands.begin(), kCommands.end(),
                                 [id](const CommandDef& d) { return d.id == id; });
    return it == kCommands.end() ? nullptr : &*it;
}

const std::vector<MenuEntry>& documentMenuBar() {
    static const std::vector<MenuEntry> menus = {
        fileMenu(true),
        popup("编辑(&E)", {item(cmd::Undo), item(cmd::Redo), sep(), item(cmd::Cut), item(cmd::Copy),
                           item(cmd::CopyAsText), item(cmd::Paste), item(cmd::PasteAsTree), item(cmd::Clear), sep(),
                           item(cmd::SelectAll), sep(), item(cmd::Find), item(cmd::Replace),
                           item(cmd::FindNext), item(cmd::FindPrevious)}),
        viewMenu(true),
        popup("插入(&I)", {item(cmd::InsertLink), markerMenu()}),
        popup("画图", {item(cmd::ToolSelect), sep(), item(cmd::ToolRect), item(cmd::ToolRoundRect),
                       item(cmd::ToolRhombus), item(cmd::ToolParallelogram), item(cmd::ToolEllipse),
                       item(cmd::ToolPoint), item(cmd::ToolLine), item(cmd::ToolText)}),
        popup("特殊画图",
              {item(cmd::ToolCapture), item(cmd::ToolTable), sep(), item(cmd::BindAnswers)}),
        popup("点属性", {item(cmd::PointBig), item(cmd::PointZero), item(cmd::PointSize), sep(),
                         item(cmd::PointFree), item(cmd::PointTree)}),
        popup("线属性",
              {item(cmd::LineThick), item(cmd::LineThin), item(cmd::LineWidth), sep(),
               item(cmd::LinePolyline), item(cmd::LineCurve), item(cmd::LineArrow),
               item(cmd::LineGradual), item(cmd::LineOffsetH), sep(), item(cmd::LineColor), sep(),
               popup("线条的自动排列", {item(cmd::AutoPolyline), item(cmd::AutoCurve),
                                        item(cmd::AutoPalm), item(cmd::AutoStraight)})}),
        popup("框属性",
              {item(cmd::RectFrame),
               item(cmd::RectUnderline),
               item(cmd::InsertPicture),
               sep(),
               popup("渐变方式", {item(cmd::GradualAround), item(cmd::GradualLeftMidRight),
                                  item(cmd::GradualLeftRight), item(cmd::GradualTopMidBottom),
                                  item(cmd::GradualTopBottom), sep(), item(cmd::GradualNone)}),
               item(cmd::GradualColor),
               sep(),
               item(cmd::FillColor),
               item(cmd::Font),
               item(cmd::FontColor),
               item(cmd::TextLeft),
               item(cmd::TextCenter),
               item(cmd::TextRight),
               sep(),
               item(cmd::HideText),
               item(cmd::ShowText),
               sep(),
               item(cmd::SpreadOne),
               item(cmd::SpreadAll),
               item(cmd::Shrink)}),
        popup("排列",
              {item(cmd::LayerTop), item(cmd::LayerBottom), item(cmd::LayerUp),
               item(cmd::LayerDown), sep(), item(cmd::AlignLeft), item(cmd::AlignHCenter),
               item(cmd::AlignRight), item(cmd::AlignTop), item(cmd::AlignVCenter),
               item(cmd::AlignBottom), sep(), item(cmd::DistributeH), item(cmd::DistributeV), sep(),
               item(cmd::SameSize), item(cmd::SameWidth), item(cmd::SameHeight), sep(),
               popup("自动布局", {item(cmd::LayoutMindMap), item(cmd::LayoutLogicRight),
                                  item(cmd::LayoutLogicLeft), item(cmd::LayoutOrgChart),
                                  item(cmd::LayoutTreeChart), sep(), item(cmd::AutoLayout)})}),
        popup("设置", {item(cmd::BindDrag), item(cmd::EnterCommitsEdit),
                       item(cmd::ClickSelectsOne), sep(),
                       item(cmd::AutoSaveSetting)}),
        popup("窗口(&W)", {item(cmd::WindowNew), item(cmd::WindowCascade),
                           item(cmd::WindowTileHorz), item(cmd::WindowArrange), sep(),
                           item(menuslot::WindowList), item(cmd::WindowManager)}),
        helpMenu(),
    };
    return menus;
}

const std::vector<MenuEntry>& emptyMenuBar() {
    static const std::vector<MenuEntry> menus = {fileMenu(false), viewMenu(false), helpMenu()};
    return menus;
}

const MenuEntry& contextMenu() {
    static const MenuEntry menu =
        popup("编辑", {item(cmd::SpreadOne), item(cmd::SpreadAll), item(cmd::Shrink), sep(),
                       item(cmd::HideText), item(cmd::ShowText)});
    return menu;
}

const std::vector<ToolbarDef>& toolbarTable() {
    static const std::vector<ToolbarDef> bars = {
        {"toolbarMain",
         "标准",
         {cmd::New, cmd::Open, cmd::Save, 0, cmd::Clear, cmd::Cut, cmd::Copy, cmd::Paste, 0,
          cmd::About}},
        {"toolbarDraw",
         "画图",
         {cmd::ToolSelect,
          0,
          cmd::ToolRect,
          cmd::ToolEllipse,
          cmd::ToolRoundRect,
          cmd::ToolRhombus,
          cmd::ToolParallelogram,
          cmd::ToolPoint,
          cmd::ToolLine,
          cmd::ToolText,
          0,
          cmd::SpreadOne,
          cmd::SpreadAll,
          cmd::Shrink,
          0,
          cmd::LayerTop,
          cmd::LayerBottom,
          cmd::LayerUp,
          cmd::LayerDown,
          cmd::AutoPolyline,
          cmd::AutoCurve,
          cmd::AutoPalm,
          cmd::AutoStraight,
          0,
          cmd::AlignLeft,
          cmd::AlignHCenter,
          cmd::AlignRight,
          cmd::AlignTop,
          cmd::AlignVCenter,
          cmd::AlignBottom,
          cmd::DistributeH,
          cmd::DistributeV,
          0,
          cmd::SameSize,
          cmd::SameWidth,
          cmd::SameHeight,
          0,
          cmd::BindDrag}},
        {"toolbarProperty",
         "属性",
         {cmd::LineThick, cmd::LineThin, cmd::LinePolyline, cmd::LineCurve, cmd::FillColor,
          cmd::LineColor, cmd::FontColor, cmd::Font}},
        {"toolbarZoom", "缩放", {cmd::ZoomIn, cmd::ZoomOut, cmd::ZoomActual, cmd::ZoomFit}},
        {"toolbarMarkers",
         "标记",
         {cmd::InsertLink, 0, markerCommand("priority-1"), markerCommand("priority-2"),
          markerCommand("priority-3"), 0, markerCommand("task-done"), markerCommand("task-undone"),
          0, markerCommand("flag-red"), markerCommand("flag-green"), 0, markerCommand("star"),
          markerCommand("question"), markerCommand("idea"), markerCommand("warning")}},
    };
    return bars;
}

const std::vector<LookDef>& lookTable() {
    static const std::vector<LookDef> looks = [] {
        std::vector<LookDef> v;
        for (const CommandDef& d : kCommands) {
            if (d.id >= cmd::LookFirst && d.id <= cmd::LookLast)
                v.push_back({d.id, d.text});
        }
        return v;
    }();
    return looks;
}
