#pragma once
// The find bar under a document window's page: a query, 上一个 / 下一个,
// 区分大小写, a scope of 当前页 or 所有页 and the place of the current match
// ("3 / 17"); for replacing, a second row with 替换 and 全部替换. It is no
// dialog: the page stays usable while it is open, and Esc closes it and gives
// the keys back to the page.

#include <memory>

#include <QPointer>
#include <QWidget>

#include "view/CTavloView.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class FindSession;

class CFindBar : public QWidget {
    Q_OBJECT
public:
    explicit CFindBar(CTavloView* view, QWidget* parent = nullptr);
    ~CFindBar() override;

    // Opens the bar (with the replace row or without) with the query selected
    // for typing over.
    void open(bool withReplace);
    void close();
    // The next or previous match; opens the bar when there is no query yet.
    void step(bool backward);

    QLineEdit* findField() const { return findField_; }
    QLineEdit* replaceField() const { return replaceField_; }
    QCheckBox* caseBox() const { return caseBox_; }
    QCheckBox* notesBox() const { return notesBox_; }
    QComboBox* scopeBox() const { return scopeBox_; }
    QLabel* positionLabel() const { return position_; }
    QPushButton* replaceButton() const { return replaceOne_; }
    QPushButton* replaceAllButton() const { return replaceAll_; }
    FindSession& session() { return *session_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void queryChanged();
    void showPosition();
    void replaceOne();
    void replaceEverything();
    // The document changed under the bar: count the matches again.
    void pageDrawn();

    QPointer<CTavloView> view_; // a sibling, which may go first
    std::unique_ptr<FindSession> session_;
    QLineEdit* findField_ = nullptr;
    QLineEdit* replaceField_ = nullptr;
    QCheckBox* caseBox_ = nullptr;
    QCheckBox* notesBox_ = nullptr;
    QComboBox* scopeBox_ = nullptr;
    QLabel* position_ = nullptr;
    QPushButton* replaceOne_ = nullptr;
    QPushButton* replaceAll_ = nullptr;
    QWidget* replaceRow_ = nullptr;
};
