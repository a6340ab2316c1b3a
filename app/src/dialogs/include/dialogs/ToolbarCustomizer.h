#pragma once
// Which buttons each toolbar shows. The user hides and shows buttons through
// the "自定义" dialog or the button at the end of each toolbar; the choice is
// kept in the profile and applied again at the next start.

#include <functional>
#include <set>
#include <vector>

#include <QObject>

class QAction;
class QString;
class QToolBar;
class QWidget;

// A menu text without its shortcut and accelerator marks: "打开(&O)...\tCtrl+O"
// gives "打开...".
QString plainMenuText(const QString& menuText);

class ToolbarCustomizer : public QObject {
    Q_OBJECT
public:
    using ActionLookup = std::function<QAction*(int id)>;

    // `customize` is the "自定义..." command offered by each toolbar's end button.
    ToolbarCustomizer(ActionLookup lookup, QAction* customize, QObject* parent);

    // Takes over a toolbar whose full button list (0 is a separator) is
    // `buttons`, and shows it as the profile last left it.
    void addToolbar(QToolBar* bar, std::vector<int> buttons);

    int toolbarCount() const { return static_cast<int>(bars_.size()); }
    QToolBar* toolbar(int index) const { return bars_.at(static_cast<std::size_t>(index)).bar; }
    // The commands a toolbar can show, in order, without separators.
    std::vector<int> commands(int index) const;
    QAction* commandAction(int id) const { return lookup_(id); }

    bool isShown(int index, int id) const;
    void setShown(int index, int id, bool shown);
    // Shows every button of the toolbar again.
    void reset(int index);

    // Runs the "自定义" dialog open at the given toolbar's page.
    void customize(QWidget* parent, int index);

private:
    struct Bar {
        QToolBar* bar;
        std::vector<int> buttons;
        std::set<int> hidden;
        QAction* endButton; // the customise button, always last
    };

    void rebuild(Bar& bar);
    void store(const Bar& bar) const;
    void fillEndMenu(int index, class QMenu* menu);

    ActionLookup lookup_;
    QAction* customize_;
    std::vector<Bar> bars_;
};
