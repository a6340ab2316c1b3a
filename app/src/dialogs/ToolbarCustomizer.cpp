#include "dialogs/ToolbarCustomizer.h"

#include <algorithm>

#include <QAction>
#include <QMenu>
#include <QRegularExpression>
#include <QSettings>
#include <QToolBar>
#include <QToolButton>

#include "dialogs/CToolbarCustomizeDlg.h"
#include "document/AppNames.h"

namespace {

QSettings profile() {
    return QSettings(tavlo::kOrganisation, tavlo::kApplication);
}

QString hiddenKey(const QToolBar* bar) {
    return QString("Toolbars/%1/Hidden").arg(bar->objectName());
}

} // namespace

QString plainMenuText(const QString& menuText) {
    QString text = menuText.section('\t', 0, 0);
    text.remove(QRegularExpression("\\(&.\\)"));
    text.remove('&');
    return text;
}

ToolbarCustomizer::ToolbarCustomizer(ActionLookup lookup, QAction* customize, QObject* parent)
    : QObject(parent), lookup_(std::move(lookup)), customize_(customize) {}

void ToolbarCustomizer::addToolbar(QToolBar* bar, std::vector<int> buttons) {
    Bar entry{bar, std::move(buttons), {}, nullptr};
    for (const QString& id : profile().value(hiddenKey(bar)).toStringList())
        entry.hidden.insert(id.toInt());

    auto* button = new QToolButton(bar);
    button->setObjectName("customizeButton");
    button->setArrowType(Qt::DownArrow);
    button->setAutoRaise(true);
    button->setFixedWidth(12);
    button->setToolTip("添加或删除按钮");
    button->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(button);
    const int index = toolbarCount();
    connect(menu, &QMenu::aboutToShow, this, [this, index, menu] { fillEndMenu(index, menu); });
    button->setMenu(menu);
    entry.endButton = bar->addWidget(button);
    bars_.push_back(std::move(entry));
    rebuild(bars_.back());
}

std::vector<int> ToolbarCustomizer::commands(int index) const {
    std::vector<int> ids;
    for (int id : bars_.at(static_cast<std::size_t>(index)).buttons) {
        if (id != 0 && lookup_(id))
            ids.push_back(id);
    }
    return ids;
}

bool ToolbarCustomizer::isShown(int index, int id) const {
    return bars_.at(static_cast<std::size_t>(index)).hidden.count(id) == 0;
}

void ToolbarCustomizer::setShown(int index, int id, bool shown) {
    Bar& bar = bars_.at(static_cast<std::size_t>(index));
    if (shown)
        bar.hidden.erase(id);
    else
        bar.hidden.insert(id);
    rebuild(bar);
    store(bar);
}

void ToolbarCustomizer::reset(int index) {
    Bar& bar = bars_.at(static_cast<std::size_t>(index));
    bar.hidden.clear();
    rebuild(bar);
    store(bar);
}

void ToolbarCustomizer::rebuild(Bar& bar) {
    // The command actions are shared with the menus, so a hidden button is
    // taken off the toolbar rather than made invisible.
    for (QAction* a : bar.bar->actions()) {
        if (a == bar.endButton)
            continue;
        bar.bar->removeAction(a);
        if (a->isSeparator() && a->parent() == bar.bar)
            delete a;
    }
    bool separate = false;
    bool any = false;
    for (int id : bar.buttons) {
        if (id == 0) {
            separate = any;
            continue;
        }
        QAction* a = lookup_(id);
        if (!a || bar.hidden.count(id))
            continue;
        if (separate)
            bar.bar->insertSeparator(bar.endButton);
        bar.bar->insertAction(bar.endButton, a);
        separate = false;
        any = true;
    }
}

void ToolbarCustomizer::store(const Bar& bar) const {
    QStringList ids;
    for (int id : bar.hidden)
        ids << QString::number(id);
    QSettings settings = profile();
    if (ids.isEmpty())
        settings.remove(hiddenKey(bar.bar));
    else
        settings.setValue(hiddenKey(bar.bar), ids);
}

void ToolbarCustomizer::fillEndMenu(int index, QMenu* menu) {
    menu->clear();
    QMenu* buttons = menu->addMenu("添加或删除按钮(&A)");
    for (int id : commands(index)) {
        QAction* command = lookup_(id);
        QAction* entry = buttons->addAction(command->icon(), plainMenuText(command->text()));
        entry->setCheckable(true);
        entry->setChecked(isShown(index, id));
        connect(entry, &QAction::toggled, this,
                [this, index, id](bool on) { setShown(index, id, on); });
    }
    buttons->addSeparator();
    connect(buttons->addAction("重置工具栏(&R)"), &QAction::triggered, this,
            [this, index] { reset(index); });
    menu->addSeparator();
    QAction* custom = menu->addAction(customize_->text());
    QWidget* parent = toolbar(index)->window();
    connect(custom, &QAction::triggered, this, [this, index, parent] { customize(parent, index); });
}

void ToolbarCustomizer::customize(QWidget* parent, int index) {
    CToolbarCustomizeDlg dialog(*this, index, parent);
    dialog.exec();
}
